#include "install/ZipExtractor.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "app/TextConv.h"
#include "install/ZipReader.h"

namespace {

// The destination with all missing parents; 0, or the code that stops the extraction.
int PrepareDestination(const std::wstring& destination) {
    // "D:\Games\" names the same thing as "D:\Games": when that is a file, it is not a
    // destination (a trailing separator would make the lookup fail and the file look absent).
    std::wstring bare = destination;
    while (bare.size() > 3 && (bare.back() == L'\\' || bare.back() == L'/')) bare.pop_back();
    const DWORD attributes = GetFileAttributesW(bare.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const int created = SHCreateDirectoryExW(nullptr, destination.c_str(), nullptr);
        if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS) return EXTRACT_DESTINATION_NOT_CREATED;
        return EXTRACT_OK;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EXTRACT_OK : EXTRACT_DESTINATION_NOT_FOLDER;
}

}  // namespace

int ExtractPackage(const char* archivePath, const char* password, const char* destination,
                   const std::function<void()>& betweenEntries) {
    const std::wstring destinationPath = AnsiToWide(destination ? destination : "");
    if (const int prepared = PrepareDestination(destinationPath); prepared != EXTRACT_OK) return prepared;

    ZipReaderPtr reader = OpenArchive(AnsiToWide(archivePath ? archivePath : ""), password);
    if (!reader || SetBaseFolder(reader.get(), destinationPath) != EXTRACT_OK) return EXTRACT_CANNOT_OPEN;

    ZipEntry entry;
    int result = GetEntry(reader.get(), -1, entry);
    const int count = entry.index;
    for (int position = 0; position < count && result == EXTRACT_OK; ++position) {
        if (betweenEntries) betweenEntries();
        result = GetEntry(reader.get(), position, entry);
        if (result == EXTRACT_OK) result = ExtractEntry(reader.get(), position, entry.name);
    }
    CloseArchive(reader);
    return result;
}

const char* ExtractResultText(int code) {
    switch (code) {
        case EXTRACT_OK: return "every entry was extracted";
        case EXTRACT_DESTINATION_NOT_CREATED: return "the destination folder could not be created";
        case EXTRACT_DESTINATION_NOT_FOLDER: return "the destination exists but is not a folder";
        case EXTRACT_CANNOT_CREATE: return "an entry's file or folder could not be created";
        case EXTRACT_CANNOT_WRITE: return "writing an entry's data failed";
        case EXTRACT_BAD_LOCAL_HEADER: return "an entry's local header is damaged or its method unsupported";
        case EXTRACT_BAD_LOCAL_EXTRA: return "an entry's local extra field could not be read";
        case EXTRACT_BAD_PASSWORD: return "an entry is encrypted";
        case EXTRACT_UNSAFE_NAME: return "an entry's name would leave the destination or name a device";
        case EXTRACT_NAME_TOO_LONG: return "an entry's name or path is too long";
        case EXTRACT_CANNOT_OPEN: return "the archive is missing, unreadable or not a zip archive";
        case EXTRACT_NOT_A_READER: return "not an archive reader";
        case EXTRACT_BAD_DATA: return "an entry's data is damaged or short";
        default: return "unknown result";
    }
}
