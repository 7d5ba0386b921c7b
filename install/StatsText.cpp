#include "install/StatsText.h"

namespace {
std::wstring Ascii(std::string_view text) { return std::wstring(text.begin(), text.end()); }
}  // namespace

std::wstring FormatOutcomeText(std::wstring_view installDir, const ExtractOutcome& outcome) {
    std::wstring text(installDir);
    text += L"|" + std::to_wstring(static_cast<uint32_t>(outcome.result));
    text += L"|attr:" + std::to_wstring(outcome.attributes);
    text += L"|create:" + std::to_wstring(outcome.createResult);
    text += L"|errid:" + std::to_wstring(outcome.lastError);
    text += L"|size:" + std::to_wstring(outcome.size);
    return text;
}

std::wstring BuildReportAddress(std::string_view statsHost, int siteId, int type, std::string_view encodedOutcome,
                                int channelId) {
    std::wstring address = L"http://" + Ascii(statsHost) + kStatsPath;
    address += L"?SiteID=" + std::to_wstring(siteId);
    address += L"&StatistsType=" + std::to_wstring(type);
    address += L"&UnzipResult=" + Ascii(encodedOutcome);
    address += L"&channalID=" + std::to_wstring(channelId);
    return address;
}
