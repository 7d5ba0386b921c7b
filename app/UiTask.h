#pragma once
// One way for another thread to hand work to a window's thread: the work is posted as a
// closure and run by that window's procedure. Posting never waits for the window.

#include <windows.h>

#include <functional>

inline constexpr UINT WM_UI_TASK = WM_APP + 0x240;

// False when the message could not be posted (the window is gone); the task is dropped.
bool PostUiTask(HWND window, std::function<void()> task);

// For the receiving window procedure: runs the task of a WM_UI_TASK message. True when the
// message was one.
bool RunUiTask(UINT message, WPARAM wParam, LPARAM lParam);
