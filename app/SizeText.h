#pragma once
// The size label's text, shared by the progress display and the worker's final label. No
// windows.h: also built natively.

#include <cstdint>
#include <cwchar>
#include <iterator>
#include <string>

// "117.74M/941.90M": both sizes in MiB with two decimals.
inline std::wstring SizeText(uint64_t downloadedBytes, uint64_t totalBytes) {
    wchar_t text[96];
    swprintf(text, std::size(text), L"%.02fM/%.02fM", static_cast<double>(downloadedBytes) / 1024.0 / 1024.0,
             static_cast<double>(totalBytes) / 1024.0 / 1024.0);
    return text;
}
