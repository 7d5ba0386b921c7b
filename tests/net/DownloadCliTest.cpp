// installer-cli download as support staff and scripts run it, and a download process
// killed outright in the middle of a transfer.

#include <gtest/gtest.h>

#include <sstream>

#include "FaultServer.h"
#include "app/TextConv.h"
#include "support/TestSupport.h"

namespace {

std::wstring Cli() { return Quote(TestBinDir() + L"\\installer-cli.exe"); }

std::wstring DownloadCommand(const std::wstring& file, const std::wstring& extra = L"") {
    return Cli() + L" download " + AnsiToWide(FaultServerHost()) + L" /pkg.bin " + Quote(file) + extra;
}

std::vector<std::string> Lines(const std::string& output) {
    std::vector<std::string> lines;
    std::istringstream stream(output);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool SameBytes(const std::optional<std::string>& actual, const std::string& expected) {
    return actual && *actual == expected;
}

// Stamped with the fault server's default Last-Modified, Wed, 21 Oct 2015 07:28:00 GMT.
bool CarriesServerStamp(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    SYSTEMTIME utc{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToSystemTime(&data.ftLastWriteTime, &utc))
        return false;
    return utc.wYear == 2015 && utc.wMonth == 10 && utc.wDay == 21 && utc.wHour == 7 && utc.wMinute == 28 &&
           utc.wSecond == 0 && utc.wMilliseconds == 0;
}

uint64_t SizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

class DownloadCliTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(FaultServerPort(), 0) << "run under tests/servers/fault_server.py"; }
    ScratchDir dir;
};

}  // namespace

TEST_F(DownloadCliTest, DownloadsReportsAndRateLimitsProgress) {
    constexpr uint64_t kSize = 8u << 20;
    ASSERT_TRUE(ConfigureServer("size=" + std::to_string(kSize)));
    const ULONGLONG start = GetTickCount64();
    // Relative to the working folder, into a folder that does not exist yet.
    const ProcessResult run = RunProcess(DownloadCommand(L"sub\\pkg.bin"), 60000, dir.Path());
    const ULONGLONG elapsedMs = GetTickCount64() - start;
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(LastLine(run.output), "result 0");
    EXPECT_TRUE(SameBytes(ReadFileBytes(dir / L"sub\\pkg.bin"), ObjectBytes(kSize)));

    size_t progressLines = 0;
    std::string lastProgress;
    for (const std::string& line : Lines(run.output)) {
        if (line.rfind("progress ", 0) == 0) ++progressLines, lastProgress = line;
    }
    EXPECT_GE(progressLines, 1u);
    EXPECT_LE(progressLines, elapsedMs / 100 + 2) << "at most ten a second";
    EXPECT_EQ(lastProgress.rfind("progress 1 " + std::to_string(kSize) + "/" + std::to_string(kSize), 0), 0u)
        << lastProgress;

    // Again: complete already, nothing transferred, still success.
    const ProcessResult again = RunProcess(DownloadCommand(dir / L"sub\\pkg.bin"), 60000);
    EXPECT_EQ(again.exitCode, 0u) << again.output;
    EXPECT_EQ(LastLine(again.output), "result 1");
}

TEST_F(DownloadCliTest, ResultCodesAndExitStatus) {
    const std::wstring file = dir / L"pkg.bin";
    const struct {
        const char* faults;
        std::wstring extra;
        const char* last;
        DWORD exitCode;
    } cases[] = {
        {"status=404", L"", "result -1", 1},
        {"size=5000&lm=none", L"", "result -1", 1},
        {"size=5000&drop_after=3000", L"", "result -2", 1},
        {"size=5000", L" --no-resume", "result 0", 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(ConfigureServer(c.faults));
        const ProcessResult run = RunProcess(DownloadCommand(file, c.extra), 60000);
        EXPECT_EQ(LastLine(run.output), c.last) << c.faults << "\n" << run.output;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.faults;
    }
    // The partial file of the drop was not continued under --no-resume.
    EXPECT_EQ(ServerLog().at(0).Header("Range"), std::nullopt);
    EXPECT_TRUE(SameBytes(ReadFileBytes(file), ObjectBytes(5000)));

    const ProcessResult usage = RunProcess(Cli() + L" download 127.0.0.1 /pkg.bin", 60000);
    EXPECT_EQ(usage.exitCode, 1u);
    EXPECT_EQ(LastLine(usage.output), "result usage");
}

TEST_F(DownloadCliTest, KilledMidDownloadContinuesFromThePartialFile) {
    // The server goes silent after exactly eight blocks, so the child is surely between
    // blocks, its last block written and stamped, when it is killed. Meanwhile a second
    // download of the same file, in another process, finds it held open.
    constexpr uint64_t kSize = 3u << 20;
    constexpr uint64_t kPartial = 8 * 4096;
    ASSERT_TRUE(ConfigureServer("size=" + std::to_string(kSize) + "&stall_after=" + std::to_string(kPartial) +
                                "&stall_secs=30&stall_count=1"));
    const std::wstring file = dir / L"zel_lobby.install";
    {
        ChildProcess child(DownloadCommand(file));
        ASSERT_TRUE(child.Started());
        // The last block is written and the stamp put back after it.
        ASSERT_TRUE(WaitUntil([&] { return SizeOf(file) >= kPartial && CarriesServerStamp(file); }, 20000));
        const ProcessResult second = RunProcess(DownloadCommand(file), 60000);
        EXPECT_EQ(LastLine(second.output), "result -3") << second.output;
        EXPECT_EQ(second.exitCode, 1u);
        ASSERT_TRUE(TerminateProcess(child.Handle(), 9));
        ASSERT_TRUE(child.Wait(5000).has_value());
    }
    ASSERT_EQ(SizeOf(file), kPartial);
    ASSERT_TRUE(CarriesServerStamp(file)) << "the resume marker survives the kill";

    ASSERT_TRUE(ConfigureServer("size=" + std::to_string(kSize)));
    const ProcessResult rest = RunProcess(DownloadCommand(file), 60000);
    EXPECT_EQ(LastLine(rest.output), "result 0") << rest.output;
    const std::vector<LoggedRequest> log = ServerLog();
    ASSERT_EQ(log.size(), 1u) << "the rest is asked for at once";
    EXPECT_EQ(log[0].Header("Range").value_or("<none>"), "bytes=" + std::to_string(kPartial) + "-");
    EXPECT_EQ(ServerBodyBytes(), kSize - kPartial) << "only the remaining bytes cross the wire";
    EXPECT_TRUE(SameBytes(ReadFileBytes(file), ObjectBytes(kSize)));
}
