// No key left down when Keyvane crashes: the system would keep a key whose
// key-up never came pressed until the user pressed it again.
#pragma once

// Sets the unhandled-exception filter that lets go of the held keys, with
// the mapping's own key-up arguments, and then lets the crash take its
// course: the filter set before it, else the system's crash handling.
void CrashReleaseInstall();
