// Window 0 and its gadgets: the fixed assignments, the suspend check box,
// the edition panel, help and purchase.
#pragma once

#include <cstdint>

#include "runtime/core/object_table.h"

constexpr ObjectId MainWindow = 0;
constexpr ObjectId EditionPanel = 0;
constexpr ObjectId SuspendCheckBox = 35;
constexpr ObjectId HelpButton = 36;
constexpr ObjectId PurchaseButton = 40;
constexpr ObjectId CaptionFont = 0;

// Opens window 0 and builds its gadgets; WindowOpen's result, 0 when the
// window could not be opened (then nothing else is built).
intptr_t MainWindowBuild();
