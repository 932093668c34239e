// The system DLLs the runtime loads at run time, and the functions it takes
// from them. A DLL loaded by bare name is looked for in the program's own
// folder first, and Keyvane is usually run from wherever it was downloaded:
// a DLL of the same name that lands there would run inside it ("DLL
// preloading"). So these are loaded by their full system-folder path only.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0700
#endif
#include <dinput.h>

constexpr char DirectInputLibrary[] = "DINPUT.DLL";
// The rich edit 2.0 library, and the 1.0 one where it is missing.
constexpr char RichEdit20Library[] = "RICHED20.DLL";
constexpr char RichEdit10Library[] = "RICHED32.DLL";
// Not a known DLL: a static import of it would be looked for beside the
// program first.
constexpr char MultimediaLibrary[] = "WINMM.DLL";

// The functions taken from them, and from the kernel where older Windows
// lacks them, typed from the SDK's own declarations so that a call cannot
// drift from the real prototype.
using DirectInputCreateExFunction = decltype(&DirectInputCreateEx);
using SetDefaultDllDirectoriesFunction = decltype(&SetDefaultDllDirectories);
using TimePeriodFunction = decltype(&timeBeginPeriod);  // and timeEndPeriod
// From KERNEL32.DLL, where Windows before 8 has none.
using SetProcessInformationFunction = decltype(&SetProcessInformation);

// From here on, a DLL loaded by name, and every DLL that a loaded one
// imports, is looked for in the system folder only: a DLL loaded by full
// path still has its imports looked for beside the program first. Called
// first of all, before any DLL is loaded at run time. Where
// SetDefaultDllDirectories is missing (Vista and 7 without their update)
// only the current folder is taken out of the search; the flag that
// SystemLibraryLoad passes then keeps its DLLs' imports in their own folder.
void SystemLibrarySearchSystemFolderOnly();

// The DLL of that name in the system folder, its imports looked for in
// that folder before the program's; null when it cannot be loaded
// from there, also when the system folder is unknown or the path does not
// fit.
HMODULE SystemLibraryLoad(const char* name);

// A function of a loaded DLL as its declared type; null when it is missing.
template <typename Function>
Function SystemLibraryFunction(HMODULE library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}
