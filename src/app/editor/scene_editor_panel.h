#pragma once
// The editor's dock beside the view: the scene's own settings, the list of objects in scene order with the
// buttons that add, duplicate, delete and reorder them, the loader's last refusal, and the selected
// object's fields. It only shows and forwards; TSceneEditor decides.

#include "app/editor/object_fields.h"
#include "scene/scene_document.h"

#include <QDockWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QToolButton;

class TSceneEditorPanel : public QDockWidget {
 public:
  TSceneEditorPanel(TObjectFields::THandlers campos, QWidget* pai);

  // The list, the settings and the fields as `doc` has them, row `selecionada` shown (none: -1).
  void ShowDocument(const TSceneDocument& doc, int selecionada);
  // The loader's message, and the field it names when it is on the shown row.
  void ShowRefusal(const QString& texto, int linha, std::optional<TColumn> coluna);

  QListWidget* List() const { return list_; }
  QCheckBox* Gravity() const { return gravity_; }
  QComboBox* CollisionKind() const { return collision_; }
  QMenu* AddMenu() const { return addMenu_; }
  QPushButton* DuplicateButton() const { return duplicate_; }
  QPushButton* DeleteButton() const { return delete_; }
  QPushButton* UpButton() const { return up_; }
  QPushButton* DownButton() const { return down_; }
  TObjectFields* Fields() const { return fields_; }
  QLabel* Refusal() const { return refusal_; }

 private:
  QCheckBox* gravity_ = nullptr;
  QComboBox* collision_ = nullptr;
  QListWidget* list_ = nullptr;
  QToolButton* add_ = nullptr;
  QMenu* addMenu_ = nullptr;
  QPushButton *duplicate_ = nullptr, *delete_ = nullptr, *up_ = nullptr, *down_ = nullptr;
  QLabel* refusal_ = nullptr;
  TObjectFields* fields_ = nullptr;
  QWidget* fieldsArea_ = nullptr;
  int shownRow_ = -1;
};

// How wide the dock is: the window grows by this much while it shows.
inline constexpr int EditorPanelWidth = 340;
