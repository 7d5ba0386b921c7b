#include "ui/DownloadWindow.h"

#include "app/AnsiTexts.h"
#include "app/BuildConfig.h"
#include "app/InstallRecords.h"
#include "app/ProcessGlobals.h"
#include "app/Startup.h"
#include "ui/InstallFolder.h"

namespace {
constexpr int kWidth = 600;
constexpr int kHeight = 350;
}

DownloadWindow::DownloadWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = StaticProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassExW(&windowClass);
    CreateWindowExW(0, kMainWindowClass, L"", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, kWidth, kHeight,
                    nullptr, nullptr, GetModuleHandleW(nullptr), this);

    RunStartupConfiguration();
    debugLog_.Open();

    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    SetWindowPos(window_, nullptr, area.left + (area.right - area.left - kWidth) / 2,
                 area.top + (area.bottom - area.top - kHeight) / 2, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    ShowWindow(window_, SW_SHOWNORMAL);
    SetWindowTextA(window_, kTextWindowTitle);
    installBaseDir_ = DefaultInstallBase();
}

DownloadWindow::~DownloadWindow() {
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK DownloadWindow::StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<DownloadWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<DownloadWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    try {
        return self->WindowProc(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT DownloadWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WakeMessage) {
        OnWake();
        return 0;
    }
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_CLOSE:
        CanClose();
    case WM_NCDESTROY:
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        window_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void DownloadWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    HBRUSH background = CreateSolidBrush(RGB(16, 38, 72));
    FillRect(dc, &client, background);
    DeleteObject(background);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(230, 236, 245));
    DrawTextW(dc, kBrandName, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(window_, &paint);
}

void DownloadWindow::OnWake() {
    WriteLoginProfile(InstallDirFor(installBaseDir_), Config().channelId);
    ShowWindow(window_, SW_RESTORE);
    SetForegroundWindow(window_);
}

void DownloadWindow::CanClose() { TerminateProcess(GetCurrentProcess(), 0); __builtin_unreachable(); }
