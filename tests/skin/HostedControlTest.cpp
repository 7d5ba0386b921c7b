// The hosted-control element keeps a real child window (and the site's position) in step
// with itself, and shows and hides the control through its IOleObject when it has one.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "SkinTestSupport.h"
#include "skin/HostedControlElement.h"

namespace {

// An embedded object that notes the verbs it is asked for; the rest of IOleObject is not
// needed by the element.
class VerbRecorder : public IOleObject {
public:
    std::vector<LONG> verbs;
    IOleClientSite* lastSite = nullptr;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IOleObject) {
            *out = static_cast<IOleObject*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) override {
        verbs.push_back(verb);
        lastSite = site;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }
};

// What the embedding code does once its control is in place.
class Hosted : public HostedControlElement {
public:
    Hosted(const RECT& rect, SkinElement* parent, IUnknown* control, HWND child, RECT* position)
        : HostedControlElement(rect, parent) {
        hostedControl = control;
        hostedWindow = child;
        sitePosition = position;
    }
};

RECT ChildRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

TEST(HostedControl, KeepsTheChildWindowAndTheControlInStep) {
    RecordingWindow window(RECT{50, 50, 650, 400}, kNoImage, UniqueClassName(L"Host").c_str(), nullptr, 0, WS_POPUP, 0);
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 2, 37, 595, 174, window.Handle(), nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(child);
    VerbRecorder control;
    RECT position{};
    auto* banner = new Hosted(RECT{2, 37, 597, 211}, &window, &control, child, &position);

    const RECT smaller{10, 40, 310, 140};
    banner->SetRect(&smaller, 1);
    EXPECT_EQ(ChildRect(child).left, 10);
    EXPECT_EQ(ChildRect(child).bottom, 140);
    EXPECT_EQ(position.right, 310) << "the site's position follows, in window coordinates";

    banner->SetEnabled(0);
    EXPECT_FALSE(IsWindowEnabled(child));
    banner->SetEnabled(1);
    EXPECT_TRUE(IsWindowEnabled(child));

    banner->SetVisible(0);
    banner->SetVisible(1);
    EXPECT_EQ(control.verbs, (std::vector<LONG>{OLEIVERB_HIDE, OLEIVERB_SHOW}));
    EXPECT_EQ(control.lastSite, nullptr) << "no site was given";
    EXPECT_EQ(banner->IsVisible(), 1);
    DestroyWindow(child);
}

TEST(HostedControl, WithoutIOleObjectOnlyTheElementChanges) {
    RecordingWindow window(RECT{50, 50, 650, 400}, kNoImage, UniqueClassName(L"Host").c_str(), nullptr, 0, WS_POPUP, 0);
    IStream* stream = nullptr;  // a real COM object that is no OLE object
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    auto* banner = new Hosted(RECT{2, 37, 597, 211}, &window, stream, nullptr, nullptr);
    stream->Release();  // the element holds its own reference
    banner->SetVisible(0);
    EXPECT_EQ(banner->IsVisible(), 0);
    const RECT moved{0, 0, 10, 10};
    banner->SetRect(&moved, 1);
    EXPECT_EQ(banner->GetRect().right, 10);
}
