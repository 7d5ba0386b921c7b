#pragma once
// SkinWindow: a real top-level window drawn from an element tree. It is itself the root
// element of that tree (its rectangle is always (0, 0, width, height) in its own client
// coordinates), owns the window handle and the back buffer the tree is painted into, and
// routes mouse, focus, cursor, timer and close messages to the elements.
//
// Windows with WS_EX_LAYERED are shown with per-pixel alpha through UpdateLayeredWindow:
// whatever the tree leaves uncovered is transparent and lets the mouse through. Other
// windows copy the dirty part of the back buffer to the screen.
//
// Derived windows override WindowProc (chaining to this one), OnEvent (button clicks),
// IsDragArea, CanClose and OnTimer. A window belongs to the thread that created it; other
// threads change it through the setters, which hand the work to that thread (see
// SkinElement.h), or through RunOnWindowThread.

#include <windows.h>

#include <functional>
#include <vector>

#include "skin/BackBuffer.h"
#include "skin/SkinElement.h"

class SkinWindow : public SkinElement {
public:
    // Position form: the window stands at screen (x, y) with the size of its image.
    SkinWindow(int x, int y, const ImageSource& image, const wchar_t* className, HWND parent, DWORD exStyle,
               DWORD style, UINT classStyle, int id = 0);
    // Rectangle form: the window covers `screenRect`; its image, if any, is scaled to it.
    SkinWindow(const RECT& screenRect, const ImageSource& image, const wchar_t* className, HWND parent, DWORD exStyle,
               DWORD style, UINT classStyle, int id = 0);
    ~SkinWindow() override;

    // Null when the class could not be registered, or once the window is destroyed.
    HWND Handle() const { return host_; }
    // The window of a handle, when it is a skinned window of the calling thread.
    static SkinWindow* FromHandle(HWND handle);

    // Centres the window on `reference` (screen coordinates), else on its parent or owner,
    // else on the work area.
    void CenterWindow(const RECT* reference = nullptr);
    // Window timers; each tick reaches OnTimer on the window's thread. From another thread
    // the call is handed to the window's thread and returns the id (start) or TRUE (stop).
    UINT_PTR StartTimer(UINT_PTR id, UINT milliseconds);
    BOOL StopTimer(UINT_PTR id);
    // Runs `action` on the window's thread: at once when called there, else queued in call
    // order and run between messages. False when the window is gone.
    bool RunOnWindowThread(std::function<void()> action);
    // Posts a message to the window behind the changes handed over so far from the calling
    // thread: its handler sees them applied. A plain PostMessage may overtake them.
    bool PostInOrder(UINT message, WPARAM wParam, LPARAM lParam);

    int IsVisible() const override;
    int IsEnabled() const override;

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Offered every queued message for this window or its descendants before dispatch;
    // 1 consumes it.
    virtual int PreTranslateMessage(MSG* message);
    // 1 when a press on `element` inside *area drags the window.
    virtual int IsDragArea(RECT* area, SkinElement* element);
    virtual int CanClose();
    virtual void OnTimer(UINT_PTR id);

    // The element bookkeeping forgets an element that is being destroyed (and its subtree).
    void ForgetDestroyed(const SkinElement* element);

    // The current picture, as last painted (premultiplied BGRA, top row first).
    const BackBuffer& Picture() const { return backBuffer_; }
    SkinElement* HoveredElement() const { return hoveredElement_; }
    SkinElement* CapturedElement() const { return capturedElement_; }
    SkinElement* FocusElement() const { return focusElement_; }

protected:
    // A window stores 1 when `command` shows it and 0 for SW_HIDE, so that every showing
    // command paints; ShowWindow gets the command itself.
    void ApplyVisible(int command) override;
    void ApplyEnabled(int enabled) override;
    // Places the window on the screen (a screen rectangle) and remakes the back buffer.
    RECT ApplyRect(const RECT* rect, int stretch) override;

    // The base message handling; DefaultHandling offers the message to the focus element,
    // then to DefWindowProc.
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SharedWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void Create(const wchar_t* className, HWND parent, DWORD exStyle, DWORD style, UINT classStyle);
    void OnHandleDestroyed();

    // Painting (SkinWindowPaint.cpp).
    LRESULT OnPaintMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void PaintTree(const RECT& dirty);
    void PaintTree(const std::vector<RECT>& dirty);
    bool UsesPerPixelAlpha() const;

    // Input and element commands (SkinWindowInput.cpp).
    LRESULT OnMouseMoveMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnPressMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnReleaseMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnWheelMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnElementCommand(WPARAM command, SkinElement* element, LPARAM lParam);
    void ReleaseElement(SkinElement* element);
    // True while `element` is this window or part of its tree.
    bool Holds(const SkinElement* element) const;
    void MoveFocusTo(SkinElement* element);
    int GiveFocus(SkinElement* element);
    // Deletes queued elements; false when the window itself was among them (it is gone).
    bool DeletePendingElements();

    BackBuffer backBuffer_;
    bool trackingMouse_ = false;
    bool hoverCheckPosted_ = false;
    bool givingFocus_ = false;  // an element is taking the focus; its SetFocus echoes back
    std::vector<SkinElement*> pendingDeletes_;
    SkinElement* focusElement_ = this;
    SkinElement* capturedElement_ = this;
    SkinElement* hoveredElement_ = this;
};
