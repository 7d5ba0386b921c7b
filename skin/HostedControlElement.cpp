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

void HostedControlElement::ShowControl(int visible) {
    Microsoft::WRL::ComPtr<IOleObject> object;
    if (hostedControl && SUCCEEDED(hostedControl.As(&object)) && object) {
        object->DoVerb(visible == 1 ? OLEIVERB_SHOW : OLEIVERB_HIDE, nullptr, activeSite, 0, nullptr, nullptr);
    }
}

void HostedControlElement::EnableControl(int enabled) {
    if (hostedWindow) EnableWindow(hostedWindow, enabled);
}

void HostedControlElement::PlaceControl(const RECT& placed) {
    if (sitePosition) *sitePosition = placed;
    if (hostedWindow) {
        MoveWindow(hostedWindow, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top,
                   FALSE);
    }
}
