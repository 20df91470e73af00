#pragma once
// The scene editor: the document being edited, the dock that shows it and the "Cena" menu. Every accepted
// edit rebuilds the running scene through the window's normal load; an edit the loader refuses leaves the
// scene as it was and shows the loader's message on the field.

#include "app/editor_dialogs.h"
#include "app/scene_editor_panel.h"
#include "physics/vector_math.h"
#include "scene/scene_document.h"

#include <QObject>

#include <filesystem>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QMenuBar;
class TMainForm;
class TUserInterface;

class TSceneEditor : public QObject {
 public:
  TSceneEditor(TMainForm& janela, TUserInterface& ui);
  ~TSceneEditor() override;

  // The "Cena" menu: "Editar cena" (F6), "Nova cena", "Salvar" (Ctrl+S), "Salvar como…" (Ctrl+Shift+S),
  // "Desfazer" (Ctrl+Z), "Refazer" (Ctrl+Y).
  QMenu* CreateMenu(QMenuBar& barra);

  // Asks about unsaved changes before they would be lost. True: go on (saved, discarded or none).
  bool ConfirmDiscard();
  // A scene file was loaded into the window: it becomes the document, with nothing to undo.
  void SceneOpened(const std::filesystem::path& arquivo, const TSceneTable& tabela);

  // Undoable edits the window's own tools call (placing an object with the mouse while paused). Returns
  // false, with the loader's message shown, when the loader refuses the result.
  bool MoveStartPosition(int linha, const TVector& posicao);

  void NewScene();
  bool Save();
  bool SaveAs();
  void Undo();
  void Redo();
  void AddObject(TObjectTemplate modelo);

  const TSceneDocument& Document() const { return doc_; }
  TSceneEditorPanel* Panel() const { return panel_; }
  void SetDialogs(IEditorDialogs& dialogos) { dialogs_ = &dialogos; }

 private:
  bool Apply(const std::function<void()>& edit);
  bool SaveTo(const std::filesystem::path& arquivo);  // an error is shown; false then
  void Refresh();
  void EditSelected(const TCellEdit& celulas);
  void ChooseModelForSelected();
  void ChooseColourForSelected();
  void FitWindow(bool mostrando);
  int Selected() const;
  std::filesystem::path ScenesFolder() const;
  std::filesystem::path NameForLoad() const;  // the document's file, or where a new scene would be

  TMainForm& window_;
  TUserInterface& ui_;
  TSceneDocument doc_;
  TSceneEditorPanel* panel_ = nullptr;
  TQtEditorDialogs qtDialogs_;
  IEditorDialogs* dialogs_ = &qtDialogs_;
  QAction* editAction_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
};
