// libFuzzer target: any stored name, through the clean-up rule and the safety gate, is
// either refused or a relative path that stays inside the destination, as judged by
// PathOracle.h, which is written independently of the gate.
// The same bytes also feed the extra-field reader, which must never read beyond them.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "install/EntryFields.h"
#include "install/EntryName.h"
#include "PathOracle.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::u16string stored = Decode(data, size);
    for (const std::u16string& name : {ApplyNameRule(stored), stored}) {
        const EntryPath path = CheckEntryPath(name);
        if (path.verdict == EntryPathVerdict::Ok && !StaysInside(path.relative)) Fail();
    }
    const UnixTimes times = ReadUnixTimes(data, size);
    if ((times.hasAtime || times.hasCtime) && size < 9) Fail();
    return 0;
}
