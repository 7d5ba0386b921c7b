#include "skin/MessageLoop.h"

#include <windows.h>

int RunMessageLoop() {
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) == 1) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // An enclosing loop must end too.
    PostQuitMessage(static_cast<int>(msg.wParam));
    return static_cast<int>(msg.wParam);
}
