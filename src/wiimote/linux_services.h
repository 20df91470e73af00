#pragma once
// The plain Linux services: device nodes opened with open(2), and the steady clock.

#include "wiimote/hid_platform.h"

// Opens /dev/hidrawN; TOpenAccess::None opens with O_PATH, which needs no rights on the node.
class THidrawOpener : public IDeviceOpener {
 public:
  TUniqueFd Open(const std::string& Path, TOpenAccess Access, int& Error) override;
};

// std::chrono::steady_clock in milliseconds; Sleep really sleeps.
class TSteadyClock : public IClock {
 public:
  uint32_t Milliseconds() override;
};
