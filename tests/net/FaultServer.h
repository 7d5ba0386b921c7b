#pragma once
// The download tests' view of tests/servers/fault_server.py: its address, its switches,
// its request log and the object it serves. Spoken to over plain sockets, so that the
// code under test is not also the code that checks it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// From FAULT_SERVER_PORT (set by the server that runs the test program); 0 when missing.
int FaultServerPort();
// "127.0.0.1:<port>"
std::string FaultServerHost();

// GET of a path on the server (or on another one at `port`); the body, or nullopt when the
// exchange failed.
std::optional<std::string> ServerGet(const std::string& pathAndQuery, int port = 0);
// The same on another local server of the tests (127.0.0.1:port), in HTTP/1.0.
std::optional<std::string> LocalGet(int port, const std::string& pathAndQuery);

// Sets the server's switches (fault_server.py's /__control keys, already encoded) and
// clears its log and counters. False when the server did not accept them.
bool ConfigureServer(const std::string& query);

struct LoggedRequest {
    std::string line;                  // "GET /pkg.bin HTTP/1.0"
    std::vector<std::string> headers;  // "Name: value", as received
    int status = 0;
    uint64_t sent = 0;  // body bytes
    // The value of the first header with this name (any case).
    std::optional<std::string> Header(std::string_view name) const;
};
std::vector<LoggedRequest> ServerLog(int port = 0);
// Object body bytes the server has sent since it was last configured.
uint64_t ServerBodyBytes();

// Percent-encoding for a query value.
std::string UrlEncode(std::string_view text);

// The bytes [from, from + size) of the object the server generates for `seed`.
std::string ObjectBytes(uint64_t size, int seed = 1, uint64_t from = 0);
