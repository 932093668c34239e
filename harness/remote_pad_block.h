// padblock.dll, which maps the pad block for our dinput.dll: a second DLL
// in the system folder that dinput.dll imports, as a real one imports
// helpers of its own. A DLL of its name planted beside a program must never
// be loaded in its place.
#pragma once

#include "harness/remote_pad.h"

// The block that KEYVANE_PAD names, mapped once for the process; null
// without a valid one. Unmapped when the DLL is unloaded.
extern "C" RemotePadBlock* RemotePadBlockOpen();
