#pragma once
// Pause and continue for the install worker. The worker waits at safe points (between
// download blocks, between attempts, between extracted entries), never inside WinInet,
// the heap or GDI+, so a paused worker holds nothing that the user-interface thread needs.

#include <windows.h>

#include <atomic>

#include "app/UniqueHandle.h"

class PauseGate {
public:
    explicit PauseGate(bool paused = false);
    void Pause();
    void Resume();
    bool IsPaused() const;
    // Returns at once when open; otherwise when Resume is called.
    void WaitWhilePaused() const;

private:
    UniqueKernelHandle open_;  // manual-reset event, signalled while not paused
    std::atomic<bool> paused_;  // set before the event is reset, cleared before it is set
};
