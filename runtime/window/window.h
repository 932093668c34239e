// Top-level windows addressed by number, and their one window procedure.
#pragma once

#include <windows.h>
#include <cstdint>

#include "runtime/core/object_table.h"
#include "runtime/window/events.h"
#include "runtime/window/window_table.h"

// Bits of the flag word that belong to the library; the rest are Win32
// window styles.
constexpr uint32_t WindowCentreScreen = 0x00000001;
constexpr uint32_t WindowCentreParent = 0x00000002;
constexpr uint32_t WindowNoGadgetList = 0x00000008;
constexpr uint32_t WindowHidden = 0x10000000;

// A window coordinate that lets the system choose the position.
constexpr int WindowDefaultPosition = -65535;

int GuiInit();
// Also starts the event state and live sizing, and hands the gadget library
// its event pump.
void WindowInit();
// width and height size the client area. Returns the window handle for an
// explicit number, the object handle for AutoNumber, 0 on failure.
intptr_t WindowOpen(ObjectId number, int x, int y, int width, int height, const char* title, uint32_t flags);
intptr_t WindowOpenWithParent(ObjectId number, int x, int y, int width, int height, const char* title,
                              uint32_t flags, HWND parent);
void WindowClose(ObjectId number);
// Closes every window and frees the event data not yet taken.
void WindowEndAll();
