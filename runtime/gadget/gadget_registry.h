// The gadget library: its start and end, the gadget ObjectTable, the
// registration that ends every creation and the teardown when a control dies.
#pragma once

#include <windows.h>
#include <cstdint>

#include "runtime/core/object_table.h"
#include "runtime/core/property_names.h"
#include "runtime/gadget/gadget_object.h"

// The identifier of a control that is not (or no longer) a gadget.
constexpr LONG_PTR GadgetNoIdentifier = -1;

// GadgetObject records, growth step 50, released by GadgetFree.
extern ObjectTable* GadgetTable;
// Guards the shared background brushes of the text and string kinds.
extern CRITICAL_SECTION GadgetBrushCacheLock;
// Dispatches every waiting window message and reports none of what they
// produced. Gadgets sit below windows, so the window library hands its pump
// over when it starts; null before (nothing is then pumped).
using EventPumpRoutine = int (*)();
extern EventPumpRoutine GadgetEventPump;

// Null for a number of no live gadget; a stale or foreign handle is never
// read through.
GadgetObject* GadgetLookup(ObjectId number);

// Once, before any window or gadget is created.
void GadgetInit();
// Once at the end; gadgets still die with their windows afterwards.
void GadgetEnd();

// The last step of every creation: subclasses the control, writes the
// number as its identifier and "Nimb_ID", and sends it the default font.
// Returns the object handle for AutoNumber, else the control's handle.
intptr_t GadgetRegister(ObjectId number, GadgetObject* object, HWND control, GadgetKindTable* kindTable);

LRESULT CALLBACK GadgetWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Destroys a live gadget's control (its teardown frees the slot). Returns
// the DestroyWindow result, or 0 for a number that is not a live gadget.
int32_t GadgetFree(ObjectId number);

// The nearest window, starting with window, that carries "Nimb_WindowID",
// or the topmost ancestor when none does.
HWND GadgetFindRootWindow(HWND window);
