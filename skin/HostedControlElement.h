#pragma once
// HostedControlElement: an element that carries the child window of an embedded control
// (the banner's web browser) and keeps that window's visibility, enabled state and
// position in step with itself. The embedding code sets the three members below once the
// control is in place; until then the element behaves like a plain one.

#include <windows.h>
// ole2.h needs windows.h first.
#include <ole2.h>
#include <wrl/client.h>

#include "skin/SkinElement.h"

class HostedControlElement : public SkinElement {
public:
    // `rect` is relative to the parent; the element has no image.
    HostedControlElement(const RECT& rect, SkinElement* parent, int id = 0);

protected:
    // Shows or hides the control through its IOleObject (when it has one), then itself.
    void ApplyVisible(int visible) override;
    // Enables or disables the control's window, then itself.
    void ApplyEnabled(int enabled) override;
    // Moves itself, then the control's window and the site's position rectangle.
    RECT ApplyRect(const RECT* rect, int stretch) override;

    Microsoft::WRL::ComPtr<IUnknown> hostedControl;
    IOleClientSite* activeSite = nullptr;  // the embedding site's client-site face; not owned
    HWND hostedWindow = nullptr;           // the control's window; owned by the control
    RECT* sitePosition = nullptr;          // the site's position rectangle, in host coordinates
};
