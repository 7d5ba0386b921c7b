// The main window's behaviour between construction and the end of the process: its
// buttons, the phases of the main button, the folder choice, and the messages of the
// second instance, the worker, the failure dialog and the notification icon.

#include <windows.h>
// shellapi.h and shlobj.h need windows.h first.
#include <shellapi.h>
#include <shlobj.h>

#include "BuildHosts.h"
#include "app/AnsiTexts.h"
#include "app/BuildConfig.h"
#include "app/InstallPhase.h"
#include "app/InstallRecords.h"
#include "app/InstallWorker.h"
#include "app/ProcessGlobals.h"
#include "app/TextConv.h"
#include "resource_ids.h"
#include "skin/SkinButton.h"
#include "skin/SkinLabel.h"
#include "ui/DownloadWindow.h"
#include "ui/ErrorDialog.h"
#include "ui/FolderText.h"
#include "ui/InstallFolder.h"
#include "ui/ProgressView.h"
#include "ui/TipsBalloon.h"
#include "ui/UserRights.h"

namespace {

// A worker that shows the failure dialog returns right after; one that is still running
// this long after is not waited for further.
constexpr DWORD kWorkerEndWaitMs = 5000;
// The statistics report of a finished install, sent on the worker's thread.
constexpr DWORD kReportWaitMs = 5000;

bool MovePhase(int32_t from, int32_t to) { return InstallPhase.compare_exchange_strong(from, to); }

}  // namespace

int DownloadWindow::OnEvent(const SkinEvent& event, SkinElement* sender) {
    if (event.code != EVENT_BUTTON_CLICK || !sender) return 0;
    if (sender == parts_.mainButton) {
        OnMainButton();
    } else if (sender == parts_.closeButton) {
        // The install goes on out of sight.
        trayIcon_.AddIcon();
        ShowWindow(Handle(), SW_HIDE);
    } else if (sender == parts_.minimiseButton) {
        ShowWindow(Handle(), SW_MINIMIZE);
    } else if (sender == parts_.folderButton) {
        ChooseFolder();
    }
    return 0;
}

void DownloadWindow::SetCaption(const wchar_t* text) { parts_.mainButtonCaption->SetLabelText(text); }

void DownloadWindow::OnMainButton() {
    // The worker moves the phase from 1 to 4 on its own; a click changes it only from the
    // value it saw, so a pause never lands on a finished download.
    switch (InstallPhase.load()) {
    case PhaseIdle:
        if (!MovePhase(PhaseIdle, PhaseDownloading)) return;
        SkinWindow::StartTimer(TIMER_PROGRESS, 100);
        SetCaption(L"暂停安装");
        parts_.folderButton->SetEnabled(0);
        parts_.runner->SetVisible(1);
        if (!StartWorker(false)) ShowFailure(FailureDownload);
        break;
    case PhaseDownloading:
        gate_.Pause();
        if (!MovePhase(PhaseDownloading, PhasePaused)) {
            gate_.Resume();
            return;
        }
        SkinWindow::StopTimer(TIMER_PROGRESS);
        SetCaption(L"继续安装");
        parts_.speedText->SetLabelText(kZeroSpeedText);
        SkinWindow::StopTimer(TIMER_RUNNER);
        break;
    case PhasePaused:
        if (!MovePhase(PhasePaused, PhaseDownloading)) return;
        SkinWindow::StartTimer(TIMER_PROGRESS, 100);
        SetCaption(L"暂停安装");
        gate_.Resume();
        SkinWindow::StartTimer(TIMER_RUNNER, 50);
        break;
    case PhaseInstalled:
        SkinWindow::StopTimer(TIMER_TIPS);
        StartLobbyAndEnd();
    default:
        break;  // unpacking: the button does nothing
    }
}

bool DownloadWindow::StartWorker(bool paused) {
    // Never two workers on one package file.
    if (workerThread_ && WaitForSingleObject(workerThread_.Get(), kWorkerEndWaitMs) == WAIT_TIMEOUT) return false;
    if (paused)
        gate_.Pause();
    else
        gate_.Resume();
    auto run = std::make_unique<InstallRun>();
    run->host = this;
    run->installBaseDir = installBaseDir_;
    run->installDir = InstallDir();
    run->downloadHost = Config().downloadHost;
    run->packagePath = Config().packagePath;
    run->statsHost = kStatsHost;
    run->channelId = Config().channelId;
    run->maxAttempts = maxDownloadAttempts_;
    HANDLE thread = CreateThread(nullptr, 0, InstallWorker, run.get(), 0, nullptr);
    if (!thread) return false;
    run.release();  // the worker owns it now
    workerThread_.Reset(thread);
    return true;
}

void DownloadWindow::OnFailureRetry() {
    InstallPhase = PhaseDownloading;
    SetCaption(L"暂停安装");
    // After a pause the progress timer stands still; the new download shows its progress.
    SkinWindow::StartTimer(TIMER_PROGRESS, 100);
    if (!StartWorker(false)) errorDialog_->ShowFailure(lastFailureKind_);
}

void DownloadWindow::OnFailureOk() {
    InstallPhase = PhasePaused;
    SetCaption(L"继续安装");
    // Created behind the closed gate: it begins when the main button continues it.
    if (!StartWorker(true)) errorDialog_->ShowFailure(lastFailureKind_);
}

void DownloadWindow::OnWake() {
    WriteLoginProfile(InstallDir(), Config().channelId);
    trayIcon_.RemoveIcon();
    ShowWindow(Handle(), SW_RESTORE);
    SetForegroundWindow(Handle());
    OnMainButton();
}

void DownloadWindow::StartLobbyAndEnd() {
    // The worker's last act is the statistics report of the install: let it arrive.
    if (workerThread_) WaitForSingleObject(workerThread_.Get(), kReportWaitMs);
    if (IsUserAdmin() != 1) EndProcessNow();
    const std::string lobby = WideToAnsi(InstallDir()) + "lobby.exe";
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.lpVerb = "runas";
    info.lpFile = lobby.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info)) {
        const DWORD error = GetLastError();
        if (error == ERROR_CANCELLED)
            debugLog_.Write("ShellExecuteEx dwError Do nothing!");
        else
            debugLog_.Write("ShellExecuteEx [%d]", static_cast<int>(error));
    }
    EndProcessNow();
}

void DownloadWindow::ChooseFolder() {
    wchar_t path[MAX_PATH] = {};
    BROWSEINFOW browse{};
    browse.pszDisplayName = path;
    browse.lpszTitle = L"从下面选择文件夹:";
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (!chosen) return;
    const BOOL gotPath = SHGetPathFromIDListW(chosen, path);
    CoTaskMemFree(chosen);
    if (!gotPath) path[0] = L'\0';
    if (ApplyChosenFolder(path) == FolderChoiceResult::TooLittleSpace)
        MessageBoxA(nullptr, kTextDiskFull, nullptr, MB_OK);
}

FolderChoiceResult DownloadWindow::ApplyChosenFolder(const std::wstring& folder) {
    // An unreadable volume, or an empty choice, counts as a full one.
    if (FreeSpaceMB(folder) < kMinFreeSpaceMB) return FolderChoiceResult::TooLittleSpace;
    SetInstallBase(BaseFolderForChoice(folder));
    return FolderChoiceResult::Accepted;
}

void DownloadWindow::ShowBalloon(HWND listView, const RECT& iconRect) {
    // The rectangle is in the list view's client coordinates; the desktop's list view
    // usually starts at the screen's origin, a stand-in may not.
    RECT onScreen = iconRect;
    MapWindowPoints(listView, nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
    tipsBalloon_.reset();
    tipsBalloon_ = std::make_unique<TipsBalloon>(listView, onScreen);
    ToggleDesktop();
}

LRESULT DownloadWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WakeMessage && message != 0) {
        OnWake();
    } else {
        switch (message) {
        case WM_COMMAND:
            if (wParam == MENU_CLOSE) {
                trayIcon_.RemoveIcon();
                CanClose();
            }
            break;
        case WM_SHOW_BALLOON:
            // The rectangle comes by address: only the locate-icon tick's own request is
            // taken, never an address from a message another program sent.
            if (balloonRequestOpen_ && lParam == reinterpret_cast<LPARAM>(&balloonRequest_.iconRect) &&
                reinterpret_cast<HWND>(wParam) == balloonRequest_.listView)
                ShowBalloon(balloonRequest_.listView, balloonRequest_.iconRect);
            break;
        case WM_FAILURE_RETRY:
            OnFailureRetry();
            break;
        case WM_FAILURE_OK:
            OnFailureOk();
            break;
        default:
            break;
        }
    }
    return SkinWindow::WindowProc(message, wParam, lParam);
}
