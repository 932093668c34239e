// Messages by which other parts of the runtime report to a library window,
// and the pump that serves them: the gadget library sends and pumps, the
// window library receives and defines the pump.
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

// Dispatches every waiting message and reports none of what they produced.
int EventPumpPending();
