// The window records and their lookup, below everything else in the window
// library: the event wait, Tab navigation and the window procedure find a
// window's record here, and window.cpp opens and closes the windows.
#pragma once

#include <windows.h>
#include <cstdint>

#include "runtime/core/object_table.h"

using WindowCallbackRoutine = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
using PaintCallbackRoutine = LRESULT (*)(HDC dc, HWND window);

// What a window callback returns to let the library handle the message.
// Odd, so no handle or pointer a real callback returns can equal it.
constexpr LRESULT ProceedDefault = static_cast<LRESULT>(0xE0E0E0E1u);

struct WindowObject {
    HWND window;  // non-zero while the window is open
    ACCEL* acceleratorEntries;
    HACCEL acceleratorTable;
    WindowCallbackRoutine windowCallback;
    int32_t acceleratorCount;
    HBRUSH backgroundBrush;
    HWND mdiClient;
    PaintCallbackRoutine paintCallback;
    uint16_t minWidth;
    uint16_t minHeight;
    uint16_t maxWidth;
    uint16_t maxHeight;
    int32_t minimizedOrMaximized;
};

// Made by WindowInit, with WindowClose as its release routine.
extern ObjectTable* WindowTable;

WindowObject* WindowLookup(ObjectId number);
// The number of the library window with this handle, -1 for any other.
ObjectId WindowOfHandle(HWND window);
