// A stand-in for the real lobby, packed into the sample package: when started it records
// that it ran (its folder and its arguments) in "lobby-ran.txt" beside itself, and ends.

#include <windows.h>

#include <string>

#include "app/TextConv.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::wstring folder(path, length);
    folder.resize(folder.find_last_of(L'\\') + 1);
    const std::string record = "folder=" + WideToUtf8(folder) + "\r\nargs=" + WideToUtf8(arguments ? arguments : L"") +
                               "\r\npid=" + std::to_string(GetCurrentProcessId()) + "\r\n";
    HANDLE file = CreateFileW((folder + L"lobby-ran.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
