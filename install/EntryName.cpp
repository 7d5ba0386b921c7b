#include "install/EntryName.h"

#include <array>

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool EqualsIgnoringAsciiCase(std::u16string_view text, std::u16string_view upper) {
    if (text.size() != upper.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (UpperAscii(text[i]) != upper[i]) return false;
    return true;
}

// Windows resolves these names to devices in every folder, whatever extension follows
// (the part after the first '.') and with trailing spaces ignored.
bool IsDeviceName(std::u16string_view component) {
    std::u16string_view base = component.substr(0, component.find(u'.'));
    while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
    static constexpr std::array<std::u16string_view, 7> kPlain = {u"CON",    u"PRN",     u"AUX",   u"NUL",
                                                                   u"CONIN$", u"CONOUT$", u"CLOCK$"};
    for (std::u16string_view device : kPlain)
        if (EqualsIgnoringAsciiCase(base, device)) return true;
    if (base.size() != 4) return false;
    const std::u16string_view prefix = base.substr(0, 3);
    if (!EqualsIgnoringAsciiCase(prefix, u"COM") && !EqualsIgnoringAsciiCase(prefix, u"LPT")) return false;
    const char16_t digit = base[3];
    // Superscript one, two and three count as digits here too.
    return (digit >= u'0' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' || digit == u'\u00B3';
}

bool IsForbiddenCharacter(char16_t c) {
    if (c < 0x20) return true;
    switch (c) {
        case u'<': case u'>': case u':': case u'"': case u'|': case u'?': case u'*':
            return true;
        default:
            return false;
    }
}

EntryPathVerdict CheckComponent(std::u16string_view component) {
    if (component == u"..") return EntryPathVerdict::Unsafe;
    for (char16_t c : component)
        if (IsForbiddenCharacter(c)) return EntryPathVerdict::Unsafe;
    if (component.back() == u'.' || component.back() == u' ') return EntryPathVerdict::Unsafe;
    if (IsDeviceName(component)) return EntryPathVerdict::Unsafe;
    if (component.size() > kMaxComponentLength) return EntryPathVerdict::TooLong;
    return EntryPathVerdict::Ok;
}

}  // namespace

std::u16string ApplyNameRule(std::u16string_view name) {
    static constexpr std::array<std::u16string_view, 4> kUpPatterns = {u"\\..\\", u"\\../", u"/../", u"/..\\"};
    for (;;) {
        if (name.size() >= 2 && name[1] == u':') {
            name.remove_prefix(2);
            continue;
        }
        if (!name.empty() && IsSeparator(name[0])) {
            name.remove_prefix(1);
            continue;
        }
        bool dropped = false;
        for (std::u16string_view pattern : kUpPatterns) {
            const size_t found = name.find(pattern);
            if (found == std::u16string_view::npos) continue;
            name.remove_prefix(found + pattern.size());
            dropped = true;
            break;
        }
        if (!dropped) return std::u16string(name);
    }
}

EntryPath CheckEntryPath(std::u16string_view name) {
    EntryPath result;
    size_t pos = 0;
    while (pos <= name.size()) {
        size_t end = pos;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        const std::u16string_view component = name.substr(pos, end - pos);
        pos = end + 1;
        if (component.empty() || component == u".") continue;
        const EntryPathVerdict verdict = CheckComponent(component);
        if (verdict != EntryPathVerdict::Ok) return {verdict, {}};
        if (!result.relative.empty()) result.relative += u'\\';
        result.relative += component;
    }
    result.verdict = EntryPathVerdict::Ok;
    return result;
}
