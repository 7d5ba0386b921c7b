#pragma once
// Reading the texts a download server sends back (Last-Modified, Content-Length,
// Content-Range, Location) and splitting host texts. No windows.h here: this is the code
// that meets whatever the network delivers, so it is also built natively and fuzzed. None
// of it has a fixed-size buffer; every input of any length is safe.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// 1 to 12 for the first three characters of an English month name (any case), else 0.
int MonthFromName(const char* text);
int MonthFromName(std::string_view text);

// The fields of a Last-Modified text as read, not checked for range.
struct HttpDate {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Blank-separated tokens: the first (the weekday) is skipped, then day, month name, year
// and time of day. Numbers are read atoi-style; the minute starts at the time token's
// fourth character and the second at its seventh. A missing token or position reads as 0.
HttpDate ParseLastModified(std::string_view text);

// "host" or "host:port". The port is 80 when there is no ':' or no number after it.
// nullopt for an empty host, a host of 256 bytes or more, or a port outside 1..65535.
struct HostPort {
    std::string host;
    int port = 80;
};
std::optional<HostPort> SplitHostPort(std::string_view hostText);

// Where a 301/302 Location points: an optional "http://" (any case) is dropped, the text
// up to the first '/' is the host text and the rest the object path ("/" when there is
// none). An empty hostText means "the current host" (a location starting with '/').
// nullopt for an empty location, "http://" with no host, a network-path ("//...") or
// another scheme ("https://...").
struct RedirectTarget {
    std::string hostText;
    std::string path;
};
std::optional<RedirectTarget> SplitLocation(std::string_view location);

// A Content-Length value: optional blanks, decimal digits, optional blanks. nullopt for
// anything else, including a sign or a value beyond 64 bits.
std::optional<uint64_t> ParseContentLength(std::string_view text);

// A Content-Range value "bytes first-last/total" or "bytes first-last/*".
// nullopt unless well formed with first <= last (< total when the total is known).
struct ContentRange {
    uint64_t first = 0;
    uint64_t last = 0;
    std::optional<uint64_t> total;
};
std::optional<ContentRange> ParseContentRange(std::string_view text);

// The header that asks for the rest of an object from `offset` on: "range:bytes=<n>-".
std::string RangeHeaderText(uint64_t offset);
