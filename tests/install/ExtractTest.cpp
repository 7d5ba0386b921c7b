// Extraction of real archives into Wine's real file system: folders, files, attributes and
// times as read back through the Windows API, the destination rules, files in the way,
// entry names in both text encodings, the reader's own operations and the console tool.

#include <gtest/gtest.h>

#include <vector>

#include "ExtractFixtures.h"
#include "app/TextConv.h"
#include "install/ZipExtractor.h"
#include "install/ZipReader.h"
#include "support/TestSupport.h"

namespace {

class Extraction : public ::testing::Test {
protected:
    ScratchDir scratch;
    const std::wstring dest = scratch / L"dest";
};

FILETIME DosTimeAsUtc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME local{year, month, 0, day, hour, minute, second, 0};
    FILETIME localTime{}, utc{};
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &utc);
    return utc;
}

uint64_t UnixTicks(uint64_t seconds) { return (seconds + 11644473600ull) * 10000000ull; }

// Waits until no one may write `path` any more (another process holds it).
bool WaitUntilHeld(const std::wstring& path) {
    return WaitUntil(
        [&] {
            HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
            CloseHandle(file);
            return false;
        },
        10000);
}

const Tree kMixedTree = {
    {L"lobby.exe", Pattern(100000, 1)},
    {L"res", "<dir>"},
    {L"res\\skin.png", Pattern(5000, 2)},
    {L"data", "<dir>"},
    {L"data\\sub", "<dir>"},
    {L"data\\sub\\x.bin", Pattern(40000, 3)},
    {L"readme.txt", "Halvane lobby\r\n"},
};

}  // namespace

TEST_F(Extraction, ArchivesBecomeExactlyTheirTrees) {
    const struct {
        const wchar_t* archive;
        Tree tree;
    } cases[] = {
        {L"empty.zip", {}},
        {L"empty_comment.zip", {}},
        {L"implied.zip", {{L"a", "<dir>"}, {L"a\\b", "<dir>"}, {L"a\\b\\c.txt", "implied folders\n"}}},
        {L"direntry.zip", {{L"d", "<dir>"}}},
        {L"zerolen.zip", {{L"empty_deflated.txt", ""}, {L"empty_stored.txt", ""}}},
        {L"mixed.zip", kMixedTree},
        {L"zip64.zip", {{L"z64", "<dir>"}, {L"z64\\a.txt", Pattern(70000, 4)}, {L"z64\\b.bin", Pattern(3000, 5)}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.archive));
        RemoveTree(dest);
        EXPECT_EQ(Extract(Fixture(c.archive), dest), EXTRACT_OK);
        EXPECT_EQ(SnapshotTree(dest), c.tree);
    }
}

TEST_F(Extraction, DestinationIsCreatedWithItsParents) {
    const std::wstring deep = scratch / L"x\\y\\z";
    EXPECT_EQ(Extract(Fixture(L"mixed.zip"), deep), EXTRACT_OK);
    EXPECT_EQ(SnapshotTree(deep), kMixedTree);
}

TEST_F(Extraction, DestinationProblemsComeBeforeTheArchive) {
    const std::wstring file = scratch / L"file.txt";
    ASSERT_TRUE(WriteFileBytes(file, "a file"));
    // The archive does not even exist: the destination is looked at first.
    EXPECT_EQ(Extract(scratch / L"missing.zip", file), EXTRACT_DESTINATION_NOT_FOLDER);
    EXPECT_EQ(Extract(Fixture(L"mixed.zip"), file + L"\\sub"), EXTRACT_DESTINATION_NOT_CREATED);
    EXPECT_EQ(ReadFileBytes(file).value(), "a file");
}

TEST_F(Extraction, MissingOrNonZipArchivesGive65536) {
    const std::wstring text = scratch / L"notes.txt";
    const std::wstring nothing = scratch / L"nothing.zip";
    ASSERT_TRUE(WriteFileBytes(text, std::string(5000, 'n')));
    ASSERT_TRUE(WriteFileBytes(nothing, ""));
    for (const std::wstring& archive : {scratch / L"missing.zip", text, nothing, Fixture(L"truncated_cut.zip")}) {
        SCOPED_TRACE(WideToUtf8(archive));
        EXPECT_EQ(Extract(archive, dest), EXTRACT_CANNOT_OPEN);
        EXPECT_TRUE(SnapshotTree(dest).empty());
    }
}

TEST_F(Extraction, BetweenEntriesRunsBeforeEachEntryWithNoOutputFileOpen) {
    std::vector<size_t> filesSeen;
    const int code = ExtractPackage(WideToAnsi(Fixture(L"mixed.zip")).c_str(), nullptr, WideToAnsi(dest).c_str(), [&] {
        size_t files = 0;
        for (const auto& [path, content] : SnapshotTree(dest)) {
            if (content == "<dir>") continue;
            ++files;
            // Nothing of ours may still hold a written file: it opens with no sharing at all.
            HANDLE file = CreateFileW((dest + L"\\" + path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
            EXPECT_NE(file, INVALID_HANDLE_VALUE) << WideToUtf8(path);
            if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        }
        filesSeen.push_back(files);
    });
    EXPECT_EQ(code, EXTRACT_OK);
    EXPECT_EQ(filesSeen, (std::vector<size_t>{0, 1, 1, 2, 3}));
}

TEST_F(Extraction, AttributesFollowTheHostSystem) {
    ASSERT_EQ(Extract(Fixture(L"attrs.zip"), dest), EXTRACT_OK);
    const struct {
        const wchar_t* name;
        DWORD attributes;  // of read-only, hidden, system and directory
    } cases[] = {
        {L"h0_readonly.txt", FILE_ATTRIBUTE_READONLY},
        {L"h0_hidden.txt", FILE_ATTRIBUTE_HIDDEN},
        {L"h0_system.txt", FILE_ATTRIBUTE_SYSTEM},
        {L"h11_hidden_readonly.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY},
        {L"h3_writable.txt", 0},
        {L"h3_readonly.txt", FILE_ATTRIBUTE_READONLY},
        {L"h19_readonly.txt", FILE_ATTRIBUTE_READONLY},
        {L"h3_folder", FILE_ATTRIBUTE_DIRECTORY},
        {L"h0_folder_without_slash", FILE_ATTRIBUTE_DIRECTORY},
    };
    constexpr DWORD kMask = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_DIRECTORY;
    for (const auto& c : cases) {
        const DWORD attributes = GetFileAttributesW((dest + L"\\" + c.name).c_str());
        ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << WideToUtf8(c.name);
        EXPECT_EQ(attributes & kMask, c.attributes) << WideToUtf8(c.name);
    }
}

TEST_F(Extraction, TimesComeFromTheDosDateOrTheUtField) {
    ASSERT_EQ(Extract(Fixture(L"times.zip"), dest), EXTRACT_OK);
    const uint64_t dos = Ticks(DosTimeAsUtc(2021, 6, 15, 10, 20, 30));
    const struct {
        const wchar_t* name;
        uint64_t write, access;
    } cases[] = {
        {L"dos.txt", dos, dos},
        {L"ut.txt", UnixTicks(1600000000), UnixTicks(1600000500)},
        {L"ut_mtime.txt", UnixTicks(1234567890), dos},
        {L"ut_behind.txt", UnixTicks(1300000000), dos},  // "UT" behind a block of 300 bytes
    };
    // Wine keeps no creation time of its own, so only the other two are read back.
    for (const auto& c : cases) {
        FILETIME creation{}, access{}, write{};
        ASSERT_TRUE(ReadTimes(dest + L"\\" + c.name, creation, access, write)) << WideToUtf8(c.name);
        EXPECT_EQ(Ticks(write), c.write) << WideToUtf8(c.name);
        EXPECT_EQ(Ticks(access), c.access) << WideToUtf8(c.name);
    }
}

TEST_F(Extraction, ProtectedFilesInTheWayGive512AndStayAsTheyWere) {
    const struct {
        DWORD existing;
        const wchar_t* archive;
        int code;
    } cases[] = {
        {FILE_ATTRIBUTE_READONLY, L"inway.zip", EXTRACT_CANNOT_CREATE},
        {FILE_ATTRIBUTE_HIDDEN, L"inway.zip", EXTRACT_CANNOT_CREATE},
        {FILE_ATTRIBUTE_SYSTEM, L"inway.zip", EXTRACT_CANNOT_CREATE},
        {FILE_ATTRIBUTE_HIDDEN, L"inway_hidden.zip", EXTRACT_OK},  // the entry is hidden too
        {FILE_ATTRIBUTE_NORMAL, L"inway.zip", EXTRACT_OK},
    };
    const std::wstring lobby = dest + L"\\lobby.exe";
    for (const auto& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.archive) + " over attributes " + std::to_string(c.existing));
        RemoveTree(dest);
        CreateDirectoryW(dest.c_str(), nullptr);
        ASSERT_TRUE(WriteFileBytes(lobby, "old lobby\n"));
        ASSERT_TRUE(SetFileAttributesW(lobby.c_str(), c.existing));
        EXPECT_EQ(Extract(Fixture(c.archive), dest), c.code);
        EXPECT_EQ(ReadFileBytes(lobby).value_or(""), c.code == EXTRACT_OK ? "new lobby\n" : "old lobby\n");
    }
}

TEST_F(Extraction, FilesHeldByAnotherProcessGive512) {
    // A running lobby.exe: its image is in use.
    CreateDirectoryW(dest.c_str(), nullptr);
    const std::wstring lobby = dest + L"\\lobby.exe";
    ASSERT_TRUE(CopyFileW((TestBinDir() + L"\\hold_file.exe").c_str(), lobby.c_str(), FALSE));
    const std::string image = ReadFileBytes(lobby).value();
    {
        ChildProcess running(Quote(lobby));
        ASSERT_TRUE(running.Started());
        ASSERT_TRUE(WaitUntilHeld(lobby));
        EXPECT_EQ(Extract(Fixture(L"inway.zip"), dest), EXTRACT_CANNOT_CREATE);
    }
    EXPECT_EQ(ReadFileBytes(lobby).value(), image);

    // A data file another program keeps open: the entries before it are already written.
    RemoveTree(dest);
    CreateDirectoryW(dest.c_str(), nullptr);
    const std::wstring readme = dest + L"\\readme.txt";
    ASSERT_TRUE(WriteFileBytes(readme, "held"));
    ChildProcess holder(Quote(TestBinDir() + L"\\hold_file.exe") + L" " + Quote(readme));
    ASSERT_TRUE(WaitUntilHeld(readme));
    EXPECT_EQ(Extract(Fixture(L"mixed.zip"), dest), EXTRACT_CANNOT_CREATE);
    Tree expected = kMixedTree;
    expected[L"readme.txt"] = "held";
    EXPECT_EQ(SnapshotTree(dest), expected);
}

TEST_F(Extraction, Utf8NamesAreDecodedAsUtf8) {
    ASSERT_EQ(Extract(Fixture(L"utf8.zip"), dest), EXTRACT_OK);
    const Tree expected = {
        {L"\xD55C\xAD6D\xC5B4", "<dir>"},
        {L"\xD55C\xAD6D\xC5B4\\\xD30C\xC77C.txt", "utf8\n"},
        {L"emoji_\xD83D\xDE00.txt", "astral\n"},
        {L"\x5927\x5385", "<dir>"},
        {L"\x5927\x5385\\\x00FC.txt", "mixed\n"},
    };
    EXPECT_EQ(SnapshotTree(dest), expected);
}

// Run in code page 936 by the suite and again in 1252 (see tests/install/CMakeLists.txt).
TEST_F(Extraction, CodePageNamesWithoutTheUtf8FlagFollowTheAnsiCodePage) {
    const std::wstring latin = scratch / L"latin";
    if (GetACP() == 936) {
        // The trail byte 0x5C of U+4E57 stays inside its character: no folder split, and no
        // "\..\" that the name rule could act on.
        EXPECT_EQ(Extract(Fixture(L"gbk.zip"), dest), EXTRACT_OK);
        const Tree expected = {
            {L"\x5927\x5385", "<dir>"},
            {L"\x5927\x5385\\\x6E38\x620F.txt", "gbk\n"},
            {L"\x4E57x.txt", "one name\n"},
            {L"inside.txt", "aware\n"},
        };
        EXPECT_EQ(SnapshotTree(dest), expected);
        // 0xE9 0x2E is no GBK character: such a name is refused, not guessed at.
        EXPECT_EQ(Extract(Fixture(L"cp1252.zip"), latin), EXTRACT_UNSAFE_NAME);
        EXPECT_TRUE(SnapshotTree(latin).empty());
    } else if (GetACP() == 1252) {
        EXPECT_EQ(Extract(Fixture(L"cp1252.zip"), latin), EXTRACT_OK);
        EXPECT_EQ(SnapshotTree(latin), (Tree{{L"caf\x00E9.txt", "latin\n"}}));
        // Read as 1252, the same GBK bytes hold separators, and the third name climbs out.
        EXPECT_EQ(Extract(Fixture(L"gbk.zip"), dest), EXTRACT_UNSAFE_NAME);
        const Tree expected = {
            {L"\x00B4\x00F3\x00CC\x00FC", "<dir>"},
            {L"\x00B4\x00F3\x00CC\x00FC\\\x00D3\x00CE\x00CF\x00B7.txt", "gbk\n"},
            {L"\x0081", "<dir>"},
            {L"\x0081\\x.txt", "one name\n"},
        };
        EXPECT_EQ(SnapshotTree(dest), expected);
    } else {
        GTEST_SKIP() << "code page " << GetACP();
    }
}

TEST(ZipReaderApi, EntriesPositionsAndNullReaders) {
    ZipReaderPtr reader = OpenArchive(Fixture(L"mixed.zip"), nullptr);
    ASSERT_TRUE(reader);
    ZipEntry entry;
    ASSERT_EQ(GetEntry(reader.get(), -1, entry), EXTRACT_OK);
    EXPECT_EQ(entry.index, 5);
    EXPECT_TRUE(entry.name.empty());
    EXPECT_EQ(GetEntry(reader.get(), 5, entry), EXTRACT_CANNOT_OPEN);
    EXPECT_EQ(GetEntry(reader.get(), -2, entry), EXTRACT_CANNOT_OPEN);
    for (int position : {3, 2, 2, 0, 4}) {  // backwards, the same again, forwards
        ASSERT_EQ(GetEntry(reader.get(), position, entry), EXTRACT_OK);
        EXPECT_EQ(entry.index, position);
    }
    ASSERT_EQ(GetEntry(reader.get(), 2, entry), EXTRACT_OK);
    EXPECT_EQ(entry.name, L"res/skin.png");
    EXPECT_EQ(entry.comp_size, 5000u);
    EXPECT_EQ(entry.unc_size, 5000u);
    EXPECT_EQ(entry.attr, 0x20u);
    ASSERT_EQ(GetEntry(reader.get(), 3, entry), EXTRACT_OK);
    EXPECT_EQ(entry.unc_size, 40000u);
    EXPECT_LT(entry.comp_size, entry.unc_size);
    EXPECT_EQ(ExtractEntry(reader.get(), 5, L"x"), EXTRACT_CANNOT_OPEN);
    EXPECT_EQ(CloseArchive(reader), EXTRACT_OK);
    EXPECT_FALSE(reader);

    EXPECT_EQ(SetBaseFolder(nullptr, L"C:\\"), EXTRACT_CANNOT_OPEN);
    EXPECT_EQ(GetEntry(nullptr, 0, entry), EXTRACT_CANNOT_OPEN);
    EXPECT_EQ(ExtractEntry(nullptr, 0, L"x"), EXTRACT_CANNOT_OPEN);
    EXPECT_EQ(CloseArchive(reader), EXTRACT_CANNOT_OPEN);

    ZipReaderPtr empty = OpenArchive(Fixture(L"empty.zip"), nullptr);
    ASSERT_TRUE(empty);
    ASSERT_EQ(GetEntry(empty.get(), -1, entry), EXTRACT_OK);
    EXPECT_EQ(entry.index, 0);
    EXPECT_FALSE(OpenArchive(Fixture(L"truncated_cut.zip"), nullptr));
}

TEST(ZipReaderApi, ExtractEntryWritesUnderTheGivenNameButOnlyInsideTheBase) {
    ScratchDir scratch;
    ZipReaderPtr reader = OpenArchive(Fixture(L"mixed.zip"), nullptr);
    ASSERT_TRUE(reader);
    ASSERT_EQ(SetBaseFolder(reader.get(), scratch.Path()), EXTRACT_OK);
    EXPECT_EQ(ExtractEntry(reader.get(), 4, L"renamed/readme.txt"), EXTRACT_OK);
    EXPECT_EQ(ExtractEntry(reader.get(), 4, L"..\\readme.txt"), EXTRACT_UNSAFE_NAME);
    EXPECT_EQ(ExtractEntry(reader.get(), 4, scratch.Path() + L"\\abs.txt"), EXTRACT_UNSAFE_NAME);
    EXPECT_EQ(SnapshotTree(scratch.Path()),
              (Tree{{L"renamed", "<dir>"}, {L"renamed\\readme.txt", "Halvane lobby\r\n"}}));
}

TEST_F(Extraction, ConsoleToolExtractsAndReportsTheCode) {
    const std::wstring cli = Quote(TestBinDir() + L"\\installer-cli.exe");
    const ProcessResult ok = RunProcess(cli + L" extract " + Quote(Fixture(L"mixed.zip")) + L" dest", 60000,
                                        scratch.Path());
    ASSERT_TRUE(ok.finished);
    EXPECT_EQ(ok.exitCode, 0u) << ok.output;
    EXPECT_EQ(LastLine(ok.output), "result 0") << ok.output;
    EXPECT_EQ(SnapshotTree(dest), kMixedTree);

    const ProcessResult bad = RunProcess(cli + L" extract " + Quote(Fixture(L"bad_crc_stored.zip")) + L" " +
                                         Quote(scratch / L"bad"));
    ASSERT_TRUE(bad.finished);
    EXPECT_EQ(bad.exitCode, 1u);
    EXPECT_EQ(LastLine(bad.output), "result 83886080") << bad.output;
    EXPECT_NE(bad.output.find("(entry 1)"), std::string::npos) << bad.output;

    const ProcessResult usage = RunProcess(cli + L" extract only-one");
    EXPECT_EQ(usage.exitCode, 1u);
    EXPECT_EQ(LastLine(usage.output), "result usage") << usage.output;
}

// An entry of 4 GiB and 1 MiB: sizes and the written file beyond 32 bits. Slow and big, so
// only with INSTALLER_LARGE_TESTS=1 (which also makes the fixture).
TEST_F(Extraction, LargeEntryBeyondFourGigabytes) {
    wchar_t flag[8] = {};
    GetEnvironmentVariableW(L"INSTALLER_LARGE_TESTS", flag, 8);
    if (std::wstring(flag) != L"1") GTEST_SKIP() << "set INSTALLER_LARGE_TESTS=1";
    ASSERT_EQ(Extract(Fixture(L"large.zip"), dest), EXTRACT_OK);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW((dest + L"\\large.bin").c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow, (4097ull << 20));
}
