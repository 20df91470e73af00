#pragma once
// The "Ligação" group of the selected object: the kind of link, the other object (by name) or a fixed
// point, the anchor (with buttons for the object's top and the other object's centre), the hinge's axis,
// the spring's stiffness and damping and the length. Changes go out as cells to set, as the other fields'.

#include "physics/vector_math.h"
#include "scene/scene_table.h"

#include <QGroupBox>

#include <map>

class QComboBox;
class QFormLayout;
class QPushButton;

class TLinkFields : public QGroupBox {
 public:
  static constexpr const char* WidgetName = "ligacao";  // its objectName, for finding it in the dock
  TLinkFields(std::function<void(const TRowCells&)> editar, QWidget* pai = nullptr);

  // Shows row `linha`'s link; the other objects listed are the rows with an ID.
  void Show(const TSceneTable& tabela, int linha);
  // Marks the field of `coluna` when it is one of the link's; false otherwise.
  bool MarkError(TColumn coluna, const QString& texto);
  QWidget* Editor(TColumn coluna) const;  // null for a column not in this group
  QPushButton* TopButton() const { return top_; }
  QPushButton* OtherCentreButton() const { return otherCentre_; }

 private:
  void Send(TColumn coluna);
  void ShowKind(int tipo);

  std::function<void(const TRowCells&)> edit_;
  QFormLayout* form_ = nullptr;
  QComboBox* kind_ = nullptr;
  QComboBox* other_ = nullptr;  // item data: the other row's ID, 0 for a fixed point
  std::map<TColumn, QWidget*> numbers_;
  QPushButton* top_ = nullptr;
  QPushButton* otherCentre_ = nullptr;
  QWidget* anchorButtons_ = nullptr;
  TVector topPoint_, otherCentrePoint_;
  // What a newly chosen kind needs and the row does not have yet gets a start value with it.
  bool hasStiffness_ = false, hasAxis_ = false, hasAnchor_ = false;
  int32_t otherId_ = 0, firstOtherId_ = 0;
  bool showing_ = false;
};

// Where the top of row `linha`'s shape is, as the table places it (its centre for shapes without a height).
TVector TopOfRow(const TSceneTable& tabela, int linha);
