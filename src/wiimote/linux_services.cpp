#include "wiimote/linux_services.h"

#include <fcntl.h>

#include <cerrno>
#include <chrono>

TUniqueFd THidrawOpener::Open(const std::string& Path, TOpenAccess Access, int& Error) {
  int Flags = O_CLOEXEC;
  switch (Access) {
    case TOpenAccess::ReadWrite:
      Flags |= O_RDWR;
      break;
    case TOpenAccess::ReadOnly:
      Flags |= O_RDONLY;
      break;
    case TOpenAccess::None:
      Flags |= O_PATH;
      break;
  }
  TUniqueFd Fd(::open(Path.c_str(), Flags));
  Error = Fd.Valid() ? 0 : errno;
  return Fd;
}

uint32_t TSteadyClock::Milliseconds() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
