#pragma once
// The pictures of the skin: PNGs with alpha, decoded by GDI+ from an in-memory copy of a
// file or of an "IMAGE" resource. An element loads its image once, in its constructor, and
// owns it alone; two elements with the same picture decode it twice, so no image is ever
// shared or outlives its element.

#include <cstdint>
#include <memory>

#include "skin/GdiplusOwners.h"

// A decoded image and the status of the last GDI+ call made on it.
class SkinImage {
public:
    explicit SkinImage(GdipImagePtr image) noexcept : image_(std::move(image)) {}

    GpImage* Native() const noexcept { return image_.get(); }
    uint32_t Width() const noexcept;
    uint32_t Height() const noexcept;
    GpStatus LastStatus() const noexcept { return lastStatus_; }
    void Remember(GpStatus status) const noexcept { lastStatus_ = status; }

private:
    GdipImagePtr image_;
    mutable GpStatus lastStatus_ = Gdiplus::Ok;
};

using SkinImagePtr = std::unique_ptr<SkinImage>;

// Null when the file cannot be read or its data is not an image; nothing is left allocated.
SkinImagePtr LoadImageFromFile(const wchar_t* path) noexcept;
// Null when the resource is missing or not an image. A null module is this program.
SkinImagePtr LoadImageFromResource(HMODULE module, const wchar_t* type, const wchar_t* name) noexcept;

inline constexpr wchar_t kImageResourceType[] = L"IMAGE";

// Where an element's picture comes from: a resource of `type` and `name` in `module`, or,
// with a null type, the file at the path `name`. No name means no picture.
struct ImageSource {
    const wchar_t* name = nullptr;
    const wchar_t* type = nullptr;
    HMODULE module = nullptr;
};

inline constexpr ImageSource kNoImage{};
// An IMAGE resource of this program (or of `module`), by its number.
inline ImageSource ImageResource(int id, HMODULE module = nullptr) {
    return {MAKEINTRESOURCEW(id), kImageResourceType, module};
}
// A PNG file; the path must stay valid until the element's constructor returns.
inline ImageSource ImageFile(const wchar_t* path) {
    return {path, nullptr, nullptr};
}

SkinImagePtr LoadSkinImage(const ImageSource& source) noexcept;
