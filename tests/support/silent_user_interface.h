#pragma once
// A user interface for runs without anyone at the screen (benchmarks, soak runs): every dialog is
// cancelled, and errors and notices go to standard error instead of a message box.

#include "app/widgets/user_interface.h"

#include <cstdio>

class TSilentUserInterface : public TUserInterface {
 public:
  QString ChooseScene(const QString&, const QString&, const QString&) override { return {}; }
  QString ChooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
  void ShowError(const QString& t) override { std::fprintf(stderr, "%s\n", t.toUtf8().constData()); }
  void ShowNotice(const QString& t, const QString&) override {
    std::fprintf(stderr, "%s\n", t.toUtf8().constData());
  }
};
