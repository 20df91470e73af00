#pragma once
// The application object: its one general error handler shows an error that escapes a handler in a
// message box and lets the program run on.

#include <QApplication>

class TUserInterface;

class TViretaApplication : public QApplication {
 public:
  TViretaApplication(int& argc, char** argv, TUserInterface& ui);
  bool notify(QObject* receptor, QEvent* evento) override;

  // The surface every GL panel asks for; set before the application object exists.
  static void SetGLFormat();

 private:
  TUserInterface& ui_;
};
