#include "ui/DownloadWindow.h"

#include <shellapi.h>

#include "app/AnsiTexts.h"
#include "app/BuildConfig.h"
#include "app/ProcessGlobals.h"
#include "app/Startup.h"
#include "app/TextConv.h"
#include "banner/BannerThread.h"
#include "resource_ids.h"
#include "skin/SkinButton.h"
#include "skin/SkinLabel.h"
#include "ui/ErrorDialog.h"
#include "ui/FolderText.h"
#include "ui/ProgressView.h"
#include "ui/InstallFolder.h"
#include "ui/TipsBalloon.h"
#include "ui/Tips.h"

namespace {

constexpr uint32_t kGrey = 0xFEC8C8C8;
constexpr uint32_t kWhite = 0xFEFFFFFF;
constexpr wchar_t kEditionText[] = L"简装版 2.1";
constexpr RECT kBannerArea{2, 37, 597, 211};

SkinLabel* Label(SkinElement* parent, const RECT& rect, const wchar_t* text, const LabelStyle& style,
                 bool enabled = true) {
    auto* label = new SkinLabel(rect, parent, style);
    if (text) label->SetLabelText(text);
    // A disabled label lets the mouse through to what lies below it.
    if (!enabled) label->SetEnabled(0);
    return label;
}

}  // namespace

DownloadWindow::DownloadWindow(uint32_t maxDownloadAttempts)
    : SkinWindow(0, 0, ImageResource(1101), kMainWindowClass, nullptr, 0, WS_POPUP, 0),
      maxDownloadAttempts_(maxDownloadAttempts) {
    RunStartupConfiguration();
    debugLog_.Open();
    CenterWindow();
    SetVisible(SW_SHOWNORMAL);
    // The taskbar's text, in the users' code page as it has always been.
    SetWindowTextA(Handle(), kTextWindowTitle);

    HINSTANCE module = GetModuleHandleW(nullptr);
    menuBar_ = LoadMenuW(module, MAKEINTRESOURCEW(IDM_TRAY));
    HICON icon = LoadIconW(module, MAKEINTRESOURCEW(IDI_APP));
    trayIcon_.Create(Handle(), icon, menuBar_ ? GetSubMenu(menuBar_, 0) : nullptr, WideToAnsi(kBrandName), true,
                     WM_LBUTTONUP, WM_RBUTTONUP);

    BuildBackground();
    banner_ = std::make_unique<BannerThread>(*this, kBannerArea, Config().bannerUrl);
    BuildControls();

    SkinWindow::StartTimer(TIMER_TIPS, 8000);
    RECT client{};
    GetClientRect(Handle(), &client);
    errorDialog_ = std::make_unique<ErrorDialog>(client, Handle());
}

DownloadWindow::~DownloadWindow() {
    // A worker that is still running would report into a window that is gone; the process
    // ends here instead, as it does on every other way out.
    if (WorkerRunning()) TerminateProcess(GetCurrentProcess(), 0);
    // The browser's window is a child of ours that lives on the banner thread: a banner
    // thread that does not come back in time (a script dialog, say) would hang the window's
    // destruction, so the process ends instead.
    if (banner_ && !banner_->End()) TerminateProcess(GetCurrentProcess(), 0);
    banner_.reset();
    if (menuBar_) DestroyMenu(menuBar_);
}

void DownloadWindow::BuildBackground() {
    new SkinElement(1, 1, ImageResource(1102), this);
    new SkinElement(1, 1, ImageResource(1103), this);  // taller than the window: cut off
    new SkinElement(30, 250, ImageResource(1111), this);
    parts_.titleBar = new SkinElement(0, 0, ImageResource(1106), this);
    parts_.progressFill = new SkinElement(RECT{kBarLeft, kBarTop, kBarLeft, kBarBottom}, ImageResource(1113), this);
    parts_.runner = new SkinElement(RECT{11, 237, 461, 278}, ImageResource(1114), this);
    parts_.runner->SetVisible(0);
    parts_.runner->SetFrameGrid(18, 1);
}

void DownloadWindow::BuildControls() {
    parts_.closeButton = new SkinButton(565, 1, ImageResource(1107), this, BUTTON_CLOSE);
    parts_.minimiseButton = new SkinButton(530, 1, ImageResource(1108), this, BUTTON_MINIMISE);
    parts_.folderButton = new SkinButton(543, 225, ImageResource(1112), this, BUTTON_FOLDER);
    parts_.mainButton = new SkinButton(425, 275, ImageResource(1110), this, BUTTON_INSTALL);
    new SkinElement(91, 326, ImageResource(1115), this);

    parts_.versionText = Label(this, {105, 13, 500, 35}, kEditionText, {L"新宋体", 9, kGrey});
    parts_.pathText = Label(this, {30, 225, 400, 250}, nullptr, {L"新宋体", 9, kWhite});
    SetInstallBase(DefaultInstallBase());
    parts_.sizeText = Label(this, {30, 280, 400, 305}, nullptr, {L"新宋体", 9, kGrey}, false);
    parts_.speedText = Label(this, {240, 280, 650, 305}, nullptr, {L"新宋体", 9, kGrey}, false);
    parts_.mainButtonCaption =
        Label(parts_.mainButton, {44, 14, 200, 36}, L"点击安装", {L"微软雅黑", 10, kWhite}, false);
    parts_.percentText = Label(this, {280, 253, 430, 278}, nullptr, {L"新宋体", 9, kGrey});
    Label(this, {130, 329, 300, 360}, L"新手提示：", {L"新宋体", 9, 0xFEFFB23E}, false);
    parts_.tipText = Label(this, {190, 329, 600, 360}, TIP_TABLE[0], {L"新宋体", 9, 0x50FFFFFF}, false);
}

void DownloadWindow::SetInstallBase(const std::wstring& base) {
    installBaseDir_ = base;
    parts_.pathText->SetLabelText(PathLabelText(InstallDir()));
}

bool DownloadWindow::WorkerRunning() const {
    return workerThread_ && WaitForSingleObject(workerThread_.Get(), 0) == WAIT_TIMEOUT;
}

std::wstring DownloadWindow::InstallDir() const { return InstallDirFor(installBaseDir_); }

void DownloadWindow::StartTimer(UINT id, UINT milliseconds) { SkinWindow::StartTimer(id, milliseconds); }

void DownloadWindow::StopTimer(UINT id) { SkinWindow::StopTimer(id); }

void DownloadWindow::SetLabel(WorkerLabel label, const std::wstring& text) {
    switch (label) {
    case WorkerLabel::Size:
        parts_.sizeText->SetLabelText(text);
        break;
    case WorkerLabel::Percent:
        parts_.percentText->SetLabelText(text);
        break;
    case WorkerLabel::MainButtonCaption:
        parts_.mainButtonCaption->SetLabelText(text);
        break;
    }
}

void DownloadWindow::HideRunner() { parts_.runner->SetVisible(0); }

void DownloadWindow::PostWake() {
    // Behind the texts the worker has set, so the wake's handler sees them.
    PostInOrder(WakeMessage, 0, 0);
}

void DownloadWindow::ShowFailure(int kind) {
    RunOnWindowThread([this, kind] {
        lastFailureKind_ = kind;
        errorDialog_->ShowFailure(kind);
    });
}

void DownloadWindow::StartExistingLobbyAndEnd(const std::string& lobbyPathAnsi) {
    ShellExecuteA(nullptr, "open", lobbyPathAnsi.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    EndProcessNow();
}

int DownloadWindow::IsDragArea(RECT* area, SkinElement* element) {
    if (!element || (element != parts_.titleBar && element != parts_.versionText) || !Handle()) return 0;
    GetClientRect(Handle(), area);
    return 1;
}

int DownloadWindow::CanClose() { EndProcessNow(); }

void DownloadWindow::EndProcessNow() {
    TerminateProcess(GetCurrentProcess(), 0);
    ExitProcess(0);
}
