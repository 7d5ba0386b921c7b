#pragma once
// The open package archive: its entries as minizip reads them, and the writing of one
// entry below the base folder. Every operation returns 0 or a result code of
// install/ZipExtractor.h.
//
// Text rule: paths are UTF-16 here. An entry name is decoded as UTF-8 when the entry's
// general-purpose flag bit 11 says so, otherwise in the ANSI code page (CP_ACP), and only
// then cleaned by the name rule and checked by the safety gate (install/EntryName.h).

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "install/ZipExtractor.h"

struct ZipEntry {
    int index = 0;      // position in the archive; for position -1 the number of entries
    std::wstring name;  // after the name rule; empty for position -1
    uint32_t attr = 0;  // Windows attribute bits (read-only, hidden, system, directory, archive)
    FILETIME atime{}, ctime{}, mtime{};  // UTC; all zero when the entry's date is not a date
    uint64_t comp_size = 0;
    uint64_t unc_size = 0;
};

struct ZipReader;
struct ZipReaderCloser {
    void operator()(ZipReader* reader) const noexcept;
};
using ZipReaderPtr = std::unique_ptr<ZipReader, ZipReaderCloser>;

// Null when the file is missing, unreadable or has no valid zip directory. An archive
// with no entries at all opens and has 0 entries. The base folder starts as the current
// directory. minizip (1.2.13, as Debian ships it) is compiled without decryption, so an
// encrypted entry gives EXTRACT_BAD_PASSWORD whatever `password` says; this program
// never passes one.
ZipReaderPtr OpenArchive(const std::wstring& path, const char* password);

int SetBaseFolder(ZipReader* reader, const std::wstring& folder);

// Position -1 asks for the number of entries (in `index`). Asking for the entry produced
// last returns it again without touching the archive.
int GetEntry(ZipReader* reader, int position, ZipEntry& entry);

// Writes the entry at `position` below the base folder under `name`, which must pass the
// safety gate. A file whose data turns out damaged is removed again.
int ExtractEntry(ZipReader* reader, int position, const std::wstring& name);

// Closes the archive and frees the reader.
int CloseArchive(ZipReaderPtr& reader);
