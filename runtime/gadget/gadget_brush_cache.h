// One solid brush per background colour in use, shared by the text and
// string gadgets of that colour, so that repainting makes no GDI objects.
#pragma once

#include <windows.h>
#include <cstdint>

#include "runtime/core/list.h"

struct GadgetBrushEntry {
    COLORREF colour;
    HBRUSH brush;
    int32_t references;  // gadgets holding the brush
};

// Newest entry first; guarded by GadgetBrushCacheLock.
extern ListNode* GadgetBrushCache;

// The shared brush of colour, one more reference to it; 0 when none can be
// made.
HBRUSH GadgetBrushAcquire(COLORREF colour);

// One reference fewer; the last deletes the brush. Unknown brushes are
// ignored.
void GadgetBrushRelease(HBRUSH brush);
