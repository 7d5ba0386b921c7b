#pragma once
// Diagnostic lines for the desktop-dependent steps. On only when the log file already
// exists at start; writing begins at the start of the file and never truncates it.

#include <windows.h>

#include "app/UniqueHandle.h"

inline constexpr char kDebugLogFileName[] = "__lobby_dl_debug.log";

class DebugLog {
public:
    // Opens an existing file for writing, shared for reading only. A missing file, or one
    // that another process holds open for writing, leaves logging off.
    void Open(const char* fileName = kDebugLogFileName);
    bool IsOn() const { return file_.Valid(); }

    // One printf-formatted line (at most 4095 bytes of text) followed by CR LF.
    void Write(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    UniqueFile file_;
};
