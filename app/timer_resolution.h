// What a 10 ms poll needs from Windows. Windows ends every wait on its timer
// tick, 15.6 ms unless the process asks for a finer one: a 10 ms wait then
// lasts a whole tick, and so does a remainder of 1 to 9 ms. Since Windows 10
// version 2004 a finer tick asked for by another process no longer applies
// to this one, and since Windows 11 even its own request may be ignored
// while its window is hidden or minimised (behind a full-screen game, where
// Keyvane spends its life) unless it opts out of power throttling.
//
// Every step is taken at run time and may fail: Keyvane then carries on as
// without it.
#pragma once

// Asks Windows not to slow the process down nor to ignore its timer
// requests when its window is out of sight; where the timer part is
// refused (Windows 10), asks for the speed alone. Called once the pad is
// open: a program that only shows its error box has no pace to keep.
void PowerThrottlingOptOut();

// 1 ms timers from TimerResolutionBegin to TimerResolutionEnd, which ends
// the request once, and only one that was made.
void TimerResolutionBegin();
void TimerResolutionEnd();
