#include "tests/soak/key_tracker.h"

namespace {

// Beyond this deflection an axis counts as pushed.
constexpr LONG Deflected = 500;

}  // namespace

unsigned KeyBitOf(BYTE vk)
{
    switch (vk) {
    case VK_UP:
        return KeyUp;
    case VK_DOWN:
        return KeyDown;
    case VK_LEFT:
        return KeyLeft;
    case VK_RIGHT:
        return KeyRight;
    case VK_SPACE:
        return KeySpace;
    }
    return 0;
}

void KeyTrackerAdd(KeyTracker& tracker, const std::vector<KeyEvent>& events)
{
    for (const KeyEvent& event : events) {
        const unsigned bit = KeyBitOf(event.vk);
        const bool up = event.flags & KEYEVENTF_KEYUP;
        const bool wellFormed = up ? event == Up(event.vk)
                                   : event == (event.vk == VK_SPACE ? SpaceDown : Down(event.vk));
        std::string fault;
        if (!bit || !wellFormed)
            fault = "an event the mapping never injects";
        else if (up && !(tracker.down & bit))
            fault = "a key-up of " + KeyNames(bit) + ", which was not down";
        if (!fault.empty() && tracker.fault.empty()) {
            char detail[96];
            wsprintfA(detail, " (vk 0x%02X scan 0x%02X flags 0x%lX)", event.vk, event.scan, event.flags);
            tracker.fault = fault + detail;
        }
        if (up) {
            tracker.down &= ~bit;
            ++tracker.ups;
        } else {
            tracker.down |= bit;
            ++tracker.downs;
        }
    }
}

unsigned KeysActive(LONG x, LONG y, bool button)
{
    return (y < -Deflected ? KeyUp : 0) | (y > Deflected ? KeyDown : 0) | (x < -Deflected ? KeyLeft : 0) |
           (x > Deflected ? KeyRight : 0) | (button ? KeySpace : 0);
}

unsigned KeysMayStayDown(unsigned active)
{
    unsigned opposite = 0;
    if (active & KeyUp)
        opposite |= KeyDown;
    if (active & KeyDown)
        opposite |= KeyUp;
    if (active & KeyLeft)
        opposite |= KeyRight;
    if (active & KeyRight)
        opposite |= KeyLeft;
    return active | opposite;
}

std::string KeyNames(unsigned keys)
{
    static const char* const names[] = {"Up", "Down", "Left", "Right", "Space"};
    std::string out;
    for (unsigned i = 0; i < 5; ++i) {
        if (keys & (1u << i))
            out += (out.empty() ? "" : "+") + std::string(names[i]);
    }
    return out.empty() ? "none" : out;
}
