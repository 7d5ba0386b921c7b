#pragma once
// The notification-area icon of the main window, with its one-item menu. While it exists
// it sees every message of its window first (a window subclass): a left click on the icon
// brings the window back, a right click opens the menu, and when the shell restarts
// ("TaskbarCreated") a shown icon is added again. Then the message goes on to the window.
// Everything here runs on the window's thread.

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <memory>
#include <string>

class TrayIcon {
public:
    TrayIcon() = default;
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Prepares the icon for `window` without showing it. The menu handle is also the
    // icon's identifier. `tip` is ANSI text. True when created (or created already).
    bool Create(HWND window, HICON icon, HMENU menu, const std::string& tip, bool removeOnRestore,
                UINT leftMessage, UINT rightMessage);
    // The results of Shell_NotifyIconA.
    BOOL AddIcon();
    BOOL RemoveIcon();
    bool IsShown() const { return shown_; }

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self) noexcept;
    void OnIconMessage(LPARAM mouseMessage);
    void Detach();

    std::unique_ptr<NOTIFYICONDATAA> data_;
    HWND window_ = nullptr;
    HMENU menu_ = nullptr;
    UINT leftMessage_ = 0;
    UINT rightMessage_ = 0;
    bool removeOnRestore_ = false;
    bool shown_ = false;
};
