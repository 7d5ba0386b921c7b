// installer-cli <command> [arguments...]

#include <windows.h>

#include <iterator>

#include "app/ProcessGlobals.h"
#include "app/cli/CliCommands.h"

namespace {

struct CommandEntry {
    CliCommand command;
    size_t minArgs;
};

const CommandEntry kCommands[] = {
    {{L"config", L"", RunConfigCommand}, 0},
    {{L"share-record", L"<digits>", RunShareRecordCommand}, 1},
    {{L"login-profile", L"<install-dir> [<channel>]", RunLoginProfileCommand}, 1},
    {{L"download", L"<host[:port]> <object-path> <file> [--no-resume]", RunDownloadCommand}, 3},
    {{L"extract", L"<archive> <destination>", RunExtractCommand}, 2},
    {{L"install", L"<base-dir> [--host H[:P]] [--package-path P] [--stats-host H[:P]] [--attempts N]",
      RunInstallCommand}, 1},
};

void PrintUsage() {
    CliErr(L"usage: installer-cli <command> [arguments]");
    for (const CommandEntry& entry : kCommands)
        CliErr(std::wstring(L"  ") + entry.command.name + L" " + entry.command.usage);
}

CliResult Dispatch(int argc, wchar_t** argv) {
    if (argc < 2) {
        PrintUsage();
        return {"usage", false};
    }
    for (const CommandEntry& entry : kCommands) {
        if (lstrcmpW(argv[1], entry.command.name) != 0) continue;
        CliArgs args(argv + 2, argv + argc);
        if (args.size() < entry.minArgs) return CliUsageError(entry.command);
        return entry.command.run(args);
    }
    PrintUsage();
    return {"unknown-command", false};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    RestrictDllSearchToSystem32();
    CliResult result;
    try {
        result = Dispatch(argc, argv);
    } catch (...) {
        result = {"internal-error", false};
    }
    CliOutAnsi("result " + result.code);
    return result.success ? 0 : 1;
}
