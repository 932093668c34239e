// Keyvane's entry routine: start the runtime, open the pad, build window 0,
// run the loop, end the runtime and exit with code 0 on every path.
#include <windows.h>

#include "app/crash_release.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/timer_resolution.h"
#include "runtime/core/system_library.h"
#include "runtime/image/png_decoder.h"
#include "runtime/joystick/joystick.h"
#include "runtime/runtime.h"
#include "runtime/window/message_box.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SystemLibrarySearchSystemFolderOnly();
    // Keyvane takes no arguments: the command line is not read. Once the
    // filter is set, a crash anywhere still lets go of the held keys.
    CrashReleaseInstall();
    RuntimeStart();
    if (!JoystickInit()) {
        MessageBoxShow("Error", "Unable to open DirectX 7 (or better) or no joysticks are available.", 0);
    } else {
        PowerThrottlingOptOut();
        PngDecoderRegister();
        if (MainWindowBuild())
            MainLoop();
    }
    RuntimeEnd();
    ExitProcess(0);
}
