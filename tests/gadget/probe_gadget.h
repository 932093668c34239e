// A gadget kind of the tests' own, made through the common creation
// pattern: a push button whose Release routine records each call.
#pragma once

#include <windows.h>
#include <cstdint>
#include <vector>

#include "runtime/core/object_table.h"
#include "runtime/gadget/gadget_kind_table.h"

constexpr int32_t ProbeKindCode = 99;
constexpr uintptr_t ProbeMarker = 0x5EED;

struct ProbeRelease {
    GadgetObject* gadget;
    HWND window;
    bool liveAtRelease;  // the record was still registered when Release ran
};

extern GadgetKindTable ProbeKindTable;
extern int ProbeTableFills;
extern std::vector<ProbeRelease> ProbeReleases;

intptr_t GadgetCreateProbe(ObjectId number, int x, int y, int width, int height, const char* text);

// Starts what the application starts before it creates gadgets; once.
void EnsureGadgetLibrary();
