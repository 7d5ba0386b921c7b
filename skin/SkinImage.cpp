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

// A copy of a decoded picture's pixels that holds nothing else. A decoded image keeps its
// decoder and stream for as long as it lives (for the other frames of an animated picture;
// under Wine the PNG decoder also keeps its own copy of every pixel); the skin's pictures
// are still, and the installer's window would hold each of them twice. A picture that is
// not a bitmap, or that GDI+ will not copy, is kept as it was decoded.
GdipImagePtr StandAlone(GdipImagePtr decoded) noexcept {
    Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
    UINT width = 0, height = 0;
    Gdiplus::PixelFormat format = 0;
    if (GdipGetImageType(decoded.get(), &type) != Gdiplus::Ok || type != Gdiplus::ImageTypeBitmap ||
        GdipGetImageWidth(decoded.get(), &width) != Gdiplus::Ok ||
        GdipGetImageHeight(decoded.get(), &height) != Gdiplus::Ok ||
        GdipGetImagePixelFormat(decoded.get(), &format) != Gdiplus::Ok)
        return decoded;
    GpBitmap* copy = nullptr;
    if (GdipCloneBitmapAreaI(0, 0, static_cast<INT>(width), static_cast<INT>(height), format,
                             static_cast<GpBitmap*>(decoded.get()), &copy) != Gdiplus::Ok ||
        !copy)
        return decoded;
    return GdipImagePtr(copy);
}

// Decodes the block. The stream takes the block over (delete-on-release); the decoded image
// holds the stream until it is replaced by its stand-alone copy.
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
    return SkinImagePtr(new (std::nothrow) SkinImage(StandAlone(std::move(image))));
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
