#pragma once
// A desktop session that ends, or a Ctrl+C in the terminal, asks the program to stop with a signal. The
// window then closes as if the user had chosen "&Sair", so the settings are saved and the remote let go.

#include <QObject>

#include <functional>

#include "common/unique_fd.h"

class QSocketNotifier;

class TTerminationSignals : public QObject {
 public:
  // Calls `fechar` on the main thread when SIGTERM, SIGINT or SIGHUP arrives. One instance per process.
  explicit TTerminationSignals(std::function<void()> fechar);
  ~TTerminationSignals() override;
  TTerminationSignals(const TTerminationSignals&) = delete;
  TTerminationSignals& operator=(const TTerminationSignals&) = delete;

 private:
  std::function<void()> close_;
  TUniqueFd signalEnd_;  // written by the signal handler
  TUniqueFd noticeEnd_;  // read on the main thread
  QSocketNotifier* notice_ = nullptr;
};
