// The resource id of the icon group that every library window's class
// shows, loaded from the program's own module. The program's resource
// script names its icon with it, so it is a macro: the resource compiler
// reads no C++.
#pragma once

#define ClassIconResource 1
