#include "runtime/core/system_library.h"

HMODULE SystemLibraryLoad(const char* name)
{
    char path[MAX_PATH];
    // Without the zero on success; the size it needs when it does not fit.
    const UINT folder = GetSystemDirectoryA(path, MAX_PATH);
    const int nameLength = lstrlenA(name);
    if (folder == 0 || folder + 1 + nameLength >= MAX_PATH)
        return nullptr;
    path[folder] = '\\';
    lstrcpyA(path + folder + 1, name);
    return LoadLibraryA(path);
}
