#include "skin/InvalidationBatch.h"

namespace {
thread_local InvalidationBatch* currentBatch = nullptr;
}

InvalidationBatch::InvalidationBatch(HWND window) noexcept : window_(window), outer_(currentBatch) {
    currentBatch = this;
}

InvalidationBatch::~InvalidationBatch() {
    currentBatch = outer_;
    if (pending_) {
        InvalidateRgn(window_, pending_, erase_);
        DeleteObject(pending_);
    } else if (!IsRectEmpty(&bounds_)) {
        InvalidateRect(window_, &bounds_, erase_);
    }
}

void InvalidationBatch::Add(const RECT& area, BOOL erase) noexcept {
    erase_ |= erase;
    const bool first = IsRectEmpty(&bounds_);
    UnionRect(&bounds_, &bounds_, &area);
    if (first) {
        pending_ = CreateRectRgnIndirect(&area);
        return;
    }
    if (!pending_) return;  // the bounds stand in for what the system would not make
    HRGN part = CreateRectRgnIndirect(&area);
    if (!part || CombineRgn(pending_, pending_, part, RGN_OR) == ERROR) {
        DeleteObject(pending_);
        pending_ = nullptr;
    }
    if (part) DeleteObject(part);
}

void InvalidateArea(HWND window, const RECT& area, BOOL erase) noexcept {
    if (!window || IsRectEmpty(&area)) return;
    for (InvalidationBatch* batch = currentBatch; batch; batch = batch->outer_) {
        if (batch->window_ != window) continue;
        batch->Add(area, erase);
        return;
    }
    InvalidateRect(window, &area, erase);
}
