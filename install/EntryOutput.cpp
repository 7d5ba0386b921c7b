#include "install/EntryOutput.h"

#include "install/EntryFields.h"

namespace {

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolder(const std::wstring& path) {
    if (IsFolder(path)) return true;
    if (CreateDirectoryW(path.c_str(), nullptr)) return true;
    return GetLastError() == ERROR_ALREADY_EXISTS && IsFolder(path);
}

bool IsZero(const FILETIME& time) { return time.dwLowDateTime == 0 && time.dwHighDateTime == 0; }

}  // namespace

bool FolderChain::Ensure(const std::wstring& base, const std::wstring& folder) {
    const std::wstring full = base + folder;
    if (full == lastEnsured_) return true;
    const bool parentOfLast = lastEnsured_.size() > full.size() && lastEnsured_.starts_with(full) &&
                              (full.back() == L'\\' || lastEnsured_[full.size()] == L'\\');
    if (parentOfLast) return true;
    if (!IsFolder(full)) {
        if (!MakeFolder(base)) return false;
        size_t pos = 0;
        while (pos < folder.size()) {
            size_t end = folder.find(L'\\', pos);
            if (end == std::wstring::npos) end = folder.size();
            if (!MakeFolder(base + folder.substr(0, end))) return false;
            pos = end + 1;
        }
    }
    lastEnsured_ = full;
    return true;
}

OutputFile::~OutputFile() {
    if (keep_ || !file_) return;
    file_.Reset();
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path_.c_str());
}

DWORD OutputFile::Create(const std::wstring& path, uint32_t attr) {
    const DWORD attributes = attr & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
    // New files, the common case, cost one call; only an existing file is looked at.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return error;
        // Windows refuses to replace these; Wine, running as root, would replace them, so
        // the rule is applied here to behave the same everywhere.
        const DWORD existing = GetFileAttributesW(path.c_str());
        if (existing != INVALID_FILE_ATTRIBUTES &&
            ((existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) ||
             ((existing & FILE_ATTRIBUTE_HIDDEN) && !(attributes & FILE_ATTRIBUTE_HIDDEN)) ||
             ((existing & FILE_ATTRIBUTE_SYSTEM) && !(attributes & FILE_ATTRIBUTE_SYSTEM))))
            return ERROR_ACCESS_DENIED;
        file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
        if (file == INVALID_HANDLE_VALUE) return GetLastError();
    }
    file_.Reset(file);
    path_ = path;
    keep_ = false;
    return 0;
}

bool OutputFile::Write(const void* data, DWORD size) {
    DWORD written = 0;
    return WriteFile(file_.Get(), data, size, &written, nullptr) && written == size;
}

bool OutputFile::SetTimes(const FILETIME& ctime, const FILETIME& atime, const FILETIME& mtime) {
    return SetFileTime(file_.Get(), IsZero(ctime) ? nullptr : &ctime, IsZero(atime) ? nullptr : &atime,
                       IsZero(mtime) ? nullptr : &mtime) != 0;
}

void OutputFile::Keep() {
    keep_ = true;
    file_.Reset();
}
