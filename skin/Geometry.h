#pragma once
// Rectangle and frame arithmetic of the element tree, kept free of windows.h so that it is
// also built and tested natively. Rectangles are half-open: left and top belong to the
// rectangle, right and bottom do not, as with the system's RECT.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct IntRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    IntRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const IntRect&) const = default;
};

// The common part; an empty rectangle (all zero) when the two do not overlap.
IntRect Intersect(const IntRect& a, const IntRect& b);
// The smallest rectangle holding both; an empty one does not count.
IntRect Union(const IntRect& a, const IntRect& b);

// What must be redrawn when an element drawn from its top-left corner (pixel for pixel,
// not mirrored) goes from `before` to `after`: with the corner unchanged, only the strips
// that one covers and the other does not (a progress fill that grows by a few pixels
// redraws those pixels); with the corner moved, the union of both.
std::array<IntRect, 2> AnchoredResizeDamage(const IntRect& before, const IntRect& after);

// Fewer, larger rectangles for the same area: two are joined while the rectangle around
// both adds at most `slack` pixels that neither covers, and always while there are more
// than `maxCount`. Every pixel of the input stays covered; empty rectangles are dropped.
std::vector<IntRect> CoalesceRects(std::vector<IntRect> rects, long long slack, std::size_t maxCount);

// The rectangle of an element built at (x, y) without a rectangle of its own: the image's
// size when it has one; else reaching the parent's right and bottom edges when it has a
// parent; else (x, y, 0, 0).
IntRect PositionedRect(int x, int y, bool hasImage, uint32_t imageWidth, uint32_t imageHeight, bool hasParent,
                       const IntRect& parent);

// Shrinks a rectangle to one frame of a cols x rows grid (unsigned division). Both must be
// at least 1; 0 is taken as 1.
IntRect ShrinkToFrame(const IntRect& rect, uint32_t cols, uint32_t rows);

// Where a frame is read from in the image. Width or height is negative when the frame is
// mirrored on that axis: the frame is then read from its far edge backwards.
struct SourceRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const SourceRect&) const = default;
};

struct FrameDraw {
    uint32_t imageWidth = 0;
    uint32_t imageHeight = 0;
    uint32_t cols = 1;
    uint32_t rows = 1;
    int col = 0;
    int row = 0;
    bool flipX = false;
    bool flipY = false;
    bool stretch = true;  // false: pixel for pixel, cropped to the destination
    int destWidth = 0;
    int destHeight = 0;
};

// The source rectangle of the current frame. With stretch the whole frame is scaled into
// the destination; without it the source is as large as the destination, so a wider
// destination shows the neighbouring frames and a narrower one cuts the frame.
SourceRect FrameSource(const FrameDraw& draw);

// 0..255; anything above is stored as 255.
uint32_t ClampAlpha(uint32_t alpha);
// The alpha-scale entry of the colour matrix that draws an image with this opacity.
float AlphaScale(uint32_t alpha);

// Top-left corner that centres a client area of the given size on a reference rectangle,
// in signed arithmetic with division truncating toward zero.
struct IntPoint {
    int x = 0;
    int y = 0;
    bool operator==(const IntPoint&) const = default;
};
IntPoint CenteredOrigin(const IntRect& reference, int clientWidth, int clientHeight);
