#include "skin/SkinElement.h"

#include <algorithm>
#include <deque>

#include "skin/InvalidationBatch.h"
#include "skin/SkinGraphics.h"
#include "skin/SkinWindow.h"
#include "skin/WindowRegistry.h"

using namespace Gdiplus::DllExports;

SkinElement::SkinElement(const RECT& rect, const ImageSource& image, SkinElement* parent, int id, HWND host)
    : host_(host), parent_(parent), image_(LoadSkinImage(image)), stretch_(1), rect_(ToIntRect(rect)), id_(id) {
    Attach();
}

SkinElement::SkinElement(int x, int y, const ImageSource& image, SkinElement* parent, int id, HWND host)
    : host_(host), parent_(parent), image_(LoadSkinImage(image)), stretch_(0), id_(id) {
    rect_ = PositionedRect(x, y, image_ != nullptr, image_ ? image_->Width() : 0, image_ ? image_->Height() : 0,
                           parent_ != nullptr, parent_ ? parent_->rect_ : IntRect{});
    Attach();
}

void SkinElement::Attach() {
    if (parent_) {
        host_ = parent_->host_;
        rect_ = rect_.Offset(parent_->rect_.left, parent_->rect_.top);
        // A subtree built on another thread (the banner's) joins the tree on the window's thread.
        if (HandToHostThread([this] { JoinParent(); })) return;
        parent_->children_.push_back(this);
    }
    Invalidate(nullptr, 0);
}

void SkinElement::JoinParent() {
    parent_->children_.push_back(this);
    Invalidate(nullptr, 0);
}

SkinElement::~SkinElement() {
    if (WindowThreadQueue::BelongsToOtherThread(host_)) {
        // Destroyed off the window's thread: the subtree leaves the tree on the window's thread
        // first, so that painting never meets a half-destroyed element; the rest is local work.
        // What was queued for the window runs before, so that no element of the subtree joins
        // the tree after it has left.
        WindowThreadQueue::Call(host_, [this] {
            WindowThreadQueue::Run(host_);
            LeaveTree();
        });
        SetHostRecursive(nullptr);
    }
    while (!children_.empty()) delete children_.front();
    WindowThreadQueue::ForgetTarget(this);
    LeaveTree();
}

void SkinElement::LeaveTree() {
    if (host_) {
        // Told while still in the tree, where the host can recognise it.
        SendToHost(ELEMENT_RELEASE);
        if (SkinWindow* window = WindowRegistry::Instance().Lookup(host_)) window->ForgetDestroyed(this);
        Invalidate(nullptr, FALSE);
    }
    if (parent_) std::erase(parent_->children_, this);
    parent_ = nullptr;
}

IntRect SkinElement::ParentRect() const {
    return parent_ ? parent_->rect_ : rect_;
}

IntRect SkinElement::RelativeRect() const {
    return parent_ ? rect_.Offset(-parent_->rect_.left, -parent_->rect_.top) : rect_;
}

void SkinElement::SendToHost(WPARAM command) const {
    if (host_) SendMessageW(host_, WM_SKINELEMENT, command, reinterpret_cast<LPARAM>(this));
}

void SkinElement::SetVisible(int visible) {
    if (HandToHostThread([this, visible] { SetVisible(visible); })) return;
    ApplyVisible(visible);
}

void SkinElement::ApplyVisible(int visible) {
    if (visible == visible_) return;
    if (!children_.empty()) {
        // Showing or hiding a group starts every part of it from its first frame.
        std::deque<SkinElement*> pending{this};
        while (!pending.empty()) {
            SkinElement* element = pending.front();
            pending.pop_front();
            element->SetFrame(0, 0);
            pending.insert(pending.end(), element->children_.begin(), element->children_.end());
        }
    }
    visible_ = visible;
    Invalidate(nullptr, 0);
    SendToHost(ELEMENT_RELEASE);
    RaiseEvent(EVENT_VISIBLE_CHANGED, 0, visible);
}

void SkinElement::SetEnabled(int enabled) {
    if (HandToHostThread([this, enabled] { SetEnabled(enabled); })) return;
    ApplyEnabled(enabled);
}

void SkinElement::ApplyEnabled(int enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Invalidate(nullptr, 0);
    SendToHost(ELEMENT_RELEASE);
    RaiseEvent(EVENT_ENABLED_CHANGED, 0, enabled);
}

void SkinElement::EnableEvents(int on, int recursive) {
    if (!parent_) return;
    eventsFlag_ = on;
    if (recursive != 1) return;
    for (SkinElement* child : children_) child->EnableEvents(on, 1);
}

void SkinElement::SetFrameGrid(uint32_t cols, uint32_t rows) {
    if (HandToHostThread([this, cols, rows] { SetFrameGrid(cols, rows); })) return;
    cols_ = cols;
    rows_ = rows;
    rect_ = ShrinkToFrame(rect_, cols, rows);
}

void SkinElement::SetFrame(int col, int row) {
    if (HandToHostThread([this, col, row] { SetFrame(col, row); })) return;
    if (col == col_ && row == row_) return;
    col_ = col;
    row_ = row;
    Invalidate(nullptr, 0);
}

void SkinElement::SetAlpha(uint32_t alpha) {
    if (HandToHostThread([this, alpha] { SetAlpha(alpha); })) return;
    if (alpha == alpha_) return;
    alpha_ = ClampAlpha(alpha);
    Invalidate(nullptr, 0);
}

void SkinElement::SetFlip(int flipX, int flipY) {
    if (HandToHostThread([this, flipX, flipY] { SetFlip(flipX, flipY); })) return;
    if (flipX == flipX_ && flipY == flipY_) return;
    flipX_ = flipX;
    flipY_ = flipY;
    Invalidate(nullptr, 0);
}

RECT SkinElement::SetRect(const RECT* rect, int stretch) {
    if (rect) {
        const RECT wanted = *rect;
        // From another thread the caller gets the rectangle it asked for.
        if (HandToHostThread([this, wanted, stretch] { SetRect(&wanted, stretch); })) return wanted;
    }
    return ApplyRect(rect, stretch);
}

RECT SkinElement::ApplyRect(const RECT* rect, int stretch) {
    const IntRect old = RelativeRect();
    if (!rect || (ToIntRect(*rect) == old && stretch == stretch_)) return ToRect(old);
    const IntRect previous = rect_;
    const bool wasAnchored = DrawsAnchored();
    stretch_ = stretch;
    rect_ = parent_ ? ToIntRect(*rect).Offset(parent_->rect_.left, parent_->rect_.top) : ToIntRect(*rect);
    if (wasAnchored && DrawsAnchored()) {
        for (const IntRect& part : AnchoredResizeDamage(previous, rect_)) {
            const RECT changed = ToRect(part);
            Invalidate(&changed, 0);
        }
    } else {
        const RECT changed = ToRect(Union(previous, rect_));
        Invalidate(&changed, 0);
    }
    // Children keep their place relative to the element.
    for (SkinElement* child : children_) {
        const RECT moved = ToRect(child->rect_.Offset(-previous.left, -previous.top));
        child->ApplyRect(&moved, child->stretch_);
    }
    return ToRect(old);
}

int SkinElement::RequestFocus() {
    return host_ ? static_cast<int>(SendMessageW(host_, WM_SKINELEMENT, ELEMENT_FOCUS, reinterpret_cast<LPARAM>(this)))
                 : 0;
}

int SkinElement::HasFocus() const {
    return GetFocusElement() == this ? 1 : 0;
}

SkinElement* SkinElement::GetFocusElement() const {
    if (!host_) return nullptr;
    return reinterpret_cast<SkinElement*>(SendMessageW(host_, WM_SKINELEMENT, ELEMENT_GET_FOCUS, 1));
}

void SkinElement::DeleteLater() {
    if (HandToHostThread([this] { DeleteLater(); })) return;
    SendToHost(ELEMENT_DELETE_LATER);
}

void SkinElement::Invalidate(const RECT* rect, int erase) const {
    if (!host_) return;
    InvalidateArea(host_, ToRect(Intersect(rect ? ToIntRect(*rect) : rect_, ParentRect())), erase);
}

SkinElement* SkinElement::HitTest(int x, int y) {
    if (visible_ != 1 || enabled_ != 1) return nullptr;
    const IntRect area = Intersect(rect_, ParentRect());
    if (area.IsEmpty() || !area.Contains(x, y)) return nullptr;
    for (auto child = children_.rbegin(); child != children_.rend(); ++child) {
        if (SkinElement* hit = (*child)->HitTest(x, y)) return hit;
    }
    return this;
}

bool SkinElement::IsAncestorOf(const SkinElement* element) const {
    if (!element) return false;
    for (auto child = children_.rbegin(); child != children_.rend(); ++child) {
        if (*child == element || (*child)->IsAncestorOf(element)) return true;
    }
    return false;
}

SkinElement* SkinElement::SetParent(SkinElement* parent) {
    SkinElement* previous = parent_;
    if (!parent || parent == this || IsAncestorOf(parent)) return previous;
    const IntRect relative = RelativeRect();
    if (parent_) std::erase(parent_->children_, this);
    parent_ = parent;
    parent_->children_.push_back(this);
    SetHostRecursive(parent_->host_);
    // The whole subtree moves along, as it does with SetRect.
    const IntRect placed = relative.Offset(parent_->rect_.left, parent_->rect_.top);
    MoveSubtree(placed.left - rect_.left, placed.top - rect_.top);
    return previous;
}

void SkinElement::SetHostRecursive(HWND host) {
    host_ = host;
    for (SkinElement* child : children_) child->SetHostRecursive(host);
}

void SkinElement::MoveSubtree(int dx, int dy) {
    rect_ = rect_.Offset(dx, dy);
    for (SkinElement* child : children_) child->MoveSubtree(dx, dy);
}

void SkinElement::SetText(const wchar_t* text) {
    std::wstring copy = text ? text : L"";
    if (HandToHostThread([this, copy] { SetText(copy.c_str()); })) return;
    text_ = std::move(copy);
}

void SkinElement::Paint(GpGraphics* graphics, const RECT& dirty) {
    if (visible_ != 1) return;
    const IntRect clip = Intersect(ToIntRect(dirty), rect_);
    if (clip.IsEmpty()) return;
    DrawSelf(graphics, clip);
    const RECT childDirty = ToRect(clip);
    for (SkinElement* child : children_) child->Paint(graphics, childDirty);
}

void SkinElement::PrepareToPaint() {
    if (visible_ != 1) return;
    BeforePaint();
    for (SkinElement* child : children_) child->PrepareToPaint();
}

void SkinElement::DrawSelf(GpGraphics* graphics, const IntRect& clip) {
    if (!image_) return;
    GpImageAttributes* rawAttributes = nullptr;
    GdipCreateImageAttributes(&rawAttributes);
    GdipAttributesPtr attributes(rawAttributes);
    if (alpha_ < 255) {
        Gdiplus::ColorMatrix matrix{};
        for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
        matrix.m[3][3] = AlphaScale(alpha_);
        GdipSetImageAttributesColorMatrix(attributes.get(), Gdiplus::ColorAdjustTypeDefault, TRUE, &matrix, nullptr,
                                          Gdiplus::ColorMatrixFlagsDefault);
    }
    // Tiling mirrored keeps the edges of a scaled frame from bleeding in transparent black.
    GdipSetImageAttributesWrapMode(attributes.get(), Gdiplus::WrapModeTileFlipXY, 0xFF000000, FALSE);

    FrameDraw draw;
    draw.imageWidth = image_->Width();
    draw.imageHeight = image_->Height();
    draw.cols = cols_;
    draw.rows = rows_;
    draw.col = col_;
    draw.row = row_;
    draw.flipX = flipX_ != 0;
    draw.flipY = flipY_ != 0;
    draw.stretch = stretch_ != 0;
    draw.destWidth = rect_.Width();
    draw.destHeight = rect_.Height();
    const SourceRect source = FrameSource(draw);
    // A frame scaled to its own size is drawn pixel for pixel as well.
    if (source.width == rect_.Width() && source.height == rect_.Height()) {
        if (const auto status =
                DrawUnscaledInClip(graphics, image_->Native(), rect_, source.x, source.y, attributes.get(), clip))
            image_->Remember(*status);
        return;
    }
    image_->Remember(DrawThroughClip(graphics, clip, [&] {
        return GdipDrawImageRectRectI(graphics, image_->Native(), rect_.left, rect_.top, rect_.Width(),
                                      rect_.Height(), source.x, source.y, source.width, source.height,
                                      Gdiplus::UnitPixel, attributes.get(), nullptr, nullptr);
    }));
}

int SkinElement::RaiseEvent(int32_t code, WPARAM wParam, LPARAM lParam) {
    if (!EventsOn()) return 0;
    const SkinEvent event{static_cast<int32_t>(wParam), static_cast<int32_t>(lParam), code};
    return SkinElement::OnEvent(event, this);
}

int SkinElement::OnMouseEnter(WPARAM wParam, LPARAM lParam) {
    if (host_) PostMessageW(host_, WM_SETCURSOR, 0, 0);
    return RaiseEvent(EVENT_MOUSE_ENTER, wParam, lParam);
}

int SkinElement::OnMouseLeave(WPARAM wParam, LPARAM lParam) {
    if (host_) PostMessageW(host_, WM_SETCURSOR, 0, 0);
    return RaiseEvent(EVENT_MOUSE_LEAVE, wParam, lParam);
}

int SkinElement::OnMouseMove(WPARAM w, LPARAM l) {
    return RaiseEvent(EVENT_MOUSE_MOVE, w, l);
}
int SkinElement::OnMouseHover(WPARAM w, LPARAM l) {
    return RaiseEvent(EVENT_MOUSE_HOVER, w, l);
}
int SkinElement::OnLButtonDown(WPARAM w, LPARAM l) {
    return RaiseEvent(EVENT_LBUTTON_DOWN, w, l);
}
int SkinElement::OnLButtonUp(WPARAM w, LPARAM l) {
    return RaiseEvent(EVENT_LBUTTON_UP, w, l);
}
int SkinElement::OnLButtonDblClk(WPARAM w, LPARAM l) {
    return RaiseEvent(EVENT_LBUTTON_DBLCLK, w, l);
}
int SkinElement::OnRButtonDown(WPARAM w, LPARAM l) {
    return RaiseEvent(EVENT_RBUTTON_DOWN, w, l);
}
int SkinElement::OnRButtonUp(WPARAM w, LPARAM l) {
    return RaiseEvent(EVENT_RBUTTON_UP, w, l);
}
int SkinElement::OnRButtonDblClk(WPARAM w, LPARAM l) {
    return RaiseEvent(EVENT_RBUTTON_DBLCLK, w, l);
}
int SkinElement::OnMButtonDown(WPARAM w, LPARAM l) {
    return RaiseEvent(EVENT_MBUTTON_DOWN, w, l);
}
int SkinElement::OnMButtonUp(WPARAM w, LPARAM l) {
    return RaiseEvent(EVENT_MBUTTON_UP, w, l);
}
int SkinElement::OnMButtonDblClk(WPARAM w, LPARAM l) {
    return RaiseEvent(EVENT_MBUTTON_DBLCLK, w, l);
}
int SkinElement::OnMouseWheel(WPARAM w, LPARAM l) {
    return RaiseEvent(EVENT_MOUSE_WHEEL, w, l);
}

int SkinElement::OnSetCursor() {
    if (!cursor_) return 0;
    SetCursor(cursor_);
    return 1;
}

int SkinElement::OnSetFocus() {
    if (host_) SetFocus(host_);
    RaiseEvent(EVENT_FOCUS_GAINED, 0, 0);
    return 1;
}

int SkinElement::OnKillFocus() {
    return RaiseEvent(EVENT_FOCUS_LOST, 0, 0);
}

int SkinElement::OnEvent(const SkinEvent& event, SkinElement* sender) {
    return EventsOn() ? parent_->OnEvent(event, sender) : 0;
}

int SkinElement::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    return EventsOn() ? parent_->OnWindowMessage(message, wParam, lParam, result) : 0;
}
