// Messages by which other parts of the runtime report to a library window:
// the gadget library sends them, the window library receives them.
#pragma once

#include <windows.h>

// Private message numbers (above WM_USER): no system message uses them.

constexpr UINT ItemClickMessage = 12501;       // posted again as ItemClickPosted
constexpr UINT ItemClickPosted = 12502;
constexpr UINT GadgetFocusMessage = 13103;     // wParam gadget, lParam FocusGained/FocusLost
constexpr UINT DataMessage = 13105;            // lParam an event data record
constexpr UINT GadgetDataMessage = 13106;      // wParam gadget, lParam an event data record
constexpr UINT GadgetForwardedMessage = 13120; // forwarded to the gadget in lParam
constexpr int FocusGained = 14000;
constexpr int FocusLost = 14001;
