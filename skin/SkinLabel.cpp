#include "skin/SkinLabel.h"

#include "skin/SkinGraphics.h"

using namespace Gdiplus::DllExports;

namespace {

GdipFormatPtr DefaultFormat() {
    GpStringFormat* format = nullptr;
    GdipCreateStringFormat(0, LANG_NEUTRAL, &format);
    return GdipFormatPtr(format);
}

GdipBrushPtr SolidBrush(uint32_t color) {
    GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(color, &brush);
    return GdipBrushPtr(brush);
}

}  // namespace

GdipFontPtr CreateSkinFont(const wchar_t* family, float sizePoints) {
    const auto find = [](const wchar_t* name) -> GpFontFamily* {
        GpFontFamily* found = nullptr;
        return name && GdipCreateFontFamilyFromName(name, nullptr, &found) == Gdiplus::Ok ? found : nullptr;
    };
    GpFontFamily* rawFamily = find(family);
    if (!rawFamily && GdipGetGenericFontFamilySansSerif(&rawFamily) != Gdiplus::Ok) rawFamily = nullptr;
    // Under Wine the generic family ("Microsoft Sans Serif", else Arial) may be missing
    // altogether; then a face that Wine or the Chinese system has stands in, so that a
    // label never silently draws nothing.
    if (!rawFamily) rawFamily = find(L"Tahoma");
    if (!rawFamily) rawFamily = find(L"宋体");
    GdipFontFamilyPtr fontFamily(rawFamily);
    GpFont* font = nullptr;
    if (fontFamily) GdipCreateFont(fontFamily.get(), sizePoints, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint, &font);
    return GdipFontPtr(font);
}

SkinLabel::SkinLabel(const RECT& rect, SkinElement* parent, const LabelStyle& style, int id)
    : SkinElement(rect, kNoImage, parent, id, nullptr),
      font_(CreateSkinFont(style.fontFamily, style.sizePoints)),
      format_(DefaultFormat()),
      brush_(SolidBrush(style.color)) {}

SkinLabel::SkinLabel(const RECT& rect, const ImageSource& image, SkinElement* parent, GpFont* font,
                     GpStringFormat* format, GpBrush* brush, int id)
    : SkinElement(rect, image, parent, id, nullptr) {
    const LabelStyle defaults;
    GpFont* fontCopy = nullptr;
    if (font) GdipCloneFont(font, &fontCopy);
    font_ = font ? GdipFontPtr(fontCopy) : CreateSkinFont(defaults.fontFamily, defaults.sizePoints);
    GpStringFormat* formatCopy = nullptr;
    if (format) GdipCloneStringFormat(format, &formatCopy);
    format_ = format ? GdipFormatPtr(formatCopy) : DefaultFormat();
    GpBrush* brushCopy = nullptr;
    if (brush) GdipCloneBrush(brush, &brushCopy);
    brush_ = brush ? GdipBrushPtr(brushCopy) : SolidBrush(defaults.color);
}

void SkinLabel::SetLabelText(const wchar_t* text) {
    std::wstring copy = text ? text : L"";
    if (HandToHostThread([this, copy] { SetLabelText(copy.c_str()); })) return;
    if (copy == labelText_) return;
    labelText_ = std::move(copy);
    textStale_ = true;
    // The old text's pixels now; the new text's once it has been drawn, just before the next
    // paint. A burst of changes draws only the last text.
    const RECT shown = ToRect(ShownText());
    Invalidate(&shown, 0);
}

void SkinLabel::BeforePaint() {
    if (!textStale_) return;
    RenderText();
    if (labelText_.empty()) return;
    const RECT inked = ToRect(ShownText());
    Invalidate(&inked, 0);
}

void SkinLabel::RenderText() {
    textStale_ = false;
    const RECT r = GetRect();
    if (labelText_.empty())
        textCache_.Clear();
    else
        textCache_.Render(labelText_, r.right - r.left, r.bottom - r.top, font_.get(), format_.get(), brush_.get());
}

IntRect SkinLabel::ShownText() const {
    const IntRect whole = ToIntRect(GetRect());
    if (!textCache_.Holds(whole.Width(), whole.Height())) return whole;
    const IntRect ink = textCache_.Ink().Offset(whole.left, whole.top);
    return Intersect(ink, ParentRect()).IsEmpty() ? whole : ink;
}

void SkinLabel::DrawSelf(GpGraphics* graphics, const IntRect& clip) {
    SkinElement::DrawSelf(graphics, clip);
    if (labelText_.empty()) return;
    const RECT r = GetRect();
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (textStale_ || !textCache_.Holds(width, height)) RenderText();
    if (textCache_.Holds(width, height)) {
        textCache_.Draw(graphics, r.left, r.top, clip);
        return;
    }
    const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top),
                                static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height));
    // A font, format or brush that failed to be made leaves GDI+ drawing nothing.
    DrawThroughClip(graphics, clip, [&] {
        return GdipDrawString(graphics, labelText_.c_str(), -1, font_.get(), &layout, format_.get(), brush_.get());
    });
}

bool SkinLabel::Inside(LPARAM lParam) const {
    const RECT r = GetRect();
    const POINT point{LOWORD(lParam), HIWORD(lParam)};
    return PtInRect(&r, point) != FALSE;
}

int SkinLabel::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
    SkinElement::OnLButtonUp(wParam, lParam);
    return Inside(lParam) ? RaiseEvent(EVENT_LABEL_CLICK, wParam, lParam) : 0;
}

int SkinLabel::OnRButtonUp(WPARAM wParam, LPARAM lParam) {
    SkinElement::OnRButtonUp(wParam, lParam);
    return Inside(lParam) ? RaiseEvent(EVENT_LABEL_RCLICK, wParam, lParam) : 0;
}
