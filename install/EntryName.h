#pragma once
// Platform-free rules for the names of archive entries: the clean-up rule that strips
// drives, leading separators and "up" components the way packages have always been
// unpacked, and the safety check that decides whether what is left may be written at all.
// No windows.h here, so both are also built natively, unit-tested and fuzzed.
//
// Names arrive already decoded to UTF-16 (UTF-8 when the entry says so, otherwise the
// ANSI code page). Decoding first is what makes the rule double-byte aware: a trail byte
// that happens to be 0x5C is part of its character and can never be taken for a '\'.

#include <cstddef>
#include <string>
#include <string_view>

// Repeats until none applies: drop a leading "X:", drop one leading '\' or '/', drop
// everything up to and including the first "\..\", then "\../", "/../", "/..\".
std::u16string ApplyNameRule(std::u16string_view name);

enum class EntryPathVerdict {
    Ok,
    Unsafe,   // would leave the destination, name a device or stream, or alias another name
    TooLong,  // a component longer than any file system allows
};

struct EntryPath {
    EntryPathVerdict verdict = EntryPathVerdict::Unsafe;
    // The path below the destination, components joined by '\'; empty components and "."
    // are dropped. Empty when the name names the destination itself.
    std::u16string relative;
};

// The gate every entry passes before anything is created. Refused: ".." components,
// names with control characters or any of < > : " | ? * (so no drives, streams or
// "\\?\" prefixes survive), components ending in '.' or ' ' (Windows would strip them and
// write under another name), and device names (CON, NUL, COM1, LPT1, ... with or without
// an extension).
EntryPath CheckEntryPath(std::u16string_view name);

// The longest component any Windows file system accepts.
inline constexpr size_t kMaxComponentLength = 255;
