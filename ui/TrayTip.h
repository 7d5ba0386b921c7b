#pragma once
// The notification icon's tip as its 128-byte ANSI field holds it. No windows.h: also built
// natively.

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr size_t kTrayTipMaxBytes = 127;  // the 128th byte stays 0

// At most 127 bytes of `tip`, never ending in half a double-byte character: a lead byte
// whose trail byte would not fit is dropped.
std::string CutTrayTip(std::string_view tip, bool (*isLeadByte)(unsigned char));
