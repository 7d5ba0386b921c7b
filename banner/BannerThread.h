#pragma once
// The banner page in the main window: a thread of its own creates the web browser control
// in an element of the window's tree, opens the banner address and runs its message loop.
// Nothing the page does can block or delay the window or the install.

#include <windows.h>

#include <string>

class SkinWindow;

class BannerThread {
public:
    // Starts the thread. `area` is in the window's client coordinates.
    BannerThread(SkinWindow& window, const RECT& area, std::wstring url);
    // Tears the browser down on the banner thread and waits for it, bounded.
    ~BannerThread();
    BannerThread(const BannerThread&) = delete;
    BannerThread& operator=(const BannerThread&) = delete;
};
