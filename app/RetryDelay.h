#pragma once
// The pause before the next download attempt after attempts that brought no byte: it
// grows from about 0.2 s to 5 s, so a short outage does not burn the attempts and a dead
// host is not hammered. Platform-free.

#include <algorithm>
#include <cstdint>

inline constexpr uint32_t kRetryFirstDelayMs = 200;
inline constexpr uint32_t kRetryMaxDelayMs = 5000;

// `emptyInRow` failed attempts in a row without a byte (1 for the first); `random` any
// value, spreading the delay by up to a fifth either way. Never more than kRetryMaxDelayMs.
inline uint32_t RetryDelayMs(uint32_t emptyInRow, uint32_t random) {
    if (emptyInRow == 0) return 0;
    const uint32_t doublings = std::min<uint32_t>(emptyInRow - 1, 5);
    const uint32_t base = std::min<uint32_t>(kRetryFirstDelayMs << doublings, kRetryMaxDelayMs);
    const uint32_t spread = base / 5;
    const uint32_t jittered = base - spread + random % (2 * spread + 1);
    return std::min(jittered, kRetryMaxDelayMs);
}
