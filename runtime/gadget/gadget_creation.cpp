#include "runtime/gadget/gadget_creation.h"

#include <cstring>

#include "runtime/core/instance.h"
#include "runtime/gadget/gadget_list.h"
#include "runtime/gadget/gadget_registry.h"

void GadgetKindTableReset(GadgetKindTable* table, int32_t kindCode)
{
    memset(table, 0, sizeof *table);
    table->kindCode = kindCode;
    table->tableSize = GadgetKindTableSize;
}

HWND GadgetCreateWindow(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y,
                        int width, int height)
{
    GadgetListState* state = GadgetListStateGet();
    if (!state || !state->frame.current)
        return nullptr;
    // Created unregistered: GadgetRegister writes the number later.
    auto identifier = reinterpret_cast<HMENU>(static_cast<intptr_t>(GadgetNoIdentifier));
    return CreateWindowExA(exStyle, className, text, style, x, y, width, height, state->frame.current, identifier,
                           InstanceHandle, nullptr);
}

GadgetObject* GadgetAllocate(ObjectId number, HWND control)
{
    auto* object = static_cast<GadgetObject*>(ObjectTableAllocate(GadgetTable, number));
    if (!object)
        DestroyWindow(control);
    return object;
}
