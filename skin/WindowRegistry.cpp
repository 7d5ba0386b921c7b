#include "skin/WindowRegistry.h"

#include "skin/SkinWindow.h"

WindowRegistry& WindowRegistry::Instance() {
    static WindowRegistry registry;
    return registry;
}

void WindowRegistry::Register(SkinWindow* window) {
    if (!window || !window->Handle()) return;
    SlimLock::Guard guard(lock_);
    threads_[GetCurrentThreadId()][window->Handle()] = window;
}

SkinWindow* WindowRegistry::Lookup(HWND handle) {
    if (!handle || IsWindow(handle) != TRUE) return nullptr;
    SlimLock::Guard guard(lock_);
    const auto thread = threads_.find(GetCurrentThreadId());
    if (thread == threads_.end()) return nullptr;
    const auto entry = thread->second.find(handle);
    return entry == thread->second.end() ? nullptr : entry->second;
}

void WindowRegistry::Unregister(HWND handle) {
    SlimLock::Guard guard(lock_);
    for (auto thread = threads_.begin(); thread != threads_.end();) {
        thread->second.erase(handle);
        thread = thread->second.empty() ? threads_.erase(thread) : std::next(thread);
    }
}
