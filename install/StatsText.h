#pragma once
// The statistics request's outcome text and address. Platform-free.

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr wchar_t kStatsPath[] = L"/ajax/quickDownLoadStatistics/quickDownStatistics.jsp";

// What the worker measured around the extraction. attributes, createResult and size are
// only measured after a failed first extraction; they are 0 otherwise.
struct ExtractOutcome {
    int32_t result = 0;        // the last extraction result, sent as unsigned 32-bit
    int32_t attributes = 0;    // of the base folder (-1: missing)
    int32_t createResult = 0;  // of creating the base folder again (0 created, 183 there already)
    int32_t lastError = 0;     // the thread's last error after the extraction steps
    int32_t size = 0;          // low 32 bits of the package file's size
};

// "<install dir>|<result>|attr:<a>|create:<c>|errid:<e>|size:<s>"
std::wstring FormatOutcomeText(std::wstring_view installDir, const ExtractOutcome& outcome);

// http://<host>/ajax/...jsp?SiteID=16&StatistsType=<type>&UnzipResult=<encoded>&channalID=<channel>
std::wstring BuildReportAddress(std::string_view statsHost, int siteId, int type, std::string_view encodedOutcome,
                                int channelId);
