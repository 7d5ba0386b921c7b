#include "WindowTestSupport.h"

#include <cstdlib>

#include "app/BuildConfig.h"
#include "net/FaultServer.h"
#include "skin/SkinTestSupport.h"

void Click(HWND window, int x, int y) {
    PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    PumpUntilIdle();
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        PumpFor(20);
    }
}

std::wstring TextOf(const SkinLabel* label) {
    const wchar_t* text = label ? label->GetLabelText() : nullptr;
    return text ? text : L"";
}

bool ServePackage(const char* packageVariable, const std::string& extra) {
    const char* package = std::getenv(packageVariable);
    if (!package) return false;
    return ConfigureServer("path=" + UrlEncode(Config().packagePath) + "&file=" + UrlEncode(package) + extra);
}

namespace {
int StatsPort() {
    const char* port = std::getenv("STATS_SERVER_PORT");
    return port ? std::atoi(port) : -1;
}
}  // namespace

void ResetStatsServer() { ServerGet("/__control?", StatsPort()); }

int StatsRequestsWith(const std::string& text) {
    int count = 0;
    for (const LoggedRequest& request : ServerLog(StatsPort()))
        if (request.line.find(text) != std::string::npos) ++count;
    return count;
}

std::vector<std::string> ObjectRanges() {
    std::vector<std::string> ranges;
    for (const LoggedRequest& request : ServerLog()) {
        if (request.line.find(Config().packagePath) == std::string::npos) continue;
        std::string range = "-";
        for (const std::string& header : request.headers) {
            // Sent as "range:bytes=N-", without a space.
            if (_strnicmp(header.c_str(), "range:", 6) != 0) continue;
            range = header.substr(6);
            range.erase(0, range.find_first_not_of(' '));
        }
        ranges.push_back(range);
    }
    return ranges;
}
