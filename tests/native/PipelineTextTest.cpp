// The statistics request's texts and the retry pause.

#include <gtest/gtest.h>

#include "app/RetryDelay.h"
#include "install/StatsText.h"
#include "install/UrlEncode.h"

TEST(PercentEncode, Table) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"D:\\My Games\\|1792|attr:16", "D%3A%5CMy+Games%5C%7C1792%7Cattr%3A16"},
        {"azAZ09-_.~", "azAZ09-_.~"},
        {" ", "+"},
        {"+%&=?/#", "%2B%25%26%3D%3F%2F%23"},
        {"\xE5\xAE\x89\xE8\xA3\x85", "%E5%AE%89%E8%A3%85"},  // 安装 in UTF-8
        {std::string("\0\x7F\xFF", 3), "%00%7F%FF"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(PercentEncode(c.in), c.out) << c.in;
}

TEST(PercentEncode, LongestPathIsNeverCut) {
    // 260 three-byte characters: every byte becomes a percent group.
    std::string utf8;
    for (int i = 0; i < 260; ++i) utf8 += "\xE4\xB8\xAD";
    const std::string encoded = PercentEncode(utf8);
    EXPECT_EQ(encoded.size(), utf8.size() * 3);
    EXPECT_EQ(encoded.substr(encoded.size() - 9), "%E4%B8%AD");
}

TEST(OutcomeText, Fields) {
    EXPECT_EQ(FormatOutcomeText(L"D:\\Program Files\\Halvane\\", {0, 0, 0, 0, 0}),
              L"D:\\Program Files\\Halvane\\|0|attr:0|create:0|errid:0|size:0");
    EXPECT_EQ(FormatOutcomeText(L"C:\\x\\", {-3, 16, 183, 2, 1234}), L"C:\\x\\|4294967293|attr:16|create:183|errid:2|size:1234");
    EXPECT_EQ(FormatOutcomeText(L"C:\\x\\", {-2, -1, 3, 3, -5}), L"C:\\x\\|4294967294|attr:-1|create:3|errid:3|size:-5");
}

TEST(ReportAddress, KeysInTheirOrder) {
    EXPECT_EQ(BuildReportAddress("stats.example:8080", 16, 2, "C%3A%5C", 200018),
              L"http://stats.example:8080/ajax/quickDownLoadStatistics/quickDownStatistics.jsp"
              L"?SiteID=16&StatistsType=2&UnzipResult=C%3A%5C&channalID=200018");
    EXPECT_NE(BuildReportAddress("h", 16, 1, "x", -1).find(L"StatistsType=1&UnzipResult=x&channalID=-1"),
              std::wstring::npos);
}

TEST(RetryDelay, GrowsFromAFifthOfASecondToFiveSeconds) {
    EXPECT_EQ(RetryDelayMs(0, 12345), 0u);
    for (uint32_t random : {0u, 1u, 79u, 80u, 4000000000u}) {
        const uint32_t first = RetryDelayMs(1, random);
        EXPECT_GE(first, 160u);
        EXPECT_LE(first, 240u);
        for (uint32_t n : {6u, 7u, 100u, 4000000000u}) {
            EXPECT_GE(RetryDelayMs(n, random), 4000u);
            EXPECT_LE(RetryDelayMs(n, random), kRetryMaxDelayMs);
        }
        EXPECT_LT(RetryDelayMs(2, random), RetryDelayMs(4, random));
    }
}
