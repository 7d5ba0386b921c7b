// Painting of a skinned window: the tree is drawn into the back buffer and brought to the
// screen, either with per-pixel alpha (layered windows) or by copying the dirty part.

#include "skin/SkinWindow.h"

using namespace Gdiplus::DllExports;

bool SkinWindow::UsesPerPixelAlpha() const {
    if (!host_ || !(GetWindowLongW(host_, GWL_EXSTYLE) & WS_EX_LAYERED)) return false;
    // A layered window given one alpha for all (SetLayeredWindowAttributes) is painted
    // like any other window.
    return !GetLayeredWindowAttributes(host_, nullptr, nullptr, nullptr);
}

void SkinWindow::PaintTree(const RECT& dirty) {
    // What was there is cleared first: translucent parts drawn again over their own last
    // picture would thicken with every repaint.
    backBuffer_.Clear(ToIntRect(dirty));
    GdipGraphicsPtr graphics = backBuffer_.NewGraphics();
    if (!graphics) return;
    GdipSetSmoothingMode(graphics.get(), Gdiplus::SmoothingModeAntiAlias);
    Paint(graphics.get(), dirty);
}

LRESULT SkinWindow::OnPaintMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!host_ || !backBuffer_.Valid()) return DefaultHandling(message, wParam, lParam);
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
        // Only the dirty part is drawn again and copied.
        RECT dirty{};
        GetUpdateRect(host_, &dirty, FALSE);
        if (!IsRectEmpty(&dirty)) {
            PaintTree(dirty);
            HDC window = GetDC(host_);
            BitBlt(window, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, backBuffer_.Dc(),
                   dirty.left, dirty.top, SRCCOPY);
            ReleaseDC(host_, window);
        }
    } else {
        PaintTree(client);
        if (target) BitBlt(target, 0, 0, client.right, client.bottom, backBuffer_.Dc(), 0, 0, SRCCOPY);
    }
    // DefWindowProc validates what was painted.
    return DefaultHandling(message, wParam, lParam);
}
