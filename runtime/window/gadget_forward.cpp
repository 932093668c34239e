#include "runtime/core/not_handled.h"
#include "runtime/gadget/gadget_registry.h"
#include "runtime/window/window_proc.h"

LRESULT GadgetForwardMessage(HWND control, HWND parent, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!control)
        return NotHandled;
    // A control whose identifier differs from its "Nimb_ID" is not ours.
    const auto id = reinterpret_cast<ObjectId>(GetPropA(control, GadgetIdProperty));
    if (id != GetWindowLongPtrA(control, GWLP_ID))
        return NotHandled;
    auto* gadget = GadgetLookup(id);
    if (!gadget || !gadget->kind->parentMessage)
        return NotHandled;
    return gadget->kind->parentMessage(gadget, parent, message, wParam, lParam);
}
