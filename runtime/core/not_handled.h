// Result of a message handler that leaves the message to default processing.
#pragma once

#include <windows.h>

constexpr LRESULT NotHandled = static_cast<LRESULT>(0xD0D0D0D1u);
