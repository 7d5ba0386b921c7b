// A stand-in for the main window with the banner, in a process of its own, for what a test
// cannot do inside its own process: run with another set of system DLLs, or end the
// process while the banner thread runs.
//
//   banner_probe MODE URL
//     status   starts the banner, prints what it did, ends the banner and the window, exits
//     stuck    the same, but the banner thread is held in its loop when the end comes
//     exit     starts the banner, then ends the process at once, the banner thread running
//
// Lines: "embedded 0|1", "navigation 0x...", "loop 0|1", "element 0|1", "ui_ms N" (the
// longest wait of a posted message), "answered N", "held 0|1", "end_at T" (GetTickCount64
// when the end begins), "ended 0|1" (the banner thread ended in time), "end_ms N" (banner
// and window ended) and "exit_at T" (when the process is about to end).

#include <windows.h>
// GDI+ needs windows.h first.
#include <gdiplus.h>

#include <cstdio>
#include <memory>
#include <string>

#include "BannerTestSupport.h"
#include "banner/BannerElement.h"
#include "banner/BannerThread.h"

namespace {

void Pump(DWORD milliseconds) {
    PumpUntilDone([] { return false; }, milliseconds);
}

bool HasBannerElement(const SkinWindow& window) {
    for (const SkinElement* child : window.Children()) {
        if (dynamic_cast<const BannerElement*>(child)) return true;
    }
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fputs("usage: banner_probe status|stuck|exit URL\n", stderr);
        return 2;
    }
    const std::wstring mode = argv[1];
    ULONG_PTR gdiplus = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr);

    auto window = std::make_unique<StandInWindow>();
    window->SetVisible(SW_SHOWNOACTIVATE);
    auto banner = std::make_unique<BannerThread>(*window, kBannerArea, argv[2]);
    PumpUntilDone([&] { return banner->Status().loopRunning; }, 30000);  // creating the control is slow on a loaded machine
    {
        // The page is on its way (or failed): the window's thread keeps answering meanwhile.
        LatencyProber prober(window->Handle());
        Pump(1000);
    }
    Pump(50);
    const BannerStatus status = banner->Status();
    std::printf("embedded %d\nnavigation 0x%08lx\nloop %d\nelement %d\nui_ms %lu\nanswered %d\n",
                status.browserEmbedded ? 1 : 0, static_cast<unsigned long>(status.navigation),
                status.loopRunning ? 1 : 0, HasBannerElement(*window) ? 1 : 0,
                static_cast<unsigned long>(window->longestWaitMs.load()), window->answered.load());

    if (mode == L"exit") {
        std::printf("end_at %llu\nexit_at %llu\n", GetTickCount64(), GetTickCount64());
        std::fflush(stdout);
        ExitProcess(0);
    }
    std::unique_ptr<ThreadStall> stall;
    if (mode == L"stuck") {
        stall = std::make_unique<ThreadStall>(status.threadId, status.commandWindow);
        std::printf("held %d\n", stall->WaitHeld(5000) ? 1 : 0);
    }
    // As the program's entry ends: the banner, then the window, then the process; when the
    // banner thread is stuck, the process ends around it.
    const ULONGLONG endStart = GetTickCount64();
    std::printf("end_at %llu\n", endStart);
    const bool ended = banner->End();
    std::printf("ended %d\n", ended ? 1 : 0);
    if (!ended) {
        std::printf("exit_at %llu\n", GetTickCount64());
        std::fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 0);
    }
    banner.reset();
    window.reset();
    std::printf("end_ms %llu\n", GetTickCount64() - endStart);
    Gdiplus::GdiplusShutdown(gdiplus);
    std::printf("exit_at %llu\n", GetTickCount64());
    std::fflush(stdout);
    return 0;
}
