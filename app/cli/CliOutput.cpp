#include <cstdio>

#include "app/TextConv.h"
#include "app/cli/CliCommands.h"

namespace {
void WriteLine(FILE* stream, const std::string& bytes) {
    fwrite(bytes.data(), 1, bytes.size(), stream);
    fputc('\n', stream);
    fflush(stream);
}
}  // namespace

void CliOut(const std::wstring& line) { WriteLine(stdout, WideToAnsi(line)); }
void CliErr(const std::wstring& line) { WriteLine(stderr, WideToAnsi(line)); }
void CliOutAnsi(const std::string& line) { WriteLine(stdout, line); }

CliResult CliUsageError(const CliCommand& command) {
    CliErr(std::wstring(L"usage: installer-cli ") + command.name + L" " + command.usage);
    return {"usage", false};
}
