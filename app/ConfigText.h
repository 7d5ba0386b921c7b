#pragma once
// Platform-free reading rules for the build configuration: the decimal reading of the
// string-table numbers and the channel token in the executable's file name.
// No windows.h here, so the rules are also built natively and fuzzed.

#include <optional>
#include <string>
#include <string_view>

// The C library's atoi: leading white space, one optional sign, then digits up to the
// first non-digit; no digits gives 0. Values beyond the int range are clamped instead of
// overflowing.
int ReadDecimal(std::string_view text);

// The channel token of an executable path: the last '\'-separated piece (the file
// name), its last '_'-separated piece, and that piece's first '.'-separated piece.
// Runs of separators count as one and empty pieces do not exist, as with strtok.
std::optional<std::string> ChannelTokenFromPath(std::string_view path);

// True when every byte is a decimal digit; the empty text is all digits.
bool IsAllDigits(std::string_view text);
