// The installer itself, as a user runs it: a whole install against the local servers ending
// in the started lobby, and the notification icon with real clicks on Wine's tray.

#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "app/BuildConfig.h"
#include "app/TextConv.h"
#include "install/DesktopShortcut.h"
#include "net/FaultServer.h"
#include "support/TestSupport.h"

namespace {

const std::wstring kInstallDir = L"C:\\Program Files\\Halvane";

std::wstring ProgramCommand() { return Quote(TestBinDir() + L"\\" + AnsiToWide(PRODUCT_EXE) + L".exe"); }

HWND MainWindowOf(DWORD processId) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window = FindWindowW(L"DownloadWindow", nullptr); window;
                 window = FindWindowExW(nullptr, window, L"DownloadWindow", nullptr)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == processId && IsWindowVisible(window)) found = window;
            }
            return found != nullptr;
        },
        30000);
    return found;
}

// A real click of the system's mouse at a screen position.
void RealClick(int x, int y, bool right = false) {
    SetCursorPos(x, y);
    Sleep(100);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
    Sleep(200);
}

HWND TrayWindow() { return FindWindowW(nullptr, L"Wine System Tray"); }

// The screen position of the first icon in Wine's tray window (it has a caption).
POINT FirstTrayIcon() {
    POINT icon{10, 10};
    ClientToScreen(TrayWindow(), &icon);
    return icon;
}

}  // namespace

TEST(Program, WholeInstallStartsTheLobbyAndEnds) {
    LoadBuildConfig();  // the package path the program asks for
    ASSERT_TRUE(ServePackage("UI_GOOD_PACKAGE", "&rate=1000000"));
    RemoveTree(kInstallDir);
    ChildProcess program(ProgramCommand());
    ASSERT_TRUE(program.Started());
    HWND window = MainWindowOf(program.Id());
    ASSERT_NE(window, nullptr);
    Click(window, 425 + 74, 275 + 25);

    const auto exitCode = program.Wait(120000);
    ASSERT_TRUE(exitCode.has_value()) << "the installer did not end";
    EXPECT_EQ(*exitCode, 0u);
    ASSERT_TRUE(WaitUntil([] { return FileExists(kInstallDir + L"\\lobby-ran.txt"); }, 20000))
        << "the lobby did not start";
    const std::string ran = ReadFileBytes(kInstallDir + L"\\lobby-ran.txt").value_or("");
    EXPECT_NE(ran.find("folder=C:\\Program Files\\Halvane\\"), std::string::npos) << ran;
    EXPECT_TRUE(FileExists(kInstallDir + L"\\IsLobbyLogin.dat"));
    EXPECT_EQ(StatsRequestsWith("StatistsType=1"), 1) << "the report arrived before the installer ended";
    DeleteFileW(DesktopShortcutPath().c_str());
    RemoveTree(kInstallDir);
}

TEST(Program, CloseToTrayLeftClickRestoresMenuCloseEnds) {
    ChildProcess program(ProgramCommand());
    HWND window = MainWindowOf(program.Id());
    ASSERT_NE(window, nullptr);

    // The close button hides the window and puts the icon in the tray.
    Click(window, 565 + 17, 1 + 17);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }, 10000));
    ASSERT_TRUE(WaitUntil([] { return TrayWindow() && IsWindowVisible(TrayWindow()); }, 10000))
        << "no icon in the tray";
    EXPECT_FALSE(program.Wait(0).has_value()) << "the install goes on";

    POINT icon = FirstTrayIcon();
    RealClick(icon.x, icon.y);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000)) << "a left click restores";
    EXPECT_TRUE(WaitUntil([] { return !IsWindowVisible(TrayWindow()); }, 10000)) << "and removes the icon";

    Click(window, 565 + 17, 1 + 17);
    ASSERT_TRUE(WaitUntil([] { return TrayWindow() && IsWindowVisible(TrayWindow()); }, 10000));
    // Synthesised input on a loaded X server is sometimes dropped before the menu holds its
    // grab; a user would click again, and so does the test, once.
    std::optional<DWORD> exitCode;
    for (int attempt = 0; attempt < 2 && !exitCode; ++attempt) {
        if (!TrayWindow() || !IsWindowVisible(TrayWindow())) break;
        icon = FirstTrayIcon();
        RealClick(icon.x, icon.y, true);
        HWND menu = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] {
                menu = FindWindowW(L"#32768", nullptr);
                return menu && IsWindowVisible(menu);
            },
            10000))
            << "no menu";
        Sleep(300);  // the menu is shown before it is placed and tracking
        RECT item{};
        GetWindowRect(menu, &item);
        RealClick(item.left + 20, (item.top + item.bottom) / 2);
        exitCode = program.Wait(10000);
        if (!exitCode && IsWindowVisible(menu)) {
            keybd_event(VK_ESCAPE, 0, 0, 0);
            keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
        }
    }
    ASSERT_TRUE(exitCode.has_value()) << "关闭 did not end the program"
                                      << (TrayWindow() && IsWindowVisible(TrayWindow()) ? " (icon still in the tray)" : " (icon gone)");
    EXPECT_EQ(*exitCode, 0u);
}

TEST(Program, MinimiseThenCloseRequestEndsDuringTheDownload) {
    ASSERT_TRUE(ServePackage("UI_GOOD_PACKAGE", "&rate=100000"));
    RemoveTree(kInstallDir);
    ChildProcess program(ProgramCommand());
    HWND window = MainWindowOf(program.Id());
    ASSERT_NE(window, nullptr);
    Click(window, 425 + 74, 275 + 25);
    ASSERT_TRUE(WaitUntil([] { return FileExists(kInstallDir + L"\\zel_lobby.install"); }, 20000));

    Click(window, 530 + 17, 1 + 17);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(window) != FALSE; }, 10000));
    EXPECT_FALSE(program.Wait(0).has_value());

    // Alt+F4 or any close request ends the program at once, whatever it is doing.
    PostMessageW(window, WM_CLOSE, 0, 0);
    const auto exitCode = program.Wait(10000);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 0u);
    EXPECT_FALSE(FileExists(kInstallDir + L"\\lobby.exe"));
    RemoveTree(kInstallDir);
}
