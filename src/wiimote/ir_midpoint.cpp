#include "wiimote/ir_midpoint.h"

#include <cstdlib>

void UpdateIRMidpoint(TWiimote& W) {
  const bool Seen1 = W.IRSize1 < NoDotSize;
  const bool Seen2 = W.IRSize2 < NoDotSize;
  if (Seen1 && Seen2) {
    // Integer division truncates toward zero, as the midpoint and half distances want.
    W.IRHalfDX = std::abs((W.IRX2 - W.IRX1) / 2);
    W.IRHalfDY = std::abs((W.IRY2 - W.IRY1) / 2);
    W.IRMidX = (W.IRX2 + W.IRX1) / 2;
    W.IRMidY = (W.IRY2 + W.IRY1) / 2;
    W.IRDot2Right = W.IRX2 > W.IRX1;
    W.IRDot2Below = W.IRY2 > W.IRY1;
  } else if (Seen2) {
    W.IRMidX = W.IRDot2Right ? W.IRX2 - W.IRHalfDX : W.IRX2 + W.IRHalfDX;
    W.IRMidY = W.IRDot2Below ? W.IRY2 - W.IRHalfDY : W.IRY2 + W.IRHalfDY;
  } else if (Seen1) {
    W.IRMidX = W.IRDot2Right ? W.IRX1 + W.IRHalfDX : W.IRX1 - W.IRHalfDX;
    W.IRMidY = W.IRDot2Below ? W.IRY1 + W.IRHalfDY : W.IRY1 - W.IRHalfDY;
  }
}
