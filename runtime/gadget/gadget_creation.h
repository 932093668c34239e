// The steps that every gadget kind's creation shares:
//   1. take GadgetListStateGet();
//   2. on the kind's first creation, GadgetKindTableReset and fill its routines;
//   3. a null text becomes "" (kinds that take a text);
//   4-5. GadgetCreateWindow; 0 ends the creation with nothing changed;
//   6. GadgetAllocate; 0 ends it too;
//   7. the kind's own extras on the record and the control;
//   8. return GadgetRegister.
#pragma once

#include <windows.h>
#include <cstdint>

#include "runtime/core/object_table.h"
#include "runtime/gadget/gadget_object.h"

// Zeroes the table and sets its kind code and size.
void GadgetKindTableReset(GadgetKindTable* table, int32_t kindCode);

// Creates the control in the current gadget list with identifier -1; null
// when there is no current list or the window cannot be made.
HWND GadgetCreateWindow(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y,
                        int width, int height);

// The zero-filled record for number; a live gadget of that number is
// destroyed first. When no record can be had, control is destroyed and
// the result is null.
GadgetObject* GadgetAllocate(ObjectId number, HWND control);
