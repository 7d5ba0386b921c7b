// Archives made to escape the destination, hit devices or pass off damaged data. Each
// hostile archive is unpacked into a destination four levels below a test root; after
// each one the whole root is walked and must be exactly as before outside the destination.

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "ExtractFixtures.h"
#include "app/TextConv.h"
#include "install/ZipExtractor.h"
#include "support/TestSupport.h"

namespace {

struct HostileCase {
    std::wstring archive;
    int code = 0;
    std::wstring relative;  // where the entry must land inside the destination; empty: nowhere
    std::string content;
    std::string label;
};

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

std::vector<HostileCase> ReadHostileCases() {
    std::vector<HostileCase> cases;
    const std::string table = ReadFileBytes(Fixture(L"hostile\\cases.tsv")).value_or("");
    std::istringstream lines(table);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string file, code, relative, content, label;
        std::getline(fields, file, '\t');
        std::getline(fields, code, '\t');
        std::getline(fields, relative, '\t');
        std::getline(fields, content, '\t');
        std::getline(fields, label);
        cases.push_back({Fixture(L"hostile\\" + Utf8ToWide(file)), std::stoi(code),
                         relative == "-" ? L"" : Utf8ToWide(relative), FromHex(content), label});
    }
    return cases;
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return std::wstring(full, length);
}

void Reset(const std::wstring& folder) {
    RemoveTree(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
}

}  // namespace

TEST(HostileArchives, NothingOutsideTheDestinationEverChanges) {
    const std::vector<HostileCase> cases = ReadHostileCases();
    ASSERT_GE(cases.size(), 15u);

    // The root the fixture script aimed its absolute names at.
    const std::wstring root = FullPath(TestBinDir() + L"\\..\\extract-root");
    const std::wstring destInRoot = L"l1\\l2\\l3\\dest";
    const std::wstring dest = root + L"\\" + destInRoot;
    RemoveTree(root);
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    for (const wchar_t* folder : {L"\\l1", L"\\l1\\l2", L"\\l1\\l2\\l3", L"\\l1\\l2\\l3\\sibling"})
        ASSERT_TRUE(CreateDirectoryW((root + folder).c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(root + L"\\outside.txt", "sentinel at the root\n"));
    ASSERT_TRUE(WriteFileBytes(root + L"\\l1\\l2\\l3\\outside.txt", "sentinel beside the destination\n"));
    ASSERT_TRUE(WriteFileBytes(root + L"\\l1\\l2\\l3\\sibling\\keep.txt", "keep\n"));
    const Tree before = SnapshotTree(root, destInRoot);

    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.label);
        RemoveTree(dest);
        ASSERT_TRUE(CreateDirectoryW(dest.c_str(), nullptr));
        EXPECT_EQ(Extract(c.archive, dest), c.code);
        EXPECT_EQ(SnapshotTree(root, destInRoot), before);
        const Tree inside = SnapshotTree(dest);
        if (c.relative.empty()) {
            EXPECT_TRUE(inside.empty());
        } else {
            ASSERT_TRUE(inside.count(c.relative)) << WideToUtf8(c.relative);
            EXPECT_EQ(inside.at(c.relative), c.content);
        }
    }
    // Absolute places a name could aim at outside the root.
    for (const wchar_t* path : {L"C:\\outside.txt", L"Z:\\tmp\\outside.txt", L"C:\\evildir"})
        EXPECT_FALSE(FileExists(path)) << WideToUtf8(path);
    RemoveTree(root);
}

TEST(DamagedArchives, EachGivesItsCodeAndLeavesNoDamagedFile) {
    const struct {
        const wchar_t* archive;
        int code;
        Tree tree;  // what is in the destination afterwards
    } cases[] = {
        // A flipped byte in stored data only shows in the CRC; the entry before stays.
        {L"bad_crc_stored.zip", EXTRACT_BAD_DATA, {{L"good.txt", "good\n"}}},
        {L"bad_crc_deflated.zip", EXTRACT_BAD_DATA, {}},
        {L"short_overlap.zip", EXTRACT_BAD_DATA, {}},
        {L"short_eof.zip", EXTRACT_BAD_DATA, {}},
        {L"zero_compressed.zip", EXTRACT_BAD_DATA, {}},
        {L"deflate_ends_early.zip", EXTRACT_BAD_DATA, {}},
        {L"local_crc.zip", EXTRACT_BAD_LOCAL_HEADER, {}},
        {L"local_method.zip", EXTRACT_BAD_LOCAL_HEADER, {}},
        {L"local_signature.zip", EXTRACT_BAD_LOCAL_HEADER, {}},
        {L"local_name_length.zip", EXTRACT_BAD_LOCAL_HEADER, {}},
        {L"local_sizes.zip", EXTRACT_BAD_LOCAL_HEADER, {}},
        {L"method_12.zip", EXTRACT_BAD_LOCAL_HEADER, {}},
        {L"method_14.zip", EXTRACT_BAD_LOCAL_HEADER, {}},
        {L"method_99.zip", EXTRACT_BAD_LOCAL_HEADER, {}},
        {L"local_extra_eof.zip", EXTRACT_BAD_LOCAL_EXTRA, {}},
        {L"encrypted.zip", EXTRACT_BAD_PASSWORD, {}},
        {L"truncated_cut.zip", EXTRACT_CANNOT_OPEN, {}},
    };
    ScratchDir scratch;
    const std::wstring dest = scratch / L"dest";
    for (const auto& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.archive));
        Reset(dest);
        EXPECT_EQ(Extract(Fixture(c.archive), dest), c.code);
        EXPECT_EQ(SnapshotTree(dest), c.tree);
    }
}

TEST(DamagedArchives, DamagedEntryDoesNotStayInPlaceOfAnInstalledFile) {
    ScratchDir scratch;
    ASSERT_TRUE(WriteFileBytes(scratch / L"bad.txt", "installed before\n"));
    EXPECT_EQ(Extract(Fixture(L"bad_crc_stored.zip"), scratch.Path()), EXTRACT_BAD_DATA);
    EXPECT_FALSE(FileExists(scratch / L"bad.txt"));
}

TEST(EncryptedArchives, AreRefusedWithOrWithoutAPassword) {
    ScratchDir scratch;
    EXPECT_EQ(Extract(Fixture(L"encrypted.zip"), scratch.Path(), "secret"), EXTRACT_BAD_PASSWORD);
    EXPECT_TRUE(SnapshotTree(scratch.Path()).empty());
}
