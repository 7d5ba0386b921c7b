#include "banner/BrowserSite.h"

#include "banner/WebBrowserHost.h"

BrowserSite::BrowserSite(HWND parentWindowIn, const RECT& positionIn, WebBrowserHost* hostIn)
    : parentWindow(parentWindowIn), position(positionIn), host(hostIn) {}

HRESULT BrowserSite::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_FAIL;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
        *out = static_cast<IOleInPlaceFrame*>(this);
    } else if (iid == IID_IOleContainer || iid == IID_IParseDisplayName) {
        *out = static_cast<IOleContainer*>(this);
    } else if (iid == IID_IOleClientSite) {
        *out = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleInPlaceSite) {
        *out = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleControlSite) {
        *out = static_cast<IOleControlSite*>(this);
    } else if (iid == IID_IDispatch) {
        *out = static_cast<IDispatch*>(this);
    } else if (iid == IID_IDocHostUIHandler) {
        *out = static_cast<IDocHostUIHandler*>(this);
    } else {
        return E_NOINTERFACE;
    }
    return S_OK;
}

// Everything else goes to the host's hook of the same name.

HRESULT BrowserSite::GetWindow(HWND* window) { return host->GetWindow(window); }
HRESULT BrowserSite::ContextSensitiveHelp(BOOL enterMode) { return host->ContextSensitiveHelp(enterMode); }

HRESULT BrowserSite::GetBorder(LPRECT border) { return host->GetBorder(border); }
HRESULT BrowserSite::RequestBorderSpace(LPCBORDERWIDTHS widths) { return host->RequestBorderSpace(widths); }
HRESULT BrowserSite::SetBorderSpace(LPCBORDERWIDTHS widths) { return host->SetBorderSpace(widths); }
HRESULT BrowserSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) {
    return host->SetActiveObject(object, name);
}

HRESULT BrowserSite::InsertMenus(HMENU shared, LPOLEMENUGROUPWIDTHS widths) {
    return host->InsertMenus(shared, widths);
}
HRESULT BrowserSite::SetMenu(HMENU shared, HOLEMENU descriptor, HWND activeObject) {
    return host->SetMenu(shared, descriptor, activeObject);
}
HRESULT BrowserSite::RemoveMenus(HMENU shared) { return host->RemoveMenus(shared); }
HRESULT BrowserSite::SetStatusText(LPCOLESTR text) { return host->SetStatusText(text); }
HRESULT BrowserSite::EnableModeless(BOOL enable) { return host->EnableModeless(enable); }
HRESULT BrowserSite::TranslateAccelerator(LPMSG message, WORD id) {
    return host->TranslateFrameAccelerator(message, id);
}

HRESULT BrowserSite::ParseDisplayName(IBindCtx* context, LPOLESTR name, ULONG* eaten, IMoniker** out) {
    return host->ParseDisplayName(context, name, eaten, out);
}
HRESULT BrowserSite::EnumObjects(DWORD flags, IEnumUnknown** out) { return host->EnumObjects(flags, out); }
HRESULT BrowserSite::LockContainer(BOOL lock) { return host->LockContainer(lock); }

HRESULT BrowserSite::SaveObject() { return host->SaveObject(); }
HRESULT BrowserSite::GetMoniker(DWORD assign, DWORD which, IMoniker** out) {
    return host->GetMoniker(assign, which, out);
}
HRESULT BrowserSite::GetContainer(IOleContainer** out) { return host->GetContainer(out); }
HRESULT BrowserSite::ShowObject() { return host->ShowObject(); }
HRESULT BrowserSite::OnShowWindow(BOOL show) { return host->OnShowWindow(show); }
HRESULT BrowserSite::RequestNewObjectLayout() { return host->RequestNewObjectLayout(); }

HRESULT BrowserSite::CanInPlaceActivate() { return host->CanInPlaceActivate(); }
HRESULT BrowserSite::OnInPlaceActivate() { return host->OnInPlaceActivate(); }
HRESULT BrowserSite::OnUIActivate() { return host->OnUIActivate(); }
HRESULT BrowserSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT positionOut,
                                      LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) {
    return host->GetWindowContext(frame, document, positionOut, clip, frameInfo);
}
HRESULT BrowserSite::Scroll(SIZE extent) { return host->Scroll(extent); }
HRESULT BrowserSite::OnUIDeactivate(BOOL undoable) { return host->OnUIDeactivate(undoable); }
HRESULT BrowserSite::OnInPlaceDeactivate() { return host->OnInPlaceDeactivate(); }
HRESULT BrowserSite::DiscardUndoState() { return host->DiscardUndoState(); }
HRESULT BrowserSite::DeactivateAndUndo() { return host->DeactivateAndUndo(); }
HRESULT BrowserSite::OnPosRectChange(LPCRECT rect) { return host->OnPosRectChange(rect); }

HRESULT BrowserSite::OnControlInfoChanged() { return host->OnControlInfoChanged(); }
HRESULT BrowserSite::LockInPlaceActive(BOOL lock) { return host->LockInPlaceActive(lock); }
HRESULT BrowserSite::GetExtendedControl(IDispatch** out) { return host->GetExtendedControl(out); }
HRESULT BrowserSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
    return host->TransformCoords(himetric, container, flags);
}
HRESULT BrowserSite::TranslateAccelerator(MSG* message, DWORD modifiers) {
    return host->TranslateControlAccelerator(message, modifiers);
}
HRESULT BrowserSite::OnFocus(BOOL gotFocus) { return host->OnFocus(gotFocus); }
HRESULT BrowserSite::ShowPropertyFrame() { return host->ShowPropertyFrame(); }

HRESULT BrowserSite::GetTypeInfoCount(UINT* count) { return host->GetTypeInfoCount(count); }
HRESULT BrowserSite::GetTypeInfo(UINT index, LCID locale, ITypeInfo** out) {
    return host->GetTypeInfo(index, locale, out);
}
HRESULT BrowserSite::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
    return host->GetIDsOfNames(iid, names, count, locale, ids);
}
HRESULT BrowserSite::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* exception, UINT* argumentError) {
    return host->Invoke(id, iid, locale, flags, params, result, exception, argumentError);
}

HRESULT BrowserSite::ShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget, IDispatch* object) {
    return host->ShowContextMenu(id, point, commandTarget, object);
}
HRESULT BrowserSite::GetHostInfo(DOCHOSTUIINFO* info) { return host->GetHostInfo(info); }
HRESULT BrowserSite::ShowUI(DWORD id, IOleInPlaceActiveObject* object, IOleCommandTarget* commandTarget,
                            IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) {
    return host->ShowUI(id, object, commandTarget, frame, document);
}
HRESULT BrowserSite::HideUI() { return host->HideUI(); }
HRESULT BrowserSite::UpdateUI() { return host->UpdateUI(); }
HRESULT BrowserSite::OnDocWindowActivate(BOOL activate) { return host->OnDocWindowActivate(activate); }
HRESULT BrowserSite::OnFrameWindowActivate(BOOL activate) { return host->OnFrameWindowActivate(activate); }
HRESULT BrowserSite::ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) {
    return host->ResizeBorder(border, window, frameWindow);
}
HRESULT BrowserSite::TranslateAccelerator(LPMSG message, const GUID* group, DWORD command) {
    return host->TranslateDocAccelerator(message, group, command);
}
HRESULT BrowserSite::GetOptionKeyPath(LPOLESTR* key, DWORD reserved) { return host->GetOptionKeyPath(key, reserved); }
HRESULT BrowserSite::GetDropTarget(IDropTarget* target, IDropTarget** out) { return host->GetDropTarget(target, out); }
HRESULT BrowserSite::GetExternal(IDispatch** out) { return host->GetExternal(out); }
HRESULT BrowserSite::TranslateUrl(DWORD translate, LPWSTR in, LPWSTR* out) {
    return host->TranslateUrl(translate, in, out);
}
HRESULT BrowserSite::FilterDataObject(IDataObject* in, IDataObject** out) { return host->FilterDataObject(in, out); }
