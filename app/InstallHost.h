#pragma once
// What the install worker needs of the window it works for. The worker calls these on its
// own thread; an implementation hands everything that touches a window to its
// user-interface thread (posted, never sent, so a busy or paused UI cannot stall the
// worker and the worker never blocks the UI).

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

class PauseGate;

// Timers of the main window.
inline constexpr UINT TIMER_PROGRESS = 99;
inline constexpr UINT TIMER_RUNNER = 112;
inline constexpr UINT TIMER_TIPS = 113;
inline constexpr UINT TIMER_LOCATE_ICON = 114;
inline constexpr UINT TIMER_HIDE_BALLOON = 115;

// Written by the worker's download, read by the UI's progress timer at any moment. All
// 64-bit where they count bytes, so packages of 4 GiB and more show right.
struct ProgressCounters {
    std::atomic<uint64_t> downloadedBytes{0};
    std::atomic<uint64_t> totalBytes{1};
    std::atomic<uint32_t> transferMs{1};
    std::atomic<uint64_t> receivedBytes{0};
};

enum class WorkerLabel { Size, Percent, MainButtonCaption };

enum FailureKind : int { FailureDownload = 0, FailureInstall = 1 };

class InstallHost {
public:
    virtual ProgressCounters& Progress() = 0;
    virtual PauseGate& Gate() = 0;
    virtual void StartTimer(UINT id, UINT milliseconds) = 0;
    virtual void StopTimer(UINT id) = 0;
    virtual void SetLabel(WorkerLabel label, const std::wstring& text) = 0;
    virtual void HideRunner() = 0;
    // Posts WakeMessage to the window: the install is complete.
    virtual void PostWake() = 0;
    virtual void ShowFailure(int kind) = 0;
    // The package could not be unpacked over a lobby that is in use: start that lobby and
    // end the installer at once.
    [[noreturn]] virtual void StartExistingLobbyAndEnd(const std::string& lobbyPathAnsi) = 0;

protected:
    ~InstallHost() = default;
};
