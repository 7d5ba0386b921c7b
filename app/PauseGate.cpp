#include "app/PauseGate.h"

PauseGate::PauseGate(bool paused) : open_(CreateEventW(nullptr, TRUE, paused ? FALSE : TRUE, nullptr)) {}

void PauseGate::Pause() { ResetEvent(open_.Get()); }
void PauseGate::Resume() { SetEvent(open_.Get()); }
bool PauseGate::IsPaused() const { return WaitForSingleObject(open_.Get(), 0) == WAIT_TIMEOUT; }
void PauseGate::WaitWhilePaused() const { WaitForSingleObject(open_.Get(), INFINITE); }
