// The floor for extraction under this platform: creates the folders and files of a
// listing ("path<TAB>size" a line, UTF-8) below a folder and writes each file's size in
// 16384-byte blocks, with no archive, no inflating and nothing else.
//
// usage: write_loop LISTING DESTINATION

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::wstring Widen(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return wide;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    std::ifstream listing(argv[1]);
    const std::wstring base = std::wstring(argv[2]) + L"\\";
    CreateDirectoryW(argv[2], nullptr);
    std::vector<char> block(16384, 'x');
    std::wstring lastFolder;
    std::string line;
    int files = 0;
    while (std::getline(listing, line)) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        std::wstring relative = Widen(line.substr(0, tab));
        unsigned long long size = std::stoull(line.substr(tab + 1));
        for (wchar_t& c : relative)
            if (c == L'/') c = L'\\';
        const std::wstring folder = relative.substr(0, relative.rfind(L'\\'));
        if (folder != lastFolder) {
            for (size_t pos = folder.find(L'\\'); ; pos = folder.find(L'\\', pos + 1)) {
                CreateDirectoryW((base + folder.substr(0, pos)).c_str(), nullptr);
                if (pos == std::wstring::npos) break;
            }
            lastFolder = folder;
        }
        HANDLE file = CreateFileW((base + relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_ARCHIVE, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
        while (size > 0) {
            const DWORD chunk = size < block.size() ? static_cast<DWORD>(size) : static_cast<DWORD>(block.size());
            DWORD written = 0;
            if (!WriteFile(file, block.data(), chunk, &written, nullptr) || written != chunk) return 1;
            size -= chunk;
        }
        CloseHandle(file);
        ++files;
    }
    std::printf("files %d\n", files);
    return 0;
}
