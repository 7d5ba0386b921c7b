#pragma once
// How the element tree draws with GDI+: the settings of every graphics object it draws
// through, and the two ways an element's drawing is kept inside its clip rectangle.
//
// GDI+ is given a clip only where the drawing cannot be cut to the clip beforehand (scaled
// or mirrored pictures, text drawn in place). Under Wine every draw through a clip turns
// the clip into a GDI region by way of a temporary device context, and each of those is a
// pair of requests to the X server; a progress tick would pay that for every element it
// touches.

#include <optional>

#include "skin/GdiplusOwners.h"
#include "skin/Geometry.h"

// The settings the tree is drawn with. Anything drawn ahead of time to be copied into the
// picture later (a label's text) is drawn with the same ones, so that it comes out alike.
void ApplyTreeGraphicsSettings(GpGraphics* graphics);

// Copies the image's pixels from (sourceX, sourceY) onto the part of `dest` inside `clip`,
// pixel for pixel, handing GDI+ only that part: it prepares the whole destination however
// little of it would show. Nothing (no status) when the clip leaves nothing of `dest`.
std::optional<GpStatus> DrawUnscaledInClip(GpGraphics* graphics, GpImage* image, const IntRect& dest, int sourceX,
                                           int sourceY, GpImageAttributes* attributes, const IntRect& clip);

// Runs `draw` with the graphics clipped to `clip`, and takes the clip away again.
template <typename Draw>
auto DrawThroughClip(GpGraphics* graphics, const IntRect& clip, Draw&& draw) {
    Gdiplus::DllExports::GdipSetClipRectI(graphics, clip.left, clip.top, clip.Width(), clip.Height(),
                                          Gdiplus::CombineModeReplace);
    auto result = draw();
    Gdiplus::DllExports::GdipResetClip(graphics);
    return result;
}
