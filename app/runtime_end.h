// The libraries' end routines, in the order that lets each find what it
// releases: pads, gadgets, windows (with their gadgets' controls), fonts.
#pragma once

void RuntimeEnd();
