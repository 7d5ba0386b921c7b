#include "BannerTestSupport.h"

#include <cstdlib>

#include "FaultServer.h"

StandInWindow::StandInWindow()
    : SkinWindow(RECT{40, 40, 640, 390}, kNoImage, L"BannerStandIn", nullptr, 0, WS_POPUP, 0) {}

LRESULT StandInWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbeMessage) {
        // 32-bit ticks: the difference is right across a wrap.
        const DWORD waited = GetTickCount() - static_cast<DWORD>(lParam);
        if (waited > longestWaitMs) longestWaitMs = waited;
        ++answered;
        return 0;
    }
    return SkinWindow::WindowProc(message, wParam, lParam);
}

LatencyProber::LatencyProber(HWND window, DWORD periodMs)
    : thread_([this, window, periodMs] {
          while (!stop_) {
              if (PostMessageW(window, StandInWindow::kProbeMessage, 0, static_cast<LPARAM>(GetTickCount()))) ++posted_;
              Sleep(periodMs);
          }
      }) {}

LatencyProber::~LatencyProber() {
    stop_ = true;
    thread_.join();
}

int SilentHostPort() {
    const char* text = std::getenv("SILENT_HOST_PORT");
    return text ? std::atoi(text) : 0;
}

std::wstring SilentBannerUrl() { return L"http://127.0.0.1:" + std::to_wstring(SilentHostPort()) + L"/banner.html"; }

std::optional<int> SilentConnections() {
    const std::optional<std::string> body = LocalGet(SilentHostPort(), "/__connections");
    if (!body || body->rfind("connections ", 0) != 0) return std::nullopt;
    return std::atoi(body->c_str() + 12);
}

bool ThreadAnswers(HWND windowOfThread, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    return windowOfThread &&
           SendMessageTimeoutW(windowOfThread, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}

namespace {

// One stall at a time; the hook procedure has no other way to find its events, which live
// as long as the program, so that a hook call still under way never meets a closed handle.
HANDLE StallHeld() {
    static const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event;
}

HANDLE StallRelease() {
    static const HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    return event;
}

LRESULT CALLBACK HoldingHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && WaitForSingleObject(StallRelease(), 0) == WAIT_TIMEOUT) {
        SetEvent(StallHeld());
        WaitForSingleObject(StallRelease(), 30000);  // bounded: a broken test still ends
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

ThreadStall::ThreadStall(DWORD threadId, HWND windowOfThread) {
    ResetEvent(StallHeld());
    ResetEvent(StallRelease());
    hook_ = SetWindowsHookExW(WH_GETMESSAGE, HoldingHook, nullptr, threadId);
    PostMessageW(windowOfThread, WM_NULL, 0, 0);
}

ThreadStall::~ThreadStall() {
    Release();
    if (hook_) UnhookWindowsHookEx(hook_);
}

bool ThreadStall::WaitHeld(DWORD timeoutMs) const {
    return hook_ && WaitForSingleObject(StallHeld(), timeoutMs) == WAIT_OBJECT_0;
}

void ThreadStall::Release() { SetEvent(StallRelease()); }
