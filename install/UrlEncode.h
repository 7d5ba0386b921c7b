#pragma once
// The percent-encoding of the statistics request. No windows.h here: the byte rule is
// platform-free and fuzzed natively.

#include <string>
#include <string_view>

// ASCII letters, digits and - _ . ~ stay; a blank becomes '+'; every other byte becomes
// '%' and two upper-case hexadecimal digits.
std::string PercentEncode(std::string_view bytes);

// Text in the system ANSI code page, re-encoded as UTF-8 and percent-encoded. Nothing is
// cut, whatever the length.
std::string UrlEncodeUtf8(std::string_view ansiText);
