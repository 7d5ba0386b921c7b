#include "skin/ButtonStates.h"

void ButtonStateMachine::Enter() {
    hover_ = true;
    frame_ = pressed_ ? kFramePressed : kFrameHover;
}

void ButtonStateMachine::Leave() {
    hover_ = false;
    frame_ = kFrameNormal;
}

void ButtonStateMachine::Press() {
    pressed_ = true;
    frame_ = kFramePressed;
}

bool ButtonStateMachine::Release() {
    pressed_ = false;
    if (!hover_) return false;
    frame_ = kFrameHover;
    return true;
}

void ButtonStateMachine::Reset(bool enabled) {
    hover_ = false;
    pressed_ = false;
    frame_ = enabled ? kFrameNormal : kFrameDisabled;
}
