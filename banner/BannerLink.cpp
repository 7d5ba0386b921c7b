#include "banner/BannerLink.h"

BannerLink::BannerLink(const RECT& area) : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) { wanted_.area = area; }

template <typename Change>
void BannerLink::Want(Change change) {
    SlimLock::Guard guard(lock_);
    change(wanted_);
    if (nudged_ || !commandWindow_) return;
    nudged_ = PostMessageW(commandWindow_, WM_BANNER_SYNC, 0, 0) != FALSE;
}

void BannerLink::WantVisible(int visible) {
    Want([visible](ControlState& state) { state.visible = visible; });
}

void BannerLink::WantEnabled(int enabled) {
    Want([enabled](ControlState& state) { state.enabled = enabled; });
}

void BannerLink::WantArea(const RECT& area) {
    Want([area](ControlState& state) { state.area = area; });
}

void BannerLink::Publish(HWND commandWindow) {
    SlimLock::Guard guard(lock_);
    commandWindow_ = commandWindow;
    nudged_ = false;
}

void BannerLink::Withdraw() {
    SlimLock::Guard guard(lock_);
    commandWindow_ = nullptr;
}

HWND BannerLink::CommandWindow() {
    SlimLock::Guard guard(lock_);
    return commandWindow_;
}

ControlState BannerLink::Take() {
    SlimLock::Guard guard(lock_);
    nudged_ = false;
    return wanted_;
}

void BannerLink::RequestStop() {
    if (stop_) SetEvent(stop_.Get());
}

bool BannerLink::StopRequested() const { return !stop_ || WaitForSingleObject(stop_.Get(), 0) == WAIT_OBJECT_0; }
