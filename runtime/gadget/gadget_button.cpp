// The button and check-box kinds, which share their state routines.
#include "runtime/gadget/gadget.h"
#include "runtime/gadget/gadget_creation.h"
#include "runtime/gadget/gadget_registry.h"

namespace {

constexpr DWORD ButtonStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD CheckBoxStyle = ButtonStyle | BS_AUTOCHECKBOX;
static_assert(ButtonStyle == 0x50030000 && CheckBoxStyle == 0x50030003, "the button and check box styles");

GadgetKindTable ButtonKindTable;
GadgetKindTable CheckBoxKindTable;

// An indeterminate box reads as unchecked.
int32_t ButtonGetState(GadgetObject* gadget)
{
    return static_cast<int32_t>(SendMessageA(gadget->window, BM_GETCHECK, 0, 0) & BST_CHECKED);
}

int32_t ButtonSetState(GadgetObject* gadget, int32_t state)
{
    return static_cast<int32_t>(
        SendMessageA(gadget->window, BM_SETCHECK, state ? BST_CHECKED : BST_UNCHECKED, 0));
}

intptr_t Create(GadgetKindTable* table, int32_t kindCode, DWORD style, ObjectId number, int x, int y, int width,
                int height, const char* text)
{
    if (!table->kindCode) {
        GadgetKindTableReset(table, kindCode);
        table->getState = ButtonGetState;
        table->setState = ButtonSetState;
    }
    HWND control = GadgetCreateWindow(0, "Button", text ? text : "", style, x, y, width, height);
    if (!control)
        return 0;
    GadgetObject* object = GadgetAllocate(number, control);
    if (!object)
        return 0;
    return GadgetRegister(number, object, control, table);
}

}  // namespace

intptr_t GadgetCreateButton(ObjectId number, int x, int y, int width, int height, const char* text,
                            uint32_t flags)
{
    return Create(&ButtonKindTable, GadgetKindButton, ButtonStyle | flags, number, x, y, width, height, text);
}

intptr_t GadgetCreateCheckBox(ObjectId number, int x, int y, int width, int height, const char* text,
                              uint32_t flags)
{
    return Create(&CheckBoxKindTable, GadgetKindCheckBox, CheckBoxStyle | flags, number, x, y, width, height,
                  text);
}
