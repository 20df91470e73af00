#include "wiimote/linux_services.h"

#include <fcntl.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

TUniqueFd THidrawOpener::Open(const std::string& Path, TOpenAccess Access, int& Error) {
  int Flags = O_CLOEXEC;
  switch (Access) {
    case TOpenAccess::ReadWrite:
      // Read and written on the main thread: neither may ever hold it up.
      Flags |= O_RDWR | O_NONBLOCK;
      break;
    case TOpenAccess::None:
      Flags |= O_PATH;
      break;
  }
  TUniqueFd Fd(::open(Path.c_str(), Flags));
  Error = Fd.Valid() ? 0 : errno;
  return Fd;
}

class TPollMainLoop::TWatch : public IFdWatch {
 public:
  TWatch(TPollMainLoop& Loop, std::shared_ptr<TWatched> Watched)
      : loop_(Loop), watched_(std::move(Watched)) {}
  ~TWatch() override {
    // A callback under way keeps its entry (and its function) alive until it returns.
    watched_->Live = false;
    std::erase(loop_.watched_, watched_);
  }

 private:
  TPollMainLoop& loop_;
  std::shared_ptr<TWatched> watched_;
};

void TPollMainLoop::Post(std::function<void()> Task) {
  posted_.push_back(std::move(Task));
}

std::unique_ptr<IFdWatch> TPollMainLoop::Watch(int Fd, std::function<void()> OnReadable) {
  auto Watched = std::make_shared<TWatched>(TWatched{Fd, std::move(OnReadable)});
  watched_.push_back(Watched);
  return std::make_unique<TWatch>(*this, std::move(Watched));
}

size_t TPollMainLoop::WatchCount() const {
  return watched_.size();
}

size_t TPollMainLoop::RunPosted() {
  size_t Ran = 0;
  while (!posted_.empty()) {
    std::function<void()> Task = std::move(posted_.front());
    posted_.pop_front();
    Task();
    ++Ran;
  }
  return Ran;
}

size_t TPollMainLoop::PollWatches(int TimeoutMs) {
  // A copy: a callback may add or drop watches, its own included.
  std::vector<std::shared_ptr<TWatched>> Ready;
  std::vector<pollfd> Fds;
  for (const auto& Watched : watched_) {
    if (Watched->Running) continue;
    Ready.push_back(Watched);
    Fds.push_back({Watched->Fd, POLLIN, 0});
  }
  if (::poll(Fds.data(), Fds.size(), TimeoutMs) <= 0) return 0;
  size_t Ran = 0;
  for (size_t I = 0; I < Fds.size(); ++I) {
    TWatched& Watched = *Ready[I];
    if (Fds[I].revents == 0 || !Watched.Live || Watched.Running) continue;
    struct TRunning {
      TWatched& W;
      ~TRunning() { W.Running = false; }
    } Mark{Watched};
    Watched.Running = true;
    Watched.OnReadable();
    ++Ran;
  }
  return Ran;
}

size_t TPollMainLoop::RunOnce(int TimeoutMs) {
  size_t Ran = RunPosted();
  Ran += PollWatches(Ran > 0 ? 0 : TimeoutMs);
  return Ran + RunPosted();
}
