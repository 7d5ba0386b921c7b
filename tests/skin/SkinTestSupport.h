#pragma once
// Helpers for the skin tests: PNG fixtures made at test time, the picture of a window
// taken through WM_PRINTCLIENT, message pumping, and a window that records what its
// elements report.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "skin/SkinWindow.h"

// One pixel as the back buffer holds it (premultiplied when alpha < 255).
struct Bgra {
    uint8_t b = 0;
    uint8_t g = 0;
    uint8_t r = 0;
    uint8_t a = 0;
};

// An RGBA picture to be written as a PNG fixture; colours are 0xAARRGGBB.
struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;

    PixelImage(int w, int h, uint32_t fill = 0) : width(w), height(h), argb(static_cast<size_t>(w) * h, fill) {}
    uint32_t& At(int x, int y) { return argb[static_cast<size_t>(y) * width + x]; }
    void FillRect(int left, int top, int right, int bottom, uint32_t colour);
};

// An 8-bit RGBA PNG of the picture, written byte by byte (zlib for the data).
std::string EncodePng(const PixelImage& image);

// The window's current picture, asked for with WM_PRINTCLIENT into a 32-bit DIB.
class WindowPicture {
public:
    explicit WindowPicture(HWND window);
    int Width() const { return width_; }
    int Height() const { return height_; }
    Bgra At(int x, int y) const;
    // Pixels in the rectangle whose colour differs from `background` by more than `tolerance`
    // in any channel.
    int CountDifferent(const RECT& area, Bgra background, int tolerance = 8) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Bgra> pixels_;
};

// A pixel of a decoded image as the back buffer would hold it, premultiplied, drawn over
// transparent black (over opaque black when `overOpaqueBlack`).
Bgra PremultipliedPixel(const SkinImage& image, int x, int y, bool overOpaqueBlack = false);

bool Near(Bgra pixel, Bgra expected, int tolerance = 2);
std::string Describe(Bgra pixel);

// Handles the thread's messages for `milliseconds`.
void PumpFor(DWORD milliseconds);
// Handles messages until none is waiting (timers excluded), at most `limitMs`.
void PumpUntilIdle(DWORD limitMs = 2000);

// Posts a mouse message with a client position and handles it.
void PostMouse(HWND window, UINT message, int x, int y, WPARAM keys = 0);
// Moves the real cursor to a client position of the window and handles what that causes.
// The system's hover tracking follows the real cursor: while it rests inside the window,
// no leave notification interrupts the posted moves.
void ParkCursor(HWND window, int x, int y);

// A plain popup skinned window that records the events that reach it and its timer ticks.
class RecordingWindow : public SkinWindow {
public:
    using SkinWindow::SkinWindow;

    struct Record {
        int32_t code;
        int senderId;
        int32_t lparam;
    };
    std::vector<Record> events;
    std::vector<UINT_PTR> ticks;
    DWORD tickThread = 0;
    int dragAreaFor = -1;  // id of the element that drags the window, -1 for none

    int OnEvent(const SkinEvent& event, SkinElement* sender) override;
    void OnTimer(UINT_PTR id) override;
    int IsDragArea(RECT* area, SkinElement* element) override;
    int Count(int32_t code) const;
};

// Shows a test window without activating it. Under Wine on a display without a window
// manager, hiding or destroying a window that was activated waits two seconds for a
// window manager that never answers; the tests that need activation pay it.
void ShowQuietly(SkinWindow& window);

// A fresh class name for each window that wants one of its own.
std::wstring UniqueClassName(const wchar_t* stem);
