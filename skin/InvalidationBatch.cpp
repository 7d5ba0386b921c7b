#include "skin/InvalidationBatch.h"

namespace {
thread_local InvalidationBatch* currentBatch = nullptr;
}

InvalidationBatch::InvalidationBatch(HWND window) noexcept : window_(window), outer_(currentBatch) {
    currentBatch = this;
}

InvalidationBatch::~InvalidationBatch() {
    currentBatch = outer_;
    if (!IsRectEmpty(&pending_)) InvalidateArea(window_, pending_, erase_);
}

void InvalidateArea(HWND window, const RECT& area, BOOL erase) noexcept {
    if (!window || IsRectEmpty(&area)) return;
    for (InvalidationBatch* batch = currentBatch; batch; batch = batch->outer_) {
        if (batch->window_ != window) continue;
        UnionRect(&batch->pending_, &batch->pending_, &area);
        batch->erase_ |= erase;
        return;
    }
    InvalidateRect(window, &area, erase);
}
