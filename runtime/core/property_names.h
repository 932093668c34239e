// Window properties that tie a window handle to the runtime's records. The
// window and gadget libraries both read them, so they live below both.
#pragma once

// On every library window: the window number plus one, so that window 0
// is told apart from a missing property.
constexpr const char* WindowIdProperty = "Nimb_WindowID";
// On every registered control: the gadget number, equal to its GWL_ID.
constexpr const char* GadgetIdProperty = "Nimb_ID";
// Set on a window or control registered for drag and drop.
constexpr const char* DropAcceptProperty = "Nimb_DropAccept";
// On a window that is an MDI child: its MDI client gadget.
constexpr const char* MdiGadgetProperty = "Nimb_MDI_Gadget";
