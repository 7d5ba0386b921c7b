#include "diag/DebugLog.h"

#include <cstdarg>
#include <cstdio>

void DebugLog::Open(const char* fileName) {
    file_.Reset(CreateFileA(fileName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
}

void DebugLog::Write(const char* format, ...) {
    if (!IsOn()) return;
    char text[4096];
    va_list args;
    va_start(args, format);
    const int formatted = vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (formatted < 0) return;
    const DWORD length = formatted < static_cast<int>(sizeof text) ? static_cast<DWORD>(formatted)
                                                                   : static_cast<DWORD>(sizeof text - 1);
    DWORD written = 0;
    WriteFile(file_.Get(), text, length, &written, nullptr);
    WriteFile(file_.Get(), "\r\n", 2, &written, nullptr);
}
