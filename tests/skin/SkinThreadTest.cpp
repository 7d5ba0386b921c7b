// Changes made from other threads: they reach the window's thread in order, never race
// with painting, never make the calling thread wait, and cannot outlive their element.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "SkinTestSupport.h"
#include "skin/SkinButton.h"
#include "skin/SkinLabel.h"

namespace {

class PaintCountingWindow : public RecordingWindow {
public:
    using RecordingWindow::RecordingWindow;
    std::atomic<int> paints{0};
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_PAINT) ++paints;
        return RecordingWindow::WindowProc(message, wParam, lParam);
    }
};

std::unique_ptr<PaintCountingWindow> MakeWindow() {
    auto window = std::make_unique<PaintCountingWindow>(RECT{30, 30, 630, 130}, ImageResource(1101),
                                                        UniqueClassName(L"Threads").c_str(), nullptr, 0, WS_POPUP, 0);
    ShowQuietly(*window);
    return window;
}

// Runs the window thread's loop until `done` holds and nothing is left to do, at most
// `limitMs`; false on time-out (a hang).
template <typename Done>
bool PumpUntil(Done done, DWORD limitMs) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    while (GetTickCount64() < end) {
        PumpFor(5);
        if (done()) {
            PumpUntilIdle();
            return true;
        }
    }
    return false;
}

}  // namespace

TEST(WorkerChanges, TenThousandChangesWhileTheWindowPaints) {
    auto window = MakeWindow();
    auto* label = new SkinLabel(RECT{10, 10, 300, 40}, window.get(), LabelStyle{L"新宋体", 9, 0xFEC8C8C8});
    auto* button = new SkinButton(400, 20, ImageResource(1118), window.get(), 1);
    auto* runner = new SkinElement(RECT{11, 50, 461, 91}, ImageResource(1114), window.get());
    runner->SetFrameGrid(18, 1);

    constexpr int kRounds = 10000;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < kRounds; ++i) {
            label->SetLabelText(std::to_wstring(i) + L" 当前下载速度：" + std::to_wstring(i % 977) + L"K/S");
            button->SetVisible(i & 1);
            runner->SetFrame(i % 18, 0);
            const RECT place{i % 500, 50, i % 500 + 25, 91};
            runner->SetRect(&place, 0);
            if (i % 50 == 0) Sleep(1);  // the window takes turns with the worker
        }
        done = true;
    });
    const int paintsBefore = window->paints;
    const bool finished = PumpUntil([&] { return done.load(); }, 120000);
    worker.join();
    ASSERT_TRUE(finished) << "the window thread kept up and did not hang";

    EXPECT_EQ(label->GetLabelText(),
              std::to_wstring(kRounds - 1) + L" 当前下载速度：" + std::to_wstring((kRounds - 1) % 977) + L"K/S");
    EXPECT_EQ(button->IsVisible(), (kRounds - 1) & 1);
    EXPECT_EQ(runner->GetFrame().col, (kRounds - 1) % 18);
    EXPECT_EQ(runner->GetRect().left, (kRounds - 1) % 500);
    EXPECT_GT(window->paints - paintsBefore, 3) << "painting went on meanwhile";
    const WindowPicture picture(window->Handle());
    EXPECT_GT(picture.CountDifferent(RECT{10, 10, 300, 40}, picture.At(5, 5), 40), 20) << "the last text shows";
}

TEST(WorkerChanges, CallersNeverWaitForTheWindowThread) {
    auto window = MakeWindow();
    auto* label = new SkinLabel(RECT{10, 10, 300, 40}, window.get(), LabelStyle{});
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 2000; ++i) {
            label->SetLabelText(L"第" + std::to_wstring(i) + L"次");
            label->SetVisible(i & 1);
            window->StartTimer(50, 1000);
        }
        label->SetLabelText(L"最后");
        done = true;
    });
    // The window's thread is busy elsewhere; the worker gets through all the same.
    const ULONGLONG end = GetTickCount64() + 20000;
    while (!done && GetTickCount64() < end) Sleep(10);
    EXPECT_TRUE(done.load());
    worker.join();
    EXPECT_EQ(label->GetLabelText(), nullptr) << "nothing has been applied yet";
    PumpUntilIdle();
    EXPECT_STREQ(label->GetLabelText(), L"最后") << "then everything, in order";
    EXPECT_EQ(label->IsVisible(), 1);
}

namespace {

class WakeWindow : public PaintCountingWindow {
public:
    using PaintCountingWindow::PaintCountingWindow;
    SkinLabel* label = nullptr;
    std::wstring textAtWake;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP + 9) textAtWake = label->GetLabelText() ? label->GetLabelText() : L"";
        return PaintCountingWindow::WindowProc(message, wParam, lParam);
    }
};

}  // namespace

TEST(WorkerChanges, MessagesPostedInOrderSeeTheChangesBeforeThem) {
    WakeWindow window(RECT{30, 30, 330, 130}, kNoImage, UniqueClassName(L"Wake").c_str(), nullptr, 0, WS_POPUP, 0);
    ShowQuietly(window);
    window.label = new SkinLabel(RECT{10, 10, 300, 40}, &window, LabelStyle{});
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i <= 3000; ++i) window.label->SetLabelText(L"100% " + std::to_wstring(i));
        window.PostInOrder(WM_APP + 9, 0, 0);
        done = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return done && !window.textAtWake.empty(); }, 30000));
    worker.join();
    EXPECT_EQ(window.textAtWake, L"100% 3000");
}

TEST(WorkerChanges, WorkForADeletedElementIsDropped) {
    auto window = MakeWindow();
    auto* label = new SkinLabel(RECT{10, 10, 300, 40}, window.get(), LabelStyle{});
    std::thread([&] {
        for (int i = 0; i < 100; ++i) label->SetLabelText(L"gone");
    }).join();
    delete label;  // before the window's thread got to the queued work
    PumpUntilIdle();
    EXPECT_TRUE(window->Children().empty());
}

TEST(WorkerChanges, ElementsBuiltAndDestroyedOnAnotherThread) {
    auto window = MakeWindow();
    SkinElement* panel = nullptr;
    std::atomic<int> stage{0};
    std::thread builder([&] {
        // As the banner does: its element joins the window's tree from its own thread.
        panel = new SkinElement(RECT{10, 10, 210, 90}, ImageResource(1117), window.get());
        panel->SetAlpha(128);
        stage = 1;
        while (stage != 2) Sleep(5);
        delete panel;
        stage = 3;
    });
    ASSERT_TRUE(PumpUntil([&] { return stage == 1; }, 10000));
    ASSERT_EQ(window->Children().size(), 1u);
    EXPECT_EQ(window->Children().front(), panel);
    EXPECT_EQ(panel->GetAlpha(), 128u);
    EXPECT_EQ(panel->GetHostWindow(), window->Handle());
    EXPECT_EQ(window->HitTest(50, 50), panel);
    stage = 2;
    // The destruction leaves the tree on this thread while the builder waits.
    ASSERT_TRUE(PumpUntil([&] { return stage == 3; }, 10000));
    builder.join();
    EXPECT_TRUE(window->Children().empty());
    EXPECT_EQ(window->HitTest(50, 50), window.get());
}

TEST(WorkerChanges, ChangesForADestroyedWindowAreDropped) {
    auto window = MakeWindow();
    auto* label = new SkinLabel(RECT{10, 10, 300, 40}, window.get(), LabelStyle{});
    std::thread([&] { label->SetLabelText(L"late"); }).join();
    EXPECT_TRUE(window->RunOnWindowThread([] {}));
    window.reset();  // with the change still queued
    PumpUntilIdle();
    SUCCEED() << "nothing ran on the dead window";
}
