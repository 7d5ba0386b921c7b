// The most memory the installer window's process held over its life.
//
//   peak_memory.exe TIMEOUT_SECONDS
//
// Waits for the main window ("DownloadWindow"), opens its process and reads its memory
// counters every 50 ms until the process ends (or TIMEOUT_SECONDS pass). The peak working
// set is the process's own high-water mark, kept by the system from its start; the last
// reading before the end is printed: "peak_working_set_bytes N", "peak_pagefile_bytes N",
// "seconds_watched S" and "ended 1" when the process ended (0 on the timeout).

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const ULONGLONG timeoutMs = (argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 600) * 1000;
    const ULONGLONG start = GetTickCount64();
    HWND window = nullptr;
    while (!window && GetTickCount64() - start < timeoutMs) {
        window = FindWindowW(L"DownloadWindow", nullptr);
        if (!window) Sleep(20);
    }
    DWORD processId = 0;
    if (!window || !GetWindowThreadProcessId(window, &processId)) {
        std::printf("no main window\n");
        return 1;
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, processId);
    if (!process) {
        std::printf("cannot open the process: %lu\n", GetLastError());
        return 1;
    }
    PROCESS_MEMORY_COUNTERS last{};
    bool read = false;
    bool ended = false;
    const ULONGLONG watched = GetTickCount64();
    while (GetTickCount64() - start < timeoutMs) {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        // A reading of a process that has just ended may come back empty: the last good one stays.
        if (GetProcessMemoryInfo(process, &counters, sizeof counters) && counters.PeakWorkingSetSize > 0) {
            last = counters;
            read = true;
        }
        if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
    }
    CloseHandle(process);
    if (!read) {
        std::printf("cannot read the process's memory counters\n");
        return 1;
    }
    std::printf("peak_working_set_bytes %lu\n", static_cast<unsigned long>(last.PeakWorkingSetSize));
    std::printf("peak_pagefile_bytes %lu\n", static_cast<unsigned long>(last.PeakPagefileUsage));
    std::printf("seconds_watched %.1f\n", static_cast<double>(GetTickCount64() - watched) / 1000.0);
    std::printf("ended %d\n", ended ? 1 : 0);
    return 0;
}
