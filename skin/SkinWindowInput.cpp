// Input routing of a skinned window: which element is hovered, captured and focused, and
// the commands elements send their host (WM_SKINELEMENT).

#include <windowsx.h>

#include <algorithm>

#include "skin/SkinWindow.h"

namespace {

// Client position of a mouse message: x low, y high, each an unsigned 16-bit value.
POINT MessagePoint(LPARAM lParam) {
    return {LOWORD(lParam), HIWORD(lParam)};
}

using Handler = int (SkinElement::*)(WPARAM, LPARAM);

Handler PressHandler(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
        return &SkinElement::OnLButtonDown;
    case WM_LBUTTONDBLCLK:
        return &SkinElement::OnLButtonDblClk;
    case WM_RBUTTONDOWN:
        return &SkinElement::OnRButtonDown;
    case WM_RBUTTONDBLCLK:
        return &SkinElement::OnRButtonDblClk;
    case WM_MBUTTONDOWN:
        return &SkinElement::OnMButtonDown;
    default:
        return &SkinElement::OnMButtonDblClk;
    }
}

Handler ReleaseHandler(UINT message) {
    switch (message) {
    case WM_LBUTTONUP:
        return &SkinElement::OnLButtonUp;
    case WM_RBUTTONUP:
        return &SkinElement::OnRButtonUp;
    default:
        return &SkinElement::OnMButtonUp;
    }
}

}  // namespace

LRESULT SkinWindow::OnMouseMoveMessage(WPARAM wParam, LPARAM lParam) {
    hoverCheckPosted_ = false;
    const POINT point = MessagePoint(lParam);
    SkinElement* under = HitTest(point.x, point.y);
    if (under != hoveredElement_) {
        if (SkinElement* left = std::exchange(hoveredElement_, nullptr)) left->OnMouseLeave(wParam, lParam);
        // The leave handler may have changed the tree; the element is entered only if it
        // is still part of it.
        if (under && !Holds(under)) under = HitTest(point.x, point.y);
        if (under) under->OnMouseEnter(wParam, lParam);
        hoveredElement_ = under;
    }
    if (capturedElement_) {
        capturedElement_->OnMouseMove(wParam, lParam);
    } else if (hoveredElement_) {
        hoveredElement_->OnMouseMove(wParam, lParam);
    }
    if (!trackingMouse_ && host_) {
        TRACKMOUSEEVENT track{sizeof track, TME_HOVER | TME_LEAVE, host_, 500};
        trackingMouse_ = TrackMouseEvent(&track) != FALSE;
    }
    return DefaultHandling(WM_MOUSEMOVE, wParam, lParam);
}

LRESULT SkinWindow::OnPressMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!hoveredElement_) return DefaultHandling(message, wParam, lParam);
    if (message == WM_LBUTTONDOWN) {
        RECT area{};
        if (IsDragArea(&area, hoveredElement_) == 1 && PtInRect(&area, MessagePoint(lParam))) {
            // The system moves the window with the mouse; the element sees nothing.
            POINT screen = MessagePoint(lParam);
            ClientToScreen(host_, &screen);
            SendMessageW(host_, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
            return 0;
        }
    }
    SetCapture(host_);
    capturedElement_ = hoveredElement_;
    (capturedElement_->*PressHandler(message))(wParam, lParam);
    if (hoveredElement_ && focusElement_ != hoveredElement_) MoveFocusTo(hoveredElement_);
    return DefaultHandling(message, wParam, lParam);
}

LRESULT SkinWindow::OnReleaseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (SkinElement* pressed = capturedElement_) {
        ReleaseCapture();
        // The release goes to the element that got the press, wherever the mouse is now.
        if (capturedElement_ == pressed) (pressed->*ReleaseHandler(message))(wParam, lParam);
        capturedElement_ = nullptr;
    }
    return DefaultHandling(message, wParam, lParam);
}

LRESULT SkinWindow::OnWheelMessage(WPARAM wParam, LPARAM lParam) {
    if (hoveredElement_) hoveredElement_->OnMouseWheel(wParam, lParam);
    // The content may have scrolled under the mouse: find the hovered element again.
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (host_) {
        ScreenToClient(host_, &point);
        PostMessageW(host_, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    }
    return DefaultHandling(WM_MOUSEWHEEL, wParam, lParam);
}

bool SkinWindow::Holds(const SkinElement* element) const {
    return element == this || IsAncestorOf(element);
}

void SkinWindow::MoveFocusTo(SkinElement* element) {
    if (SkinElement* previous = std::exchange(focusElement_, nullptr)) previous->OnKillFocus();
    focusElement_ = element && Holds(element) ? element : nullptr;
    if (focusElement_) GiveFocus(focusElement_);
}

void SkinWindow::ReleaseElement(SkinElement* element) {
    const auto dropped = [element](const SkinElement* reference) {
        return reference && (reference == element || element->IsAncestorOf(reference));
    };
    if (dropped(capturedElement_)) {
        if (host_ && GetCapture() == host_) ReleaseCapture();
        capturedElement_ = nullptr;
    }
    if (dropped(focusElement_)) focusElement_ = nullptr;
    if (dropped(hoveredElement_)) hoveredElement_ = nullptr;
    // Whatever is under the mouse now becomes the hovered element. One synthetic move at a
    // time is enough, however many elements changed meanwhile.
    if (host_ && !hoverCheckPosted_) {
        POINT cursor{};
        GetCursorPos(&cursor);
        ScreenToClient(host_, &cursor);
        hoverCheckPosted_ = PostMessageW(host_, WM_MOUSEMOVE, 0, MAKELPARAM(cursor.x, cursor.y)) != FALSE;
    }
}

LRESULT SkinWindow::OnElementCommand(WPARAM command, SkinElement* element, LPARAM lParam) {
    // The element comes as a pointer in a message anyone can send: it is used only once it
    // is known to be part of this window's tree (compared, never dereferenced, before).
    if (command != ELEMENT_GET_FOCUS && !Holds(element)) return DefaultHandling(WM_SKINELEMENT, command, lParam);
    switch (command) {
    case ELEMENT_RELEASE:
        ReleaseElement(element);
        return 0;
    case ELEMENT_FOCUS: {
        if (element != focusElement_) {
            if (SkinElement* previous = std::exchange(focusElement_, nullptr)) previous->OnKillFocus();
            focusElement_ = element;
        }
        const int result = focusElement_ ? GiveFocus(focusElement_) : 0;
        if (result == 0) focusElement_ = nullptr;
        return result;
    }
    case ELEMENT_GET_FOCUS:
        return reinterpret_cast<LRESULT>(focusElement_);
    case ELEMENT_DELETE_LATER:
        if (std::find(pendingDeletes_.begin(), pendingDeletes_.end(), element) == pendingDeletes_.end())
            pendingDeletes_.push_back(element);
        if (host_) PostMessageW(host_, WM_NULL, 0, 0);
        return DefaultHandling(WM_SKINELEMENT, command, lParam);
    default:
        return DefaultHandling(WM_SKINELEMENT, command, lParam);
    }
}

int SkinWindow::GiveFocus(SkinElement* element) {
    givingFocus_ = true;
    const int result = element->OnSetFocus();
    givingFocus_ = false;
    return result;
}

bool SkinWindow::DeletePendingElements() {
    while (!pendingDeletes_.empty()) {
        SkinElement* element = pendingDeletes_.front();
        pendingDeletes_.erase(pendingDeletes_.begin());
        if (element == this) {
            delete this;
            return false;
        }
        delete element;
    }
    return true;
}
