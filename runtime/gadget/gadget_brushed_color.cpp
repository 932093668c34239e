#include "runtime/gadget/gadget_brushed_color.h"

#include "runtime/core/not_handled.h"
#include "runtime/gadget/gadget.h"
#include "runtime/gadget/gadget_creation.h"
#include "runtime/gadget/gadget_brush_cache.h"
#include "runtime/gadget/gadget_kind_words.h"

namespace {

constexpr int32_t SystemColor = -1;

}  // namespace

void BrushedSetColor(GadgetObject* gadget, int32_t which, int32_t colour)
{
    if (which == ColorFront) {
        KindWordSet(gadget, BrushedWord::frontColor, colour);
    } else if (which == ColorBack) {
        if (HBRUSH held = BackBrushGet(gadget))
            GadgetBrushRelease(held);
        BackBrushSet(gadget, colour == SystemColor ? nullptr : GadgetBrushAcquire(static_cast<COLORREF>(colour)));
        KindWordSet(gadget, BrushedWord::backColor, colour);
    }
    // The control asks its parent for the new colours as it repaints.
    RedrawWindow(gadget->window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE);
}

int32_t BrushedGetColor(GadgetObject* gadget, int32_t which)
{
    if (which == ColorFront)
        return KindWordGet(gadget, BrushedWord::frontColor);
    if (which == ColorBack)
        return KindWordGet(gadget, BrushedWord::backColor);
    return SystemColor;
}

void BrushedRelease(GadgetObject* gadget)
{
    if (HBRUSH held = BackBrushGet(gadget)) {
        GadgetBrushRelease(held);
        BackBrushSet(gadget, nullptr);
    }
}

LRESULT BrushedColorAnswer(GadgetObject* gadget, HDC dc, int systemColor)
{
    const int32_t front = KindWordGet(gadget, BrushedWord::frontColor);
    const int32_t back = KindWordGet(gadget, BrushedWord::backColor);
    LRESULT result = NotHandled;
    if (front != SystemColor) {
        SetTextColor(dc, static_cast<COLORREF>(front));
        // The parent's default would reset the text colour too.
        if (back == SystemColor) {
            SetBkColor(dc, GetSysColor(systemColor));
            result = reinterpret_cast<LRESULT>(GetSysColorBrush(systemColor));
        }
    }
    if (back != SystemColor) {
        SetBkColor(dc, static_cast<COLORREF>(back));
        result = reinterpret_cast<LRESULT>(BackBrushGet(gadget));
    }
    return result;
}

void BrushedKindTableFill(GadgetKindTable* table, int32_t kindCode, GadgetParentMessageRoutine parentMessage)
{
    GadgetKindTableReset(table, kindCode);
    table->parentMessage = parentMessage;
    table->release = BrushedRelease;
    table->setColor = BrushedSetColor;
    table->getColor = BrushedGetColor;
}
