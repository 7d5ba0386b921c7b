#pragma once
// Redrawing requests of elements go through InvalidateArea. While an InvalidationBatch for
// a window is alive on the calling thread, the requests for that window are gathered into
// one region and handed to the system once, when the batch ends: a timer tick or a turn of
// queued changes from another thread then costs one request to the system instead of one
// per change (each is a round trip to the wine server under Wine), while the parts stay
// apart, so that the paint redraws only them.

#include <windows.h>

class InvalidationBatch {
public:
    explicit InvalidationBatch(HWND window) noexcept;
    ~InvalidationBatch();
    InvalidationBatch(const InvalidationBatch&) = delete;
    InvalidationBatch& operator=(const InvalidationBatch&) = delete;

private:
    friend void InvalidateArea(HWND window, const RECT& area, BOOL erase) noexcept;
    void Add(const RECT& area, BOOL erase) noexcept;

    HWND window_;
    HRGN pending_ = nullptr;  // made with the first request
    RECT bounds_{};           // what is pending, should a region not be made
    BOOL erase_ = FALSE;
    InvalidationBatch* outer_;
};

// InvalidateRect, or gathered into the current batch for the window.
void InvalidateArea(HWND window, const RECT& area, BOOL erase) noexcept;
