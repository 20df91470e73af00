#pragma once
// The selected object's values, grouped as a person thinks of them (shape and size, place and turn, mass
// and surface, colour, motion, display), each with a typed editor. A change is handed on as cells to set;
// the fields never change the table themselves.

#include "app/editor/number_range.h"
#include "scene/scene_document.h"
#include "scene/scene_table.h"

#include <QWidget>

#include <functional>
#include <map>
#include <utility>
#include <vector>

class QFormLayout;
class QLabel;
class QPushButton;
class TLaunchFields;
class TLinkFields;

class TObjectFields : public QWidget {
 public:
  struct THandlers {
    std::function<void(int linha, const TRowCells&)> edit;  // cells of row `linha`, the one shown
    std::function<void()> chooseModel;                      // the "…" beside the model file
    std::function<void()> chooseColour;                     // the colour button
    std::function<void()>
        keyboardBack;  // an edit is committed with Enter or a click: the view takes the keys
  };
  TObjectFields(THandlers handlers, QWidget* pai = nullptr);

  // Shows row `linha`: values, and the labels and fields its shape uses. Clears the error marks.
  void Show(const TSceneTable& tabela, int linha);
  // Marks the field of `coluna` with the loader's message, until the next Show.
  void MarkError(TColumn coluna, const QString& texto);
  // Commits what was typed in a field and not yet committed, to the row it was typed for: called before the
  // fields show another row or the keys go elsewhere.
  void CommitPending();
  // The message beside the field of `coluna` (empty when there is none): why typed text was refused.
  QString FieldMessage(TColumn coluna) const;

  QWidget* Editor(TColumn coluna) const;  // the widget that edits a column, for the program's own checks
  QPushButton* ColourButton() const { return colourButton_; }
  TLaunchFields* Launch() const { return launch_; }

 private:
  struct TField {
    QWidget* editor = nullptr;
    QLabel* label = nullptr;  // null for check boxes, which carry their own text
    QFormLayout* form = nullptr;
    QWidget* row = nullptr;     // what is hidden when the shape does not use the field
    QLabel* message = nullptr;  // beside a number: why the typed text was refused
    QLabel* unit = nullptr;     // after a number: its unit
    TNumberRange range;         // what a number field accepts
  };
  void Build();
  void Send(TColumn coluna);
  void SendNumber(TColumn coluna);
  void Refuse(TColumn coluna, const QString& texto);
  void ShowShape(int tipo);
  void SetLabel(TField& campo, const QString& texto);

  THandlers handlers_;
  std::map<TColumn, TField> fields_;
  QPushButton* colourButton_ = nullptr;
  TLaunchFields* launch_ = nullptr;  // in the "Movimento" group
  TLinkFields* links_ = nullptr;     // the "Ligação" group
  bool showing_ = false;             // values being put into the editors are not edits
  // The turn of the shown row, for refusing a turn without an axis.
  double angle_ = 0;
  double axis_[3] = {0, 0, 0};
  // Numbers as the teacher typed them on the shown row ("2,50"), shown again while the value is the same.
  int typedRow_ = -1;
  std::map<TColumn, QString> typed_;
};

// The label of a size column for a shape kind ("Raio", "Comprimento (X)"…), or empty when the kind does not
// use the column.
QString SizeLabel(int tipo, TColumn coluna);
