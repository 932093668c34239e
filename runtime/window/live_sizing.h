// Live window sizing: the library resizes its windows itself, one mouse move
// or arrow key at a time, instead of letting the system run its modal sizing
// loop. So each move during sizing is one message that EventWait dispatches
// and returns from, and the main loop keeps running while a border is dragged.
#pragma once

#include <windows.h>
#include <cstdint>

// One for the process: only one window is sized at a time.
struct SizingState {
    int32_t active;
    int32_t restoreCursor;  // keyboard start, and the mouse has not moved since
    POINT savedCursor;      // where the cursor was at a keyboard start
    RECT sizingRect;        // the window's outer rectangle, screen coordinates
    int32_t edge;           // 0 before the keyboard chose one, else WMSZ_*
    MINMAXINFO limits;      // ptMinTrackSize and ptMaxTrackSize bound the size
};

// Made zeroed by LiveSizingInit (called by WindowInit); null before, or
// when memory ran out. It lasts until the MainHeap goes.
extern SizingState* sizingStateRecord;
void LiveSizingInit();

// The first step of WindowDispatch for every message of every library
// window. NotHandled lets the message go on; any other value is the
// message's result.
LRESULT LiveSizingFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
