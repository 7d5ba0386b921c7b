// One download attempt against the fault server, through Wine's real WinInet and file
// system: where the local file starts, what is asked for, and what the file holds after.
// Every fault ends in a byte-identical file or a negative result, never in a file with the
// wrong bytes reported as done.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "FaultServer.h"
#include "app/TextConv.h"
#include "net/HttpDownloader.h"
#include "support/TestSupport.h"

namespace {

const char kServerTimeText[] = "Wed, 21 Oct 2015 07:28:00 GMT";
const SYSTEMTIME kServerTime = {2015, 10, 0, 21, 7, 28, 0, 0};

struct ProgressCall {
    int status;
    uint32_t transferMs;
    uint64_t receivedBytes, totalSize, fileSize;
    int callerValue;
};

class RecordingDownloader : public HttpDownloader {
public:
    std::vector<ProgressCall> calls;
    std::function<void(const ProgressCall&)> hook;

    void OnProgress(HANDLE file, int status, uint32_t transferMs, uint64_t receivedBytes, uint64_t totalSize,
                    uint64_t fileSize, int callerValue) override {
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        calls.push_back({status, transferMs, receivedBytes, totalSize, fileSize, callerValue});
        if (hook) hook(calls.back());
    }
};

std::optional<FILETIME> LastWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return data.ftLastWriteTime;
}

// The last-write time as the engine compares it (UTC, no weekday, no milliseconds).
std::optional<SYSTEMTIME> Stamp(const std::wstring& path) {
    const auto time = LastWriteTime(path);
    SYSTEMTIME utc{};
    if (!time || !FileTimeToSystemTime(&*time, &utc)) return std::nullopt;
    utc.wDayOfWeek = 0;
    utc.wMilliseconds = 0;
    return utc;
}

bool SameTime(const std::optional<SYSTEMTIME>& a, const SYSTEMTIME& b) {
    return a && a->wYear == b.wYear && a->wMonth == b.wMonth && a->wDay == b.wDay && a->wHour == b.wHour &&
           a->wMinute == b.wMinute && a->wSecond == b.wSecond && a->wMilliseconds == b.wMilliseconds;
}

// A leftover of an earlier attempt: `bytes`, last written at `time`.
void PlaceFile(const std::wstring& path, const std::string& bytes, const SYSTEMTIME& time) {
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    FILETIME stamp{};
    ASSERT_TRUE(SystemTimeToFileTime(&time, &stamp));
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &stamp));
    CloseHandle(file);
}

// "" when the bytes are equal, else where they part (whole files are too big to print).
std::string Mismatch(const std::string& actual, const std::string& expected) {
    if (actual == expected) return "";
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    return "size " + std::to_string(actual.size()) + " instead of " + std::to_string(expected.size()) +
           ", first difference at " + std::to_string(at);
}

SYSTEMTIME OneSecondLater(SYSTEMTIME time) {
    time.wSecond += 1;
    return time;
}

std::vector<std::optional<std::string>> RangeHeaders() {
    std::vector<std::optional<std::string>> ranges;
    for (const LoggedRequest& request : ServerLog()) ranges.push_back(request.Header("Range"));
    return ranges;
}

class DownloadToFileTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(FaultServerPort(), 0) << "run under tests/servers/fault_server.py";
        ASSERT_EQ(http.Connect(FaultServerHost().c_str(), nullptr, nullptr, 0), 1);
    }

    int Download(int resumeAllowed = 1) {
        return http.DownloadToFile("/pkg.bin", WideToAnsi(path).c_str(), resumeAllowed);
    }
    std::string FileBytes() const { return ReadFileBytes(path).value_or("<no file>"); }

    ScratchDir dir;
    const std::wstring path = dir / L"zel_lobby.install";
    RecordingDownloader http;
};

}  // namespace

TEST_F(DownloadToFileTest, FreshDownloadIsStampedAndComplete) {
    ASSERT_TRUE(ConfigureServer("size=10000"));
    EXPECT_EQ(Download(), 0);
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(10000)), "");
    EXPECT_TRUE(SameTime(Stamp(path), kServerTime));
    EXPECT_EQ(RangeHeaders(), std::vector<std::optional<std::string>>{std::nullopt});

    ASSERT_EQ(http.calls.size(), 3u) << "4096-byte blocks";
    uint64_t previous = 0;
    for (const ProgressCall& call : http.calls) {
        EXPECT_EQ(call.status, 1);
        EXPECT_EQ(call.totalSize, 10000u);
        EXPECT_LE(call.fileSize - previous, HttpDownloader::kBlockSize);
        EXPECT_EQ(call.receivedBytes, call.fileSize);
        EXPECT_GE(call.transferMs, 1u);
        previous = call.fileSize;
    }
    EXPECT_EQ(previous, 10000u);
    EXPECT_EQ(http.ReceivedBytes(), 10000u);
}

TEST_F(DownloadToFileTest, CompleteFileIsNotTransferredAgain) {
    ASSERT_TRUE(ConfigureServer("size=5000"));
    PlaceFile(path, ObjectBytes(5000), kServerTime);
    for (int resume : {1, 0}) {
        http.calls.clear();
        EXPECT_EQ(Download(resume), 1);
        ASSERT_EQ(http.calls.size(), 1u);
        EXPECT_EQ(http.calls[0].status, 0);
        EXPECT_EQ(http.calls[0].fileSize, 5000u);
        EXPECT_EQ(http.calls[0].totalSize, 5000u);
        EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(5000)), "");
        EXPECT_TRUE(SameTime(Stamp(path), kServerTime));
    }
}

TEST_F(DownloadToFileTest, PartialFileContinuesWithTheExactRangeHeader) {
    ASSERT_TRUE(ConfigureServer("size=5000"));
    PlaceFile(path, ObjectBytes(1000), kServerTime);
    EXPECT_EQ(Download(), 0);
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(5000)), "");
    EXPECT_EQ(RangeHeaders(), std::vector<std::optional<std::string>>{"bytes=1000-"});
    EXPECT_EQ(ServerLog().at(0).headers.size(), 3u) << "Host, Connection and the range, nothing else";
    EXPECT_EQ(ServerBodyBytes(), 4000u);
    EXPECT_EQ(http.ReceivedBytes(), 4000u);
    EXPECT_EQ(http.calls.back().fileSize, 5000u);
    EXPECT_EQ(http.calls.back().totalSize, 5000u);
    EXPECT_TRUE(SameTime(Stamp(path), kServerTime));
}

// Each row: the server's faults, the leftover file (size 0: none), the flag, and what must
// come of it. The file ends as the whole object, or as the given result with the leftover
// untouched.
// Each row: the server's faults, the leftover file, the resume flag, and the Range header
// of each request made. Every row must end with the whole object, stamped with the
// server's current time.
TEST_F(DownloadToFileTest, StartTable) {
    const SYSTEMTIME newTime = {2016, 1, 0, 2, 3, 4, 5, 0};
    const std::string newTimeText = UrlEncode("Sat, 02 Jan 2016 03:04:05 GMT");
    using Ranges = std::vector<std::optional<std::string>>;
    const struct {
        const char* name;
        std::string faults;
        std::optional<uint64_t> leftover;  // size of the leftover, none when absent
        SYSTEMTIME leftoverTime;
        int resume;
        Ranges ranges;
        SYSTEMTIME stamp;  // the server's time at the end
    } cases[] = {
        {"resume not allowed", "size=5000", 1000, kServerTime, 0, {std::nullopt}, kServerTime},
        {"resume flag other than 1", "size=5000", 1000, kServerTime, 2, {std::nullopt}, kServerTime},
        {"stamp one second off", "size=5000", 1000, OneSecondLater(kServerTime), 1, {"bytes=1000-", std::nullopt},
         kServerTime},
        {"object changed since", "size=5000&lm=" + newTimeText, 1000, kServerTime, 1, {"bytes=1000-", std::nullopt},
         newTime},
        {"Last-Modified changing on every request", "size=5000&lm=" + newTimeText + "&lm=" + UrlEncode(kServerTimeText),
         1000, kServerTime, 1, {"bytes=1000-", std::nullopt}, kServerTime},
        {"416 to the range", "size=5000&range=status&range_status=416", 1000, kServerTime, 1,
         {"bytes=1000-", std::nullopt}, kServerTime},
        {"404 to the range", "size=5000&range=status&range_status=404", 1000, kServerTime, 1,
         {"bytes=1000-", std::nullopt}, kServerTime},
        {"range ignored: 200 with the whole body", "size=5000&range=ignore", 1000, kServerTime, 1, {"bytes=1000-"},
         kServerTime},
        {"Content-Range starting early", "size=5000&range=shift&range_shift=100", 1000, kServerTime, 1,
         {"bytes=1000-", std::nullopt}, kServerTime},
        {"206 without Content-Length", "size=5000&no_cl=1&range=honour", 1000, kServerTime, 1, {}, kServerTime},
        {"leftover longer than the object", "size=5000", 6000, kServerTime, 1, {"bytes=6000-", std::nullopt},
         kServerTime},
        {"empty leftover", "size=5000", 0, kServerTime, 1, {std::nullopt}, kServerTime},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW(path.c_str());
        ASSERT_TRUE(ConfigureServer(c.faults));
        if (c.leftover) PlaceFile(path, ObjectBytes(*c.leftover), c.leftoverTime);
        if (std::string(c.name) == "206 without Content-Length") {
            // Neither the range nor the plain answer has a length: nothing to go on.
            EXPECT_EQ(Download(c.resume), -1);
            EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(1000)), "");
            continue;
        }
        EXPECT_EQ(Download(c.resume), 0);
        EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(5000)), "");
        EXPECT_TRUE(SameTime(Stamp(path), c.stamp));
        EXPECT_EQ(RangeHeaders(), c.ranges);
    }
}

TEST_F(DownloadToFileTest, FailuresBeforeTheBodyTouchNoFile) {
    const struct {
        const char* name;
        std::string faults;
        int result;
        int resultWithLeftover;  // a 5xx to the range keeps the leftover for the next attempt
    } cases[] = {
        {"no Last-Modified", "size=5000&lm=none", -1, -1},
        {"no Content-Length", "size=5000&no_cl=1", -1, -1},
        {"Last-Modified too long to read", "size=5000&lm=" + UrlEncode("Wednesday, 21 October 2015 07:28:00 GMT"),
         -1, -1},
        {"404", "status=404", -1, -1},
        {"500", "status=500", -1, -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(ConfigureServer(c.faults));
        DeleteFileW(path.c_str());
        http.calls.clear();
        EXPECT_EQ(Download(), c.result) << "no leftover";
        EXPECT_FALSE(FileExists(path));

        PlaceFile(path, ObjectBytes(1000), kServerTime);
        const auto before = LastWriteTime(path);
        EXPECT_EQ(Download(), c.resultWithLeftover) << "with a leftover";
        EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(1000)), "");
        const auto after = LastWriteTime(path);
        EXPECT_TRUE(before && after && CompareFileTime(&*before, &*after) == 0);
        EXPECT_TRUE(http.calls.empty());
    }
}

TEST_F(DownloadToFileTest, DroppedConnectionContinuesWhereItStopped) {
    ASSERT_TRUE(ConfigureServer("size=20000&drop_after=9000&drop_count=1"));
    EXPECT_EQ(Download(), -2);
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(9000)), "");
    EXPECT_TRUE(SameTime(Stamp(path), kServerTime)) << "the stamp survives the writes";
    EXPECT_EQ(Download(), 0);
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(20000)), "");
    EXPECT_EQ(RangeHeaders().back(), "bytes=9000-");
    EXPECT_EQ(ServerBodyBytes(), 20000u) << "nothing sent twice";
}

TEST_F(DownloadToFileTest, ServerErrorToTheRangeKeepsTheLeftover) {
    // A 5xx says nothing about the object: the next attempt asks for the same range again.
    ASSERT_TRUE(ConfigureServer("size=5000&range=status&range_status=503"));
    PlaceFile(path, ObjectBytes(1000), kServerTime);
    const auto before = LastWriteTime(path);
    EXPECT_EQ(Download(), -2);
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(1000)), "");
    const auto after = LastWriteTime(path);
    EXPECT_TRUE(before && after && CompareFileTime(&*before, &*after) == 0);
    ASSERT_TRUE(ConfigureServer("size=5000"));
    EXPECT_EQ(Download(), 0);
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(5000)), "");
    EXPECT_EQ(ServerBodyBytes(), 4000u);
}

TEST_F(DownloadToFileTest, ShortBodyNeverCountsAsComplete) {
    // Content-Length promises more than the server ever sends.
    ASSERT_TRUE(ConfigureServer("size=5000&cl_extra=3000"));
    EXPECT_EQ(Download(), -2);
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(5000)), "");
    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_LT(Download(), 0);
        EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(5000)), "") << "never appended to";
    }
}

TEST_F(DownloadToFileTest, ZeroLengthObjectIsCompleteAtOnce) {
    ASSERT_TRUE(ConfigureServer("size=0"));
    EXPECT_EQ(Download(), 0);
    EXPECT_EQ(FileBytes(), "");
    EXPECT_TRUE(SameTime(Stamp(path), kServerTime));
    EXPECT_EQ(Download(), 1);
}

TEST_F(DownloadToFileTest, UnreadableLastModifiedDownloadsWithoutResuming) {
    ASSERT_TRUE(ConfigureServer("size=5000&lm=" + UrlEncode("Wed, 21 Foo 2015 07:28:00 GMT")));
    EXPECT_EQ(Download(), 0);
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(5000)), "");
    // Without a usable stamp the file is never taken for complete or continued.
    EXPECT_EQ(Download(), 0);
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(5000)), "");
    EXPECT_EQ(ServerBodyBytes(), 10000u);
}

TEST_F(DownloadToFileTest, ReadOnlyLeftoverIsReplaced) {
    ASSERT_TRUE(ConfigureServer("size=5000"));
    PlaceFile(path, "old", OneSecondLater(kServerTime));
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(Download(), 0);
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(5000)), "");
    EXPECT_EQ(GetFileAttributesW(path.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
}

TEST_F(DownloadToFileTest, MissingFoldersAreCreated) {
    ASSERT_TRUE(ConfigureServer("size=5000"));
    const std::wstring nested = dir / L"a\\b\\c.bin";
    EXPECT_EQ(http.DownloadToFile("/pkg.bin", WideToAnsi(nested).c_str(), 1), 0);
    EXPECT_EQ(Mismatch(ReadFileBytes(nested).value_or(""), ObjectBytes(5000)), "");

    // Relative to the current directory, with forward slashes.
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
    EXPECT_EQ(http.DownloadToFile("/pkg.bin", "d/e/f.bin", 1), 0);
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(Mismatch(ReadFileBytes(dir / L"d\\e\\f.bin").value_or(""), ObjectBytes(5000)), "");
}

TEST_F(DownloadToFileTest, RedirectedObjectResumesThroughTheRedirect) {
    // The package address redirects to another path; every attempt starts at the address
    // the caller gave, so the second attempt's range reaches the object again.
    ASSERT_TRUE(ConfigureServer("size=20000&path=/files/p.bin&drop_after=7000&drop_count=1&redirect=" +
                                UrlEncode("/pkg.bin 302 http://" + FaultServerHost() + "/files/p.bin")));
    EXPECT_EQ(Download(), -2);
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(7000)), "");
    EXPECT_EQ(Download(), 0);
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(20000)), "");
    const std::vector<LoggedRequest> log = ServerLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[2].line, "GET /pkg.bin HTTP/1.0");
    EXPECT_EQ(log[3].line, "GET /files/p.bin HTTP/1.0");
    EXPECT_EQ(log[3].Header("Range").value_or("<none>"), "bytes=7000-");
}

TEST_F(DownloadToFileTest, StalledServerEndsTheReadWithinTheTimeout) {
    ASSERT_TRUE(ConfigureServer("size=20000&stall_after=6000&stall_count=1&stall_secs=30"));
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(Download(), -2);
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 4000u);
    EXPECT_LT(elapsed, 15000u) << "the 5000 ms receive timeout ends the read";
    // WinInet fills whole blocks: the block the stall cut short is lost, the rest is kept.
    const std::string partial = FileBytes();
    EXPECT_EQ(partial.size(), 4096u);
    EXPECT_EQ(Mismatch(partial, ObjectBytes(partial.size())), "");
    EXPECT_TRUE(SameTime(Stamp(path), kServerTime));
    EXPECT_EQ(Download(), 0);
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(20000)), "");
}

TEST_F(DownloadToFileTest, BlockingProgressOutlivingTheServerGivesACleanRetry) {
    // The server drops a client that does not read for a second; the override pauses three
    // times that long once, as a paused install would.
    constexpr uint64_t kSize = 16u << 20;
    ASSERT_TRUE(ConfigureServer("size=" + std::to_string(kSize) + "&write_timeout=1"));
    bool paused = false;
    http.hook = [&](const ProgressCall& call) {
        if (!paused && call.fileSize >= (1u << 20)) {
            paused = true;
            Sleep(3000);
        }
    };
    EXPECT_EQ(Download(), -2);
    ASSERT_TRUE(paused);
    const uint64_t partial = ReadFileBytes(path).value_or("").size();
    EXPECT_GT(partial, 1u << 20);
    EXPECT_LT(partial, kSize);
    http.hook = nullptr;
    EXPECT_EQ(Download(), 0);
    EXPECT_EQ(RangeHeaders().back(), "bytes=" + std::to_string(partial) + "-");
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(kSize)), "") << "byte-identical";
}

TEST_F(DownloadToFileTest, StopRequestEndsTheTransferUntilTheNextConnect) {
    ASSERT_TRUE(ConfigureServer("size=20000"));
    http.hook = [&](const ProgressCall&) { http.stopRequested = 1; };
    EXPECT_EQ(Download(), -4);
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(4096)), "");
    http.hook = nullptr;
    EXPECT_EQ(Download(), -4) << "still stopped";
    ASSERT_EQ(http.Connect(FaultServerHost().c_str(), nullptr, nullptr, 0), 1);
    EXPECT_EQ(Download(), 0);
    EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(20000)), "");
}

TEST_F(DownloadToFileTest, HugeHeaderLine) {
    // Wine's WinInet takes a 64 KiB header line (result 0); a WinInet that refuses it must
    // still end in a failure, not a wrong file.
    ASSERT_TRUE(ConfigureServer("size=5000&filler=65536"));
    const int result = Download();
    if (result == 0)
        EXPECT_EQ(Mismatch(FileBytes(), ObjectBytes(5000)), "");
    else
        EXPECT_LT(result, 0);
}

TEST_F(DownloadToFileTest, CountersAreReadWithoutTearingWhileDownloading) {
    constexpr uint64_t kSize = 4u << 20;
    ASSERT_TRUE(ConfigureServer("size=" + std::to_string(kSize)));
    std::atomic<bool> done{false};
    uint64_t last = 0;
    bool monotonic = true;
    std::thread reader([&] {
        while (!done) {
            const uint64_t now = http.ReceivedBytes();
            monotonic = monotonic && now >= last && now <= kSize;
            last = now;
        }
    });
    EXPECT_EQ(Download(), 0);
    done = true;
    reader.join();
    EXPECT_TRUE(monotonic);
    EXPECT_EQ(http.ReceivedBytes(), kSize);
}
