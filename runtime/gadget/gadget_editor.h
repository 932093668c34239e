// The editor kind's text routines: its text as lines, and the empty-item
// states that let an empty editor hold one empty line.
#pragma once

#include <cstdint>

#include "runtime/gadget/gadget_object.h"

void EditorGetText(GadgetObject* gadget, int32_t position);
int32_t EditorSetText(GadgetObject* gadget, const char* text);
int32_t EditorAddItem(GadgetObject* gadget, int32_t position, const char* text, int32_t extra);
void EditorRemoveItem(GadgetObject* gadget, int32_t line);
void EditorClearItems(GadgetObject* gadget);
int32_t EditorCountItems(GadgetObject* gadget);
void EditorGetItemText(GadgetObject* gadget, int32_t line, int32_t column, int32_t position);
int32_t EditorSetItemText(GadgetObject* gadget, int32_t line, const char* text, int32_t column);
