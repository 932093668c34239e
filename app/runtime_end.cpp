#include "app/runtime_end.h"

#include "runtime/core/heaps.h"
#include "runtime/font/font.h"
#include "runtime/gadget/gadget_registry.h"
#include "runtime/joystick/joystick.h"
#include "runtime/window/window.h"

void RuntimeEnd()
{
    JoystickEndAll();
    GadgetEnd();
    WindowEndAll();
    FontEndAll();
    ListHeapEnd();
}
