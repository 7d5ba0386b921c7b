#pragma once
// Unpacking the downloaded package (a zip archive) into the install base folder.

#include <functional>

// Result codes. The worker reports the value as it is, so the values never change.
inline constexpr int EXTRACT_OK = 0;
inline constexpr int EXTRACT_DESTINATION_NOT_CREATED = -2;  // missing and could not be created
inline constexpr int EXTRACT_DESTINATION_NOT_FOLDER = -3;   // exists, but is not a folder
inline constexpr int EXTRACT_CANNOT_CREATE = 512;           // an entry's file or folder could not be created
inline constexpr int EXTRACT_CANNOT_WRITE = 1024;           // writing an entry's data failed
inline constexpr int EXTRACT_BAD_LOCAL_HEADER = 1792;       // local header disagrees, or a method other than 0 or 8
inline constexpr int EXTRACT_BAD_LOCAL_EXTRA = 2048;        // the local extra field could not be read
inline constexpr int EXTRACT_BAD_PASSWORD = 4096;           // an encrypted entry (it cannot be decrypted)
inline constexpr int EXTRACT_UNSAFE_NAME = 8192;            // an entry name that would leave the destination
inline constexpr int EXTRACT_NAME_TOO_LONG = 16384;         // an entry name or its path beyond the path limits
inline constexpr int EXTRACT_CANNOT_OPEN = 65536;           // missing, unreadable, or no valid zip directory
inline constexpr int EXTRACT_NOT_A_READER = 524288;         // kept for the record; a typed reader cannot be wrong
inline constexpr int EXTRACT_BAD_DATA = 83886080;           // corrupt or short entry data, or a CRC mismatch

// Unpacks every entry of the archive below `destination`, creating the destination (with
// its parents) when it is missing. Paths are ANSI in the system code page; `password` is
// null when none is given (encrypted entries are refused either way, see ZipReader.h).
// Stops at the first entry that fails, leaving the entries before it on disk. `betweenEntries`, when set, is called on this thread before each
// entry; at that moment no output file is open, only the archive.
int ExtractPackage(const char* archivePath, const char* password, const char* destination,
                   const std::function<void()>& betweenEntries = {});

// A short English description of a result code, for logs and the console tool.
const char* ExtractResultText(int code);
