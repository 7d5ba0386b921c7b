#include "PipelineFixtures.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <zlib.h>

#include "FaultServer.h"
#include "app/TextConv.h"
#include "support/TestSupport.h"

std::string FixtureUnixPath(const std::string& name) { return std::string(PIPELINE_FIXTURES) + "/" + name; }

std::wstring FixtureWindowsPath(const std::string& name) {
    std::wstring path = L"Z:" + Utf8ToWide(FixtureUnixPath(name));
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

std::vector<std::string> CompareWithManifest(const std::wstring& installDir, const std::string& manifestName) {
    std::vector<std::string> problems;
    std::ifstream manifest(WideToAnsi(FixtureWindowsPath(manifestName)));
    if (!manifest) return {"no manifest " + manifestName};
    std::string line;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string name, size, crc;
        std::getline(fields, name, '\t');
        std::getline(fields, size, '\t');
        std::getline(fields, crc, '\t');
        const auto bytes = ReadFileBytes(installDir + Utf8ToWide(name));
        if (!bytes) {
            problems.push_back("missing " + name);
            continue;
        }
        const uLong actual = crc32(0, reinterpret_cast<const Bytef*>(bytes->data()), static_cast<uInt>(bytes->size()));
        if (std::to_string(bytes->size()) != size || std::stoul(crc, nullptr, 16) != actual)
            problems.push_back("different " + name);
    }
    return problems;
}

namespace {

std::string PercentDecode(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string QueryValue(const std::string& query, const std::string& key) {
    std::istringstream pairs(query);
    std::string pair;
    while (std::getline(pairs, pair, '&')) {
        if (pair.compare(0, key.size() + 1, key + "=") == 0) return pair.substr(key.size() + 1);
    }
    return "<missing>";
}

}  // namespace

std::vector<StatsRequest> StatsRequests() {
    std::vector<StatsRequest> found;
    for (const LoggedRequest& request : ServerLog()) {
        const size_t path = request.line.find("/ajax/quickDownLoadStatistics/quickDownStatistics.jsp?");
        if (path == std::string::npos) continue;
        const size_t queryStart = request.line.find('?', path) + 1;
        const std::string query = request.line.substr(queryStart, request.line.find(' ', queryStart) - queryStart);
        StatsRequest stats;
        stats.siteId = QueryValue(query, "SiteID");
        stats.type = QueryValue(query, "StatistsType");
        stats.unzipResult = PercentDecode(QueryValue(query, "UnzipResult"));
        stats.channel = QueryValue(query, "channalID");
        stats.status = request.status;
        found.push_back(stats);
    }
    return found;
}

uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int CountFiles(const std::wstring& folder) {
    int count = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? CountFiles(folder + L"\\" + name) : 1;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

bool HasStamp(const std::wstring& path, int year, int month, int day, int hour, int minute, int second) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    SYSTEMTIME utc{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToSystemTime(&data.ftLastWriteTime, &utc))
        return false;
    return utc.wYear == year && utc.wMonth == month && utc.wDay == day && utc.wHour == hour && utc.wMinute == minute &&
           utc.wSecond == second;
}
