#include "ui/TrayTip.h"

std::string CutTrayTip(std::string_view tip, bool (*isLeadByte)(unsigned char)) {
    std::string cut;
    size_t i = 0;
    while (i < tip.size() && tip[i] != '\0') {
        const bool lead = isLeadByte(static_cast<unsigned char>(tip[i])) && i + 1 < tip.size();
        const size_t width = lead ? 2 : 1;
        if (i + width > kTrayTipMaxBytes) break;
        cut.append(tip.substr(i, width));
        i += width;
    }
    return cut;
}
