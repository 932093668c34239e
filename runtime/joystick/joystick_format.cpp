// The library's own copy of DirectInput's standard joystick data format and
// of the GUIDs it names, so that nothing links DirectInput's import
// libraries. <dinput.h> declares them.
#include "runtime/joystick/joystick.h"

#include <cstddef>

extern "C" {

const GUID IID_IDirectInput7A = {0x9A4CB684, 0x236D, 0x11D3, {0x8E, 0x9D, 0x00, 0xC0, 0x4F, 0x68, 0x44, 0xAE}};
const GUID IID_IDirectInputDevice7A = {0x57D7C6BC, 0x2356, 0x11D3, {0x8E, 0x9D, 0x00, 0xC0, 0x4F, 0x68, 0x44, 0xAE}};

const GUID GUID_XAxis = {0xA36D02E0, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_YAxis = {0xA36D02E1, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_ZAxis = {0xA36D02E2, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_RxAxis = {0xA36D02F4, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_RyAxis = {0xA36D02F5, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_RzAxis = {0xA36D02E3, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_Slider = {0xA36D02E4, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_POV = {0xA36D02F2, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

}  // extern "C"

namespace {

constexpr DWORD AxisType = DIDFT_AXIS | DIDFT_ANYINSTANCE | DIDFT_OPTIONAL;
constexpr DWORD PovType = DIDFT_POV | DIDFT_ANYINSTANCE | DIDFT_OPTIONAL;
constexpr DWORD ButtonType = DIDFT_BUTTON | DIDFT_ANYINSTANCE | DIDFT_OPTIONAL;

#define JOYSTICK_BUTTON(n) {nullptr, offsetof(DIJOYSTATE, rgbButtons) + (n), ButtonType, 0}

DIOBJECTDATAFORMAT joystickObjects[] = {
    {&GUID_XAxis, offsetof(DIJOYSTATE, lX), AxisType, DIDOI_ASPECTPOSITION},
    {&GUID_YAxis, offsetof(DIJOYSTATE, lY), AxisType, DIDOI_ASPECTPOSITION},
    {&GUID_ZAxis, offsetof(DIJOYSTATE, lZ), AxisType, DIDOI_ASPECTPOSITION},
    {&GUID_RxAxis, offsetof(DIJOYSTATE, lRx), AxisType, DIDOI_ASPECTPOSITION},
    {&GUID_RyAxis, offsetof(DIJOYSTATE, lRy), AxisType, DIDOI_ASPECTPOSITION},
    {&GUID_RzAxis, offsetof(DIJOYSTATE, lRz), AxisType, DIDOI_ASPECTPOSITION},
    {&GUID_Slider, offsetof(DIJOYSTATE, rglSlider) + 0, AxisType, DIDOI_ASPECTPOSITION},
    {&GUID_Slider, offsetof(DIJOYSTATE, rglSlider) + 4, AxisType, DIDOI_ASPECTPOSITION},
    {&GUID_POV, offsetof(DIJOYSTATE, rgdwPOV) + 0, PovType, 0},
    {&GUID_POV, offsetof(DIJOYSTATE, rgdwPOV) + 4, PovType, 0},
    {&GUID_POV, offsetof(DIJOYSTATE, rgdwPOV) + 8, PovType, 0},
    {&GUID_POV, offsetof(DIJOYSTATE, rgdwPOV) + 12, PovType, 0},
    JOYSTICK_BUTTON(0), JOYSTICK_BUTTON(1), JOYSTICK_BUTTON(2), JOYSTICK_BUTTON(3),
    JOYSTICK_BUTTON(4), JOYSTICK_BUTTON(5), JOYSTICK_BUTTON(6), JOYSTICK_BUTTON(7),
    JOYSTICK_BUTTON(8), JOYSTICK_BUTTON(9), JOYSTICK_BUTTON(10), JOYSTICK_BUTTON(11),
    JOYSTICK_BUTTON(12), JOYSTICK_BUTTON(13), JOYSTICK_BUTTON(14), JOYSTICK_BUTTON(15),
    JOYSTICK_BUTTON(16), JOYSTICK_BUTTON(17), JOYSTICK_BUTTON(18), JOYSTICK_BUTTON(19),
    JOYSTICK_BUTTON(20), JOYSTICK_BUTTON(21), JOYSTICK_BUTTON(22), JOYSTICK_BUTTON(23),
    JOYSTICK_BUTTON(24), JOYSTICK_BUTTON(25), JOYSTICK_BUTTON(26), JOYSTICK_BUTTON(27),
    JOYSTICK_BUTTON(28), JOYSTICK_BUTTON(29), JOYSTICK_BUTTON(30), JOYSTICK_BUTTON(31),
};

static_assert(sizeof(joystickObjects) / sizeof(joystickObjects[0]) == 44, "44 joystick objects");
static_assert(sizeof(DIJOYSTATE) == 80, "DIJOYSTATE is 80 bytes");

}  // namespace

extern "C" const DIDATAFORMAT c_dfDIJoystick = {
    sizeof(DIDATAFORMAT),
    sizeof(DIOBJECTDATAFORMAT),
    DIDF_ABSAXIS,
    sizeof(DIJOYSTATE),
    sizeof(joystickObjects) / sizeof(joystickObjects[0]),
    joystickObjects,
};
