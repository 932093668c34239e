// A stand-in for a player's game: a top-level window of this process on a
// thread of its own, at the screen's top left, clear of Keyvane's centred
// window. Programs that drive Keyvane put it in front, as a player's game
// would be, and keep it there; the keys Keyvane presses then reach it.
#pragma once

#include <windows.h>

// Called on the window's thread for each WM_KEYDOWN and WM_KEYUP it
// receives, with the extra information of that input.
using GameKeyRoutine = void (*)(UINT message, WPARAM wParam, LPARAM lParam, ULONG_PTR extraInfo);

// Opens the window, not yet in front; false when it cannot be made.
bool GameWindowOpen(GameKeyRoutine onKey = nullptr);
void GameWindowClose();
HWND GameWindow();
// Puts a window in front, which gives it the keyboard focus; false when it
// did not get the foreground within a second.
bool WindowToFront(HWND window);
inline bool GameToFront() { return WindowToFront(GameWindow()); }
