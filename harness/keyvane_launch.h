// Keyvane started as a player runs it: on the simulated pad, with the game
// window in front of it.
#pragma once

#include "harness/keyvane_process.h"
#include "harness/remote_pad_driver.h"

// Polls to wait for before a change on the pad counts as seen.
constexpr int SettlePolls = 3;

// Starts name (beside the calling program) on the pads, waits for its main
// window, puts the key observer's game window in front of it, waits for
// its first polls and drops the keys observed so far. Null when all went
// well, else what failed. The key observer must be running.
const char* KeyvaneLaunch(KeyvaneProcess& program, RemotePadDriver& pads, const char* name = "Keyvane.exe");
