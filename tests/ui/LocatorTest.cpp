// The desktop icon locator against a stand-in desktop in another process: a real list view
// whose labels and rectangles are read through a block of memory in that process.

#include <gtest/gtest.h>

#include "diag/DebugLog.h"
#include "app/TextConv.h"
#include "install/DesktopIconLocator.h"
#include "StandIn.h"
#include "support/TestSupport.h"

namespace {

struct Located {
    RECT rect{};
    HWND listView = nullptr;
    std::string log;
};

Located Locate(const ScratchDir& dir, const char* label) {
    const std::wstring logFile = dir / L"locator.log";
    WriteFileBytes(logFile, "");
    Located result;
    {
        DebugLog log;
        log.Open(std::string(logFile.begin(), logFile.end()).c_str());
        result.rect = LocateDesktopIcon(label, &result.listView, log);
    }
    result.log = ReadFileBytes(logFile).value_or("");
    return result;
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST(DesktopIconLocator, FirstMatchIgnoringCaseUnderProgman) {
    ScratchDir dir;
    StandIn standIn = StartStandIn(dir, L"progman", L"Alpha halvane HALVANE Omega");
    ASSERT_EQ(standIn.items.size(), 4u);

    const Located found = Locate(dir, "Halvane");
    EXPECT_NE(found.listView, nullptr);
    EXPECT_TRUE(Same(found.rect, standIn.items[1])) << found.rect.left << "," << found.rect.top;
    EXPECT_FALSE(IsRectEmpty(&found.rect));
    // Both processes are 32-bit: the 40-byte record, whatever the system.
    EXPECT_EQ(found.log, "IsWow64 = false\r\n");

    const Located missing = Locate(dir, "Nothing");
    EXPECT_TRUE(IsRectEmpty(&missing.rect));
    EXPECT_EQ(missing.listView, found.listView);
    EXPECT_EQ(missing.log, "IsWow64 = false\r\nnot found x32 'Nothing'\r\n");
}

TEST(DesktopIconLocator, WorkerWComesBeforeProgman) {
    // A WorkerW whose view has no list view ends the walk; Progman is asked next.
    const struct {
        const wchar_t* layout;
        const wchar_t* labels;
        const char* wanted;
        size_t expected;
        const wchar_t* topClass;
    } cases[] = {
        {L"workerw", L"Halvane", "halvane", 0, L"WorkerW"},
        {L"workerw-empty", L"Other Halvane", "HALVANE", 1, L"Progman"},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.layout));
        StandIn standIn = StartStandIn(dir, c.layout, c.labels);
        const Located found = Locate(dir, c.wanted);
        ASSERT_GT(standIn.items.size(), c.expected);
        EXPECT_TRUE(Same(found.rect, standIn.items[c.expected]));
        wchar_t topClass[64] = {};
        GetClassNameW(GetParent(GetParent(found.listView)), topClass, 64);
        EXPECT_STREQ(topClass, c.topClass);
    }
}

TEST(DesktopIconLocator, NoListViewGivesAnEmptyRectangle) {
    ScratchDir dir;
    StandIn standIn = StartStandIn(dir, L"none", L"");
    const Located found = Locate(dir, "Halvane");
    EXPECT_EQ(found.listView, nullptr);
    EXPECT_TRUE(IsRectEmpty(&found.rect));
    EXPECT_EQ(found.log, "hwndSysListView32 = NULL\r\n");
}
