#pragma once
// The HTTP engine: one internet handle, one connection to one server and at most one
// request at a time, over WinInet. It follows redirects itself and brings one object into
// one local file, continuing a partial file where an earlier attempt stopped.
//
// All operations run on one worker thread. The counters may be read from any thread.

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "app/UniqueHandle.h"
#include "net/HttpText.h"

// The progress counters are read by other threads while the download adds to them; on a
// 32-bit target that holds without tearing only if the 64-bit atomics need no lock.
static_assert(std::atomic<uint64_t>::is_always_lock_free);

struct InternetHandleTraits {
    using Type = HINTERNET;
    static constexpr Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::InternetCloseHandle(h); }
};
using UniqueInternetHandle = UniqueHandle<InternetHandleTraits>;

// Results of DownloadToFile.
inline constexpr int kDownloadAlreadyComplete = 1;  // nothing transferred: the file was complete
inline constexpr int kDownloadDone = 0;             // the body was transferred to the end
inline constexpr int kDownloadNoObject = -1;        // no usable answer (status, Last-Modified, Content-Length)
inline constexpr int kDownloadReadFailed = -2;      // the transfer broke off; the next call continues
inline constexpr int kDownloadFileFailed = -3;      // the local file could not be opened or written
inline constexpr int kDownloadStopped = -4;         // stopRequested ended the transfer

class HttpDownloader {
public:
    HttpDownloader();
    virtual ~HttpDownloader();
    HttpDownloader(const HttpDownloader&) = delete;
    HttpDownloader& operator=(const HttpDownloader&) = delete;

    // hostText: "host" or "host:port" (ANSI). 1 = connected, 0 = failed.
    int Connect(const char* hostText, const char* userName, const char* password, int callerValue);
    // 1 when the server answered 200 or 206 (after redirects), else 0.
    int SendGet(const char* objectPath, const char* extraHeaders);
    int QueryContentLength(uint64_t* size);
    int QueryLastModified(SYSTEMTIME* time);
    // One attempt; see the kDownload* results. resumeAllowed must be exactly 1 to continue
    // a partial file.
    int DownloadToFile(const char* objectPath, const char* fileName, int resumeAllowed);

    // Called on the downloading thread after each written block (status 1), or once with
    // status 0 when the file was already complete. The engine holds no lock and is in no
    // WinInet call here, so an override may block (a pause); if the server gives up
    // meanwhile, the attempt ends with -2 and the next one continues the file.
    virtual void OnProgress(HANDLE file, int status, uint32_t transferMs, uint64_t receivedBytes,
                            uint64_t totalSize, uint64_t fileSize, int callerValue);

    uint32_t TransferMs() const { return transferMs_.load(std::memory_order_relaxed); }
    uint64_t ReceivedBytes() const { return receivedBytes_.load(std::memory_order_relaxed); }
    int CallerValue() const { return callerValue_.load(std::memory_order_relaxed); }

    // 1 stops the transfer loop before its next read; cleared by Connect.
    std::atomic<int> stopRequested{0};

    static constexpr int kMaxRedirects = 10;
    static constexpr uint32_t kBlockSize = 4096;
    static constexpr DWORD kTimeoutMs = 5000;

private:
    struct Answer {
        bool answered = false;  // false: no HTTP status at all (connection or timeout failure)
        DWORD status = 0;
    };
    // What a response says about the whole object.
    struct ServerObject {
        SYSTEMTIME lastModified{};
        uint64_t totalSize = 0;
    };
    struct Credentials {
        std::string user, password;
        bool hasUser = false, hasPassword = false;
    };

    int ConnectTo(const char* hostText, const char* userName, const char* password, int callerValue);
    bool OpenSession(const char* hostText, const char* userName, const char* password);
    void CloseAll();
    Answer Send(const char* objectPath, const char* extraHeaders, int redirectsLeft);
    Answer FollowRedirect(DWORD status, const char* extraHeaders, int redirectsLeft);
    bool QueryText(DWORD query, char* buffer, DWORD size);
    std::optional<ContentRange> QueryContentRange();
    bool ReturnToOrigin();

    // DownloadToFile's steps (DownloadToFile.cpp).
    bool DescribeWholeObject(DWORD status, ServerObject& object);
    bool DescribeContinuation(uint64_t fileSize, const SYSTEMTIME& fileStamp, ServerObject& object);
    int RunTransfer(HANDLE file, uint64_t startOffset, const ServerObject& object);

    UniqueInternetHandle internetHandle_;
    UniqueInternetHandle connectHandle_;
    UniqueInternetHandle requestHandle_;
    std::atomic<int> callerValue_{0};
    std::atomic<uint32_t> transferMs_{1};
    std::atomic<uint64_t> receivedBytes_{0};

    // Connect's host: a redirect moves the connection elsewhere, but every attempt starts
    // again from the address the caller gave, so that a redirect to another path on
    // another host is followed anew instead of asking that host for the caller's path.
    std::string originHost_;
    Credentials originCredentials_;
    std::string currentHost_;  // the host text of the open connection
};
