#include "net/LocalFile.h"

#include <shlobj.h>

#include <string>

LocalFileState InspectLocalFile(const char* fileName) {
    LocalFileState state;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(fileName, GetFileExInfoStandard, &data)) return state;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return state;
    state.exists = true;
    state.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if (FileTimeToSystemTime(&data.ftLastWriteTime, &state.lastWrite)) {
        state.lastWrite.wDayOfWeek = 0;
        state.lastWrite.wMilliseconds = 0;
    } else {
        state.lastWrite = {};
    }
    return state;
}

bool SameStamp(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDayOfWeek == b.wDayOfWeek && a.wDay == b.wDay &&
           a.wHour == b.wHour && a.wMinute == b.wMinute && a.wSecond == b.wSecond &&
           a.wMilliseconds == b.wMilliseconds;
}

void EnsureParentFolder(const char* fileName) {
    // The full path, so that an absolute file name works as well as a relative one.
    const DWORD needed = GetFullPathNameA(fileName, 0, nullptr, nullptr);
    if (needed == 0) return;
    std::string path(needed, '\0');
    const DWORD length = GetFullPathNameA(fileName, needed, path.data(), nullptr);
    if (length == 0 || length >= needed) return;
    path.resize(length);
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos || slash == 0) return;
    path.resize(slash);
    SHCreateDirectoryExA(nullptr, path.c_str(), nullptr);
}

bool StampFile(HANDLE file, const FILETIME& stamp) { return SetFileTime(file, nullptr, nullptr, &stamp) != FALSE; }
