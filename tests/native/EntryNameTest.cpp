// The entry-name clean-up rule and the safety gate, on names a package (or an attacker)
// can store.

#include <gtest/gtest.h>

#include "install/EntryName.h"

namespace {

std::string Narrow(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '#';
    return out;
}

}  // namespace

TEST(NameRule, StripsDrivesSeparatorsAndUpComponents) {
    const struct {
        std::u16string_view stored;
        std::u16string_view expected;
    } cases[] = {
        {u"lobby.exe", u"lobby.exe"},
        {u"C:\\x\\y.txt", u"x\\y.txt"},
        {u"C:x.txt", u"x.txt"},
        {u"/etc/y.txt", u"etc/y.txt"},
        {u"\\\\server\\share\\y.txt", u"server\\share\\y.txt"},
        {u"C:C:\\/C:y", u"y"},
        {u"x/../y.txt", u"y.txt"},
        {u"a/..\\b.txt", u"b.txt"},
        {u"a\\../b.txt", u"b.txt"},
        {u"a\\..\\b.txt", u"b.txt"},
        {u"x/../../y.txt", u"../y.txt"},  // left for the safety gate
        {u"a/b/../../../y", u"y"},  // the rule repeats: "../../y" loses "../" too
        {u"../y", u"../y"},
        {u"x/..", u"x/.."},
        {u"a..\\b", u"a..\\b"},
        // The first pattern wins even when another one occurs earlier.
        {u"a/../b\\..\\c", u"c"},
        {u"\u5927\u5385/\u6e38\u620f.txt", u"\u5927\u5385/\u6e38\u620f.txt"},
        {u"\u4e2d:x", u"x"},
        {u"", u""},
        {u":", u":"},
        {u"//", u""},
    };
    for (const auto& c : cases) EXPECT_EQ(ApplyNameRule(c.stored), c.expected) << Narrow(c.stored);
}

TEST(EntryPathCheck, KeepsInsideAndRefusesEscapesDevicesAndAliases) {
    using V = EntryPathVerdict;
    const struct {
        std::u16string_view name;
        V verdict;
        std::u16string_view relative;
    } cases[] = {
        {u"lobby.exe", V::Ok, u"lobby.exe"},
        {u"a/b\\c.txt", V::Ok, u"a\\b\\c.txt"},
        {u"a//./b/", V::Ok, u"a\\b"},
        {u"/x", V::Ok, u"x"},
        {u"", V::Ok, u""},
        {u"./", V::Ok, u""},
        {u".hidden", V::Ok, u".hidden"},
        {u"a..b", V::Ok, u"a..b"},
        {u"CONSOLE.txt", V::Ok, u"CONSOLE.txt"},
        {u"COM10", V::Ok, u"COM10"},
        {u"lpt", V::Ok, u"lpt"},
        {u"\u5927\u5385\\\u6e38\u620f.txt", V::Ok, u"\u5927\u5385\\\u6e38\u620f.txt"},
        {u"..", V::Unsafe, u""},
        {u"../y", V::Unsafe, u""},
        {u"a/../y", V::Unsafe, u""},
        {u"a\\..", V::Unsafe, u""},
        {u"C:\\y", V::Unsafe, u""},
        {u"c:y", V::Unsafe, u""},
        {u"\\\\?\\C:\\y", V::Unsafe, u""},
        {u"?\\C:\\y", V::Unsafe, u""},
        {u"lobby.exe:stream", V::Unsafe, u""},
        {u"lobby.exe::$DATA", V::Unsafe, u""},
        {u"CON", V::Unsafe, u""},
        {u"con.txt", V::Unsafe, u""},
        {u"a/Nul", V::Unsafe, u""},
        {u"aux.tar.gz", V::Unsafe, u""},
        {u"PRN", V::Unsafe, u""},
        {u"COM1", V::Unsafe, u""},
        {u"com9.log", V::Unsafe, u""},
        {u"LPT0", V::Unsafe, u""},
        {u"LPT\u00B9", V::Unsafe, u""},
        {u"CON .txt", V::Unsafe, u""},
        {u"conin$", V::Unsafe, u""},
        {u"CONOUT$.x", V::Unsafe, u""},
        {u"lobby.exe.", V::Unsafe, u""},
        {u"lobby.exe ", V::Unsafe, u""},
        {u"dir./x", V::Unsafe, u""},
        {u"dir /x", V::Unsafe, u""},
        {u"...", V::Unsafe, u""},
        {u"a<b", V::Unsafe, u""},
        {u"a>b", V::Unsafe, u""},
        {u"a\"b", V::Unsafe, u""},
        {u"a|b", V::Unsafe, u""},
        {u"a*b", V::Unsafe, u""},
        {u"tab\there", V::Unsafe, u""},
        {std::u16string_view(u"a.txt\0../x", 10), V::Unsafe, u""},
    };
    for (const auto& c : cases) {
        const EntryPath path = CheckEntryPath(c.name);
        EXPECT_EQ(path.verdict, c.verdict) << Narrow(c.name);
        if (c.verdict == V::Ok) EXPECT_EQ(path.relative, c.relative) << Narrow(c.name);
    }
}

TEST(EntryPathCheck, ComponentsBeyondTheFileSystemLimitAreTooLong) {
    const std::u16string longest(kMaxComponentLength, u'x');
    EXPECT_EQ(CheckEntryPath(u"a/" + longest).verdict, EntryPathVerdict::Ok);
    EXPECT_EQ(CheckEntryPath(u"a/" + longest + u"x").verdict, EntryPathVerdict::TooLong);
    // A dangerous component is refused as unsafe whatever its length.
    EXPECT_EQ(CheckEntryPath(longest + u"x:y").verdict, EntryPathVerdict::Unsafe);
}

TEST(EntryPathCheck, RuleThenGateOnKnownEscapes) {
    // Escapes the clean-up rule leaves behind are refused; the rest land inside.
    EXPECT_EQ(CheckEntryPath(ApplyNameRule(u"x/../../y.txt")).verdict, EntryPathVerdict::Unsafe);
    EXPECT_EQ(CheckEntryPath(ApplyNameRule(u"C:\\..\\y.txt")).verdict, EntryPathVerdict::Unsafe);
    EXPECT_EQ(CheckEntryPath(ApplyNameRule(u"//?/C:/y.txt")).verdict, EntryPathVerdict::Unsafe);
    EXPECT_EQ(CheckEntryPath(ApplyNameRule(u"C:\\Windows\\y.dll")).relative, u"Windows\\y.dll");
    EXPECT_EQ(CheckEntryPath(ApplyNameRule(u"a/..\\..\\y.txt")).relative, u"y.txt");
}
