#include "install/DesktopIconLocator.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>

#include "app/UniqueHandle.h"
#include "diag/DebugLog.h"

namespace {

constexpr DWORD kProcessAccess =
    PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE;
constexpr size_t kTextCapacity = 1024;
// A shell that does not answer within this time is given up on; the window stays usable.
constexpr UINT kSendTimeoutMs = 2000;
constexpr int kMaxTopLevelWalk = 10000;

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

IsWow64ProcessFn FindIsWow64Process() {
    HMODULE kernel = GetModuleHandleA("kernel32");
    return kernel ? reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                  : nullptr;
}

// The list view's item record, laid out byte by byte in the width of the list view's
// process. 32-bit: text at 20 (4 bytes), capacity at 24, record 40 bytes. 64-bit: text at
// 24 (8 bytes), capacity at 32, record 48 bytes.
struct ItemLayout {
    size_t recordSize;
    size_t textOffset;
    size_t textSize;
    size_t capacityOffset;
};
constexpr ItemLayout kLayout32{40, 20, 4, 24};
constexpr ItemLayout kLayout64{48, 24, 8, 32};

// The memory block in the other process: freed however the search ends.
class RemoteBlock {
public:
    RemoteBlock(HANDLE process, size_t size)
        : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBlock() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    void* Address() const { return address_; }
    uintptr_t Value() const { return reinterpret_cast<uintptr_t>(address_); }

private:
    HANDLE process_;
    void* address_;
};

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, kSendTimeoutMs,
                               result) != 0;
}

HWND ListViewUnder(HWND top) {
    HWND view = FindWindowExA(top, nullptr, "SHELLDLL_DefView", nullptr);
    return view ? FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
}

HWND FindDesktopListView() {
    // With an animated or slideshow wallpaper the icons live under a "WorkerW" window.
    int walked = 0;
    for (HWND top = FindWindowA("WorkerW", nullptr); top && walked < kMaxTopLevelWalk;
         top = GetWindow(top, GW_HWNDNEXT), ++walked) {
        if (!FindWindowExA(top, nullptr, "SHELLDLL_DefView", nullptr)) continue;
        if (HWND list = ListViewUnder(top)) return list;
        break;
    }
    HWND progman = FindWindowA("Progman", "Program Manager");
    return progman ? ListViewUnder(progman) : nullptr;
}

// The width of the list view's process: on a 64-bit system every process is 64-bit unless
// it runs under WoW64 like this one.
bool TargetIs64Bit(HANDLE process) {
    if (!IsRunningUnderWow64()) return false;
    IsWow64ProcessFn isWow64 = FindIsWow64Process();
    BOOL targetWow64 = FALSE;
    if (!isWow64 || !isWow64(process, &targetWow64)) return true;
    return targetWow64 == FALSE;
}

}  // namespace

bool IsRunningUnderWow64() {
    IsWow64ProcessFn isWow64 = FindIsWow64Process();
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

RECT LocateDesktopIcon(const char* labelAnsi, HWND* listViewOut, DebugLog& log) {
    RECT found{};
    HWND listView = FindDesktopListView();
    if (listViewOut) *listViewOut = listView;
    if (!listView) {
        log.Write("hwndSysListView32 = NULL");
        return found;
    }
    DWORD_PTR count = 0;
    if (!Send(listView, LVM_GETITEMCOUNT, 0, 0, &count)) count = 0;
    const int items = static_cast<int>(count) < 0 ? 0 : static_cast<int>(count);
    const int bounded = items > kMaxDesktopItems ? kMaxDesktopItems : items;

    DWORD processId = 0;
    GetWindowThreadProcessId(listView, &processId);
    UniqueKernelHandle process(OpenProcess(kProcessAccess, FALSE, processId));
    if (!process) {
        log.Write("hProcess = NULL");
        return found;
    }
    const bool wide = TargetIs64Bit(process.Get());
    log.Write(wide ? "IsWow64 = true" : "IsWow64 = false");
    const ItemLayout& layout = wide ? kLayout64 : kLayout32;

    RemoteBlock block(process.Get(), layout.recordSize + kTextCapacity);
    if (!block.Address()) {
        log.Write("VirtualAllocEx = NULL");
        return found;
    }
    unsigned char record[48] = {};
    const uint64_t textAddress = block.Value() + layout.recordSize;
    std::memcpy(record + layout.textOffset, &textAddress, layout.textSize);  // little-endian: low bytes first
    const int32_t capacity = static_cast<int32_t>(kTextCapacity);
    std::memcpy(record + layout.capacityOffset, &capacity, sizeof capacity);
    if (!WriteProcessMemory(process.Get(), block.Address(), record, layout.recordSize, nullptr)) {
        log.Write("WriteProcessMemory failed");
        return found;
    }

    const LPARAM remote = static_cast<LPARAM>(block.Value());
    bool matched = false;
    for (int position = 0; position < bounded && !matched; ++position) {
        DWORD_PTR ignored = 0;
        if (!Send(listView, LVM_GETITEMTEXTA, static_cast<WPARAM>(position), remote, &ignored)) break;
        char text[kTextCapacity] = {};
        if (!ReadProcessMemory(process.Get(), reinterpret_cast<const void*>(textAddress), text, sizeof text, nullptr))
            break;
        text[kTextCapacity - 1] = '\0';
        if (lstrcmpiA(text, labelAnsi) != 0) continue;
        matched = true;
        // The rectangle's left field asks for the whole item (LVIR_BOUNDS, 0).
        RECT bounds{};
        if (WriteProcessMemory(process.Get(), block.Address(), &bounds, sizeof bounds, nullptr) &&
            Send(listView, LVM_GETITEMRECT, static_cast<WPARAM>(position), remote, &ignored))
            ReadProcessMemory(process.Get(), block.Address(), &found, sizeof found, nullptr);
    }
    if (!matched) log.Write(wide ? "not found x64 '%s'" : "not found x32 '%s'", labelAnsi);
    return found;
}
