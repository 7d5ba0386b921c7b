#pragma once
// Texts that reach ANSI calls (message boxes, the window title) in code page 936 (GBK),
// byte for byte. AnsiTexts.cpp is compiled with -fexec-charset=CP936.

extern const char kTextChannelConfigError[];      // 读取ID_CHANNAL配置错误
extern const char kTextOfficialConfigError[];     // 读取ID_IFOFFICIAL配置错误
extern const char kTextDownloadUrlConfigError[];  // 读取ID_DOWNLOADURL配置错误
extern const char kTextBannerUrlConfigError[];    // 读取ID_BANNERURL配置错误
extern const char kTextWindowTitle[];             // 客户端下载器
extern const char kTextDiskFull[];                // 硬盘空间不足，请检查后再重试。
