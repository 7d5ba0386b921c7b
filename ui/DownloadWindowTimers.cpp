// The main window's timers: the progress display, the runner, the tips, and the two
// one-shot timers around the balloon beside the new desktop icon.

#include "app/BuildConfig.h"
#include "app/TextConv.h"
#include "install/DesktopIconLocator.h"
#include "skin/SkinLabel.h"
#include "ui/DownloadWindow.h"
#include "ui/ProgressView.h"
#include "ui/TipsBalloon.h"
#include "ui/Tips.h"

namespace {
constexpr int kRunnerFrames = 18;
}

void DownloadWindow::OnTimer(UINT_PTR id) {
    switch (id) {
    case TIMER_PROGRESS:
        ShowProgress();
        break;
    case TIMER_RUNNER:
        NextRunnerFrame();
        break;
    case TIMER_TIPS:
        NextTip();
        break;
    case TIMER_LOCATE_ICON:
        SkinWindow::StopTimer(TIMER_LOCATE_ICON);
        LocateIcon();
        break;
    case TIMER_HIDE_BALLOON:
        SkinWindow::StopTimer(TIMER_HIDE_BALLOON);
        if (tipsBalloon_) tipsBalloon_->SetVisible(SW_HIDE);
        break;
    default:
        break;
    }
}

void DownloadWindow::ShowProgress() {
    const ProgressView view = ComputeProgressView(progress_.downloadedBytes, progress_.totalBytes,
                                                  progress_.transferMs, progress_.receivedBytes);
    parts_.sizeText->SetLabelText(view.sizeText);
    parts_.speedText->SetLabelText(view.speedText);
    // The fill image is uncovered from its left edge, not scaled.
    const RECT fill{kBarLeft, kBarTop, kBarLeft + view.fillWidth, kBarBottom};
    parts_.progressFill->SetRect(&fill, 0);
    const int runnerLeft = kBarLeft + view.fillWidth - kRunnerBehindFill;
    const RECT runner{runnerLeft, kRunnerTop, runnerLeft + kRunnerWidth, kRunnerBottom};
    parts_.runner->SetRect(&runner, 0);
    parts_.percentText->SetLabelText(view.percentText);
}

void DownloadWindow::NextRunnerFrame() {
    // Frame 0 is the stance before the first step; the stride is frames 1 to 17.
    const FrameIndex frame = parts_.runner->GetFrame();
    parts_.runner->SetFrame(frame.col + 1 >= kRunnerFrames ? 1 : frame.col + 1, frame.row);
}

void DownloadWindow::NextTip() {
    tipIndex_ = NextTipIndex(tipIndex_);
    parts_.tipText->SetLabelText(TIP_TABLE[tipIndex_]);
}

void DownloadWindow::LocateIcon() {
    const std::string label = WideToAnsi(kBrandName);
    HWND listView = nullptr;
    const RECT icon = LocateDesktopIcon(label.c_str(), &listView, debugLog_);
    if (IsRectEmpty(&icon)) {
        debugLog_.Write("IsRectEmpty() = true");
        return;
    }
    debugLog_.Write("sendmessage WM_APP+2");
    balloonRequest_ = {listView, icon};
    balloonRequestOpen_ = true;
    SendMessageW(Handle(), WM_SHOW_BALLOON, reinterpret_cast<WPARAM>(listView),
                 reinterpret_cast<LPARAM>(&balloonRequest_.iconRect));
    balloonRequestOpen_ = false;
}
