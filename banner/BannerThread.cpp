#include "banner/BannerThread.h"

#include <utility>

#include "banner/BannerBrowser.h"
#include "banner/BannerElement.h"
#include "banner/BannerLink.h"
#include "skin/SkinWindow.h"

namespace {

// A visible child that keeps off its siblings and children when it paints.
constexpr DWORD kBannerStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr wchar_t kCommandClass[] = L"BannerCommands";

struct ThreadStart {
    std::shared_ptr<BannerLink> link;
    HWND parent = nullptr;
    RECT area{};
    std::wstring url;
};

// The banner thread's side: the browser, the window that receives the nudges, and the
// control state last applied. Lives on the banner thread's stack.
class BannerSession {
public:
    BannerSession(std::shared_ptr<BannerLink> link, HWND parent, const RECT& area)
        : link_(std::move(link)), browser_(parent, area, kBannerStyle) {
        applied_.area = area;
        commandWindow_ = CreateWindowExW(0, CommandClass(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         GetModuleHandleW(nullptr), nullptr);
        if (commandWindow_) {
            SetWindowLongPtrW(commandWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            link_->Publish(commandWindow_);
        }
    }

    ~BannerSession() {
        link_->loopRunning = false;
        link_->Withdraw();
        // The browser first: it goes while the window's thread still answers its calls.
        browser_.TearDown();
        link_->browserEmbedded = false;
        link_->browserWindow = nullptr;
        if (commandWindow_) DestroyWindow(commandWindow_);
    }

    BannerSession(const BannerSession&) = delete;
    BannerSession& operator=(const BannerSession&) = delete;

    void Run(const std::wstring& url) {
        if (link_->StopRequested()) return;
        if (browser_.Embed()) {
            link_->browserWindow = browser_.BrowserWindow();
            link_->browserEmbedded = true;
            Sync();
            link_->navigation = browser_.Navigate(url);
        } else {
            link_->navigation = E_FAIL;
        }
        RunLoop();
    }

private:
    static const wchar_t* CommandClass() {
        static const ATOM atom = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = CommandProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = kCommandClass;
            return RegisterClassW(&windowClass);
        }();
        return atom ? kCommandClass : L"STATIC";
    }

    static LRESULT CALLBACK CommandProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        if (message == WM_BANNER_SYNC) {
            if (auto* session = reinterpret_cast<BannerSession*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
                try {
                    session->Sync();
                } catch (...) {
                }
            }
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    // Brings the control to the state its element wants.
    void Sync() {
        const ControlState wanted = link_->Take();
        if (!browser_.HasBrowser()) return;
        if (wanted.visible != applied_.visible) browser_.ShowControl(wanted.visible);
        if (wanted.enabled != applied_.enabled) browser_.EnableControl(wanted.enabled);
        if (!EqualRect(&wanted.area, &applied_.area)) browser_.PlaceControl(wanted.area);
        applied_ = wanted;
    }

    // The banner thread's message loop, until the owner asks it to end (or a quit message).
    void RunLoop() {
        const HANDLE stop = link_->StopEvent();
        if (!stop) return;
        link_->loopRunning = true;
        for (;;) {
            const DWORD woke = MsgWaitForMultipleObjectsEx(1, &stop, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            if (woke != WAIT_OBJECT_0 + 1) return;
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) return;
                TranslateMessage(&message);
                DispatchMessageW(&message);
                // A page that floods the queue still lets the owner end the banner.
                if (link_->StopRequested()) return;
            }
        }
    }

    std::shared_ptr<BannerLink> link_;
    BannerBrowser browser_;
    HWND commandWindow_ = nullptr;
    ControlState applied_;
};

DWORD WINAPI BannerThreadMain(void* parameter) {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
    try {
        BannerSession session(start->link, start->parent, start->area);
        session.Run(start->url);
    } catch (...) {
        // The banner is optional: whatever failed, the rest of the program goes on.
    }
    return 0;
}

// Waits for `thread` at most `milliseconds`, answering the messages other threads send to
// this one meanwhile (the banner's teardown sends to the main window). Posted messages
// stay queued for the caller's loop.
bool WaitAnsweringSentMessages(HANDLE thread, DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < end ? static_cast<DWORD>(end - now) : 0;
        const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) return true;
        if (woke != WAIT_OBJECT_0 + 1) return false;
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

BannerThread::BannerThread(SkinWindow& window, const RECT& area, std::wstring url)
    : link_(std::make_shared<BannerLink>(area)), window_(window.Handle()) {
    if (!window_) return;  // no window, no banner
    // The element joins the tree on the window's thread, between the window's own steps.
    const RECT relative = area;  // the window's root element stands at (0, 0)
    window.RunOnWindowThread([link = link_, relative, &window] {
        if (!link->StopRequested()) new BannerElement(relative, &window, link);
    });
    auto start = std::make_unique<ThreadStart>(ThreadStart{link_, window_, area, std::move(url)});
    thread_.Reset(CreateThread(nullptr, 0, BannerThreadMain, start.get(), 0, &threadId_));
    if (thread_) start.release();  // the thread owns it now
}

BannerThread::~BannerThread() { End(); }

bool BannerThread::End() {
    if (endAsked_) return ended_;
    endAsked_ = true;
    link_->RequestStop();
    ended_ = !thread_ || WaitAnsweringSentMessages(thread_.Get(), kTeardownWaitMs);
    // A banner thread that did not end in time is left to the end of the process; it only
    // ever touches what it owns and the link it shares.
    thread_.Reset();
    if (SkinWindow::FromHandle(window_) && link_->element) delete link_->element;
    return ended_;
}

BannerStatus BannerThread::Status() const {
    BannerStatus status;
    status.threadId = threadId_;
    status.loopRunning = link_->loopRunning;
    status.browserEmbedded = link_->browserEmbedded;
    status.navigation = link_->navigation;
    status.browserWindow = link_->browserWindow;
    status.commandWindow = link_->CommandWindow();
    return status;
}
