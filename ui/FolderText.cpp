#include "ui/FolderText.h"

std::wstring BaseFolderForChoice(const std::wstring& chosen) {
    if (chosen.empty() || chosen.back() == L'\\') return chosen;
    return chosen + L"\\";
}

std::wstring InstallDirIn(const std::wstring& base, const std::wstring& brand) { return base + brand + L"\\"; }

std::wstring PathLabelText(const std::wstring& installDir) { return kPathLabelPrefix + installDir; }
