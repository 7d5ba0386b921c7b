#include "net/HttpText.h"

#include <vector>

#include "app/ConfigText.h"

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != Lower(prefix[i])) return false;
    return true;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> BlankSeparatedTokens(std::string_view text, size_t maxTokens) {
    std::vector<std::string_view> tokens;
    size_t pos = 0;
    while (tokens.size() < maxTokens) {
        while (pos < text.size() && IsSpace(text[pos])) ++pos;
        if (pos == text.size()) break;
        const size_t start = pos;
        while (pos < text.size() && !IsSpace(text[pos])) ++pos;
        tokens.push_back(text.substr(start, pos - start));
    }
    return tokens;
}

// atoi of the text from `offset` on; 0 when the text is shorter than that.
int DecimalAt(std::string_view token, size_t offset) {
    return offset < token.size() ? ReadDecimal(token.substr(offset)) : 0;
}

// Decimal digits only, at least one, without overflowing 64 bits. Advances `text`.
std::optional<uint64_t> TakeUnsigned(std::string_view& text) {
    size_t pos = 0;
    uint64_t value = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        const uint64_t digit = static_cast<uint64_t>(text[pos] - '0');
        if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
        ++pos;
    }
    if (pos == 0) return std::nullopt;
    text.remove_prefix(pos);
    return value;
}

bool TakeChar(std::string_view& text, char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
}

}  // namespace

int MonthFromName(std::string_view text) {
    static constexpr std::string_view kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int i = 0; i < 12; ++i)
        if (StartsWithNoCase(text, kMonths[i])) return i + 1;
    return 0;
}

int MonthFromName(const char* text) { return text ? MonthFromName(std::string_view(text)) : 0; }

HttpDate ParseLastModified(std::string_view text) {
    const std::vector<std::string_view> tokens = BlankSeparatedTokens(text, 5);
    auto token = [&](size_t index) { return index < tokens.size() ? tokens[index] : std::string_view(); };
    HttpDate date;
    date.day = DecimalAt(token(1), 0);
    date.month = MonthFromName(token(2));
    date.year = DecimalAt(token(3), 0);
    date.hour = DecimalAt(token(4), 0);
    date.minute = DecimalAt(token(4), 3);
    date.second = DecimalAt(token(4), 6);
    return date;
}

std::optional<HostPort> SplitHostPort(std::string_view hostText) {
    constexpr size_t kMaxHostBytes = 255;
    const size_t colon = hostText.find(':');
    HostPort result;
    result.host = std::string(hostText.substr(0, colon));
    if (result.host.empty() || result.host.size() > kMaxHostBytes) return std::nullopt;
    if (colon == std::string_view::npos) return result;

    // Like "%d": blanks and one sign may come before the digits; no digits keeps 80.
    std::string_view rest = hostText.substr(colon + 1);
    size_t pos = 0;
    while (pos < rest.size() && IsSpace(rest[pos])) ++pos;
    if (pos < rest.size() && (rest[pos] == '+' || rest[pos] == '-')) ++pos;
    if (pos == rest.size() || !IsDigit(rest[pos])) return result;
    const int port = ReadDecimal(rest);
    if (port < 1 || port > 65535) return std::nullopt;
    result.port = port;
    return result;
}

std::optional<RedirectTarget> SplitLocation(std::string_view location) {
    bool hadScheme = false;
    if (StartsWithNoCase(location, "http://")) {
        location.remove_prefix(7);
        hadScheme = true;
    }
    if (location.empty() && !hadScheme) return std::nullopt;
    if (location.substr(0, 2) == "//") return std::nullopt;
    const size_t slash = location.find('/');
    RedirectTarget target;
    target.hostText = std::string(location.substr(0, slash));
    target.path = slash == std::string_view::npos ? "/" : std::string(location.substr(slash));
    if (hadScheme && target.hostText.empty()) return std::nullopt;
    // "https://x/..." would otherwise read as the host "https" and the path "//x/...".
    if (!target.hostText.empty() && target.hostText.back() == ':' && target.path.substr(0, 2) == "//")
        return std::nullopt;
    return target;
}

std::optional<uint64_t> ParseContentLength(std::string_view text) {
    text = TrimBlanks(text);
    const std::optional<uint64_t> value = TakeUnsigned(text);
    if (!value || !text.empty()) return std::nullopt;
    return value;
}

std::optional<ContentRange> ParseContentRange(std::string_view text) {
    text = TrimBlanks(text);
    if (!StartsWithNoCase(text, "bytes")) return std::nullopt;
    text.remove_prefix(5);
    if (text.empty() || !IsSpace(text.front())) return std::nullopt;
    text = TrimBlanks(text);

    ContentRange range;
    const auto first = TakeUnsigned(text);
    if (!first || !TakeChar(text, '-')) return std::nullopt;
    const auto last = TakeUnsigned(text);
    if (!last || !TakeChar(text, '/')) return std::nullopt;
    range.first = *first;
    range.last = *last;
    if (range.first > range.last) return std::nullopt;
    if (text == "*") return range;
    range.total = TakeUnsigned(text);
    if (!range.total || !text.empty() || range.last >= *range.total) return std::nullopt;
    return range;
}

std::string RangeHeaderText(uint64_t offset) { return "range:bytes=" + std::to_string(offset) + "-"; }
