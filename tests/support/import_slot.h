// Puts a stand-in into the test program's import slot of a system call, so
// that a test can make the call fail: the runtime's libraries linked into
// the program call through that slot. On i686 the slot's name carries the
// stdcall decoration, the bytes of arguments.
#pragma once

#include <windows.h>

#ifdef _WIN64
#define KEYVANE_IMPORT_SLOT(name, argumentBytes) "__imp_" #name
#else
#define KEYVANE_IMPORT_SLOT(name, argumentBytes) "__imp__" #name "@" #argumentBytes
#endif
#define KEYVANE_REPLACE_IMPORT(name, argumentBytes, standIn)                                 \
    extern "C" {                                                                           \
    decltype(&name) name##Slot asm(KEYVANE_IMPORT_SLOT(name, argumentBytes)) = standIn; \
    }                                                                                      \
    static_assert(true, "ends the macro where its caller writes a semicolon")

// The system's own function, for the stand-in to call when it does not fail.
template <typename Function>
Function SystemFunction(Function, const char* dll, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), name)));
}
