#pragma once
// BannerBrowser: the host of the banner page. It differs from the general host in one hook
// only: the page gets no scroll bars. Every other hook keeps its default, so nothing the
// page does (navigations, new windows, script) is cancelled, redirected or reported, and
// the control's own context menu stays.

#include "banner/WebBrowserHost.h"

class BannerBrowser final : public WebBrowserHost {
public:
    using WebBrowserHost::WebBrowserHost;

    // Adds DOCHOSTUIFLAG_SCROLL_NO to what the control filled in.
    HRESULT GetHostInfo(DOCHOSTUIINFO* info) override;
};
