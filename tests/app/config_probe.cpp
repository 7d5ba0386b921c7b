// Runs the start-up configuration of the program against this program's own string
// table and file name, and prints what came of it; start-up message boxes are recorded.

#include <cstdio>

#include "app/BuildConfig.h"
#include "app/Startup.h"
#include "app/TextConv.h"
#include "support/TestSupport.h"

int main() {
    SetStartupMessageHook([](const char* text) { std::printf("box %s\n", Hex(text).c_str()); });
    RunStartupConfiguration();
    const BuildConfig& config = Config();
    std::printf("channelId %d\n", config.channelId);
    std::printf("ifOfficial %d\n", config.ifOfficial);
    std::printf("downloadHost %s\n", config.downloadHost.c_str());
    std::printf("packagePath %s\n", config.packagePath.c_str());
    std::printf("bannerUrl %s\n", WideToUtf8(config.bannerUrl).c_str());
    std::printf("token %s\n", ReadFileNameChannel().c_str());
    return 0;
}
