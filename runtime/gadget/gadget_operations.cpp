// The public operations on a gadget by number. Each goes through the
// gadget's kind table, falling back to a plain Win32 call or to nothing
// when the kind has no routine for it.
#include "runtime/gadget/gadget.h"
#include "runtime/gadget/gadget_list.h"
#include "runtime/gadget/gadget_registry.h"

namespace {

HFONT FontArgument(intptr_t font)
{
    return font == -1 ? defaultGuiFont : reinterpret_cast<HFONT>(font);
}

}  // namespace

int32_t GadgetSetText(ObjectId number, const char* text)
{
    if (!text)
        text = "";
    GadgetObject* gadget = GadgetLookup(number);
    if (!gadget)
        return 0;
    if (gadget->kind->setText)
        return gadget->kind->setText(gadget, text);
    return SetWindowTextA(gadget->window, text);
}

int32_t GadgetSetFont(ObjectId number, intptr_t font)
{
    if (number == AutoNumber) {
        if (GadgetListState* state = GadgetListStateGet())
            state->defaultFont = FontArgument(font);
        return 0;
    }
    GadgetObject* gadget = GadgetLookup(number);
    if (!gadget)
        return 0;
    return static_cast<int32_t>(
        SendMessageA(gadget->window, WM_SETFONT, reinterpret_cast<WPARAM>(FontArgument(font)), TRUE));
}

int32_t GadgetAddItem(ObjectId number, int32_t position, const char* text)
{
    if (!text)
        text = "";
    GadgetObject* gadget = GadgetLookup(number);
    if (!gadget)
        return 0;
    if (gadget->kind->addItemEx)
        return gadget->kind->addItemEx(gadget, position, text, 0, 0);
    if (gadget->kind->addItem)
        return gadget->kind->addItem(gadget, position, text, 0);
    return 0;
}

int32_t GadgetDisable(ObjectId number, int32_t state)
{
    GadgetObject* gadget = GadgetLookup(number);
    if (!gadget)
        return 0;
    return EnableWindow(gadget->window, state == 0);
}

int32_t GadgetSetState(ObjectId number, int32_t state)
{
    GadgetObject* gadget = GadgetLookup(number);
    if (!gadget || !gadget->kind->setState)
        return 0;
    return gadget->kind->setState(gadget, state);
}

int32_t GadgetGetState(ObjectId number)
{
    GadgetObject* gadget = GadgetLookup(number);
    if (!gadget || !gadget->kind->getState)
        return 0;
    return gadget->kind->getState(gadget);
}
