// The header texts a download server sends back, and host texts. Built natively with the
// sanitizers and also into the Wine test program.

#include <gtest/gtest.h>

#include <climits>

#include "net/HttpText.h"

TEST(HttpText, MonthFromName) {
    const struct {
        const char* text;
        int month;
    } cases[] = {
        {"Jan", 1}, {"Feb", 2},  {"Mar", 3},     {"Apr", 4},   {"May", 5}, {"Jun", 6},  {"Jul", 7},
        {"Aug", 8}, {"Sep", 9},  {"Oct", 10},    {"Nov", 11},  {"Dec", 12}, {"oct", 10}, {"DEC", 12},
        {"Sept", 9}, {"October", 10}, {"De", 0}, {"", 0},      {"Foo", 0}, {" Jan", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(MonthFromName(c.text), c.month) << '"' << c.text << '"';
    EXPECT_EQ(MonthFromName(static_cast<const char*>(nullptr)), 0);
}

TEST(HttpText, LastModifiedTable) {
    const struct {
        const char* text;
        HttpDate date;  // year, month, day, hour, minute, second
    } cases[] = {
        {"Wed, 21 Oct 2015 07:28:00 GMT", {2015, 10, 21, 7, 28, 0}},
        {"Wed, 21 oct 2015 07:28:00 GMT", {2015, 10, 21, 7, 28, 0}},
        {"Thu, 01 Jan 1970 00:00:00 GMT", {1970, 1, 1, 0, 0, 0}},
        {"Wed, 21 Foo 2015 07:28:59 GMT", {2015, 0, 21, 7, 28, 59}},
        {"Wed,\t21\tOct  2015\r\n07:28:00", {2015, 10, 21, 7, 28, 0}},
        {"Wed, 21 Oct 2015 7:2", {2015, 10, 21, 7, 0, 0}},
        {"Wed, 21 Oct 2015", {2015, 10, 21, 0, 0, 0}},
        {"Wed, 21", {0, 0, 21, 0, 0, 0}},
        {"Wed,", {0, 0, 0, 0, 0, 0}},
        {"", {0, 0, 0, 0, 0, 0}},
        {"   ", {0, 0, 0, 0, 0, 0}},
        // The obsolete forms do not fit the token rule; they read as no usable date.
        {"Sunday, 06-Nov-94 08:49:37 GMT", {0, 0, 6, 0, 0, 0}},
        {"Sun Nov  6 08:49:37 1994", {8, 0, 0, 1994, 4, 0}},
        // Tokens longer than any fixed buffer would hold are read in full.
        {"Wednesday, 000000000000021 Octoberrrrrrr 00000000002015 07:28:00.000000000 GMT",
         {2015, 10, 21, 7, 28, 0}},
        {"Wed, -5 Oct +2015 07:-1:+9", {2015, 10, -5, 7, -1, 9}},
        {"Wed, 99999999999999999999 Oct 2015 07:28:00", {2015, 10, INT_MAX, 7, 28, 0}},
    };
    for (const auto& c : cases) {
        const HttpDate date = ParseLastModified(c.text);
        EXPECT_EQ(date.year, c.date.year) << c.text;
        EXPECT_EQ(date.month, c.date.month) << c.text;
        EXPECT_EQ(date.day, c.date.day) << c.text;
        EXPECT_EQ(date.hour, c.date.hour) << c.text;
        EXPECT_EQ(date.minute, c.date.minute) << c.text;
        EXPECT_EQ(date.second, c.date.second) << c.text;
    }
}

TEST(HttpText, HugeInputsAreSafe) {
    const std::string digits(1 << 16, '9');
    const std::string blanks(1 << 16, ' ');
    EXPECT_EQ(ParseLastModified("Wed, " + digits + " " + digits + " " + digits + " " + digits).day, INT_MAX);
    EXPECT_EQ(ParseLastModified(blanks).year, 0);
    EXPECT_FALSE(SplitHostPort(digits).has_value());
    EXPECT_FALSE(ParseContentLength(digits).has_value());
    EXPECT_FALSE(ParseContentRange("bytes " + digits + "-" + digits + "/" + digits).has_value());
    const auto target = SplitLocation("/" + digits);
    ASSERT_TRUE(target.has_value());
    EXPECT_EQ(target->path.size(), digits.size() + 1);
}

TEST(HttpText, HostPortTable) {
    const std::string host255(255, 'h'), host256(256, 'h');
    const struct {
        std::string text;
        bool valid;
        std::string host;
        int port;
    } cases[] = {
        {"download.halvane.cn", true, "download.halvane.cn", 80},
        {"127.0.0.1:81", true, "127.0.0.1", 81},
        {"host:", true, "host", 80},
        {"host:abc", true, "host", 80},
        {"host:-", true, "host", 80},
        {"host: 81", true, "host", 81},
        {"host:+81", true, "host", 81},
        {"host:81abc", true, "host", 81},
        {"host:81:90", true, "host", 81},
        {"host:65535", true, "host", 65535},
        {host255 + ":8080", true, host255, 8080},
        {"host:0", false, "", 0},
        {"host:-1", false, "", 0},
        {"host:65536", false, "", 0},
        {"host:99999999999999999999", false, "", 0},
        {":81", false, "", 0},
        {"", false, "", 0},
        {host256, false, "", 0},
    };
    for (const auto& c : cases) {
        const auto split = SplitHostPort(c.text);
        ASSERT_EQ(split.has_value(), c.valid) << c.text;
        if (!split) continue;
        EXPECT_EQ(split->host, c.host) << c.text;
        EXPECT_EQ(split->port, c.port) << c.text;
    }
}

TEST(HttpText, LocationTable) {
    const struct {
        const char* location;
        bool valid;
        const char* hostText;
        const char* path;
    } cases[] = {
        {"http://update.example:81/update/a.zip", true, "update.example:81", "/update/a.zip"},
        {"HTTP://update.example:81/update/a.zip", true, "update.example:81", "/update/a.zip"},
        {"hTtP://update.example/p?q=1&r=/s", true, "update.example", "/p?q=1&r=/s"},
        {"http://update.example", true, "update.example", "/"},
        {"update.example/a.zip", true, "update.example", "/a.zip"},
        {"update.example:81", true, "update.example:81", "/"},
        {"/b/pkg.bin", true, "", "/b/pkg.bin"},
        {"/", true, "", "/"},
        {"", false, "", ""},
        {"http://", false, "", ""},
        {"http:///a.zip", false, "", ""},
        {"//other.example/a.zip", false, "", ""},
        {"https://update.example/a.zip", false, "", ""},
        {"ftp://update.example/a.zip", false, "", ""},
    };
    for (const auto& c : cases) {
        const auto target = SplitLocation(c.location);
        ASSERT_EQ(target.has_value(), c.valid) << c.location;
        if (!target) continue;
        EXPECT_EQ(target->hostText, c.hostText) << c.location;
        EXPECT_EQ(target->path, c.path) << c.location;
    }
}

TEST(HttpText, ContentLengthTable) {
    const struct {
        const char* text;
        std::optional<uint64_t> value;
    } cases[] = {
        {"5000", 5000},
        {" 5000 ", 5000},
        {"0", 0},
        {"5000000000", 5000000000ull},
        {"18446744073709551615", UINT64_MAX},
        {"18446744073709551616", std::nullopt},
        {"-1", std::nullopt},
        {"+1", std::nullopt},
        {"12abc", std::nullopt},
        {"1 2", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseContentLength(c.text), c.value) << '"' << c.text << '"';
}

TEST(HttpText, ContentRangeTable) {
    const struct {
        const char* text;
        bool valid;
        uint64_t first, last;
        std::optional<uint64_t> total;
    } cases[] = {
        {"bytes 1000-4999/5000", true, 1000, 4999, 5000},
        {"bytes 0-0/1", true, 0, 0, 1},
        {"BYTES 1-2/3", true, 1, 2, 3},
        {"  bytes   4294967296-5000000000/5000000001 ", true, 4294967296ull, 5000000000ull, 5000000001ull},
        {"bytes 1000-4999/*", true, 1000, 4999, std::nullopt},
        {"bytes */5000", false, 0, 0, std::nullopt},
        {"bytes 5-4/10", false, 0, 0, std::nullopt},
        {"bytes 0-10/10", false, 0, 0, std::nullopt},
        {"bytes 1-2/3x", false, 0, 0, std::nullopt},
        {"bytes1-2/3", false, 0, 0, std::nullopt},
        {"bytes -2/3", false, 0, 0, std::nullopt},
        {"bytes 1-2", false, 0, 0, std::nullopt},
        {"bytes 1-18446744073709551616/3", false, 0, 0, std::nullopt},
        {"", false, 0, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto range = ParseContentRange(c.text);
        ASSERT_EQ(range.has_value(), c.valid) << c.text;
        if (!range) continue;
        EXPECT_EQ(range->first, c.first) << c.text;
        EXPECT_EQ(range->last, c.last) << c.text;
        EXPECT_EQ(range->total, c.total) << c.text;
    }
}

TEST(HttpText, RangeHeaderText) {
    EXPECT_EQ(RangeHeaderText(1000), "range:bytes=1000-");
    EXPECT_EQ(RangeHeaderText(0), "range:bytes=0-");
    EXPECT_EQ(RangeHeaderText(5000000000ull), "range:bytes=5000000000-");
}
