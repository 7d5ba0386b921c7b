#include "install/EntryFields.h"

namespace {

uint32_t ReadLittle16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8; }

uint32_t ReadLittle32(const uint8_t* p) { return ReadLittle16(p) | ReadLittle16(p + 2) << 16; }

constexpr uint32_t kUnixDirectory = 0x40000000;  // S_IFDIR in the high half
constexpr uint32_t kUnixOwnerWrite = 0x00800000;  // S_IWUSR in the high half
constexpr uint64_t kSecondsFrom1601To1970 = 11644473600ull;
constexpr uint64_t kTicksPerSecond = 10000000ull;

}  // namespace

uint32_t AttributesFromHost(uint32_t versionMadeBy, uint32_t externalAttributes) {
    const uint32_t host = (versionMadeBy >> 8) & 0xFF;
    if (host == 0 || host == 7 || host == 11 || host == 14)
        return externalAttributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory | kAttrArchive);
    uint32_t attr = kAttrArchive;
    if (externalAttributes & kUnixDirectory) attr |= kAttrDirectory;
    if (!(externalAttributes & kUnixOwnerWrite)) attr |= kAttrReadOnly;
    return attr;
}

DosDateTime SplitDosDateTime(uint32_t dosDate) {
    const uint32_t date = dosDate >> 16;
    const uint32_t time = dosDate & 0xFFFF;
    DosDateTime parts;
    parts.year = static_cast<int>(date / 512 + 1980);
    parts.month = static_cast<int>(date / 32 % 16);
    parts.day = static_cast<int>(date % 32);
    parts.hour = static_cast<int>(time / 2048);
    parts.minute = static_cast<int>(time / 32 % 64);
    parts.second = static_cast<int>(time % 32 * 2);
    return parts;
}

uint64_t UnixSecondsToFileTime(uint32_t seconds) { return (seconds + kSecondsFrom1601To1970) * kTicksPerSecond; }

UnixTimes ReadUnixTimes(const uint8_t* extra, size_t length) {
    UnixTimes times;
    if (!extra) return times;
    size_t pos = 0;
    while (length - pos >= 4) {
        const uint8_t* block = extra + pos;
        const size_t blockLength = ReadLittle16(block + 2);
        if (block[0] != 'U' || block[1] != 'T') {
            pos += 4 + blockLength;
            if (pos > length) break;
            continue;
        }
        // Only what lies inside both the block and the field is read.
        const size_t available = length - pos - 4 < blockLength ? length - pos - 4 : blockLength;
        if (available < 1) break;
        const uint8_t* data = block + 4;
        const uint8_t flags = data[0];
        size_t offset = 1;
        uint64_t* const targets[] = {&times.mtime, &times.atime, &times.ctime};
        bool* const present[] = {&times.hasMtime, &times.hasAtime, &times.hasCtime};
        for (int bit = 0; bit < 3; ++bit) {
            if (!(flags & (1u << bit))) continue;
            if (available - offset < 4) break;
            *targets[bit] = UnixSecondsToFileTime(ReadLittle32(data + offset));
            *present[bit] = true;
            offset += 4;
        }
        break;
    }
    return times;
}
