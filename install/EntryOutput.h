#pragma once
// The file-system side of extraction: folders below the base folder and one output
// file at a time.

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/UniqueHandle.h"

// Makes sure of a folder below a base folder, creating missing levels one at a time from
// the top. Remembers the folder it made sure of last, since package entries come
// grouped by folder and asking the file system again for every file is slow.
class FolderChain {
public:
    // `base` ends with a separator; `folder` is relative, '\'-separated, no trailing
    // separator, possibly empty. False when a level is missing and cannot be created.
    bool Ensure(const std::wstring& base, const std::wstring& folder);
    void Forget() { lastEnsured_.clear(); }

private:
    std::wstring lastEnsured_;  // base + folder, the last one known to exist
};

// One entry's output file. It is removed again on destruction unless Keep() was called,
// so a damaged or half-written entry never stays behind under its real name.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Creates (or replaces) the file with the entry's attributes. An existing file that is
    // read-only, or hidden or system while the entry is not, is left alone and the call
    // fails with ERROR_ACCESS_DENIED, as CreateFile does on Windows. Returns the Win32
    // error, 0 on success.
    DWORD Create(const std::wstring& path, uint32_t attr);
    bool Write(const void* data, DWORD size);
    // Zero times are left as they are.
    bool SetTimes(const FILETIME& ctime, const FILETIME& atime, const FILETIME& mtime);
    void Keep();

private:
    UniqueFile file_;
    std::wstring path_;
    bool keep_ = false;
};
