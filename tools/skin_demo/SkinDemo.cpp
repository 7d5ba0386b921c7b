// A window of the skinned UI framework, laid out like the installer's main window: the
// artwork, the window's buttons, labels in the CJK font, and the progress bar with the
// runner animating along it. It downloads nothing; a timer plays a download.
//
//   skin-demo.exe [--dialog] [--progress FRACTION] [--seconds N]
//
// --dialog also opens the layered failure panel over the window; --progress sets where
// the bar starts (0 to 1, default 0.37); --seconds ends the demo after N seconds. The
// close button ends it too; the main button pauses and continues.

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>

#include "skin/MessageLoop.h"
#include "skin/SkinButton.h"
#include "skin/SkinLabel.h"
#include "skin/SkinWindow.h"

namespace {

constexpr UINT_PTR kTimerProgress = 99;
constexpr UINT_PTR kTimerRunner = 112;
constexpr UINT_PTR kTimerEnd = 120;
constexpr int kButtonMain = 901;
constexpr int kButtonClose = 902;
constexpr int kButtonMinimise = 903;
constexpr int kButtonFolder = 905;
constexpr int kButtonOk = 1002;
constexpr int kButtonRetry = 1003;
constexpr double kPackageMiB = 386.4;

constexpr uint32_t kGrey = 0xFEC8C8C8;
constexpr uint32_t kWhite = 0xFEFFFFFF;

// The failure panel: a layered window that is transparent but for its panel and buttons.
class DemoDialog : public SkinWindow {
public:
    DemoDialog(const RECT& rect, HWND owner)
        : SkinWindow(rect, kNoImage, L"SkinDemoDialog", owner, WS_EX_LAYERED, WS_POPUP,
                     CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS) {
        panel_ = new SkinElement(80, 60, ImageResource(1117), this);
        new SkinButton(425, 205, ImageResource(1118), this, kButtonOk);
        new SkinButton(330, 205, ImageResource(1119), this, kButtonRetry);
        Text({102, 100, 300, 360}, L"下载失败：", {L"微软雅黑", 12, 0xFEFF0000});
        Text({105, 125, 500, 360}, L"以下问题可能是造成您下载失败的主要原因：", {L"微软雅黑", 10, 0xFEE6E6E6});
        Text({105, 150, 500, 360},
             L"1.网络不稳定造成。\n2.安全软件或防火墙阻挡了本次下载。\n3.检查客户端下载器是否是最新版本。",
             {L"微软雅黑", 9, 0xFEB4B4B4});
        CenterWindow();
    }

    int OnEvent(const SkinEvent& event, SkinElement*) override {
        if (event.code == EVENT_BUTTON_CLICK) SetVisible(SW_HIDE);
        return 0;
    }
    int IsDragArea(RECT* area, SkinElement* element) override {
        if (element != panel_) return 0;
        GetClientRect(Handle(), area);
        return 1;
    }

private:
    void Text(const RECT& rect, const wchar_t* text, const LabelStyle& style) {
        auto* label = new SkinLabel(rect, this, style);
        label->SetLabelText(text);
        label->SetEnabled(0);
    }

    SkinElement* panel_ = nullptr;
};

class DemoWindow : public SkinWindow {
public:
    explicit DemoWindow(double progress)
        : SkinWindow(0, 0, ImageResource(1101), L"SkinDemoWindow", nullptr, 0, WS_POPUP, 0), progress_(progress) {
        CenterWindow();
        SetVisible(SW_SHOWNORMAL);
        SetWindowTextW(Handle(), L"Halvane 皮肤演示");

        new SkinElement(1, 1, ImageResource(1102), this);
        new SkinElement(1, 1, ImageResource(1103), this);
        new SkinElement(30, 250, ImageResource(1111), this);
        title_ = new SkinElement(0, 0, ImageResource(1106), this);
        fill_ = new SkinElement(RECT{31, 252, 31, 266}, ImageResource(1113), this);
        runner_ = new SkinElement(RECT{11, 237, 461, 278}, ImageResource(1114), this);
        runner_->SetFrameGrid(18, 1);
        Banner();

        new SkinButton(565, 1, ImageResource(1107), this, kButtonClose);
        new SkinButton(530, 1, ImageResource(1108), this, kButtonMinimise);
        new SkinButton(543, 225, ImageResource(1112), this, kButtonFolder);
        mainButton_ = new SkinButton(425, 275, ImageResource(1110), this, kButtonMain);
        new SkinElement(91, 326, ImageResource(1115), this);

        version_ = Label({105, 13, 500, 35}, L"简装版 2.1", {L"新宋体", 9, kGrey}, this);
        Label({30, 225, 400, 250}, L"安装路径：D:\\Program Files\\Halvane\\", {L"新宋体", 9, kWhite}, this);
        size_ = Label({30, 280, 400, 305}, nullptr, {L"新宋体", 9, kGrey}, this);
        speed_ = Label({240, 280, 650, 305}, nullptr, {L"新宋体", 9, kGrey}, this);
        caption_ = Label({44, 14, 200, 36}, L"暂停安装", {L"微软雅黑", 10, kWhite}, mainButton_);
        percent_ = Label({280, 253, 430, 278}, nullptr, {L"新宋体", 9, kGrey}, this);
        Label({130, 329, 300, 360}, L"新手提示：", {L"新宋体", 9, 0xFEFFB23E}, this);
        Label({190, 329, 600, 360}, L"玩游戏赠送奖品券，奖品券可免费兑换实物奖励。", {L"新宋体", 9, 0x50FFFFFF}, this);
        for (SkinLabel* disabled : {size_, speed_, caption_}) disabled->SetEnabled(0);

        Resume();
        ShowProgress();
    }

    int OnEvent(const SkinEvent& event, SkinElement* sender) override {
        if (event.code != EVENT_BUTTON_CLICK || !sender) return 0;
        switch (sender->GetId()) {
        case kButtonClose:
            PostQuitMessage(0);
            break;
        case kButtonMinimise:
            ShowWindow(Handle(), SW_MINIMIZE);
            break;
        case kButtonMain:
            running_ ? Pause() : Resume();
            break;
        default:
            break;
        }
        return 0;
    }

    int IsDragArea(RECT* area, SkinElement* element) override {
        if (element != title_ && element != version_) return 0;
        GetClientRect(Handle(), area);
        return 1;
    }

    void OnTimer(UINT_PTR id) override {
        if (id == kTimerRunner) {
            // Frame 0 is the stance the runner starts from; the stride is frames 1 to 17.
            FrameIndex frame = runner_->GetFrame();
            runner_->SetFrame(frame.col + 1 >= 18 ? 1 : frame.col + 1, frame.row);
        } else if (id == kTimerProgress) {
            progress_ += 0.0025;
            if (progress_ > 1.0) progress_ = 0.0;
            ShowProgress();
        } else if (id == kTimerEnd) {
            PostQuitMessage(0);
        }
    }

private:
    static SkinLabel* Label(const RECT& rect, const wchar_t* text, const LabelStyle& style, SkinElement* parent) {
        auto* label = new SkinLabel(rect, parent, style);
        label->SetLabelText(text);
        return label;
    }

    // Where the banner page goes; without a browser control the demo shows a heading in a
    // centred string format.
    void Banner() {
        GdipFontPtr font = CreateSkinFont(L"微软雅黑", 20);
        GpStringFormat* format = nullptr;
        Gdiplus::DllExports::GdipCreateStringFormat(0, LANG_NEUTRAL, &format);
        GdipFormatPtr ownedFormat(format);
        Gdiplus::DllExports::GdipSetStringFormatAlign(format, Gdiplus::StringAlignmentCenter);
        Gdiplus::DllExports::GdipSetStringFormatLineAlign(format, Gdiplus::StringAlignmentCenter);
        GpSolidFill* brush = nullptr;
        Gdiplus::DllExports::GdipCreateSolidFill(0xF0FFFFFF, &brush);
        GdipBrushPtr ownedBrush(brush);
        auto* heading = new SkinLabel(RECT{2, 37, 597, 211}, kNoImage, this, font.get(), format, brush);
        heading->SetLabelText(L"欢迎来到 Halvane 游戏大厅\n下载完成后自动进入大厅");
        heading->SetEnabled(0);
    }

    void Resume() {
        running_ = true;
        caption_->SetLabelText(L"暂停安装");
        runner_->SetVisible(1);
        StartTimer(kTimerProgress, 100);
        StartTimer(kTimerRunner, 50);
    }

    void Pause() {
        running_ = false;
        caption_->SetLabelText(L"继续安装");
        speed_->SetLabelText(L"当前下载速度：0K/S");
        StopTimer(kTimerProgress);
        StopTimer(kTimerRunner);
    }

    void ShowProgress() {
        const int width = static_cast<int>(progress_ * 536);
        const RECT fill{31, 252, 31 + width, 266};
        fill_->SetRect(&fill, 0);
        const RECT runner{width + 11, 237, width + 36, 278};
        runner_->SetRect(&runner, 0);
        wchar_t text[64];
        std::swprintf(text, 64, L"%.02fM/%.02fM", progress_ * kPackageMiB, kPackageMiB);
        size_->SetLabelText(text);
        std::swprintf(text, 64, L"当前下载速度：%dK/S", 1800 + static_cast<int>(400 * std::sin(progress_ * 40)));
        speed_->SetLabelText(text);
        std::swprintf(text, 64, L"%d%%", static_cast<int>(progress_ * 100));
        percent_->SetLabelText(text);
    }

    double progress_;
    bool running_ = false;
    SkinElement* title_ = nullptr;
    SkinElement* fill_ = nullptr;
    SkinElement* runner_ = nullptr;
    SkinButton* mainButton_ = nullptr;
    SkinLabel* version_ = nullptr;
    SkinLabel* size_ = nullptr;
    SkinLabel* speed_ = nullptr;
    SkinLabel* caption_ = nullptr;
    SkinLabel* percent_ = nullptr;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    bool dialog = false;
    double progress = 0.37;
    int seconds = 0;
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; arguments && i < count; ++i) {
        const std::wstring argument = arguments[i];
        if (argument == L"--dialog") dialog = true;
        if (argument == L"--progress" && i + 1 < count) progress = std::wcstod(arguments[++i], nullptr);
        if (argument == L"--seconds" && i + 1 < count)
            seconds = static_cast<int>(std::wcstol(arguments[++i], nullptr, 10));
    }
    LocalFree(arguments);
    if (!(progress >= 0.0 && progress <= 1.0)) progress = 0.37;

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
        DemoWindow window(progress);
        std::unique_ptr<DemoDialog> failure;
        if (dialog) {
            RECT client{};
            GetClientRect(window.Handle(), &client);
            failure = std::make_unique<DemoDialog>(client, window.Handle());
            failure->SetVisible(SW_SHOWNORMAL);
        }
        if (seconds > 0) window.StartTimer(kTimerEnd, static_cast<UINT>(seconds) * 1000);
        RunMessageLoop();
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
