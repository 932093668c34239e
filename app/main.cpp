// Keyvane's entry routine: start every library in order, open the pad,
// build window 0, run the loop, end the libraries and exit with code 0.
#include <windows.h>

#include "app/crash_release.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/runtime_end.h"
#include "runtime/core/heaps.h"
#include "runtime/core/instance.h"
#include "runtime/core/strings.h"
#include "runtime/font/font.h"
#include "runtime/gadget/gadget_registry.h"
#include "runtime/image/image_decoder.h"
#include "runtime/image/png_decoder.h"
#include "runtime/joystick/joystick.h"
#include "runtime/window/message_box.h"
#include "runtime/window/window.h"

namespace {

constexpr SIZE_T MainHeapInitialSize = 4096;

// The libraries in the order they depend on each other; false when the
// program cannot go on (no pad, or no window).
bool Start()
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
    if (!JoystickInit()) {
        MessageBoxShow("Error", "Unable to open DirectX 7 (or better) or no joysticks are available.", 0);
        return false;
    }
    PngDecoderRegister();
    return MainWindowBuild() != 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Keyvane takes no arguments: the command line is not read.
    CrashReleaseInstall();
    if (Start())
        MainLoop();
    RuntimeEnd();
    HeapDestroy(MainHeap);
    ExitProcess(0);
}
