// A stand-in for the shell's desktop, for the desktop icon locator: the window tree the
// locator looks for, with icon items in a real list view.
//
//   desktop_standin.exe LAYOUT READY_FILE LABEL...
//
// LAYOUT "progman": Progman "Program Manager" / SHELLDLL_DefView / SysListView32.
// LAYOUT "workerw": the same tree under a "WorkerW" window, and an empty Progman.
// LAYOUT "workerw-empty": a WorkerW whose SHELLDLL_DefView has no list view, and the
// full tree under Progman.
// LAYOUT "none": Progman without a list view.
// Items are placed at (20 + 100 i, 10). Once ready it writes one line per item to
// READY_FILE, "item INDEX LEFT TOP RIGHT BOTTOM" (the item's whole rectangle in the list
// view's client coordinates), and then runs until it is killed (at most 120 s).

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

HWND Make(const wchar_t* className, const wchar_t* title, HWND parent, DWORD style) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, className, title, style, 0, 0, 800, 600, parent, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
}

HWND MakeDesktop(const wchar_t* topClass, const wchar_t* title, bool withList) {
    HWND top = Make(topClass, title, nullptr, WS_POPUP);
    HWND view = Make(L"SHELLDLL_DefView", L"", top, WS_CHILD | WS_VISIBLE);
    if (!withList) return nullptr;
    return CreateWindowExW(0, WC_LISTVIEWW, L"FolderView", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0, 800, 600, view,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const std::wstring layout = argv[1];
    HWND list = nullptr;
    if (layout == L"progman") {
        list = MakeDesktop(L"Progman", L"Program Manager", true);
    } else if (layout == L"workerw") {
        list = MakeDesktop(L"WorkerW", L"", true);
        MakeDesktop(L"Progman", L"Program Manager", false);
    } else if (layout == L"workerw-empty") {
        MakeDesktop(L"WorkerW", L"", false);
        list = MakeDesktop(L"Progman", L"Program Manager", true);
    } else {
        MakeDesktop(L"Progman", L"Program Manager", false);
    }

    std::string lines;
    for (int i = 3; list && i < argc; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i - 3;
        item.pszText = argv[i];
        const int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        SendMessageW(list, LVM_SETITEMPOSITION, index, MAKELPARAM(20 + 100 * index, 10));
    }
    for (int i = 0; list && i < argc - 3; ++i) {
        RECT bounds{LVIR_BOUNDS, 0, 0, 0};
        SendMessageW(list, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&bounds));
        char line[96];
        snprintf(line, sizeof line, "item %d %ld %ld %ld %ld\n", i, bounds.left, bounds.top, bounds.right,
                 bounds.bottom);
        lines += line;
    }
    lines += "ready\n";
    HANDLE file = CreateFileW(argv[2], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
    CloseHandle(file);

    SetTimer(nullptr, 1, 120000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && !message.hwnd) break;
        DispatchMessageW(&message);
    }
    return 0;
}
