#pragma once
// The install's phase, shared by the window (1 and 2) and the worker (4 and 3).

#include <atomic>
#include <cstdint>

enum : int32_t {
    PhaseIdle = 0,
    PhaseDownloading = 1,
    PhasePaused = 2,
    PhaseInstalled = 3,
    PhaseInstalling = 4,
};

extern std::atomic<int32_t> InstallPhase;
