#pragma once
// The plain Linux services: device nodes opened with open(2), the steady clock, and a main loop over
// poll(2) for a program without Qt.

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "wiimote/hid_platform.h"

// Opens /dev/hidrawN: ReadWrite with O_RDWR | O_NONBLOCK; TOpenAccess::None with O_PATH, which needs no
// rights on the node.
class THidrawOpener : public IDeviceOpener {
 public:
  TUniqueFd Open(const std::string& Path, TOpenAccess Access, int& Error) override;
};

// The main loop of a terminal program (and of tests): whoever owns it turns it with RunOnce. It must outlive
// its watches.
class TPollMainLoop : public IMainLoop {
 public:
  void Post(std::function<void()> Task) override;
  std::unique_ptr<IFdWatch> Watch(int Fd, std::function<void()> OnReadable) override;

  // Runs the posted tasks (and those they post), waits at most TimeoutMs for a watched descriptor (not at
  // all when a task ran), calls each one ready once, and runs the tasks that posted. Returns how many tasks
  // and calls ran.
  size_t RunOnce(int TimeoutMs);
  size_t WatchCount() const;

 private:
  struct TWatched {
    int Fd;
    std::function<void()> OnReadable;
    bool Live = true;
    bool Running = false;  // a callback that turns the loop itself is not called again inside
  };
  class TWatch;

  size_t RunPosted();
  size_t PollWatches(int TimeoutMs);

  std::deque<std::function<void()>> posted_;
  std::vector<std::shared_ptr<TWatched>> watched_;
};
