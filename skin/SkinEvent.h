#pragma once
// What elements tell the rest of the program: events that travel up the tree to the window
// (SkinEvent), and the commands an element sends its host window (WM_SKINELEMENT).

#include <windows.h>

#include <cstdint>

// The record an element raises. For mouse events wparam and lparam are the window
// message's (lparam: client position, x low and y high 16 bits; screen position for the
// wheel); for state changes lparam is the new value.
struct SkinEvent {
    int32_t wparam = 0;
    int32_t lparam = 0;
    int32_t code = 0;
};

enum SkinEventCode : int32_t {
    EVENT_MOUSE_ENTER = -99,
    EVENT_MOUSE_MOVE = -98,
    EVENT_MOUSE_HOVER = -97,
    EVENT_MOUSE_LEAVE = -96,
    EVENT_LBUTTON_DOWN = -95,
    EVENT_LBUTTON_UP = -94,
    EVENT_LBUTTON_DBLCLK = -93,
    EVENT_RBUTTON_DOWN = -92,
    EVENT_RBUTTON_UP = -91,
    EVENT_RBUTTON_DBLCLK = -90,
    EVENT_MBUTTON_DOWN = -89,
    EVENT_MBUTTON_UP = -88,
    EVENT_MBUTTON_DBLCLK = -87,
    EVENT_MOUSE_WHEEL = -86,
    EVENT_VISIBLE_CHANGED = -85,
    EVENT_ENABLED_CHANGED = -84,
    EVENT_FOCUS_GAINED = -83,
    EVENT_FOCUS_LOST = -82,
    EVENT_BUTTON_CLICK = -199,
    EVENT_BUTTON_RCLICK = -198,
    EVENT_LABEL_CLICK = -299,
    EVENT_LABEL_RCLICK = -298,
};

// Sent (never posted) by an element to its host window; lParam is the element.
inline constexpr UINT WM_SKINELEMENT = WM_APP + 0x230;

enum SkinElementCommand : WPARAM {
    ELEMENT_RELEASE = 1,       // hidden, disabled or destroyed: forget it as hovered, captured, focus
    ELEMENT_FOCUS = 2,         // wants the keyboard focus; result: its OnSetFocus
    ELEMENT_GET_FOCUS = 3,     // lParam 1; result: the focus element
    ELEMENT_DELETE_LATER = 4,  // delete it from the message loop
};
