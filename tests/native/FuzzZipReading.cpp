// libFuzzer target: any bytes as a package archive, read the way the installer reads one:
// minizip opens it from memory; every entry's directory record goes through our
// attribute, time and name rules; its local extra field is read and searched for Unix
// times; its data is inflated to the end. Whatever the bytes, nothing reads out of
// bounds, and an entry whose data is judged intact really has the size and CRC that the
// directory gives.

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "MemoryArchive.h"
#include "PathOracle.h"
#include "install/EntryFields.h"
#include "install/EntryName.h"
#include "install/EntryStream.h"
#include "install/ZipExtractor.h"

namespace {

constexpr size_t kFieldBufferSize = 65536;  // a stored name or extra field has at most 65535 bytes
constexpr unsigned kDataBufferSize = 16384;  // what the installer reads with
constexpr uint64_t kMaxOutput = 64ull << 20;  // a bomb is cut short here; it proves nothing more
constexpr uint32_t kAllAttributes = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory | kAttrArchive;

[[noreturn]] void Fail() { std::abort(); }

void CheckDirectoryFields(const unz_file_info64& info, const std::vector<char>& extra) {
    if (AttributesFromHost(info.version, info.external_fa) & ~kAllAttributes) Fail();
    const DosDateTime when = SplitDosDateTime(static_cast<uint32_t>(info.dosDate));
    if (when.year < 1980 || when.year > 2107 || when.month > 15 || when.day > 31 || when.hour > 31 ||
        when.minute > 63 || when.second > 62)
        Fail();
    const size_t extraSize = info.size_file_extra < extra.size() ? info.size_file_extra : extra.size();
    ReadUnixTimes(reinterpret_cast<const uint8_t*>(extra.data()), extraSize);
}

// Names are widened byte by byte, as a single-byte code page would; the name fuzzer covers
// every UTF-16 unit.
void CheckName(const std::vector<char>& buffer, uLong length) {
    std::u16string stored;
    for (uLong i = 0; i < length && i < buffer.size(); ++i)
        stored += static_cast<char16_t>(static_cast<unsigned char>(buffer[i]));
    const EntryPath path = CheckEntryPath(ApplyNameRule(stored));
    if (path.verdict == EntryPathVerdict::Ok && !StaysInside(path.relative)) Fail();
}

void ReadEntry(unzFile archive, std::vector<char>& name, std::vector<char>& extra, std::vector<char>& data) {
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(archive, &info, name.data(), static_cast<uLong>(name.size()), extra.data(),
                                static_cast<uLong>(extra.size()), nullptr, 0) != UNZ_OK)
        return;
    CheckDirectoryFields(info, extra);
    CheckName(name, info.size_filename);

    std::vector<uint8_t> localExtra;
    if (ReadLocalExtra(archive, info.compression_method, localExtra) != EXTRACT_OK) return;
    const UnixTimes times = ReadUnixTimes(localExtra.data(), localExtra.size());
    if ((times.hasMtime || times.hasAtime || times.hasCtime) && localExtra.size() < 9) Fail();

    uLong crc = crc32(0, nullptr, 0);
    uint64_t count = 0;
    const int code = ReadEntryData(archive, info.uncompressed_size, data.data(), kDataBufferSize,
                                   [&](const char* block, unsigned size) {
                                       crc = crc32(crc, reinterpret_cast<const Bytef*>(block), size);
                                       count += size;
                                       return count <= kMaxOutput;
                                   });
    if (code == EXTRACT_OK && (count != info.uncompressed_size || (count != 0 && crc != info.crc))) Fail();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::vector<char> name(kFieldBufferSize), extra(kFieldBufferSize), buffer(kDataBufferSize);
    const MemoryBytes bytes{data, size};
    unzFile archive = OpenMemoryArchive(bytes);
    if (!archive) return 0;
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(archive, &global) == UNZ_OK) {
        // Each record takes at least 46 bytes of the input, so the walk ends soon whatever
        // count the end record claims.
        int status = unzGoToFirstFile(archive);
        for (uint64_t i = 0; status == UNZ_OK && i < global.number_entry; ++i) {
            ReadEntry(archive, name, extra, buffer);
            status = unzGoToNextFile(archive);
        }
    }
    unzClose(archive);
    return 0;
}
