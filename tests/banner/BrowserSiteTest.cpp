// The site's and the host's answers, asked directly, as the browser control asks them.

#include <exdispid.h>
#include <gtest/gtest.h>
#include <olectl.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "BannerTestSupport.h"
#include "banner/BannerBrowser.h"
#include "banner/BrowserSite.h"

namespace {


// The site of a banner host that has embedded Wine's browser control.
struct SiteFixture : ::testing::Test {
    StandInWindow window;
    BannerBrowser host{window.Handle(), kBannerArea, WS_CHILD | WS_VISIBLE};
    BrowserSite& site = EmbeddedSite();

    BrowserSite& EmbeddedSite() {
        if (!host.Embed() || !host.Site()) {
            ADD_FAILURE() << "Wine's browser control is missing";
            std::abort();
        }
        return *host.Site();
    }

    IOleInPlaceFrame* Frame() { return static_cast<IOleInPlaceFrame*>(&site); }
    IOleInPlaceSite* InPlace() { return static_cast<IOleInPlaceSite*>(&site); }
    IDocHostUIHandler* DocHost() { return static_cast<IDocHostUIHandler*>(&site); }
    IOleControlSite* Control() { return static_cast<IOleControlSite*>(&site); }
    IOleClientSite* Client() { return static_cast<IOleClientSite*>(&site); }
};

}  // namespace

TEST_F(SiteFixture, EveryFaceAnswersWithTheFaceForTheInterface) {
    IUnknown* frame = Frame();
    IUnknown* container = static_cast<IOleContainer*>(&site);
    const struct {
        const IID& iid;
        IUnknown* face;
    } cases[] = {
        {IID_IUnknown, frame},
        {IID_IOleWindow, frame},
        {IID_IOleInPlaceUIWindow, frame},
        {IID_IOleInPlaceFrame, frame},
        {IID_IOleContainer, container},
        {IID_IParseDisplayName, container},
        {IID_IOleClientSite, Client()},
        {IID_IOleInPlaceSite, InPlace()},
        {IID_IOleControlSite, Control()},
        {IID_IDispatch, static_cast<IDispatch*>(&site)},
        {IID_IDocHostUIHandler, DocHost()},
        {IID_IWebBrowser2, nullptr},
        {IID_IOleObject, nullptr},
    };
    // Asked through any face, the answer is the same.
    const std::vector<IUnknown*> askedThrough = {
        frame, container, Client(), InPlace(), Control(), static_cast<IDispatch*>(&site), DocHost()};
    for (IUnknown* face : askedThrough) {
        for (const auto& c : cases) {
            void* out = reinterpret_cast<void*>(1);
            const HRESULT result = face->QueryInterface(c.iid, &out);
            EXPECT_EQ(result, c.face ? S_OK : E_NOINTERFACE);
            EXPECT_EQ(out, static_cast<void*>(c.face));
        }
        EXPECT_EQ(face->QueryInterface(IID_IUnknown, nullptr), E_FAIL);
        EXPECT_EQ(face->AddRef(), 1u);
        EXPECT_EQ(face->Release(), 1u) << "the site is not reference-counted";
    }
}

TEST_F(SiteFixture, WindowAndWindowContextComeFromTheSite) {
    HWND answer = nullptr;
    EXPECT_EQ(Frame()->GetWindow(&answer), S_OK);
    EXPECT_EQ(answer, window.Handle());
    answer = nullptr;
    EXPECT_EQ(InPlace()->GetWindow(&answer), S_OK);
    EXPECT_EQ(answer, window.Handle());
    EXPECT_EQ(InPlace()->GetWindow(nullptr), E_FAIL);
    BannerBrowser bare(window.Handle(), kBannerArea, WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(bare.GetWindow(&answer), E_FAIL) << "a host that has embedded nothing has no site";

    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = 1234;
    info.haccel = reinterpret_cast<HACCEL>(1);
    info.cAccelEntries = 7;
    ASSERT_EQ(InPlace()->GetWindowContext(&frame, &document, &position, &clip, &info), S_OK);
    EXPECT_EQ(frame, Frame());
    EXPECT_EQ(document, nullptr);
    EXPECT_TRUE(EqualRect(&position, &kBannerArea));
    EXPECT_EQ(clip.right, 600);
    EXPECT_EQ(clip.bottom, 350);
    EXPECT_EQ(info.cb, 1234u) << "the size stays as the control set it";
    EXPECT_FALSE(info.fMDIApp);
    EXPECT_EQ(info.hwndFrame, window.Handle());
    EXPECT_EQ(info.haccel, nullptr);
    EXPECT_EQ(info.cAccelEntries, 0u);

    IOleContainer* container = nullptr;
    EXPECT_EQ(Client()->GetContainer(&container), S_OK);
    EXPECT_EQ(container, static_cast<IOleContainer*>(&site));
}

TEST_F(SiteFixture, DocumentHostAnswers) {
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    info.dwFlags = DOCHOSTUIFLAG_NO3DBORDER;
    EXPECT_EQ(DocHost()->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, static_cast<DWORD>(DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO))
        << "no scroll bars, and the control's own flags kept";
    EXPECT_EQ(DocHost()->GetHostInfo(nullptr), E_POINTER);

    POINT point{10, 10};
    EXPECT_EQ(DocHost()->ShowContextMenu(CONTEXT_MENU_DEFAULT, &point, nullptr, nullptr), S_FALSE)
        << "the control shows its own menu";
    MSG key{window.Handle(), WM_KEYDOWN, VK_F5, 0, 0, {}};
    EXPECT_EQ(DocHost()->TranslateAccelerator(&key, nullptr, 0), S_OK) << "the host takes every key";
    EXPECT_EQ(Frame()->TranslateAccelerator(&key, WORD{0}), E_NOTIMPL);
    EXPECT_EQ(Control()->TranslateAccelerator(&key, DWORD{0}), E_NOTIMPL);
    EXPECT_EQ(DocHost()->ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(DocHost()->EnableModeless(TRUE), E_NOTIMPL);
    EXPECT_EQ(Frame()->EnableModeless(TRUE), E_NOTIMPL);

    // The page's external object is the host's dispatch interface, which knows no names.
    IDispatch* external = nullptr;
    EXPECT_EQ(DocHost()->GetExternal(&external), S_OK);
    ASSERT_EQ(external, static_cast<IDispatch*>(&host));
    LPOLESTR name = const_cast<LPOLESTR>(L"launch");
    DISPID id = 0;
    EXPECT_EQ(external->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), E_NOTIMPL);
    UINT count = 0;
    EXPECT_EQ(external->GetTypeInfoCount(&count), E_NOTIMPL);
}

TEST_F(SiteFixture, HostDispatchAndTheRemainingHooks) {
    void* out = nullptr;
    EXPECT_EQ(host.QueryInterface(IID_IDispatch, &out), S_OK);
    EXPECT_EQ(out, static_cast<IDispatch*>(&host));
    EXPECT_EQ(host.QueryInterface(IID_IDispatch, nullptr), E_FAIL);
    // The event interface is answered once the control has named it.
    EXPECT_EQ(host.EventIid(), DIID_DWebBrowserEvents2);
    EXPECT_TRUE(host.EventsConnected());
    EXPECT_EQ(host.QueryInterface(DIID_DWebBrowserEvents2, &out), S_OK);
    BannerBrowser bare(window.Handle(), kBannerArea, WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(bare.QueryInterface(DIID_DWebBrowserEvents2, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(bare.QueryInterface(IID_IOleClientSite, &out), E_NOINTERFACE);

    // The in-place site lets the control in; the rest is declined.
    EXPECT_EQ(InPlace()->CanInPlaceActivate(), S_OK);
    EXPECT_EQ(InPlace()->OnInPlaceActivate(), S_OK);
    EXPECT_EQ(InPlace()->OnUIActivate(), S_OK);
    EXPECT_EQ(Client()->ShowObject(), S_OK);
    EXPECT_EQ(Client()->SaveObject(), E_NOTIMPL);
    EXPECT_EQ(Control()->OnFocus(TRUE), E_NOTIMPL);
    EXPECT_EQ(Frame()->SetStatusText(L"x"), E_NOTIMPL);
    EXPECT_EQ(static_cast<IOleContainer*>(&site)->LockContainer(TRUE), E_NOTIMPL);
}

namespace {

// Notes the events that reach their hooks.
class EventRecorder : public WebBrowserHost {
public:
    using WebBrowserHost::WebBrowserHost;
    std::vector<DISPID> seen;
    std::wstring url;
    VARIANT_BOOL* cancel = nullptr;

    void BeforeNavigate2(IDispatch*, VARIANT* address, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                         VARIANT_BOOL* cancelFlag) override {
        seen.push_back(DISPID_BEFORENAVIGATE2);
        if (address && V_VT(address) == VT_BSTR) url = V_BSTR(address);
        cancel = cancelFlag;
    }
    void SetSecureLockIcon(long) override { seen.push_back(DISPID_SETSECURELOCKICON); }
    void ProgressChange(long progress, long maximum) override {
        seen.push_back(DISPID_PROGRESSCHANGE);
        EXPECT_EQ(progress, 5);
        EXPECT_EQ(maximum, 10);
    }
};

// A DISPPARAMS with the arguments in the event's order (stored last first, as COM does).
struct Arguments {
    std::vector<VARIANT> stored;
    DISPPARAMS params{};
    explicit Arguments(std::vector<VARIANT> inOrder) : stored(inOrder.rbegin(), inOrder.rend()) {
        params.rgvarg = stored.empty() ? nullptr : stored.data();
        params.cArgs = static_cast<UINT>(stored.size());
    }
};

VARIANT Make(VARTYPE type) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = type;
    return v;
}

}  // namespace

TEST(BrowserEvents, EachEventReachesItsHookWithTheArgumentsItDefines) {
    StandInWindow window;
    EventRecorder host(window.Handle(), kBannerArea, WS_CHILD | WS_VISIBLE);
    auto invoke = [&host](DISPID id, Arguments& a, VARIANT* result = nullptr) {
        return host.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &a.params, result, nullptr, nullptr);
    };

    BSTR address = SysAllocString(L"http://127.0.0.1/banner.html");
    VARIANT url = Make(VT_BSTR);
    V_BSTR(&url) = address;
    VARIANT empty = Make(VT_EMPTY);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    std::vector<VARIANT> before(7, Make(VT_VARIANT | VT_BYREF));
    before[0] = Make(VT_DISPATCH);
    V_DISPATCH(&before[0]) = nullptr;
    V_VARIANTREF(&before[1]) = &url;
    for (int i = 2; i < 6; ++i) V_VARIANTREF(&before[i]) = &empty;
    before[6] = Make(VT_BOOL | VT_BYREF);
    V_BOOLREF(&before[6]) = &cancel;
    Arguments full(before);
    EXPECT_EQ(invoke(DISPID_BEFORENAVIGATE2, full), S_OK);
    EXPECT_EQ(host.url, L"http://127.0.0.1/banner.html");
    EXPECT_EQ(host.cancel, &cancel);

    // Too few arguments, or none: the hook is not called, and the answer is still S_OK.
    Arguments shortList({before[0], before[1]});
    EXPECT_EQ(invoke(DISPID_BEFORENAVIGATE2, shortList), S_OK);
    EXPECT_EQ(host.Invoke(DISPID_PROGRESSCHANGE, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
              S_OK);

    VARIANT five = Make(VT_I4), ten = Make(VT_I4);
    V_I4(&five) = 5;
    V_I4(&ten) = 10;
    Arguments progress({five, ten});
    EXPECT_EQ(invoke(DISPID_PROGRESSCHANGE, progress), S_OK);

    // 269 is the lock icon; 270 is the file-download event, which has no hook.
    Arguments one({five});
    EXPECT_EQ(invoke(DISPID_SETSECURELOCKICON, one), S_OK);
    VARIANT_BOOL downloadCancel = VARIANT_FALSE;
    VARIANT active = Make(VT_BOOL), cancelRef = Make(VT_BOOL | VT_BYREF);
    V_BOOL(&active) = VARIANT_TRUE;
    V_BOOLREF(&cancelRef) = &downloadCancel;
    Arguments download({active, cancelRef});
    EXPECT_EQ(invoke(DISPID_FILEDOWNLOAD, download), S_OK);

    // An ambient property: answered, the result left as it was.
    VARIANT result = Make(VT_EMPTY);
    Arguments none({});
    EXPECT_EQ(invoke(DISPID_AMBIENT_USERMODE, none, &result), S_OK);
    EXPECT_EQ(V_VT(&result), VT_EMPTY);

    EXPECT_EQ(host.seen,
              (std::vector<DISPID>{DISPID_BEFORENAVIGATE2, DISPID_PROGRESSCHANGE, DISPID_SETSECURELOCKICON}));
    EXPECT_EQ(cancel, VARIANT_FALSE);
    EXPECT_EQ(downloadCancel, VARIANT_FALSE);
    SysFreeString(address);
}
