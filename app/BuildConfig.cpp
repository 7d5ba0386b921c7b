#include "app/BuildConfig.h"

#include <vector>

#include "BuildHosts.h"
#include "app/AnsiTexts.h"
#include "app/ConfigText.h"

namespace {

BuildConfig& MutableConfig() {
    static BuildConfig config{0, 0, kDefaultDownloadHost, {}, {}};
    return config;
}

void ShowStartupMessageBox(const char* text) { MessageBoxA(nullptr, text, nullptr, MB_OK); }

StartupMessageFn g_startupMessage = ShowStartupMessageBox;

// LoadStringA into a zeroed buffer of `capacity` bytes; nullopt-like empty result with
// `loaded` false when the entry is missing (or empty, which LoadString cannot tell apart).
std::string LoadAnsiString(HMODULE module, UINT id, int capacity, bool& loaded) {
    std::vector<char> buffer(static_cast<size_t>(capacity), '\0');
    const int length = LoadStringA(module, id, buffer.data(), capacity);
    loaded = length > 0;
    return loaded ? std::string(buffer.data(), static_cast<size_t>(length)) : std::string();
}

}  // namespace

const BuildConfig& Config() { return MutableConfig(); }

void SetStartupMessageHook(StartupMessageFn hook) { g_startupMessage = hook ? hook : ShowStartupMessageBox; }

void LoadBuildConfig(HMODULE module) {
    if (!module) module = GetModuleHandleW(nullptr);
    BuildConfig& config = MutableConfig();
    bool loaded = false;

    const std::string channel = LoadAnsiString(module, ID_CHANNAL, 1024, loaded);
    if (loaded)
        config.channelId = ReadDecimal(channel);
    else
        g_startupMessage(kTextChannelConfigError);

    const std::string official = LoadAnsiString(module, ID_IFOFFICIAL, 1024, loaded);
    if (loaded)
        config.ifOfficial = ReadDecimal(official);
    else
        g_startupMessage(kTextOfficialConfigError);
    if (config.ifOfficial == 1) config.downloadHost = kTestDownloadHost;

    config.packagePath = LoadAnsiString(module, ID_DOWNLOADURL, 1024, loaded);
    if (!loaded) g_startupMessage(kTextDownloadUrlConfigError);

    std::vector<wchar_t> banner(2048, L'\0');
    const int bannerLength = LoadStringW(module, ID_BANNERURL, banner.data(), static_cast<int>(banner.size()));
    if (bannerLength > 0)
        config.bannerUrl.assign(banner.data(), static_cast<size_t>(bannerLength));
    else
        g_startupMessage(kTextBannerUrlConfigError);
}

std::string ReadFileNameChannel() {
    // A long buffer instead of MAX_PATH: a cut path would yield a wrong token.
    std::vector<char> path(32768, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return {};
    return ChannelTokenFromPath(std::string_view(path.data(), length)).value_or(std::string());
}
