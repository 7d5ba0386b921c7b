// The HTTP engine's requests, statuses, redirects and header queries, through Wine's
// real WinInet against the fault server.

#include <gtest/gtest.h>

#include "FaultServer.h"
#include "net/HttpDownloader.h"

namespace {

// A redirect rule for the server: FROM answers CODE with LOCATION.
std::string Redirect(const std::string& from, int code, const std::string& location) {
    return "redirect=" + UrlEncode(from + " " + std::to_string(code) + " " + location);
}

std::vector<std::string> RequestLines() {
    std::vector<std::string> lines;
    for (const LoggedRequest& request : ServerLog()) lines.push_back(request.line);
    return lines;
}

class HttpDownloaderTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(FaultServerPort(), 0) << "run under tests/servers/fault_server.py"; }
};

}  // namespace

TEST_F(HttpDownloaderTest, SendsThePlainRequestTheServerExpects) {
    ASSERT_TRUE(ConfigureServer("size=100"));
    HttpDownloader http;
    ASSERT_EQ(http.Connect(FaultServerHost().c_str(), nullptr, nullptr, 7), 1);
    EXPECT_EQ(http.CallerValue(), 7);
    ASSERT_EQ(http.SendGet("/pkg.bin", nullptr), 1);
    ASSERT_EQ(http.SendGet("/pkg.bin", "range:bytes=10-"), 1);

    const std::vector<LoggedRequest> log = ServerLog();
    ASSERT_EQ(log.size(), 2u);
    for (const LoggedRequest& request : log) {
        EXPECT_EQ(request.line, "GET /pkg.bin HTTP/1.0");
        EXPECT_EQ(request.Header("Host").value_or(""), FaultServerHost());
        EXPECT_EQ(request.Header("Connection").value_or(""), "Keep-Alive");
        // Nothing else: no agent text, and no cache headers from the reload flag.
        EXPECT_FALSE(request.Header("User-Agent"));
        EXPECT_FALSE(request.Header("Pragma"));
        EXPECT_FALSE(request.Header("Cache-Control"));
    }
    EXPECT_EQ(log[0].headers.size(), 2u);
    EXPECT_EQ(log[1].headers.size(), 3u);
    EXPECT_EQ(log[1].Header("Range").value_or("<none>"), "bytes=10-");
    EXPECT_EQ(log[1].status, 206);
}

TEST_F(HttpDownloaderTest, ConnectRejectsWhatCannotBeAHost) {
    HttpDownloader http;
    EXPECT_EQ(http.Connect(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(http.Connect("127.0.0.1:0", nullptr, nullptr, 0), 0);
    EXPECT_EQ(http.Connect("127.0.0.1:65536", nullptr, nullptr, 0), 0);
    EXPECT_EQ(http.Connect(":81", nullptr, nullptr, 0), 0);
    EXPECT_EQ(http.Connect(std::string(300, 'h').c_str(), nullptr, nullptr, 0), 0);
    EXPECT_EQ(http.SendGet("/pkg.bin", nullptr), 0) << "no connection, no request";
    uint64_t size = 0;
    SYSTEMTIME time{};
    EXPECT_EQ(http.QueryContentLength(&size), 0);
    EXPECT_EQ(http.QueryLastModified(&time), 0);
}

TEST_F(HttpDownloaderTest, StatusTable) {
    const struct {
        const char* faults;
        int result;
    } cases[] = {
        {"size=10", 1},
        {"status=304", 0},
        {"status=404", 0},
        {"status=500", 0},
        {"status=503", 0},
        {"path=/elsewhere", 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(ConfigureServer(c.faults));
        HttpDownloader http;
        ASSERT_EQ(http.Connect(FaultServerHost().c_str(), nullptr, nullptr, 0), 1);
        EXPECT_EQ(http.SendGet("/pkg.bin", nullptr), c.result) << c.faults;
    }
}

TEST_F(HttpDownloaderTest, RedirectTable) {
    const std::string here = FaultServerHost();
    const std::string long255 = "/" + std::string(254, 'x');
    const std::string long256 = "/" + std::string(255, 'x');
    const std::string long300 = "/" + std::string(299, 'x');
    const struct {
        std::string faults;
        int result;
        std::vector<std::string> lines;  // request lines the server saw, in order
    } cases[] = {
        // The location forms: with and without "http://" (any case), with a path or none.
        {"path=/update/a.zip&" + Redirect("/pkg.bin", 301, "http://" + here + "/update/a.zip"), 1,
         {"GET /pkg.bin HTTP/1.0", "GET /update/a.zip HTTP/1.0"}},
        {"path=/update/a.zip&" + Redirect("/pkg.bin", 302, "HTTP://" + here + "/update/a.zip"), 1,
         {"GET /pkg.bin HTTP/1.0", "GET /update/a.zip HTTP/1.0"}},
        {"path=/a.zip&" + Redirect("/pkg.bin", 302, here + "/a.zip"), 1,
         {"GET /pkg.bin HTTP/1.0", "GET /a.zip HTTP/1.0"}},
        {"path=/&" + Redirect("/pkg.bin", 302, "http://" + here), 1, {"GET /pkg.bin HTTP/1.0", "GET / HTTP/1.0"}},
        // A location starting with '/' stays on this host.
        {"path=/b/c.bin&" + Redirect("/pkg.bin", 302, "/b/c.bin"), 1, {"GET /pkg.bin HTTP/1.0", "GET /b/c.bin HTTP/1.0"}},
        // Without a port the redirect goes to port 80, where this server is not.
        {Redirect("/pkg.bin", 302, "http://127.0.0.1/pkg.bin"), 0, {"GET /pkg.bin HTTP/1.0"}},
        // Another scheme is not followed.
        {Redirect("/pkg.bin", 302, "https://" + here + "/pkg.bin"), 0, {"GET /pkg.bin HTTP/1.0"}},
        // A chain of three arrives; the redirect statuses are never taken for success.
        {"path=/d&" + Redirect("/pkg.bin", 302, "/a") + "&" + Redirect("/a", 301, "/b") + "&" +
             Redirect("/b", 302, "/c") + "&" + Redirect("/c", 302, "/d"),
         1, {"GET /pkg.bin HTTP/1.0", "GET /a HTTP/1.0", "GET /b HTTP/1.0", "GET /c HTTP/1.0", "GET /d HTTP/1.0"}},
        // A location of 255 characters fits the buffer and is followed; 256 and 300 do not.
        {Redirect("/pkg.bin", 302, long255), 0, {"GET /pkg.bin HTTP/1.0", "GET " + long255 + " HTTP/1.0"}},
        {Redirect("/pkg.bin", 302, long256), 0, {"GET /pkg.bin HTTP/1.0"}},
        {Redirect("/pkg.bin", 302, long300), 0, {"GET /pkg.bin HTTP/1.0"}},
        {Redirect("/pkg.bin", 302, ""), 0, {"GET /pkg.bin HTTP/1.0"}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(ConfigureServer(c.faults));
        HttpDownloader http;
        ASSERT_EQ(http.Connect(here.c_str(), nullptr, nullptr, 0), 1);
        EXPECT_EQ(http.SendGet("/pkg.bin", nullptr), c.result) << c.faults;
        EXPECT_EQ(RequestLines(), c.lines) << c.faults;
    }
}

TEST_F(HttpDownloaderTest, RedirectLoopsEndAfterTenRedirects) {
    ASSERT_TRUE(ConfigureServer(Redirect("/pkg.bin", 302, "/a") + "&" + Redirect("/a", 302, "/pkg.bin")));
    HttpDownloader http;
    ASSERT_EQ(http.Connect(FaultServerHost().c_str(), nullptr, nullptr, 0), 1);
    EXPECT_EQ(http.SendGet("/pkg.bin", nullptr), 0);
    EXPECT_EQ(ServerLog().size(), 1u + HttpDownloader::kMaxRedirects);

    // Exactly ten in a row still arrive.
    std::string faults = "path=/r10";
    for (int i = 0; i < 10; ++i)
        faults += "&" + Redirect(i == 0 ? "/pkg.bin" : "/r" + std::to_string(i), 302, "/r" + std::to_string(i + 1));
    ASSERT_TRUE(ConfigureServer(faults));
    EXPECT_EQ(http.SendGet("/pkg.bin", nullptr), 1);
}

TEST_F(HttpDownloaderTest, RedirectKeepsTheExtraHeaderAndResetsTheCounters) {
    ASSERT_TRUE(ConfigureServer("path=/b&" + Redirect("/pkg.bin", 302, "/b")));
    HttpDownloader http;
    ASSERT_EQ(http.Connect(FaultServerHost().c_str(), nullptr, nullptr, 9), 1);
    // Counters that an earlier download would have left.
    ASSERT_EQ(http.SendGet("/b", nullptr), 1);
    ASSERT_EQ(http.CallerValue(), 9);
    EXPECT_EQ(http.SendGet("/pkg.bin", "range:bytes=10-"), 1);
    const std::vector<LoggedRequest> log = ServerLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[2].Header("Range").value_or("<none>"), "bytes=10-");
    EXPECT_EQ(http.CallerValue(), 0);
    EXPECT_EQ(http.TransferMs(), 1u);
    EXPECT_EQ(http.ReceivedBytes(), 0u);
}

TEST_F(HttpDownloaderTest, HeaderQueries) {
    HttpDownloader http;
    ASSERT_EQ(http.Connect(FaultServerHost().c_str(), nullptr, nullptr, 0), 1);
    uint64_t size = 0;
    SYSTEMTIME time{};
    EXPECT_EQ(http.QueryContentLength(&size), 0) << "no request yet";
    EXPECT_EQ(http.QueryLastModified(&time), 0) << "no request yet";

    ASSERT_TRUE(ConfigureServer("size=10&lm=" + UrlEncode("Wed, 21 Oct 2015 07:28:00 GMT")));
    ASSERT_EQ(http.SendGet("/pkg.bin", nullptr), 1);
    EXPECT_EQ(http.QueryContentLength(nullptr), 0);
    EXPECT_EQ(http.QueryLastModified(nullptr), 0);
    ASSERT_EQ(http.QueryContentLength(&size), 1);
    EXPECT_EQ(size, 10u);
    time.wDayOfWeek = 3;
    time.wMilliseconds = 999;
    ASSERT_EQ(http.QueryLastModified(&time), 1);
    EXPECT_EQ(time.wYear, 2015);
    EXPECT_EQ(time.wMonth, 10);
    EXPECT_EQ(time.wDay, 21);
    EXPECT_EQ(time.wHour, 7);
    EXPECT_EQ(time.wMinute, 28);
    EXPECT_EQ(time.wSecond, 0);
    EXPECT_EQ(time.wDayOfWeek, 0);
    EXPECT_EQ(time.wMilliseconds, 0);

    // A length beyond 4 GiB is read in full.
    ASSERT_TRUE(ConfigureServer("size=10&cl_extra=4999999990&lm=" + UrlEncode("Wed, 21 oct 2015 07:28:00 GMT")));
    ASSERT_EQ(http.SendGet("/pkg.bin", nullptr), 1);
    ASSERT_EQ(http.QueryContentLength(&size), 1);
    EXPECT_EQ(size, 5000000000ull);
    ASSERT_EQ(http.QueryLastModified(&time), 1);
    EXPECT_EQ(time.wMonth, 10);

    ASSERT_TRUE(ConfigureServer("size=10&no_cl=1&lm=" + UrlEncode("Wed, 21 Foo 2015 07:28:00 GMT")));
    ASSERT_EQ(http.SendGet("/pkg.bin", nullptr), 1);
    size = 77;
    EXPECT_EQ(http.QueryContentLength(&size), 0);
    EXPECT_EQ(size, 77u);
    ASSERT_EQ(http.QueryLastModified(&time), 1);
    EXPECT_EQ(time.wMonth, 0);

    // No Last-Modified, or one longer than the 32-byte buffer.
    for (const char* lm : {"none", "Wednesday, 21 October 2015 07:28:00 GMT"}) {
        ASSERT_TRUE(ConfigureServer("size=10&lm=" + UrlEncode(lm)));
        ASSERT_EQ(http.SendGet("/pkg.bin", nullptr), 1);
        EXPECT_EQ(http.QueryLastModified(&time), 0) << lm;
    }
}
