#pragma once
// The default base folder of the install, the install folder inside a base folder, and the
// free space of a folder's volume.

#include <cstdint>
#include <string>

// "D:\Program Files\" when D: is a fixed drive, else "C:\Program Files\". A CD-ROM,
// removable or network D: cannot take an install.
std::wstring DefaultInstallBase();

// The install folder inside a base folder (which ends with a backslash): base, brand, '\'.
std::wstring InstallDirFor(const std::wstring& installBase);

// Free space available to this user on the volume of `folder`, in MiB (2^20 bytes); 0 when
// it cannot be read.
uint64_t FreeSpaceMB(const std::wstring& folder);

// Folders on volumes with less free space than this are refused.
inline constexpr uint64_t kMinFreeSpaceMB = 55;
