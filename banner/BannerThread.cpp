#include "banner/BannerThread.h"

// Placeholder until the browser host lands: no banner is shown.
BannerThread::BannerThread(SkinWindow&, const RECT&, std::wstring) {}
BannerThread::~BannerThread() = default;
