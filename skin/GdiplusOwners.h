#pragma once
// GDI+ through its flat API, with one owner per object. The C++ wrapper classes would do
// the same work, but their constructors hide the statuses the framework keeps and they
// cannot adopt a handle made elsewhere (a cloned font, a decoded image).

#include <windows.h>
// gdiplus.h needs windows.h (with its COM part: no WIN32_LEAN_AND_MEAN) before it.
#include <gdiplus.h>

#include <memory>

using Gdiplus::GpBitmap;
using Gdiplus::GpBrush;
using Gdiplus::GpFont;
using Gdiplus::GpFontFamily;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpImageAttributes;
using Gdiplus::GpSolidFill;
using Gdiplus::GpStatus;
using Gdiplus::GpStringFormat;

template <typename T, GpStatus(WINGDIPAPI* Free)(T*)>
struct GdipFree {
    void operator()(T* object) const noexcept {
        if (object) Free(object);
    }
};

using GdipImagePtr = std::unique_ptr<GpImage, GdipFree<GpImage, Gdiplus::DllExports::GdipDisposeImage>>;
using GdipBitmapPtr = std::unique_ptr<GpBitmap, GdipFree<GpImage, Gdiplus::DllExports::GdipDisposeImage>>;
using GdipGraphicsPtr = std::unique_ptr<GpGraphics, GdipFree<GpGraphics, Gdiplus::DllExports::GdipDeleteGraphics>>;
using GdipAttributesPtr =
    std::unique_ptr<GpImageAttributes, GdipFree<GpImageAttributes, Gdiplus::DllExports::GdipDisposeImageAttributes>>;
using GdipFontPtr = std::unique_ptr<GpFont, GdipFree<GpFont, Gdiplus::DllExports::GdipDeleteFont>>;
using GdipFontFamilyPtr =
    std::unique_ptr<GpFontFamily, GdipFree<GpFontFamily, Gdiplus::DllExports::GdipDeleteFontFamily>>;
using GdipFormatPtr =
    std::unique_ptr<GpStringFormat, GdipFree<GpStringFormat, Gdiplus::DllExports::GdipDeleteStringFormat>>;
using GdipBrushPtr = std::unique_ptr<GpBrush, GdipFree<GpBrush, Gdiplus::DllExports::GdipDeleteBrush>>;
