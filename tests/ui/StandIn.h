#pragma once
// The stand-in desktop of the UI tests: a real list view in another process
// (desktop_standin.exe), since a bare X session has no desktop list view.

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TestSupport.h"

struct StandIn {
    ChildProcess process;
    std::vector<RECT> items;
};

// Starts the stand-in and waits until its items are in place.
inline StandIn StartStandIn(const ScratchDir& dir, const std::wstring& layout, const std::wstring& labels) {
    const std::wstring ready = dir / (layout + L".ready");
    DeleteFileW(ready.c_str());
    StandIn standIn{ChildProcess(Quote(TestBinDir() + L"\\desktop_standin.exe") + L" " + layout + L" " +
                                 Quote(ready) + L" " + labels),
                    {}};
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(ready).value_or("").find("ready") != std::string::npos; },
                          20000));
    std::istringstream lines(ReadFileBytes(ready).value_or(""));
    std::string word;
    while (lines >> word) {
        if (word != "item") continue;
        int index = 0;
        RECT rect{};
        lines >> index >> rect.left >> rect.top >> rect.right >> rect.bottom;
        standIn.items.push_back(rect);
    }
    return standIn;
}
