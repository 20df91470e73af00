#pragma once
// The pointing position from the camera's two dots, shared by every way the remote is read.

#include "wiimote/wiimote_state.h"

// From IRX1..IRSize2 as just stored: with both dots seen, their midpoint, half distances and which lies
// right and below; with one, the midpoint extrapolated from it with the last half distances; with none,
// everything is left as it was.
void UpdateIRMidpoint(TWiimote& W);
