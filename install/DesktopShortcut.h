#pragma once
// The desktop shortcut to the installed lobby.

#include <string>

// "<desktop>\<brand>.lnk" → lobby.exe in `installDir` (which ends with a backslash),
// starting in that folder, with lobby.exe's icon; an older shortcut of that name is
// replaced. Then every top-level window is asked to refresh its settings (at most 500 ms
// per window that does not answer). Best effort: nothing is reported.
void CreateDesktopShortcut(const std::wstring& installDir);

// The shortcut's file, or empty when the desktop folder is unknown.
std::wstring DesktopShortcutPath();
