#include "skin/SkinImage.h"

#include <cstring>
#include <new>

#include "app/UniqueHandle.h"

namespace {

using namespace Gdiplus::DllExports;

struct GlobalTraits {
    using Type = HGLOBAL;
    static constexpr Type Invalid() noexcept { return nullptr; }
    static void Close(Type block) noexcept { ::GlobalFree(block); }
};
using UniqueGlobal = UniqueHandle<GlobalTraits>;

// A movable block with a copy of `size` bytes, filled by `fill` while it is locked.
template <typename Fill>
UniqueGlobal CopyToGlobal(DWORD size, Fill fill) noexcept {
    if (size == 0) return {};
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block) return {};
    void* bytes = GlobalLock(block.Get());
    if (!bytes) return {};
    const bool filled = fill(bytes);
    GlobalUnlock(block.Get());
    if (!filled) return {};
    return block;
}

// Decodes the block. The stream takes the block over (delete-on-release) and the decoder
// keeps the stream for as long as the image needs its data; our own reference goes here.
SkinImagePtr DecodeBlock(UniqueGlobal block) noexcept {
    if (!block) return nullptr;
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block.Get(), TRUE, &stream)) || !stream) return nullptr;
    block.Release();
    GpImage* native = nullptr;
    const GpStatus status = GdipLoadImageFromStream(stream, &native);
    stream->Release();
    GdipImagePtr image(native);
    if (status != Gdiplus::Ok || !image) return nullptr;
    return SkinImagePtr(new (std::nothrow) SkinImage(std::move(image)));
}

}  // namespace

uint32_t SkinImage::Width() const noexcept {
    UINT width = 0;
    Remember(GdipGetImageWidth(image_.get(), &width));
    return width;
}

uint32_t SkinImage::Height() const noexcept {
    UINT height = 0;
    Remember(GdipGetImageHeight(image_.get(), &height));
    return height;
}

SkinImagePtr LoadImageFromFile(const wchar_t* path) noexcept {
    if (!path || !*path) return nullptr;
    UniqueFile file(CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return nullptr;
    const DWORD size = GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE) return nullptr;
    return DecodeBlock(CopyToGlobal(size, [&](void* bytes) {
        DWORD got = 0;
        return ReadFile(file.Get(), bytes, size, &got, nullptr) && got == size;
    }));
}

SkinImagePtr LoadImageFromResource(HMODULE module, const wchar_t* type, const wchar_t* name) noexcept {
    if (!type || !name) return nullptr;
    HRSRC resource = FindResourceW(module, name, type);
    if (!resource) return nullptr;
    HGLOBAL loaded = LoadResource(module, resource);
    const DWORD size = SizeofResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return nullptr;
    // The decoder reads from a copy, never from the module's own memory.
    return DecodeBlock(CopyToGlobal(size, [&](void* bytes) {
        std::memcpy(bytes, data, size);
        return true;
    }));
}

SkinImagePtr LoadSkinImage(const ImageSource& source) noexcept {
    if (!source.name) return nullptr;
    if (!source.type) return LoadImageFromFile(source.name);
    return LoadImageFromResource(source.module, source.type, source.name);
}
