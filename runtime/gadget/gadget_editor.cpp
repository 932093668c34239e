// The editor kind: a multi-line rich edit, from whichever rich-edit
// library the system has.
#include <richedit.h>

#include "runtime/core/system_library.h"
#include "runtime/gadget/gadget.h"
#include "runtime/gadget/gadget_creation.h"
#include "runtime/gadget/gadget_editor.h"
#include "runtime/gadget/gadget_kind_words.h"
#include "runtime/gadget/gadget_kinds.h"
#include "runtime/gadget/gadget_registry.h"

namespace {

constexpr DWORD EditorStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_WANTRETURN |
                              ES_NOHIDESEL | ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_MULTILINE;
static_assert(EditorStyle == 0x503111C4, "the editor's style word at creation");
static_assert(EditorReadOnly == ES_READONLY && EditorReadOnly == ECO_READONLY, "one bit for flag and option");
// EM_LIMITTEXT's largest limit.
constexpr WPARAM EditorTextLimit = 0xFFFFFFFFu;
static_assert(sizeof(CHARFORMATA) == 60, "the rich edit 1.0 layout");

GadgetKindTable EditorKindTable;
// RICHED20.DLL, kept for the life of the process; 0 when only the older
// library (or none) could be loaded.
HMODULE richEdit20;
// The rich-edit class procedure, the same for every editor.
WNDPROC editorClassProc;

LRESULT Send(GadgetObject* gadget, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessageA(gadget->window, message, wParam, lParam);
}

int32_t EditorGetAttribute(GadgetObject* gadget, int32_t attribute)
{
    if (attribute != EditorReadOnly)
        return 0;
    return (Send(gadget, EM_GETOPTIONS, 0, 0) & ECO_READONLY) ? 1 : 0;
}

void EditorSetAttribute(GadgetObject* gadget, int32_t attribute, int32_t value)
{
    if (attribute == EditorReadOnly)
        Send(gadget, EM_SETREADONLY, value != 0, 0);
}

void EditorSetColor(GadgetObject* gadget, int32_t which, int32_t colour)
{
    const bool system = colour == -1;
    if (which == ColorBack) {
        Send(gadget, EM_SETBKGNDCOLOR, system ? 1 : 0, system ? 0 : static_cast<COLORREF>(colour));
        KindWordSet(gadget, EditorWord::backColor, colour);
    } else if (which == ColorFront) {
        CHARFORMATA format = {};
        format.cbSize = sizeof format;
        format.dwMask = CFM_COLOR;
        format.dwEffects = system ? CFE_AUTOCOLOR : 0;
        format.crTextColor = static_cast<COLORREF>(colour);
        // The text there is, and the text still to be typed.
        Send(gadget, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
        Send(gadget, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
        KindWordSet(gadget, EditorWord::frontColor, colour);
    }
}

int32_t EditorGetColor(GadgetObject* gadget, int32_t which)
{
    if (which == ColorBack)
        return KindWordGet(gadget, EditorWord::backColor);
    if (which == ColorFront)
        return KindWordGet(gadget, EditorWord::frontColor);
    return -1;
}

void EditorKindTableFill()
{
    GadgetKindTableReset(&EditorKindTable, GadgetKindEditor);
    EditorKindTable.getText = EditorGetText;
    EditorKindTable.setText = EditorSetText;
    EditorKindTable.addItem = EditorAddItem;
    EditorKindTable.removeItem = EditorRemoveItem;
    EditorKindTable.clearItems = EditorClearItems;
    EditorKindTable.countItems = EditorCountItems;
    EditorKindTable.getItemText = EditorGetItemText;
    EditorKindTable.setItemText = EditorSetItemText;
    EditorKindTable.getAttribute = EditorGetAttribute;
    EditorKindTable.setAttribute = EditorSetAttribute;
    EditorKindTable.setColor = EditorSetColor;
    EditorKindTable.getColor = EditorGetColor;
    // Never freed: editors may live until the process ends.
    richEdit20 = SystemLibraryLoad(RichEdit20Library);
    if (!richEdit20)
        SystemLibraryLoad(RichEdit10Library);
}

}  // namespace

// A font change may reset the rich edit's text colour; the gadget's own
// colour is put back.
LRESULT CALLBACK EditorWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(editorClassProc, hwnd, message, wParam, lParam);
    if (message != WM_SETFONT)
        return result;
    const ObjectId number = GetWindowLongPtrA(hwnd, GWLP_ID);
    if (reinterpret_cast<ObjectId>(GetPropA(hwnd, GadgetIdProperty)) == number) {
        auto* gadget = GadgetLookup(number);
        if (gadget && gadget->window == hwnd)
            EditorSetColor(gadget, ColorFront, KindWordGet(gadget, EditorWord::frontColor));
    }
    return 0;
}

intptr_t GadgetCreateEditor(ObjectId number, int x, int y, int width, int height, uint32_t flags)
{
    if (!EditorKindTable.kindCode)
        EditorKindTableFill();
    const char* className = richEdit20 ? "RichEdit20A" : "RichEdit";
    HWND control = GadgetCreateWindow(WS_EX_CLIENTEDGE, className, nullptr, EditorStyle | flags, x, y, width, height);
    if (!control)
        return 0;
    HWND parent = GetParent(control);
    GadgetObject* object = GadgetAllocate(number, control);
    if (!object)
        return 0;
    const ObjectId id = number == AutoNumber ? reinterpret_cast<ObjectId>(object) : number;
    SendMessageA(control, EM_LIMITTEXT, EditorTextLimit, 0);
    editorClassProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditorWindowProc)));
    // Whatever the new control has queued is served before it becomes a
    // gadget.
    if (GadgetEventPump)
        GadgetEventPump();
    // A callback of the pump may have made gadgets, which moves the numbered
    // slots, taken this number, or destroyed the control or its parent (a
    // dead handle that Windows may give to another window).
    object = static_cast<GadgetObject*>(ObjectTableSlot(GadgetTable, id));
    const bool alive = IsWindow(parent) && IsWindow(control) && GetParent(control) == parent;
    if (!alive || !object || object->window) {
        if (object && !object->window)
            ObjectTableRelease(GadgetTable, id);
        if (alive)
            DestroyWindow(control);
        return 0;
    }
    KindWordSet(object, EditorWord::frontColor, -1);
    KindWordSet(object, EditorWord::backColor, -1);
    return GadgetRegister(number, object, control, &EditorKindTable);
}
