// A full install while the banner talks to a host that never answers: the install run
// (download, unpack, shortcut, report) on its worker thread against the fault server, the
// window's thread answering at once, and the banner thread waiting on the dead host the
// whole time.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "BannerTestSupport.h"
#include "FaultServer.h"
#include "SkinTestSupport.h"
#include "app/BuildConfig.h"
#include "app/InstallWorker.h"
#include "app/PauseGate.h"
#include "banner/BannerThread.h"
#include "install/DesktopShortcut.h"
#include "support/TestSupport.h"

namespace {

// What the main window would do with the worker's calls, noted instead.
class NotingInstallHost final : public InstallHost {
public:
    ProgressCounters& Progress() override { return progress; }
    PauseGate& Gate() override { return gate; }
    void StartTimer(UINT, UINT) override {}
    void StopTimer(UINT) override {}
    void SetLabel(WorkerLabel, const std::wstring&) override {}
    void HideRunner() override {}
    void PostWake() override { woke = true; }
    void ShowFailure(int kind) override { failure = kind; }
    [[noreturn]] void StartExistingLobbyAndEnd(const std::string&) override { std::abort(); }

    ProgressCounters progress;
    PauseGate gate;
    std::atomic<bool> woke{false};
    std::atomic<int> failure{-1};
};

// The install changes the process's current folder and the desktop; both are put back.
class InstallSideEffects {
public:
    InstallSideEffects() { GetCurrentDirectoryW(MAX_PATH, folder_); }
    ~InstallSideEffects() {
        SetCurrentDirectoryW(folder_);
        DeleteFileW(DesktopShortcutPath().c_str());
    }

private:
    wchar_t folder_[MAX_PATH]{};
};

}  // namespace

TEST(BannerInstall, AFullInstallCompletesWhileTheBannerHostNeverAnswers) {
    ASSERT_NE(FaultServerPort(), 0) << "run under tests/servers/fault_server.py";
    // Paced to take about a second and a half, so that the window is watched a while.
    ASSERT_TRUE(ConfigureServer("path=/banner-package.zip&rate=1500000&file=" + UrlEncode(BANNER_PACKAGE)));
    const int connectionsBefore = SilentConnections().value_or(-1);
    ASSERT_GE(connectionsBefore, 0);

    StandInWindow window;
    ShowQuietly(window);
    BannerThread banner(window, kBannerArea, SilentBannerUrl());
    ASSERT_TRUE(PumpUntilDone([&] { return SilentConnections().value_or(0) > connectionsBefore; }, 15000))
        << "the banner is waiting on the dead host";

    InstallSideEffects restore;
    ScratchDir scratch;
    NotingInstallHost host;
    InstallRun run;
    run.host = &host;
    run.installBaseDir = scratch.Path() + L"\\";
    run.installDir = run.installBaseDir + kBrandName + L"\\";
    run.downloadHost = FaultServerHost();
    run.packagePath = "/banner-package.zip";
    run.statsHost = FaultServerHost();
    run.channelId = 7;
    run.maxAttempts = 3;

    InstallOutcome outcome;
    std::atomic<bool> done{false};
    {
        LatencyProber prober(window.Handle());
        std::thread worker([&] {
            outcome = RunInstall(run);
            done = true;
        });
        const bool finished = PumpUntilDone([&] { return done.load(); }, 120000);
        worker.join();
        ASSERT_TRUE(finished);
    }
    EXPECT_TRUE(outcome.downloaded);
    EXPECT_EQ(outcome.extractResult, 0);
    EXPECT_TRUE(host.woke) << "the worker handed over to the window";
    EXPECT_EQ(host.failure.load(), -1);
    EXPECT_EQ(ReadFileBytes(run.installDir + L"lobby.exe"), ReadFileBytes(TestBinDir() + L"\\sample\\lobby.exe"));
    bool reported = false;
    for (const LoggedRequest& request : ServerLog()) {
        reported = reported || request.line.find("StatistsType=1") != std::string::npos;
    }
    EXPECT_TRUE(reported) << "the success report went out";

    EXPECT_GE(window.answered.load(), 20);
    EXPECT_LT(window.longestWaitMs.load(), 100u) << "the window's thread answered at once throughout";
    EXPECT_TRUE(banner.Status().loopRunning) << "the banner is still waiting, and nobody waited for it";
    EXPECT_TRUE(ThreadAnswers(banner.Status().commandWindow));
}
