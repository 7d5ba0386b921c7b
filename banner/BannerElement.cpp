#include "banner/BannerElement.h"

#include <utility>

BannerElement::BannerElement(const RECT& rect, SkinElement* parent, std::shared_ptr<BannerLink> link, int id)
    : HostedControlElement(rect, parent, id), link_(std::move(link)) {
    link_->element = this;
}

BannerElement::~BannerElement() {
    if (link_->element == this) link_->element = nullptr;
}

void BannerElement::ShowControl(int visible) { link_->WantVisible(visible); }

void BannerElement::EnableControl(int enabled) { link_->WantEnabled(enabled); }

void BannerElement::PlaceControl(const RECT& placed) { link_->WantArea(placed); }
