// The text kind: a static label whose colours the parent asks it for.
#include "runtime/core/not_handled.h"
#include "runtime/gadget/gadget.h"
#include "runtime/gadget/gadget_brushed_color.h"
#include "runtime/gadget/gadget_creation.h"
#include "runtime/gadget/gadget_kind_words.h"
#include "runtime/gadget/gadget_registry.h"

namespace {

constexpr DWORD TextStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
static_assert(TextStyle == 0x50020000, "the text gadget's style word");

GadgetKindTable TextKindTable;

LRESULT TextParentMessage(GadgetObject* gadget, HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message != WM_CTLCOLORSTATIC)
        return NotHandled;
    return BrushedColorAnswer(gadget, reinterpret_cast<HDC>(wParam), COLOR_BTNFACE);
}

}  // namespace

intptr_t GadgetCreateText(ObjectId number, int x, int y, int width, int height, const char* text, uint32_t flags)
{
    if (!TextKindTable.kindCode)
        BrushedKindTableFill(&TextKindTable, GadgetKindText, TextParentMessage);
    const DWORD exStyle = (flags & GadgetBorderFlag) ? WS_EX_CLIENTEDGE : 0;
    HWND control = GadgetCreateWindow(exStyle, "Static", text ? text : "", TextStyle | flags, x, y, width, height);
    if (!control)
        return 0;
    GadgetObject* object = GadgetAllocate(number, control);
    if (!object)
        return 0;
    KindWordSet(object, BrushedWord::frontColor, -1);
    KindWordSet(object, BrushedWord::backColor, -1);
    return GadgetRegister(number, object, control, &TextKindTable);
}
