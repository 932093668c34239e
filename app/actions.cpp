#include "app/actions.h"

#include <windows.h>
#include <shellapi.h>

#include "runtime/core/strings.h"
#include "runtime/window/message_box.h"

char* purchaseAddress = nullptr;

namespace {

// Its lines joined by CR LF.
constexpr const char* HelpText =
    "''ComboBoxes'' - Allows you to change the key values\r\n"
    " for each joy axis and buttons.\r\n"
    "\r\n"
    "''Disable'' - Stops the gamepad/joystick from controlling\r\n"
    " the keyboard.\r\n"
    "\r\n"
    "''Create''  - Create and save a game setting.\r\n"
    "\r\n"
    "''Save'' - Save edited settings to a current game setting.\r\n"
    "\r\n"
    "''Delete'' - Delete a selected game setting.\r\n"
    "\r\n"
    "''Initialize Gamepad'' - Use your mouse and click on the\r\n"
    " game screen to initialize gamepad control. Just like you\r\n"
    " would if you were using the keyboard to play.\r\n"
    "\r\n"
    "Created By: The Keyvane Project\r\n"
    "https://keyvane.example/\r\n"
    "Keyvane Lite is free to use and to share.";

}  // namespace

bool PurchaseAddressIntact(const char* address)
{
    return StringLength(address) == PurchaseAddressLength && AddressHash(address) == PurchaseAddressHash;
}

void HelpAction()
{
    MessageBoxShow("Help", HelpText, 0);
}

void PurchaseAction()
{
    StringAssign(&purchaseAddress, PurchasePageAddress);
    if (!PurchaseAddressIntact(purchaseAddress))
        return;
    ShellExecuteA(nullptr, "open", purchaseAddress, "", "", SW_SHOWNORMAL);
}
