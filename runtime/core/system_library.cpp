#include "runtime/core/system_library.h"

void SystemLibrarySearchSystemFolderOnly()
{
    // Taken at run time: a static import would keep Keyvane from starting
    // where the function is missing.
    auto setDefaultDirectories = SystemLibraryFunction<SetDefaultDllDirectoriesFunction>(
        GetModuleHandleA("KERNEL32.DLL"), "SetDefaultDllDirectories");
    if (!setDefaultDirectories || !setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryA("");
}

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
    // The flag makes the DLL's own folder, not the program's, the first
    // searched for its imports.
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
