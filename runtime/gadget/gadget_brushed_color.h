// The colours of text and string gadgets: kept in their kind words, the
// background as a shared brush, and answered to the parent's colour
// requests.
#pragma once

#include <windows.h>
#include <cstdint>

#include "runtime/gadget/gadget_object.h"
#include "runtime/gadget/gadget_kind_table.h"

void BrushedSetColor(GadgetObject* gadget, int32_t which, int32_t colour);
int32_t BrushedGetColor(GadgetObject* gadget, int32_t which);
void BrushedRelease(GadgetObject* gadget);

// The answer to a WM_CTLCOLOR* request on dc: NotHandled while both
// colours are the system's; systemColor is the COLOR_* index of the
// background a front colour alone is shown on.
LRESULT BrushedColorAnswer(GadgetObject* gadget, HDC dc, int systemColor);

// Fills the table of a kind whose colours are these: its parent-message
// routine and the brushed colour routines.
void BrushedKindTableFill(GadgetKindTable* table, int32_t kindCode, GadgetParentMessageRoutine parentMessage);
