#pragma once
// SkinLabel: a rectangle that draws a UTF-16 text with a GDI+ font, string format and
// brush, over its image when it has one. The text starts at the top left and wraps at the
// rectangle's width (the default format); whatever falls outside the rectangle or the
// parent is cut. Laid over a button and disabled, it captions the button: hit testing
// passes the mouse through it to the button below.
//
// SetLabelText may be called from any thread (see SkinElement.h).

#include <string>

#include "skin/SkinElement.h"

// How a label's text looks: font family, size in points (regular style) and colour
// (#AARRGGBB).
struct LabelStyle {
    const wchar_t* fontFamily = L"宋体";
    float sizePoints = 12.0f;
    uint32_t color = 0xFEFFFFFF;
};

// A regular font of `family` in points; the generic sans-serif family stands in for a
// family the system lacks.
GdipFontPtr CreateSkinFont(const wchar_t* family, float sizePoints);

class SkinLabel : public SkinElement {
public:
    // `rect` is relative to the parent; the label has no image.
    SkinLabel(const RECT& rect, SkinElement* parent, const LabelStyle& style, int id = 0);
    // With the caller's GDI+ objects, which the label copies (the caller keeps and may
    // delete its own). A null font is 12-point 宋体, a null format the default one, a null
    // brush white at alpha 254.
    SkinLabel(const RECT& rect, const ImageSource& image, SkinElement* parent, GpFont* font, GpStringFormat* format,
              GpBrush* brush, int id = 0);

    // Null or empty clears the text.
    void SetLabelText(const wchar_t* text);
    void SetLabelText(const std::wstring& text) { SetLabelText(text.c_str()); }
    // The text, or null when there is none.
    const wchar_t* GetLabelText() const { return labelText_.empty() ? nullptr : labelText_.c_str(); }

    // A release inside the label also raises EVENT_LABEL_CLICK (EVENT_LABEL_RCLICK), which
    // reaches the window only when the label's events are on.
    int OnLButtonUp(WPARAM wParam, LPARAM lParam) override;
    int OnRButtonUp(WPARAM wParam, LPARAM lParam) override;

protected:
    void DrawSelf(GpGraphics* graphics) override;

private:
    bool Inside(LPARAM lParam) const;

    std::wstring labelText_;
    GdipFontPtr font_;
    GdipFormatPtr format_;
    GdipBrushPtr brush_;
};
