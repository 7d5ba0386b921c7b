#include "app/Startup.h"

#include "app/BuildConfig.h"
#include "app/ConfigText.h"
#include "app/InstallRecords.h"

void RunStartupConfiguration() {
    LoadBuildConfig();
    const std::string token = ReadFileNameChannel();
    if (!token.empty() && IsAllDigits(token)) WriteShareRecord(token);
}
