#include "runtime/runtime.h"

#include <windows.h>

#include "runtime/core/heaps.h"
#include "runtime/core/instance.h"
#include "runtime/core/strings.h"
#include "runtime/font/font.h"
#include "runtime/gadget/gadget_list.h"
#include "runtime/gadget/gadget_registry.h"
#include "runtime/image/image_decoder.h"
#include "runtime/joystick/joystick.h"
#include "runtime/window/live_sizing.h"
#include "runtime/window/window.h"

namespace {

// Only a first block: the heap grows as the tables do.
constexpr SIZE_T MainHeapInitialSize = 4096;

}  // namespace

void RuntimeStart()
{
    InstanceHandle = GetModuleHandleA(nullptr);
    MainHeap = HeapCreate(0, MainHeapInitialSize, 0);
    StringInit();
    ListHeapInit();
    FontInit();
    WindowInit();
    GadgetInit();
    ImageDecoderRegistryInit();
    GuiInit();
}

void RuntimeEnd()
{
    JoystickEndAll();
    GadgetEnd();
    WindowEndAll();
    FontEndAll();
    ListHeapEnd();
    // Every table and state record lies in the MainHeap: none is read once
    // it is gone, and a second RuntimeStart makes them afresh.
    WindowTable = GadgetTable = FontTable = nullptr;
    sizingStateRecord = nullptr;
    EventStateForget();
    GadgetListStateForget();
    HeapDestroy(MainHeap);
    MainHeap = nullptr;
}
