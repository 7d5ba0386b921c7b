#pragma once
// A label's text drawn once into a transparent bitmap the size of the label, then copied
// into the window's picture at every paint. GDI+ lays a string out and rasterises its
// glyphs anew on every DrawString, and under Wine that is most of what a repaint costs; the
// labels beside the progress bar are repainted many times a second while their texts
// change a few times at most.
//
// The bitmap holds what DrawString itself would blend onto the picture (straight ARGB: the
// brush's colour with each pixel's coverage as alpha), so copying it blends the same pixels
// the same way. It also knows which part of the label the text inks, so that a new text
// redraws only what the old or the new one covers.

#include <cstdint>
#include <string>
#include <vector>

#include "skin/GdiplusOwners.h"
#include "skin/Geometry.h"

class LabelTextCache {
public:
    // Draws `text` laid out in a width x height box at the origin. False (and nothing held)
    // when the box is empty or GDI+ refuses; the label then draws its text itself.
    bool Render(const std::wstring& text, int width, int height, GpFont* font, GpStringFormat* format,
                GpBrush* brush);
    void Clear();

    // A text is held, drawn for a box of this size.
    bool Holds(int width, int height) const { return rendered_ && width == width_ && height == height_; }
    // The part of the box the text inks, relative to its top-left corner; empty for none.
    const IntRect& Ink() const { return ink_; }
    // Copies the inked part into `graphics` with the box's top-left corner at (left, top),
    // as far as it lies inside `clip`.
    void Draw(GpGraphics* graphics, int left, int top, const IntRect& clip) const;

private:
    // Keeps only the inked part of the box (`width` pixels a row) in the bitmap; false when
    // GDI+ refuses the smaller bitmap.
    bool Crop(int width);

    std::vector<uint32_t> pixels_;  // the bitmap's memory, straight ARGB, top row first
    GdipBitmapPtr bitmap_;          // null when the text inks nothing
    bool rendered_ = false;
    int width_ = 0;
    int height_ = 0;
    IntRect ink_;
};
