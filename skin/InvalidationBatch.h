#pragma once
// Redrawing requests of elements go through InvalidateArea. While an InvalidationBatch for
// a window is alive on the calling thread, the requests for that window are gathered into
// one rectangle and handed to the system once, when the batch ends: a turn of queued
// changes from another thread then costs one InvalidateRect instead of one per change
// (each is a round trip to the wine server under Wine).

#include <windows.h>

class InvalidationBatch {
public:
    explicit InvalidationBatch(HWND window) noexcept;
    ~InvalidationBatch();
    InvalidationBatch(const InvalidationBatch&) = delete;
    InvalidationBatch& operator=(const InvalidationBatch&) = delete;

private:
    friend void InvalidateArea(HWND window, const RECT& area, BOOL erase) noexcept;
    HWND window_;
    RECT pending_{};
    BOOL erase_ = FALSE;
    InvalidationBatch* outer_;
};

// InvalidateRect, or gathered into the current batch for the window.
void InvalidateArea(HWND window, const RECT& area, BOOL erase) noexcept;
