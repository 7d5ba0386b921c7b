#include "ExtractFixtures.h"

#include "app/TextConv.h"
#include "install/ZipExtractor.h"
#include "support/TestSupport.h"

std::wstring FixtureDir() {
    const std::wstring relative = TestBinDir() + L"\\..\\zip-fixtures";
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(relative.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(full, length) : relative;
}

std::wstring Fixture(const std::wstring& name) { return FixtureDir() + L"\\" + name; }

std::string Pattern(size_t size, int seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 31 + static_cast<size_t>(seed) * 17 + (i >> 8)) & 0xFF);
    return bytes;
}

int Extract(const std::wstring& archive, const std::wstring& destination, const char* password) {
    return ExtractPackage(WideToAnsi(archive).c_str(), password, WideToAnsi(destination).c_str());
}

namespace {

void Walk(const std::wstring& root, const std::wstring& relative, const std::wstring& skip, Tree& tree) {
    WIN32_FIND_DATAW found;
    const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
        if (!skip.empty() && path == skip) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree[path] = "<dir>";
            Walk(root, path, skip, tree);
        } else {
            tree[path] = ReadFileBytes(root + L"\\" + path).value_or("<unreadable>");
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

Tree SnapshotTree(const std::wstring& root, const std::wstring& skip) {
    Tree tree;
    Walk(root, L"", skip, tree);
    return tree;
}

uint64_t Ticks(const FILETIME& time) { return static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime; }

bool ReadTimes(const std::wstring& path, FILETIME& creation, FILETIME& access, FILETIME& write) {
    HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const BOOL ok = GetFileTime(file, &creation, &access, &write);
    CloseHandle(file);
    return ok != 0;
}
