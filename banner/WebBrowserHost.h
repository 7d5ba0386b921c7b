#pragma once
// WebBrowserHost: a general host for the system's web browser control. It is the dispatch
// interface that receives the browser's events and ambient-property requests, it owns the
// embedding (the site, the browser, the event connection) and it offers every method of
// the site's interfaces and every browser event as a virtual hook with a neutral default;
// a derived host changes what it needs by overriding hooks.
//
// The host and everything it embeds belong to the thread that created it, which must run
// a message loop for the browser: OLE is initialised for that thread by the constructor
// and uninitialised by the destructor, and every call below is made on that thread.
//
// Reference counting: the host and its site are plain objects whose AddRef and Release
// answer 1; their owner deletes them, after TearDown has taken them from the browser.

#include <windows.h>
// The OLE and browser headers need windows.h first.
#include <exdisp.h>
#include <mshtmhst.h>
#include <ocidl.h>
#include <oleidl.h>
#include <wrl/client.h>

#include <memory>
#include <string>

class BrowserSite;

class WebBrowserHost : public IDispatch {
public:
    // `area` is the browser's rectangle in the client coordinates of `parentWindow`;
    // `style` is added to the browser window's style (WS_VISIBLE shows it).
    WebBrowserHost(HWND parentWindow, const RECT& area, DWORD style);
    WebBrowserHost(const WebBrowserHost&) = delete;
    WebBrowserHost& operator=(const WebBrowserHost&) = delete;

    // Creates the browser control and puts it in place. Separate from the constructor so
    // that the browser's first calls already reach a derived host's hooks. Nothing is
    // reported: a host without a browser shows nothing. True when a browser is embedded.
    bool Embed();
    // Opens an address when there is a browser; the browser's own result, or E_FAIL.
    HRESULT Navigate(const std::wstring& address);
    // Takes the embedding apart: the browser lets go of the site before the site dies.
    // Idempotent; the destructor does it too.
    void TearDown();

    // The control's side of the hosted-control element: show or hide, enable, move (the
    // rectangle in the parent's client coordinates).
    void ShowControl(int visible);
    void EnableControl(int enabled);
    void PlaceControl(const RECT& area);

    bool HasBrowser() const { return browser != nullptr; }
    HWND BrowserWindow() const { return browserWindow; }
    BrowserSite* Site() const { return site.get(); }
    const IID& EventIid() const { return eventIid; }
    bool EventsConnected() const { return eventPoint != nullptr; }

    // 0 to 6: the dispatch interface (events and ambient properties).
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    // Hands a browser event to its hook; everything else, ambient properties included, is
    // answered S_OK with the result untouched.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

    // 7 to 34: one hook per browser event (DWebBrowserEvents2). By default they do nothing.
    virtual void BeforeNavigate2(IDispatch*, VARIANT* /*url*/, VARIANT* /*flags*/, VARIANT* /*targetFrame*/,
                                 VARIANT* /*postData*/, VARIANT* /*headers*/, VARIANT_BOOL* /*cancel*/) {}
    virtual void ClientToHostWindow(long* /*cx*/, long* /*cy*/) {}
    virtual void CommandStateChange(long /*command*/, VARIANT_BOOL /*enable*/) {}
    virtual void DocumentComplete(IDispatch*, VARIANT* /*url*/) {}
    virtual void DownloadBegin() {}
    virtual void DownloadComplete() {}
    virtual void SetSecureLockIcon(long) {}
    virtual void NavigateComplete2(IDispatch*, VARIANT* /*url*/) {}
    virtual void NavigateError(IDispatch*, VARIANT* /*url*/, VARIANT* /*frame*/, VARIANT* /*statusCode*/,
                               VARIANT_BOOL* /*cancel*/) {}
    virtual void NewWindow2(IDispatch** /*newDispatch*/, VARIANT_BOOL* /*cancel*/) {}
    virtual void OnFullScreen(VARIANT_BOOL) {}
    virtual void OnMenuBar(VARIANT_BOOL) {}
    virtual void OnQuit() {}
    virtual void OnStatusBar(VARIANT_BOOL) {}
    virtual void OnTheaterMode(VARIANT_BOOL) {}
    virtual void OnToolBar(VARIANT_BOOL) {}
    virtual void OnVisible(VARIANT_BOOL) {}
    virtual void PrivacyImpactedStateChange(VARIANT_BOOL) {}
    virtual void ProgressChange(long /*progress*/, long /*maximum*/) {}
    virtual void PropertyChange(BSTR) {}
    virtual void StatusTextChange(BSTR) {}
    virtual void TitleChange(BSTR) {}
    virtual void WindowClosing(VARIANT_BOOL /*isChildWindow*/, VARIANT_BOOL* /*cancel*/) {}
    virtual void WindowSetHeight(long) {}
    virtual void WindowSetLeft(long) {}
    virtual void WindowSetResizable(VARIANT_BOOL) {}
    virtual void WindowSetTop(long) {}
    virtual void WindowSetWidth(long) {}

    // 35 to 51: the document host's user interface, and the three accelerator hooks.
    // S_FALSE: the control shows its own context menu.
    virtual HRESULT ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_FALSE; }
    // The information is left as the control filled it.
    virtual HRESULT GetHostInfo(DOCHOSTUIINFO*) { return S_OK; }
    virtual HRESULT ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                           IOleInPlaceUIWindow*) {
        return S_OK;
    }
    virtual HRESULT HideUI() { return S_OK; }
    virtual HRESULT UpdateUI() { return S_OK; }
    // For both the document host and the frame.
    virtual HRESULT EnableModeless(BOOL) { return E_NOTIMPL; }
    virtual HRESULT OnDocWindowActivate(BOOL) { return E_NOTIMPL; }
    virtual HRESULT OnFrameWindowActivate(BOOL) { return E_NOTIMPL; }
    virtual HRESULT ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return E_NOTIMPL; }
    virtual HRESULT TranslateFrameAccelerator(LPMSG, WORD) { return E_NOTIMPL; }
    virtual HRESULT TranslateControlAccelerator(MSG*, DWORD) { return E_NOTIMPL; }
    // S_OK: every key counts as handled by the host, and the control does nothing with it.
    virtual HRESULT TranslateDocAccelerator(LPMSG, const GUID*, DWORD) { return S_OK; }
    virtual HRESULT GetOptionKeyPath(LPOLESTR*, DWORD) { return E_NOTIMPL; }
    virtual HRESULT GetDropTarget(IDropTarget*, IDropTarget**) { return E_NOTIMPL; }
    // The page's external object is this host's dispatch interface, which knows no names.
    virtual HRESULT GetExternal(IDispatch** out);
    virtual HRESULT TranslateUrl(DWORD, LPWSTR, LPWSTR*) { return E_NOTIMPL; }
    virtual HRESULT FilterDataObject(IDataObject*, IDataObject**) { return E_NOTIMPL; }

    // 52 to 57: the client site.
    virtual HRESULT SaveObject() { return E_NOTIMPL; }
    virtual HRESULT GetMoniker(DWORD, DWORD, IMoniker**) { return E_NOTIMPL; }
    virtual HRESULT GetContainer(IOleContainer** out);
    virtual HRESULT ShowObject() { return S_OK; }
    virtual HRESULT OnShowWindow(BOOL) { return E_NOTIMPL; }
    virtual HRESULT RequestNewObjectLayout() { return E_NOTIMPL; }

    // 58 and 59: the window of the frame and of the in-place site.
    virtual HRESULT GetWindow(HWND* out);
    virtual HRESULT ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

    // 60 to 69: the in-place site.
    virtual HRESULT CanInPlaceActivate() { return S_OK; }
    virtual HRESULT OnInPlaceActivate() { return S_OK; }
    virtual HRESULT OnUIActivate() { return S_OK; }
    virtual HRESULT GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                     LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo);
    virtual HRESULT Scroll(SIZE) { return E_NOTIMPL; }
    virtual HRESULT OnUIDeactivate(BOOL) { return E_NOTIMPL; }
    virtual HRESULT OnInPlaceDeactivate() { return E_NOTIMPL; }
    virtual HRESULT DiscardUndoState() { return E_NOTIMPL; }
    virtual HRESULT DeactivateAndUndo() { return E_NOTIMPL; }
    virtual HRESULT OnPosRectChange(LPCRECT) { return E_NOTIMPL; }

    // 70 to 75: the control site.
    virtual HRESULT OnControlInfoChanged() { return E_NOTIMPL; }
    virtual HRESULT LockInPlaceActive(BOOL) { return E_NOTIMPL; }
    virtual HRESULT GetExtendedControl(IDispatch**) { return E_NOTIMPL; }
    virtual HRESULT TransformCoords(POINTL*, POINTF*, DWORD) { return E_NOTIMPL; }
    virtual HRESULT OnFocus(BOOL) { return E_NOTIMPL; }
    virtual HRESULT ShowPropertyFrame() { return E_NOTIMPL; }

    // 76 to 83: the in-place user-interface window and the frame.
    virtual HRESULT GetBorder(LPRECT) { return E_NOTIMPL; }
    virtual HRESULT RequestBorderSpace(LPCBORDERWIDTHS) { return E_NOTIMPL; }
    virtual HRESULT SetBorderSpace(LPCBORDERWIDTHS) { return E_NOTIMPL; }
    virtual HRESULT SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) { return E_NOTIMPL; }
    virtual HRESULT InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return E_NOTIMPL; }
    virtual HRESULT SetMenu(HMENU, HOLEMENU, HWND) { return E_NOTIMPL; }
    virtual HRESULT RemoveMenus(HMENU) { return E_NOTIMPL; }
    virtual HRESULT SetStatusText(LPCOLESTR) { return E_NOTIMPL; }

    // 84 to 86: the container.
    virtual HRESULT ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker**) { return E_NOTIMPL; }
    virtual HRESULT EnumObjects(DWORD, IEnumUnknown**) { return E_NOTIMPL; }
    virtual HRESULT LockContainer(BOOL) { return E_NOTIMPL; }

    // Last, so that the hooks keep their slots.
    virtual ~WebBrowserHost();

private:
    void ConnectEvents();

    HWND parentWindow;
    RECT area;
    DWORD style;
    DWORD ownerThread;
    bool oleReady;
    std::unique_ptr<BrowserSite> site;
    Microsoft::WRL::ComPtr<IWebBrowser2> browser;
    Microsoft::WRL::ComPtr<IConnectionPoint> eventPoint;
    DWORD eventCookie = static_cast<DWORD>(-1);
    HWND browserWindow = nullptr;
    IID eventIid{};
};
