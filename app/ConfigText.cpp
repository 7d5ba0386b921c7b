#include "app/ConfigText.h"

#include <climits>
#include <cstdint>
#include <vector>

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::vector<std::string_view> SplitLikeStrtok(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == separator) ++pos;
        const size_t start = pos;
        while (pos < text.size() && text[pos] != separator) ++pos;
        if (pos > start) pieces.push_back(text.substr(start, pos - start));
    }
    return pieces;
}

}  // namespace

int ReadDecimal(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const int64_t limit = negative ? -static_cast<int64_t>(INT_MIN) : INT_MAX;
    int64_t value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

std::optional<std::string> ChannelTokenFromPath(std::string_view path) {
    const auto parts = SplitLikeStrtok(path, '\\');
    if (parts.empty()) return std::nullopt;
    const auto underscorePieces = SplitLikeStrtok(parts.back(), '_');
    if (underscorePieces.empty()) return std::nullopt;
    const auto dotPieces = SplitLikeStrtok(underscorePieces.back(), '.');
    if (dotPieces.empty()) return std::nullopt;
    return std::string(dotPieces.front());
}

bool IsAllDigits(std::string_view text) {
    for (char c : text) {
        if (!IsDigit(c)) return false;
    }
    return true;
}
