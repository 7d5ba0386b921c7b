#include "app/TextConv.h"
#include "install/UrlEncode.h"

std::string UrlEncodeUtf8(std::string_view ansiText) { return PercentEncode(WideToUtf8(AnsiToWide(ansiText))); }
