#include "net/HttpDownloader.h"

namespace {

// WinInet's flags for every request. Redirects are ours to follow (WinInet would follow
// them itself, and chase a loop for a long time), and a package always comes from the
// server: never from the cache, and never copied into it (under Wine the cache would
// otherwise hold a second copy of every package).
constexpr DWORD kRequestFlags =
    INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;

// Wine's requests do not inherit the timeouts of the internet handle, so both get them;
// without this a read from a silent server waits until the server closes.
void SetTimeouts(HINTERNET handle) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_CONTROL_SEND_TIMEOUT,
                         INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT}) {
        DWORD value = HttpDownloader::kTimeoutMs;
        InternetSetOptionA(handle, option, &value, sizeof value);
    }
}

}  // namespace

HttpDownloader::HttpDownloader() {
    // One download host and its mirrors must never be throttled by WinInet's own limits.
    DWORD unlimited = 0xFFFFFFFF;
    InternetSetOptionA(nullptr, INTERNET_OPTION_MAX_CONNS_PER_SERVER, &unlimited, sizeof unlimited);
    InternetSetOptionA(nullptr, INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER, &unlimited, sizeof unlimited);
}

HttpDownloader::~HttpDownloader() {
    CloseAll();
    callerValue_ = 0;
}

void HttpDownloader::OnProgress(HANDLE, int, uint32_t, uint64_t, uint64_t, uint64_t, int) {}

void HttpDownloader::CloseAll() {
    requestHandle_.Reset();
    connectHandle_.Reset();
    internetHandle_.Reset();
}

int HttpDownloader::Connect(const char* hostText, const char* userName, const char* password, int callerValue) {
    originHost_ = hostText ? hostText : "";
    originCredentials_ = {};
    if (userName) originCredentials_.user = userName, originCredentials_.hasUser = true;
    if (password) originCredentials_.password = password, originCredentials_.hasPassword = true;
    return ConnectTo(hostText, userName, password, callerValue);
}

int HttpDownloader::ConnectTo(const char* hostText, const char* userName, const char* password, int callerValue) {
    if (!OpenSession(hostText, userName, password)) return 0;
    callerValue_ = callerValue;
    transferMs_ = 1;
    receivedBytes_ = 0;
    stopRequested = 0;
    return 1;
}

bool HttpDownloader::OpenSession(const char* hostText, const char* userName, const char* password) {
    CloseAll();
    currentHost_.clear();
    if (!hostText) return false;
    internetHandle_.Reset(InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internetHandle_) return false;
    SetTimeouts(internetHandle_.Get());
    const std::optional<HostPort> target = SplitHostPort(hostText);
    if (!target) return false;
    connectHandle_.Reset(InternetConnectA(internetHandle_.Get(), target->host.c_str(),
                                          static_cast<INTERNET_PORT>(target->port), userName, password,
                                          INTERNET_SERVICE_HTTP, 0, 0));
    if (!connectHandle_) return false;
    currentHost_ = hostText;
    return true;
}

bool HttpDownloader::ReturnToOrigin() {
    if (originHost_.empty()) return false;
    if (connectHandle_ && currentHost_ == originHost_) return true;
    const Credentials& c = originCredentials_;
    return OpenSession(originHost_.c_str(), c.hasUser ? c.user.c_str() : nullptr,
                       c.hasPassword ? c.password.c_str() : nullptr);
}

int HttpDownloader::SendGet(const char* objectPath, const char* extraHeaders) {
    const Answer answer = Send(objectPath, extraHeaders, kMaxRedirects);
    return answer.answered && (answer.status == HTTP_STATUS_OK || answer.status == HTTP_STATUS_PARTIAL_CONTENT);
}

HttpDownloader::Answer HttpDownloader::Send(const char* objectPath, const char* extraHeaders, int redirectsLeft) {
    requestHandle_.Reset();
    if (!connectHandle_ || !objectPath) return {};
    requestHandle_.Reset(HttpOpenRequestA(connectHandle_.Get(), "GET", objectPath, "HTTP/1.0", nullptr, nullptr,
                                          kRequestFlags, 0));
    if (!requestHandle_) return {};
    SetTimeouts(requestHandle_.Get());
    if (extraHeaders && !HttpAddRequestHeadersA(requestHandle_.Get(), extraHeaders, static_cast<DWORD>(-1),
                                                HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE))
        return {};
    if (!HttpSendRequestA(requestHandle_.Get(), nullptr, 0, nullptr, 0)) return {};
    DWORD status = 0;
    DWORD length = sizeof status;
    if (!HttpQueryInfoA(requestHandle_.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length,
                        nullptr))
        return {};
    if (status == HTTP_STATUS_MOVED || status == HTTP_STATUS_REDIRECT)
        return FollowRedirect(status, extraHeaders, redirectsLeft);
    return {true, status};
}

HttpDownloader::Answer HttpDownloader::FollowRedirect(DWORD status, const char* extraHeaders, int redirectsLeft) {
    // A redirect that cannot be followed is still the server's answer: the status stands.
    const Answer unfollowed{true, status};
    if (redirectsLeft <= 0) return unfollowed;
    char location[256] = {};
    if (!QueryText(HTTP_QUERY_LOCATION, location, sizeof location)) return unfollowed;
    std::optional<RedirectTarget> target = SplitLocation(location);
    if (!target) return unfollowed;
    if (target->hostText.empty()) target->hostText = currentHost_;
    // The caller's header text outlives the handles closed here; the target is our copy.
    if (!ConnectTo(target->hostText.c_str(), nullptr, nullptr, 0)) return {};
    return Send(target->path.c_str(), extraHeaders, redirectsLeft - 1);
}

bool HttpDownloader::QueryText(DWORD query, char* buffer, DWORD size) {
    if (!requestHandle_ || size == 0) return false;
    DWORD length = size;
    const bool ok = HttpQueryInfoA(requestHandle_.Get(), query, buffer, &length, nullptr) != FALSE;
    buffer[size - 1] = '\0';
    return ok;
}

int HttpDownloader::QueryContentLength(uint64_t* size) {
    if (!requestHandle_ || !size) return 0;
    char text[32] = {};
    if (!QueryText(HTTP_QUERY_CONTENT_LENGTH, text, sizeof text)) return 0;
    // A value that is not a plain number is no size at all: taking it as 0 would call an
    // empty file complete.
    const std::optional<uint64_t> value = ParseContentLength(text);
    if (!value) return 0;
    *size = *value;
    return 1;
}

int HttpDownloader::QueryLastModified(SYSTEMTIME* time) {
    if (!requestHandle_ || !time) return 0;
    char text[32] = {};
    if (!QueryText(HTTP_QUERY_LAST_MODIFIED, text, sizeof text)) return 0;
    const HttpDate date = ParseLastModified(text);
    *time = {};
    time->wYear = static_cast<WORD>(date.year);
    time->wMonth = static_cast<WORD>(date.month);
    time->wDay = static_cast<WORD>(date.day);
    time->wHour = static_cast<WORD>(date.hour);
    time->wMinute = static_cast<WORD>(date.minute);
    time->wSecond = static_cast<WORD>(date.second);
    return 1;
}

std::optional<ContentRange> HttpDownloader::QueryContentRange() {
    char text[128] = {};
    if (!QueryText(HTTP_QUERY_CONTENT_RANGE, text, sizeof text)) return std::nullopt;
    return ParseContentRange(text);
}
