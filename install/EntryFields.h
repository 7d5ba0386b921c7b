#pragma once
// Platform-free readings of an entry's directory fields: its Windows attributes by the
// host system that made it, its DOS date and time, and the Unix times of the "UT" extra
// field. No windows.h here, so they are also built natively and fuzzed.

#include <cstddef>
#include <cstdint>

// The Windows attribute bits an entry can carry.
inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;

// Hosts 0 (MS-DOS), 7, 11 (NTFS) and 14 (VFAT) store DOS attributes in the low bits;
// every other host is read as Unix: folder by S_IFDIR, read-only when the owner may not
// write, always archive.
uint32_t AttributesFromHost(uint32_t versionMadeBy, uint32_t externalAttributes);

struct DosDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// minizip's dosDate: the DOS date in the high 16 bits, the DOS time in the low 16 bits.
DosDateTime SplitDosDateTime(uint32_t dosDate);

// Windows file times (100 ns since 1601-01-01 UTC) found in a "UT" block.
struct UnixTimes {
    bool hasMtime = false, hasAtime = false, hasCtime = false;
    uint64_t mtime = 0, atime = 0, ctime = 0;
};

uint64_t UnixSecondsToFileTime(uint32_t seconds);

// Walks the blocks of a local extra field (2-byte id, 2-byte length, data) and reads the
// first "UT" block: a flag byte, then 4-byte second counts for the modification (bit 0),
// access (bit 1) and creation (bit 2) times. A count that does not fit inside its block
// is ignored.
UnixTimes ReadUnixTimes(const uint8_t* extra, size_t length);
