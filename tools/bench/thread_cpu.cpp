// The processor time the main window's thread uses over a span of wall time.
//
//   thread_cpu.exe SECONDS
//
// Finds the installer's main window ("DownloadWindow"), samples its thread's kernel and
// user time at the start and the end of the span, and prints "ui_thread_cpu_percent X"
// (of one core) and the window thread's id.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

ULONGLONG Ticks(const FILETIME& time) { return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

bool BusyTime(HANDLE thread, ULONGLONG* busy) {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return false;
    *busy = Ticks(kernel) + Ticks(user);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    HWND window = FindWindowW(L"DownloadWindow", nullptr);
    if (!window) {
        std::printf("no main window\n");
        return 1;
    }
    const DWORD threadId = GetWindowThreadProcessId(window, nullptr);
    HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId);
    ULONGLONG before = 0, after = 0;
    if (!thread || !BusyTime(thread, &before)) {
        std::printf("cannot read the thread's times\n");
        return 1;
    }
    const ULONGLONG start = GetTickCount64();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    BusyTime(thread, &after);
    const ULONGLONG wallMs = GetTickCount64() - start;
    std::printf("ui_thread %lu\n", threadId);
    std::printf("ui_thread_cpu_ms %llu over %llu ms\n", (after - before) / 10000, wallMs);
    std::printf("ui_thread_cpu_percent %.2f\n", (after - before) / 100.0 / wallMs);
    CloseHandle(thread);
    return 0;
}
