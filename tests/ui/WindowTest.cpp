// The main window on the virtual display, inside this test program: its layout and texts,
// the default folder for each kind of drive D:, the folder choice, the phases of the main
// button driven by posted clicks and by the wake of a second real process, a whole install
// against the local server, both failure dialogs, and the balloon beside a desktop icon.

#include <gtest/gtest.h>

#include <windows.h>
// shlobj.h needs windows.h first.
#include <shlobj.h>

#include <cstdlib>
#include <thread>

#include "WindowTestSupport.h"
#include "StandIn.h"
#include "WineDrives.h"
#include "app/AnsiTexts.h"
#include "app/BuildConfig.h"
#include "app/TextConv.h"
#include "skin/SkinButton.h"
#include "skin/SkinTestSupport.h"
#include "support/TestSupport.h"
#include "ui/ErrorDialog.h"
#include "install/DesktopShortcut.h"
#include "ui/InstallFolder.h"
#include "ui/TipsBalloon.h"

namespace {

constexpr POINT kMainButton{425 + 74, 275 + 25};
constexpr POINT kRedownloadButton{330 + 44, 205 + 16};
constexpr POINT kOkButton{425 + 44, 205 + 16};

class MainWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        InitProcessGlobals();
        LoadBuildConfig();
        // This program is the running copy: a second start of the installer wakes it.
        instanceMutex_ = CreateMutexA(nullptr, FALSE, kInstanceMutexName);
        RemoveWineDrive(L'D');
    }
    void SetUp() override {
        InstallPhase = PhaseIdle;
        ResetStatsServer();
        // A worker makes the install folder the current one; the log is looked for here.
        SetCurrentDirectoryW(TestBinDir().c_str());
    }

    // A second copy of the installer, which wakes this one and ends.
    static void WakeFromSecondCopy() {
        const ProcessResult run =
            RunProcess(Quote(TestBinDir() + L"\\" + AnsiToWide(PRODUCT_EXE) + L".exe"), 30000);
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0u);
    }

    static inline HANDLE instanceMutex_ = nullptr;
};

std::wstring PhaseCaption(const DownloadWindow& window) { return TextOf(window.Parts().mainButtonCaption); }

bool DialogShown(const DownloadWindow& window) {
    return window.FailureDialog() && IsWindowVisible(window.FailureDialog()->Handle());
}

// Two different characters of a label drawn in the CJK font differ; the boxes of a font
// without them are all alike.
int GlyphCellDifference(const WindowPicture& picture, int left, int top, int cell) {
    int different = 0;
    for (int y = top; y < top + cell && y < picture.Height(); ++y)
        for (int x = left; x < left + cell; ++x) {
            const Bgra a = picture.At(x, y), b = picture.At(x + cell, y);
            if (std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 60) ++different;
        }
    return different;
}

}  // namespace

TEST_F(MainWindowTest, LayoutTextsAndChineseGlyphs) {
    TestWindow window;
    HWND handle = window.Handle();
    ASSERT_NE(handle, nullptr);
    wchar_t className[64] = {};
    GetClassNameW(handle, className, 64);
    EXPECT_STREQ(className, L"DownloadWindow");
    char title[64] = {};
    GetWindowTextA(handle, title, sizeof title);
    EXPECT_STREQ(title, kTextWindowTitle);

    RECT area{}, rect{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(handle, &rect);
    EXPECT_EQ(rect.right - rect.left, 600);
    EXPECT_EQ(rect.bottom - rect.top, 350);
    EXPECT_EQ(rect.left, area.left + (area.right - area.left - 600) / 2);
    EXPECT_EQ(rect.top, area.top + (area.bottom - area.top - 350) / 2);
    EXPECT_TRUE(IsWindowVisible(handle));

    const DownloadWindowParts& parts = window.Parts();
    EXPECT_EQ(TextOf(parts.versionText), L"简装版 2.1");
    EXPECT_EQ(TextOf(parts.pathText), L"安装路径：C:\\Program Files\\Halvane\\") << "no drive D:";
    EXPECT_EQ(window.InstallBaseDir(), L"C:\\Program Files\\");
    EXPECT_EQ(TextOf(parts.mainButtonCaption), L"点击安装");
    EXPECT_EQ(TextOf(parts.tipText), L"玩游戏赠送奖品券，奖品券可免费兑换实物奖励。");
    EXPECT_EQ(TextOf(parts.sizeText), L"");
    EXPECT_EQ(parts.runner->IsVisible(), 0);
    const RECT runner = parts.runner->GetRect();
    EXPECT_EQ(runner.left, 11);
    EXPECT_EQ(runner.right, 36);
    EXPECT_EQ(parts.progressFill->GetRect().right, 31);
    EXPECT_EQ(parts.mainButton->GetRect().left, 425);
    EXPECT_EQ(parts.mainButton->GetRect().right, 425 + 148);
    // Captions and tips let the mouse through; the path and the percentage do not.
    EXPECT_EQ(parts.mainButtonCaption->IsEnabled(), 0);
    EXPECT_EQ(parts.sizeText->IsEnabled(), 0);
    EXPECT_EQ(parts.pathText->IsEnabled(), 1);
    EXPECT_EQ(parts.percentText->IsEnabled(), 1);
    EXPECT_EQ(window.HitTest(kMainButton.x, kMainButton.y), parts.mainButton) << "the caption passes clicks on";
    RECT drag{};
    EXPECT_EQ(window.IsDragArea(&drag, parts.titleBar), 1);
    EXPECT_EQ(window.IsDragArea(&drag, parts.versionText), 1);
    EXPECT_EQ(window.IsDragArea(&drag, parts.closeButton), 0);
    EXPECT_EQ(window.HitTest(580, 15), parts.closeButton) << "the close button lies over the title bar";

    PumpUntilIdle();
    const WindowPicture picture(handle);
    // "新手提示：" at (130, 329) in 9-point characters, 12 pixels each.
    EXPECT_GT(GlyphCellDifference(picture, 131, 330, 12), 15) << "新 and 手 look alike: boxes?";
    EXPECT_GT(GlyphCellDifference(picture, 143, 330, 12), 15) << "手 and 提 look alike: boxes?";
    EXPECT_FALSE(DialogShown(window));
}

TEST_F(MainWindowTest, DefaultFolderIsOnDOnlyWhenDIsFixed) {
    ScratchDir folder;
    const std::string unixFolder = "/tmp";
    EXPECT_EQ(DefaultInstallBase(), L"C:\\Program Files\\") << "no drive D:";
    ASSERT_TRUE(DefineWineDrive(L'D', unixFolder, DRIVE_CDROM));
    EXPECT_EQ(GetDriveTypeW(L"D:\\"), static_cast<UINT>(DRIVE_CDROM));
    EXPECT_EQ(DefaultInstallBase(), L"C:\\Program Files\\") << "nothing can be installed onto a CD";
    ASSERT_TRUE(DefineWineDrive(L'D', unixFolder, DRIVE_REMOVABLE));
    EXPECT_EQ(DefaultInstallBase(), L"C:\\Program Files\\");
    ASSERT_TRUE(DefineWineDrive(L'D', unixFolder, DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeW(L"D:\\"), static_cast<UINT>(DRIVE_FIXED));
    {
        TestWindow window;
        EXPECT_EQ(TextOf(window.Parts().pathText), L"安装路径：D:\\Program Files\\Halvane\\");
        EXPECT_EQ(window.InstallBaseDir(), L"D:\\Program Files\\");
    }
    EXPECT_TRUE(RemoveWineDrive(L'D'));
    EXPECT_EQ(DefaultInstallBase(), L"C:\\Program Files\\");
}

TEST_F(MainWindowTest, FolderChoiceNeeds55MiBAndKeepsRootsWhole) {
    TestWindow window;
    const std::wstring before = TextOf(window.Parts().pathText);
    EXPECT_EQ(window.ApplyChosenFolder(L"Q:\\nowhere"), FolderChoiceResult::TooLittleSpace) << "unreadable space";
    EXPECT_EQ(TextOf(window.Parts().pathText), before);

    ScratchDir dir;
    EXPECT_EQ(window.ApplyChosenFolder(dir.Path()), FolderChoiceResult::Accepted);
    EXPECT_EQ(TextOf(window.Parts().pathText), L"安装路径：" + dir.Path() + L"\\Halvane\\");
    EXPECT_EQ(window.InstallBaseDir(), dir.Path() + L"\\");
    EXPECT_EQ(window.ApplyChosenFolder(L"C:\\"), FolderChoiceResult::Accepted);
    EXPECT_EQ(TextOf(window.Parts().pathText), L"安装路径：C:\\Halvane\\");

    const char* small = std::getenv("UI_VOLUME_54");
    const char* enough = std::getenv("UI_VOLUME_55");
    if (!small || !enough) GTEST_SKIP() << "no small volumes (mounting tmpfs needs root)";
    ASSERT_TRUE(DefineWineDrive(L'X', small, DRIVE_FIXED));
    ASSERT_TRUE(DefineWineDrive(L'Y', enough, DRIVE_FIXED));
    EXPECT_EQ(FreeSpaceMB(L"X:\\"), 54u);
    EXPECT_EQ(FreeSpaceMB(L"Y:\\"), 55u);
    EXPECT_EQ(window.ApplyChosenFolder(L"X:\\"), FolderChoiceResult::TooLittleSpace);
    EXPECT_EQ(TextOf(window.Parts().pathText), L"安装路径：C:\\Halvane\\") << "the previous folder stays";
    EXPECT_EQ(window.ApplyChosenFolder(L"Y:\\"), FolderChoiceResult::Accepted);
    EXPECT_EQ(TextOf(window.Parts().pathText), L"安装路径：Y:\\Halvane\\");
    EXPECT_EQ(window.InstallBaseDir(), L"Y:\\");
    RemoveWineDrive(L'X');
    RemoveWineDrive(L'Y');
}

namespace {

// A visible dialog of this process other than `besides`, or null.
HWND OwnDialog(HWND besides) {
    HWND found = nullptr;
    for (HWND window = FindWindowW(L"#32770", nullptr); window && !found;
         window = FindWindowExW(nullptr, window, L"#32770", nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && window != besides && IsWindowVisible(window)) found = window;
    }
    return found;
}

}  // namespace

TEST_F(MainWindowTest, FolderButtonRefusesASmallVolumeWithTheMessageBox) {
    const char* small = std::getenv("UI_VOLUME_54");
    if (!small) GTEST_SKIP() << "no small volume (mounting tmpfs needs root)";
    ASSERT_TRUE(DefineWineDrive(L'X', small, DRIVE_FIXED));
    TestWindow window;
    const std::wstring before = TextOf(window.Parts().pathText);

    // The user picks X:\ in the folder dialog and confirms the message box; both are modal
    // on this thread, so another thread plays the user.
    std::wstring boxText;
    std::thread user([&] {
        HWND browse = nullptr;
        if (!WaitUntil([&] { return (browse = OwnDialog(nullptr)) != nullptr; }, 20000)) return;
        SendMessageW(browse, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(L"X:\\"));
        PostMessageW(browse, WM_COMMAND, IDOK, 0);
        HWND box = nullptr;
        if (!WaitUntil([&] { return (box = OwnDialog(browse)) != nullptr; }, 20000)) return;
        wchar_t text[128] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 128);
        boxText = text;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    Click(window.Handle(), 543 + 12, 225 + 6);
    user.join();
    EXPECT_EQ(boxText, L"硬盘空间不足，请检查后再重试。");
    EXPECT_EQ(TextOf(window.Parts().pathText), before) << "the previous folder stays";
    RemoveWineDrive(L'X');
}

TEST_F(MainWindowTest, PhasesByClicksAndByTheWakeThenAWholeInstall) {
    ASSERT_TRUE(ServePackage("UI_GOOD_PACKAGE", "&rate=250000"));
    ScratchDir dir;
    TestWindow window;
    ASSERT_EQ(window.ApplyChosenFolder(dir.Path()), FolderChoiceResult::Accepted);
    const DownloadWindowParts& parts = window.Parts();
    const std::wstring installDir = dir.Path() + L"\\Halvane\\";

    Click(window.Handle(), kMainButton.x, kMainButton.y);
    EXPECT_EQ(InstallPhase, PhaseDownloading);
    EXPECT_EQ(PhaseCaption(window), L"暂停安装");
    EXPECT_EQ(parts.folderButton->IsEnabled(), 0);
    EXPECT_EQ(parts.runner->IsVisible(), 1);
    EXPECT_TRUE(window.WorkerRunning());

    // The progress texts move.
    ASSERT_TRUE(PumpUntil([&] { return TextOf(parts.percentText) != L"" && TextOf(parts.sizeText) != L"0.00M/0.00M"; },
                          20000));
    const std::wstring early = TextOf(parts.sizeText);
    ASSERT_TRUE(PumpUntil([&] { return TextOf(parts.sizeText) != early; }, 10000)) << WideToUtf8(early);
    EXPECT_NE(TextOf(parts.speedText).find(L"当前下载速度："), std::wstring::npos);

    // Pause: the speed reads zero at once and nothing moves any more.
    Click(window.Handle(), kMainButton.x, kMainButton.y);
    EXPECT_EQ(InstallPhase, PhasePaused);
    EXPECT_EQ(PhaseCaption(window), L"继续安装");
    EXPECT_EQ(TextOf(parts.speedText), L"当前下载速度：0K/S");
    PumpFor(300);
    const std::wstring paused = TextOf(parts.sizeText);
    const std::wstring package = installDir + L"zel_lobby.install";
    const size_t pausedBytes = ReadFileBytes(package).value_or("").size();
    PumpFor(1500);
    EXPECT_EQ(TextOf(parts.sizeText), paused);
    EXPECT_EQ(ReadFileBytes(package).value_or("").size(), pausedBytes);

    // A second copy of the program continues, then pauses again; each wake writes the
    // login profile.
    WakeFromSecondCopy();
    EXPECT_TRUE(PumpUntil([] { return InstallPhase == PhaseDownloading; }, 10000));
    EXPECT_EQ(PhaseCaption(window), L"暂停安装");
    EXPECT_TRUE(FileExists(installDir + L"IsLobbyLogin.dat"));
    WakeFromSecondCopy();
    EXPECT_TRUE(PumpUntil([] { return InstallPhase == PhasePaused; }, 10000));
    EXPECT_EQ(PhaseCaption(window), L"继续安装");

    // Continue to the end: "100%", "正在启动", the hand-over, the type 1 report.
    Click(window.Handle(), kMainButton.x, kMainButton.y);
    EXPECT_EQ(InstallPhase, PhaseDownloading);
    ASSERT_TRUE(PumpUntil([&] { return window.installedWakes > 0; }, 90000)) << WideToUtf8(TextOf(parts.sizeText));
    EXPECT_EQ(TextOf(parts.percentText), L"100%");
    EXPECT_EQ(PhaseCaption(window), L"正在启动");
    EXPECT_TRUE(PumpUntil([&] { return !window.WorkerRunning(); }, 20000));
    PumpUntilIdle();
    EXPECT_EQ(parts.runner->IsVisible(), 0);
    EXPECT_TRUE(FileExists(installDir + L"lobby.exe"));
    EXPECT_EQ(StatsRequestsWith("StatistsType=1"), 1);
    DeleteFileW(DesktopShortcutPath().c_str());
}

TEST_F(MainWindowTest, DownloadFailureThenDownloadAgainContinuesThePartialFile) {
    // Every response breaks off after 300000 bytes, for the first two; each worker has two
    // attempts.
    ASSERT_TRUE(ServePackage("UI_GOOD_PACKAGE", "&drop_after=300000&drop_count=2"));
    ScratchDir dir;
    TestWindow window(2);
    ASSERT_EQ(window.ApplyChosenFolder(dir.Path()), FolderChoiceResult::Accepted);
    Click(window.Handle(), kMainButton.x, kMainButton.y);
    ASSERT_TRUE(PumpUntil([&] { return DialogShown(window); }, 30000));
    ErrorDialog& dialog = *window.FailureDialog();
    EXPECT_EQ(TextOf(dialog.Title()), L"下载失败：");
    EXPECT_EQ(TextOf(dialog.Header()), L"以下问题可能是造成您下载失败的主要原因：");
    EXPECT_EQ(TextOf(dialog.Reasons()),
              L"1.网络不稳定造成。\n2.安全软件或防火墙阻挡了本次下载。\n3.检查客户端下载器是否是最新版本。");
    EXPECT_EQ(dialog.RedownloadButton()->IsVisible(), 1);
    EXPECT_EQ(dialog.OkButton()->IsVisible(), 1);
    EXPECT_EQ(InstallPhase, PhaseDownloading) << "the phase stays after a download failure";
    RECT onScreen{}, owner{};
    GetWindowRect(dialog.Handle(), &onScreen);
    GetWindowRect(window.Handle(), &owner);
    EXPECT_TRUE(EqualRect(&onScreen, &owner)) << "laid exactly over the main window";
    EXPECT_EQ(StatsRequestsWith("StatistsType"), 0) << "no report after a download failure";

    Click(dialog.Handle(), kRedownloadButton.x, kRedownloadButton.y);
    // The new worker may be done with the rest already; the phase it began in is 1.
    EXPECT_FALSE(DialogShown(window));
    EXPECT_NE(InstallPhase, PhasePaused);
    ASSERT_TRUE(PumpUntil([&] { return window.installedWakes > 0; }, 30000));
    EXPECT_TRUE(PumpUntil([&] { return !window.WorkerRunning(); }, 20000));
    const std::vector<std::string> ranges = ObjectRanges();
    ASSERT_EQ(ranges.size(), 3u);
    EXPECT_EQ(ranges[0], "-");
    EXPECT_EQ(ranges[1], "bytes=300000-");
    EXPECT_EQ(ranges[2], "bytes=600000-") << "the new worker continues the partial file";
    DeleteFileW(DesktopShortcutPath().c_str());
}

TEST_F(MainWindowTest, InstallFailureThenOkLeavesTheInstallPaused) {
    ASSERT_TRUE(ServePackage("UI_BAD_PACKAGE"));
    ScratchDir dir;
    TestWindow window;
    ASSERT_EQ(window.ApplyChosenFolder(dir.Path()), FolderChoiceResult::Accepted);
    Click(window.Handle(), kMainButton.x, kMainButton.y);
    ASSERT_TRUE(PumpUntil([&] { return DialogShown(window) && !window.WorkerRunning(); }, 30000));
    ErrorDialog& dialog = *window.FailureDialog();
    EXPECT_EQ(TextOf(dialog.Title()), L"安装失败：");
    EXPECT_EQ(TextOf(dialog.Header()), L"以下问题可能是造成您安装失败的主要原因：");
    EXPECT_EQ(dialog.RedownloadButton()->IsVisible(), 0);
    EXPECT_EQ(dialog.OkButton()->IsVisible(), 1);
    EXPECT_EQ(InstallPhase, PhaseInstalling);
    EXPECT_EQ(TextOf(window.Parts().percentText), L"100%");
    EXPECT_EQ(StatsRequestsWith("StatistsType=2"), 1);
    // Unpacking: the main button does nothing.
    Click(window.Handle(), kMainButton.x, kMainButton.y);
    EXPECT_EQ(InstallPhase, PhaseInstalling);
    EXPECT_EQ(PhaseCaption(window), L"正在启动");

    Click(dialog.Handle(), kOkButton.x, kOkButton.y);
    EXPECT_FALSE(DialogShown(window));
    EXPECT_EQ(InstallPhase, PhasePaused);
    EXPECT_EQ(PhaseCaption(window), L"继续安装");
    const size_t requests = ObjectRanges().size();
    PumpFor(1500);
    EXPECT_TRUE(window.WorkerRunning()) << "the new worker waits for the main button";
    EXPECT_EQ(ObjectRanges().size(), requests) << "nothing runs until the main button is pressed";

    // Continued, the complete package is unpacked again and fails again.
    Click(window.Handle(), kMainButton.x, kMainButton.y);
    EXPECT_EQ(PhaseCaption(window), L"暂停安装");
    ASSERT_TRUE(PumpUntil([&] { return DialogShown(window) && !window.WorkerRunning(); }, 30000));
    EXPECT_EQ(TextOf(dialog.Title()), L"安装失败：");
    EXPECT_EQ(StatsRequestsWith("StatistsType=2"), 2);
}

TEST_F(MainWindowTest, BalloonBesideTheNewDesktopIcon) {
    // The log is written only when its file exists at start.
    const std::wstring log = TestBinDir() + L"\\__lobby_dl_debug.log";
    WriteFileBytes(log, "");
    ScratchDir dir;
    {
        TestWindow window;
        // Wine has no desktop list view.
        window.StartTimer(TIMER_LOCATE_ICON, 10);
        PumpFor(300);
        EXPECT_EQ(window.Balloon(), nullptr);

        StandIn standIn = StartStandIn(dir, L"progman", L"Alpha Halvane");
        ASSERT_EQ(standIn.items.size(), 2u);
        const RECT icon = standIn.items[1];
        window.StartTimer(TIMER_LOCATE_ICON, 10);
        ASSERT_TRUE(PumpUntil([&] { return window.Balloon() != nullptr; }, 5000));
        RECT balloon{};
        GetWindowRect(window.Balloon()->Handle(), &balloon);
        EXPECT_EQ(balloon.left, icon.right);
        EXPECT_EQ(balloon.top, icon.top + 5);
        EXPECT_EQ(balloon.right - balloon.left, 209);
        EXPECT_EQ(balloon.bottom - balloon.top, 46);
        EXPECT_TRUE(IsWindowVisible(window.Balloon()->Handle()));
        EXPECT_EQ(TextOf(window.Balloon()->Text()), kBalloonText);

        window.StartTimer(TIMER_HIDE_BALLOON, 10);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(window.Balloon()->Handle()); }, 5000));
        standIn.process.Kill();
    }
    EXPECT_EQ(ReadFileBytes(log).value_or(""),
              "hwndSysListView32 = NULL\r\nIsRectEmpty() = true\r\n"
              "IsWow64 = false\r\nsendmessage WM_APP+2\r\n");
    DeleteFileW(log.c_str());
}
