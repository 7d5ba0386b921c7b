#pragma once
// The local side of a resumable download. The resume marker is the file itself: its
// last-write time is the server's Last-Modified while it holds the start of that object.

#include <windows.h>

#include <cstdint>

struct LocalFileState {
    bool exists = false;
    uint64_t size = 0;
    SYSTEMTIME lastWrite{};  // UTC; day of week and milliseconds are 0
};

// Looks at the file without opening it, so that nothing is touched before the server
// has answered.
LocalFileState InspectLocalFile(const char* fileName);

// Equal in all eight fields.
bool SameStamp(const SYSTEMTIME& a, const SYSTEMTIME& b);

// Creates the folder a file name (relative to the current directory, or absolute) lives
// in, with any missing parents. Failures show when the file is opened.
void EnsureParentFolder(const char* fileName);

// Sets the last-write time through the open handle; creation and access times stay.
bool StampFile(HANDLE file, const FILETIME& stamp);
