#pragma once
// BrowserSite: the object the web browser control is embedded in. It carries the seven
// faces the control asks for and forwards every call to the hook of the same name on its
// host, so that the host alone decides the answers. Created and deleted by the host; not
// reference-counted (AddRef and Release answer 1).

#include <windows.h>
// The OLE and browser headers need windows.h first.
#include <mshtmhst.h>
#include <ocidl.h>
#include <oleidl.h>

class WebBrowserHost;

class BrowserSite final : public IOleInPlaceFrame,  // also IUnknown, IOleWindow, IOleInPlaceUIWindow
                          public IOleContainer,     // also IParseDisplayName
                          public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleControlSite,
                          public IDispatch,  // the control's ambient-property requests
                          public IDocHostUIHandler {
public:
    // `position` is in the client coordinates of `parentWindow`.
    BrowserSite(HWND parentWindow, const RECT& position, WebBrowserHost* host);
    BrowserSite(const BrowserSite&) = delete;
    BrowserSite& operator=(const BrowserSite&) = delete;
    ~BrowserSite() = default;

    HWND parentWindow;
    RECT position;
    WebBrowserHost* host;

    // Every face: the face listed above for the interface asked for.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // IOleWindow, for the frame and the in-place site alike.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;
    // IOleInPlaceUIWindow.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT border) override;
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
    // IOleInPlaceFrame (EnableModeless also serves the document host).
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU shared, HOLEMENU descriptor, HWND activeObject) override;
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU shared) override;
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR text) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message, WORD id) override;

    // IParseDisplayName and IOleContainer.
    HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx* context, LPOLESTR name, ULONG* eaten, IMoniker** out) override;
    HRESULT STDMETHODCALLTYPE EnumObjects(DWORD flags, IEnumUnknown** out) override;
    HRESULT STDMETHODCALLTYPE LockContainer(BOOL lock) override;

    // IOleClientSite.
    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** out) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) override;
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;

    // IOleInPlaceSite.
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT positionOut, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO frameInfo) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE extent) override;
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL undoable) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT rect) override;

    // IOleControlSite.
    HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override;
    HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL lock) override;
    HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message, DWORD modifiers) override;
    HRESULT STDMETHODCALLTYPE OnFocus(BOOL gotFocus) override;
    HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override;

    // IDispatch: the same dispatch methods as the host's, so ambient-property requests
    // reach the same Invoke as the events.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // IDocHostUIHandler.
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget,
                                              IDispatch* object) override;
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override;
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD id, IOleInPlaceActiveObject* object, IOleCommandTarget* commandTarget,
                                     IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) override;
    HRESULT STDMETHODCALLTYPE HideUI() override;
    HRESULT STDMETHODCALLTYPE UpdateUI() override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message, const GUID* group, DWORD command) override;
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget* target, IDropTarget** out) override;
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD translate, LPWSTR in, LPWSTR* out) override;
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject* in, IDataObject** out) override;
};
