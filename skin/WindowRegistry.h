#pragma once
// The skinned windows of the process, by thread and window handle, so that the message
// loop can offer each queued message to the windows it concerns. It does not own the
// windows; a window enters at creation and leaves when its handle is destroyed.

#include <windows.h>

#include <map>

#include "skin/SlimLock.h"

class SkinWindow;

class WindowRegistry {
public:
    // The process-wide registry, made before the first window and kept until exit.
    static WindowRegistry& Instance();

    // Files `window` under the calling thread; a later entry for the same handle replaces it.
    void Register(SkinWindow* window);
    // The calling thread's window with this handle, or null: destroyed windows, windows of
    // other threads and handles that are not skinned windows are not found.
    SkinWindow* Lookup(HWND handle);
    // Drops the entry of a handle that is being destroyed, whatever thread asks.
    void Unregister(HWND handle);

private:
    WindowRegistry() = default;

    // Windows may be made on several threads (the banner has its own), so a lock guards
    // the maps; it is never held while a window is called.
    SlimLock lock_;
    std::map<DWORD, std::map<HWND, SkinWindow*>> threads_;
};
