#include "skin/HostedControlElement.h"

HostedControlElement::HostedControlElement(const RECT& rect, SkinElement* parent, int id)
    : SkinElement(rect, kNoImage, parent, id, nullptr) {}

void HostedControlElement::ApplyVisible(int visible) {
    ShowControl(visible);
    SkinElement::ApplyVisible(visible);
}

void HostedControlElement::ApplyEnabled(int enabled) {
    EnableControl(enabled);
    SkinElement::ApplyEnabled(enabled);
}

RECT HostedControlElement::ApplyRect(const RECT* rect, int stretch) {
    const RECT old = SkinElement::ApplyRect(rect, stretch);
    if (rect) PlaceControl(GetRect());
    return old;
}

void ShowOleControl(IUnknown* control, IOleClientSite* site, int visible) {
    Microsoft::WRL::ComPtr<IOleObject> object;
    if (control && SUCCEEDED(control->QueryInterface(IID_PPV_ARGS(&object))) && object)
        object->DoVerb(visible == 1 ? OLEIVERB_SHOW : OLEIVERB_HIDE, nullptr, site, 0, nullptr, nullptr);
}

void PlaceHostedWindow(HWND window, RECT* sitePosition, const RECT& placed) {
    if (sitePosition) *sitePosition = placed;
    if (window)
        MoveWindow(window, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top, FALSE);
}

void HostedControlElement::ShowControl(int visible) { ShowOleControl(hostedControl.Get(), activeSite, visible); }

void HostedControlElement::EnableControl(int enabled) {
    if (hostedWindow) EnableWindow(hostedWindow, enabled);
}

void HostedControlElement::PlaceControl(const RECT& placed) { PlaceHostedWindow(hostedWindow, sitePosition, placed); }
