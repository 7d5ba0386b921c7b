// One install run at a time on a worker thread, with a test host standing in for the
// window: real packages from the fault server, the real file system, shell and WinInet.

#include <gtest/gtest.h>

#include <shlobj.h>
#include <wrl/client.h>

#include <mutex>
#include <regex>
#include <thread>

#include "FaultServer.h"
#include "PipelineFixtures.h"
#include "app/BuildConfig.h"
#include "app/InstallPhase.h"
#include "app/InstallWorker.h"
#include "app/PauseGate.h"
#include "app/TextConv.h"
#include "app/UiTask.h"
#include "install/DesktopShortcut.h"
#include "install/UrlEncode.h"
#include "install/ZipExtractor.h"
#include "support/TestSupport.h"

namespace {

struct LobbyStarted {
    std::string path;
};

// The window's part: everything the worker hands over is posted to a thread of its own,
// as the window's thread would get it, and recorded there in order.
class TestHost final : public InstallHost {
public:
    explicit TestHost(bool paused = false) : gate_(paused) {
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        ui_ = std::thread([this, ready] {
            window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
            SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
            SetEvent(ready);
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
            DestroyWindow(window_);
        });
        WaitForSingleObject(ready, INFINITE);
        CloseHandle(ready);
    }
    ~TestHost() {
        PostUiTask(window_, [] { PostQuitMessage(0); });
        ui_.join();
    }

    ProgressCounters& Progress() override { return progress_; }
    PauseGate& Gate() override { return gate_; }
    void StartTimer(UINT id, UINT ms) override { Record("timer " + std::to_string(id) + " " + std::to_string(ms)); }
    void StopTimer(UINT id) override { Record("stop " + std::to_string(id)); }
    void SetLabel(WorkerLabel label, const std::wstring& text) override {
        static const char* const kNames[] = {"size", "percent", "caption"};
        Record(std::string("label ") + kNames[static_cast<int>(label)] + " " + WideToUtf8(text));
    }
    void HideRunner() override { Record("runner hidden"); }
    void PostWake() override { Record("wake"); }
    void ShowFailure(int kind) override { Record("failure " + std::to_string(kind)); }
    [[noreturn]] void StartExistingLobbyAndEnd(const std::string& lobby) override { throw LobbyStarted{lobby}; }

    // What the UI thread has handled so far, in order.
    std::vector<std::string> Events() {
        Ping(5000);
        std::lock_guard<std::mutex> lock(lock_);
        return events_;
    }
    // True when the UI thread answers a posted message within `ms`.
    bool Ping(DWORD ms) {
        HANDLE answered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        PostUiTask(window_, [answered] { SetEvent(answered); });
        const bool ok = WaitForSingleObject(answered, ms) == WAIT_OBJECT_0;
        if (ok) CloseHandle(answered);  // else leaked on purpose: the task may still run
        return ok;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (RunUiTask(message, wParam, lParam)) return 0;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    void Record(std::string event) {
        PostUiTask(window_, [this, event = std::move(event)] {
            std::lock_guard<std::mutex> lock(lock_);
            events_.push_back(event);
        });
    }

    ProgressCounters progress_;
    PauseGate gate_;
    std::thread ui_;
    HWND window_ = nullptr;
    std::mutex lock_;
    std::vector<std::string> events_;
};

bool Contains(const std::vector<std::string>& events, const std::string& event) {
    return std::find(events.begin(), events.end(), event) != events.end();
}

size_t IndexOf(const std::vector<std::string>& events, const std::string& event) {
    return std::find(events.begin(), events.end(), event) - events.begin();
}

class PipelineTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(FaultServerPort(), 0) << "run under tests/servers/fault_server.py";
        base_ = dir_.Path() + L"\\";
        InstallPhase = PhaseDownloading;  // as the window sets it when it starts a worker
    }
    void TearDown() override { SetCurrentDirectoryW(TestBinDir().c_str()); }

    void Serve(const std::string& fixture, const std::string& extra = "") {
        ASSERT_TRUE(ConfigureServer("path=/update/vexa_lobby.zip&file=" + UrlEncode(FixtureUnixPath(fixture)) + extra));
    }
    InstallRun Run(TestHost& host) const {
        InstallRun run;
        run.host = &host;
        run.installBaseDir = base_;
        run.installDir = InstallDir();
        run.downloadHost = FaultServerHost();
        run.packagePath = "/update/vexa_lobby.zip";
        run.statsHost = FaultServerHost();
        run.channelId = 200018;
        return run;
    }
    std::wstring InstallDir() const { return base_ + L"Halvane\\"; }

    ScratchDir dir_;
    std::wstring base_;
};

// "<dir>|0|attr:0|create:0|errid:<n>|size:0"
bool IsFirstTimeSuccess(const std::string& text, const std::wstring& installDir) {
    const std::string prefix = WideToUtf8(installDir) + "|0|attr:0|create:0|errid:";
    return text.rfind(prefix, 0) == 0 && std::regex_match(text.substr(prefix.size()), std::regex("-?[0-9]+\\|size:0"));
}

struct ShortcutFields {
    std::wstring target, folder, icon;
    int iconIndex = -1;
};

std::optional<ShortcutFields> ReadShortcut(const std::wstring& path) {
    using Microsoft::WRL::ComPtr;
    CoInitialize(nullptr);
    ShortcutFields fields;
    bool ok = false;
    {
        ComPtr<IShellLinkW> link;
        ComPtr<IPersistFile> file;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                       reinterpret_cast<void**>(link.GetAddressOf()))) &&
            SUCCEEDED(link.As(&file)) && SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
            wchar_t text[MAX_PATH];
            link->GetPath(text, MAX_PATH, nullptr, 0);
            fields.target = text;
            link->GetWorkingDirectory(text, MAX_PATH);
            fields.folder = text;
            link->GetIconLocation(text, MAX_PATH, &fields.iconIndex);
            fields.icon = text;
            ok = true;
        }
    }
    CoUninitialize();
    return ok ? std::optional(fields) : std::nullopt;
}

std::wstring WithoutTrailingSlash(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

}  // namespace

TEST_F(PipelineTest, FullInstallFromTheServer) {
    Serve("package.zip");
    DeleteFileW(DesktopShortcutPath().c_str());
    TestHost host;
    const InstallOutcome outcome = RunInstall(Run(host));
    ASSERT_TRUE(outcome.downloaded);
    EXPECT_EQ(outcome.extractResult, 0);

    EXPECT_EQ(CompareWithManifest(InstallDir(), "package.manifest"), std::vector<std::string>{});
    const std::wstring package = InstallDir() + L"zel_lobby.install";
    EXPECT_EQ(ReadFileBytes(package), ReadFileBytes(FixtureWindowsPath("package.zip"))) << "the package file stays";
    EXPECT_TRUE(HasStamp(package, 2015, 10, 21, 7, 28, 0)) << "stamped with the server's Last-Modified";

    const auto shortcut = ReadShortcut(DesktopShortcutPath());
    ASSERT_TRUE(shortcut.has_value()) << "no desktop shortcut";
    EXPECT_EQ(_wcsicmp(shortcut->target.c_str(), (InstallDir() + L"lobby.exe").c_str()), 0) << WideToUtf8(shortcut->target);
    EXPECT_EQ(_wcsicmp(WithoutTrailingSlash(shortcut->folder).c_str(), WithoutTrailingSlash(InstallDir()).c_str()), 0);
    EXPECT_EQ(_wcsicmp(shortcut->icon.c_str(), (InstallDir() + L"lobby.exe").c_str()), 0);
    EXPECT_EQ(shortcut->iconIndex, 0);

    EXPECT_EQ(InstallPhase.load(), PhaseInstalled);
    const auto events = host.Events();
    char size[64];
    const double megabytes = FileSize(FixtureWindowsPath("package.zip")) / 1048576.0;
    snprintf(size, sizeof size, "label size %.02fM/%.02fM", megabytes, megabytes);
    const std::vector<std::string> inOrder = {"timer 112 50",         "stop 112",      "stop 99",
                                              size,                   "label percent 100%",
                                              "label caption 正在启动", "timer 114 500", "wake",
                                              "runner hidden",        "timer 115 60000"};
    size_t at = 0;
    for (const std::string& event : inOrder) {
        const size_t found = IndexOf(events, event);
        EXPECT_LT(found, events.size()) << "missing " << event;
        EXPECT_GE(found, at) << event << " out of order";
        at = found;
    }

    const auto reports = StatsRequests();
    ASSERT_EQ(reports.size(), 1u) << "exactly one report";
    EXPECT_EQ(reports[0].type, "1");
    EXPECT_EQ(reports[0].siteId, "16");
    EXPECT_EQ(reports[0].channel, "200018");
    EXPECT_TRUE(IsFirstTimeSuccess(reports[0].unzipResult, InstallDir())) << reports[0].unzipResult;
    DeleteFileW(DesktopShortcutPath().c_str());
}

TEST_F(PipelineTest, InterruptedTransfersContinueAndWasteNothing) {
    Serve("package.zip", "&drop_after=200000");
    TestHost host;
    const InstallOutcome outcome = RunInstall(Run(host));
    ASSERT_TRUE(outcome.downloaded);
    EXPECT_EQ(outcome.extractResult, 0);
    EXPECT_EQ(CompareWithManifest(InstallDir(), "package.manifest"), std::vector<std::string>{});
    const uint64_t size = FileSize(FixtureWindowsPath("package.zip"));
    EXPECT_LE(ServerBodyBytes(), size + size / 100) << "bytes sent over the package size";
    EXPECT_GE(ServerLog().size(), 9u) << "the drops did happen";
}

TEST_F(PipelineTest, DamagedPackageIsRetriedThenReportedAsAnInstallFailure) {
    Serve("damaged.zip");
    TestHost host;
    const InstallOutcome outcome = RunInstall(Run(host));
    ASSERT_TRUE(outcome.downloaded);
    EXPECT_EQ(outcome.extractResult, EXTRACT_BAD_DATA);
    EXPECT_EQ(InstallPhase.load(), PhaseInstalling) << "the phase stays";
    const auto events = host.Events();
    EXPECT_TRUE(Contains(events, "failure 1"));
    EXPECT_FALSE(Contains(events, "wake"));

    const auto reports = StatsRequests();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].type, "2");
    // The base folder was there (a plain folder, 16), so creating it gave 183 and the
    // extraction was tried a second time; the size is the package file's.
    const std::string expected = WideToUtf8(InstallDir()) + "|83886080|attr:16|create:183|errid:";
    EXPECT_EQ(reports[0].unzipResult.substr(0, expected.size()), expected) << reports[0].unzipResult;
    EXPECT_TRUE(reports[0].unzipResult.ends_with("|size:" + std::to_string(FileSize(FixtureWindowsPath("damaged.zip")))))
        << reports[0].unzipResult;
}

TEST_F(PipelineTest, BaseFolderThatIsAFileGivesMinusThree) {
    Serve("package.zip");
    const std::wstring blocker = dir_ / L"blocker";
    ASSERT_TRUE(WriteFileBytes(blocker, "not a folder"));
    base_ = blocker + L"\\";
    ScratchDir elsewhere;  // the install folder cannot be made: the package lands here
    SetCurrentDirectoryW(elsewhere.Path().c_str());
    TestHost host;
    const InstallOutcome outcome = RunInstall(Run(host));
    SetCurrentDirectoryW(TestBinDir().c_str());
    EXPECT_EQ(outcome.extractResult, EXTRACT_DESTINATION_NOT_FOLDER);
    const auto reports = StatsRequests();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].type, "2");
    EXPECT_NE(reports[0].unzipResult.find("|4294967293|"), std::string::npos) << reports[0].unzipResult;
    EXPECT_TRUE(Contains(host.Events(), "failure 1"));
}

TEST_F(PipelineTest, CannotCreateWithoutAnInstalledLobbyIsAnInstallFailure) {
    Serve("package.zip");
    // A read-only leftover in the way of the first entry; lobby.exe comes last.
    CreateDirectoryW(InstallDir().c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(InstallDir() + L"readme.txt", "old"));
    SetFileAttributesW((InstallDir() + L"readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    TestHost host;
    const InstallOutcome outcome = RunInstall(Run(host));
    SetFileAttributesW((InstallDir() + L"readme.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(outcome.extractResult, EXTRACT_CANNOT_CREATE);
    EXPECT_FALSE(FileExists(InstallDir() + L"lobby.exe"));
    const auto reports = StatsRequests();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].type, "2");
    EXPECT_NE(reports[0].unzipResult.find("|512|"), std::string::npos);
    EXPECT_TRUE(Contains(host.Events(), "failure 1"));
}

TEST_F(PipelineTest, DownloadGiveUpShowsTheFailureAndSendsNoReport) {
    ASSERT_TRUE(ConfigureServer("path=/update/vexa_lobby.zip&status=404"));
    TestHost host;
    InstallRun run = Run(host);
    run.maxAttempts = 3;
    const InstallOutcome outcome = RunInstall(run);
    EXPECT_FALSE(outcome.downloaded);
    EXPECT_EQ(InstallPhase.load(), PhaseDownloading) << "the phase stays";
    const auto events = host.Events();
    EXPECT_TRUE(Contains(events, "failure 0"));
    EXPECT_FALSE(Contains(events, "stop 112")) << "the timers keep running";
    EXPECT_EQ(StatsRequests().size(), 0u);
    EXPECT_EQ(ServerLog().size(), 3u) << "one request per attempt";
}

TEST_F(PipelineTest, PauseDuringTransferHoldsTheBytesAndKeepsTheUiAnswering) {
    Serve("package.zip", "&rate=1000000");
    TestHost host;
    InstallOutcome outcome;
    std::thread worker([&] { outcome = RunInstall(Run(host)); });
    ProgressCounters& progress = host.Progress();
    ASSERT_TRUE(WaitUntil([&] { return progress.downloadedBytes.load() >= 300000; }, 20000));
    host.Gate().Pause();
    Sleep(300);  // the block in flight lands
    const uint64_t held = progress.downloadedBytes;
    const uint64_t onDisk = FileSize(InstallDir() + L"zel_lobby.install");
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(host.Ping(100)) << "the UI thread must answer while the worker is paused";
        Sleep(100);
    }
    EXPECT_EQ(progress.downloadedBytes.load(), held) << "no bytes move while paused";
    EXPECT_EQ(FileSize(InstallDir() + L"zel_lobby.install"), onDisk);
    EXPECT_LT(held, FileSize(FixtureWindowsPath("package.zip")));
    host.Gate().Resume();
    worker.join();
    ASSERT_TRUE(outcome.downloaded);
    EXPECT_EQ(outcome.extractResult, 0);
    EXPECT_EQ(CompareWithManifest(InstallDir(), "package.manifest"), std::vector<std::string>{});
    EXPECT_EQ(ReadFileBytes(InstallDir() + L"zel_lobby.install"), ReadFileBytes(FixtureWindowsPath("package.zip")));
}

TEST_F(PipelineTest, PauseDuringExtractionHoldsBetweenEntries) {
    Serve("many.zip");
    TestHost host;
    InstallOutcome outcome;
    std::thread worker([&] { outcome = RunInstall(Run(host)); });
    ASSERT_TRUE(WaitUntil([] { return InstallPhase.load() == PhaseInstalling; }, 30000));
    host.Gate().Pause();
    Sleep(200);
    const int files = CountFiles(InstallDir());
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(host.Ping(100));
        Sleep(100);
    }
    EXPECT_EQ(CountFiles(InstallDir()), files) << "no entry is written while paused";
    EXPECT_LT(files, 1500) << "the pause came before the end of the extraction";
    host.Gate().Resume();
    worker.join();
    EXPECT_EQ(outcome.extractResult, 0);
    EXPECT_EQ(CompareWithManifest(InstallDir(), "many.manifest"), std::vector<std::string>{});
}

TEST_F(PipelineTest, WorkerCreatedPausedWaitsForTheGate) {
    Serve("package.zip");
    TestHost host(true);
    InstallOutcome outcome;
    std::thread worker([&] { outcome = RunInstall(Run(host)); });
    Sleep(500);
    EXPECT_EQ(ServerLog().size(), 0u) << "nothing may start before the user continues";
    EXPECT_TRUE(host.Events().empty());
    host.Gate().Resume();
    worker.join();
    EXPECT_EQ(outcome.extractResult, 0);
}

TEST(UrlEncodeUtf8, AnsiTextOfTheSystemCodePage) {
    ASSERT_EQ(GetACP(), 936u) << "the suite runs in the users' code page";
    EXPECT_EQ(UrlEncodeUtf8(WideToAnsi(L"D:\\My Games\\安装\\|1792")), "D%3A%5CMy+Games%5C%E5%AE%89%E8%A3%85%5C%7C1792");
    // The longest install folder: 260 Chinese characters, nine bytes each once encoded.
    const std::wstring longest(260, L'中');
    const std::string encoded = UrlEncodeUtf8(WideToAnsi(longest));
    EXPECT_EQ(encoded.size(), 260u * 9);
    EXPECT_EQ(encoded.substr(0, 9), "%E4%B8%AD");
}
