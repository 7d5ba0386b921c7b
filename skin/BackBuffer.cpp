#include "skin/BackBuffer.h"

#include <algorithm>
#include <cstring>

using namespace Gdiplus::DllExports;

bool BackBuffer::Create(int width, int height) noexcept {
    Reset();
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return false;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (!bitmap_ || !bits_) {
        Reset();
        return false;
    }
    previousBitmap_ = SelectObject(dc_, bitmap_);
    width_ = width;
    height_ = height;
    GpBitmap* surface = nullptr;
    GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits_), &surface);
    surface_.reset(surface);
    if (!surface_) {
        Reset();
        return false;
    }
    std::memset(bits_, 0, static_cast<size_t>(width) * height * 4);
    return true;
}

void BackBuffer::Reset() noexcept {
    surface_.reset();
    if (dc_ && previousBitmap_) SelectObject(dc_, previousBitmap_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    previousBitmap_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
}

void BackBuffer::Clear(const IntRect& area) noexcept {
    const IntRect clipped = Intersect(area, {0, 0, width_, height_});
    if (!bits_ || clipped.IsEmpty()) return;
    GdiFlush();
    auto* rows = static_cast<uint8_t*>(bits_);
    for (int y = clipped.top; y < clipped.bottom; ++y) {
        std::memset(rows + (static_cast<size_t>(y) * width_ + clipped.left) * 4, 0,
                    static_cast<size_t>(clipped.Width()) * 4);
    }
}

GdipGraphicsPtr BackBuffer::NewGraphics() const noexcept {
    if (!surface_) return nullptr;
    GpGraphics* graphics = nullptr;
    GdipGetImageGraphicsContext(surface_.get(), &graphics);
    return GdipGraphicsPtr(graphics);
}
