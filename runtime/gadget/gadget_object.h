// The record of one gadget in the gadget ObjectTable.
#pragma once

#include <windows.h>
#include <cstdint>

#include "runtime/gadget/gadget_kind_table.h"

struct GadgetObject {
    HWND window;                // the control; non-zero while the gadget lives
    GadgetKindTable* kind;      // the shared table of the gadget's kind
    WNDPROC previousProc;       // the control's procedure before GadgetWindowProc
    uintptr_t kindWords[3];     // meaning per kind; 0 when the record is handed out
};
