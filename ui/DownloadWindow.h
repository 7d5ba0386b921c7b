#pragma once
// The main window: the installer as the user sees it. It builds its whole layout, walks the
// install through its phases with its one main button (install, pause, continue, start the
// lobby), and is the host the install worker reports to. Its satellites are the failure
// dialog, the balloon beside the new desktop icon and the notification-area icon.
//
// Construction, layout and the worker's interface are in DownloadWindow.cpp; clicks and
// messages in DownloadWindowCommands.cpp; the timers in DownloadWindowTimers.cpp.

#include <windows.h>

#include <memory>
#include <string>

#include "app/InstallHost.h"
#include "app/InstallWorker.h"
#include "app/PauseGate.h"
#include "app/UniqueHandle.h"
#include "diag/DebugLog.h"
#include "skin/SkinWindow.h"
#include "ui/TrayIcon.h"

class BannerThread;
class ErrorDialog;
class SkinButton;
class SkinLabel;
class TipsBalloon;

inline constexpr wchar_t kMainWindowClass[] = L"DownloadWindow";

inline constexpr int BUTTON_INSTALL = 901;
inline constexpr int BUTTON_CLOSE = 902;
inline constexpr int BUTTON_MINIMISE = 903;
inline constexpr int BUTTON_FOLDER = 905;

// The elements the window changes after construction.
struct DownloadWindowParts {
    SkinLabel* versionText = nullptr;
    SkinElement* titleBar = nullptr;
    SkinElement* runner = nullptr;
    SkinElement* progressFill = nullptr;
    SkinLabel* pathText = nullptr;
    SkinLabel* sizeText = nullptr;
    SkinLabel* speedText = nullptr;
    SkinLabel* percentText = nullptr;
    SkinLabel* tipText = nullptr;
    SkinButton* mainButton = nullptr;
    SkinLabel* mainButtonCaption = nullptr;
    SkinButton* folderButton = nullptr;
    SkinButton* closeButton = nullptr;
    SkinButton* minimiseButton = nullptr;
};

// What came of a folder the user chose.
enum class FolderChoiceResult { Accepted, TooLittleSpace };

class DownloadWindow : public SkinWindow, public InstallHost {
public:
    // Builds and shows the window; runs the start-up steps that need it. Support tools and
    // tests may give each worker fewer download attempts.
    explicit DownloadWindow(uint32_t maxDownloadAttempts = MAX_DOWNLOAD_ATTEMPTS);
    ~DownloadWindow() override;

    // InstallHost: called by the worker on its own thread.
    ProgressCounters& Progress() override { return progress_; }
    PauseGate& Gate() override { return gate_; }
    void StartTimer(UINT id, UINT milliseconds) override;
    void StopTimer(UINT id) override;
    void SetLabel(WorkerLabel label, const std::wstring& text) override;
    void HideRunner() override;
    void PostWake() override;
    void ShowFailure(int kind) override;
    [[noreturn]] void StartExistingLobbyAndEnd(const std::string& lobbyPathAnsi) override;

    // SkinWindow
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnEvent(const SkinEvent& event, SkinElement* sender) override;
    int IsDragArea(RECT* area, SkinElement* element) override;
    // Ends the process at once with exit code 0, in any phase.
    int CanClose() override;
    void OnTimer(UINT_PTR id) override;

    // What the folder button does with the folder the dialog returned.
    FolderChoiceResult ApplyChosenFolder(const std::wstring& folder);

    const DownloadWindowParts& Parts() const { return parts_; }
    ErrorDialog* FailureDialog() const { return errorDialog_.get(); }
    TipsBalloon* Balloon() const { return tipsBalloon_.get(); }
    const TrayIcon& Tray() const { return trayIcon_; }
    const std::wstring& InstallBaseDir() const { return installBaseDir_; }
    // The install folder: the path label's text after its prefix.
    std::wstring InstallDir() const;
    int TipIndex() const { return tipIndex_; }
    bool WorkerRunning() const;

private:
    void BuildBackground();
    void BuildControls();
    void SetInstallBase(const std::wstring& base);

    // Commands (DownloadWindowCommands.cpp).
    void OnMainButton();
    void OnWake();
    void OnFailureRetry();
    void OnFailureOk();
    void ChooseFolder();
    void SetCaption(const wchar_t* text);
    // Starts a worker once the previous one has ended (bounded); false when it could not.
    bool StartWorker(bool paused);
    [[noreturn]] void StartLobbyAndEnd();
    [[noreturn]] static void EndProcessNow();
    void ShowBalloon(HWND listView, const RECT& iconRect);

    // Timers (DownloadWindowTimers.cpp).
    void ShowProgress();
    void NextRunnerFrame();
    void NextTip();
    void LocateIcon();

    uint32_t maxDownloadAttempts_;
    DownloadWindowParts parts_;
    ProgressCounters progress_;
    PauseGate gate_;
    UniqueKernelHandle workerThread_;
    std::wstring installBaseDir_;
    int tipIndex_ = 0;
    int lastFailureKind_ = 0;
    DebugLog debugLog_;
    HMENU menuBar_ = nullptr;
    // The balloon request the locate-icon tick sends; the message carries its address.
    struct BalloonRequest {
        HWND listView = nullptr;
        RECT iconRect{};
    } balloonRequest_;
    bool balloonRequestOpen_ = false;
    std::unique_ptr<BannerThread> banner_;
    std::unique_ptr<ErrorDialog> errorDialog_;
    std::unique_ptr<TipsBalloon> tipsBalloon_;
    // Declared last: destroyed first, so the icon leaves the notification area and the
    // subclass is removed while the window still exists.
    TrayIcon trayIcon_;
};
