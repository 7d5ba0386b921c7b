#include "diag/CrashDumper.h"

#include <windows.h>
#include <dbghelp.h>

#include <string>

namespace {

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

// Written once at installation, before any other thread exists; only read afterwards.
MiniDumpWriteDumpFn g_writeDump = nullptr;

// The dump path is prepared at installation: the filter runs on a broken process and
// should do as little as it can.
wchar_t g_dumpPath[32768];

LONG WINAPI WriteCrashDump(EXCEPTION_POINTERS* exception) {
    HANDLE file = CreateFileW(g_dumpPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return EXCEPTION_CONTINUE_SEARCH;
    MINIDUMP_EXCEPTION_INFORMATION info;
    info.ThreadId = GetCurrentThreadId();
    info.ExceptionPointers = exception;
    info.ClientPointers = TRUE;
    g_writeDump(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal, &info, nullptr, nullptr);
    CloseHandle(file);
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

int InstallCrashDumper() {
    // Loaded by full System32 path: never a dbghelp.dll planted beside the installer.
    wchar_t system[MAX_PATH];
    const UINT systemLength = GetSystemDirectoryW(system, MAX_PATH);
    if (systemLength == 0 || systemLength >= MAX_PATH) return 0;
    const std::wstring library = std::wstring(system, systemLength) + L"\\dbghelp.dll";
    HMODULE dbghelp = LoadLibraryW(library.c_str());  // kept for the life of the process
    if (!dbghelp) return 0;
    g_writeDump = reinterpret_cast<MiniDumpWriteDumpFn>(
        reinterpret_cast<void*>(GetProcAddress(dbghelp, "MiniDumpWriteDump")));
    if (!g_writeDump) return 0;

    const DWORD length = GetModuleFileNameW(nullptr, g_dumpPath, static_cast<DWORD>(std::size(g_dumpPath)));
    if (length == 0 || length >= std::size(g_dumpPath)) return 0;
    std::wstring path(g_dumpPath, length);
    path.resize(path.find_last_of(L'\\') + 1);
    path += kCrashDumpFileName;
    if (path.size() >= std::size(g_dumpPath)) return 0;
    path.copy(g_dumpPath, path.size());
    g_dumpPath[path.size()] = L'\0';

    SetUnhandledExceptionFilter(WriteCrashDump);
    return 1;
}
