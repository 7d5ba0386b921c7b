#pragma once
// Conversions at the boundary between UTF-16 (the user interface and paths) and the
// ANSI code page (the ANSI platform calls). Every ANSI conversion goes through here
// with an explicit code page.

#include <windows.h>

#include <string>
#include <string_view>

std::string WideToAnsi(std::wstring_view text, UINT codePage = CP_ACP);
std::wstring AnsiToWide(std::string_view text, UINT codePage = CP_ACP);
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);
