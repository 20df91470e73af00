#pragma once
// What the frame and the grab read of the Wii Remote at one moment.

#include <cstdint>

struct TRemoteReading {
  bool Connected = false;  // a remote is claimed; without one the other fields say nothing
  uint8_t AccelX = 0, AccelY = 0, AccelZ = 0;
  bool ADown = false, BDown = false;
  int IRSize1 = 0, IRSize2 = 0;

  // Holding "A" moves the 3D pointer, while the camera reports a dot of any size.
  bool MovesPointer() const { return ADown && (IRSize1 > 0 || IRSize2 > 0); }
};
