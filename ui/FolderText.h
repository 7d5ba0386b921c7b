#pragma once
// The install folder as the path label shows it, and the base folder for a folder the user
// chose. No windows.h: also built natively.

#include <string>

inline constexpr wchar_t kPathLabelPrefix[] = L"安装路径：";

// The base folder for a chosen folder: a drive root ("D:\") as it is, any other folder with
// one backslash added.
std::wstring BaseFolderForChoice(const std::wstring& chosen);
// `base` (ending with a backslash), the brand, a backslash.
std::wstring InstallDirIn(const std::wstring& base, const std::wstring& brand);
// "安装路径：" followed by the install folder.
std::wstring PathLabelText(const std::wstring& installDir);
