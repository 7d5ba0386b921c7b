// The main window's platform-free texts: the progress line, the tips, the folder label and
// the notification icon's tip.

#include <gtest/gtest.h>

#include "ui/FolderText.h"
#include "ui/ProgressView.h"
#include "ui/Tips.h"
#include "ui/TrayTip.h"

TEST(ProgressView, Table) {
    const struct {
        uint64_t downloaded, total;
        uint32_t ms;
        uint64_t received;
        const wchar_t* size;
        const wchar_t* speed;
        const wchar_t* percent;
        int fill;
    } cases[] = {
        // Before the first notification the counters are 0, 1, 1, 0.
        {0, 1, 1, 0, L"0.00M/0.00M", L"当前下载速度：0K/S", L"0%", 0},
        {123456789, 987654321, 1000, 0, L"117.74M/941.90M", L"当前下载速度：0K/S", L"12%", 67},
        {1048576, 2097152, 1000, 1500, L"1.00M/2.00M", L"当前下载速度：0K/S", L"50%", 268},
        {0, 1048576, 1000, 104857600, L"0.00M/1.00M", L"当前下载速度：99M/S", L"0%", 0},
        // 4 GiB and more: the sizes and the share come from 64-bit counters.
        {3ull << 31, 1ull << 33, 1000, 0, L"6144.00M/8192.00M", L"当前下载速度：0K/S", L"75%", 402},
        // A new size read with an old total stays inside the bar.
        {2000, 1000, 1000, 0, L"0.00M/0.00M", L"当前下载速度：0K/S", L"100%", 536},
        // A zero clock or total from anywhere does not divide.
        {10, 0, 0, 5000, L"0.00M/0.00M", L"当前下载速度：4M/S", L"100%", 536},
    };
    for (const auto& c : cases) {
        const ProgressView view = ComputeProgressView(c.downloaded, c.total, c.ms, c.received);
        EXPECT_EQ(view.sizeText, c.size) << c.downloaded;
        EXPECT_EQ(view.speedText, c.speed) << c.received;
        EXPECT_EQ(view.percentText, c.percent) << c.downloaded;
        EXPECT_EQ(view.fillWidth, c.fill) << c.downloaded;
    }
}

TEST(ProgressView, CompleteDownloadFillsTheBarWithinAPixel) {
    // Single precision: the fill may fall one pixel short and the share read 99 until the
    // worker's final "100%" replaces it; it never overshoots.
    const ProgressView view = ComputeProgressView(987654321, 987654321, 1000, 0);
    EXPECT_GE(view.fillWidth, 535);
    EXPECT_LE(view.fillWidth, 536);
    EXPECT_TRUE(view.percentText == L"99%" || view.percentText == L"100%");
}

TEST(ProgressView, SpeedSwitchesToMegabytesAt1024KiB) {
    // k = (received / ms) * 1000 >> 10; the rate moves in steps of 1000 bytes a second.
    const struct {
        uint64_t receivedInOneSecond;
        const wchar_t* text;
    } cases[] = {
        {1048000, L"当前下载速度：1023K/S"},  // k = 1023
        {1049000, L"当前下载速度：1M/S"},     // k = 1024
        {2097000, L"当前下载速度：1M/S"},     // k = 2047
        {2098000, L"当前下载速度：2M/S"},     // k = 2048
    };
    for (const auto& c : cases) EXPECT_EQ(SpeedText(c.receivedInOneSecond, 1000), c.text) << c.receivedInOneSecond;
}

TEST(Tips, CycleShowsTheSecondTextForTwoPeriods) {
    int index = 0;
    std::vector<int> order{index};
    for (int i = 0; i < 6; ++i) order.push_back(index = NextTipIndex(index));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 0, 1}));
    EXPECT_STREQ(TIP_TABLE[1], TIP_TABLE[2]);
    EXPECT_EQ(NextTipIndex(17), 0);
}

TEST(FolderText, RootAndSubFolder) {
    EXPECT_EQ(BaseFolderForChoice(L"D:\\"), L"D:\\");
    EXPECT_EQ(BaseFolderForChoice(L"D:\\Games"), L"D:\\Games\\");
    EXPECT_EQ(BaseFolderForChoice(L"D:\\游戏\\新"), L"D:\\游戏\\新\\");
    EXPECT_EQ(InstallDirIn(L"D:\\", L"Halvane"), L"D:\\Halvane\\");
    EXPECT_EQ(PathLabelText(InstallDirIn(BaseFolderForChoice(L"D:\\Games"), L"Halvane")),
              L"安装路径：D:\\Games\\Halvane\\");
}

namespace {
bool GbkLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
}  // namespace

TEST(TrayTip, CutAt127BytesWithoutHalfACharacter) {
    EXPECT_EQ(CutTrayTip("Halvane", GbkLead), "Halvane");
    EXPECT_EQ(CutTrayTip(std::string(200, 'x'), GbkLead), std::string(127, 'x'));
    // 126 single bytes then a double-byte character: its lead byte would be the 127th and
    // its trail byte the 128th, so it is dropped.
    const std::string han = "\xBA\xBA";  // 汉 in GBK
    EXPECT_EQ(CutTrayTip(std::string(126, 'a') + han + "tail", GbkLead), std::string(126, 'a'));
    EXPECT_EQ(CutTrayTip(std::string(125, 'a') + han + "tail", GbkLead), std::string(125, 'a') + han);
    // A lead byte at the very end has no trail byte: taken alone.
    EXPECT_EQ(CutTrayTip("ab\xBA", GbkLead), "ab\xBA");
}
