// Result of a message handler that leaves the message to default processing.
// Odd, so no handle, brush or pointer a real handler returns can equal it.
#pragma once

#include <windows.h>

constexpr LRESULT NotHandled = static_cast<LRESULT>(0xD0D0D0D1u);
