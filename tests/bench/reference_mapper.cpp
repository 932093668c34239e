// The least program of Keyvane's design, for the bench to measure Keyvane
// against: DirectInput 7 loaded at run time, joystick 0 in the standard
// format with X and Y from -1000 to 1000, one snapshot on every pass whose
// 10 ms message wait ran out, and the same five key rules. An empty window
// stands in for Keyvane's so that both receive the same traffic.
//
// Built with BARE_WINDOW it is bare_window.exe: the same window and wait
// without the pad, what Wine costs any program of this shape.
#define DIRECTINPUT_VERSION 0x0700
#include <windows.h>

#include <dinput.h>

namespace {

#ifdef BARE_WINDOW
constexpr char WindowClassName[] = "BareWindow";
bool OpenJoystick(HINSTANCE)
{
    return true;
}
void Poll() {}
#else
constexpr char WindowClassName[] = "ReferenceMapper";
IDirectInputDevice7A* device;

// The first joystick that opens.
BOOL CALLBACK TakeFirst(const DIDEVICEINSTANCEA* instance, void* input)
{
    return static_cast<IDirectInput7A*>(input)->CreateDeviceEx(instance->guidInstance, IID_IDirectInputDevice7A,
                                                                reinterpret_cast<void**>(&device), nullptr) != DI_OK;
}

bool OpenJoystick(HINSTANCE instance)
{
    using Create = HRESULT(WINAPI*)(HINSTANCE, DWORD, REFIID, LPVOID*, LPUNKNOWN);
    HMODULE library = LoadLibraryA("DINPUT.DLL");
    auto create = library ? reinterpret_cast<Create>(reinterpret_cast<void*>(GetProcAddress(library, "DirectInputCreateEx")))
                          : nullptr;
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

// A rule presses its key on every poll while active and lets it go once its
// control is back at rest; Space goes down with scan code 0x20, extended.
const BYTE keys[5] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_SPACE};
bool held[5];

void Poll()
{
    DIJOYSTATE state = {};
    device->Poll();
    if (device->GetDeviceState(sizeof state, &state) != DI_OK) {
        device->Acquire();
        return;
    }
    auto direction = [](LONG v) { return v < -500 ? -1 : v > 500 ? 1 : 0; };
    const int x = direction(state.lX), y = direction(state.lY), button = state.rgbButtons[0] & 0x80 ? 1 : 0;
    const bool active[5] = {y == -1, y == 1, x == -1, x == 1, button == 1};
    const bool rest[5] = {y == 0, y == 0, x == 0, x == 0, button == 0};
    for (int i = 0; i < 5; ++i) {
        if (active[i])
            keybd_event(keys[i], i == 4 ? 0x20 : 0, i == 4 ? KEYEVENTF_EXTENDEDKEY : 0, 0);
        else if (held[i] && rest[i])
            keybd_event(keys[i], 0, KEYEVENTF_KEYUP, 0);
        held[i] = active[i] || (held[i] && !rest[i]);
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
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = WindowClassName;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&windowClass);
    if (!CreateWindowA(WindowClassName, WindowClassName, WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                       CW_USEDEFAULT, 320, 200, nullptr, nullptr, instance, nullptr) ||
        !OpenJoystick(instance))
        return 1;
    for (MSG msg;;) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT) == WAIT_TIMEOUT)
                Poll();
            continue;
        }
        if (msg.message == WM_QUIT)
            return 0;
        DispatchMessageA(&msg);
    }
}
