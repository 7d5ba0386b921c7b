#pragma once
// What the progress line shows for the download's counters: the sizes, the speed, the
// bar's fill and the runner's place, the percentage. No windows.h: also built natively.

#include <cstdint>
#include <string>

#include "app/SizeText.h"

// The bar in window coordinates: the fill starts at x = 31 and is at most 536 pixels wide;
// the runner's 25-pixel frame stands 20 pixels behind the fill's front edge.
inline constexpr int kBarLeft = 31;
inline constexpr int kBarWidth = 536;
inline constexpr int kBarTop = 252;
inline constexpr int kBarBottom = 266;
inline constexpr int kRunnerTop = 237;
inline constexpr int kRunnerBottom = 278;
inline constexpr int kRunnerBehindFill = 20;
inline constexpr int kRunnerWidth = 25;

inline constexpr wchar_t kZeroSpeedText[] = L"当前下载速度：0K/S";

struct ProgressView {
    std::wstring sizeText;
    std::wstring speedText;
    std::wstring percentText;
    int fillWidth = 0;  // 0 to kBarWidth
};

// "当前下载速度：%dK/S" below 1024 KiB/s, else "当前下载速度：%dM/S". The rate moves in steps
// of 1000 bytes a second.
std::wstring SpeedText(uint64_t receivedBytes, uint32_t transferMs);
// The counters may be read between two notifications (a new size with an old total): the
// fill stays inside the bar and the percentage at or below 100 whatever they say.
ProgressView ComputeProgressView(uint64_t downloadedBytes, uint64_t totalBytes, uint32_t transferMs,
                                 uint64_t receivedBytes);
