// The element tree in a real window: hit testing, moving subtrees, what each setter
// redraws and reports (and that a setter given the current value does nothing), and the
// frame grid.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "SkinTestSupport.h"
#include "skin/SkinButton.h"

namespace {

class CountingWindow : public RecordingWindow {
public:
    using RecordingWindow::RecordingWindow;
    int releases = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SKINELEMENT && wParam == ELEMENT_RELEASE) ++releases;
        return RecordingWindow::WindowProc(message, wParam, lParam);
    }
};

class ElementTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<CountingWindow>(RECT{20, 20, 320, 220}, kNoImage, UniqueClassName(L"Tree").c_str(),
                                                   nullptr, 0, WS_POPUP, 0);
        ShowQuietly(*window_);
    }

    // What is waiting to be repainted, emptied for the next step.
    RECT TakeUpdate() {
        RECT update{};
        GetUpdateRect(window_->Handle(), &update, FALSE);
        ValidateRect(window_->Handle(), nullptr);
        return update;
    }

    std::unique_ptr<CountingWindow> window_;
};

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT& r) {
    char text[64];
    std::snprintf(text, sizeof text, "(%ld, %ld, %ld, %ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

}  // namespace

TEST_F(ElementTest, HitTestFindsTheTopmostVisibleEnabledElement) {
    auto* lower = new SkinElement(RECT{10, 10, 110, 110}, kNoImage, window_.get(), 1);
    auto* upper = new SkinElement(RECT{50, 50, 150, 150}, kNoImage, window_.get(), 2);
    auto* inner = new SkinElement(RECT{0, 0, 20, 20}, kNoImage, upper, 3);  // at (50, 50) in the window
    EXPECT_EQ(window_->HitTest(60, 60), inner);
    EXPECT_EQ(window_->HitTest(80, 80), upper) << "the later sibling is on top";
    EXPECT_EQ(window_->HitTest(20, 20), lower);
    EXPECT_EQ(window_->HitTest(200, 180), window_.get());
    EXPECT_EQ(window_->HitTest(300, 100), nullptr) << "the right edge is not part of the window";
    EXPECT_EQ(window_->HitTest(110, 20), window_.get()) << "nor of an element";

    upper->SetEnabled(0);
    EXPECT_EQ(window_->HitTest(80, 80), lower) << "a disabled element lets the mouse through";
    EXPECT_EQ(window_->HitTest(60, 60), lower) << "with its whole subtree";
    upper->SetEnabled(1);
    upper->SetVisible(0);
    EXPECT_EQ(window_->HitTest(60, 60), lower);
    EXPECT_EQ(window_->HitTest(120, 120), window_.get());
    EXPECT_TRUE(window_->IsAncestorOf(inner));
    EXPECT_TRUE(upper->IsAncestorOf(inner));
    EXPECT_FALSE(lower->IsAncestorOf(inner));
    EXPECT_FALSE(inner->IsAncestorOf(nullptr));
}

TEST_F(ElementTest, MovingAnElementMovesItsSubtreeAndRedrawsBothPlaces) {
    auto* group = new SkinElement(RECT{10, 10, 60, 60}, kNoImage, window_.get());
    auto* child = new SkinElement(RECT{5, 5, 15, 15}, kNoImage, group);
    EXPECT_TRUE(Same(child->GetRect(), {15, 15, 25, 25}));
    TakeUpdate();

    const RECT moved{100, 50, 150, 100};
    const RECT old = group->SetRect(&moved, 1);
    EXPECT_TRUE(Same(old, {10, 10, 60, 60}));
    EXPECT_TRUE(Same(child->GetRect(), {105, 55, 115, 65})) << Text(child->GetRect());
    EXPECT_TRUE(Same(TakeUpdate(), {10, 10, 150, 100})) << "the union of the old and new places";
    EXPECT_TRUE(Same(child->SetRect(nullptr, 0), {5, 5, 15, 15})) << "relative to the parent";
    EXPECT_TRUE(Same(group->SetRect(&moved, 1), moved));
    EXPECT_TRUE(Same(TakeUpdate(), {0, 0, 0, 0})) << "the same place again redraws nothing";
}

TEST_F(ElementTest, SettersRedrawOnlyOnRealChanges) {
    auto* element = new SkinButton(40, 40, ImageResource(1118), window_.get(), 1);  // events on
    const RECT place = element->GetRect();
    TakeUpdate();
    const int releases = window_->releases;
    const size_t events = window_->events.size();

    element->SetFrame(0, 0);
    element->SetAlpha(255);
    element->SetFlip(0, 0);
    element->SetVisible(1);
    element->SetEnabled(1);
    EXPECT_TRUE(Same(TakeUpdate(), {0, 0, 0, 0}));
    EXPECT_EQ(window_->releases, releases);
    EXPECT_EQ(window_->events.size(), events);

    element->SetFrame(2, 0);
    EXPECT_TRUE(Same(TakeUpdate(), place));
    element->SetAlpha(100);
    EXPECT_TRUE(Same(TakeUpdate(), place));
    element->SetFlip(1, 0);
    EXPECT_TRUE(Same(TakeUpdate(), place));
    element->SetVisible(0);
    EXPECT_TRUE(Same(TakeUpdate(), place));
    EXPECT_EQ(window_->releases, releases + 1);
    ASSERT_EQ(window_->Count(EVENT_VISIBLE_CHANGED), 1);
    EXPECT_EQ(window_->events.back().lparam, 0);
    element->SetEnabled(0);
    EXPECT_EQ(window_->releases, releases + 2);
    EXPECT_EQ(window_->Count(EVENT_ENABLED_CHANGED), 1);
}

TEST_F(ElementTest, InvalidationIsClippedByTheParent) {
    auto* parent = new SkinElement(RECT{10, 10, 50, 50}, kNoImage, window_.get());
    auto* child = new SkinElement(RECT{30, 30, 70, 70}, kNoImage, parent);  // (40, 40)-(80, 80)
    TakeUpdate();
    child->SetFrame(1, 0);
    EXPECT_TRUE(Same(TakeUpdate(), {40, 40, 50, 50}));
    delete child;
    EXPECT_TRUE(Same(TakeUpdate(), {40, 40, 50, 50})) << "its last place is redrawn";
    EXPECT_TRUE(parent->Children().empty());
}

TEST_F(ElementTest, FrameGridShrinksTheRectangleToOneFrame) {
    auto* runner = new SkinElement(RECT{11, 37, 461, 78}, ImageResource(1114), window_.get());
    EXPECT_EQ(runner->IsStretched(), 1);
    runner->SetFrameGrid(18, 1);
    EXPECT_TRUE(Same(runner->GetRect(), {11, 37, 36, 78}));
    EXPECT_EQ(runner->GetFrameGrid().cols, 18u);
    EXPECT_EQ(runner->GetFrame().col, 0);

    auto* button = new SkinButton(5, 5, ImageResource(1107), window_.get(), 902);
    EXPECT_TRUE(Same(button->GetRect(), {5, 5, 39, 39})) << "a button is one 34 x 34 frame";
    EXPECT_EQ(button->IsStretched(), 0);
    EXPECT_EQ(button->GetCursorHandle(), LoadCursorW(nullptr, IDC_HAND));

    // Without an image, the position form reaches the parent's edges.
    auto* parent = new SkinElement(RECT{100, 100, 200, 180}, kNoImage, window_.get());
    auto* filler = new SkinElement(10, 20, kNoImage, parent);
    EXPECT_TRUE(Same(filler->GetRect(), {110, 120, 200, 180}));
}

TEST_F(ElementTest, EventsTravelOnlyThroughElementsThatPassThemOn) {
    auto* panel = new SkinElement(RECT{0, 0, 200, 100}, kNoImage, window_.get(), 7);
    auto* button = new SkinButton(10, 10, ImageResource(1118), panel, 8);
    // The panel does not pass events on, so its button's clicks stop there.
    PostMouse(window_->Handle(), WM_MOUSEMOVE, 20, 20);
    PostMouse(window_->Handle(), WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    PostMouse(window_->Handle(), WM_LBUTTONUP, 20, 20);
    EXPECT_EQ(window_->Count(EVENT_BUTTON_CLICK), 0);
    panel->EnableEvents(1, 0);
    PostMouse(window_->Handle(), WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    PostMouse(window_->Handle(), WM_LBUTTONUP, 20, 20);
    ASSERT_EQ(window_->Count(EVENT_BUTTON_CLICK), 1);
    EXPECT_EQ(window_->events.back().senderId, 8) << "the sender is the button, whoever passed it on";
    EXPECT_EQ(button->GetFrame().col, 1);
}

TEST_F(ElementTest, SetParentMovesTheSubtreeUnderItsNewParent) {
    auto* left = new SkinElement(RECT{0, 0, 100, 100}, kNoImage, window_.get());
    auto* right = new SkinElement(RECT{150, 50, 250, 150}, kNoImage, window_.get());
    auto* moving = new SkinElement(RECT{10, 10, 30, 30}, kNoImage, left);
    auto* child = new SkinElement(RECT{1, 1, 5, 5}, kNoImage, moving);
    EXPECT_EQ(moving->SetParent(right), left);
    EXPECT_TRUE(left->Children().empty());
    EXPECT_TRUE(Same(moving->GetRect(), {160, 60, 180, 80}));
    EXPECT_TRUE(Same(child->GetRect(), {161, 61, 165, 65}));
    EXPECT_EQ(moving->SetParent(nullptr), right) << "null changes nothing";
    EXPECT_EQ(moving->SetParent(child), right) << "nor can an element go under its own child";
}
