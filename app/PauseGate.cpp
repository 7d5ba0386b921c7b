#include "app/PauseGate.h"

PauseGate::PauseGate(bool paused)
    : open_(CreateEventW(nullptr, TRUE, paused ? FALSE : TRUE, nullptr)), paused_(paused) {}

void PauseGate::Pause() {
    paused_ = true;
    ResetEvent(open_.Get());
}

void PauseGate::Resume() {
    paused_ = false;
    SetEvent(open_.Get());
}

bool PauseGate::IsPaused() const { return paused_; }

void PauseGate::WaitWhilePaused() const {
    // The worker asks after every 4 KiB block; an open gate must not cost a wait on the
    // event, which under Wine is a round trip to the wineserver.
    if (paused_) WaitForSingleObject(open_.Get(), INFINITE);
}
