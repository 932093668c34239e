#include "runtime/window/window_table.h"

#include "runtime/core/property_names.h"

ObjectTable* WindowTable = nullptr;

WindowObject* WindowLookup(ObjectId number)
{
    return static_cast<WindowObject*>(ObjectTableLookup(WindowTable, number));
}

ObjectId WindowOfHandle(HWND window)
{
    // The property holds the number plus one, so that window 0 has one.
    return reinterpret_cast<ObjectId>(GetPropA(window, WindowIdProperty)) - 1;
}
