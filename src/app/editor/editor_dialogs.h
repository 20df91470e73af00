#pragma once
// The questions the scene editor asks the user, behind an interface so that the editor runs in tests
// without anything modal.

#include "scene/ramp_template.h"

#include <QColor>
#include <QString>

#include <optional>

enum class TUnsavedAnswer { Save, Discard, Cancel };

class IEditorDialogs {
 public:
  virtual ~IEditorDialogs() = default;
  // "Salvar / Descartar / Cancelar" about the unsaved changes of the scene named `cena`.
  virtual TUnsavedAnswer AskUnsaved(const QString& cena) = 0;
  // Where to save; an empty text when the user cancels.
  virtual QString ChooseSavePath(const QString& sugestao) = 0;
  // An OBJ model file; an empty text when the user cancels.
  virtual QString ChooseModel(const QString& pastaInicial) = 0;
  // A colour with its opacity; nothing when the user cancels.
  virtual std::optional<QColor> ChooseColour(const QColor& atual) = 0;
  // "Rampa": angle, length, width and friction; nothing when the user cancels.
  virtual std::optional<TRampSpec> AskRamp() = 0;
  // "Bloco na rampa": the block's size and mass; nothing when the user cancels.
  virtual std::optional<TBlockSpec> AskBlock() = 0;
};

// The file a scene is saved to when the user typed `escolhido`: a name without ".xml" gets the scenes' own
// ".cena.xml", which a desktop opens in Vireta with a double click; a name ending in ".xml" stays as typed.
QString SceneSavePath(const QString& escolhido);

// Qt's dialogs.
class TQtEditorDialogs : public IEditorDialogs {
 public:
  TUnsavedAnswer AskUnsaved(const QString& cena) override;
  QString ChooseSavePath(const QString& sugestao) override;
  QString ChooseModel(const QString& pastaInicial) override;
  std::optional<QColor> ChooseColour(const QColor& atual) override;
  std::optional<TRampSpec> AskRamp() override;
  std::optional<TBlockSpec> AskBlock() override;
};
