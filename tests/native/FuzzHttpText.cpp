// Every parser of the texts a download server sends back, on arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "net/HttpText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ParseLastModified(text);
    MonthFromName(text);
    MonthFromName(text.c_str());
    if (const auto split = SplitHostPort(text)) {
        if (split->host.empty() || split->host.size() > 255 || split->port < 1 || split->port > 65535) __builtin_trap();
    }
    if (const auto target = SplitLocation(text)) {
        if (target->path.empty() || target->path[0] != '/') __builtin_trap();
    }
    ParseContentLength(text);
    if (const auto range = ParseContentRange(text)) {
        if (range->first > range->last || (range->total && range->last >= *range->total)) __builtin_trap();
    }
    return 0;
}
