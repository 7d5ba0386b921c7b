// The baseline of the download benchmark: the least a WinInet client can do to fetch one
// object, with the same request and flags as the engine, reading in 4096-byte blocks.
//   wininet_loop <host> <port> <object-path> [<output-file>] [--cache]
// With an output file every block is written to it, as a download must; without, the
// blocks are dropped. --cache leaves WinInet's cache flags at their defaults (to see what
// the cache costs). Prints "bytes N ms T" and exits 0 when the whole body arrived.

#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: wininet_loop <host> <port> <object-path> [<output-file>] [--cache]\n");
        return 2;
    }
    const char* output = nullptr;
    bool cache = false;
    for (int i = 4; i < argc; ++i) {
        if (std::strcmp(argv[i], "--cache") == 0)
            cache = true;
        else
            output = argv[i];
    }
    DWORD flags = INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_AUTO_REDIRECT;
    if (!cache) flags |= INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;

    const DWORD start = GetTickCount();
    HINTERNET internet = InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET connection = internet ? InternetConnectA(internet, argv[1], static_cast<INTERNET_PORT>(std::atoi(argv[2])),
                                                       nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0)
                                    : nullptr;
    HINTERNET request =
        connection ? HttpOpenRequestA(connection, "GET", argv[3], "HTTP/1.0", nullptr, nullptr, flags, 0) : nullptr;
    if (!request || !HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
        std::fprintf(stderr, "request failed: %lu\n", GetLastError());
        return 1;
    }
    char lengthText[32] = {};
    DWORD lengthSize = sizeof lengthText;
    HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, lengthText, &lengthSize, nullptr);
    const unsigned long long expected = std::strtoull(lengthText, nullptr, 10);

    HANDLE file = INVALID_HANDLE_VALUE;
    if (output) {
        file = CreateFileA(output, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            std::fprintf(stderr, "cannot create %s\n", output);
            return 1;
        }
    }
    static char buffer[4096];
    unsigned long long total = 0;
    DWORD got = 0;
    while (InternetReadFile(request, buffer, sizeof buffer, &got) && got > 0) {
        total += got;
        DWORD written = 0;
        if (file != INVALID_HANDLE_VALUE && (!WriteFile(file, buffer, got, &written, nullptr) || written != got)) {
            std::fprintf(stderr, "write failed\n");
            return 1;
        }
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
    InternetCloseHandle(internet);
    std::printf("bytes %llu ms %lu\n", total, GetTickCount() - start);
    return total == expected ? 0 : 1;
}
