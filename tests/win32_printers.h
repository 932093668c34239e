// A printer for GoogleTest, found by argument-dependent lookup: a failed
// comparison of window handles shows their values and classes, not bytes.
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
