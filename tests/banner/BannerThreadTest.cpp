// The banner thread in this process, over a stand-in for the main window, talking to a
// banner host that accepts connections and never answers.
//
// Wine has the browser control but not its HTML engine here (mshtml is disabled): the
// control is created and put in place, and its navigation sends the request; a page that
// arrives fails to open (NavigateError), and one that never arrives leaves the banner empty.

#include <gtest/gtest.h>

#include <memory>

#include "BannerTestSupport.h"
#include "SkinTestSupport.h"
#include "banner/BannerElement.h"
#include "banner/BannerThread.h"

namespace {

BannerElement* FindBannerElement(const SkinWindow& window) {
    for (SkinElement* child : window.Children()) {
        if (auto* element = dynamic_cast<BannerElement*>(child)) return element;
    }
    return nullptr;
}

RECT ChildRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

struct BannerFixture : ::testing::Test {
    StandInWindow window;
    std::unique_ptr<BannerThread> banner;
    int connectionsBefore = -1;

    void SetUp() override {
        ShowQuietly(window);
        connectionsBefore = SilentConnections().value_or(-1);
        banner = std::make_unique<BannerThread>(window, kBannerArea, SilentBannerUrl());
        ASSERT_TRUE(PumpUntilDone([&] { return banner->Status().loopRunning; }, 15000));
    }
    void TearDown() override {
        banner.reset();
        PumpUntilIdle();
    }
};

}  // namespace

TEST_F(BannerFixture, TheControlIsInPlaceAndTheWindowKeepsAnswering) {
    ASSERT_GE(connectionsBefore, 0) << "the silent host answers its count";

    BannerElement* element = FindBannerElement(window);
    ASSERT_NE(element, nullptr) << "the element joined the window's tree";
    RECT elementRect = element->GetRect();
    EXPECT_TRUE(EqualRect(&elementRect, &kBannerArea));

    const BannerStatus status = banner->Status();
    EXPECT_TRUE(status.browserEmbedded);
    EXPECT_EQ(status.navigation, S_OK);
    ASSERT_NE(status.browserWindow, nullptr);
    EXPECT_EQ(GetParent(status.browserWindow), window.Handle());
    EXPECT_EQ(GetWindowThreadProcessId(status.browserWindow, nullptr), status.threadId)
        << "the browser's window belongs to the banner thread";
    RECT placed = ChildRect(status.browserWindow);
    EXPECT_TRUE(EqualRect(&placed, &kBannerArea));
    const LONG style = GetWindowLongW(status.browserWindow, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);

    // The request reached the dead host, which holds it without an answer.
    EXPECT_TRUE(PumpUntilDone([&] { return SilentConnections().value_or(0) > connectionsBefore; }, 10000));

    // Meanwhile the window's thread answers every posted message at once, and the banner
    // thread serves its loop.
    {
        LatencyProber prober(window.Handle());
        PumpUntilDone([] { return false; }, 1500);
        PumpUntilIdle();
        EXPECT_GE(window.answered.load(), prober.Posted() - 1);
    }
    EXPECT_GE(window.answered.load(), 20);
    EXPECT_LT(window.longestWaitMs.load(), 100u);
    EXPECT_TRUE(ThreadAnswers(status.commandWindow));
    EXPECT_TRUE(ThreadAnswers(status.browserWindow));
}

TEST_F(BannerFixture, ElementChangesReachTheBrowserOnTheBannerThreadWithoutWaitingForIt) {
    BannerElement* element = FindBannerElement(window);
    ASSERT_NE(element, nullptr);
    const BannerStatus status = banner->Status();
    ASSERT_NE(status.browserWindow, nullptr);

    // With the banner thread held, the window's thread changes the element at once; the
    // browser's window follows only when the banner thread runs again.
    const RECT moved{10, 40, 310, 140};
    {
        ThreadStall stall(status.threadId, status.commandWindow);
        ASSERT_TRUE(stall.WaitHeld(5000));
        const ULONGLONG start = GetTickCount64();
        element->SetRect(&moved, 1);
        element->SetEnabled(0);
        element->SetVisible(0);
        EXPECT_LT(GetTickCount64() - start, 100u) << "the window's thread never waits for the banner";
        RECT still = ChildRect(status.browserWindow);
        EXPECT_TRUE(EqualRect(&still, &kBannerArea)) << "nothing was done to the browser from this thread";
        EXPECT_TRUE(IsWindowEnabled(status.browserWindow));
    }
    EXPECT_TRUE(PumpUntilDone(
        [&] {
            RECT now = ChildRect(status.browserWindow);
            return EqualRect(&now, &moved) && !IsWindowEnabled(status.browserWindow) &&
                   !IsWindowVisible(status.browserWindow);
        },
        5000));
    element->SetEnabled(1);
    element->SetVisible(1);
    EXPECT_TRUE(PumpUntilDone(
        [&] { return IsWindowEnabled(status.browserWindow) && IsWindowVisible(status.browserWindow); }, 5000));
    EXPECT_EQ(element->IsVisible(), 1);
}

TEST_F(BannerFixture, EndingTheBannerTearsTheBrowserDownOnItsThread) {
    const BannerStatus status = banner->Status();
    ASSERT_NE(status.browserWindow, nullptr);
    const HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, status.threadId);
    ASSERT_NE(thread, nullptr);
    const ULONGLONG start = GetTickCount64();
    banner.reset();
    EXPECT_LT(GetTickCount64() - start, static_cast<ULONGLONG>(BannerThread::kTeardownWaitMs));
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0) << "the banner thread ended";
    CloseHandle(thread);
    EXPECT_FALSE(IsWindow(status.browserWindow));
    EXPECT_FALSE(IsWindow(status.commandWindow));
    EXPECT_EQ(FindBannerElement(window), nullptr) << "the element left the tree";
}

TEST_F(BannerFixture, AStuckBannerThreadDelaysTheEndByTheBoundOnly) {
    const BannerStatus status = banner->Status();
    const HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, status.threadId);
    ASSERT_NE(thread, nullptr);
    ThreadStall stall(status.threadId, status.commandWindow);
    ASSERT_TRUE(stall.WaitHeld(5000));
    const ULONGLONG start = GetTickCount64();
    banner.reset();
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited, BannerThread::kTeardownWaitMs - 50u);
    EXPECT_LT(waited, BannerThread::kTeardownWaitMs + 500u);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT) << "the stuck thread was left alone";
    EXPECT_EQ(FindBannerElement(window), nullptr);

    // Once it can run again it sees the request, tears down and ends.
    stall.Release();
    EXPECT_TRUE(PumpUntilDone([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 5000));
    CloseHandle(thread);
    EXPECT_FALSE(IsWindow(status.browserWindow));
}
