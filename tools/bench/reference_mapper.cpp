// The least program of Keyvane's design, for the bench: DirectInput 7 loaded
// at run time, joystick 0 in the standard format with X and Y from -1000 to
// 1000, one snapshot on every pass whose 10 ms message wait ran out, the
// same five key rules, and an empty window for the same traffic. Built with
// BARE_WINDOW it is bare_window.exe: the window and the wait alone. Both
// load what Keyvane's window needs, so that working set and start-up
// measure Keyvane's own cost.
#define DIRECTINPUT_VERSION 0x0700
#include <windows.h>

#include <commctrl.h>
#include <dinput.h>
#include <objbase.h>
#include <shellapi.h>

#include "runtime/core/system_library.h"

namespace {

// SHELL32 in the import table, as Keyvane has it for its purchase page;
// never called.
decltype(&ShellExecuteA) volatile shellImport = ShellExecuteA;

// In Keyvane's order: the version 6 common controls (through Keyvane's
// manifest) and COM before the pad and the window.
void LoadWindowLibraries()
{
    InitCommonControls();
    CoInitialize(nullptr);
}

// After the window is shown, as Keyvane's edition panel loads it.
void LoadRichEdit()
{
    SystemLibraryLoad(RichEdit20Library);
}

#ifdef BARE_WINDOW
constexpr char WindowClassName[] = "BareWindow";
bool OpenJoystick(HINSTANCE) { return true; }
void Poll() {}
#else
constexpr char WindowClassName[] = "ReferenceMapper";
IDirectInputDevice7A* device;

BOOL CALLBACK TakeFirst(const DIDEVICEINSTANCEA* instance, void* input)
{
    return static_cast<IDirectInput7A*>(input)->CreateDeviceEx(instance->guidInstance, IID_IDirectInputDevice7A,
                                                                reinterpret_cast<void**>(&device), nullptr) != DI_OK;
}

bool OpenJoystick(HINSTANCE instance)
{
    // From the system folder, as Keyvane loads it.
    HMODULE library = SystemLibraryLoad(DirectInputLibrary);
    auto create =
        library ? SystemLibraryFunction<DirectInputCreateExFunction>(library, "DirectInputCreateEx") : nullptr;
    IDirectInput7A* input = nullptr;
    if (!create || create(instance, DIRECTINPUT_VERSION, IID_IDirectInput7A, reinterpret_cast<void**>(&input),
                          nullptr) != DI_OK)
        return false;
    input->EnumDevices(DIDEVTYPE_JOYSTICK, TakeFirst, input, DIEDFL_ATTACHEDONLY);
    if (!device || device->SetDataFormat(&c_dfDIJoystick) != DI_OK)
        return false;
    for (DWORD axis = DIJOFS_X; axis <= DIJOFS_Y; axis += DIJOFS_Y - DIJOFS_X) {
        DIPROPRANGE range = {{sizeof range, sizeof range.diph, axis, DIPH_BYOFFSET}, -1000, 1000};
        device->SetProperty(DIPROP_RANGE, &range.diph);
    }
    device->Acquire();
    return true;
}

// A key goes down on every poll while its control is pushed past half way
// towards it, and up once the control is back within half way of rest.
const BYTE keys[5] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_SPACE};
bool held[5];

void Poll()
{
    DIJOYSTATE s = {};
    device->Poll();
    if (device->GetDeviceState(sizeof s, &s) != DI_OK) {
        device->Acquire();
        return;
    }
    const LONG push[5] = {-s.lY, s.lY, -s.lX, s.lX, s.rgbButtons[0] & 0x80 ? 1000 : 0};
    for (int i = 0; i < 5; ++i) {
        if (push[i] > 500)
            keybd_event(keys[i], i == 4 ? 0x20 : 0, i == 4 ? KEYEVENTF_EXTENDEDKEY : 0, 0);
        else if (held[i] && push[i] >= -500)
            keybd_event(keys[i], 0, KEYEVENTF_KEYUP, 0);
        held[i] = push[i] > 500 || (held[i] && push[i] < -500);
    }
}
#endif

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const WNDCLASSA windowClass = {0, WindowProc, 0, 0, instance, nullptr, LoadCursor(nullptr, IDC_ARROW), nullptr,
                                   nullptr, WindowClassName};
    RegisterClassA(&windowClass);
    LoadWindowLibraries();
    // The pad is open before the window shows, as in Keyvane, so that a
    // shown window means a program ready to map.
    if (!OpenJoystick(instance) ||
        !CreateWindowA(WindowClassName, WindowClassName, WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                       CW_USEDEFAULT, 320, 200, nullptr, nullptr, instance, nullptr))
        return 1;
    LoadRichEdit();
    for (MSG msg;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return 0;
            DispatchMessageA(&msg);
        } else if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT) == WAIT_TIMEOUT) {
            Poll();
        }
    }
}
