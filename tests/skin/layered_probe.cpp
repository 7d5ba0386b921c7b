// A layered skinned window over a plain one, for the screenshot test: the dialog panel and
// a button on an otherwise transparent layered window, the window background below it. It
// prints "ready" once both are shown, then what the mouse reaches ("below x y" for presses
// that fall through to the lower window, "click id" for button clicks), and ends after
// 30 seconds or when its launcher ends it.

#include <windows.h>

#include <cstdio>

#include "skin/MessageLoop.h"
#include "skin/SkinButton.h"
#include "skin/SkinLabel.h"
#include "skin/SkinWindow.h"

namespace {

class Below : public SkinWindow {
public:
    using SkinWindow::SkinWindow;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_LBUTTONDOWN) {
            std::printf("below %d %d\n", LOWORD(lParam), HIWORD(lParam));
            std::fflush(stdout);
        }
        if (message == WM_TIMER && wParam == 1) PostQuitMessage(0);
        return SkinWindow::WindowProc(message, wParam, lParam);
    }
};

class Dialog : public SkinWindow {
public:
    using SkinWindow::SkinWindow;
    int OnEvent(const SkinEvent& event, SkinElement* sender) override {
        if (event.code == EVENT_BUTTON_CLICK) {
            std::printf("click %d\n", sender->GetId());
            std::fflush(stdout);
        }
        return 0;
    }
};

}  // namespace

int main() {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
        Below below(100, 100, ImageResource(1101), L"ProbeBelow", nullptr, 0, WS_POPUP, 0);
        Dialog dialog(RECT{100, 100, 700, 450}, kNoImage, L"ProbeDialog", below.Handle(), WS_EX_LAYERED, WS_POPUP,
                      CS_DBLCLKS);
        new SkinElement(80, 60, ImageResource(1117), &dialog);
        new SkinButton(425, 205, ImageResource(1118), &dialog, 1002);
        auto* title = new SkinLabel(RECT{102, 100, 300, 360}, &dialog, LabelStyle{L"微软雅黑", 12, 0xFEFF0000});
        title->SetLabelText(L"下载失败：");
        title->SetEnabled(0);
        below.SetVisible(SW_SHOWNORMAL);
        dialog.SetVisible(SW_SHOWNORMAL);
        below.StartTimer(1, 30000);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        std::printf("ready\n");
        std::fflush(stdout);
        RunMessageLoop();
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
