// libFuzzer target: any stored name, through the clean-up rule and the safety gate, is
// either refused or a relative path that stays inside the destination. The oracle below
// resolves the path the way Windows does and is written independently of the gate.
// The same bytes also feed the extra-field reader, which must never read beyond them.

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "install/EntryFields.h"
#include "install/EntryName.h"

namespace {

// Bytes become UTF-16 units one for one, except that 0xFF takes the next two bytes as
// one unit, so that separators and dots stay cheap to reach while every unit is possible.
std::u16string Decode(const uint8_t* data, size_t size) {
    std::u16string text;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            text += static_cast<char16_t>(data[i + 1] | data[i + 2] << 8);
            i += 2;
        } else {
            text += static_cast<char16_t>(data[i]);
        }
    }
    return text;
}

[[noreturn]] void Fail() { std::abort(); }

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
    static const std::vector<std::u16string> kDevices = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$",
                                                          u"CLOCK$"};
    for (const auto& device : kDevices)
        if (base == device) return true;
    if (base.size() == 4 && (base.starts_with(u"COM") || base.starts_with(u"LPT"))) {
        const char16_t d = base[3];
        return (d >= u'0' && d <= u'9') || d == 0xB9 || d == 0xB2 || d == 0xB3;
    }
    return false;
}

void CheckInside(const std::u16string& relative) {
    if (relative.empty()) return;
    if (relative.front() == u'\\' || relative.back() == u'\\') Fail();
    std::vector<std::u16string> resolved = {u"C:", u"dest"};
    size_t pos = 0;
    while (pos <= relative.size()) {
        const size_t end = std::min(relative.find(u'\\', pos), relative.size());
        std::u16string component = relative.substr(pos, end - pos);
        pos = end + 1;
        if (component.empty()) Fail();  // "a\\\\b" would be read as something else
        for (char16_t c : component)
            if (c < 0x20 || c == u'/' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' ||
                c == u'>' || c == u'|')
                Fail();
        if (NamesADevice(component)) Fail();
        // Windows drops trailing dots and spaces; the gate must not have let any through.
        std::u16string stripped = component;
        while (!stripped.empty() && (stripped.back() == u'.' || stripped.back() == u' ')) stripped.pop_back();
        if (stripped != component) Fail();
        if (component == u".") continue;
        if (component == u"..") {
            resolved.pop_back();
            if (resolved.size() < 2) Fail();
            continue;
        }
        resolved.push_back(component);
    }
    if (resolved.size() < 3 || resolved[0] != u"C:" || resolved[1] != u"dest") Fail();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::u16string stored = Decode(data, size);
    for (const std::u16string& name : {ApplyNameRule(stored), stored}) {
        const EntryPath path = CheckEntryPath(name);
        if (path.verdict == EntryPathVerdict::Ok) CheckInside(path.relative);
    }
    const UnixTimes times = ReadUnixTimes(data, size);
    if ((times.hasAtime || times.hasCtime) && size < 9) Fail();
    return 0;
}
