// Tab navigation: every window's accelerator table carries two commands,
// and the window procedure runs FocusStep for them.
#pragma once

#include <windows.h>

// Command identifiers of the two Tab accelerators; high enough to stay
// clear of menu and gadget identifiers.
constexpr WORD FocusNextCommand = 64001;
constexpr WORD FocusPreviousCommand = 64002;

// The table to translate with for the active window, or null: none for a
// foreign window, nor for a plain Tab inside an editable rich-edit control.
HACCEL WindowAccelerators(HWND active);
// direction 0: the next tab stop, 1: the previous one.
void FocusStep(int direction);
