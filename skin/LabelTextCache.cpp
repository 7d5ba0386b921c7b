#include "skin/LabelTextCache.h"

#include <algorithm>
#include <cstddef>

#include "skin/SkinGraphics.h"

using namespace Gdiplus::DllExports;

namespace {

// The smallest rectangle holding every pixel with some alpha.
IntRect InkBounds(const std::vector<uint32_t>& pixels, int width, int height) {
    IntRect ink{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels.data() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            if ((row[x] >> 24) == 0) continue;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x + 1);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y + 1);
        }
    }
    return ink.IsEmpty() ? IntRect{} : ink;
}

}  // namespace

bool LabelTextCache::Render(const std::wstring& text, int width, int height, GpFont* font, GpStringFormat* format,
                            GpBrush* brush) {
    Clear();
    if (width <= 0 || height <= 0 || !font || !brush) return false;
    pixels_.assign(static_cast<size_t>(width) * height, 0);
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(pixels_.data()),
                              &bitmap);
    bitmap_.reset(bitmap);
    GpGraphics* rawGraphics = nullptr;
    if (bitmap_) GdipGetImageGraphicsContext(bitmap_.get(), &rawGraphics);
    GdipGraphicsPtr graphics(rawGraphics);
    if (!graphics) {
        Clear();
        return false;
    }
    ApplyTreeGraphicsSettings(graphics.get());
    const Gdiplus::RectF layout(0.0f, 0.0f, static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height));
    const GpStatus status = GdipDrawString(graphics.get(), text.c_str(), -1, font, &layout, format, brush);
    // Drawing is complete once the graphics object is gone; only then are the pixels read.
    graphics.reset();
    if (status != Gdiplus::Ok) {
        Clear();
        return false;
    }
    width_ = width;
    height_ = height;
    ink_ = InkBounds(pixels_, width, height);
    if (!Crop(width)) {
        Clear();
        return false;
    }
    rendered_ = true;
    return true;
}

bool LabelTextCache::Crop(int width) {
    // Only the inked part is kept: a line of text is a small part of most labels.
    bitmap_.reset();
    if (ink_.IsEmpty()) {
        pixels_.clear();
        pixels_.shrink_to_fit();
        return true;
    }
    std::vector<uint32_t> inked;
    inked.reserve(static_cast<size_t>(ink_.Width()) * ink_.Height());
    for (int y = ink_.top; y < ink_.bottom; ++y) {
        const auto row = pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width;
        inked.insert(inked.end(), row + ink_.left, row + ink_.right);
    }
    pixels_ = std::move(inked);
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(ink_.Width(), ink_.Height(), ink_.Width() * 4, PixelFormat32bppARGB,
                              reinterpret_cast<BYTE*>(pixels_.data()), &bitmap);
    bitmap_.reset(bitmap);
    return bitmap_ != nullptr;
}

void LabelTextCache::Clear() {
    bitmap_.reset();
    pixels_.clear();
    pixels_.shrink_to_fit();
    width_ = height_ = 0;
    ink_ = {};
    rendered_ = false;
}

void LabelTextCache::Draw(GpGraphics* graphics, int left, int top, const IntRect& clip) const {
    if (!bitmap_) return;
    DrawUnscaledInClip(graphics, bitmap_.get(), ink_.Offset(left, top), 0, 0, nullptr, clip);
}
