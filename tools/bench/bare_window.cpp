// The floor under the installer's memory figure on this platform: the least a program of
// the same kind holds. It loads the same system DLLs as the installer, opens a 600 x 350
// popup window, draws a line of Chinese text with GDI+ into a back buffer of the window's
// size ten times a second for SECONDS (default 3), opens WinInet, and prints the peak
// working set at its start (the DLLs loaded, nothing done yet), at the end, and after two
// more threads that only wait (the installer has its worker and its banner thread; under
// Wine every thread holds about a megabyte of its own):
//   "loaded_process_peak_bytes N", "bare_window_peak_bytes N", "with_two_threads_peak_bytes N".
//
//   bare_window.exe [SECONDS]

#include <windows.h>
// gdiplus.h, shlobj.h, commctrl.h and wininet.h need windows.h first.
#include <commctrl.h>
#include <gdiplus.h>
#include <psapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace Gdiplus::DllExports;

constexpr int kWidth = 600;
constexpr int kHeight = 350;
constexpr UINT_PTR kTickTimer = 1;

SIZE_T PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
}

struct Picture {
    HDC dc = nullptr;
    void* bits = nullptr;
    Gdiplus::GpBitmap* surface = nullptr;
    Gdiplus::GpFont* font = nullptr;
    Gdiplus::GpSolidFill* brush = nullptr;
    int ticks = 0;
};
Picture picture;

void Draw() {
    Gdiplus::GpGraphics* graphics = nullptr;
    GdipGetImageGraphicsContext(picture.surface, &graphics);
    if (!graphics) return;
    GdipGraphicsClear(graphics, 0xFF203040);
    wchar_t text[64];
    swprintf(text, 64, L"当前下载速度：%dK/S  %d%%", picture.ticks * 37 % 1000, picture.ticks % 100);
    const Gdiplus::RectF layout(30.0f, 280.0f, 370.0f, 25.0f);
    GdipDrawString(graphics, text, -1, picture.font, &layout, nullptr, picture.brush);
    GdipDeleteGraphics(graphics);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        ++picture.ticks;
        Draw();
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC target = BeginPaint(window, &paint);
        BitBlt(target, 0, 0, kWidth, kHeight, picture.dc, 0, 0, SRCCOPY);
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

DWORD WINAPI WaitForQuit(void* event) {
    return WaitForSingleObject(event, INFINITE);
}

}  // namespace

int main(int argc, char** argv) {
    const SIZE_T loadedPeak = PeakWorkingSet();
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 3;

    // The system DLLs the installer loads at its start.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SysFreeString(SysAllocString(L"bare"));
    wchar_t folder[MAX_PATH];
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, folder);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &key) == ERROR_SUCCESS) RegCloseKey(key);
    HINTERNET internet = InternetOpenW(L"bare", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);

    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return 1;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    picture.dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(picture.dc, &info, DIB_RGB_COLORS, &picture.bits, nullptr, 0);
    SelectObject(picture.dc, bitmap);
    GdipCreateBitmapFromScan0(kWidth, kHeight, kWidth * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(picture.bits),
                              &picture.surface);
    Gdiplus::GpFontFamily* family = nullptr;
    GdipCreateFontFamilyFromName(L"新宋体", nullptr, &family);
    if (family) GdipCreateFont(family, 9.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint, &picture.font);
    GdipCreateSolidFill(0xFEC8C8C8, &picture.brush);
    if (!picture.surface || !picture.font || !picture.brush) return 1;
    Draw();

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, L"BareWindow", L"", WS_POPUP | WS_VISIBLE, 100, 100, kWidth, kHeight, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    if (!window) return 1;
    SetTimer(window, kTickTimer, 100, nullptr);
    const ULONGLONG end = GetTickCount64() + seconds * 1000ULL;
    MSG message;
    while (GetTickCount64() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    std::printf("loaded_process_peak_bytes %lu\n", static_cast<unsigned long>(loadedPeak));
    std::printf("bare_window_peak_bytes %lu\n", static_cast<unsigned long>(PeakWorkingSet()));
    HANDLE quit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE threads[2] = {CreateThread(nullptr, 0, WaitForQuit, quit, 0, nullptr),
                         CreateThread(nullptr, 0, WaitForQuit, quit, 0, nullptr)};
    Sleep(300);
    std::printf("with_two_threads_peak_bytes %lu\n", static_cast<unsigned long>(PeakWorkingSet()));
    SetEvent(quit);
    WaitForMultipleObjects(2, threads, TRUE, 5000);
    DestroyWindow(window);
    if (internet) InternetCloseHandle(internet);
    return 0;
}
