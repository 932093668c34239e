// The one window procedure of every library window, inside the library.
#pragma once

#include <windows.h>

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Offers a control notification to its gadget's kind; NotHandled when the
// control is no gadget or its kind has no ParentMessage routine.
LRESULT GadgetForwardMessage(HWND control, HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
