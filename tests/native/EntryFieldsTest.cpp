// Attributes by host system, DOS dates, and the "UT" extra field's Unix times.

#include <gtest/gtest.h>

#include <string>

#include "install/EntryFields.h"

TEST(EntryAttributes, ByHostSystem) {
    const struct {
        uint32_t host;
        uint32_t external;
        uint32_t attr;
    } cases[] = {
        {0, 0x21, 0x21},         {0, 0x02, 0x02},          {0, 0x04, 0x04},
        {0, 0x10, 0x10},         {0, 0xFFFFFFFF, 0x37},    {7, 0x01, 0x01},
        {11, 0x22, 0x22},        {14, 0x24, 0x24},         {3, 0x81A40000, 0x20},  // -rw-r--r--
        {3, 0x81240000, 0x21},   /* -r--r--r-- */          {3, 0x41ED0010, 0x30},  // drwxr-xr-x
        {3, 0x416D0000, 0x31},   /* dr-xr-xr-x */          {3, 0xA1FF0000, 0x20},  // symbolic link
        {19, 0x81A40000, 0x20},  {6, 0x00000001, 0x21},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AttributesFromHost(c.host << 8 | 20, c.external), c.attr) << c.host << " " << std::hex << c.external;
}

TEST(EntryTimes, DosDateAndTimeSplit) {
    // 2021-06-15 10:20:30
    const uint32_t date = (2021 - 1980) << 9 | 6 << 5 | 15;
    const uint32_t time = 10 << 11 | 20 << 5 | 30 / 2;
    const DosDateTime parts = SplitDosDateTime(date << 16 | time);
    EXPECT_EQ(parts.year, 2021);
    EXPECT_EQ(parts.month, 6);
    EXPECT_EQ(parts.day, 15);
    EXPECT_EQ(parts.hour, 10);
    EXPECT_EQ(parts.minute, 20);
    EXPECT_EQ(parts.second, 30);
}

namespace {

std::string Block(uint16_t id, const std::string& data) {
    std::string block;
    block += static_cast<char>(id & 0xFF);
    block += static_cast<char>(id >> 8);
    block += static_cast<char>(data.size() & 0xFF);
    block += static_cast<char>(data.size() >> 8);
    return block + data;
}

std::string Le32(uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

UnixTimes Read(const std::string& field) {
    return ReadUnixTimes(reinterpret_cast<const uint8_t*>(field.data()), field.size());
}

constexpr uint16_t kUT = 'U' | 'T' << 8;

}  // namespace

TEST(EntryTimes, UnixSecondsBecomeFileTimes) {
    EXPECT_EQ(UnixSecondsToFileTime(0), 116444736000000000ull);
    EXPECT_EQ(UnixSecondsToFileTime(1600000000), 116444736000000000ull + 1600000000ull * 10000000ull);
    EXPECT_EQ(UnixSecondsToFileTime(0xFFFFFFFF), (0xFFFFFFFFull + 11644473600ull) * 10000000ull);
}

TEST(EntryTimes, UtBlockFlagsSelectTheTimesInOrder) {
    const UnixTimes all = Read(Block(kUT, "\x07" + Le32(100) + Le32(200) + Le32(300)));
    ASSERT_TRUE(all.hasMtime && all.hasAtime && all.hasCtime);
    EXPECT_EQ(all.mtime, UnixSecondsToFileTime(100));
    EXPECT_EQ(all.atime, UnixSecondsToFileTime(200));
    EXPECT_EQ(all.ctime, UnixSecondsToFileTime(300));

    const UnixTimes accessAndCreation = Read(Block(kUT, "\x06" + Le32(200) + Le32(300)));
    EXPECT_FALSE(accessAndCreation.hasMtime);
    EXPECT_EQ(accessAndCreation.atime, UnixSecondsToFileTime(200));
    EXPECT_EQ(accessAndCreation.ctime, UnixSecondsToFileTime(300));
}

TEST(EntryTimes, UtBlockIsFoundBehindOtherBlocksOfAnyLength) {
    // A block longer than 255 bytes before "UT": its whole 16-bit length counts.
    const std::string other = Block(0xCAFE, std::string(300, 'U'));
    const UnixTimes times = Read(Block(0x0001, std::string(16, '\0')) + other + Block(kUT, "\x01" + Le32(1234)));
    ASSERT_TRUE(times.hasMtime);
    EXPECT_EQ(times.mtime, UnixSecondsToFileTime(1234));
}

TEST(EntryTimes, DamagedFieldsGiveWhatFitsAndNeverReadBeyond) {
    const struct {
        std::string field;
        bool mtime, atime;
    } cases[] = {
        {"", false, false},
        {"UT", false, false},
        {Block(kUT, ""), false, false},
        {Block(kUT, "\x03" + Le32(1)), true, false},                    // atime announced, missing
        {Block(kUT, "\x03" + Le32(1) + Le32(2)).substr(0, 10), true, false},  // field cut short
        {Block(0x1234, "abc").substr(0, 5) + Block(kUT, "\x01" + Le32(1)), false, false},
        {Block(0x1234, std::string(10, 'x')).substr(0, 6), false, false},
    };
    for (const auto& c : cases) {
        const UnixTimes times = Read(c.field);
        EXPECT_EQ(times.hasMtime, c.mtime) << c.field.size();
        EXPECT_EQ(times.hasAtime, c.atime) << c.field.size();
        EXPECT_FALSE(times.hasCtime);
    }
}
