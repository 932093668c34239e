// Which of the five mapped keys an observed event stream leaves down, and
// whether each event is one the key mapping may inject at that point.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/key_observer.h"

// One bit per mapped key.
constexpr unsigned KeyUp = 1, KeyDown = 2, KeyLeft = 4, KeyRight = 8, KeySpace = 16;

struct KeyTracker {
    unsigned down;       // Key* bits
    long downs, ups;     // events seen
    std::string fault;   // the first malformed event, empty while none
};

unsigned KeyBitOf(BYTE vk);  // 0 for a key the mapping never injects
// Takes events in the order observed; a key-up of a key not down, a key
// the mapping does not inject or a wrong scan code or flag is a fault.
void KeyTrackerAdd(KeyTracker& tracker, const std::vector<KeyEvent>& events);
// The keys a settled pad holds: those of its active directions and button.
unsigned KeysActive(LONG x, LONG y, bool button);
// A held direction goes up only when its axis reads 0, so the opposite
// side of an active direction may still be down.
unsigned KeysMayStayDown(unsigned active);
std::string KeyNames(unsigned keys);
