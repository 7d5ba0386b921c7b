// installer-cli extract <archive> <destination>: unpacks a package exactly as the install
// worker does, for support staff checking a downloaded package.

#include <windows.h>

#include <string>

#include "app/TextConv.h"
#include "app/cli/CliCommands.h"
#include "install/ZipExtractor.h"

namespace {

// The full path in the ANSI code page, as the extractor takes it; empty when the path
// has characters that code page cannot hold.
std::string FullAnsiPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return {};
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return {};
    full.resize(length);
    std::string ansi = WideToAnsi(full);
    return AnsiToWide(ansi) == full ? ansi : std::string();
}

}  // namespace

CliResult RunExtractCommand(const CliArgs& args) {
    const std::string archive = FullAnsiPath(args.at(0));
    const std::string destination = FullAnsiPath(args.at(1));
    if (archive.empty() || destination.empty()) {
        CliErr(L"the paths must be expressible in the ANSI code page");
        return {"bad-path", false};
    }
    int started = 0;
    const int code = ExtractPackage(archive.c_str(), nullptr, destination.c_str(), [&] { ++started; });
    if (code != EXTRACT_OK) {
        const std::string where = started > 0 ? " (entry " + std::to_string(started - 1) + ")" : "";
        CliErr(AnsiToWide(std::string(ExtractResultText(code)) + where, CP_UTF8));
    }
    return {std::to_string(code), code == EXTRACT_OK};
}
