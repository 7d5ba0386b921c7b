#pragma once
// installer-cli: one subcommand per job that support staff and scripts need. Every run
// ends with the line "result <code>"; the exit status is 0 on success.

#include <string>
#include <vector>

struct CliResult {
    std::string code;  // printed after "result "
    bool success = false;
};

using CliArgs = std::vector<std::wstring>;

struct CliCommand {
    const wchar_t* name;
    const wchar_t* usage;
    CliResult (*run)(const CliArgs& args);
};

// Lines to standard output and standard error in the ANSI code page.
void CliOut(const std::wstring& line);
void CliErr(const std::wstring& line);
void CliOutAnsi(const std::string& line);

CliResult CliUsageError(const CliCommand& command);

CliResult RunConfigCommand(const CliArgs& args);
CliResult RunShareRecordCommand(const CliArgs& args);
CliResult RunLoginProfileCommand(const CliArgs& args);
CliResult RunDownloadCommand(const CliArgs& args);
CliResult RunExtractCommand(const CliArgs& args);
CliResult RunInstallCommand(const CliArgs& args);
