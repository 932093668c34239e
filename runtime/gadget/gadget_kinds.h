// What the kinds keep beyond their tables: their subclass procedures and
// the combo box's measured height.
#pragma once

#include <windows.h>
#include <cstdint>

// A closed combo box's height minus its selection field's, measured at the
// latest combo box creation; -1 before any.
extern int32_t comboExtraHeight;

// Installed under GadgetWindowProc on every control of the kind.
LRESULT CALLBACK EditorWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Static frames only.
LRESULT CALLBACK FramePaintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StringFocusProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
