// The debug log's opening and writing rules on real files, and a real crash leaving a
// minidump.

#include <gtest/gtest.h>

#include "app/TextConv.h"
#include "diag/CrashDumper.h"
#include "diag/DebugLog.h"
#include "support/TestSupport.h"

TEST(DebugLog, MissingFileMeansNoLoggingAndNoFile) {
    ScratchDir dir;
    const std::wstring path = dir / L"__lobby_dl_debug.log";
    DebugLog log;
    log.Open(WideToAnsi(path).c_str());
    EXPECT_FALSE(log.IsOn());
    log.Write("hwndSysListView32 = NULL");
    EXPECT_FALSE(FileExists(path));
}

TEST(DebugLog, LinesOverwriteTheStartAndKeepTheRest) {
    ScratchDir dir;
    const std::wstring path = dir / L"__lobby_dl_debug.log";
    const std::string old(1000, 'o');
    ASSERT_TRUE(WriteFileBytes(path, old));
    {
        DebugLog log;
        log.Open(WideToAnsi(path).c_str());
        ASSERT_TRUE(log.IsOn());
        log.Write("not found x32 '%s'", "Halvane");
        log.Write("ShellExecuteEx [%d]", 5);
    }
    const std::string expectedStart = "not found x32 'Halvane'\r\nShellExecuteEx [5]\r\n";
    const std::string content = ReadFileBytes(path).value();
    ASSERT_EQ(content.size(), 1000u) << "the file is neither truncated nor appended to";
    EXPECT_EQ(content.substr(0, expectedStart.size()), expectedStart);
    EXPECT_EQ(content.substr(expectedStart.size()), old.substr(expectedStart.size()));
}

TEST(DebugLog, EmptyFileGetsExactlyTheLine) {
    ScratchDir dir;
    const std::wstring path = dir / L"__lobby_dl_debug.log";
    ASSERT_TRUE(WriteFileBytes(path, ""));
    {
        DebugLog log;
        log.Open(WideToAnsi(path).c_str());
        log.Write("hwndSysListView32 = NULL");
    }
    EXPECT_EQ(ReadFileBytes(path).value(), "hwndSysListView32 = NULL\r\n");
}

TEST(DebugLog, OverlongMessageIsCutToTheBuffer) {
    ScratchDir dir;
    const std::wstring path = dir / L"__lobby_dl_debug.log";
    ASSERT_TRUE(WriteFileBytes(path, ""));
    {
        DebugLog log;
        log.Open(WideToAnsi(path).c_str());
        log.Write("%s", std::string(10000, 'x').c_str());
    }
    EXPECT_EQ(ReadFileBytes(path).value(), std::string(4095, 'x') + "\r\n");
}

TEST(DebugLog, FileHeldOpenForWritingLeavesLoggingOff) {
    ScratchDir dir;
    const std::wstring path = dir / L"__lobby_dl_debug.log";
    ASSERT_TRUE(WriteFileBytes(path, "keep"));
    HANDLE other = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    DebugLog log;
    log.Open(WideToAnsi(path).c_str());
    EXPECT_FALSE(log.IsOn());
    log.Write("IsRectEmpty() = true");
    CloseHandle(other);
    EXPECT_EQ(ReadFileBytes(path).value(), "keep");
}

TEST(CrashDumper, RealCrashLeavesAValidMinidumpAndEnds) {
    const std::wstring dump = TestBinDir() + L"\\" + kCrashDumpFileName;
    for (const wchar_t* where : {L"", L" thread"}) {
        SCOPED_TRACE(WideToUtf8(where));
        DeleteFileW(dump.c_str());
        const ProcessResult run = RunProcess(Quote(TestBinDir() + L"\\crash_probe.exe") + where, 60000);
        ASSERT_TRUE(run.finished) << "the crash must end the process";
        EXPECT_NE(run.exitCode, 0u);
        EXPECT_NE(run.exitCode, 2u) << "the probe did not crash";
        EXPECT_NE(run.exitCode, 3u) << "the crash dumper could not be installed";
        const auto bytes = ReadFileBytes(dump);
        ASSERT_TRUE(bytes.has_value()) << "no crash.dat";
        ASSERT_GE(bytes->size(), 32u);
        EXPECT_EQ(bytes->substr(0, 4), "MDMP");
    }
    DeleteFileW(dump.c_str());
}
