// Names the window library gives to classes and properties.
#pragma once

#include <cstdio>

#include "runtime/core/object_table.h"

constexpr const char* WindowIdProperty = "Nimb_WindowID";
constexpr const char* DropAcceptProperty = "Nimb_DropAccept";
constexpr const char* MdiGadgetProperty = "Nimb_MDI_Gadget";

struct WindowClassName {
    char text[32];
};

// "WindowClass_%d": an AutoNumber handle prints as a signed decimal.
inline WindowClassName WindowClassNameOf(ObjectId number)
{
    WindowClassName name;
    snprintf(name.text, sizeof name.text, "WindowClass_%d", static_cast<int>(number));
    return name;
}
