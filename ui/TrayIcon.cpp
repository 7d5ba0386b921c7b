#include "ui/TrayIcon.h"

#include <commctrl.h>

#include "app/ProcessGlobals.h"
#include "ui/TrayTip.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x7A1;

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByteEx(CP_ACP, byte) != FALSE; }

}  // namespace

TrayIcon::~TrayIcon() {
    if (window_ && data_) {
        if (Shell_NotifyIconA(NIM_DELETE, data_.get()) == TRUE) shown_ = false;
    }
    Detach();
    data_.reset();
}

bool TrayIcon::Create(HWND window, HICON icon, HMENU menu, const std::string& tip, bool removeOnRestore,
                      UINT leftMessage, UINT rightMessage) {
    if (window_ || data_ || !window) return true;
    auto data = std::make_unique<NOTIFYICONDATAA>();
    if (!SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    window_ = window;

    // The fields every shell since Windows 2000 reads; the balloon fields stay empty.
    *data = NOTIFYICONDATAA{};
    data->cbSize = NOTIFYICONDATAA_V2_SIZE;
    data->hWnd = window;
    data->uID = static_cast<UINT>(reinterpret_cast<UINT_PTR>(menu));
    data->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    data->uCallbackMessage = TrayMessage;
    data->hIcon = icon;
    const std::string cut = CutTrayTip(tip, IsLeadByte);
    cut.copy(data->szTip, cut.size());
    data_ = std::move(data);
    menu_ = menu;
    removeOnRestore_ = removeOnRestore;
    leftMessage_ = leftMessage;
    rightMessage_ = rightMessage;
    return true;
}

BOOL TrayIcon::AddIcon() {
    if (!data_) return FALSE;
    const BOOL result = Shell_NotifyIconA(NIM_ADD, data_.get());
    if (result == TRUE) shown_ = true;
    return result;
}

BOOL TrayIcon::RemoveIcon() {
    if (!data_) return FALSE;
    const BOOL result = Shell_NotifyIconA(NIM_DELETE, data_.get());
    if (result == TRUE) shown_ = false;
    return result;
}

void TrayIcon::Detach() {
    if (window_) RemoveWindowSubclass(window_, SubclassProc, kSubclassId);
    window_ = nullptr;
}

void TrayIcon::OnIconMessage(LPARAM mouseMessage) {
    if (static_cast<UINT>(mouseMessage) == leftMessage_) {
        ShowWindow(window_, SW_SHOW);
        SetForegroundWindow(window_);
        if (removeOnRestore_) RemoveIcon();
    } else if (static_cast<UINT>(mouseMessage) == rightMessage_) {
        POINT cursor{};
        GetCursorPos(&cursor);
        // Without the window in front, the menu would not close when the user clicks
        // elsewhere.
        SetForegroundWindow(window_);
        TrackPopupMenu(menu_, 0, cursor.x, cursor.y, 0, window_, nullptr);
    }
}

LRESULT CALLBACK TrayIcon::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR reference) noexcept {
    auto* self = reinterpret_cast<TrayIcon*>(reference);
    try {
        if (self && self->data_ && self->window_ == window) {
            if (message == TrayMessage && message != 0 && wParam == self->data_->uID) {
                self->OnIconMessage(lParam);
            } else if (message == TaskbarCreatedMessage && message != 0 && self->shown_) {
                // The shell restarted and forgot the icon; a failure leaves it marked shown
                // for the next restart.
                Shell_NotifyIconA(NIM_ADD, self->data_.get());
            } else if (message == WM_NCDESTROY) {
                self->Detach();
            }
        }
    } catch (...) {
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
