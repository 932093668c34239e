#include "tests/gadget/probe_gadget.h"

#include "runtime/core/instance.h"
#include "runtime/gadget/gadget_creation.h"
#include "runtime/gadget/gadget_list.h"
#include "runtime/gadget/gadget_registry.h"
#include "tests/support/runtime_heaps.h"

GadgetKindTable ProbeKindTable;
int ProbeTableFills = 0;
std::vector<ProbeRelease> ProbeReleases;

namespace {

bool probeFilled = false;

void ProbeReleaseRoutine(GadgetObject* gadget)
{
    ObjectId number = GetWindowLongA(gadget->window, GWL_ID);
    bool live = ObjectTableLookup(GadgetTable, number) == gadget;
    ProbeReleases.push_back({gadget, gadget->window, live});
}

}  // namespace

intptr_t GadgetCreateProbe(ObjectId number, int x, int y, int width, int height, const char* text)
{
    if (!probeFilled) {
        GadgetKindTableReset(&ProbeKindTable, ProbeKindCode);
        ProbeKindTable.release = ProbeReleaseRoutine;
        ++ProbeTableFills;
        probeFilled = true;
    }
    if (!text)
        text = "";
    HWND control = GadgetCreateWindow(0, "Button", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, y, width, height);
    if (!control)
        return 0;
    GadgetObject* object = GadgetAllocate(number, control);
    if (!object)
        return 0;
    object->kindWords[0] = ProbeMarker;
    return GadgetRegister(number, object, control, &ProbeKindTable);
}

void EnsureGadgetLibrary()
{
    static bool started;
    if (started)
        return;
    started = true;
    EnsureRuntimeHeaps();
    InstanceHandle = GetModuleHandleA(nullptr);
    GadgetInit();
}
