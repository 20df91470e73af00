#pragma once
// The scene editor: the dock that shows the session's document and the "Cena" menu. Every accepted edit
// rebuilds the running scene through the session; an edit the loader refuses leaves the scene as it was and
// shows the loader's message on the field.

#include "app/editor/editor_dialogs.h"
#include "app/editor/scene_editor_panel.h"
#include "frame/scene_session.h"
#include "physics/vector_math.h"
#include "render/camera.h"

#include <QObject>

#include <filesystem>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QMainWindow;
class QMenuBar;
class TUserInterface;

class TSceneEditor : public QObject {
 public:
  // The dock goes into `janela`; new objects appear where `camera` looks.
  TSceneEditor(TSceneSession& sessao, QMainWindow& janela, const TCamera& camera, TUserInterface& ui);
  ~TSceneEditor() override;

  // The "Cena" menu: "Editar cena" (F6), "Nova cena", "Salvar" (Ctrl+S), "Salvar como…" (Ctrl+Shift+S),
  // "Desfazer" (Ctrl+Z), "Refazer" (Ctrl+Y).
  QMenu* CreateMenu(QMenuBar& barra);

  // Asks about unsaved changes before they would be lost. True: go on (saved, discarded or none).
  bool ConfirmDiscard();
  // Undoable edits the window's own tools call (placing an object with the mouse while paused). Returns
  // false, with the loader's message shown, when the loader refuses the result.
  bool MoveStartPosition(int linha, const TVector& posicao);
  // The launch velocity (m/s) of row `linha`, as the launch arrow sets it.
  bool SetLaunch(int linha, const TVector& velocidade);

  void NewScene();
  bool Save();
  bool SaveAs();
  void Undo();
  void Redo();
  // A new object above the floor point the view looks at, its lowest point on the floor (or on what stands
  // there).
  void AddObject(TShapeKind modelo);
  // "Rampa" and "Bloco na rampa" (on the selected ramp): the values are asked first.
  void AddRamp();
  void AddBlockOnRamp();
  // The floor point on the line of sight through the view's centre; the origin when that line does not meet
  // the floor in front of the eye.
  TVector FloorPointAhead() const;

  const TSceneDocument& Document() const { return session_.Document(); }
  TSceneEditorPanel* Panel() const { return panel_; }
  void SetDialogs(IEditorDialogs& dialogos) { dialogs_ = &dialogos; }
  // Called with the file each save wrote, so that a scene saved under a new name is remembered as one
  // opened is.
  void OnSaved(std::function<void(const std::filesystem::path&)> salvo) { saved_ = std::move(salvo); }

 private:
  bool Apply(const std::function<void()>& edit);
  bool SaveTo(const std::filesystem::path& arquivo);  // an error is shown; false then
  void Refresh();
  void EditSelected(const TRowCells& celulas);
  void EditRow(int linha, const TRowCells& celulas);
  void ChooseModelForSelected();
  void ChooseColourForSelected();
  void FitWindow(bool mostrando);
  void GiveKeysToView();
  int Selected() const;
  std::filesystem::path ScenesFolder() const;

  TSceneSession& session_;
  QMainWindow& window_;
  const TCamera& camera_;
  TUserInterface& ui_;
  TSceneDocument& doc_;
  TSceneEditorPanel* panel_ = nullptr;
  TQtEditorDialogs qtDialogs_;
  IEditorDialogs* dialogs_ = &qtDialogs_;
  std::function<void(const std::filesystem::path&)> saved_;
  QAction* editAction_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
};
