#include "skin/SkinButton.h"

SkinButton::SkinButton(int x, int y, const ImageSource& image, SkinElement* parent, int id)
    : SkinElement(x, y, image, parent, id, nullptr) {
    SetCursorHandle(LoadCursorW(nullptr, IDC_HAND));
    SetFrameGrid(4, 1);
    SetFrame(ButtonStateMachine::kFrameNormal, 0);
    EnableEvents(1, 1);
}

int SkinButton::OnMouseEnter(WPARAM wParam, LPARAM lParam) {
    state_.Enter();
    ShowState();
    return SkinElement::OnMouseEnter(wParam, lParam);
}

int SkinButton::OnMouseLeave(WPARAM wParam, LPARAM lParam) {
    state_.Leave();
    ShowState();
    return SkinElement::OnMouseLeave(wParam, lParam);
}

int SkinButton::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    Press();
    return SkinElement::OnLButtonDown(wParam, lParam);
}

int SkinButton::OnLButtonDblClk(WPARAM wParam, LPARAM lParam) {
    Press();
    return SkinElement::OnLButtonDblClk(wParam, lParam);
}

int SkinButton::OnRButtonDown(WPARAM wParam, LPARAM lParam) {
    Press();
    return SkinElement::OnRButtonDown(wParam, lParam);
}

int SkinButton::OnRButtonDblClk(WPARAM wParam, LPARAM lParam) {
    Press();
    return SkinElement::OnRButtonDblClk(wParam, lParam);
}

int SkinButton::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
    const bool click = state_.Release();
    SkinElement::OnLButtonUp(wParam, lParam);
    return ClickIfOver(click, EVENT_BUTTON_CLICK, wParam, lParam);
}

int SkinButton::OnRButtonUp(WPARAM wParam, LPARAM lParam) {
    const bool click = state_.Release();
    SkinElement::OnRButtonUp(wParam, lParam);
    return ClickIfOver(click, EVENT_BUTTON_RCLICK, wParam, lParam);
}

int SkinButton::ClickIfOver(bool click, int32_t code, WPARAM wParam, LPARAM lParam) {
    if (!click) return 0;
    ShowState();
    return RaiseEvent(code, wParam, lParam);
}

void SkinButton::ApplyVisible(int visible) {
    if (visible == visible_) return;
    // A disabled button keeps looking disabled when it is shown again.
    state_.Reset(enabled_ == 1);
    ShowState();
    SkinElement::ApplyVisible(visible);
}

void SkinButton::ApplyEnabled(int enabled) {
    if (enabled == enabled_) return;
    state_.Reset(enabled == 1);
    ShowState();
    SkinElement::ApplyEnabled(enabled);
}
