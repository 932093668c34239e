// The least program of Keyvane's design, for the bench to measure Keyvane
// against: DirectInput 7 loaded at run time, joystick 0 in the standard
// format with X and Y from -1000 to 1000, one snapshot on every pass whose
// 10 ms message wait ran out, and the same five key rules. An empty window
// stands in for Keyvane's so that both receive the same traffic; there is
// nothing else.
//
// Built with BARE_WINDOW it is bare_window.exe: the same window and wait
// without the pad, what Wine costs any program of this shape, the floor
// under both.
#define DIRECTINPUT_VERSION 0x0700
#include <windows.h>

#include <dinput.h>

namespace {

constexpr DWORD PassTimeoutMs = 10;
constexpr LONG AxisRange = 1000;
constexpr LONG AxisThreshold = 500;
constexpr BYTE ButtonPressed = 0x80;
// The bench finds the window by this class.
#ifdef BARE_WINDOW
constexpr char WindowClassName[] = "BareWindow";
constexpr bool UsesPad = false;
#else
constexpr char WindowClassName[] = "ReferenceMapper";
constexpr bool UsesPad = true;
#endif

using CreateRoutine = HRESULT(WINAPI*)(HINSTANCE, DWORD, REFIID, LPVOID*, LPUNKNOWN);

struct KeyRule {
    BYTE vk;
    BYTE downScan;
    DWORD downFlags;
    bool held;
};

KeyRule rules[] = {
    {VK_UP, 0, 0, false},
    {VK_DOWN, 0, 0, false},
    {VK_LEFT, 0, 0, false},
    {VK_RIGHT, 0, 0, false},
    {VK_SPACE, 0x20, KEYEVENTF_EXTENDEDKEY, false},
};

IDirectInputDevice7A* device;

BOOL CALLBACK TakeFirst(const DIDEVICEINSTANCEA* instance, void* context)
{
    auto* input = static_cast<IDirectInput7A*>(context);
    if (input->CreateDeviceEx(instance->guidInstance, IID_IDirectInputDevice7A, reinterpret_cast<void**>(&device),
                              nullptr) != DI_OK)
        return DIENUM_CONTINUE;
    return DIENUM_STOP;
}

void SetRange(DWORD offset)
{
    DIPROPRANGE range = {};
    range.diph.dwSize = sizeof range;
    range.diph.dwHeaderSize = sizeof range.diph;
    range.diph.dwObj = offset;
    range.diph.dwHow = DIPH_BYOFFSET;
    range.lMin = -AxisRange;
    range.lMax = AxisRange;
    device->SetProperty(DIPROP_RANGE, &range.diph);
}

bool OpenJoystick(HINSTANCE instance)
{
    HMODULE library = LoadLibraryA("DINPUT.DLL");
    auto create = library ? reinterpret_cast<CreateRoutine>(
                                reinterpret_cast<void*>(GetProcAddress(library, "DirectInputCreateEx")))
                          : nullptr;
    IDirectInput7A* input = nullptr;
    if (!create || create(instance, DIRECTINPUT_VERSION, IID_IDirectInput7A, reinterpret_cast<void**>(&input),
                          nullptr) != DI_OK)
        return false;
    input->EnumDevices(DIDEVTYPE_JOYSTICK, TakeFirst, input, DIEDFL_ATTACHEDONLY);
    if (!device || device->SetDataFormat(&c_dfDIJoystick) != DI_OK)
        return false;
    SetRange(DIJOFS_X);
    SetRange(DIJOFS_Y);
    device->Acquire();
    return true;
}

int Direction(LONG v)
{
    return v < -AxisThreshold ? -1 : v > AxisThreshold ? 1 : 0;
}

void Apply(KeyRule& rule, bool active, bool centred)
{
    if (active) {
        keybd_event(rule.vk, rule.downScan, rule.downFlags, 0);
        rule.held = true;
    } else if (rule.held && centred) {
        keybd_event(rule.vk, 0, KEYEVENTF_KEYUP, 0);
        rule.held = false;
    }
}

void Poll()
{
    DIJOYSTATE state = {};
    device->Poll();
    if (device->GetDeviceState(sizeof state, &state) != DI_OK) {
        device->Acquire();
        return;
    }
    const int x = Direction(state.lX), y = Direction(state.lY);
    const bool button = state.rgbButtons[0] & ButtonPressed;
    Apply(rules[0], y == -1, y == 0);
    Apply(rules[1], y == 1, y == 0);
    Apply(rules[2], x == -1, x == 0);
    Apply(rules[3], x == 1, x == 0);
    Apply(rules[4], button, !button);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

bool OpenWindow(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = WindowClassName;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA(WindowClassName, WindowClassName, WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                                CW_USEDEFAULT, 320, 200, nullptr, nullptr, instance, nullptr);
    return window != nullptr;
}

}  // namespace

int main()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!OpenWindow(instance) || (UsesPad && !OpenJoystick(instance)))
        return 1;
    for (;;) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (MsgWaitForMultipleObjects(0, nullptr, FALSE, PassTimeoutMs, QS_ALLINPUT) == WAIT_TIMEOUT) {
                if (UsesPad)
                    Poll();
                continue;
            }
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                continue;
        }
        if (msg.message == WM_QUIT)
            return 0;
        DispatchMessageA(&msg);
    }
}
