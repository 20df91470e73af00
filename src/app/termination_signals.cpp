#include "app/termination_signals.h"

#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

namespace {

// The one thing a signal handler may touch: the write end of a socket pair, set once before any handler
// is installed. Everything else happens when the main loop reads the other end.
int descritores[2] = {-1, -1};

void AoSinal(int) {
  const char c = 1;
  [[maybe_unused]] const ssize_t n = ::write(descritores[0], &c, 1);
}

}  // namespace

TTerminationSignals::TTerminationSignals(std::function<void()> fechar) : fechar_(std::move(fechar)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, descritores) != 0) return;
  aviso_ = new QSocketNotifier(descritores[1], QSocketNotifier::Read, this);
  connect(aviso_, &QSocketNotifier::activated, this, [this] {
    char c;
    [[maybe_unused]] const ssize_t n = ::read(descritores[1], &c, 1);
    fechar_();
  });
  struct sigaction sa {};
  sa.sa_handler = AoSinal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &sa, nullptr);
}

TTerminationSignals::~TTerminationSignals() {
  for (int s : {SIGTERM, SIGINT, SIGHUP}) std::signal(s, SIG_DFL);
  for (int& d : descritores) {
    if (d >= 0) ::close(d);
    d = -1;
  }
}
