#pragma once
// One entry of an open archive as minizip streams it: the local extra field, and the data
// read to its end with the checks that decide whether the entry came out whole. No
// windows.h here, so the same decisions are also fuzzed natively over archives in memory.
// Results are the EXTRACT_ codes of install/ZipExtractor.h.

#include <cstdint>
#include <functional>
#include <vector>

#include "unzip.h"

// Opens the current entry raw (nothing inflated, no password), which makes minizip check
// its local header against the directory record, reads the local extra field into
// `extra`, and closes the entry again. A method other than stored or deflated counts as a
// bad local header: nothing here could unpack it.
int ReadLocalExtra(unzFile archive, uLong method, std::vector<uint8_t>& extra);

// Receives the entry's data block by block; false stops the reading.
using EntryDataSink = std::function<bool(const char* data, unsigned size)>;

// Inflates the current entry into `buffer` block by block and hands each block to `sink`.
// EXTRACT_OK only when exactly `size` bytes (the directory's uncompressed size) came out
// and, for an entry that has any data, the CRC matched. The entry is closed on every path.
int ReadEntryData(unzFile archive, uint64_t size, char* buffer, unsigned bufferSize, const EntryDataSink& sink);
