#pragma once
// SkinButton: a clickable image whose strip of four frames shows its state: normal,
// hover, pressed, disabled. A left release over the button after a press on it raises
// EVENT_BUTTON_CLICK (a right one EVENT_BUTTON_RCLICK) to its window, which tells buttons
// apart by GetId. The pointer may leave and come back while the button is held; a release
// elsewhere is no click. The hand cursor shows over it.

#include "skin/ButtonStates.h"
#include "skin/SkinElement.h"

class SkinButton : public SkinElement {
public:
    // At (x, y) relative to `parent` (which it needs for its events), with the size of one
    // frame of `image`.
    SkinButton(int x, int y, const ImageSource& image, SkinElement* parent, int id);

    int IsHovered() const { return state_.Hover() ? 1 : 0; }
    int IsPressed() const { return state_.Pressed() ? 1 : 0; }

    int OnMouseEnter(WPARAM wParam, LPARAM lParam) override;
    int OnMouseLeave(WPARAM wParam, LPARAM lParam) override;
    int OnLButtonDown(WPARAM wParam, LPARAM lParam) override;
    int OnLButtonUp(WPARAM wParam, LPARAM lParam) override;
    int OnLButtonDblClk(WPARAM wParam, LPARAM lParam) override;
    int OnRButtonDown(WPARAM wParam, LPARAM lParam) override;
    int OnRButtonUp(WPARAM wParam, LPARAM lParam) override;
    int OnRButtonDblClk(WPARAM wParam, LPARAM lParam) override;

protected:
    // Showing, hiding, enabling or disabling forgets hover and press.
    void ApplyVisible(int visible) override;
    void ApplyEnabled(int enabled) override;

private:
    void ShowState() { SetFrame(state_.FrameIndex(), 0); }
    void Press() {
        state_.Press();
        ShowState();
    }
    // After the base handler has run: the click, when the release is one.
    int ClickIfOver(bool click, int32_t code, WPARAM wParam, LPARAM lParam);

    ButtonStateMachine state_;
};
