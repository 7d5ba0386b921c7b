#pragma once
// The banner page in the main window: a thread of its own creates the web browser control
// over an element of the window's tree, opens the banner address and runs its message loop.
// Nothing the page does can block or delay the window or the install: the window's thread
// only ever posts to the banner thread, and waits for it once, bounded, when the banner
// ends.

#include <windows.h>

#include <memory>
#include <string>

#include "app/UniqueHandle.h"

class BannerLink;
class SkinWindow;

// What the banner thread has done so far.
struct BannerStatus {
    DWORD threadId = 0;
    bool loopRunning = false;        // the thread serves its message loop
    bool browserEmbedded = false;    // the browser control exists and is in place
    HRESULT navigation = E_PENDING;  // what the browser answered to the banner address
    HWND browserWindow = nullptr;    // the control's window, a child of the main window
    HWND commandWindow = nullptr;    // the banner thread's own message-only window
};

class BannerThread {
public:
    // Starts the thread. `area` is in the window's client coordinates. Call on the window's
    // thread: the banner's element joins the tree here, so it never races the window's own
    // building.
    BannerThread(SkinWindow& window, const RECT& area, std::wstring url);
    // Tears the browser down on the banner thread and waits for it, at most
    // kTeardownWaitMs, answering the banner thread's calls to the window meanwhile; then
    // removes the element. True when the banner thread has ended. When it has not (stuck in
    // the page, not even serving messages), destroying the window would wait for it as
    // well, since the browser's window is a child of it: end the process instead. Call on
    // the window's thread, before the window goes. Idempotent.
    bool End();
    // End(), when that was not done.
    ~BannerThread();
    BannerThread(const BannerThread&) = delete;
    BannerThread& operator=(const BannerThread&) = delete;

    BannerStatus Status() const;

    // The longest End waits for the banner thread.
    static constexpr DWORD kTeardownWaitMs = 1000;

private:
    std::shared_ptr<BannerLink> link_;
    HWND window_ = nullptr;
    UniqueKernelHandle thread_;
    DWORD threadId_ = 0;
    bool endAsked_ = false;
    bool ended_ = false;
};
