#pragma once
// SkinElement: a node of the retained tree a skinned window is drawn from. An element is a
// rectangle in its host window with an optional image cut into a grid of equal frames (one
// shown at a time), a visible and an enabled state, an opacity, mirror flags, a cursor, a
// command id and the children it owns. The plain element is also the image element of the
// program (backgrounds, the progress bar, the runner).
//
// Coordinates: constructors, SetRect and SetParent take rectangles relative to the
// parent's top-left corner; every element stores its rectangle in the host window's client
// coordinates (GetRect), so painting, invalidation and hit testing compare them directly.
//
// Threads: the tree belongs to the thread of its host window; painting, hit testing and
// input arrive there. The setters (SetVisible, SetEnabled, SetRect, SetFrameGrid, SetFrame,
// SetAlpha, SetFlip, SetText, DeleteLater, and SkinLabel::SetLabelText) may be called from
// any thread: off the window's thread they queue the change for it (WindowThreadQueue.h)
// and return at once, and the change shows at the next paint. The getters belong to the
// window's thread. An element built on another thread (the banner's) joins its parent on
// the window's thread; that suits the plain element and kinds whose own state changes only
// through the setters (the hosted control). Labels and buttons are built on the window's
// thread: their own parts are made after the element has been handed over.
//
// Ownership: an element owns its children, its image and its text. Children are made with
// `new` and attach themselves to their parent; they die with it, or earlier through
// DeleteLater or delete on the window's thread.

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "skin/Geometry.h"
#include "skin/SkinEvent.h"
#include "skin/SkinImage.h"
#include "skin/WindowThreadQueue.h"

struct FrameGrid {
    uint32_t cols = 1;
    uint32_t rows = 1;
};

struct FrameIndex {
    int col = 0;
    int row = 0;
};

struct FlipState {
    int x = 0;
    int y = 0;
};

inline IntRect ToIntRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}
inline RECT ToRect(const IntRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

class SkinElement {
public:
    // Rectangle form: the image is scaled into `rect` (stretch 1).
    SkinElement(const RECT& rect, const ImageSource& image, SkinElement* parent, int id = 0, HWND host = nullptr);
    // Position form: at (x, y) with the image's size, drawn pixel for pixel (stretch 0).
    // Without an image it reaches the parent's right and bottom edges.
    SkinElement(int x, int y, const ImageSource& image, SkinElement* parent, int id = 0, HWND host = nullptr);
    virtual ~SkinElement();
    SkinElement(const SkinElement&) = delete;
    SkinElement& operator=(const SkinElement&) = delete;

    // State. A setter given the current value does nothing: no redraw, no message, no event.
    void SetVisible(int visible);
    void SetEnabled(int enabled);
    virtual int IsVisible() const { return visible_; }
    virtual int IsEnabled() const { return enabled_; }
    // Lets the element raise and pass on events (it needs a parent for that).
    void EnableEvents(int on, int recursive);
    int EventsOn() const { return parent_ && eventsFlag_ == 1 ? 1 : 0; }

    // The rectangle shrinks to one frame; nothing is redrawn.
    void SetFrameGrid(uint32_t cols, uint32_t rows);
    FrameGrid GetFrameGrid() const { return {cols_, rows_}; }
    void SetFrame(int col, int row);
    FrameIndex GetFrame() const { return {col_, row_}; }
    // 0 (transparent) to 255 (opaque); more is taken as 255.
    void SetAlpha(uint32_t alpha);
    uint32_t GetAlpha() const { return alpha_; }
    void SetFlip(int flipX, int flipY);
    FlipState GetFlip() const { return {flipX_, flipY_}; }
    // A shared system cursor shown over the element; not owned.
    void SetCursorHandle(HCURSOR cursor) { cursor_ = cursor; }
    HCURSOR GetCursorHandle() const { return cursor_; }

    // Moves and sizes the element (relative to its parent; descendants move along) and
    // returns the previous relative rectangle; null only reports it. stretch 0 draws the
    // image pixel for pixel and crops it, 1 scales the current frame into the rectangle.
    RECT SetRect(const RECT* rect, int stretch);
    RECT GetRect() const { return ToRect(rect_); }
    int IsStretched() const { return stretch_; }

    // Focus through the host window.
    int RequestFocus();
    int HasFocus() const;
    SkinElement* GetFocusElement() const;

    // Asks the host window to delete the element from its message loop. The element must
    // not be used once control returns to the loop.
    void DeleteLater();
    // Redraws `rect` (host coordinates; null: the element) clipped to the parent. Any thread.
    void Invalidate(const RECT* rect = nullptr, int erase = 0) const;
    // The topmost visible, enabled element under a client point, or null.
    virtual SkinElement* HitTest(int x, int y);
    bool IsAncestorOf(const SkinElement* element) const;
    // Moves the element (and its subtree) under another parent; returns the previous one.
    SkinElement* SetParent(SkinElement* parent);
    SkinElement* GetParent() const { return parent_; }
    const std::vector<SkinElement*>& Children() const { return children_; }
    HWND GetHostWindow() const { return host_; }

    // Free text of the element; not drawn.
    void SetText(const wchar_t* text);
    const wchar_t* GetText() const { return text_.empty() ? nullptr : text_.c_str(); }
    int GetId() const { return id_; }
    const SkinImage* Image() const { return image_.get(); }

    // Paints the element and its subtree clipped to `dirty` (host coordinates).
    void Paint(GpGraphics* graphics, const RECT& dirty);
    // Lets every visible element of the subtree get ready for the coming paint (before the
    // host reads its update region: what an element invalidates here is painted too).
    void PrepareToPaint();

    // Input, called by the host window on its thread with the message's wParam and lParam.
    // Each raises its event; the result is what passing the event on gave (0 if nothing).
    virtual int OnMouseEnter(WPARAM wParam, LPARAM lParam);
    virtual int OnMouseMove(WPARAM wParam, LPARAM lParam);
    virtual int OnMouseHover(WPARAM wParam, LPARAM lParam);
    virtual int OnMouseLeave(WPARAM wParam, LPARAM lParam);
    virtual int OnLButtonDown(WPARAM wParam, LPARAM lParam);
    virtual int OnLButtonUp(WPARAM wParam, LPARAM lParam);
    virtual int OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    virtual int OnRButtonDown(WPARAM wParam, LPARAM lParam);
    virtual int OnRButtonUp(WPARAM wParam, LPARAM lParam);
    virtual int OnRButtonDblClk(WPARAM wParam, LPARAM lParam);
    virtual int OnMButtonDown(WPARAM wParam, LPARAM lParam);
    virtual int OnMButtonUp(WPARAM wParam, LPARAM lParam);
    virtual int OnMButtonDblClk(WPARAM wParam, LPARAM lParam);
    virtual int OnMouseWheel(WPARAM wParam, LPARAM lParam);
    // 1 when the element set its cursor.
    virtual int OnSetCursor();
    virtual int OnSetFocus();
    virtual int OnKillFocus();
    // An event on its way up the tree; windows end the journey by overriding this.
    virtual int OnEvent(const SkinEvent& event, SkinElement* sender);
    // A window message offered to the focus element before default handling; 1 when
    // handled, with *result as the window procedure's result.
    virtual int OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

protected:
    // What the setters do on the window's thread; kinds that react override these.
    virtual void ApplyVisible(int visible);
    virtual void ApplyEnabled(int enabled);
    virtual RECT ApplyRect(const RECT* rect, int stretch);
    // Draws the element's own picture (the current frame of its image), inside `clip`
    // (host coordinates, within the element). The graphics has no clip of its own.
    virtual void DrawSelf(GpGraphics* graphics, const IntRect& clip);
    // Called by PrepareToPaint; nothing for the plain element.
    virtual void BeforePaint() {}
    // True while every pixel the element draws depends only on its place relative to the
    // top-left corner (its image pixel for pixel, not mirrored): a change of size then
    // redraws only the strips gained or lost.
    virtual bool DrawsAnchored() const { return stretch_ == 0 && flipX_ == 0 && flipY_ == 0; }

    // Raises an event from this element: builds the record and passes it to the parent
    // when events are on.
    int RaiseEvent(int32_t code, WPARAM wParam, LPARAM lParam);

    // Off the host window's thread: queues `action` for that thread and returns true. On
    // it (or without a live host window): returns false and the caller goes on itself.
    template <typename Action>
    bool HandToHostThread(Action&& action) const {
        if (!WindowThreadQueue::BelongsToOtherThread(host_)) return false;
        WindowThreadQueue::Post(host_, this, std::forward<Action>(action));
        return true;
    }

    // The host window learns of the element: it forgets it as hovered, captured or focus
    // element when it is this one or one of its descendants.
    void SendToHost(WPARAM command) const;

    // The rectangle relative to the parent's top-left corner.
    IntRect RelativeRect() const;
    IntRect ParentRect() const;

    void SetHostRecursive(HWND host);

    int visible_ = 1;
    int enabled_ = 1;
    HWND host_ = nullptr;

private:
    void Attach();
    void JoinParent();
    // Unlinks the element from its parent and makes the host forget it.
    void LeaveTree();
    void MoveSubtree(int dx, int dy);

    std::vector<SkinElement*> children_;
    std::wstring text_;
    SkinElement* parent_ = nullptr;
    SkinImagePtr image_;
    int eventsFlag_ = 0;
    int flipX_ = 0;
    int flipY_ = 0;
    int stretch_ = 1;
    IntRect rect_;
    int id_ = 0;
    uint32_t cols_ = 1;
    uint32_t rows_ = 1;
    int col_ = 0;
    int row_ = 0;
    uint32_t alpha_ = 255;
    HCURSOR cursor_ = nullptr;
};
