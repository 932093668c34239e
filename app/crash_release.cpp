#include "app/crash_release.h"

#include <windows.h>

#include "app/key_mapping.h"
#include "app/key_target.h"

namespace {

// The C runtime sets a filter of its own before the entry routine runs; it
// keeps its say after ours.
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter;

// The loop's thread may still be polling when another thread faults: the
// crash mark stops it pressing before the held keys are let go here. A
// fault inside this filter, or a second thread's crash, finds the mark
// already set and goes straight on.
LONG WINAPI ReleaseHeldKeys(EXCEPTION_POINTERS* exception)
{
    if (KeyTargetMarkCrashed())
        KeyMappingReleaseHeld();
    return previousFilter ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void CrashReleaseInstall()
{
    previousFilter = SetUnhandledExceptionFilter(ReleaseHeldKeys);
}
