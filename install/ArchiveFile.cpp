#include "install/ArchiveFile.h"

#include <cstdint>

#include "iowin32.h"

namespace {

constexpr uint32_t kEndRecordSignature = 0x06054b50;
constexpr uint64_t kEndRecordSize = 22;
constexpr uint64_t kMaxCommentSize = 0xFFFF;

uint32_t Little16(const unsigned char* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
uint32_t Little32(const unsigned char* p) { return Little16(p) | Little16(p + 2) << 16; }

}  // namespace

unzFile OpenArchiveFile(const std::wstring& path) {
    zlib_filefunc64_def io;
    fill_win32_filefunc64W(&io);
    return unzOpen2_64(path.c_str(), &io);
}

bool IsEmptyArchive(const std::wstring& path) {
    zlib_filefunc64_def io;
    fill_win32_filefunc64W(&io);
    voidpf file = io.zopen64_file(io.opaque, path.c_str(), ZLIB_FILEFUNC_MODE_READ | ZLIB_FILEFUNC_MODE_EXISTING);
    if (!file) return false;
    unsigned char record[kEndRecordSize];
    bool empty = false;
    if (io.zseek64_file(io.opaque, file, 0, ZLIB_FILEFUNC_SEEK_END) == 0) {
        const uint64_t size = io.ztell64_file(io.opaque, file);
        if (size >= kEndRecordSize && size <= kEndRecordSize + kMaxCommentSize &&
            io.zseek64_file(io.opaque, file, 0, ZLIB_FILEFUNC_SEEK_SET) == 0 &&
            io.zread_file(io.opaque, file, record, sizeof record) == sizeof record) {
            // Signature, both disk numbers, both entry counts, directory size and offset.
            empty = Little32(record) == kEndRecordSignature && Little16(record + 4) == 0 &&
                    Little16(record + 6) == 0 && Little16(record + 8) == 0 && Little16(record + 10) == 0 &&
                    Little32(record + 12) == 0 && Little32(record + 16) == 0 &&
                    Little16(record + 20) == size - kEndRecordSize;
        }
    }
    io.zclose_file(io.opaque, file);
    return empty;
}
