#include "skin/WindowThreadQueue.h"

#include <deque>
#include <map>
#include <set>
#include <utility>

#include "skin/InvalidationBatch.h"
#include "skin/SlimLock.h"

namespace {

struct QueuedAction {
    const void* target = nullptr;
    std::function<void()> action;
};

struct WindowQueue {
    std::deque<QueuedAction> actions;
    bool signalled = false;  // a WM_SKIN_RUN_QUEUED or the retry timer is on its way
};

// How long one turn of the queue may keep the window's thread from painting and input.
constexpr ULONGLONG kTurnMs = 15;

struct Queues {
    SlimLock lock;
    std::map<HWND, WindowQueue> windows;
    std::set<const std::function<void()>*> calls;  // Calls waiting for their window
};

Queues& AllQueues() {
    static Queues queues;
    return queues;
}

}  // namespace

namespace WindowThreadQueue {

bool BelongsToOtherThread(HWND window) noexcept {
    if (!window) return false;
    const DWORD owner = GetWindowThreadProcessId(window, nullptr);
    return owner != 0 && owner != GetCurrentThreadId();
}

bool Post(HWND window, const void* target, std::function<void()> action) noexcept {
    if (!window || !action) return false;
    Queues& queues = AllQueues();
    try {
        SlimLock::Guard guard(queues.lock);
        WindowQueue& queue = queues.windows[window];
        queue.actions.push_back({target, std::move(action)});
        if (queue.signalled) return true;
        if (PostMessageW(window, WM_SKIN_RUN_QUEUED, 0, 0)) {
            queue.signalled = true;
            return true;
        }
        if (!IsWindow(window)) {
            queues.windows.erase(window);
            return false;
        }
        // The window's message queue is full; the next call or the next run tries again.
        return true;
    } catch (...) {
        return false;
    }
}

bool Call(HWND window, const std::function<void()>& action) noexcept {
    if (!window || !action || !IsWindow(window)) return false;
    Queues& queues = AllQueues();
    try {
        SlimLock::Guard guard(queues.lock);
        queues.calls.insert(&action);
    } catch (...) {
        return false;
    }
    const bool ran = SendMessageW(window, WM_SKIN_CALL, 0, reinterpret_cast<LPARAM>(&action)) == 1;
    SlimLock::Guard guard(queues.lock);
    queues.calls.erase(&action);
    return ran;
}

LRESULT AnswerCall(LPARAM action) noexcept {
    const auto* waiting = reinterpret_cast<const std::function<void()>*>(action);
    Queues& queues = AllQueues();
    {
        SlimLock::Guard guard(queues.lock);
        if (!queues.calls.count(waiting)) return 0;
    }
    try {
        (*waiting)();
    } catch (...) {
    }
    return 1;
}

void Run(HWND window) noexcept {
    Queues& queues = AllQueues();
    size_t budget = 0;
    {
        SlimLock::Guard guard(queues.lock);
        const auto found = queues.windows.find(window);
        if (found == queues.windows.end()) return;
        budget = found->second.actions.size();
    }
    // One at a time, without the lock: an action may destroy elements (which purges the
    // queue) or queue more work.
    {
        // The turn's redrawing goes to the system at once, at its end.
        InvalidationBatch redraw(window);
        const ULONGLONG turnEnds = GetTickCount64() + kTurnMs;
        for (; budget > 0 && GetTickCount64() <= turnEnds; --budget) {
            QueuedAction next;
            {
                SlimLock::Guard guard(queues.lock);
                const auto found = queues.windows.find(window);
                if (found == queues.windows.end() || found->second.actions.empty()) break;
                next = std::move(found->second.actions.front());
                found->second.actions.pop_front();
            }
            try {
                next.action();
            } catch (...) {
                // A failed change is dropped; the window carries on.
            }
        }
    }
    SlimLock::Guard guard(queues.lock);
    const auto found = queues.windows.find(window);
    if (found == queues.windows.end()) return;
    if (found->second.actions.empty()) {
        queues.windows.erase(found);
        return;
    }
    // More is left, or arrived meanwhile. Painting and input get their turn first: the
    // window's pending paint is done now; waiting input goes ahead by a timer, which is
    // taken up only after it. So a worker that keeps changing labels can neither keep the
    // window from drawing them nor from answering the mouse.
    if (HIWORD(GetQueueStatus(QS_INPUT)) != 0) {
        found->second.signalled = SetTimer(window, kRunQueuedTimerId, USER_TIMER_MINIMUM, nullptr) != 0;
        return;
    }
    found->second.signalled = PostMessageW(window, WM_SKIN_RUN_QUEUED, 0, 0) != FALSE;
    guard.Unlock();
    UpdateWindow(window);
}

void ForgetTarget(const void* target) noexcept {
    if (!target) return;
    Queues& queues = AllQueues();
    SlimLock::Guard guard(queues.lock);
    for (auto& [window, queue] : queues.windows) {
        std::erase_if(queue.actions, [&](const QueuedAction& queued) { return queued.target == target; });
    }
}

void ForgetWindow(HWND window) noexcept {
    Queues& queues = AllQueues();
    SlimLock::Guard guard(queues.lock);
    queues.windows.erase(window);
}

}  // namespace WindowThreadQueue
