// The string kind: a single-line edit that reports focus changes to its
// top window as gadget events.
#include "runtime/core/not_handled.h"
#include "runtime/core/window_reports.h"
#include "runtime/gadget/gadget.h"
#include "runtime/gadget/gadget_brushed_color.h"
#include "runtime/gadget/gadget_creation.h"
#include "runtime/gadget/gadget_kind_words.h"
#include "runtime/gadget/gadget_kinds.h"
#include "runtime/gadget/gadget_registry.h"

namespace {

constexpr DWORD StringStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL;
static_assert(StringStyle == 0x50030080, "the string gadget's style word");

GadgetKindTable StringKindTable;
// The Edit class procedure, the same for every string.
WNDPROC stringClassProc;

LRESULT StringParentMessage(GadgetObject* gadget, HWND, UINT message, WPARAM wParam, LPARAM)
{
    // A read-only edit asks with WM_CTLCOLORSTATIC; a disabled one keeps
    // the system look.
    const bool asks = message == WM_CTLCOLOREDIT ||
                      (message == WM_CTLCOLORSTATIC && IsWindowEnabled(gadget->window));
    if (!asks)
        return NotHandled;
    return BrushedColorAnswer(gadget, reinterpret_cast<HDC>(wParam), COLOR_BTNHIGHLIGHT);
}

}  // namespace

LRESULT CALLBACK StringFocusProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
        const auto number = static_cast<WPARAM>(GetWindowLongPtrA(hwnd, GWLP_ID));
        PostMessageA(GadgetFindRootWindow(hwnd), GadgetFocusMessage, number,
                     message == WM_SETFOCUS ? FocusGained : FocusLost);
    }
    return CallWindowProcA(stringClassProc, hwnd, message, wParam, lParam);
}

intptr_t GadgetCreateString(ObjectId number, int x, int y, int width, int height, const char* text,
                            uint32_t flags)
{
    if (!StringKindTable.kindCode)
        BrushedKindTableFill(&StringKindTable, GadgetKindString, StringParentMessage);
    const DWORD exStyle = (flags & GadgetBorderFlag) ? 0 : WS_EX_CLIENTEDGE;
    HWND control = GadgetCreateWindow(exStyle, "Edit", text ? text : "", StringStyle | flags, x, y, width, height);
    if (!control)
        return 0;
    GadgetObject* object = GadgetAllocate(number, control);
    if (!object)
        return 0;
    stringClassProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StringFocusProc)));
    KindWordSet(object, BrushedWord::frontColor, -1);
    KindWordSet(object, BrushedWord::backColor, -1);
    return GadgetRegister(number, object, control, &StringKindTable);
}
