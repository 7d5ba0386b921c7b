// installer-cli download <host[:port]> <object-path> <file> [--no-resume]
// One Connect and one download attempt, as the install worker makes them; progress goes
// to standard error, the attempt's result code to standard output.

#include <windows.h>

#include <cinttypes>
#include <cstdio>

#include "app/TextConv.h"
#include "app/cli/CliCommands.h"
#include "net/HttpDownloader.h"

namespace {

class CliDownloader : public HttpDownloader {
public:
    void OnProgress(HANDLE, int status, uint32_t transferMs, uint64_t receivedBytes, uint64_t totalSize,
                    uint64_t fileSize, int) override {
        // At most ten lines a second; the last block and a status-0 call always show.
        const DWORD now = GetTickCount();
        if (status == 1 && fileSize != totalSize && printedAny_ && now - lastPrint_ < kMinIntervalMs) return;
        printedAny_ = true;
        lastPrint_ = now;
        char line[160];
        snprintf(line, sizeof line, "progress %d %" PRIu64 "/%" PRIu64 " received %" PRIu64 " in %" PRIu32 " ms",
                 status, fileSize, totalSize, receivedBytes, transferMs);
        CliErr(AnsiToWide(line));
    }

private:
    static constexpr DWORD kMinIntervalMs = 100;
    DWORD lastPrint_ = 0;
    bool printedAny_ = false;
};

}  // namespace

CliResult RunDownloadCommand(const CliArgs& args) {
    bool resume = true;
    CliArgs positional;
    for (const std::wstring& arg : args) {
        if (arg == L"--no-resume")
            resume = false;
        else
            positional.push_back(arg);
    }
    if (positional.size() != 3) {
        CliErr(L"usage: installer-cli download <host[:port]> <object-path> <file> [--no-resume]");
        return {"usage", false};
    }
    const std::string host = WideToAnsi(positional[0]);
    const std::string objectPath = WideToAnsi(positional[1]);
    const std::string fileName = WideToAnsi(positional[2]);

    CliDownloader downloader;
    if (!downloader.Connect(host.c_str(), nullptr, nullptr, 0)) CliErr(L"connect failed: " + positional[0]);
    const int code = downloader.DownloadToFile(objectPath.c_str(), fileName.c_str(), resume ? 1 : 0);
    return {std::to_string(code), code >= 0};
}
