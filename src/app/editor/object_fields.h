#pragma once
// The selected object's values, grouped as a person thinks of them (shape and size, place and turn, mass
// and surface, colour, motion, display), each with a typed editor. A change is handed on as cells to set;
// the fields never change the table themselves.

#include "scene/scene_table.h"

#include <QWidget>

#include <functional>
#include <map>
#include <utility>
#include <vector>

class QFormLayout;
class QLabel;
class QPushButton;
class TLinkFields;

using TCellEdit = std::vector<std::pair<TColumn, TSceneTable::Celula>>;

class TObjectFields : public QWidget {
 public:
  struct THandlers {
    std::function<void(const TCellEdit&)> edit;
    std::function<void()> chooseModel;   // the "…" beside the model file
    std::function<void()> chooseColour;  // the colour button
  };
  TObjectFields(THandlers handlers, QWidget* pai = nullptr);

  // Shows row `linha`: values, and the labels and fields its shape uses. Clears the error marks.
  void Show(const TSceneTable& tabela, int linha);
  // Marks the field of `coluna` with the loader's message, until the next Show.
  void MarkError(TColumn coluna, const QString& texto);

  QWidget* Editor(TColumn coluna) const;  // the widget that edits a column, for the program's own checks
  QPushButton* ColourButton() const { return colourButton_; }

 private:
  struct TField {
    QWidget* editor = nullptr;
    QLabel* label = nullptr;  // null for check boxes, which carry their own text
    QFormLayout* form = nullptr;
    QWidget* row = nullptr;  // what is hidden when the shape does not use the field
  };
  void Build();
  void Send(TColumn coluna);
  void ShowShape(int tipo);

  THandlers handlers_;
  std::map<TColumn, TField> fields_;
  QPushButton* colourButton_ = nullptr;
  TLinkFields* links_ = nullptr;  // the "Ligação" group
  bool showing_ = false;          // values being put into the editors are not edits
};

// The label of a size column for a shape kind ("Raio", "Comprimento (X)"…), or empty when the kind does not
// use the column.
QString SizeLabel(int tipo, TColumn coluna);
