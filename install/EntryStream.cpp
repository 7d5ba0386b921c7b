#include "install/EntryStream.h"

#include "install/ZipExtractor.h"

namespace {

int Abandon(unzFile archive, int code) {
    unzCloseCurrentFile(archive);
    return code;
}

}  // namespace

int ReadLocalExtra(unzFile archive, uLong method, std::vector<uint8_t>& extra) {
    extra.clear();
    if (unzOpenCurrentFile3(archive, nullptr, nullptr, 1, nullptr) != UNZ_OK) return EXTRACT_BAD_LOCAL_HEADER;
    int code = EXTRACT_OK;
    if (method != 0 && method != Z_DEFLATED) {
        code = EXTRACT_BAD_LOCAL_HEADER;
    } else {
        const int size = unzGetLocalExtrafield(archive, nullptr, 0);
        extra.resize(size > 0 ? static_cast<size_t>(size) : 0);
        if (size > 0 && unzGetLocalExtrafield(archive, extra.data(), static_cast<unsigned>(size)) != size)
            code = EXTRACT_BAD_LOCAL_EXTRA;
    }
    unzCloseCurrentFile(archive);  // raw: nothing was read, so there is no CRC to check
    return code;
}

int ReadEntryData(unzFile archive, uint64_t size, char* buffer, unsigned bufferSize, const EntryDataSink& sink) {
    const int opened = unzOpenCurrentFile(archive);
    if (opened != UNZ_OK) return opened == UNZ_BADZIPFILE ? EXTRACT_BAD_LOCAL_HEADER : EXTRACT_BAD_DATA;
    for (;;) {
        const int got = unzReadCurrentFile(archive, buffer, bufferSize);
        if (got < 0) return Abandon(archive, EXTRACT_BAD_DATA);
        if (got > 0 && !sink(buffer, static_cast<unsigned>(got))) return Abandon(archive, EXTRACT_CANNOT_WRITE);
        if (unzeof(archive) == 1) break;
        // The data ended before the size the directory gives.
        if (got == 0) return Abandon(archive, EXTRACT_BAD_DATA);
    }
    // minizip checks the CRC on closing, once the last byte was read. An empty entry has
    // nothing a CRC could protect.
    const int closed = unzCloseCurrentFile(archive);
    return closed != UNZ_OK && size != 0 ? EXTRACT_BAD_DATA : EXTRACT_OK;
}
