// libFuzzer target: the percent-encoding of the statistics request, on any bytes. The
// result holds only the unreserved characters, '+' and upper-case "%XX" groups, and
// decoding it gives the bytes back.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "install/UrlEncode.h"

namespace {

[[noreturn]] void Fail() { std::abort(); }

bool Unreserved(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.' || c == '~';
}

int UpperHexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Decode(std::string_view encoded) {
    std::string bytes;
    for (size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '+') {
            bytes += ' ';
        } else if (c == '%') {
            if (encoded.size() - i < 3) Fail();
            const int high = UpperHexValue(encoded[i + 1]), low = UpperHexValue(encoded[i + 2]);
            if (high < 0 || low < 0) Fail();
            const char byte = static_cast<char>(high << 4 | low);
            // A byte that may stand for itself is never encoded.
            if (Unreserved(byte) || byte == ' ') Fail();
            bytes += byte;
            i += 2;
        } else if (Unreserved(c)) {
            bytes += c;
        } else {
            Fail();
        }
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string encoded = PercentEncode(input);
    if (encoded.size() < size || encoded.size() > 3 * size) Fail();
    if (Decode(encoded) != input) Fail();
    return 0;
}
