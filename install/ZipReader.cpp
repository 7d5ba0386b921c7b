#include "install/ZipReader.h"

#include <climits>
#include <vector>

#include "app/TextConv.h"
#include "install/ArchiveFile.h"
#include "install/EntryFields.h"
#include "install/EntryName.h"
#include "install/EntryOutput.h"
#include "install/EntryStream.h"
#include "unzip.h"

namespace {

constexpr unsigned kDataBufferSize = 16384;
constexpr size_t kNameBufferSize = 65536;  // a stored name has at most 65535 bytes
constexpr size_t kMaxStoredName = 259;
constexpr size_t kMaxFilePath = MAX_PATH - 1;
constexpr size_t kMaxFolderPath = MAX_PATH - 13;  // CreateDirectoryW leaves room for an 8.3 name
constexpr uLong kFlagEncrypted = 0x0001;
constexpr uLong kFlagUtf8 = 0x0800;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring WithSeparator(std::wstring folder) {
    if (folder.empty() || !IsSeparator(folder.back())) folder += L'\\';
    return folder;
}

std::u16string ToU16(const std::wstring& text) { return {text.begin(), text.end()}; }
std::wstring FromU16(const std::u16string& text) { return {text.begin(), text.end()}; }

FILETIME ToFileTime(uint64_t ticks) {
    return {static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
}

// The DOS date and time are local time; an impossible date gives zero times, which are
// then left alone on the output file.
FILETIME DosTimeToUtc(uLong dosDate) {
    const DosDateTime parts = SplitDosDateTime(dosDate);
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(parts.year);
    local.wMonth = static_cast<WORD>(parts.month);
    local.wDay = static_cast<WORD>(parts.day);
    local.wHour = static_cast<WORD>(parts.hour);
    local.wMinute = static_cast<WORD>(parts.minute);
    local.wSecond = static_cast<WORD>(parts.second);
    FILETIME localTime{}, utc{};
    if (!SystemTimeToFileTime(&local, &localTime) || !LocalFileTimeToFileTime(&localTime, &utc)) return {};
    return utc;
}

int VerdictCode(EntryPathVerdict verdict) {
    return verdict == EntryPathVerdict::TooLong ? EXTRACT_NAME_TOO_LONG : EXTRACT_UNSAFE_NAME;
}

}  // namespace

struct ZipReader {
    unzFile archive = nullptr;  // null for an archive without entries
    int entryCount = 0;
    int currentPosition = -1;  // the entry minizip stands on
    std::wstring baseFolder;
    int lastPosition = -1;
    ZipEntry lastEntry;
    uLong lastFlag = 0;  // the general-purpose flag of the last entry
    std::vector<char> nameBuffer;
    std::unique_ptr<char[]> dataBuffer;
    FolderChain folders;
};

namespace {

bool MoveTo(ZipReader& reader, int position) {
    if (reader.currentPosition < 0 || position < reader.currentPosition) {
        reader.currentPosition = -1;
        if (unzGoToFirstFile(reader.archive) != UNZ_OK) return false;
        reader.currentPosition = 0;
    }
    while (reader.currentPosition < position) {
        if (unzGoToNextFile(reader.archive) != UNZ_OK) {
            reader.currentPosition = -1;
            return false;
        }
        ++reader.currentPosition;
    }
    return true;
}

int ProduceEntry(ZipReader& reader, int position) {
    reader.lastPosition = -1;
    if (!MoveTo(reader, position)) return EXTRACT_CANNOT_OPEN;
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(reader.archive, &info, reader.nameBuffer.data(),
                                static_cast<uLong>(reader.nameBuffer.size()), nullptr, 0, nullptr, 0) != UNZ_OK)
        return EXTRACT_CANNOT_OPEN;
    // A longer name is refused whole rather than cut into some other valid path.
    if (info.size_filename > kMaxStoredName) return EXTRACT_NAME_TOO_LONG;

    std::vector<uint8_t> extra;
    if (const int code = ReadLocalExtra(reader.archive, info.compression_method, extra); code != EXTRACT_OK)
        return code;

    const std::string_view stored(reader.nameBuffer.data(), info.size_filename);
    const std::wstring decoded = AnsiToWide(stored, (info.flag & kFlagUtf8) ? CP_UTF8 : CP_ACP);
    if (decoded.empty() && !stored.empty()) return EXTRACT_UNSAFE_NAME;

    ZipEntry entry;
    entry.index = position;
    entry.name = FromU16(ApplyNameRule(ToU16(decoded)));
    entry.attr = AttributesFromHost(info.version, info.external_fa);
    // Some archivers mark folders only by the trailing separator.
    if (!decoded.empty() && IsSeparator(decoded.back())) entry.attr |= kAttrDirectory;
    entry.comp_size = info.compressed_size;
    entry.unc_size = info.uncompressed_size;
    entry.atime = entry.ctime = entry.mtime = DosTimeToUtc(info.dosDate);
    const UnixTimes unixTimes = ReadUnixTimes(extra.data(), extra.size());
    if (unixTimes.hasMtime) entry.mtime = ToFileTime(unixTimes.mtime);
    if (unixTimes.hasAtime) entry.atime = ToFileTime(unixTimes.atime);
    if (unixTimes.hasCtime) entry.ctime = ToFileTime(unixTimes.ctime);

    reader.lastEntry = std::move(entry);
    reader.lastFlag = info.flag;
    reader.lastPosition = position;
    return EXTRACT_OK;
}

int WriteData(ZipReader& reader, OutputFile& output) {
    if (!reader.dataBuffer) reader.dataBuffer = std::make_unique<char[]>(kDataBufferSize);
    const int code = ReadEntryData(reader.archive, reader.lastEntry.unc_size, reader.dataBuffer.get(), kDataBufferSize,
                                   [&output](const char* data, unsigned size) { return output.Write(data, size); });
    if (code != EXTRACT_OK) return code;
    const ZipEntry& entry = reader.lastEntry;
    output.SetTimes(entry.ctime, entry.atime, entry.mtime);
    output.Keep();
    return EXTRACT_OK;
}

int ExtractFolder(ZipReader& reader, const std::wstring& relative) {
    if (relative.empty()) return EXTRACT_OK;
    if (reader.baseFolder.size() + relative.size() > kMaxFolderPath) return EXTRACT_NAME_TOO_LONG;
    // A folder entry may be the only trace of its folder, so it is never taken on trust.
    reader.folders.Forget();
    return reader.folders.Ensure(reader.baseFolder, relative) ? EXTRACT_OK : EXTRACT_CANNOT_CREATE;
}

int ExtractFile(ZipReader& reader, const std::wstring& relative) {
    if (relative.empty()) return EXTRACT_UNSAFE_NAME;
    const size_t cut = relative.rfind(L'\\');
    const std::wstring folder = cut == std::wstring::npos ? std::wstring() : relative.substr(0, cut);
    const std::wstring path = reader.baseFolder + relative;
    if (path.size() > kMaxFilePath || (!folder.empty() && reader.baseFolder.size() + folder.size() > kMaxFolderPath))
        return EXTRACT_NAME_TOO_LONG;
    // minizip as shipped is built without decryption, so no password could open it.
    if (reader.lastFlag & kFlagEncrypted) return EXTRACT_BAD_PASSWORD;

    reader.folders.Ensure(reader.baseFolder, folder);
    OutputFile output;
    DWORD error = output.Create(path, reader.lastEntry.attr);
    if (error == ERROR_PATH_NOT_FOUND) {
        // The remembered folder went away (the pause between entries can be long).
        reader.folders.Forget();
        reader.folders.Ensure(reader.baseFolder, folder);
        error = output.Create(path, reader.lastEntry.attr);
    }
    if (error != 0) return EXTRACT_CANNOT_CREATE;
    return WriteData(reader, output);
}

}  // namespace

void ZipReaderCloser::operator()(ZipReader* reader) const noexcept {
    if (!reader) return;
    if (reader->archive) unzClose(reader->archive);
    delete reader;
}

ZipReaderPtr OpenArchive(const std::wstring& path, const char* /*password*/) {
    ZipReaderPtr reader(new ZipReader);
    wchar_t current[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, current);
    if (length > 0 && length < MAX_PATH) reader->baseFolder = WithSeparator(current);

    reader->archive = OpenArchiveFile(path);
    if (!reader->archive) {
        // minizip cannot open an archive that is nothing but its end record.
        if (!IsEmptyArchive(path)) return nullptr;
        return reader;
    }
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(reader->archive, &global) != UNZ_OK || global.number_entry > INT_MAX) return nullptr;
    reader->entryCount = static_cast<int>(global.number_entry);
    reader->nameBuffer.resize(kNameBufferSize);
    return reader;
}

int SetBaseFolder(ZipReader* reader, const std::wstring& folder) {
    if (!reader) return EXTRACT_CANNOT_OPEN;
    std::wstring base = WithSeparator(folder);
    if (base.size() > kMaxFilePath) return EXTRACT_NAME_TOO_LONG;
    reader->baseFolder = std::move(base);
    reader->folders.Forget();
    return EXTRACT_OK;
}

int GetEntry(ZipReader* reader, int position, ZipEntry& entry) {
    if (!reader) return EXTRACT_CANNOT_OPEN;
    if (position < -1 || position >= reader->entryCount) return EXTRACT_CANNOT_OPEN;
    if (position == -1) {
        entry = ZipEntry{};
        entry.index = reader->entryCount;
        return EXTRACT_OK;
    }
    if (position != reader->lastPosition) {
        if (const int code = ProduceEntry(*reader, position); code != EXTRACT_OK) return code;
    }
    entry = reader->lastEntry;
    return EXTRACT_OK;
}

int ExtractEntry(ZipReader* reader, int position, const std::wstring& name) {
    if (!reader) return EXTRACT_CANNOT_OPEN;
    if (position < 0 || position >= reader->entryCount) return EXTRACT_CANNOT_OPEN;
    if (position != reader->lastPosition) {
        if (const int code = ProduceEntry(*reader, position); code != EXTRACT_OK) return code;
    }
    const EntryPath path = CheckEntryPath(ToU16(name));
    if (path.verdict != EntryPathVerdict::Ok) return VerdictCode(path.verdict);
    const std::wstring relative = FromU16(path.relative);
    if (reader->lastEntry.attr & kAttrDirectory) return ExtractFolder(*reader, relative);
    return ExtractFile(*reader, relative);
}

int CloseArchive(ZipReaderPtr& reader) {
    if (!reader) return EXTRACT_CANNOT_OPEN;
    reader.reset();
    return EXTRACT_OK;
}
