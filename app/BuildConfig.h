#pragma once
// The values that bind one build to one brand, one channel and one download server.

#include <windows.h>

#include <string>

struct BuildConfig {
    int channelId = 0;         // string 20001 (ID_CHANNAL)
    int ifOfficial = 0;        // string 20003 (ID_IFOFFICIAL)
    std::string downloadHost;  // host[:port]; the test host when ifOfficial is exactly 1
    std::string packagePath;   // string 20002 (ID_DOWNLOADURL), ANSI, at most 1023 bytes
    std::wstring bannerUrl;    // string 20004 (ID_BANNERURL), at most 2047 units
};

inline constexpr UINT ID_CHANNAL = 20001;
inline constexpr UINT ID_DOWNLOADURL = 20002;
inline constexpr UINT ID_IFOFFICIAL = 20003;
inline constexpr UINT ID_BANNERURL = 20004;

inline constexpr int kSiteId = 16;
inline constexpr wchar_t kBrandName[] = L"Halvane";
inline constexpr wchar_t kShareKeyPath[] = L"TORUGame\\Lobby\\Share\\shareid_16";
inline constexpr char kPackageFileName[] = "zel_lobby.install";

// The process-wide configuration: the default download host until LoadBuildConfig runs
// during the main window's construction; read-only once any other thread exists.
const BuildConfig& Config();

// Fills the process-wide configuration from the string table of `module` (null: this
// program). An entry that cannot be loaded shows its start-up message box and keeps its
// default; start-up goes on.
void LoadBuildConfig(HMODULE module = nullptr);

// Start-up message boxes go through this hook so that test programs can record them.
// The default shows MessageBoxA with no owner, no caption and MB_OK.
using StartupMessageFn = void (*)(const char* ansiText);
void SetStartupMessageHook(StartupMessageFn hook);

// The channel token of this program's own file name (see ChannelTokenFromPath).
std::string ReadFileNameChannel();
