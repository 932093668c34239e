// The class name the window library gives each window.
#pragma once

#include <cstdio>

#include "runtime/core/object_table.h"
#include "runtime/core/property_names.h"

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
