// Stands in for a running lobby. Copied as lobby.exe and started, it keeps its own image
// in use; given a path, it also holds that file open the way a running program holds its
// data (other readers allowed, no writers). Ends after the given milliseconds (default
// 60000) or when killed.

#include <windows.h>

#include <cstdlib>

int wmain(int argc, wchar_t** argv) {
    HANDLE held = INVALID_HANDLE_VALUE;
    if (argc > 1 && argv[1][0] != L'\0') {
        held = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (held == INVALID_HANDLE_VALUE) return 2;
    }
    Sleep(argc > 2 ? static_cast<DWORD>(_wtoi(argv[2])) : 60000);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    return 0;
}
