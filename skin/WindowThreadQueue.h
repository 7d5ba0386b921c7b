#pragma once
// The one way another thread changes a skinned window: the change is queued for the thread
// that owns the window and applied there, between messages, in the order the calls were
// made. The calling thread never waits for the window's thread, so a busy, suspended or
// stuck worker cannot stall painting and input, and no lock is ever held while the element
// tree is drawn or changed. Element setters and SkinWindow's show, enable, move and timer
// calls use this door by themselves when called off the window's thread.
//
// Work queued for an element is dropped when the element dies first; work queued for a
// window is dropped when the window is destroyed. A message posted with PostMessage may
// overtake queued work; SkinWindow::PostInOrder posts one behind it.

#include <windows.h>

#include <functional>

// Posted to a window when work is queued for it; its window procedure runs the queue.
inline constexpr UINT WM_SKIN_RUN_QUEUED = WM_APP + 0x231;
// Sent with the address of a std::function<void()> that the window's thread runs at once.
inline constexpr UINT WM_SKIN_CALL = WM_APP + 0x232;
// Timer id with which a window takes up a long queue again after painting and input had
// their turn. The program's own timers keep clear of it.
inline constexpr UINT_PTR kRunQueuedTimerId = 0x5E1F;

namespace WindowThreadQueue {

// True when `window` is alive and owned by another thread than the caller: work on it must
// then be handed over. A null or destroyed window has no thread to hand work to.
bool BelongsToOtherThread(HWND window) noexcept;

// Queues `action` for the thread of `window`. `target` is the element it works on (or the
// window itself). False when the window is gone; the action is then dropped.
bool Post(HWND window, const void* target, std::function<void()> action) noexcept;

// Runs `action` on the window's thread and waits until it has run. Only for what cannot be
// left for later (an element destroyed off the window's thread); the caller must not hold
// anything the window's thread waits for. False when the window is gone (nothing ran).
bool Call(HWND window, const std::function<void()>& action) noexcept;
// The window's side of Call: runs the action whose address came with WM_SKIN_CALL, when a
// Call of this process is waiting for it; other values (a message forged from outside)
// are ignored. 1 when it ran.
LRESULT AnswerCall(LPARAM action) noexcept;

// On the window's thread: runs what was queued for the window when the call began, for at
// most a few milliseconds. The rest, and work queued meanwhile, waits for a timer tick, so a
// flood of changes cannot starve painting and input.
void Run(HWND window) noexcept;

// Drops the queued work of an element that is being destroyed.
void ForgetTarget(const void* target) noexcept;
// Drops everything queued for a window that is being destroyed.
void ForgetWindow(HWND window) noexcept;

}  // namespace WindowThreadQueue
