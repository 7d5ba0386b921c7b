#pragma once
// The main window inside a test program: a window that keeps the install's hand-over to
// itself (the real one starts the lobby and ends the process), clicks, waits, and the
// servers the launcher started.

#include <windows.h>

#include <string>

#include "app/InstallPhase.h"
#include "app/ProcessGlobals.h"
#include "skin/SkinLabel.h"
#include "ui/DownloadWindow.h"

// The main window, except that the worker's wake after a finished install is only counted.
class TestWindow : public DownloadWindow {
public:
    using DownloadWindow::DownloadWindow;
    int installedWakes = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WakeMessage && InstallPhase == PhaseInstalled) {
            ++installedWakes;
            return 0;
        }
        return DownloadWindow::WindowProc(message, wParam, lParam);
    }
};

// A posted move, press and release at a client position, then the messages they cause.
void Click(HWND window, int x, int y);
// Pumps this thread's messages until `condition` holds or timeoutMs passes.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);
std::wstring TextOf(const SkinLabel* label);

// The fault server serving a package of the launcher's at the package path of the build.
bool ServePackage(const char* packageVariable, const std::string& extra = "");
// Clears the statistics server's log.
void ResetStatsServer();
// Requests of the statistics server whose line contains `text`.
int StatsRequestsWith(const std::string& text);
// Object requests the download server has logged.
std::vector<std::string> ObjectRanges();
