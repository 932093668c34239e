#include "runtime/gadget/gadget_registry.h"

#include <commctrl.h>
#include <ole2.h>

#include "runtime/gadget/gadget_list.h"

ObjectTable* GadgetTable = nullptr;
CRITICAL_SECTION GadgetBrushCacheLock;
EventPumpRoutine GadgetEventPump = nullptr;

namespace {

constexpr int32_t GadgetGrowthStep = 50;
constexpr DWORD GadgetControlClasses =
    ICC_TAB_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_INTERNET_CLASSES;
static_assert(GadgetControlClasses == 0x0B08, "the classes the kinds rely on");

void GadgetFreeRoutine(ObjectId number)
{
    GadgetFree(number);
}

}  // namespace

void GadgetInit()
{
    InitializeCriticalSection(&GadgetBrushCacheLock);
    defaultGuiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    GadgetTable = ObjectTableNew(sizeof(GadgetObject), GadgetGrowthStep, GadgetFreeRoutine);
    GadgetListStateCreate();
    INITCOMMONCONTROLSEX classes = {sizeof classes, GadgetControlClasses};
    InitCommonControlsEx(&classes);
}

void GadgetEnd()
{
    GadgetListState* state = GadgetListStateGet();
    if (state && state->libraryWindow) {
        DestroyWindow(state->libraryWindow);
        state->libraryWindow = nullptr;
    }
}

intptr_t GadgetRegister(ObjectId number, GadgetObject* object, HWND control, GadgetKindTable* kindTable)
{
    const bool automatic = number == AutoNumber;
    if (automatic)
        number = reinterpret_cast<ObjectId>(object);
    object->window = control;
    object->kind = kindTable;
    object->previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GadgetWindowProc)));
    SetWindowLongPtrA(control, GWLP_ID, number);
    SetPropA(control, GadgetIdProperty, reinterpret_cast<HANDLE>(number));
    GadgetListState* state = GadgetListStateGet();
    HFONT font = state ? state->defaultFont : defaultGuiFont;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return automatic ? number : reinterpret_cast<intptr_t>(control);
}

LRESULT CALLBACK GadgetWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ObjectId number = GetWindowLongPtrA(hwnd, GWLP_ID);
    if (number == GadgetNoIdentifier)
        return DefWindowProcA(hwnd, message, wParam, lParam);

    auto* gadget = GadgetLookup(number);
    if (!gadget || gadget->window != hwnd) {
        // Someone changed the identifier: this is no gadget we can tear
        // down, but the control still works through its class procedure.
        auto classProc = reinterpret_cast<WNDPROC>(GetClassLongPtrA(hwnd, GCLP_WNDPROC));
        return CallWindowProcA(classProc, hwnd, message, wParam, lParam);
    }

    LRESULT result = CallWindowProcA(gadget->previousProc, hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The previous procedure may have made gadgets and moved the slots.
        gadget = GadgetLookup(number);
        if (gadget && gadget->kind && gadget->kind->release)
            gadget->kind->release(gadget);
        RemovePropA(hwnd, GadgetIdProperty);
        // Marks a control registered as an OLE drop target.
        if (RemovePropA(hwnd, DropAcceptProperty))
            RevokeDragDrop(hwnd);
        SetWindowLongPtrA(hwnd, GWLP_ID, GadgetNoIdentifier);
        ObjectTableRelease(GadgetTable, number);
    }
    return result;
}

GadgetObject* GadgetLookup(ObjectId number)
{
    return static_cast<GadgetObject*>(ObjectTableLookup(GadgetTable, number));
}

int32_t GadgetFree(ObjectId number)
{
    auto* gadget = GadgetLookup(number);
    if (!gadget)
        return 0;
    return DestroyWindow(gadget->window);
}

HWND GadgetFindRootWindow(HWND window)
{
    HWND w = window;
    for (;;) {
        HWND parent = GetParent(w);
        if (!parent || GetPropA(w, WindowIdProperty))
            break;
        w = parent;
    }
    return w;
}
