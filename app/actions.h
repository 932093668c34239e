// What buttons 36 ("?") and 40 ("Purchase the Full Version") do.
#pragma once

#include <cstdint>

#include "app/purchase_address.h"

// Null until the first purchase click, then the purchase page address.
extern char* purchaseAddress;

// The help text in a message box modal for the whole thread.
void HelpAction();
// Opens the purchase page with the shell, unless the address fails its
// integrity check.
void PurchaseAction();

// True only for the exact address the program was built with.
bool PurchaseAddressIntact(const char* address);
