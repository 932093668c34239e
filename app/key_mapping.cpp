#include "app/key_mapping.h"

#include <windows.h>

#include "runtime/joystick/joystick.h"

int upHeld;
int downHeld;
int leftHeld;
int rightHeld;
int spaceHeld;

namespace {

constexpr ObjectId MappedJoystick = 0;
constexpr int MappedButton = 1;

// What one rule reads from the snapshot.
enum class Source { AxisY, AxisX, Button };

struct KeyRule {
    Source source;
    int activeValue;  // for the button: any non-zero read
    BYTE key;
    BYTE downScan;
    DWORD downFlags;
    int* held;
};

const KeyRule keyRules[] = {
    {Source::AxisY, -1, VK_UP, 0, 0, &upHeld},
    {Source::AxisY, +1, VK_DOWN, 0, 0, &downHeld},
    {Source::AxisX, -1, VK_LEFT, 0, 0, &leftHeld},
    {Source::AxisX, +1, VK_RIGHT, 0, 0, &rightHeld},
    // Space goes down with scan code 0x20 (its virtual-key code, not its own
    // scan code 0x39) and the extended flag; every key goes up with scan 0.
    {Source::Button, 1, VK_SPACE, 0x20, KEYEVENTF_EXTENDEDKEY, &spaceHeld},
};

int ReadSource(Source source)
{
    switch (source) {
    case Source::AxisY:
        return JoystickReadAxisY(MappedJoystick);
    case Source::AxisX:
        return JoystickReadAxisX(MappedJoystick);
    case Source::Button:
        return JoystickReadButton(MappedJoystick, MappedButton);
    }
    return 0;
}

bool IsActive(const KeyRule& rule, int value)
{
    return rule.source == Source::Button ? value != 0 : value == rule.activeValue;
}

void KeyUp(const KeyRule& rule)
{
    keybd_event(rule.key, 0, KEYEVENTF_KEYUP, 0);
    *rule.held = 0;
}

}  // namespace

void KeyMappingPoll()
{
    // A pad that cannot be read (unplugged, acquisition lost) counts as
    // centred with the button up: the last snapshot must not keep pressing.
    if (!JoystickExamine(MappedJoystick)) {
        KeyMappingReleaseHeld();
        return;
    }
    for (const KeyRule& rule : keyRules) {
        if (IsActive(rule, ReadSource(rule.source))) {
            keybd_event(rule.key, rule.downScan, rule.downFlags, 0);
            *rule.held = 1;
        }
        // The opposite side is not the centre: a held key waits for 0.
        if (*rule.held && ReadSource(rule.source) == 0)
            KeyUp(rule);
    }
}

void KeyMappingReleaseHeld()
{
    for (const KeyRule& rule : keyRules) {
        if (*rule.held)
            KeyUp(rule);
    }
}
