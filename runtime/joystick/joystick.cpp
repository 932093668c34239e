#include "runtime/joystick/joystick.h"

#include "runtime/core/instance.h"
#include "runtime/core/system_library.h"

namespace {

constexpr DWORD DirectInputVersion = 0x0700;
constexpr int32_t JoystickGrowthStep = 16;
constexpr LONG AxisRange = 1000;
constexpr LONG AxisThreshold = 500;
constexpr BYTE ButtonPressed = 0x80;
constexpr int ButtonCount = 32;

struct JoystickObject {
    IDirectInputDevice7A* device;  // non-zero exactly while the joystick is live
    DIJOYSTATE state;
};

HMODULE directInputLibrary;
IDirectInput7A* directInputObject;
int directInputUsers;
IDirectInput7A* directInputAvailable;
ObjectTable* joystickTable;
int joystickCount;

JoystickObject* JoystickLookup(ObjectId joystick)
{
    return static_cast<JoystickObject*>(ObjectTableLookup(joystickTable, joystick));
}

HRESULT SetAxisRange(IDirectInputDevice7A* device, DWORD axisOffset)
{
    DIPROPRANGE range = {};
    range.diph.dwSize = sizeof(DIPROPRANGE);
    range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    range.diph.dwObj = axisOffset;
    range.diph.dwHow = DIPH_BYOFFSET;
    range.lMin = -AxisRange;
    range.lMax = AxisRange;
    return device->SetProperty(DIPROP_RANGE, &range.diph);
}

int AxisDirection(LONG v)
{
    if (v < -AxisThreshold)
        return -1;
    if (v > AxisThreshold)
        return 1;
    return 0;
}

IDirectInput7A* DirectInputOpen()
{
    if (!directInputObject) {
        directInputLibrary = SystemLibraryLoad(DirectInputLibrary);
        if (directInputLibrary) {
            auto create = SystemLibraryFunction<DirectInputCreateExFunction>(directInputLibrary, "DirectInputCreateEx");
            if (create)
                create(InstanceHandle, DirectInputVersion, IID_IDirectInput7A,
                       reinterpret_cast<void**>(&directInputObject), nullptr);
        }
    }
    ++directInputUsers;
    return directInputObject;
}

void DirectInputClose()
{
    --directInputUsers;
    if (directInputObject && directInputUsers == 0) {
        directInputObject->Release();
        FreeLibrary(directInputLibrary);
        directInputObject = nullptr;
    }
}

BOOL CALLBACK JoystickSetUpDevice(const DIDEVICEINSTANCEA* instance, void* context)
{
    auto* directInput = static_cast<IDirectInput7A*>(context);
    IDirectInputDevice7A* device = nullptr;
    if (directInput->CreateDeviceEx(instance->guidInstance, IID_IDirectInputDevice7A,
                                    reinterpret_cast<void**>(&device), nullptr) != DI_OK)
        return DIENUM_CONTINUE;

    auto* joystick = static_cast<JoystickObject*>(ObjectTableAllocate(joystickTable, joystickCount));
    if (!joystick || device->SetDataFormat(&c_dfDIJoystick) != DI_OK ||
        SetAxisRange(device, DIJOFS_X) != DI_OK || SetAxisRange(device, DIJOFS_Y) != DI_OK) {
        // The number stays free for the next device.
        device->Release();
        return DIENUM_CONTINUE;
    }

    ++joystickCount;
    joystick->device = device;
    device->Acquire();
    return DIENUM_CONTINUE;
}

void JoystickRelease(ObjectId id)
{
    JoystickObject* joystick = JoystickLookup(id);
    if (!joystick)
        return;
    joystick->device->Release();
    ObjectTableRelease(joystickTable, id);
}

}  // namespace

int DirectInputUsers()
{
    return directInputUsers;
}

int JoystickInit()
{
    if (!joystickTable) {
        directInputAvailable = DirectInputOpen();
        joystickTable = ObjectTableNew(sizeof(JoystickObject), JoystickGrowthStep, JoystickRelease);
    } else {
        ObjectTableReleaseAll(joystickTable);
    }
    // Without DirectInput, or a table, there is nothing to enumerate.
    if (!directInputAvailable || !directInputObject || !joystickTable)
        return 0;

    joystickCount = 0;
    if (directInputObject->EnumDevices(DIDEVTYPE_JOYSTICK, JoystickSetUpDevice, directInputObject,
                                       DIEDFL_ATTACHEDONLY) != DI_OK)
        return 0;
    return joystickCount;
}

int JoystickExamine(ObjectId id)
{
    JoystickObject* joystick = JoystickLookup(id);
    if (!joystick)
        return 0;
    joystick->device->Poll();
    if (joystick->device->GetDeviceState(sizeof(DIJOYSTATE), &joystick->state) == DI_OK)
        return 1;
    // Acquisition is repaired lazily: the next examine reads again.
    joystick->device->Acquire();
    return 0;
}

int JoystickReadAxisX(ObjectId id)
{
    JoystickObject* joystick = JoystickLookup(id);
    return joystick ? AxisDirection(joystick->state.lX) : 0;
}

int JoystickReadAxisY(ObjectId id)
{
    JoystickObject* joystick = JoystickLookup(id);
    return joystick ? AxisDirection(joystick->state.lY) : 0;
}

int JoystickReadButton(ObjectId id, int button)
{
    if (button < 1 || button > ButtonCount)
        return 0;
    JoystickObject* joystick = JoystickLookup(id);
    return joystick ? joystick->state.rgbButtons[button - 1] & ButtonPressed : 0;
}

void JoystickEndAll()
{
    if (!joystickTable)
        return;
    ObjectTableReleaseAll(joystickTable);
    DirectInputClose();
    // The table lies in the MainHeap, which goes next.
    joystickTable = nullptr;
}
