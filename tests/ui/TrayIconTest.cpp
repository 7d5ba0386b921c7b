// The notification icon on a plain window of this program, against Wine's real tray: the
// icon comes back when the shell restarts, clicks reach it through the window subclass, and
// anything else passes on to the window.

#include <gtest/gtest.h>

#include "app/ProcessGlobals.h"
#include "skin/SkinTestSupport.h"
#include "ui/TrayIcon.h"

namespace {

// Asks the shell to remove the icon itself: true only while the shell has it.
bool ShellHasIcon(HWND window, HMENU menu) {
    NOTIFYICONDATAA probe{};
    probe.cbSize = NOTIFYICONDATAA_V2_SIZE;
    probe.hWnd = window;
    probe.uID = static_cast<UINT>(reinterpret_cast<UINT_PTR>(menu));
    return Shell_NotifyIconA(NIM_DELETE, &probe) == TRUE;
}

}  // namespace

TEST(TrayIcon, ClicksShellRestartsAndEverythingElsePassesOn) {
    if (!TrayMessage) InitProcessGlobals();
    HWND window = CreateWindowExW(0, L"STATIC", L"tray owner", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    HMENU menu = CreatePopupMenu();
    {
        TrayIcon tray;
        ASSERT_TRUE(tray.Create(window, LoadIconW(nullptr, IDI_APPLICATION), menu, "Halvane", true, WM_LBUTTONUP,
                                WM_RBUTTONUP));
        const UINT_PTR id = reinterpret_cast<UINT_PTR>(menu);

        // Not shown: a restarted shell gets nothing.
        SendMessageW(window, TaskbarCreatedMessage, 0, 0);
        EXPECT_FALSE(ShellHasIcon(window, menu));

        ASSERT_EQ(tray.AddIcon(), TRUE);
        EXPECT_TRUE(tray.IsShown());
        // The shell forgets the icon, as a restarted one has, and announces itself.
        ASSERT_TRUE(ShellHasIcon(window, menu));
        SendMessageW(window, TaskbarCreatedMessage, 0, 0);
        EXPECT_TRUE(ShellHasIcon(window, menu)) << "the icon was not added again";

        // Another id or another mouse message is only passed on.
        ASSERT_EQ(tray.AddIcon(), TRUE);
        SendMessageW(window, TrayMessage, id + 1, WM_LBUTTONUP);
        SendMessageW(window, TrayMessage, id, WM_MOUSEMOVE);
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_TRUE(tray.IsShown());
        // The window's own handling still runs behind the subclass.
        SetWindowTextW(window, L"renamed");
        wchar_t text[32] = {};
        GetWindowTextW(window, text, 32);
        EXPECT_STREQ(text, L"renamed");

        // A left click on the icon brings the window back and removes the icon.
        SendMessageW(window, TrayMessage, id, WM_LBUTTONUP);
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_FALSE(tray.IsShown());
        EXPECT_FALSE(ShellHasIcon(window, menu));
        ShowWindow(window, SW_HIDE);
        ASSERT_EQ(tray.AddIcon(), TRUE);
    }
    EXPECT_FALSE(ShellHasIcon(window, menu)) << "the destructor removes the icon";
    DestroyMenu(menu);
    DestroyWindow(window);
}
