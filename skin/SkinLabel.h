#pragma once
// SkinLabel: a rectangle that draws a UTF-16 text with a GDI+ font, string format and
// brush, over its image when it has one. The text starts at the top left and wraps at the
// rectangle's width (the default format); whatever falls outside the rectangle or the
// parent is cut. Laid over a button and disabled, it captions the button: hit testing
// passes the mouse through it to the button below.
//
// SetLabelText may be called from any thread (see SkinElement.h). The text is drawn once
// per change, just before the next paint (LabelTextCache.h), and copied at each paint; a
// change redraws only the pixels the old or the new text inks.

#include <string>

#include "skin/LabelTextCache.h"
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

    // Null or empty clears the text; the text the label shows already changes nothing.
    void SetLabelText(const wchar_t* text);
    void SetLabelText(const std::wstring& text) { SetLabelText(text.c_str()); }
    // The text, or null when there is none.
    const wchar_t* GetLabelText() const { return labelText_.empty() ? nullptr : labelText_.c_str(); }

    // A release inside the label also raises EVENT_LABEL_CLICK (EVENT_LABEL_RCLICK), which
    // reaches the window only when the label's events are on.
    int OnLButtonUp(WPARAM wParam, LPARAM lParam) override;
    int OnRButtonUp(WPARAM wParam, LPARAM lParam) override;

protected:
    void DrawSelf(GpGraphics* graphics, const IntRect& clip) override;
    // The text wraps at the label's width: any change of size lays it out anew.
    bool DrawsAnchored() const override { return false; }
    // Draws a new text and asks for its pixels to be painted.
    void BeforePaint() override;

private:
    bool Inside(LPARAM lParam) const;
    // Draws the text into the cache for the label's current size.
    void RenderText();
    // Where the cached text shows, in host coordinates: its ink; the whole label while that
    // is not known, or when the ink lies where the parent shows nothing (a change of text
    // then still leads to a paint).
    IntRect ShownText() const;

    std::wstring labelText_;
    GdipFontPtr font_;
    GdipFormatPtr format_;
    GdipBrushPtr brush_;
    LabelTextCache textCache_;
    bool textStale_ = false;  // the text changed since it was last drawn into the cache
};
