#include "app/window/wii_platform.h"

#include <QMetaObject>
#include <QPointer>
#include <QSocketNotifier>

#include <poll.h>

namespace {

bool HungUpUnread(int Fd) {
  pollfd Poll{Fd, POLLIN, 0};
  return ::poll(&Poll, 1, 0) > 0 && (Poll.revents & POLLIN) == 0 &&
         (Poll.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

class TQtFdWatch : public IFdWatch {
 public:
  TQtFdWatch(QObject& Loop, int Fd, std::function<void()> OnReadable)
      : state_(std::make_shared<TState>(TState{std::move(OnReadable), true})),
        notifier_(new QSocketNotifier(static_cast<qintptr>(Fd), QSocketNotifier::Read, &Loop)) {
    QObject::connect(notifier_, &QSocketNotifier::activated, notifier_,
                     [State = state_, Notifier = notifier_.data()] { Activated(State, *Notifier); });
  }
  ~TQtFdWatch() override {
    state_->Live = false;
    // The watch may go inside its own call: the notifier, still sending the signal, goes once the event
    // loop is back.
    if (notifier_) {
      notifier_->setEnabled(false);
      notifier_->deleteLater();
    }
  }

 private:
  struct TState {
    std::function<void()> OnReadable;
    bool Live;
  };

  static void Activated(std::shared_ptr<TState> State, QSocketNotifier& Notifier) {
    if (!State->Live) return;
    Notifier.setEnabled(false);
    // On again after the call, even one that throws (the application's handler catches it), unless the
    // watch went meanwhile or its descriptor hung up without being read.
    struct TAfter {
      const std::shared_ptr<TState>& State;
      QSocketNotifier& Notifier;
      ~TAfter() {
        if (State->Live && !HungUpUnread(static_cast<int>(Notifier.socket()))) Notifier.setEnabled(true);
      }
    } After{State, Notifier};
    State->OnReadable();
  }

  std::shared_ptr<TState> state_;
  QPointer<QSocketNotifier> notifier_;  // the loop deletes it when it goes first
};

}  // namespace

void TQtMainLoop::Post(std::function<void()> Task) {
  QMetaObject::invokeMethod(this, std::move(Task), Qt::QueuedConnection);
}

std::unique_ptr<IFdWatch> TQtMainLoop::Watch(int Fd, std::function<void()> OnReadable) {
  return std::make_unique<TQtFdWatch>(*this, Fd, std::move(OnReadable));
}
