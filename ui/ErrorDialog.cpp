#include "ui/ErrorDialog.h"

#include "app/InstallHost.h"
#include "skin/SkinButton.h"
#include "skin/SkinLabel.h"

namespace {

struct FailureTexts {
    const wchar_t* title;
    const wchar_t* header;
    const wchar_t* reasons;
};

FailureTexts TextsFor(int kind) {
    switch (kind) {
    case FailureDownload:
        return {L"下载失败：", L"以下问题可能是造成您下载失败的主要原因：",
                L"1.网络不稳定造成。\n2.安全软件或防火墙阻挡了本次下载。\n3.检查客户端下载器是否是最新版本。"};
    case FailureInstall:
        return {L"安装失败：", L"以下问题可能是造成您安装失败的主要原因：",
                L"1.硬盘空间不足或被写保护。\n2.退出正在运行的游戏。\n3.防火墙阻挡导致安装失败。"};
    default:
        return {L"启动大厅失败：", L"以下问题可能是造成您启动大厅失败的主要原因：",
                L"1.系统与软件不兼容。\n2.安全软件或防火墙阻挡了本次下载与安装，导致软件缺少文件。"};
    }
}

// Disabled labels let presses through to the panel below, which drags the dialog.
SkinLabel* PanelText(SkinElement* parent, const RECT& rect, const LabelStyle& style) {
    auto* label = new SkinLabel(rect, parent, style);
    label->SetEnabled(0);
    return label;
}

}  // namespace

ErrorDialog::ErrorDialog(const RECT& area, HWND owner)
    : SkinWindow(area, kNoImage, L"ERROR_WINDOW", owner, WS_EX_LAYERED, WS_POPUP,
                 CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS),
      ownerWindow_(owner) {
    CenterWindow();
    errorPanel_ = new SkinElement(80, 60, ImageResource(1117), this);
    okButton_ = new SkinButton(425, 205, ImageResource(1118), this, BUTTON_FAILURE_OK);
    redownloadButton_ = new SkinButton(330, 205, ImageResource(1119), this, BUTTON_FAILURE_RETRY);
    failureTitle_ = PanelText(this, {102, 100, 300, 360}, {L"微软雅黑", 12, 0xFEFF0000});
    failureHeader_ = PanelText(this, {105, 125, 500, 360}, {L"微软雅黑", 10, 0xFEE6E6E6});
    failureReasons_ = PanelText(this, {105, 150, 500, 360}, {L"微软雅黑", 9, 0xFEB4B4B4});
}

void ErrorDialog::ShowFailure(int kind) {
    const FailureTexts texts = TextsFor(kind);
    failureTitle_->SetLabelText(texts.title);
    failureHeader_->SetLabelText(texts.header);
    failureReasons_->SetLabelText(texts.reasons);
    redownloadButton_->SetVisible(kind == FailureInstall ? 0 : 1);
    SetVisible(SW_SHOWNORMAL);
}

int ErrorDialog::OnEvent(const SkinEvent& event, SkinElement* sender) {
    if (event.code != EVENT_BUTTON_CLICK || !sender) return 0;
    // The owner has set its phase, caption and worker before the panel goes.
    if (sender == okButton_) {
        SendMessageW(ownerWindow_, WM_FAILURE_OK, 0, 0);
        SetVisible(SW_HIDE);
    } else if (sender == redownloadButton_) {
        SendMessageW(ownerWindow_, WM_FAILURE_RETRY, 0, 0);
        SetVisible(SW_HIDE);
    }
    return 0;
}

int ErrorDialog::IsDragArea(RECT* area, SkinElement* element) {
    if (element != errorPanel_ || !Handle()) return 0;
    GetClientRect(Handle(), area);
    return 1;
}
