#include "PathOracle.h"

#include <algorithm>
#include <vector>

namespace {

std::u16string Upper(std::u16string text) {
    for (char16_t& c : text)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    return text;
}

bool NamesADevice(const std::u16string& component) {
    // What Windows' own device-name test looks at: the part before the first '.' or ':',
    // with trailing spaces ignored.
    std::u16string base = Upper(component.substr(0, component.find_first_of(u".:")));
    while (!base.empty() && base.back() == u' ') base.pop_back();
    static const std::vector<std::u16string> kDevices = {u"CON",    u"PRN",     u"AUX",   u"NUL",
                                                          u"CONIN$", u"CONOUT$", u"CLOCK$"};
    for (const auto& device : kDevices)
        if (base == device) return true;
    if (base.size() == 4 && (base.starts_with(u"COM") || base.starts_with(u"LPT"))) {
        const char16_t d = base[3];
        return (d >= u'0' && d <= u'9') || d == 0xB9 || d == 0xB2 || d == 0xB3;
    }
    return false;
}

bool PlainComponent(const std::u16string& component) {
    if (component.empty()) return false;  // "a\\\\b" would be read as something else
    for (char16_t c : component)
        if (c < 0x20 || c == u'/' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' || c == u'>' ||
            c == u'|')
            return false;
    if (NamesADevice(component)) return false;
    // Windows drops trailing dots and spaces; the gate must not have let any through (nor
    // "." or "..", which it drops or refuses).
    return component.back() != u'.' && component.back() != u' ';
}

}  // namespace

bool StaysInside(const std::u16string& relative) {
    if (relative.empty()) return true;
    size_t pos = 0;
    while (pos <= relative.size()) {
        const size_t end = std::min(relative.find(u'\\', pos), relative.size());
        if (!PlainComponent(relative.substr(pos, end - pos))) return false;
        pos = end + 1;
    }
    return true;
}
