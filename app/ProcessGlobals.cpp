#include "app/ProcessGlobals.h"

#include <gdiplus.h>

#include <vector>

UINT WakeMessage = 0;
UINT TrayMessage = 0;
UINT TaskbarCreatedMessage = 0;

namespace {
ULONG_PTR g_gdiplusToken = 0;
}

void RestrictDllSearchToSystem32() {
    // SetDefaultDllDirectories is missing on Windows 7 without KB2533623, so it is looked
    // up rather than imported; without it, at least drop the current folder from the path.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (!setDefault || !setDefault(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */)) SetDllDirectoryW(L"");
}

std::wstring ExecutableFolder() {
    std::vector<wchar_t> path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::wstring folder(path.data(), length < path.size() ? length : 0);
    const size_t slash = folder.find_last_of(L'\\');
    folder.resize(slash == std::wstring::npos ? 0 : slash);
    return folder;
}

void InitProcessGlobals() {
    WakeMessage = RegisterWindowMessageA(kWakeMessageName);
    Gdiplus::GdiplusStartupInput input;  // version 1, every other option off
    Gdiplus::GdiplusStartup(&g_gdiplusToken, &input, nullptr);
    const std::wstring folder = ExecutableFolder();
    if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
    TrayMessage = RegisterWindowMessageA(kTrayMessageName);
    TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
}

void ShutdownProcessGlobals() {
    if (g_gdiplusToken) Gdiplus::GdiplusShutdown(g_gdiplusToken);
    g_gdiplusToken = 0;
}
