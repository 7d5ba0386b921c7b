#include "install/StatsReporter.h"

#include <windows.h>
#include <wininet.h>

#include "app/UniqueHandle.h"

namespace {

struct InternetHandleTraits {
    using Type = HINTERNET;
    static constexpr Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { InternetCloseHandle(h); }
};
using UniqueInternet = UniqueHandle<InternetHandleTraits>;

void SetTimeouts(HINTERNET handle) {
    DWORD timeout = kReportTimeoutMs;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(handle, option, &timeout, sizeof timeout);
}

}  // namespace

void SendReport(const std::wstring& address) {
    // The request is opened by hand rather than with InternetOpenUrl: only a request handle
    // of our own takes the time-outs on every system (Wine's InternetOpenUrl waited a
    // minute for a silent host whatever the session's time-outs said).
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts)) return;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    const std::wstring object = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                                std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);

    UniqueInternet internet(InternetOpenW(L"UrlTest", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) return;
    SetTimeouts(internet.Get());
    UniqueInternet connection(InternetConnectW(internet.Get(), host.c_str(), parts.nPort, nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return;
    UniqueInternet request(HttpOpenRequestW(connection.Get(), L"GET", object.c_str(), nullptr, nullptr, nullptr,
                                            INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD, 0));
    if (!request) return;
    SetTimeouts(request.Get());
    if (!HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0)) return;

    const ULONGLONG deadline = GetTickCount64() + kReportDeadlineMs;
    char buffer[260];
    DWORD got = 0;
    while (GetTickCount64() < deadline && InternetReadFile(request.Get(), buffer, sizeof buffer - 1, &got) && got > 0) {
    }
}
