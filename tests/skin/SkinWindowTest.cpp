// The window base on real windows: placement of the root and of centred windows, class
// registration, the registry, the message loop with pre-translation, closing, timers and a
// window that deletes itself.

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "SkinTestSupport.h"
#include "skin/MessageLoop.h"
#include "skin/SkinWindow.h"
#include "skin/WindowRegistry.h"

namespace {

std::unique_ptr<RecordingWindow> Popup(const RECT& screen, HWND owner = nullptr, DWORD exStyle = 0, UINT classStyle = 0,
                                       const std::wstring& className = L"") {
    return std::make_unique<RecordingWindow>(screen, kNoImage,
                                             (className.empty() ? UniqueClassName(L"Popup") : className).c_str(), owner,
                                             exStyle, WS_POPUP, classStyle);
}

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST(SkinWindow, RootIsInClientCoordinatesWhereverTheWindowStands) {
    RecordingWindow balloon(95, 15, ImageResource(1116), UniqueClassName(L"Balloon").c_str(), nullptr, WS_EX_LAYERED,
                            WS_POPUP, 0);
    ASSERT_TRUE(balloon.Handle());
    EXPECT_TRUE(SameRect(balloon.GetRect(), {0, 0, 209, 46}));
    EXPECT_TRUE(SameRect(WindowRect(balloon.Handle()), {95, 15, 304, 61}));
    ShowQuietly(balloon);

    // The picture is the balloon image from the window's own top-left corner.
    SkinImagePtr image = LoadImageFromResource(nullptr, kImageResourceType, MAKEINTRESOURCEW(1116));
    const WindowPicture picture(balloon.Handle());
    int matching = 0;
    for (int y = 0; y < 46; ++y) {
        for (int x = 0; x < 209; ++x) matching += Near(picture.At(x, y), PremultipliedPixel(*image, x, y), 3) ? 1 : 0;
    }
    EXPECT_GE(matching, 209 * 46 - 20);
}

TEST(SkinWindow, CenterWindowOnReferenceOwnerOrWorkArea) {
    auto window = Popup({0, 0, 600, 350});
    const RECT workArea{0, 0, 1920, 1040};
    window->CenterWindow(&workArea);
    EXPECT_TRUE(SameRect(WindowRect(window->Handle()), {660, 345, 1260, 695}));

    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    window->CenterWindow();
    const RECT placed = WindowRect(window->Handle());
    EXPECT_EQ(placed.left, area.left + (area.right - area.left - 600) / 2);
    EXPECT_EQ(placed.top, area.top + (area.bottom - area.top - 350) / 2);

    auto owner = Popup({100, 100, 700, 450});
    auto dialog = Popup({0, 0, 201, 101}, owner->Handle());
    dialog->CenterWindow();
    EXPECT_TRUE(SameRect(WindowRect(dialog->Handle()), {299, 224, 500, 325}));
}

TEST(SkinWindow, ClassIsRegisteredOnceAndUsedAsFirstRegistered) {
    const std::wstring name = UniqueClassName(L"Shared");
    auto first = Popup({0, 0, 50, 50}, nullptr, 0, CS_DBLCLKS, name);
    auto second = Popup({0, 0, 60, 60}, nullptr, 0, CS_HREDRAW, name);
    ASSERT_TRUE(first->Handle() && second->Handle());
    EXPECT_EQ(GetClassLongPtrW(second->Handle(), GCL_STYLE), static_cast<ULONG_PTR>(CS_DBLCLKS));
    EXPECT_EQ(GetClassLongPtrW(first->Handle(), GCW_ATOM), GetClassLongPtrW(second->Handle(), GCW_ATOM));
}

TEST(SkinWindow, UnregistrableClassLeavesAnElementTreeWithoutWindow) {
    const std::wstring tooLong(300, L'x');
    auto window = Popup({0, 0, 50, 50}, nullptr, 0, 0, tooLong);
    EXPECT_EQ(window->Handle(), nullptr);
    auto* child = new SkinElement(RECT{5, 5, 20, 20}, kNoImage, window.get(), 3);
    child->SetVisible(0);
    child->SetFrame(1, 0);
    EXPECT_EQ(window->HitTest(10, 10), window.get());
    window->CenterWindow();
    EXPECT_EQ(window->StartTimer(1, 10), 0u);
}

TEST(MessageLoop, QuitEndsTheLoopAndIsPostedAgain) {
    PostQuitMessage(7);
    EXPECT_EQ(RunMessageLoop(), 7);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

namespace {

// Consumes one message for itself or any window it owns.
class FilteringWindow : public RecordingWindow {
public:
    using RecordingWindow::RecordingWindow;
    UINT consumed = WM_APP + 5;
    std::vector<std::pair<HWND, UINT>> offered;
    int PreTranslateMessage(MSG* message) override {
        if (message->message >= WM_APP) offered.emplace_back(message->hwnd, message->message);
        return message->message == consumed ? 1 : 0;
    }
};

class CountingWindow : public RecordingWindow {
public:
    using RecordingWindow::RecordingWindow;
    std::vector<UINT> handled;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= WM_APP && message < WM_APP + 0x100) handled.push_back(message);
        return RecordingWindow::WindowProc(message, wParam, lParam);
    }
};

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP + 5) SetPropW(window, L"seen", reinterpret_cast<HANDLE>(1));
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

TEST(MessageLoop, OwnersPreTranslateAndTheRestIsDispatched) {
    FilteringWindow owner(RECT{0, 0, 100, 100}, kNoImage, UniqueClassName(L"Owner").c_str(), nullptr, 0, WS_POPUP, 0);
    CountingWindow popup(RECT{0, 0, 50, 50}, kNoImage, UniqueClassName(L"Owned").c_str(), owner.Handle(), 0, WS_POPUP,
                         0);
    WNDCLASSW plainClass{};
    plainClass.lpfnWndProc = PlainProc;
    plainClass.lpszClassName = L"PlainTestWindow";
    RegisterClassW(&plainClass);
    HWND plain =
        CreateWindowExW(0, L"PlainTestWindow", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    PostMessageW(popup.Handle(), WM_APP + 5, 0, 0);
    PostMessageW(popup.Handle(), WM_APP + 6, 0, 0);
    PostMessageW(plain, WM_APP + 5, 0, 0);
    PostQuitMessage(0);
    EXPECT_EQ(RunMessageLoop(), 0);
    MSG quit{};
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);

    EXPECT_EQ(popup.handled, std::vector<UINT>{WM_APP + 6}) << "the owner consumed WM_APP + 5";
    const std::vector<std::pair<HWND, UINT>> expected{{popup.Handle(), WM_APP + 5}, {popup.Handle(), WM_APP + 6}};
    EXPECT_EQ(owner.offered, expected);
    EXPECT_EQ(GetPropW(plain, L"seen"), reinterpret_cast<HANDLE>(1)) << "a window outside the registry gets it";
    RemovePropW(plain, L"seen");
    DestroyWindow(plain);
}

TEST(WindowRegistry, FindsOnlyLiveWindowsOfTheCallingThread) {
    auto window = Popup({0, 0, 40, 40});
    const HWND handle = window->Handle();
    EXPECT_EQ(SkinWindow::FromHandle(handle), window.get());
    SkinWindow* fromOtherThread = window.get();
    std::thread([&] { fromOtherThread = WindowRegistry::Instance().Lookup(handle); }).join();
    EXPECT_EQ(fromOtherThread, nullptr);

    // Closing destroys the handle; the object lives on without it and is found no more.
    SendMessageW(handle, WM_CLOSE, 0, 0);
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "closing ends the loop";
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(window->Handle(), nullptr);
    EXPECT_EQ(SkinWindow::FromHandle(handle), nullptr);
    window->SetVisible(SW_SHOWNORMAL);  // harmless without a window
}

namespace {

class Refusing : public RecordingWindow {
public:
    using RecordingWindow::RecordingWindow;
    int CanClose() override { return 0; }
};

class SelfDeleting : public RecordingWindow {
public:
    using RecordingWindow::RecordingWindow;
    bool* deleted = nullptr;
    ~SelfDeleting() override { *deleted = true; }
};

}  // namespace

TEST(SkinWindow, CloseIsRefusedByCanCloseOrWhileDisabled) {
    Refusing refusing(RECT{0, 0, 40, 40}, kNoImage, UniqueClassName(L"Refusing").c_str(), nullptr, 0, WS_POPUP, 0);
    EXPECT_EQ(SendMessageW(refusing.Handle(), WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(refusing.Handle()));

    auto disabled = Popup({0, 0, 40, 40});
    disabled->SetEnabled(0);
    EXPECT_EQ(disabled->IsEnabled(), 0);
    SendMessageW(disabled->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(disabled->Handle()));
    MSG quit{};
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(SkinWindow, WindowDeletesItselfFromItsOwnMessageHandling) {
    bool deleted = false;
    auto* window =
        new SelfDeleting(RECT{0, 0, 40, 40}, kNoImage, UniqueClassName(L"Self").c_str(), nullptr, 0, WS_POPUP, 0);
    window->deleted = &deleted;
    const HWND handle = window->Handle();
    new SkinElement(RECT{0, 0, 10, 10}, kNoImage, window);
    window->DeleteLater();
    EXPECT_FALSE(deleted) << "not before the loop runs";
    PumpUntilIdle();
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(IsWindow(handle));
}

TEST(SkinWindow, TimersStartedAnywhereTickOnTheWindowThread) {
    auto window = Popup({0, 0, 40, 40});
    std::thread([&] { EXPECT_EQ(window->StartTimer(77, 10), 77u); }).join();
    PumpFor(300);
    ASSERT_FALSE(window->ticks.empty());
    EXPECT_EQ(window->ticks.front(), 77u);
    EXPECT_EQ(window->tickThread, GetCurrentThreadId());
    std::thread([&] { EXPECT_TRUE(window->StopTimer(77)); }).join();
    PumpFor(50);
    const size_t ticks = window->ticks.size();
    PumpFor(200);
    EXPECT_EQ(window->ticks.size(), ticks);
}

TEST(SkinWindow, ForgedElementMessagesAreIgnored) {
    // Any program on the desktop can send these; their pointers must not be trusted.
    auto window = Popup({0, 0, 40, 40});
    auto* element = new SkinElement(RECT{0, 0, 10, 10}, kNoImage, window.get());
    const LPARAM forged = 0x12345678;
    for (WPARAM command : {ELEMENT_RELEASE, ELEMENT_FOCUS, ELEMENT_DELETE_LATER})
        EXPECT_EQ(SendMessageW(window->Handle(), WM_SKINELEMENT, command, forged), 0) << command;
    EXPECT_EQ(SendMessageW(window->Handle(), WM_SKIN_CALL, 0, forged), 0);
    PumpUntilIdle();
    EXPECT_EQ(window->Children().size(), 1u);
    EXPECT_EQ(element->RequestFocus(), 1) << "a real element is still served";
    EXPECT_EQ(window->FocusElement(), element);
}
