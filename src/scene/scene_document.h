#pragma once
// A scene being edited: its table, its file, whether it differs from what was saved, and undo and redo back
// to the state it was opened in. Every edit is checked by the stage (when one is set) before it is kept,
// so a table the loader refuses never becomes the document's.

#include "physics/vector_math.h"
#include "scene/ramp_template.h"
#include "scene/scene_table.h"
#include "scene/shape_kind.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The values every row of a scene shares; the loader reads them from the first row.
struct TSceneSettings {
  bool TemGravidade = true;
  int TipoDeColisao = 0;
  bool operator==(const TSceneSettings&) const = default;
};

class TSceneDocument {
 public:
  // A table the document keeps: never changed once made, so the running scene can share it.
  using TTable = std::shared_ptr<const TSceneTable>;
  // Tries a candidate table; throws (ESceneError) to refuse it. The running scene is rebuilt here, from the
  // very table the document keeps if it takes it.
  using TStage = std::function<void(const TTable&)>;
  // Hears that the current table was replaced without a stage (Save rebases its model names).
  using TTableListener = std::function<void(const TTable&)>;

  // "Nova cena": no rows, no file, gravity on.
  TSceneDocument() = default;

  // Takes `tabela` as opened from `arquivo` (empty for a new scene): nothing to undo, nothing modified.
  void Reset(TSceneTable tabela, std::filesystem::path arquivo);
  void Reset(TTable tabela, std::filesystem::path arquivo);

  void SetStage(TStage stage) { stage_ = std::move(stage); }
  void OnTableReplaced(TTableListener ouvinte) { replaced_ = std::move(ouvinte); }

  // The current table. Every edit, undo, redo, reset and rebasing save makes a new one: a reference read
  // here shows this state only.
  const TSceneTable& Table() const { return *current_.table; }
  const TTable& SharedTable() const { return current_.table; }
  const std::filesystem::path& Path() const { return path_; }
  bool Modified() const { return current_.version != savedVersion_; }
  TSceneSettings Settings() const { return current_.settings; }

  // Edits. Each is one step of undo; each throws, changing nothing, when the stage refuses the result.
  // Rows are 0-based and must exist; a value must have its column's type (or be empty).
  void SetCell(int linha, TColumn coluna, TSceneTable::Celula valor);
  void SetCells(int linha, const TRowCells& valores);         // one step
  void MoveStartPosition(int linha, const TVector& posicao);  // X, Y, Z in one step
  void SetSettings(const TSceneSettings& ajustes);
  // A new row at the end, above floor point `lugar`: its lowest point at z = lugar.z (at least 0), or on top
  // of what already stands there. Its name is the template's with the next free number ("Esfera 2").
  // `arquivoModelo` names the OBJ of a model, `baseModelo` how far the model reaches below its origin.
  int Add(TShapeKind modelo, const TVector& lugar, const std::string& arquivoModelo = {},
          double baseModelo = 0);
  // "Rampa": a fixed, tilted box above floor point `pe`, its lower edge on the floor.
  int AddRamp(const TRampSpec& rampa, const TVector& pe);
  // "Bloco na rampa": a block at rest on ramp row `rampa`, near its top. Throws ESceneError (nothing
  // changed) when the row is no ramp or the block does not fit on it.
  int AddBlockOnRamp(int rampa, const TBlockSpec& bloco);
  int Duplicate(int linha);  // the copy follows the original, named as the next of its kind
  void Delete(int linha);
  int MoveUp(int linha);  // returns the row's new place
  int MoveDown(int linha);

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  void Undo();
  void Redo();

  // Writes the table to `arquivo` (whole or not at all), which becomes the document's file. Model names are
  // stored relative to the new file's folder when the model sits there or below (absolute otherwise);
  // `pastaModelos` is the folder the names resolve against until then (the file's own folder by default).
  // Throws ESceneError when it cannot be written; the document then stays modified and unchanged.
  void Save(const std::filesystem::path& arquivo, const std::filesystem::path& pastaModelos = {});

 private:
  struct TState {
    TTable table = std::make_shared<const TSceneTable>();
    TSceneSettings settings;
    long version = 0;
  };
  // What an edit works on: a copy of the current table and settings.
  struct TDraft {
    TSceneTable table;
    TSceneSettings settings;
  };
  // Applies `edit` to a copy, carries the scene's settings to whichever row is now first, stages it and
  // keeps it.
  void Edit(const std::function<void(TDraft&)>& edit);
  void Become(TState estado);  // stages and takes a state (undo, redo)
  // Takes the last state of `de`, keeping the current one on `para`; nothing changes if the stage refuses it.
  void StepThrough(std::vector<TState>& de, std::vector<TState>& para);

  TState current_;
  std::vector<TState> undo_, redo_;
  long savedVersion_ = 0;
  long nextVersion_ = 1;
  std::filesystem::path path_;
  TStage stage_;
  TTableListener replaced_;
};

// The scene's settings as the loader reads them from `tabela` (no rows: no gravity, kind 0).
TSceneSettings SettingsOf(const TSceneTable& tabela);
