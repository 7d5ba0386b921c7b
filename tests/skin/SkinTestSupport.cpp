#include "SkinTestSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

// GDI+ runs for the whole test program, as it does for the whole installer process.
class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

[[maybe_unused]] ::testing::Environment* const gdiplusEnvironment =
    ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace

void PixelImage::FillRect(int left, int top, int right, int bottom, uint32_t colour) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) At(x, y) = colour;
}

namespace {

void PutBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    PutBigEndian(out, static_cast<uint32_t>(
                          crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()))));
}

}  // namespace

std::string EncodePng(const PixelImage& image) {
    std::string raw;
    for (int y = 0; y < image.height; ++y) {
        raw += '\0';  // no filter
        for (int x = 0; x < image.width; ++x) {
            const uint32_t c = image.argb[static_cast<size_t>(y) * image.width + x];
            raw += static_cast<char>((c >> 16) & 0xFF);
            raw += static_cast<char>((c >> 8) & 0xFF);
            raw += static_cast<char>(c & 0xFF);
            raw += static_cast<char>((c >> 24) & 0xFF);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size()), 9);
    packed.resize(packedSize);

    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    PutBigEndian(header, static_cast<uint32_t>(image.width));
    PutBigEndian(header, static_cast<uint32_t>(image.height));
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", "");
    return png;
}

WindowPicture::WindowPicture(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    width_ = client.right;
    height_ = client.bottom;
    if (width_ <= 0 || height_ <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const auto* source = static_cast<const Bgra*>(bits);
    pixels_.assign(source, source + static_cast<size_t>(width_) * height_);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

Bgra WindowPicture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

int WindowPicture::CountDifferent(const RECT& area, Bgra background, int tolerance) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (!Near(At(x, y), background, tolerance)) ++count;
    return count;
}

Bgra PremultipliedPixel(const SkinImage& image, int x, int y, bool overOpaqueBlack) {
    Gdiplus::ARGB c = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(static_cast<GpBitmap*>(image.Native()), x, y, &c);
    const uint32_t a = c >> 24;
    return {static_cast<uint8_t>((c & 0xFF) * a / 255), static_cast<uint8_t>(((c >> 8) & 0xFF) * a / 255),
            static_cast<uint8_t>(((c >> 16) & 0xFF) * a / 255), static_cast<uint8_t>(overOpaqueBlack ? 255 : a)};
}

bool Near(Bgra pixel, Bgra expected, int tolerance) {
    return std::abs(pixel.b - expected.b) <= tolerance && std::abs(pixel.g - expected.g) <= tolerance &&
           std::abs(pixel.r - expected.r) <= tolerance && std::abs(pixel.a - expected.a) <= tolerance;
}

std::string Describe(Bgra pixel) {
    char text[64];
    std::snprintf(text, sizeof text, "BGRA(%u, %u, %u, %u)", pixel.b, pixel.g, pixel.r, pixel.a);
    return text;
}

void PumpFor(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    MSG message;
    for (;;) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

void PumpUntilIdle(DWORD limitMs) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    MSG message;
    while (GetTickCount64() < end && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void PostMouse(HWND window, UINT message, int x, int y, WPARAM keys) {
    PostMessageW(window, message, keys, MAKELPARAM(x, y));
    PumpUntilIdle();
}

void ParkCursor(HWND window, int x, int y) {
    POINT screen{x, y};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    PumpFor(30);
}

int RecordingWindow::OnEvent(const SkinEvent& event, SkinElement* sender) {
    events.push_back({event.code, sender ? sender->GetId() : -1, event.lparam});
    return 1;
}

void RecordingWindow::OnTimer(UINT_PTR id) {
    ticks.push_back(id);
    tickThread = GetCurrentThreadId();
}

int RecordingWindow::IsDragArea(RECT* area, SkinElement* element) {
    if (dragAreaFor < 0 || !element || element->GetId() != dragAreaFor) return 0;
    GetClientRect(Handle(), area);
    return 1;
}

int RecordingWindow::Count(int32_t code) const {
    int count = 0;
    for (const Record& record : events) count += record.code == code ? 1 : 0;
    return count;
}

std::wstring UniqueClassName(const wchar_t* stem) {
    static std::atomic<unsigned> counter{0};
    return std::wstring(stem) + L"_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(counter++);
}

void ShowQuietly(SkinWindow& window) {
    window.SetVisible(SW_SHOWNOACTIVATE);
    PumpUntilIdle();
}
