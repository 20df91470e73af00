#pragma once
// Scene files dropped on the window are opened; anything else gets a notice.

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>

class QWidget;

class TSceneDropTarget : public QObject {
 public:
  using TOpen = std::function<void(const std::filesystem::path&)>;
  using TNotice = std::function<void(const QString&)>;

  // Makes `janela` take drops. A dropped scene file (".xml") goes to `abre` once the drop is over, so a
  // message box the load may show never holds up the program the file was dragged from; other files get a
  // notice through `aviso`.
  TSceneDropTarget(QWidget& janela, TOpen abre, TNotice aviso);

 protected:
  bool eventFilter(QObject* alvo, QEvent* evento) override;

 private:
  TOpen open_;
  TNotice notice_;
};
