// Subcommands for the build configuration and the installation records.

#include "app/BuildConfig.h"
#include "app/ConfigText.h"
#include "app/InstallRecords.h"
#include "app/TextConv.h"
#include "app/cli/CliCommands.h"

CliResult RunConfigCommand(const CliArgs&) {
    LoadBuildConfig();
    const BuildConfig& config = Config();
    const std::string token = ReadFileNameChannel();
    CliOutAnsi("channelId " + std::to_string(config.channelId));
    CliOutAnsi("ifOfficial " + std::to_string(config.ifOfficial));
    CliOutAnsi("downloadHost " + config.downloadHost);
    CliOutAnsi("packagePath " + config.packagePath);
    CliOut(L"bannerUrl " + config.bannerUrl);
    CliOutAnsi("fileNameToken " + token + (!token.empty() && IsAllDigits(token) ? " (recorded)" : " (ignored)"));
    return {"0", true};
}

CliResult RunShareRecordCommand(const CliArgs& args) {
    const std::string token = WideToAnsi(args.at(0));
    if (token.empty() || !IsAllDigits(token)) {
        CliErr(L"the token must be all digits");
        return {"bad-token", false};
    }
    WriteShareRecord(token);
    return {"0", true};
}

CliResult RunLoginProfileCommand(const CliArgs& args) {
    std::wstring folder = args.at(0);
    if (folder.empty()) return {"bad-folder", false};
    if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    int channel = 0;
    if (args.size() > 1) {
        channel = ReadDecimal(WideToAnsi(args[1]));
    } else {
        LoadBuildConfig();
        channel = Config().channelId;
    }
    WriteLoginProfile(folder, channel);
    return {"0", true};
}
