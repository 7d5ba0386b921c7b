// The fault matrix's hands and eyes on the installer window, from another process:
//   window_watch press TIMEOUT_MS     waits for the window and clicks its main button
//   window_watch outcome TIMEOUT_MS   waits until the failure dialog shows ("failure-dialog")
//                                     or the window is gone ("ended"); else "timeout"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

// The centre of the main button (425, 275; one frame is 148 x 50) in the window.
constexpr int kMainButtonX = 425 + 74;
constexpr int kMainButtonY = 275 + 25;

HWND VisibleWindow(const wchar_t* className) {
    HWND window = FindWindowW(className, nullptr);
    return window && IsWindowVisible(window) ? window : nullptr;
}

int Press(DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < end) {
        if (HWND window = VisibleWindow(L"DownloadWindow")) {
            Sleep(500);  // let the window finish its first paint
            const LPARAM at = MAKELPARAM(kMainButtonX, kMainButtonY);
            PostMessageW(window, WM_MOUSEMOVE, 0, at);
            PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(window, WM_LBUTTONUP, 0, at);
            std::puts("pressed");
            return 0;
        }
        Sleep(50);
    }
    std::puts("timeout");
    return 1;
}

int Outcome(DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < end) {
        if (VisibleWindow(L"ERROR_WINDOW")) {
            std::puts("failure-dialog");
            return 0;
        }
        if (!FindWindowW(L"DownloadWindow", nullptr)) {
            std::puts("ended");
            return 0;
        }
        Sleep(50);
    }
    std::puts("timeout");
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const DWORD timeout = static_cast<DWORD>(_wtoi(argv[2]));
    if (std::wcscmp(argv[1], L"press") == 0) return Press(timeout);
    if (std::wcscmp(argv[1], L"outcome") == 0) return Outcome(timeout);
    return 2;
}
