#include "skin/MessageLoop.h"

#include <windows.h>

#include "skin/SkinWindow.h"
#include "skin/WindowRegistry.h"

namespace {

bool PreTranslated(MSG& message) {
    for (HWND window = message.hwnd; window; window = GetParent(window)) {
        SkinWindow* skinned = WindowRegistry::Instance().Lookup(window);
        if (skinned && skinned->PreTranslateMessage(&message) == 1) return true;
    }
    return false;
}

}  // namespace

int RunMessageLoop() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) == 1) {
        if (message.hwnd && PreTranslated(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    PostQuitMessage(static_cast<int>(message.wParam));
    return static_cast<int>(message.wParam);
}
