#pragma once
// The four-state button as a small state machine without windows.h: which frame a button
// shows (normal, hover, pressed, disabled) and when a release is a click. SkinButton feeds
// it the mouse calls its host window routes to it.

class ButtonStateMachine {
public:
    enum Frame { kFrameNormal = 0, kFrameHover = 1, kFramePressed = 2, kFrameDisabled = 3 };

    // The pointer came over the button; a held button shows pressed again.
    void Enter();
    void Leave();
    void Press();
    // The release of a press; true when it is a click, i.e. the pointer is over the button.
    bool Release();
    // Showing, hiding, enabling or disabling forgets hover and press.
    void Reset(bool enabled);

    bool Hover() const { return hover_; }
    bool Pressed() const { return pressed_; }
    int FrameIndex() const { return frame_; }

private:
    bool hover_ = false;
    bool pressed_ = false;
    int frame_ = kFrameNormal;
};
