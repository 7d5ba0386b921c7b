#include "ui/InstallFolder.h"

#include <windows.h>

#include "app/BuildConfig.h"
#include "ui/FolderText.h"

std::wstring DefaultInstallBase() {
    return GetDriveTypeW(L"D:\\") == DRIVE_FIXED ? L"D:\\Program Files\\" : L"C:\\Program Files\\";
}

std::wstring InstallDirFor(const std::wstring& installBase) { return InstallDirIn(installBase, kBrandName); }

uint64_t FreeSpaceMB(const std::wstring& folder) {
    ULARGE_INTEGER available{};
    if (folder.empty() || !GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) return 0;
    return available.QuadPart >> 20;
}
