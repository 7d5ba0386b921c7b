#include "banner/WebBrowserHost.h"

#include <oleauto.h>

#include "banner/BrowserSite.h"
#include "skin/HostedControlElement.h"

using Microsoft::WRL::ComPtr;

WebBrowserHost::WebBrowserHost(HWND parentWindowIn, const RECT& areaIn, DWORD styleIn)
    : parentWindow(parentWindowIn),
      area(areaIn),
      style(styleIn),
      ownerThread(GetCurrentThreadId()),
      oleReady(SUCCEEDED(OleInitialize(nullptr))) {}

WebBrowserHost::~WebBrowserHost() {
    TearDown();
    if (oleReady) OleUninitialize();
}

bool WebBrowserHost::Embed() {
    if (browser) return true;
    if (GetCurrentThreadId() != ownerThread) return false;
    ComPtr<IWebBrowser2> created;
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IWebBrowser2,
                                reinterpret_cast<void**>(created.GetAddressOf()))) ||
        !created) {
        return false;
    }
    ComPtr<IOleObject> object;
    if (FAILED(created.As(&object)) || !object) return false;
    browser = created;
    site = std::make_unique<BrowserSite>(parentWindow, area, this);
    ComPtr<IOleInPlaceObject> inPlace;
    if (FAILED(object->SetClientSite(static_cast<IOleClientSite*>(site.get()))) || FAILED(browser.As(&inPlace)) ||
        !inPlace) {
        // A control that cannot be sited is not kept: nothing of it may outlive this call.
        TearDown();
        return false;
    }
    const auto takeWindow = [&inPlace] {
        HWND window = nullptr;
        return SUCCEEDED(inPlace->GetWindow(&window)) ? window : nullptr;
    };
    browserWindow = takeWindow();
    const LONG verb = (style & WS_VISIBLE) ? OLEIVERB_SHOW : OLEIVERB_HIDE;
    object->DoVerb(verb, nullptr, static_cast<IOleClientSite*>(site.get()), 0, nullptr, nullptr);
    // Some controls (Wine's among them) make their window only when they go in place.
    if (!browserWindow) browserWindow = takeWindow();
    if (browserWindow) {
        const LONG current = GetWindowLongW(browserWindow, GWL_STYLE);
        SetWindowLongW(browserWindow, GWL_STYLE,
                       current | static_cast<LONG>(style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
    }
    ConnectEvents();
    return true;
}

void WebBrowserHost::ConnectEvents() {
    ComPtr<IProvideClassInfo2> classInfo;
    if (SUCCEEDED(browser.As(&classInfo)) && classInfo) {
        IID found{};
        if (SUCCEEDED(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &found))) eventIid = found;
    }
    // A control without a default source interface shows its page but sends no events.
    if (eventIid == GUID_NULL) return;
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(browser.As(&container)) || !container) return;
    ComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(eventIid, &point)) || !point) return;
    DWORD cookie = 0;
    if (FAILED(point->Advise(static_cast<IDispatch*>(this), &cookie))) return;
    eventPoint = point;
    eventCookie = cookie;
}

HRESULT WebBrowserHost::Navigate(const std::wstring& address) {
    if (!browser || GetCurrentThreadId() != ownerThread) return E_FAIL;
    BSTR text = SysAllocStringLen(address.data(), static_cast<UINT>(address.size()));
    if (!text) return E_OUTOFMEMORY;
    const HRESULT result = browser->Navigate(text, nullptr, nullptr, nullptr, nullptr);
    SysFreeString(text);
    return result;
}

void WebBrowserHost::TearDown() {
    // The browser, its site and its events live in this thread's apartment; from any other
    // thread they are left alone (the process is ending then).
    if (GetCurrentThreadId() != ownerThread) return;
    if (eventPoint) {
        // No event reaches the host once it starts to go.
        eventPoint->Unadvise(eventCookie);
        eventPoint.Reset();
        eventCookie = static_cast<DWORD>(-1);
    }
    if (browser) {
        ComPtr<IOleObject> object;
        if (SUCCEEDED(browser.As(&object)) && object) {
            // Out of place and without its site, the control calls nothing of ours again.
            object->Close(OLECLOSE_NOSAVE);
            object->SetClientSite(nullptr);
        }
        browser.Reset();
    }
    if (browserWindow && IsWindow(browserWindow) && GetWindowThreadProcessId(browserWindow, nullptr) == ownerThread) {
        DestroyWindow(browserWindow);
    }
    browserWindow = nullptr;
    site.reset();
    eventIid = IID{};
}

void WebBrowserHost::ShowControl(int visible) {
    ShowOleControl(browser.Get(), site ? static_cast<IOleClientSite*>(site.get()) : nullptr, visible);
}

void WebBrowserHost::EnableControl(int enabled) {
    if (browserWindow) EnableWindow(browserWindow, enabled);
}

void WebBrowserHost::PlaceControl(const RECT& placed) {
    area = placed;
    PlaceHostedWindow(browserWindow, site ? &site->position : nullptr, placed);
}

HRESULT WebBrowserHost::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_FAIL;
    if (iid == IID_IUnknown || iid == IID_IDispatch || (eventIid != GUID_NULL && iid == eventIid)) {
        *out = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT WebBrowserHost::GetExternal(IDispatch** out) {
    if (out) *out = static_cast<IDispatch*>(this);
    return S_OK;
}

HRESULT WebBrowserHost::GetContainer(IOleContainer** out) {
    if (!site || !out) return E_NOTIMPL;
    *out = static_cast<IOleContainer*>(site.get());
    return S_OK;
}

HRESULT WebBrowserHost::GetWindow(HWND* out) {
    if (!site || !out) return E_FAIL;
    *out = site->parentWindow;
    return S_OK;
}

HRESULT WebBrowserHost::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                         LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) {
    if (!site || !frame) return E_FAIL;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceFrame, reinterpret_cast<void**>(frame)))) return E_FAIL;
    if (document) *document = nullptr;
    if (position) *position = site->position;
    if (clip) GetClientRect(site->parentWindow, clip);
    if (frameInfo) {
        // The size field stays as the control set it.
        frameInfo->fMDIApp = FALSE;
        frameInfo->hwndFrame = site->parentWindow;
        frameInfo->haccel = nullptr;
        frameInfo->cAccelEntries = 0;
    }
    return S_OK;
}
