#include "WineDrives.h"

#include <winioctl.h>

#include <cstring>
#include <vector>

namespace {

// Wine's own request to its mount manager (a Wine extension of the device's interface).
struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};

constexpr DWORD kDefineUnixDrive = CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

bool Send(wchar_t letter, const std::string& unixPath, UINT type) {
    std::vector<char> buffer(sizeof(UnixDriveRequest) + unixPath.size() + 1, '\0');
    UnixDriveRequest request{};
    request.size = static_cast<ULONG>(buffer.size());
    request.type = type;
    request.letter = static_cast<WCHAR>(towlower(letter));
    if (!unixPath.empty()) {
        request.mountPointOffset = sizeof(UnixDriveRequest);
        std::memcpy(buffer.data() + sizeof request, unixPath.c_str(), unixPath.size() + 1);
    }
    std::memcpy(buffer.data(), &request, sizeof request);
    HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()),
                                    nullptr, 0, &returned, nullptr);
    CloseHandle(manager);
    return ok != FALSE;
}

}  // namespace

bool DefineWineDrive(wchar_t letter, const std::string& unixPath, UINT type) { return Send(letter, unixPath, type); }

bool RemoveWineDrive(wchar_t letter) { return Send(letter, "", DRIVE_NO_ROOT_DIR); }
