#pragma once
// The test's own connections to the virtual X server.

#include <X11/Xlib.h>

// $DISPLAY, tried a few times: the virtual server refuses a connection now and then right after other
// clients closed theirs. Null when there is no server.
Display* OpenTestDisplay();
