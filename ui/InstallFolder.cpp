#include "ui/InstallFolder.h"

#include <windows.h>

#include "app/BuildConfig.h"

std::wstring DefaultInstallBase() {
    return GetDriveTypeW(L"D:\\") == DRIVE_FIXED ? L"D:\\Program Files\\" : L"C:\\Program Files\\";
}

std::wstring InstallDirFor(const std::wstring& installBase) { return installBase + kBrandName + L"\\"; }
