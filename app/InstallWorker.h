#pragma once
// The install run: download the package (with resume and up to MAX_DOWNLOAD_ATTEMPTS
// attempts), unpack it (one retry), make the shortcut, report, and hand over to the
// window, which starts the lobby.

#include <windows.h>

#include <cstdint>
#include <string>

#include "BuildHosts.h"
#include "app/InstallHost.h"

inline constexpr uint32_t MAX_DOWNLOAD_ATTEMPTS = kBuildMaxDownloadAttempts;
inline constexpr int STALL_LIMIT = 5;

struct InstallRun {
    InstallHost* host = nullptr;
    std::wstring installDir;      // ends with a backslash: installBaseDir, brand, '\'
    std::wstring installBaseDir;  // ends with a backslash; the package is unpacked here
    std::string downloadHost;     // host[:port]
    std::string packagePath;      // object path on the download host (ANSI)
    std::string statsHost;        // host[:port]
    int channelId = 0;
    uint32_t maxAttempts = MAX_DOWNLOAD_ATTEMPTS;
};

struct InstallOutcome {
    bool downloaded = false;  // false: every attempt failed
    int extractResult = 0;    // the last extraction result when downloaded
};

// Runs one install on the calling thread.
InstallOutcome RunInstall(const InstallRun& run);

// Thread entry for CreateThread: runs the InstallRun it is given and deletes it.
DWORD WINAPI InstallWorker(void* run);
