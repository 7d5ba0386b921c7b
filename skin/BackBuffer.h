#pragma once
// The picture a skinned window is painted into: a top-down 32-bit DIB section selected
// into a memory device context (for BitBlt and UpdateLayeredWindow), with a GDI+ bitmap
// over the same pixels. GDI+ draws through that bitmap as premultiplied BGRA, so the alpha
// a layered window hands the system is what the elements drew: GDI+ drawing through the
// device context itself would treat the pixels as having no alpha.

#include <cstdint>

#include "skin/GdiplusOwners.h"
#include "skin/Geometry.h"

class BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer() { Reset(); }
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // Replaces the buffer with a transparent one of this size; false (and no buffer) when
    // the size is empty or the system refuses.
    bool Create(int width, int height) noexcept;
    void Reset() noexcept;

    bool Valid() const noexcept { return dc_ != nullptr; }
    HDC Dc() const noexcept { return dc_; }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    // Premultiplied BGRA, top row first, Width() * 4 bytes a row.
    const uint8_t* Pixels() const noexcept { return static_cast<const uint8_t*>(bits_); }

    // Makes an area (clipped to the buffer) transparent black.
    void Clear(const IntRect& area) noexcept;
    // A graphics object that draws into the buffer; null without a buffer.
    GdipGraphicsPtr NewGraphics() const noexcept;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    void* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    GdipBitmapPtr surface_;
};
