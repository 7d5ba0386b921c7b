#include "app/InstallPhase.h"

std::atomic<int32_t> InstallPhase{PhaseIdle};
