#include "app/UiTask.h"

#include <memory>
#include <mutex>
#include <unordered_set>

namespace {

// Only tasks posted by this process are run: the message number is visible to any
// program on the desktop, and the installer runs elevated.
std::mutex g_pendingLock;
std::unordered_set<const void*> g_pending;

}  // namespace

bool PostUiTask(HWND window, std::function<void()> task) {
    auto boxed = std::make_unique<std::function<void()>>(std::move(task));
    {
        std::lock_guard<std::mutex> lock(g_pendingLock);
        g_pending.insert(boxed.get());
    }
    if (!PostMessageW(window, WM_UI_TASK, 0, reinterpret_cast<LPARAM>(boxed.get()))) {
        std::lock_guard<std::mutex> lock(g_pendingLock);
        g_pending.erase(boxed.get());
        return false;
    }
    boxed.release();  // the receiving window owns it now
    return true;
}

bool RunUiTask(UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_UI_TASK) return false;
    auto* raw = reinterpret_cast<std::function<void()>*>(lParam);
    {
        std::lock_guard<std::mutex> lock(g_pendingLock);
        if (g_pending.erase(raw) == 0) return true;  // not ours: ignored
    }
    std::unique_ptr<std::function<void()>> task(raw);
    if (*task) (*task)();
    return true;
}
