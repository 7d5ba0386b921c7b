#include "FaultServer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

bool StartWinsock() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

}  // namespace

int FaultServerPort() {
    const char* text = std::getenv("FAULT_SERVER_PORT");
    return text ? std::atoi(text) : 0;
}

std::string FaultServerHost() { return "127.0.0.1:" + std::to_string(FaultServerPort()); }

std::optional<std::string> ServerGet(const std::string& pathAndQuery, int port) {
    return LocalGet(port ? port : FaultServerPort(), pathAndQuery);
}

std::optional<std::string> LocalGet(int port, const std::string& pathAndQuery) {
    if (!StartWinsock() || port == 0) return std::nullopt;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return std::nullopt;
    DWORD timeoutMs = 10000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string response;
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const std::string request = "GET " + pathAndQuery + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        if (send(s, request.data(), static_cast<int>(request.size()), 0) == static_cast<int>(request.size())) {
            char buffer[8192];
            int got = 0;
            while ((got = recv(s, buffer, sizeof buffer, 0)) > 0) response.append(buffer, static_cast<size_t>(got));
        }
    }
    closesocket(s);
    const size_t bodyStart = response.find("\r\n\r\n");
    if (response.compare(0, 12, "HTTP/1.0 200") != 0 || bodyStart == std::string::npos) return std::nullopt;
    return response.substr(bodyStart + 4);
}

bool ConfigureServer(const std::string& query) { return ServerGet("/__control?" + query).has_value(); }

std::optional<std::string> LoggedRequest::Header(std::string_view name) const {
    for (const std::string& header : headers) {
        const size_t colon = header.find(':');
        if (colon != std::string::npos && EqualNoCase(std::string_view(header).substr(0, colon), name))
            return header.substr(colon + 2 <= header.size() ? colon + 2 : header.size());
    }
    return std::nullopt;
}

std::vector<LoggedRequest> ServerLog(int port) {
    std::vector<LoggedRequest> log;
    std::istringstream text(ServerGet("/__log", port).value_or(""));
    std::string line;
    while (std::getline(text, line)) {
        const size_t space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string value = space == std::string::npos ? "" : line.substr(space + 1);
        if (key == "request") log.emplace_back();
        if (log.empty()) continue;
        if (key == "line") log.back().line = value;
        if (key == "header") log.back().headers.push_back(value);
        if (key == "status") log.back().status = std::atoi(value.c_str());
        if (key == "sent") log.back().sent = std::strtoull(value.c_str(), nullptr, 10);
    }
    return log;
}

uint64_t ServerBodyBytes() {
    const std::string stats = ServerGet("/__stats").value_or("");
    const size_t at = stats.find("body_bytes ");
    return at == std::string::npos ? 0 : std::strtoull(stats.c_str() + at + 11, nullptr, 10);
}

std::string UrlEncode(std::string_view text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~' || c == '/') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

std::string ObjectBytes(uint64_t size, int seed, uint64_t from) {
    // Must match object_block() in fault_server.py.
    constexpr uint32_t kPeriod = 65521;
    std::string block(kPeriod, '\0');
    for (uint32_t k = 0; k < kPeriod; ++k) {
        uint32_t x = k * 2654435761u + static_cast<uint32_t>(seed) * 40503u + 12345u;
        x ^= x >> 15;
        x *= 2246822519u;
        x ^= x >> 13;
        x *= 3266489917u;
        x ^= x >> 16;
        block[k] = static_cast<char>(x & 0xFF);
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(size));
    for (uint64_t pos = from; pos < from + size;) {
        const uint64_t offset = pos % kPeriod;
        const uint64_t n = std::min<uint64_t>(kPeriod - offset, from + size - pos);
        bytes.append(block, static_cast<size_t>(offset), static_cast<size_t>(n));
        pos += n;
    }
    return bytes;
}
