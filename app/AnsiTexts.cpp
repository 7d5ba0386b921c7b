#include "app/AnsiTexts.h"

const char kTextChannelConfigError[] = "读取ID_CHANNAL配置错误";
const char kTextOfficialConfigError[] = "读取ID_IFOFFICIAL配置错误";
const char kTextDownloadUrlConfigError[] = "读取ID_DOWNLOADURL配置错误";
const char kTextBannerUrlConfigError[] = "读取ID_BANNERURL配置错误";
const char kTextWindowTitle[] = "客户端下载器";
const char kTextDiskFull[] = "硬盘空间不足，请检查后再重试。";
