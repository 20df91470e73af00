#include "app/window/wii_platform.h"

#include <QMetaObject>

void TQtHandOver::Post(std::function<void()> Task) {
  QMetaObject::invokeMethod(this, std::move(Task), Qt::QueuedConnection);
}
