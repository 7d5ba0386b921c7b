#pragma once
// Opening the package file for minizip, through minizip's Win32 64-bit file functions
// (iowin32), so that Zip64 packages and entries beyond 4 GiB work.

#include <string>

#include "unzip.h"

// minizip's handle of the archive, or null when the file is missing, unreadable or has no
// valid zip directory.
unzFile OpenArchiveFile(const std::wstring& path);

// True for a well-formed archive with no entries: nothing but an end-of-directory record
// (and its comment). minizip takes a record found at offset 0 for "not found".
bool IsEmptyArchive(const std::wstring& path);
