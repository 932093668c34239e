#include "app/key_mapping.h"

#include <windows.h>

#include "app/key_target.h"
#include "runtime/joystick/joystick.h"

std::atomic<int> upHeld;
std::atomic<int> downHeld;
std::atomic<int> leftHeld;
std::atomic<int> rightHeld;
std::atomic<int> spaceHeld;

namespace {

constexpr ObjectId MappedJoystick = 0;
constexpr int MappedButton = 1;

// What one rule reads from the snapshot.
enum class Source { AxisY, AxisX, Button };

struct KeyRule {
    Source source;
    int activeValue;  // for the button: any non-zero read
    BYTE key;
    BYTE scan;
    DWORD flags;  // KEYEVENTF_EXTENDEDKEY or 0, on key-down and key-up alike
    std::atomic<int>* held;
};

// Games that read the keyboard by scan code (DirectInput's keyboard, raw
// input, the scan-code bits of WM_KEYDOWN) see only keys that carry a real
// one. These are the codes a keyboard sends for these keys on every layout,
// so they are fixed here, not looked up: the arrows are the extended
// (0xE0-prefixed) 0x48, 0x50, 0x4B and 0x4D, Space the plain 0x39. The
// key-up carries the same code and flag, or the game never sees it go up.
constexpr BYTE ScanUp = 0x48;
constexpr BYTE ScanDown = 0x50;
constexpr BYTE ScanLeft = 0x4B;
constexpr BYTE ScanRight = 0x4D;
constexpr BYTE ScanSpace = 0x39;

const KeyRule keyRules[] = {
    {Source::AxisY, -1, VK_UP, ScanUp, KEYEVENTF_EXTENDEDKEY, &upHeld},
    {Source::AxisY, +1, VK_DOWN, ScanDown, KEYEVENTF_EXTENDEDKEY, &downHeld},
    {Source::AxisX, -1, VK_LEFT, ScanLeft, KEYEVENTF_EXTENDEDKEY, &leftHeld},
    {Source::AxisX, +1, VK_RIGHT, ScanRight, KEYEVENTF_EXTENDEDKEY, &rightHeld},
    {Source::Button, 1, VK_SPACE, ScanSpace, 0, &spaceHeld},
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
    keybd_event(rule.key, rule.scan, rule.flags | KEYEVENTF_KEYUP, InjectedKeyTag);
    *rule.held = 0;
}

// The flag goes up first: a crash filter that runs meanwhile on another
// thread then sends a key-up too many, which is harmless, never one too
// few. A crash marked while the key went down is answered here.
void KeyDown(const KeyRule& rule)
{
    *rule.held = 1;
    keybd_event(rule.key, rule.scan, rule.flags, InjectedKeyTag);
    if (KeyTargetCrashed())
        KeyUp(rule);
}

}  // namespace

void KeyMappingPoll()
{
    // A pad that cannot be read (unplugged, acquisition lost) counts as
    // centred with the button up: the last snapshot must not keep pressing.
    // Nor may Keyvane's own window take the keys: Space would click the
    // gadget that has the focus there.
    if (!JoystickExamine(MappedJoystick) || !KeyTargetIsGame()) {
        KeyMappingReleaseHeld();
        return;
    }
    for (const KeyRule& rule : keyRules) {
        if (IsActive(rule, ReadSource(rule.source)))
            KeyDown(rule);
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
