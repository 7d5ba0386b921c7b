#pragma once
// The main window. For now a plain window that carries the start-up steps, the records
// and the single-instance wake; the skinned layout replaces its painting.

#include <windows.h>

#include <string>

#include "diag/DebugLog.h"

inline constexpr wchar_t kMainWindowClass[] = L"DownloadWindow";

class DownloadWindow {
public:
    DownloadWindow();
    ~DownloadWindow();
    DownloadWindow(const DownloadWindow&) = delete;
    DownloadWindow& operator=(const DownloadWindow&) = delete;

    HWND Handle() const { return window_; }

private:
    static LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void OnWake();
    [[noreturn]] void CanClose();

    HWND window_ = nullptr;
    std::wstring installBaseDir_;
    DebugLog debugLog_;
};
