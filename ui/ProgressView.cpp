#include "ui/ProgressView.h"

std::wstring SpeedText(uint64_t receivedBytes, uint32_t transferMs) {
    // The engine starts its clock at 1 ms; a 0 from anywhere must not divide.
    const uint64_t bytesPerSecond = receivedBytes / (transferMs ? transferMs : 1) * 1000;
    const uint64_t kib = bytesPerSecond >> 10;
    if (kib >= 1024) return L"当前下载速度：" + std::to_wstring(kib / 1024) + L"M/S";
    return L"当前下载速度：" + std::to_wstring(kib) + L"K/S";
}

ProgressView ComputeProgressView(uint64_t downloadedBytes, uint64_t totalBytes, uint32_t transferMs,
                                 uint64_t receivedBytes) {
    ProgressView view;
    view.sizeText = SizeText(downloadedBytes, totalBytes);
    view.speedText = SpeedText(receivedBytes, transferMs);

    // Held in single precision as KiB, as the bar has always been drawn: a finished
    // download may show 535 pixels and 99 until the final "100%" replaces it.
    const float done = static_cast<float>(static_cast<double>(downloadedBytes) / 1024.0);
    const float total = static_cast<float>(static_cast<double>(totalBytes ? totalBytes : 1) / 1024.0);
    const float reciprocal = 1.0f / total;
    const float width = static_cast<float>(static_cast<double>(reciprocal) * done * kBarWidth);
    double percent = static_cast<double>(reciprocal) * done * 100.0;

    view.fillWidth = width <= 0.0f ? 0 : width >= static_cast<float>(kBarWidth) ? kBarWidth : static_cast<int>(width);
    if (!(percent >= 0.0)) percent = 0.0;
    if (percent > 100.0) percent = 100.0;
    view.percentText = std::to_wstring(static_cast<int>(percent)) + L"%";
    return view;
}
