#pragma once
// Shared by the pipeline tests: the fixture packages, what an installed tree must hold,
// and the statistics requests the server saw.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The Unix path of a fixture file, as the fault server reads it, and the same file as
// Windows programs under Wine see it (drive Z: is the root).
std::string FixtureUnixPath(const std::string& name);
std::wstring FixtureWindowsPath(const std::string& name);

// Differences between an installed folder and a package's manifest (empty: identical).
std::vector<std::string> CompareWithManifest(const std::wstring& installDir, const std::string& manifestName);

// Every statistics request the server has logged since it was configured, decoded:
// StatistsType and the UnzipResult text (UTF-8), plus the logged status.
struct StatsRequest {
    std::string type;
    std::string unzipResult;
    std::string siteId;
    std::string channel;
    int status = 0;
};
std::vector<StatsRequest> StatsRequests();

// Folder/file helpers.
uint64_t FileSize(const std::wstring& path);
int CountFiles(const std::wstring& folder);
bool HasStamp(const std::wstring& path, int year, int month, int day, int hour, int minute, int second);
