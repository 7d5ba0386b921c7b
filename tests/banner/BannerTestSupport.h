#pragma once
// Shared by the banner tests: a stand-in for the main window that notes how long posted
// messages wait before its thread handles them, a thread that keeps posting them, and the
// dead banner host (tests/servers/silent_host.py) that the launcher started.

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "skin/SkinWindow.h"

// The main window's banner area, in its client coordinates.
inline constexpr RECT kBannerArea{2, 37, 597, 211};

// A 600 x 350 popup like the main window.
class StandInWindow : public SkinWindow {
public:
    StandInWindow();

    // Posted by LatencyProber with the tick it was posted at.
    static constexpr UINT kProbeMessage = WM_APP + 0x300;
    std::atomic<DWORD> longestWaitMs{0};
    std::atomic<int> answered{0};

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Posts a probe message to the window every `periodMs` until destroyed.
class LatencyProber {
public:
    LatencyProber(HWND window, DWORD periodMs = 40);
    ~LatencyProber();
    LatencyProber(const LatencyProber&) = delete;
    LatencyProber& operator=(const LatencyProber&) = delete;
    int Posted() const { return posted_; }

private:
    std::atomic<bool> stop_{false};
    std::atomic<int> posted_{0};
    std::thread thread_;
};

// Handles the calling thread's messages until `done` holds or `limitMs` passes.
template <typename Done>
bool PumpUntilDone(Done done, DWORD limitMs) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    for (;;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
    }
}

// The dead banner host: its port (SILENT_HOST_PORT), the banner address on it, and how many
// connections it has accepted and left unanswered.
int SilentHostPort();
std::wstring SilentBannerUrl();
std::optional<int> SilentConnections();

// The banner thread answers a message sent to one of its windows within `timeoutMs`.
bool ThreadAnswers(HWND windowOfThread, DWORD timeoutMs = 1000);

// Holds the banner thread inside its message loop, where it holds no lock of its own: a
// message hook on that thread waits until Release (or the destructor). The thread stops at
// the next message it takes, which Stall posts.
class ThreadStall {
public:
    ThreadStall(DWORD threadId, HWND windowOfThread);
    ~ThreadStall();
    ThreadStall(const ThreadStall&) = delete;
    ThreadStall& operator=(const ThreadStall&) = delete;
    // True once the thread is held.
    bool WaitHeld(DWORD timeoutMs) const;
    void Release();

private:
    HHOOK hook_ = nullptr;
};
