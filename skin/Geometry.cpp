#include "skin/Geometry.h"

#include <algorithm>

IntRect Intersect(const IntRect& a, const IntRect& b) {
    const IntRect common{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                         std::min(a.bottom, b.bottom)};
    return common.IsEmpty() ? IntRect{} : common;
}

IntRect Union(const IntRect& a, const IntRect& b) {
    if (a.IsEmpty()) return b.IsEmpty() ? IntRect{} : b;
    if (b.IsEmpty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

std::array<IntRect, 2> AnchoredResizeDamage(const IntRect& before, const IntRect& after) {
    if (before.left != after.left || before.top != after.top) return {Union(before, after), IntRect{}};
    const int farRight = std::max(before.right, after.right);
    const int farBottom = std::max(before.bottom, after.bottom);
    const IntRect right{std::min(before.right, after.right), before.top, farRight, farBottom};
    const IntRect below{before.left, std::min(before.bottom, after.bottom), farRight, farBottom};
    return {right.IsEmpty() ? IntRect{} : right, below.IsEmpty() ? IntRect{} : below};
}

namespace {

long long Area(const IntRect& r) {
    return r.IsEmpty() ? 0 : static_cast<long long>(r.Width()) * r.Height();
}

}  // namespace

std::vector<IntRect> CoalesceRects(std::vector<IntRect> rects, long long slack, std::size_t maxCount) {
    std::erase_if(rects, [](const IntRect& r) { return r.IsEmpty(); });
    if (maxCount == 0) maxCount = 1;
    for (;;) {
        // The pair whose joining uncovers the fewest pixels (counting any overlap once).
        size_t bestA = 0, bestB = 0;
        long long bestWaste = -1;
        for (size_t a = 0; a < rects.size(); ++a) {
            for (size_t b = a + 1; b < rects.size(); ++b) {
                const long long waste = Area(Union(rects[a], rects[b])) - Area(rects[a]) - Area(rects[b]) +
                                        Area(Intersect(rects[a], rects[b]));
                if (bestWaste < 0 || waste < bestWaste) {
                    bestWaste = waste;
                    bestA = a;
                    bestB = b;
                }
            }
        }
        if (bestWaste < 0 || (bestWaste > slack && rects.size() <= maxCount)) return rects;
        rects[bestA] = Union(rects[bestA], rects[bestB]);
        rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(bestB));
    }
}

IntRect PositionedRect(int x, int y, bool hasImage, uint32_t imageWidth, uint32_t imageHeight, bool hasParent,
                       const IntRect& parent) {
    if (hasImage) return {x, y, x + static_cast<int>(imageWidth), y + static_cast<int>(imageHeight)};
    if (hasParent) return {x, y, parent.Width(), parent.Height()};
    return {x, y, 0, 0};
}

IntRect ShrinkToFrame(const IntRect& rect, uint32_t cols, uint32_t rows) {
    cols = std::max<uint32_t>(cols, 1);
    rows = std::max<uint32_t>(rows, 1);
    // Unsigned division as the grid is unsigned; a negative extent stays as it was.
    const auto shrink = [](int extent, uint32_t parts) {
        return extent < 0 ? extent : static_cast<int>(static_cast<uint32_t>(extent) / parts);
    };
    return {rect.left, rect.top, rect.left + shrink(rect.Width(), cols), rect.top + shrink(rect.Height(), rows)};
}

SourceRect FrameSource(const FrameDraw& draw) {
    const uint32_t cols = std::max<uint32_t>(draw.cols, 1);
    const uint32_t rows = std::max<uint32_t>(draw.rows, 1);
    const int frameWidth = static_cast<int>(draw.imageWidth / cols);
    const int frameHeight = static_cast<int>(draw.imageHeight / rows);
    SourceRect source;
    source.width = draw.stretch ? frameWidth : draw.destWidth;
    source.height = draw.stretch ? frameHeight : draw.destHeight;
    source.x = frameWidth * (draw.flipX ? draw.col + 1 : draw.col);
    source.y = frameHeight * (draw.flipY ? draw.row + 1 : draw.row);
    if (draw.flipX) source.width = -source.width;
    if (draw.flipY) source.height = -source.height;
    return source;
}

uint32_t ClampAlpha(uint32_t alpha) {
    return alpha > 255 ? 255 : alpha;
}

float AlphaScale(uint32_t alpha) {
    return static_cast<float>(ClampAlpha(alpha)) * 0.003921569f;
}

IntPoint CenteredOrigin(const IntRect& reference, int clientWidth, int clientHeight) {
    return {reference.left + (reference.Width() - clientWidth) / 2,
            reference.top + (reference.Height() - clientHeight) / 2};
}
