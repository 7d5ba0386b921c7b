// The banner in a process of its own (banner_probe): without any browser control, and at
// the end of the process while the banner thread is alive.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>

#include "BannerTestSupport.h"
#include "support/TestSupport.h"

namespace {

using ProbeLines = std::map<std::string, std::string>;

struct ProbeRun {
    ProcessResult process;
    ULONGLONG endedAt = 0;  // GetTickCount64 here once the probe had ended
    ProbeLines lines;
    ULONGLONG Value(const std::string& key) const {
        const auto found = lines.find(key);
        return found == lines.end() ? ~0ull : std::stoull(found->second, nullptr, 0);
    }
};

ProbeRun RunProbe(const std::wstring& mode, const std::wstring& probe = TestBinDir() + L"\\banner_probe.exe") {
    ProbeRun run;
    run.process = RunProcess(Quote(probe) + L" " + mode + L" " + SilentBannerUrl(), 30000);
    run.endedAt = GetTickCount64();
    std::istringstream text(run.process.output);
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t space = line.find(' ');
        if (space != std::string::npos) run.lines[line.substr(0, space)] = line.substr(space + 1);
    }
    return run;
}

// A copy of the probe under a name of its own, for which Wine's per-program settings
// disable the browser control's libraries.
std::wstring ProbeWithoutBrowserControl(const ScratchDir& scratch) {
    const std::wstring name = L"banner_probe_bare.exe";
    const std::wstring copy = scratch / name;
    if (!CopyFileW((TestBinDir() + L"\\banner_probe.exe").c_str(), copy.c_str(), FALSE)) return L"";
    HKEY key = nullptr;
    const std::wstring path = L"Software\\Wine\\AppDefaults\\" + name + L"\\DllOverrides";
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return L"";
    }
    for (const wchar_t* library : {L"ieframe", L"shdocvw"})
        RegSetValueExW(key, library, 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
    RegCloseKey(key);
    return copy;
}

}  // namespace

// With the browser control's own library disabled, creating the control fails: the
// element is there, nothing is embedded, navigation does nothing, the banner thread serves
// its loop, the window answers at once and everything ends cleanly.
TEST(BannerProcess, WithoutAnyBrowserControl) {
    ScratchDir scratch;
    const std::wstring probe = ProbeWithoutBrowserControl(scratch);
    ASSERT_FALSE(probe.empty());
    const ProbeRun run = RunProbe(L"status", probe);
    ASSERT_TRUE(run.process.finished) << run.process.output;
    EXPECT_EQ(run.process.exitCode, 0u);
    EXPECT_EQ(run.lines.at("embedded"), "0") << run.process.output;
    EXPECT_EQ(run.Value("navigation"), static_cast<ULONGLONG>(static_cast<DWORD>(E_FAIL))) << "nothing navigated";
    EXPECT_EQ(run.lines.at("loop"), "1");
    EXPECT_EQ(run.lines.at("element"), "1");
    EXPECT_GE(run.Value("answered"), 20u);
    EXPECT_LT(run.Value("ui_ms"), 100u);
    EXPECT_EQ(run.lines.at("ended"), "1");
}

// However the process ends with the banner thread alive (running, or stuck in the page),
// it is gone within 2 s of the end beginning.
TEST(BannerProcess, EndsWithinTwoSecondsWithTheBannerThreadAlive) {
    const struct {
        const wchar_t* mode;
        const char* ended;  // the banner thread ended before the process did
    } cases[] = {{L"exit", nullptr}, {L"stuck", "0"}, {L"status", "1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << (c.ended ? c.ended : "exit"));
        const ProbeRun run = RunProbe(c.mode);
        ASSERT_TRUE(run.process.finished) << run.process.output;
        EXPECT_EQ(run.process.exitCode, 0u);
        EXPECT_EQ(run.lines.at("embedded"), "1") << "Wine's control is in place: " << run.process.output;
        if (c.ended) {
            EXPECT_EQ(run.lines.at("ended"), c.ended);
        }
        const ULONGLONG endAt = run.Value("end_at");
        ASSERT_LE(endAt, run.endedAt);
        EXPECT_LT(run.endedAt - endAt, 2000u) << run.process.output;
        std::printf("banner_probe %ls: the process was gone %llu ms after its end began\n", c.mode,
                    run.endedAt - endAt);
        EXPECT_LT(run.Value("ui_ms"), 100u);
    }
}
