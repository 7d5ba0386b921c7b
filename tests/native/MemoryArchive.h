#pragma once
// minizip over a byte buffer: file functions whose "file name" is the buffer itself, so
// that archives built in memory (by a test or the fuzzer) are read without touching disk.

#include <cstddef>
#include <cstdint>

#include "unzip.h"

struct MemoryBytes {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// Read-only: writes fail. Seeking past the end is allowed, as on a real file; reading there
// gives nothing.
zlib_filefunc64_def MemoryFileFunctions();

// minizip's handle of the archive in `bytes` (which must outlive it), or null when minizip
// finds no valid directory.
unzFile OpenMemoryArchive(const MemoryBytes& bytes);
