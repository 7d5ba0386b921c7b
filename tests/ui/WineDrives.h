#pragma once
// Drive letters of the Wine prefix, defined and removed at run time through Wine's mount
// manager (what winecfg does), with the drive type the system then reports.

#include <windows.h>

#include <string>

// Maps `letter` to the Unix folder `unixPath` as a drive of `type` (DRIVE_FIXED,
// DRIVE_CDROM, ...). False when the mount manager refused.
bool DefineWineDrive(wchar_t letter, const std::string& unixPath, UINT type);
bool RemoveWineDrive(wchar_t letter);
