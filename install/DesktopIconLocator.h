#pragma once
// Where the desktop shows the icon with a given label. The desktop's icons are items of a
// list view in the shell's process: the locator finds that control, has it write each
// item's label into a block of memory placed in the shell's process, and asks for the
// rectangle of the first item whose label matches (without regard to case).
//
// Every request to the list view is bounded in time, the item loop in count, and the
// remote block is freed on every path. Runs on the user-interface thread.

#include <windows.h>

class DebugLog;

// Upper bound of the items looked at; a desktop has far fewer.
inline constexpr int kMaxDesktopItems = 10000;

// The item's whole rectangle (icon and label) in the list view's client coordinates, or an
// all-zero rectangle when it was not found or a step failed. *listView gets the desktop's
// list view, or null when there is none. Diagnostic lines go to `log`.
RECT LocateDesktopIcon(const char* labelAnsi, HWND* listView, DebugLog& log);

// Whether this 32-bit process runs on a 64-bit system.
bool IsRunningUnderWow64();
