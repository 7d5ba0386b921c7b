// installer-cli install in a process of its own: the whole run up to the started lobby,
// the report that must arrive before the process ends, and the branch that starts an
// installed lobby when the package cannot be unpacked over it.

#include <gtest/gtest.h>

#include "FaultServer.h"
#include "PipelineFixtures.h"
#include "app/TextConv.h"
#include "support/TestSupport.h"

namespace {

class InstallCliTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(FaultServerPort(), 0) << "run under tests/servers/fault_server.py";
        installDir_ = dir_.Path() + L"\\Halvane\\";
    }
    void Serve(const std::string& extra = "") {
        ASSERT_TRUE(ConfigureServer("path=/update/vexa_lobby.zip&file=" + UrlEncode(FixtureUnixPath("package.zip")) +
                                    extra));
    }
    ProcessResult Install() {
        const std::wstring host = AnsiToWide(FaultServerHost());
        const std::wstring command = Quote(TestBinDir() + L"\\installer-cli.exe") + L" install " + Quote(dir_.Path()) +
                                     L" --host " + host + L" --stats-host " + host +
                                     L" --package-path /update/vexa_lobby.zip";
        return RunProcess(command, 120000);
    }
    bool LobbyRan() const {
        return WaitUntil([&] { return FileExists(installDir_ + L"lobby-ran.txt"); }, 10000);
    }

    ScratchDir dir_;
    std::wstring installDir_;
};

}  // namespace

TEST_F(InstallCliTest, InstallsRecordsReportsAndStartsTheLobby) {
    Serve();
    const ProcessResult run = Install();
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(LastLine(run.output), "result 0");
    EXPECT_TRUE(LobbyRan()) << "lobby.exe was not started";
    EXPECT_EQ(ReadFileBytes(installDir_ + L"IsLobbyLogin.dat").value_or(""), "[ChannelID]\r\nChannelID=200018\r\n");
    const auto reports = StatsRequests();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].type, "1");
}

TEST_F(InstallCliTest, SlowReportIsCompleteBeforeTheProcessEnds) {
    Serve("&stats_delay=2");
    const ProcessResult run = Install();
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    // Read right after the process ended: the server marks the report answered only once
    // its answer is written, two seconds after the request came.
    const auto reports = StatsRequests();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].status, 200) << "the process ended before its report was answered";
}

TEST_F(InstallCliTest, LobbyInUseIsStartedInsteadOfFailing) {
    Serve();
    ASSERT_EQ(Install().exitCode, 0u);
    ASSERT_TRUE(LobbyRan());
    DeleteFileW((installDir_ + L"lobby-ran.txt").c_str());

    // The lobby is running: its file is open for reading, so it cannot be replaced.
    HANDLE running = CreateFileW((installDir_ + L"lobby.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(running, INVALID_HANDLE_VALUE);
    Serve();
    const ProcessResult run = Install();
    CloseHandle(running);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(LastLine(run.output), "result 512");
    EXPECT_TRUE(LobbyRan()) << "the installed lobby was not started";
    EXPECT_EQ(StatsRequests().size(), 0u) << "no report in this branch";
}
