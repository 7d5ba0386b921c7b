// Input routing on real windows driven by real mouse messages: the button's state machine,
// capture, focus, hover changes when elements vanish, the wheel, captions, and dragging a
// window by its drag area with real input.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "SkinTestSupport.h"
#include "skin/SkinButton.h"
#include "skin/SkinLabel.h"

namespace {

constexpr int kButton = 1;
constexpr int kOtherButton = 2;
const POINT kOn{50, 36};        // over the button (20, 20)-(109, 52)
const POINT kOnOther{170, 36};  // over the other button (140, 20)-(229, 52)
const POINT kOff{200, 150};     // over the window's background

class InputTest : public ::testing::Test {
protected:
    void SetUp() override { Fresh(); }

    void Fresh() {
        window_.reset();
        // Away from where the other test programs put their windows.
        window_ = std::make_unique<RecordingWindow>(
            RECT{700, 420, 1000, 620}, kNoImage, UniqueClassName(L"Input").c_str(), nullptr, 0, WS_POPUP, CS_DBLCLKS);
        button_ = new SkinButton(20, 20, ImageResource(1118), window_.get(), kButton);
        other_ = new SkinButton(140, 20, ImageResource(1119), window_.get(), kOtherButton);
        ShowQuietly(*window_);
        ParkCursor(window_->Handle(), kOff.x, kOff.y);
        window_->events.clear();
    }

    HWND Handle() const { return window_->Handle(); }
    void Send(UINT message, POINT at, WPARAM keys = 0) { PostMouse(Handle(), message, at.x, at.y, keys); }
    int Frame(const SkinButton* button) const { return button->GetFrame().col; }
    int Clicks(int32_t code, int id) const {
        int count = 0;
        for (const auto& record : window_->events) count += record.code == code && record.senderId == id ? 1 : 0;
        return count;
    }

    std::unique_ptr<RecordingWindow> window_;
    SkinButton* button_ = nullptr;
    SkinButton* other_ = nullptr;
};

struct Step {
    UINT message;
    POINT at;
};

struct Row {
    const char* name;
    std::vector<Step> steps;
    int frame;
    int hover;
    int pressed;
    int clicks;
    int rightClicks;
};

}  // namespace

TEST_F(InputTest, ButtonStateMachine) {
    const Row rows[] = {
        {"enter", {{WM_MOUSEMOVE, kOn}}, 1, 1, 0, 0, 0},
        {"leave", {{WM_MOUSEMOVE, kOn}, {WM_MOUSEMOVE, kOff}}, 0, 0, 0, 0, 0},
        {"leave the window", {{WM_MOUSEMOVE, kOn}, {WM_MOUSELEAVE, kOn}}, 0, 0, 0, 0, 0},
        {"press", {{WM_MOUSEMOVE, kOn}, {WM_LBUTTONDOWN, kOn}}, 2, 1, 1, 0, 0},
        {"release inside", {{WM_MOUSEMOVE, kOn}, {WM_LBUTTONDOWN, kOn}, {WM_LBUTTONUP, kOn}}, 1, 1, 0, 1, 0},
        {"release outside",
         {{WM_MOUSEMOVE, kOn}, {WM_LBUTTONDOWN, kOn}, {WM_MOUSEMOVE, kOff}, {WM_LBUTTONUP, kOff}},
         0,
         0,
         0,
         0,
         0},
        {"back in while held",
         {{WM_MOUSEMOVE, kOn}, {WM_LBUTTONDOWN, kOn}, {WM_MOUSEMOVE, kOff}, {WM_MOUSEMOVE, kOn}},
         2,
         1,
         1,
         0,
         0},
        {"out and back, release",
         {{WM_MOUSEMOVE, kOn}, {WM_LBUTTONDOWN, kOn}, {WM_MOUSEMOVE, kOff}, {WM_MOUSEMOVE, kOn}, {WM_LBUTTONUP, kOn}},
         1,
         1,
         0,
         1,
         0},
        {"released over another button",
         {{WM_MOUSEMOVE, kOn}, {WM_LBUTTONDOWN, kOn}, {WM_MOUSEMOVE, kOnOther}, {WM_LBUTTONUP, kOnOther}},
         0,
         0,
         0,
         0,
         0},
        {"right click", {{WM_MOUSEMOVE, kOn}, {WM_RBUTTONDOWN, kOn}, {WM_RBUTTONUP, kOn}}, 1, 1, 0, 0, 1},
        {"double click",
         {{WM_MOUSEMOVE, kOn},
          {WM_LBUTTONDOWN, kOn},
          {WM_LBUTTONUP, kOn},
          {WM_LBUTTONDBLCLK, kOn},
          {WM_LBUTTONUP, kOn}},
         1,
         1,
         0,
         2,
         0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Fresh();
        for (const Step& step : row.steps) Send(step.message, step.at, step.message == WM_LBUTTONDOWN ? MK_LBUTTON : 0);
        EXPECT_EQ(Frame(button_), row.frame);
        EXPECT_EQ(button_->IsHovered(), row.hover);
        EXPECT_EQ(button_->IsPressed(), row.pressed);
        EXPECT_EQ(Clicks(EVENT_BUTTON_CLICK, kButton), row.clicks);
        EXPECT_EQ(Clicks(EVENT_BUTTON_RCLICK, kButton), row.rightClicks);
        EXPECT_EQ(Clicks(EVENT_BUTTON_CLICK, kOtherButton), 0) << "a release never clicks what was not pressed";
        EXPECT_EQ(Frame(other_), row.steps.back().at.x == kOnOther.x ? 1 : 0);
    }
}

TEST_F(InputTest, PressCapturesTheMouseForThePressedElement) {
    Send(WM_MOUSEMOVE, kOn);
    Send(WM_LBUTTONDOWN, kOn, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), Handle());
    EXPECT_EQ(window_->CapturedElement(), button_);
    EXPECT_EQ(window_->FocusElement(), button_);
    EXPECT_EQ(Clicks(EVENT_FOCUS_GAINED, kButton), 1);
    Send(WM_MOUSEMOVE, kOnOther);
    EXPECT_EQ(Clicks(EVENT_MOUSE_MOVE, kButton), 1) << "moves go to the captured button";
    Send(WM_LBUTTONUP, kOnOther);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(window_->CapturedElement(), nullptr);
    EXPECT_EQ(Clicks(EVENT_LBUTTON_UP, kButton), 1) << "the release goes to the pressed button";
    EXPECT_EQ(Clicks(EVENT_LBUTTON_UP, kOtherButton), 0);

    Send(WM_LBUTTONDOWN, kOnOther, MK_LBUTTON);
    EXPECT_EQ(Clicks(EVENT_FOCUS_LOST, kButton), 1);
    EXPECT_EQ(window_->FocusElement(), other_);
}

TEST_F(InputTest, MovesGoToTheWindowUntilTheFirstRelease) {
    Send(WM_MOUSEMOVE, kOn);
    Send(WM_MOUSEMOVE, {kOn.x + 2, kOn.y});
    EXPECT_EQ(Clicks(EVENT_MOUSE_ENTER, kButton), 1);
    EXPECT_EQ(Clicks(EVENT_MOUSE_MOVE, kButton), 0);
    Send(WM_LBUTTONDOWN, kOn, MK_LBUTTON);
    Send(WM_LBUTTONUP, kOn);
    Send(WM_MOUSEMOVE, {kOn.x + 4, kOn.y});
    EXPECT_EQ(Clicks(EVENT_MOUSE_MOVE, kButton), 1);
}

TEST_F(InputTest, DisablingAHoveredButtonShowsItDisabledAndPassesTheMouseOn) {
    Send(WM_MOUSEMOVE, kOn);
    ASSERT_EQ(Frame(button_), 1);
    button_->SetEnabled(0);
    EXPECT_EQ(Frame(button_), 3);
    EXPECT_EQ(button_->IsHovered(), 0);
    PumpUntilIdle();
    EXPECT_EQ(window_->HoveredElement(), window_.get()) << "the next move finds the parent";
    EXPECT_EQ(Clicks(EVENT_MOUSE_LEAVE, kButton), 0) << "no leave reaches the disabled button";
    Send(WM_LBUTTONDOWN, kOn, MK_LBUTTON);
    Send(WM_LBUTTONUP, kOn);
    EXPECT_EQ(Clicks(EVENT_BUTTON_CLICK, kButton), 0);
    EXPECT_EQ(Frame(button_), 3);

    button_->SetEnabled(1);
    EXPECT_EQ(Frame(button_), 0);
    // A disabled button stays disabled-looking when hidden and shown again.
    button_->SetEnabled(0);
    button_->SetVisible(0);
    button_->SetVisible(1);
    EXPECT_EQ(Frame(button_), 3);
}

TEST_F(InputTest, HidingAPressedButtonForgetsItsState) {
    Send(WM_MOUSEMOVE, kOn);
    Send(WM_LBUTTONDOWN, kOn, MK_LBUTTON);
    button_->SetVisible(0);
    EXPECT_EQ(GetCapture(), nullptr) << "the capture went with it";
    EXPECT_EQ(window_->CapturedElement(), nullptr);
    EXPECT_EQ(window_->FocusElement(), nullptr);
    button_->SetVisible(1);
    EXPECT_EQ(Frame(button_), 0);
    EXPECT_EQ(button_->IsHovered(), 0);
    EXPECT_EQ(button_->IsPressed(), 0);
    Send(WM_LBUTTONUP, kOn);
    EXPECT_EQ(Clicks(EVENT_BUTTON_CLICK, kButton), 0);
}

TEST_F(InputTest, HidingAGroupDropsItsPressedMember) {
    auto* group = new SkinElement(RECT{0, 100, 200, 180}, kNoImage, window_.get());
    auto* member = new SkinButton(10, 10, ImageResource(1118), group, 6);
    Send(WM_MOUSEMOVE, {30, 120});
    Send(WM_LBUTTONDOWN, {30, 120}, MK_LBUTTON);
    ASSERT_EQ(window_->CapturedElement(), member);
    group->SetVisible(0);
    EXPECT_EQ(window_->CapturedElement(), nullptr);
    EXPECT_EQ(window_->FocusElement(), nullptr);
    EXPECT_NE(window_->HoveredElement(), member);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(member->GetFrame().col, 0) << "the group's members start again from frame 0";
}

TEST_F(InputTest, HidingTheHoveredElementHandsTheHoverToTheOneBelow) {
    auto* cover = new SkinButton(20, 20, ImageResource(1118), window_.get(), 9);
    ParkCursor(Handle(), kOn.x, kOn.y);  // where the hover is looked for again
    window_->events.clear();
    Send(WM_MOUSEMOVE, kOn);
    ASSERT_EQ(window_->HoveredElement(), cover);
    cover->SetVisible(0);
    PumpUntilIdle();
    EXPECT_EQ(window_->HoveredElement(), button_);
    EXPECT_EQ(Clicks(EVENT_MOUSE_ENTER, kButton), 1);
    EXPECT_EQ(Frame(button_), 1);
}

TEST_F(InputTest, DeletedElementsLeaveNoReferenceBehind) {
    Send(WM_MOUSEMOVE, kOn);
    Send(WM_LBUTTONDOWN, kOn, MK_LBUTTON);
    button_->DeleteLater();
    button_->DeleteLater();  // asked twice, deleted once
    PumpUntilIdle();
    EXPECT_EQ(window_->Children().size(), 1u);
    EXPECT_NE(window_->HoveredElement(), button_);
    EXPECT_EQ(window_->CapturedElement(), nullptr);
    EXPECT_EQ(window_->FocusElement(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    Send(WM_MOUSEMOVE, kOn);
    Send(WM_LBUTTONUP, kOn);
    Send(WM_MOUSEMOVE, kOnOther);
    Send(WM_LBUTTONDOWN, kOnOther, MK_LBUTTON);
    Send(WM_LBUTTONUP, kOnOther);
    EXPECT_EQ(Clicks(EVENT_BUTTON_CLICK, kOtherButton), 1);

    // A subtree deleted with its parent before the loop deletes it is not deleted twice.
    auto* group = new SkinElement(RECT{0, 100, 100, 150}, kNoImage, window_.get());
    auto* member = new SkinButton(10, 10, ImageResource(1118), group, 7);
    member->DeleteLater();
    delete group;
    PumpUntilIdle();
    EXPECT_EQ(window_->Children().size(), 1u);
}

TEST_F(InputTest, WheelReachesTheHoveredElementThenAMoveFollows) {
    Send(WM_MOUSEMOVE, kOn);
    const size_t before = window_->events.size();
    POINT screen = kOn;
    ClientToScreen(Handle(), &screen);
    PostMessageW(Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    PumpUntilIdle();
    ASSERT_GE(window_->events.size(), before + 1);
    EXPECT_EQ(window_->events[before].code, EVENT_MOUSE_WHEEL);
    EXPECT_EQ(window_->events[before].senderId, kButton);
    EXPECT_EQ(Clicks(EVENT_MOUSE_MOVE, kButton), 0) << "moves still go to the window before the first release";
    EXPECT_EQ(window_->HoveredElement(), button_);
}

TEST_F(InputTest, CaptionLabelPassesClicksToItsButton) {
    auto* caption = new SkinLabel(RECT{5, 5, 80, 28}, button_, LabelStyle{L"微软雅黑", 10, 0xFEFFFFFF});
    caption->SetLabelText(L"点击安装");
    caption->SetEnabled(0);
    Send(WM_MOUSEMOVE, {30, 30});
    Send(WM_LBUTTONDOWN, {30, 30}, MK_LBUTTON);
    Send(WM_LBUTTONUP, {30, 30});
    EXPECT_EQ(Clicks(EVENT_BUTTON_CLICK, kButton), 1);
    EXPECT_EQ(Frame(button_), 1);
    EXPECT_STREQ(caption->GetLabelText(), L"点击安装");
}

TEST_F(InputTest, PressOnTheDragAreaMovesTheWindowWithRealInput) {
    auto* title = new SkinElement(RECT{0, 0, 300, 15}, kNoImage, window_.get(), 5);
    title->EnableEvents(1, 0);
    window_->dragAreaFor = 5;
    RECT before{};
    GetWindowRect(Handle(), &before);
    ParkCursor(Handle(), 150, 8);

    // Real input from another thread, while this one runs the system's move loop.
    std::atomic<bool> released{false};
    std::thread mouse([&] {
        auto send = [](DWORD flags, int x, int y) {
            INPUT input{};
            input.type = INPUT_MOUSE;
            input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
            input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
            input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
            SendInput(1, &input, sizeof input);
            Sleep(60);
        };
        const int x = before.left + 150;
        const int y = before.top + 8;
        send(0, x, y);
        send(MOUSEEVENTF_LEFTDOWN, x, y);
        for (int step = 1; step <= 6; ++step) send(0, x + step * 5, y + step * 4);
        send(MOUSEEVENTF_LEFTUP, x + 30, y + 24);
        released = true;
    });
    const ULONGLONG end = GetTickCount64() + 10000;
    while (!released && GetTickCount64() < end) PumpFor(20);
    mouse.join();
    PumpUntilIdle();
    RECT after{};
    GetWindowRect(Handle(), &after);
    EXPECT_EQ(after.left - before.left, 30);
    EXPECT_EQ(after.top - before.top, 24);
    EXPECT_EQ(window_->Count(EVENT_LBUTTON_DOWN), 0) << "the element under the press sees nothing";
    EXPECT_EQ(window_->FocusElement(), window_.get()) << "and the focus stays";
}
