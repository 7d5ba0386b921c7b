#include "skin/SkinGraphics.h"

using namespace Gdiplus::DllExports;

void ApplyTreeGraphicsSettings(GpGraphics* graphics) {
    GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeAntiAlias);
}

std::optional<GpStatus> DrawUnscaledInClip(GpGraphics* graphics, GpImage* image, const IntRect& dest, int sourceX,
                                           int sourceY, GpImageAttributes* attributes, const IntRect& clip) {
    const IntRect visible = Intersect(dest, clip);
    if (visible.IsEmpty()) return std::nullopt;
    return GdipDrawImageRectRectI(graphics, image, visible.left, visible.top, visible.Width(), visible.Height(),
                                  sourceX + visible.left - dest.left, sourceY + visible.top - dest.top,
                                  visible.Width(), visible.Height(), Gdiplus::UnitPixel, attributes, nullptr,
                                  nullptr);
}
