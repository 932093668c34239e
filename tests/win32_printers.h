// Printers for GoogleTest, found by argument-dependent lookup: a failed
// comparison of window handles or GUIDs shows their values, not bytes.
#pragma once

#include <windows.h>

#include <cstdio>
#include <ostream>

inline void PrintTo(HWND window, std::ostream* os)
{
    char className[64] = "";
    if (window && !GetClassNameA(window, className, sizeof className))
        snprintf(className, sizeof className, "no window");
    *os << "HWND " << static_cast<const void*>(window);
    if (window)
        *os << " (" << className << ")";
}

inline void PrintTo(const GUID& guid, std::ostream* os)
{
    char text[40];
    snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
             static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
             guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    *os << text;
}
