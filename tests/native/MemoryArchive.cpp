#include "MemoryArchive.h"

#include <cstdint>
#include <cstring>

namespace {

struct Cursor {
    MemoryBytes bytes;
    uint64_t position = 0;
};

voidpf ZCALLBACK Open(voidpf, const void* name, int mode) {
    if (!name || (mode & ZLIB_FILEFUNC_MODE_WRITE)) return nullptr;
    return new Cursor{*static_cast<const MemoryBytes*>(name)};
}

uLong ZCALLBACK Read(voidpf, voidpf stream, void* buffer, uLong size) {
    auto* cursor = static_cast<Cursor*>(stream);
    if (cursor->position >= cursor->bytes.size) return 0;
    const uint64_t left = cursor->bytes.size - cursor->position;
    const uLong count = left < size ? static_cast<uLong>(left) : size;
    std::memcpy(buffer, cursor->bytes.data + cursor->position, count);
    cursor->position += count;
    return count;
}

uLong ZCALLBACK Write(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK Tell(voidpf, voidpf stream) { return static_cast<Cursor*>(stream)->position; }

long ZCALLBACK Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* cursor = static_cast<Cursor*>(stream);
    uint64_t base = 0;
    switch (origin) {
        case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
        case ZLIB_FILEFUNC_SEEK_CUR: base = cursor->position; break;
        case ZLIB_FILEFUNC_SEEK_END: base = cursor->bytes.size; break;
        default: return -1;
    }
    // The Win32 file functions take the offset as signed, so an offset that wraps around
    // moves backwards; a position before the start fails.
    const uint64_t target = base + offset;
    if (target > static_cast<uint64_t>(INT64_MAX)) return -1;
    cursor->position = target;
    return 0;
}

int ZCALLBACK Close(voidpf, voidpf stream) {
    delete static_cast<Cursor*>(stream);
    return 0;
}

int ZCALLBACK Error(voidpf, voidpf) { return 0; }

}  // namespace

zlib_filefunc64_def MemoryFileFunctions() {
    zlib_filefunc64_def io{};
    io.zopen64_file = Open;
    io.zread_file = Read;
    io.zwrite_file = Write;
    io.ztell64_file = Tell;
    io.zseek64_file = Seek;
    io.zclose_file = Close;
    io.zerror_file = Error;
    return io;
}

unzFile OpenMemoryArchive(const MemoryBytes& bytes) {
    zlib_filefunc64_def io = MemoryFileFunctions();
    return unzOpen2_64(&bytes, &io);
}
