#include "app/InstallWorker.h"

#include <shlobj.h>

#include <memory>
#include <random>

#include "app/BuildConfig.h"
#include "app/InstallPhase.h"
#include "app/PauseGate.h"
#include "app/RetryDelay.h"
#include "app/SizeText.h"
#include "app/TextConv.h"
#include "install/DesktopShortcut.h"
#include "install/StatsReporter.h"
#include "install/StatsText.h"
#include "install/UrlEncode.h"
#include "install/ZipExtractor.h"
#include "net/HttpDownloader.h"

namespace {

// The download engine, reporting into the window's counters; between blocks it is also
// where a pause takes hold.
class WorkerDownloader final : public HttpDownloader {
public:
    WorkerDownloader(ProgressCounters& progress, const PauseGate& gate) : progress_(progress), gate_(gate) {}

    void OnProgress(HANDLE, int, uint32_t transferMs, uint64_t receivedBytes, uint64_t totalSize, uint64_t fileSize,
                    int) override {
        progress_.downloadedBytes = fileSize;
        progress_.totalBytes = totalSize;
        progress_.transferMs = transferMs;
        progress_.receivedBytes = receivedBytes;
        gate_.WaitWhilePaused();
    }

private:
    ProgressCounters& progress_;
    const PauseGate& gate_;
};

bool DownloadPackage(const InstallRun& run, HttpDownloader& downloader) {
    InstallHost& host = *run.host;
    ProgressCounters& progress = host.Progress();
    std::minstd_rand random(GetTickCount());
    int stallCount = 0;
    uint32_t emptyInRow = 0;
    for (uint32_t attempt = 0; attempt < run.maxAttempts; ++attempt) {
        const uint64_t before = progress.receivedBytes;
        if (downloader.DownloadToFile(run.packagePath.c_str(), kPackageFileName, 1) >= 0) return true;
        if (progress.receivedBytes != before) {
            stallCount = 0;
            emptyInRow = 0;
        } else {
            if (++stallCount > STALL_LIMIT) {
                // The speed reads 0 until data flows again; the engine's own count is kept.
                progress.receivedBytes = 0;
                stallCount = 0;
            }
            if (attempt + 1 < run.maxAttempts) Sleep(RetryDelayMs(++emptyInRow, static_cast<uint32_t>(random())));
        }
        host.Gate().WaitWhilePaused();
    }
    return false;
}

ExtractOutcome Unpack(const InstallRun& run) {
    const std::string package = WideToAnsi(run.installDir) + kPackageFileName;
    const std::string base = WideToAnsi(run.installBaseDir);
    const PauseGate& gate = run.host->Gate();
    const auto betweenEntries = [&gate] { gate.WaitWhilePaused(); };

    ExtractOutcome outcome;
    outcome.result = ExtractPackage(package.c_str(), nullptr, base.c_str(), betweenEntries);
    if (outcome.result != 0) {
        HANDLE file = CreateFileA(kPackageFileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            outcome.size = static_cast<int32_t>(GetFileSize(file, nullptr));
            CloseHandle(file);
        }
        outcome.attributes = static_cast<int32_t>(GetFileAttributesW(run.installBaseDir.c_str()));
        outcome.createResult = SHCreateDirectoryExW(nullptr, run.installBaseDir.c_str(), nullptr);
        if (outcome.createResult == ERROR_SUCCESS || GetLastError() == ERROR_ALREADY_EXISTS)
            outcome.result = ExtractPackage(package.c_str(), nullptr, base.c_str(), betweenEntries);
    }
    outcome.lastError = static_cast<int32_t>(GetLastError());
    return outcome;
}

std::wstring ReportAddress(const InstallRun& run, int type, const ExtractOutcome& outcome) {
    const std::string encoded = UrlEncodeUtf8(WideToAnsi(FormatOutcomeText(run.installDir, outcome)));
    return BuildReportAddress(run.statsHost, kSiteId, type, encoded, run.channelId);
}

// Phase 4, once the user's pause (if one came as the last block arrived) is lifted: the
// window moves 1 to 2 only from 1 and closes the gate first, so a pause is never
// overwritten and left unanswerable. A host that keeps phases without the gate is not
// waited for.
void EnterInstallingPhase(const PauseGate& gate) {
    for (;;) {
        gate.WaitWhilePaused();
        int32_t expected = PhaseDownloading;
        if (InstallPhase.compare_exchange_strong(expected, PhaseInstalling)) return;
        if (expected != PhasePaused || !gate.IsPaused()) break;
    }
    InstallPhase = PhaseInstalling;
}

}  // namespace

InstallOutcome RunInstall(const InstallRun& run) {
    InstallHost& host = *run.host;
    // A worker created paused begins only when the user continues.
    host.Gate().WaitWhilePaused();
    host.StartTimer(TIMER_RUNNER, 50);

    WorkerDownloader downloader(host.Progress(), host.Gate());
    downloader.Connect(run.downloadHost.c_str(), nullptr, nullptr, 0);  // a failure shows in every attempt
    SHCreateDirectoryExW(nullptr, run.installDir.c_str(), nullptr);
    SetCurrentDirectoryW(run.installDir.c_str());

    if (!DownloadPackage(run, downloader)) {
        host.ShowFailure(FailureDownload);
        return {};
    }

    EnterInstallingPhase(host.Gate());
    host.StopTimer(TIMER_RUNNER);
    host.StopTimer(TIMER_PROGRESS);
    const ProgressCounters& progress = host.Progress();
    host.SetLabel(WorkerLabel::Size, SizeText(progress.downloadedBytes, progress.totalBytes));
    host.SetLabel(WorkerLabel::Percent, L"100%");
    host.SetLabel(WorkerLabel::MainButtonCaption, L"正在启动");

    const ExtractOutcome outcome = Unpack(run);
    if (outcome.result == EXTRACT_CANNOT_CREATE) {
        // A running lobby holds its files: start it rather than fail the install.
        const std::string lobby = WideToAnsi(run.installDir) + "lobby.exe";
        if (GetFileAttributesA(lobby.c_str()) != INVALID_FILE_ATTRIBUTES) host.StartExistingLobbyAndEnd(lobby);
    }
    if (outcome.result == 0) {
        CreateDesktopShortcut(run.installDir);
        host.StartTimer(TIMER_LOCATE_ICON, 500);
        InstallPhase = PhaseInstalled;
        host.PostWake();
        host.HideRunner();
        SendReport(ReportAddress(run, 1, outcome));
        host.StartTimer(TIMER_HIDE_BALLOON, 60000);
    } else {
        SendReport(ReportAddress(run, 2, outcome));
        host.ShowFailure(FailureInstall);
    }
    return {true, outcome.result};
}

DWORD WINAPI InstallWorker(void* parameter) {
    std::unique_ptr<InstallRun> run(static_cast<InstallRun*>(parameter));
    try {
        RunInstall(*run);
    } catch (...) {
        // Nothing may leave a thread entry; an allocation failure ends this run only.
    }
    return 0;
}
