#pragma once
// What the banner's element and its owner (both on the window's thread) share with the
// banner thread. The window's thread never calls into the browser: it notes the state it
// wants for the control here and nudges the banner thread with a posted message, which
// never waits. The banner thread applies the state in its own apartment.

#include <windows.h>

#include <atomic>

#include "app/UniqueHandle.h"
#include "skin/SlimLock.h"

class SkinElement;

// Posted to the banner thread's command window: the wanted state changed.
inline constexpr UINT WM_BANNER_SYNC = WM_APP + 0x250;

struct ControlState {
    int visible = 1;
    int enabled = 1;
    RECT area{};  // in the parent window's client coordinates
};

class BannerLink {
public:
    explicit BannerLink(const RECT& area);
    BannerLink(const BannerLink&) = delete;
    BannerLink& operator=(const BannerLink&) = delete;

    // Window's thread: what the element wants for the control.
    void WantVisible(int visible);
    void WantEnabled(int enabled);
    void WantArea(const RECT& area);

    // Banner thread: the window that receives the nudges, published once it exists and
    // withdrawn before it goes. Nudges sent before it existed are covered by the first Take.
    void Publish(HWND commandWindow);
    void Withdraw();
    HWND CommandWindow();
    // Banner thread: the state wanted now.
    ControlState Take();

    // Owner: asks the banner thread to tear down and end. The event is signalled for good.
    void RequestStop();
    bool StopRequested() const;
    HANDLE StopEvent() const { return stop_.Get(); }

    // Window's thread only: the banner's element while it lives.
    SkinElement* element = nullptr;

    // Set by the banner thread, read by anyone.
    std::atomic<bool> loopRunning{false};
    std::atomic<bool> browserEmbedded{false};
    std::atomic<long> navigation{E_PENDING};  // what the browser's Navigate answered
    std::atomic<HWND> browserWindow{nullptr};

private:
    template <typename Change>
    void Want(Change change);

    SlimLock lock_;
    ControlState wanted_;
    HWND commandWindow_ = nullptr;
    bool nudged_ = false;
    UniqueKernelHandle stop_;
};
