// The decimal reading of the string-table numbers and the file-name channel token.

#include <gtest/gtest.h>

#include "app/ConfigText.h"

TEST(ReadDecimal, FollowsAtoi) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"200018", 200018}, {"1", 1},        {"01", 1},          {" 1", 1},
        {"1x", 1},          {"\t\n-12", -12}, {"+7", 7},         {"x", 0},
        {"", 0},            {"-", 0},        {"- 1", 0},         {"2147483647", 2147483647},
        {"99999999999", 2147483647},         {"-2147483648", -2147483647 - 1},
        {"-99999999999", -2147483647 - 1},   {"0000000000000000000000000000012", 12},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadDecimal(c.text), c.value) << '"' << c.text << '"';
}

TEST(ChannelToken, FileNameTable) {
    const struct {
        const char* path;
        const char* token;  // nullptr: none
    } cases[] = {
        {"C:\\Users\\a\\Downloads\\Download_zel_200018.exe", "200018"},
        {"C:\\x\\Download_200018.exe", "200018"},
        {"C:\\x\\200018.exe", "200018"},
        {"C:\\x\\Download.exe", "Download"},
        {"C:\\x\\Download_200018(1).exe", "200018(1)"},
        {"C:\\x\\\\\\Download__200018..exe", "200018"},
        {"C:\\x_1\\setup.exe", "setup"},
        {"C:\\x\\a_.exe", "exe"},
        {"C:\\x\\_.exe", "exe"},
        {"C:\\x\\a_...", nullptr},
        {"C:\\x\\___", nullptr},
        {"\\\\\\", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        const auto token = ChannelTokenFromPath(c.path);
        if (c.token)
            EXPECT_EQ(token.value_or("<none>"), c.token) << c.path;
        else
            EXPECT_FALSE(token.has_value()) << c.path;
    }
}

TEST(ChannelToken, AllDigits) {
    EXPECT_TRUE(IsAllDigits("200018"));
    EXPECT_TRUE(IsAllDigits("007"));
    EXPECT_FALSE(IsAllDigits("200018(1)"));
    EXPECT_FALSE(IsAllDigits("Download"));
    EXPECT_FALSE(IsAllDigits("12 "));
    EXPECT_FALSE(IsAllDigits("\xB0\xA1"));
}
