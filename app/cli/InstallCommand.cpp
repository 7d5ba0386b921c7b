// installer-cli install: one install run without the main window. A console host stands
// in for the window: it prints the phases and the texts the worker sets, and when the
// worker's wake arrives it does what the window does: write the login profile, start the
// lobby with "runas", end.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>

#include "BuildHosts.h"
#include "app/BuildConfig.h"
#include "app/ConfigText.h"
#include "app/InstallPhase.h"
#include "app/InstallRecords.h"
#include "app/InstallWorker.h"
#include "app/PauseGate.h"
#include "app/TextConv.h"
#include "app/UiTask.h"
#include "app/UniqueHandle.h"
#include "app/cli/CliCommands.h"
#include "install/ZipExtractor.h"

namespace {

constexpr UINT_PTR kStatusTimer = 1;
constexpr DWORD kReportWaitMs = 5000;

class ConsoleHost final : public InstallHost {
public:
    ConsoleHost(std::wstring installDir, int channelId)
        : installDir_(std::move(installDir)), channelId_(channelId) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.lpszClassName = L"InstallerCliHost";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                  this);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetTimer(window_, kStatusTimer, 100, nullptr);
    }
    ~ConsoleHost() {
        if (window_) DestroyWindow(window_);
    }

    ProgressCounters& Progress() override { return progress_; }
    PauseGate& Gate() override { return gate_; }
    void StartTimer(UINT id, UINT milliseconds) override {
        Post([id, milliseconds] { CliOut(L"timer " + std::to_wstring(id) + L" " + std::to_wstring(milliseconds) + L"ms"); });
    }
    void StopTimer(UINT id) override {
        Post([id] { CliOut(L"timer " + std::to_wstring(id) + L" stopped"); });
    }
    void SetLabel(WorkerLabel label, const std::wstring& text) override {
        static const wchar_t* const kNames[] = {L"size", L"percent", L"caption"};
        const wchar_t* name = kNames[static_cast<int>(label)];
        Post([name, text] { CliOut(std::wstring(L"label ") + name + L" " + text); });
    }
    void HideRunner() override {
        Post([] { CliOut(L"runner hidden"); });
    }
    void PostWake() override {
        Post([this] { OnWake(); });
    }
    void ShowFailure(int kind) override {
        Post([kind] { CliOut(kind == FailureDownload ? L"failure download" : L"failure install"); });
    }
    [[noreturn]] void StartExistingLobbyAndEnd(const std::string& lobby) override {
        ShellExecuteA(nullptr, "open", lobby.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        CliOutAnsi("lobby started " + lobby);
        CliOutAnsi("result " + std::to_string(EXTRACT_CANNOT_CREATE));
        TerminateProcess(GetCurrentProcess(), 0);
        ExitProcess(0);
    }

    // Runs the worker and this thread's messages until the worker has ended and every
    // message it posted is handled, or until the lobby is started.
    CliResult Run(InstallRun run) {
        run.host = this;
        InstallPhase = PhaseDownloading;
        PrintPhase();
        InstallOutcome outcome;
        worker_.Reset(CreateThread(nullptr, 0, WorkerEntry, new std::pair<InstallRun, InstallOutcome*>(run, &outcome),
                                   0, nullptr));
        if (!worker_) return {"no-thread", false};
        HANDLE worker = worker_.Get();
        while (!lobbyStarted_) {
            const DWORD wait = MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_ALLINPUT);
            PumpMessages();
            if (wait == WAIT_OBJECT_0) {
                PumpMessages();
                break;
            }
        }
        PrintPhase();
        if (!outcome.downloaded && !lobbyStarted_) return {"download-failed", false};
        return {std::to_string(outcome.extractResult), lobbyStarted_};
    }

private:
    static DWORD WINAPI WorkerEntry(void* parameter) {
        std::unique_ptr<std::pair<InstallRun, InstallOutcome*>> job(
            static_cast<std::pair<InstallRun, InstallOutcome*>*>(parameter));
        try {
            *job->second = RunInstall(job->first);
        } catch (...) {
        }
        return 0;
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        try {
            if (RunUiTask(message, wParam, lParam)) return 0;
            auto* self = reinterpret_cast<ConsoleHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
            if (self && message == WM_TIMER && wParam == kStatusTimer) {
                self->PrintStatus();
                return 0;
            }
        } catch (...) {
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    // The phase as the worker left it when it handed the task over, printed first: a
    // phase that lasts only a moment still shows, in its place among the other lines.
    void Post(std::function<void()> task) {
        const int32_t phase = InstallPhase;
        PostUiTask(window_, [this, phase, task = std::move(task)] {
            PrintPhase(phase);
            task();
        });
    }

    void PumpMessages() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    void PrintPhase() { PrintPhase(InstallPhase); }
    void PrintPhase(int32_t phase) {
        if (phase == printedPhase_) return;
        printedPhase_ = phase;
        CliOut(L"phase " + std::to_wstring(phase));
    }

    // The phase on stdout when it changes; the progress on stderr at most once a second.
    void PrintStatus() {
        PrintPhase();
        const ULONGLONG now = GetTickCount64();
        if (now - lastProgressPrint_ < 1000) return;
        lastProgressPrint_ = now;
        const uint64_t done = progress_.downloadedBytes, total = progress_.totalBytes;
        const uint64_t received = progress_.receivedBytes;
        if (done == lastPrintedBytes_) return;
        lastPrintedBytes_ = done;
        wchar_t text[160];
        swprintf(text, std::size(text), L"progress %llu/%llu bytes, %llu received in %u ms",
                 static_cast<unsigned long long>(done), static_cast<unsigned long long>(total),
                 static_cast<unsigned long long>(received), static_cast<unsigned>(progress_.transferMs));
        CliErr(text);
    }

    // What the window does on the wake: the login profile, then, installed, the lobby.
    void OnWake() {
        CliOut(L"wake");
        WriteLoginProfile(installDir_, channelId_);
        PrintPhase();
        if (InstallPhase != PhaseInstalled) return;
        // The worker's statistics report is still on its way: let it finish, bounded.
        WaitForSingleObject(worker_.Get(), kReportWaitMs);
        const std::string lobby = WideToAnsi(installDir_) + "lobby.exe";
        SHELLEXECUTEINFOA info{};
        info.cbSize = sizeof info;
        info.lpVerb = "runas";
        info.lpFile = lobby.c_str();
        info.nShow = SW_SHOWNORMAL;
        if (ShellExecuteExA(&info)) {
            CliOutAnsi("lobby started " + lobby);
            lobbyStarted_ = true;
        } else {
            CliOutAnsi("lobby start failed " + std::to_string(GetLastError()));
        }
    }

    std::wstring installDir_;
    int channelId_;
    HWND window_ = nullptr;
    ProgressCounters progress_;
    PauseGate gate_;
    UniqueKernelHandle worker_;
    bool lobbyStarted_ = false;
    int32_t printedPhase_ = -1;
    ULONGLONG lastProgressPrint_ = 0;
    uint64_t lastPrintedBytes_ = UINT64_MAX;
};

std::wstring WithTrailingBackslash(std::wstring folder) {
    if (!folder.empty() && folder.back() == L'/') folder.back() = L'\\';
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
}

}  // namespace

CliResult RunInstallCommand(const CliArgs& args) {
    LoadBuildConfig();
    InstallRun run;
    run.installBaseDir = WithTrailingBackslash(args.at(0));
    run.installDir = run.installBaseDir + kBrandName + L"\\";
    run.downloadHost = Config().downloadHost;
    run.packagePath = Config().packagePath;
    run.statsHost = kStatsHost;
    run.channelId = Config().channelId;
    for (size_t i = 1; i + 1 < args.size(); i += 2) {
        const std::wstring& option = args[i];
        const std::string value = WideToAnsi(args[i + 1]);
        if (option == L"--host")
            run.downloadHost = value;
        else if (option == L"--package-path")
            run.packagePath = value;
        else if (option == L"--stats-host")
            run.statsHost = value;
        else if (option == L"--attempts" && ReadDecimal(value) > 0)
            run.maxAttempts = static_cast<uint32_t>(ReadDecimal(value));
        else
            return {"usage", false};
    }
    if ((args.size() - 1) % 2 != 0) return {"usage", false};
    CliOut(L"installing into " + run.installDir);
    ConsoleHost host(run.installDir, run.channelId);
    return host.Run(run);
}
