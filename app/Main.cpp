// The program's entry: one window, one instance.

#include <windows.h>

#include "app/ProcessGlobals.h"
#include "diag/CrashDumper.h"
#include "skin/MessageLoop.h"
#include "ui/DownloadWindow.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RestrictDllSearchToSystem32();
    InstallCrashDumper();
    InitProcessGlobals();

    // Held, never closed, until the process ends: it marks the running instance.
    CreateMutexA(nullptr, FALSE, kInstanceMutexName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        PostMessageA(HWND_BROADCAST, WakeMessage, 0, 0);
        return 0;
    }

    {
        DownloadWindow window;
        RunMessageLoop();
    }
    ShutdownProcessGlobals();
    return 0;
}
