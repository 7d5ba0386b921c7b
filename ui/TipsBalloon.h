#pragma once
// The speech balloon that greets the user beside the new desktop icon. A plain layered
// skinned window owned by the desktop's list view; it reacts to nothing and is hidden, not
// destroyed, when its time is up.

#include "skin/SkinWindow.h"

class SkinLabel;

inline constexpr UINT WM_SHOW_BALLOON = WM_APP + 2;
inline constexpr wchar_t kBalloonText[] = L"HI，恭候您多时了！世界那么大，有您更精彩！戳我开启游戏之旅！";

class TipsBalloon final : public SkinWindow {
public:
    // `iconRect` is the icon's rectangle in screen coordinates; the balloon's pointer, at its
    // upper left, lands beside the icon's right edge. Shown at once.
    TipsBalloon(HWND listView, const RECT& iconRect);

    SkinLabel* Text() const { return balloonText_; }

private:
    SkinLabel* balloonText_ = nullptr;
};

// Brings the desktop to the front through the Shell application object, so that the icon
// and the balloon can be seen. Nothing happens when the object is not available.
void ToggleDesktop();
