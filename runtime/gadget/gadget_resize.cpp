#include "runtime/gadget/gadget_resize.h"

#include <windows.h>

#include "runtime/gadget/gadget_kind_table.h"

namespace {

int32_t Kept(int32_t value, GadgetObject* gadget, GadgetGetMeasureRoutine routine, LONG current)
{
    if (value != GadgetKeep)
        return value;
    return routine ? routine(gadget) : current;
}

}  // namespace

void GadgetResize(GadgetObject* gadget, int32_t x, int32_t y, int32_t width, int32_t height)
{
    HWND window = gadget->window;
    const GadgetKindTable* kind = gadget->kind;
    if (x == GadgetKeep || y == GadgetKeep || width == GadgetKeep || height == GadgetKeep) {
        RECT r = {};
        GetWindowRect(window, &r);
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
        x = Kept(x, gadget, kind->getX, r.left);
        y = Kept(y, gadget, kind->getY, r.top);
        width = Kept(width, gadget, kind->getWidth, r.right - r.left);
        height = Kept(height, gadget, kind->getHeight, r.bottom - r.top);
    }
    MoveWindow(window, x, y, width, height, TRUE);
    // Buttons and statics do not always repaint all of themselves on a move.
    if (kind->kindCode == GadgetKindButton)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE);
    else if (kind->kindCode == GadgetKindText)
        InvalidateRect(window, nullptr, FALSE);
}
