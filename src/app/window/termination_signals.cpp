#include "app/window/termination_signals.h"

#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

namespace {

// The one thing a signal handler may touch: the write end of a socket pair, set before any handler is
// installed and cleared after they are all gone. Everything else happens when the main loop reads the other
// end. The instance owns both ends; this is only a copy of the number.
volatile std::sig_atomic_t signalWriteEnd = -1;

void OnSignal(int) {
  const char c = 1;
  [[maybe_unused]] const ssize_t n = ::write(signalWriteEnd, &c, 1);
}

}  // namespace

TTerminationSignals::TTerminationSignals(std::function<void()> fechar) : close_(std::move(fechar)) {
  int ends[2] = {-1, -1};
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
  signalEnd_.Reset(ends[0]);
  noticeEnd_.Reset(ends[1]);
  signalWriteEnd = signalEnd_.Get();
  notice_ = new QSocketNotifier(noticeEnd_.Get(), QSocketNotifier::Read, this);
  connect(notice_, &QSocketNotifier::activated, this, [this] {
    char c;
    [[maybe_unused]] const ssize_t n = ::read(noticeEnd_.Get(), &c, 1);
    close_();
  });
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &sa, nullptr);
}

TTerminationSignals::~TTerminationSignals() {
  for (int s : {SIGTERM, SIGINT, SIGHUP}) std::signal(s, SIG_DFL);
  signalWriteEnd = -1;
  signalEnd_.Reset();
  noticeEnd_.Reset();
}
