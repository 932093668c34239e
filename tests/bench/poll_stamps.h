// The polls of a program on the simulated pad, from the read times that our
// dinput.dll keeps in the pad block.
#pragma once

#include <vector>

#include "tests/support/remote_pad_driver.h"

// The number of reads stamped so far: a mark to measure from.
LONG PollMark(RemotePadDriver& driver);
// The intervals in milliseconds between the reads stamped from one mark to
// a later one.
std::vector<double> PollIntervals(RemotePadDriver& driver, LONG from, LONG to);
