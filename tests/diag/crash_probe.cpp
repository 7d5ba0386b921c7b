// Installs the crash dumper and then really crashes (an access violation on a worker
// thread when asked, else on the main thread).

#include <windows.h>

#include <cstring>

#include "diag/CrashDumper.h"

namespace {
volatile int* g_nowhere = nullptr;

DWORD WINAPI CrashingThread(void*) {
    *g_nowhere = 1;
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (!InstallCrashDumper()) return 3;
    if (argc > 1 && std::strcmp(argv[1], "thread") == 0) {
        HANDLE thread = CreateThread(nullptr, 0, CrashingThread, nullptr, 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
        return 2;
    }
    *g_nowhere = 1;
    return 2;
}
