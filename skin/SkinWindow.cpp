#include "skin/SkinWindow.h"

#include <algorithm>

#include "skin/InvalidationBatch.h"
#include "skin/WindowRegistry.h"

namespace {
constexpr size_t kMaxClassName = 255;
}

SkinWindow::SkinWindow(int x, int y, const ImageSource& image, const wchar_t* className, HWND parent, DWORD exStyle,
                       DWORD style, UINT classStyle, int id)
    : SkinElement(x, y, image, nullptr, id, nullptr) {
    Create(className, parent, exStyle, style, classStyle);
}

SkinWindow::SkinWindow(const RECT& screenRect, const ImageSource& image, const wchar_t* className, HWND parent,
                       DWORD exStyle, DWORD style, UINT classStyle, int id)
    : SkinElement(screenRect, image, nullptr, id, nullptr) {
    Create(className, parent, exStyle, style, classStyle);
}

void SkinWindow::Create(const wchar_t* className, HWND parent, DWORD exStyle, DWORD style, UINT classStyle) {
    // Class names are atoms of at most 255 characters; longer ones are refused here rather
    // than handed to the system (Wine corrupts its heap on them).
    if (!className || !*className || wcsnlen(className, kMaxClassName + 1) > kMaxClassName) return;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = SharedWindowProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);  // the object
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    // A class that exists already is used as it was first registered.
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;

    const RECT screen = GetRect();
    CreateWindowExW(exStyle, className, L"", style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, screen.left, screen.top,
                    screen.right - screen.left, screen.bottom - screen.top, parent, nullptr, instance, this);
    if (!host_) return;
    WindowRegistry::Instance().Register(this);
    // Places the window and makes the back buffer; the root becomes (0, 0, width, height).
    SetRect(&screen, IsStretched());
    const int shown = (style & WS_VISIBLE) ? 1 : 0;
    visible_ = shown;
    ShowWindow(host_, shown);
    if (shown) Invalidate(nullptr, 0);
}

SkinWindow::~SkinWindow() {
    // This object is already going; only the others are deleted.
    std::erase(pendingDeletes_, this);
    DeletePendingElements();
    backBuffer_.Reset();
    if (HWND handle = host_) {
        // Messages of the dying window no longer reach this object.
        OnHandleDestroyed();
        DestroyWindow(handle);
    }
    SetHostRecursive(nullptr);
}

SkinWindow* SkinWindow::FromHandle(HWND handle) {
    return WindowRegistry::Instance().Lookup(handle);
}

void SkinWindow::OnHandleDestroyed() {
    HWND handle = host_;
    if (!handle) return;
    SetWindowLongPtrW(handle, 0, 0);
    WindowRegistry::Instance().Unregister(handle);
    WindowThreadQueue::ForgetWindow(handle);
    if (GetCapture() == handle) ReleaseCapture();
    host_ = nullptr;
    focusElement_ = capturedElement_ = hoveredElement_ = nullptr;
}

LRESULT CALLBACK SkinWindow::SharedWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        SkinWindow* window = nullptr;
        if (message == WM_NCCREATE) {
            window = static_cast<SkinWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            if (window) {
                window->host_ = handle;
                SetWindowLongPtrW(handle, 0, reinterpret_cast<LONG_PTR>(window));
            }
        } else {
            window = reinterpret_cast<SkinWindow*>(GetWindowLongPtrW(handle, 0));
        }
        if (!window) return DefWindowProcW(handle, message, wParam, lParam);

        switch (message) {
        case WM_SKIN_RUN_QUEUED:
            WindowThreadQueue::Run(handle);
            return 0;
        case WM_SKIN_CALL:
            return WindowThreadQueue::AnswerCall(lParam);
        case WM_TIMER:
            if (wParam == kRunQueuedTimerId) {
                KillTimer(handle, kRunQueuedTimerId);
                WindowThreadQueue::Run(handle);
                return 0;
            }
            break;
        case WM_NCDESTROY:
            window->OnHandleDestroyed();
            return DefWindowProcW(handle, message, wParam, lParam);
        default:
            break;
        }
        // The object may be gone when this returns (a window deleting itself); nothing
        // below may touch it.
        return window->WindowProc(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

void SkinWindow::CenterWindow(const RECT* reference) {
    if (reference) {
        const RECT wanted = *reference;
        if (HandToHostThread([this, wanted] { CenterWindow(&wanted); })) return;
    } else if (HandToHostThread([this] { CenterWindow(nullptr); })) {
        return;
    }
    if (!host_) return;
    RECT client{};
    GetClientRect(host_, &client);
    RECT area{};
    if (reference) {
        area = *reference;
    } else if (HWND owner = ::GetParent(host_)) {
        GetWindowRect(owner, &area);
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    const IntPoint origin = CenteredOrigin(ToIntRect(area), client.right, client.bottom);
    SetWindowPos(host_, nullptr, origin.x, origin.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
}

UINT_PTR SkinWindow::StartTimer(UINT_PTR id, UINT milliseconds) {
    if (HandToHostThread([this, id, milliseconds] { StartTimer(id, milliseconds); })) return id;
    return host_ ? SetTimer(host_, id, milliseconds, nullptr) : 0;
}

BOOL SkinWindow::StopTimer(UINT_PTR id) {
    if (HandToHostThread([this, id] { StopTimer(id); })) return TRUE;
    return host_ ? KillTimer(host_, id) : FALSE;
}

bool SkinWindow::RunOnWindowThread(std::function<void()> action) {
    if (!action) return false;
    if (!WindowThreadQueue::BelongsToOtherThread(host_)) {
        if (!host_) return false;
        action();
        return true;
    }
    return WindowThreadQueue::Post(host_, this, std::move(action));
}

bool SkinWindow::PostInOrder(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND handle = host_;
    if (!handle) return false;
    return RunOnWindowThread([handle, message, wParam, lParam] { PostMessageW(handle, message, wParam, lParam); });
}

int SkinWindow::IsVisible() const {
    return (host_ && IsWindowVisible(host_) ? 1 : 0) & visible_;
}

int SkinWindow::IsEnabled() const {
    return (host_ && IsWindowEnabled(host_) ? 1 : 0) & enabled_;
}

void SkinWindow::ApplyVisible(int command) {
    visible_ = command == SW_HIDE ? 0 : 1;
    if (host_) ShowWindow(host_, command);
    if (command == SW_SHOWNORMAL) Invalidate(nullptr, 0);
}

void SkinWindow::ApplyEnabled(int enabled) {
    enabled_ = enabled;
    if (host_) EnableWindow(host_, enabled);
}

RECT SkinWindow::ApplyRect(const RECT* rect, int stretch) {
    if (!rect) return SkinElement::ApplyRect(nullptr, stretch);
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    if (host_) MoveWindow(host_, rect->left, rect->top, width, height, FALSE);
    if (!backBuffer_.Valid() || backBuffer_.Width() != width || backBuffer_.Height() != height) {
        backBuffer_.Create(width, height);
        Invalidate(nullptr, 0);
    }
    const RECT local{0, 0, width, height};
    return SkinElement::ApplyRect(&local, stretch);
}

int SkinWindow::PreTranslateMessage(MSG*) {
    return 0;
}

int SkinWindow::IsDragArea(RECT*, SkinElement*) {
    return 0;
}

int SkinWindow::CanClose() {
    return 1;
}

void SkinWindow::OnTimer(UINT_PTR) {}

void SkinWindow::ForgetDestroyed(const SkinElement* element) {
    if (!element || element == this) return;
    std::erase_if(pendingDeletes_,
                  [&](SkinElement* pending) { return pending == element || element->IsAncestorOf(pending); });
}

LRESULT SkinWindow::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    if (focusElement_) {
        LRESULT result = 0;
        if (focusElement_->OnWindowMessage(message, wParam, lParam, &result) == 1) return result;
    }
    return host_ ? DefWindowProcW(host_, message, wParam, lParam) : 0;
}

LRESULT SkinWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NULL:
        if (!DeletePendingElements()) return 0;  // the window deleted itself
        break;
    case WM_SETFOCUS:
        // The window got the keyboard focus back: so does its focus element. When the
        // element itself asked for it, it has been told already.
        if (focusElement_ && !givingFocus_) focusElement_->OnSetFocus();
        break;
    case WM_KILLFOCUS:
        if (focusElement_) focusElement_->OnKillFocus();
        break;
    case WM_PAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT:
        return OnPaintMessage(message, wParam, lParam);
    case WM_CLOSE:
        if (IsEnabled() != 1 || CanClose() != 1) return 0;
        PostQuitMessage(0);
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        if (hoveredElement_ && hoveredElement_->OnSetCursor() == 1) return 0;
        break;
    case WM_TIMER: {
        // A tick that moves several elements asks the system once.
        InvalidationBatch redraw(host_);
        OnTimer(wParam);
        break;
    }
    case WM_MOUSEMOVE:
        return OnMouseMoveMessage(wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        return OnPressMessage(message, wParam, lParam);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        return OnReleaseMessage(message, wParam, lParam);
    case WM_MOUSEWHEEL:
        return OnWheelMessage(wParam, lParam);
    case WM_MOUSEHOVER:
        trackingMouse_ = false;
        if (hoveredElement_) hoveredElement_->OnMouseHover(wParam, lParam);
        break;
    case WM_MOUSELEAVE:
        trackingMouse_ = false;
        if (hoveredElement_) {
            SkinElement* left = std::exchange(hoveredElement_, nullptr);
            left->OnMouseLeave(wParam, lParam);
        }
        break;
    case WM_SKINELEMENT:
        if (lParam != 0 && wParam >= ELEMENT_RELEASE && wParam <= ELEMENT_DELETE_LATER)
            return OnElementCommand(wParam, reinterpret_cast<SkinElement*>(lParam), lParam);
        break;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}
