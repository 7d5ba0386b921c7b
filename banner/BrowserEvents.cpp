// The browser's events (DWebBrowserEvents2) arrive through Invoke as DISPIDs with their
// arguments in a parameter array, last argument first. Each is handed to its hook with the
// arguments the event defines. An event that comes with fewer arguments than it defines,
// or with arguments of other types, is not handed on: a hook never reads past the array or
// through a pointer of the wrong kind.

#include <exdispid.h>

#include "banner/WebBrowserHost.h"

namespace {

class EventArguments {
public:
    explicit EventArguments(const DISPPARAMS* params) : params_(params) {}

    bool Has(UINT count) const { return params_ && params_->rgvarg && params_->cArgs >= count; }

    // The argument at `index` in the event's own order (0 = first).
    VARIANT* At(UINT index) const { return &params_->rgvarg[params_->cArgs - 1 - index]; }

    IDispatch* Dispatch(UINT index) const {
        VARIANT* v = At(index);
        if (V_VT(v) == VT_DISPATCH) return V_DISPATCH(v);
        if (V_VT(v) == (VT_DISPATCH | VT_BYREF) && V_DISPATCHREF(v)) return *V_DISPATCHREF(v);
        return nullptr;
    }
    IDispatch** DispatchRef(UINT index) const {
        VARIANT* v = At(index);
        return V_VT(v) == (VT_DISPATCH | VT_BYREF) ? V_DISPATCHREF(v) : nullptr;
    }
    // By-reference VARIANT arguments are handed on as the VARIANT they point to.
    VARIANT* Variant(UINT index) const {
        VARIANT* v = At(index);
        return V_VT(v) == (VT_VARIANT | VT_BYREF) ? V_VARIANTREF(v) : v;
    }
    VARIANT_BOOL Bool(UINT index) const {
        VARIANT* v = At(index);
        if (V_VT(v) == VT_BOOL) return V_BOOL(v);
        if (V_VT(v) == (VT_BOOL | VT_BYREF) && V_BOOLREF(v)) return *V_BOOLREF(v);
        return VARIANT_FALSE;
    }
    VARIANT_BOOL* BoolRef(UINT index) const {
        VARIANT* v = At(index);
        return V_VT(v) == (VT_BOOL | VT_BYREF) ? V_BOOLREF(v) : nullptr;
    }
    long Long(UINT index) const {
        VARIANT* v = At(index);
        if (V_VT(v) == VT_I4) return V_I4(v);
        if (V_VT(v) == (VT_I4 | VT_BYREF) && V_I4REF(v)) return *V_I4REF(v);
        return 0;
    }
    long* LongRef(UINT index) const {
        VARIANT* v = At(index);
        return V_VT(v) == (VT_I4 | VT_BYREF) ? V_I4REF(v) : nullptr;
    }
    BSTR String(UINT index) const {
        VARIANT* v = At(index);
        return V_VT(v) == VT_BSTR ? V_BSTR(v) : nullptr;
    }

private:
    const DISPPARAMS* params_;
};

void DispatchEvent(WebBrowserHost& host, DISPID id, const EventArguments& a) {
    switch (id) {
        case DISPID_STATUSTEXTCHANGE:
            if (a.Has(1)) host.StatusTextChange(a.String(0));
            break;
        case DISPID_DOWNLOADCOMPLETE:
            host.DownloadComplete();
            break;
        case DISPID_COMMANDSTATECHANGE:
            if (a.Has(2)) host.CommandStateChange(a.Long(0), a.Bool(1));
            break;
        case DISPID_DOWNLOADBEGIN:
            host.DownloadBegin();
            break;
        case DISPID_PROGRESSCHANGE:
            if (a.Has(2)) host.ProgressChange(a.Long(0), a.Long(1));
            break;
        case DISPID_PROPERTYCHANGE:
            if (a.Has(1)) host.PropertyChange(a.String(0));
            break;
        case DISPID_TITLECHANGE:
            if (a.Has(1)) host.TitleChange(a.String(0));
            break;
        case DISPID_BEFORENAVIGATE2:
            if (a.Has(7)) {
                host.BeforeNavigate2(a.Dispatch(0), a.Variant(1), a.Variant(2), a.Variant(3), a.Variant(4),
                                     a.Variant(5), a.BoolRef(6));
            }
            break;
        case DISPID_NEWWINDOW2:
            if (a.Has(2)) host.NewWindow2(a.DispatchRef(0), a.BoolRef(1));
            break;
        case DISPID_NAVIGATECOMPLETE2:
            if (a.Has(2)) host.NavigateComplete2(a.Dispatch(0), a.Variant(1));
            break;
        case DISPID_ONQUIT:
            host.OnQuit();
            break;
        case DISPID_ONVISIBLE:
            if (a.Has(1)) host.OnVisible(a.Bool(0));
            break;
        case DISPID_ONTOOLBAR:
            if (a.Has(1)) host.OnToolBar(a.Bool(0));
            break;
        case DISPID_ONMENUBAR:
            if (a.Has(1)) host.OnMenuBar(a.Bool(0));
            break;
        case DISPID_ONSTATUSBAR:
            if (a.Has(1)) host.OnStatusBar(a.Bool(0));
            break;
        case DISPID_ONFULLSCREEN:
            if (a.Has(1)) host.OnFullScreen(a.Bool(0));
            break;
        case DISPID_DOCUMENTCOMPLETE:
            if (a.Has(2)) host.DocumentComplete(a.Dispatch(0), a.Variant(1));
            break;
        case DISPID_ONTHEATERMODE:
            if (a.Has(1)) host.OnTheaterMode(a.Bool(0));
            break;
        case DISPID_WINDOWSETRESIZABLE:
            if (a.Has(1)) host.WindowSetResizable(a.Bool(0));
            break;
        case DISPID_WINDOWCLOSING:
            if (a.Has(2)) host.WindowClosing(a.Bool(0), a.BoolRef(1));
            break;
        case DISPID_WINDOWSETLEFT:
            if (a.Has(1)) host.WindowSetLeft(a.Long(0));
            break;
        case DISPID_WINDOWSETTOP:
            if (a.Has(1)) host.WindowSetTop(a.Long(0));
            break;
        case DISPID_WINDOWSETWIDTH:
            if (a.Has(1)) host.WindowSetWidth(a.Long(0));
            break;
        case DISPID_WINDOWSETHEIGHT:
            if (a.Has(1)) host.WindowSetHeight(a.Long(0));
            break;
        case DISPID_CLIENTTOHOSTWINDOW:
            if (a.Has(2)) host.ClientToHostWindow(a.LongRef(0), a.LongRef(1));
            break;
        case DISPID_SETSECURELOCKICON:
            if (a.Has(1)) host.SetSecureLockIcon(a.Long(0));
            break;
        case DISPID_NAVIGATEERROR:
            if (a.Has(5)) host.NavigateError(a.Dispatch(0), a.Variant(1), a.Variant(2), a.Variant(3), a.BoolRef(4));
            break;
        case DISPID_PRIVACYIMPACTEDSTATECHANGE:
            if (a.Has(1)) host.PrivacyImpactedStateChange(a.Bool(0));
            break;
        default:
            break;  // ambient properties and events without a hook: answered, nothing done
    }
}

}  // namespace

HRESULT WebBrowserHost::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    DispatchEvent(*this, id, EventArguments(params));
    return S_OK;
}
