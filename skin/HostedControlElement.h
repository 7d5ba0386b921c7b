#pragma once
// HostedControlElement: an element that carries the child window of an embedded control
// (the banner's web browser) and keeps that window's visibility, enabled state and
// position in step with itself. The embedding code sets the three members below once the
// control is in place; until then the element behaves like a plain one.
//
// The element changes on its window's thread; so, by default, does the control's side of
// each change. A control that lives in another thread's apartment must only be called
// there: its element overrides ShowControl, EnableControl and PlaceControl to hand them to
// that thread, and leaves the members below unset.

#include <windows.h>
// ole2.h needs windows.h first.
#include <ole2.h>
#include <wrl/client.h>

#include "skin/SkinElement.h"

// The control's side of a change, shared with hosts that make it on another thread: show or
// hide through the control's IOleObject (when it has one), and move its window after the
// site's position rectangle (either may be null), with `placed` in host coordinates.
void ShowOleControl(IUnknown* control, IOleClientSite* site, int visible);
void PlaceHostedWindow(HWND window, RECT* sitePosition, const RECT& placed);

class HostedControlElement : public SkinElement {
public:
    // `rect` is relative to the parent; the element has no image.
    HostedControlElement(const RECT& rect, SkinElement* parent, int id = 0);

protected:
    // Shows or hides the control, then itself.
    void ApplyVisible(int visible) override;
    // Enables or disables the control, then itself.
    void ApplyEnabled(int enabled) override;
    // Moves itself, then the control.
    RECT ApplyRect(const RECT* rect, int stretch) override;

    // The control's side. Show: DoVerb through its IOleObject (when it has one). Enable:
    // EnableWindow on its window. Place: the site's position rectangle and MoveWindow, with
    // `placed` in host coordinates.
    virtual void ShowControl(int visible);
    virtual void EnableControl(int enabled);
    virtual void PlaceControl(const RECT& placed);

    Microsoft::WRL::ComPtr<IUnknown> hostedControl;
    IOleClientSite* activeSite = nullptr;  // the embedding site's client-site face; not owned
    HWND hostedWindow = nullptr;           // the control's window; owned by the control
    RECT* sitePosition = nullptr;          // the site's position rectangle, in host coordinates
};
