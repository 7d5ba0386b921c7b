#include "ui/TipsBalloon.h"

#include <objbase.h>
#include <shldisp.h>
#include <wrl/client.h>

#include "skin/SkinLabel.h"

TipsBalloon::TipsBalloon(HWND listView, const RECT& iconRect)
    : SkinWindow(iconRect.right, iconRect.top + 5, ImageResource(1116), L"ICO_TIPS", listView, WS_EX_LAYERED,
                 WS_POPUP, 0) {
    SetVisible(SW_SHOWNORMAL);
    balloonText_ = new SkinLabel({15, 5, 209, 40}, this, {L"微软雅黑", 9, 0xFEC8C8C8});
    balloonText_->SetLabelText(kBalloonText);
}

void ToggleDesktop() {
    // The result only says whether this thread had COM already; either way it may be used.
    CoInitialize(nullptr);
    Microsoft::WRL::ComPtr<IShellDispatch4> shell;
    if (SUCCEEDED(CoCreateInstance(CLSID_Shell, nullptr,
                                   CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                                   IID_IShellDispatch4, reinterpret_cast<void**>(shell.GetAddressOf()))))
        shell->ToggleDesktop();
}
