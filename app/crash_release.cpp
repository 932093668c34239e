#include "app/crash_release.h"

#include <windows.h>

#include "app/key_mapping.h"

namespace {

// The C runtime sets a filter of its own before the entry routine runs; it
// keeps its say after ours.
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter;

LONG WINAPI ReleaseHeldKeys(EXCEPTION_POINTERS* exception)
{
    KeyMappingReleaseHeld();
    return previousFilter ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void CrashReleaseInstall()
{
    previousFilter = SetUnhandledExceptionFilter(ReleaseHeldKeys);
}
