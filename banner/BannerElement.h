#pragma once
// The banner's element in the main window's tree: the hosted-control element of a browser
// that lives in the banner thread's apartment. It changes itself on the window's thread as
// any element does and hands the control's side of each change to the banner thread,
// which shows, enables and moves the browser there.

#include <memory>

#include "banner/BannerLink.h"
#include "skin/HostedControlElement.h"

class BannerElement final : public HostedControlElement {
public:
    // `rect` is relative to the parent. Built on the window's thread.
    BannerElement(const RECT& rect, SkinElement* parent, std::shared_ptr<BannerLink> link, int id = 0);
    ~BannerElement() override;

protected:
    void ShowControl(int visible) override;
    void EnableControl(int enabled) override;
    void PlaceControl(const RECT& placed) override;

private:
    std::shared_ptr<BannerLink> link_;
};
