// The gadgets an application places in its windows: creation of the seven
// kinds and the operations on a gadget by number.
//
// A number is the caller's own (>= 0) or, after an AutoNumber (-1)
// creation, the handle that creation returned. An operation on a number
// that names no live gadget does nothing and returns 0.
#pragma once

#include <windows.h>
#include <cstdint>

#include "runtime/core/object_table.h"

// Colour selectors of the kinds' colour routines; a colour of -1 is the
// system default.
constexpr int32_t ColorFront = 1;
constexpr int32_t ColorBack = 2;

// The editor's read-only flag and attribute (ES_READONLY).
constexpr int32_t EditorReadOnly = 0x800;

// Text and string: border switch (WS_GROUP, already in their base style).
constexpr uint32_t GadgetBorderFlag = 0x20000;

// Creation: 0 on failure (no current gadget list, no control); else the
// control's window handle for an explicit number, the new gadget's number
// for AutoNumber. Positions are client pixels of the current list's window.
// Flags are styles of the control's class, added to the kind's own; the
// frame's flags choose its variant (0 captioned group box, 1 sunken,
// 2 static edge, other flat border).
intptr_t GadgetCreateEditor(ObjectId number, int x, int y, int width, int height, uint32_t flags);
intptr_t GadgetCreateComboBox(ObjectId number, int x, int y, int width, int height, uint32_t flags);
intptr_t GadgetCreateText(ObjectId number, int x, int y, int width, int height, const char* text,
                          uint32_t flags = 0);
intptr_t GadgetCreateButton(ObjectId number, int x, int y, int width, int height, const char* text,
                            uint32_t flags = 0);
intptr_t GadgetCreateCheckBox(ObjectId number, int x, int y, int width, int height, const char* text,
                              uint32_t flags = 0);
intptr_t GadgetCreateFrame(ObjectId number, int x, int y, int width, int height, const char* text,
                           uint32_t flags = 0);
intptr_t GadgetCreateString(ObjectId number, int x, int y, int width, int height, const char* text,
                            uint32_t flags = 0);

// A null text is "". Editor: an empty text clears it. List combo box:
// selects the item of exactly this text ("" selects none, an unknown text
// changes nothing). Other kinds: the window text.
int32_t GadgetSetText(ObjectId number, const char* text);

// font -1 is the stock GUI font. number -1 sets the font of gadgets
// created from now on and leaves existing ones alone.
int32_t GadgetSetFont(ObjectId number, intptr_t font);

// Editor: a line before line position; combo box: an item at position.
// Position -1 appends. 0 for kinds that hold no items.
int32_t GadgetAddItem(ObjectId number, int32_t position, const char* text);

// state != 0 disables, 0 enables. Non-zero when it was disabled before.
int32_t GadgetDisable(ObjectId number, int32_t state);

// Button and check box: checked when state != 0. Combo box: selects item
// state (-1 none). Other kinds: nothing, 0.
int32_t GadgetSetState(ObjectId number, int32_t state);

// Button and check box: 1 checked, else 0 (indeterminate too). Combo box:
// the selected item, -1 if none. Other kinds: 0.
int32_t GadgetGetState(ObjectId number);
