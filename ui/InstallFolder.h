#pragma once
// The default base folder of the install and the path label's text.

#include <string>

// "D:\Program Files\" when D: is a fixed drive, else "C:\Program Files\". A CD-ROM,
// removable or network D: cannot take an install.
std::wstring DefaultInstallBase();

// The install folder inside a base folder (which ends with a backslash): base, brand, '\'.
std::wstring InstallDirFor(const std::wstring& installBase);
