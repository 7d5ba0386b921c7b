// Painting of a skinned window: the tree is drawn into the back buffer and brought to the
// screen, either with per-pixel alpha (layered windows) or by copying the dirty part.

#include "skin/SkinWindow.h"

#include <cstdint>
#include <vector>

#include "app/UniqueHandle.h"
#include "skin/SkinGraphics.h"

using namespace Gdiplus::DllExports;

bool SkinWindow::UsesPerPixelAlpha() const {
    if (!host_ || !(GetWindowLongW(host_, GWL_EXSTYLE) & WS_EX_LAYERED)) return false;
    // A layered window given one alpha for all (SetLayeredWindowAttributes) is painted
    // like any other window.
    return !GetLayeredWindowAttributes(host_, nullptr, nullptr, nullptr);
}

namespace {

// Joined while that costs fewer pixels than a pass over the tree does, more or less.
constexpr long long kCoalesceSlackPixels = 1024;
constexpr size_t kMaxDirtyRects = 8;

struct RegionTraits {
    using Type = HRGN;
    static constexpr Type Invalid() noexcept { return nullptr; }
    static void Close(Type region) noexcept { ::DeleteObject(region); }
};
using UniqueRegion = UniqueHandle<RegionTraits>;

// The update region as a few rectangles, validated: changes far apart (the runner at the
// bar's front, the size text below its start) repaint their own pixels, not everything
// between them. What is invalidated while they are painted stays for the next WM_PAINT.
std::vector<RECT> TakeDirtyRects(HWND window) {
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    RECT bounds{};
    if (!region || GetUpdateRgn(window, region.Get(), FALSE) <= NULLREGION || !GetRgnBox(region.Get(), &bounds))
        return {};
    ValidateRgn(window, region.Get());
    const DWORD size = GetRegionData(region.Get(), 0, nullptr);
    std::vector<uint8_t> data(size);
    auto* regionData = reinterpret_cast<RGNDATA*>(data.data());
    if (size < sizeof(RGNDATAHEADER) || GetRegionData(region.Get(), size, regionData) != size) return {bounds};
    const auto* parts = reinterpret_cast<const RECT*>(regionData->Buffer);
    std::vector<IntRect> rects;
    for (DWORD i = 0; i < regionData->rdh.nCount; ++i) rects.push_back(ToIntRect(parts[i]));
    std::vector<RECT> dirty;
    for (const IntRect& r : CoalesceRects(std::move(rects), kCoalesceSlackPixels, kMaxDirtyRects))
        dirty.push_back(ToRect(r));
    if (dirty.empty()) dirty.push_back(bounds);
    return dirty;
}

}  // namespace

void SkinWindow::PaintTree(const RECT& dirty) {
    PaintTree(std::vector<RECT>{dirty});
}

void SkinWindow::PaintTree(const std::vector<RECT>& dirty) {
    // What was there is cleared first: translucent parts drawn again over their own last
    // picture would thicken with every repaint.
    for (const RECT& part : dirty) backBuffer_.Clear(ToIntRect(part));
    GdipGraphicsPtr graphics = backBuffer_.NewGraphics();
    if (!graphics) return;
    ApplyTreeGraphicsSettings(graphics.get());
    for (const RECT& part : dirty) Paint(graphics.get(), part);
}

LRESULT SkinWindow::OnPaintMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!host_ || !backBuffer_.Valid()) return DefaultHandling(message, wParam, lParam);
    PrepareToPaint();
    RECT client{};
    GetClientRect(host_, &client);
    HDC target = message == WM_PAINT ? nullptr : reinterpret_cast<HDC>(wParam);

    if (UsesPerPixelAlpha()) {
        // The system gets the whole picture each time, whatever was invalidated.
        PaintTree(client);
        if (message == WM_PAINT) {
            RECT onScreen{};
            GetWindowRect(host_, &onScreen);
            POINT destination{onScreen.left, onScreen.top};
            SIZE size{onScreen.right - onScreen.left, onScreen.bottom - onScreen.top};
            POINT source{0, 0};
            BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            HDC screen = GetDC(nullptr);
            UpdateLayeredWindow(host_, screen, &destination, &size, backBuffer_.Dc(), &source, 0, &blend, ULW_ALPHA);
            ReleaseDC(nullptr, screen);
        } else if (target) {
            BitBlt(target, 0, 0, client.right, client.bottom, backBuffer_.Dc(), 0, 0, SRCCOPY);
        }
    } else if (message == WM_PAINT) {
        // Only the dirty parts are drawn again; what lies between them in the picture is
        // still current, so one copy of their bounds brings all of them to the screen. The
        // window has no caret, frame or background to paint, and validates the region
        // itself: under Wine, BeginPaint and EndPaint would add four requests to the
        // server to every repaint.
        const std::vector<RECT> parts = TakeDirtyRects(host_);
        if (!parts.empty()) {
            PaintTree(parts);
            RECT dirty{};
            for (const RECT& part : parts) UnionRect(&dirty, &dirty, &part);
            HDC window = GetDC(host_);
            BitBlt(window, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, backBuffer_.Dc(),
                   dirty.left, dirty.top, SRCCOPY);
            ReleaseDC(host_, window);
            return 0;
        }
    } else {
        PaintTree(client);
        if (target) BitBlt(target, 0, 0, client.right, client.bottom, backBuffer_.Dc(), 0, 0, SRCCOPY);
    }
    // DefWindowProc validates what was painted (and handles a WM_PAINT with nothing dirty).
    return DefaultHandling(message, wParam, lParam);
}
