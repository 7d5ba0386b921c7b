#pragma once
// Resource identifiers shared by the .rc files and the code.
#define IDI_APP 1100
#define IDM_TRAY 119
#define MENU_CLOSE 40004
