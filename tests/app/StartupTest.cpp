// Start-up configuration through the real resource loading of small programs with their
// own string tables, the channel token of real file names, the installation records in
// the prefix's registry and file system, and the single-instance rule with two processes.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "BuildHosts.h"
#include "app/AnsiTexts.h"
#include "app/BuildConfig.h"
#include "app/InstallRecords.h"
#include "app/TextConv.h"
#include "support/TestSupport.h"

namespace {

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '|')) {
        const size_t first = field.find_first_not_of(' ');
        const size_t last = field.find_last_not_of(' ');
        field = first == std::string::npos ? "" : field.substr(first, last - first + 1);
        if (field.size() >= 2 && field.front() == '"' && field.back() == '"') field = field.substr(1, field.size() - 2);
        fields.push_back(field);
    }
    return fields;
}

// "key value" lines of a probe's output; "box" lines are collected in order.
struct ProbeOutput {
    std::map<std::string, std::string> values;
    std::vector<std::string> boxes;
};

ProbeOutput ParseProbe(const std::string& output) {
    ProbeOutput parsed;
    std::stringstream stream(output);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string value = space == std::string::npos ? "" : line.substr(space + 1);
        if (key == "box")
            parsed.boxes.push_back(value);
        else
            parsed.values[key] = value;
    }
    return parsed;
}

std::string BoxTextFor(const std::string& id) {
    if (id == "20001") return kTextChannelConfigError;
    if (id == "20002") return kTextDownloadUrlConfigError;
    if (id == "20003") return kTextOfficialConfigError;
    if (id == "20004") return kTextBannerUrlConfigError;
    return "?";
}

const char kShareKey[] = "SOFTWARE\\TORUGame\\Lobby\\Share\\shareid_16";

void DeleteShareRecord() { RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\TORUGame"); }

// The share record's default value, or nullopt when the key does not exist.
std::optional<std::pair<DWORD, std::string>> ReadShareRecord() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShareKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    char data[256] = {};
    DWORD size = sizeof data, type = 0;
    const LONG status = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::make_pair(DWORD{0}, std::string());
    return std::make_pair(type, std::string(data, size));
}

// The token's bytes without a terminator. Wine's registry adds a zero byte to every
// REG_SZ it stores, so one trailing zero is accepted on read-back.
void ExpectShareRecord(const std::string& token) {
    const auto record = ReadShareRecord();
    ASSERT_TRUE(record.has_value()) << "share key missing";
    EXPECT_EQ(record->first, static_cast<DWORD>(REG_SZ));
    std::string data = record->second;
    if (data.size() == token.size() + 1 && data.back() == '\0') data.pop_back();
    EXPECT_EQ(data, token);
}

}  // namespace

TEST(StartupConfig, EveryStringTableVariant) {
    std::ifstream table(WideToAnsi(TestBinDir() + L"\\config_variants.txt"));
    ASSERT_TRUE(table.good());
    std::string line;
    int rows = 0;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#') continue;
        const auto f = SplitFields(line);
        ASSERT_EQ(f.size(), 9u) << line;
        SCOPED_TRACE(f[0]);
        ++rows;
        const ProcessResult run = RunProcess(Quote(TestBinDir() + L"\\config_probe_" + AnsiToWide(f[0]) + L".exe"));
        ASSERT_TRUE(run.finished);
        ASSERT_EQ(run.exitCode, 0u) << run.output;
        const ProbeOutput out = ParseProbe(run.output);

        EXPECT_EQ(out.values.at("channelId"), f[5]);
        EXPECT_EQ(out.values.at("ifOfficial"), f[6]);
        EXPECT_EQ(out.values.at("downloadHost"), f[7] == "test" ? kTestDownloadHost : kDefaultDownloadHost);
        EXPECT_EQ(out.values.at("packagePath"), f[2] == "-" ? "" : f[2]);
        EXPECT_EQ(out.values.at("bannerUrl"), f[4] == "-" ? "" : f[4]);

        std::vector<std::string> expectedBoxes;
        if (f[8] != "-") {
            std::stringstream ids(f[8]);
            std::string id;
            while (std::getline(ids, id, ',')) expectedBoxes.push_back(Hex(BoxTextFor(id)));
        }
        EXPECT_EQ(out.boxes, expectedBoxes);
    }
    EXPECT_GE(rows, 10);
}

TEST(StartupConfig, MessageTextsAreGbkBytes) {
    // 读取ID_CHANNAL配置错误 in code page 936.
    EXPECT_EQ(Hex(kTextChannelConfigError), "B6C1C8A149445F4348414E4E414CC5E4D6C3B4EDCEF3");
    EXPECT_EQ(AnsiToWide(kTextBannerUrlConfigError, 936), L"读取ID_BANNERURL配置错误");
    EXPECT_EQ(AnsiToWide(kTextOfficialConfigError, 936), L"读取ID_IFOFFICIAL配置错误");
    EXPECT_EQ(AnsiToWide(kTextDownloadUrlConfigError, 936), L"读取ID_DOWNLOADURL配置错误");
}

TEST(StartupConfig, ChannelTokenOfTheFileNameReachesTheShareRecord) {
    struct Row {
        const wchar_t* fileName;
        const char* token;
        bool recorded;
    };
    const Row rows[] = {
        {L"Download_zel_200018.exe", "200018", true},
        {L"Download_200018.exe", "200018", true},
        {L"200018.exe", "200018", true},
        {L"Setup__007.exe", "007", true},
        {L"Download.exe", "Download", false},
        {L"Download_200018(1).exe", "200018(1)", false},
        {L"Download_.exe", "exe", false},
    };
    ScratchDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(WideToUtf8(row.fileName));
        const std::wstring copy = dir / row.fileName;
        ASSERT_TRUE(CopyFileW((TestBinDir() + L"\\config_probe_full.exe").c_str(), copy.c_str(), FALSE));
        DeleteShareRecord();
        const ProcessResult run = RunProcess(Quote(copy));
        ASSERT_TRUE(run.finished);
        const ProbeOutput out = ParseProbe(run.output);
        EXPECT_EQ(out.values.at("token"), row.token);
        EXPECT_EQ(out.values.at("channelId"), "200018") << "the token never changes channelId";
        if (row.recorded)
            ExpectShareRecord(row.token);
        else
            EXPECT_FALSE(ReadShareRecord().has_value()) << "the registry must not be touched";
    }
    DeleteShareRecord();
}

TEST(InstallRecords, ShareRecordReplacesAnEarlierValue) {
    DeleteShareRecord();
    WriteShareRecord("123456789");
    WriteShareRecord("200018");
    ExpectShareRecord("200018");
    DeleteShareRecord();
}

TEST(InstallRecords, LoginProfileIsWrittenWithExactBytes) {
    ScratchDir dir;
    const std::wstring folder = dir.Path() + L"\\";
    WriteLoginProfile(folder, 200018);
    EXPECT_EQ(ReadFileBytes(dir / L"IsLobbyLogin.dat").value_or("<missing>"), "[ChannelID]\r\nChannelID=200018\r\n");
}

TEST(InstallRecords, LoginProfileKeepsOtherSectionsAndReplacesTheValue) {
    ScratchDir dir;
    WriteFileBytes(dir / L"IsLobbyLogin.dat", "[Other]\r\nkey=v\r\n[ChannelID]\r\nChannelID=1\r\nExtra=2\r\n");
    WriteLoginProfile(dir.Path() + L"\\", 200018);
    const std::string file = WideToAnsi(dir / L"IsLobbyLogin.dat");
    char value[64];
    GetPrivateProfileStringA("ChannelID", "ChannelID", "", value, sizeof value, file.c_str());
    EXPECT_STREQ(value, "200018");
    GetPrivateProfileStringA("ChannelID", "Extra", "", value, sizeof value, file.c_str());
    EXPECT_STREQ(value, "2");
    GetPrivateProfileStringA("Other", "key", "", value, sizeof value, file.c_str());
    EXPECT_STREQ(value, "v");
}

TEST(InstallRecords, NoLoginProfileWithoutAChannelOrAFolder) {
    ScratchDir dir;
    WriteLoginProfile(dir.Path() + L"\\", 0);
    WriteLoginProfile(dir.Path() + L"\\", -5);
    EXPECT_FALSE(FileExists(dir / L"IsLobbyLogin.dat"));
    WriteLoginProfile(dir.Path() + L"\\missing\\", 200018);  // the folder must exist: fails silently
    EXPECT_FALSE(FileExists(dir / L"missing"));
}

TEST(SingleInstance, SecondCopyWakesTheFirstAndEnds) {
    // With no drive D: the first copy's install folder is C:\Program Files\Halvane\; the
    // wake writes the login profile there.
    const std::wstring installDir = L"C:\\Program Files\\Halvane";
    CreateDirectoryW(installDir.c_str(), nullptr);
    const std::wstring profile = installDir + L"\\IsLobbyLogin.dat";
    DeleteFileW(profile.c_str());
    const std::wstring program = Quote(TestBinDir() + L"\\" + AnsiToWide(PRODUCT_EXE) + L".exe");

    ChildProcess first(program);
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"DownloadWindow", nullptr) != nullptr; }, 30000));
    EXPECT_FALSE(FileExists(profile));

    ChildProcess second(program);
    ASSERT_TRUE(second.Started());
    const auto secondExit = second.Wait(20000);
    ASSERT_TRUE(secondExit.has_value()) << "the second copy must end at once";
    EXPECT_EQ(*secondExit, 0u);

    EXPECT_TRUE(WaitUntil([&] { return FileExists(profile); }, 10000)) << "the first copy did not get the wake";
    EXPECT_FALSE(first.Wait(0).has_value()) << "the first copy keeps running";
    first.Kill();
    char value[64];
    GetPrivateProfileStringA("ChannelID", "ChannelID", "", value, sizeof value, WideToAnsi(profile).c_str());
    EXPECT_STREQ(value, "200018");
    DeleteFileW(profile.c_str());
}
