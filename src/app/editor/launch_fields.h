#pragma once
// The launch in the editor's "Movimento" group: the start velocity as a teacher thinks of it (speed, angle
// above the horizontal and direction) or as its three components, the start spin, and the object's own
// elasticity or the scene's. Numbers are typed as in every other field ("2,5" or "2.5"), refused with a
// message naming what is accepted; a change is handed on as cells to set.

#include "app/editor/number_range.h"
#include "scene/launch.h"
#include "scene/scene_document.h"
#include "scene/scene_table.h"

#include <QWidget>

#include <array>
#include <functional>
#include <map>
#include <span>
#include <utility>
#include <vector>

class QCheckBox;
class QLabel;
class TFieldEdit;

class TLaunchFields : public QWidget {
 public:
  // The launch's own fields, besides the table's columns.
  enum class TPolar { Speed, Angle, Azimuth };

  // `edit` gets the cells to set on the row shown; `keyboardBack` is called after Enter.
  TLaunchFields(std::function<void(const TRowCells&)> edit, std::function<void()> keyboardBack, QWidget* pai);

  // Shows row `linha`'s launch; empty cells read as no launch and the scene's elasticity.
  void Show(const TSceneTable& tabela, int linha);
  // The field that edits `coluna` (components, spin, elasticity), or null.
  TFieldEdit* Editor(TColumn coluna) const;
  TFieldEdit* Editor(TPolar campo) const;
  QCheckBox* OwnElasticity() const { return ownElasticity_; }
  // Why the text typed in `campo` was refused (empty when it was not).
  QString Message(QWidget* campo) const;

 private:
  struct TNumber {
    TFieldEdit* edit = nullptr;
    QLabel* message = nullptr;
    TNumberRange range;
  };
  TFieldEdit* AddNumber(const QString& rotulo, TNumberRange faixa, std::function<void()> enviar);
  // The value typed in `campo`, or nothing: unchanged text, or refused with its message shown.
  std::optional<double> Typed(TFieldEdit* campo);
  double Value(TFieldEdit* campo) const;
  // Reads every field of `campos` whose text changed; false when one is refused (its message then shows).
  bool ReadChanged(std::span<TFieldEdit* const> campos);
  void SendVector(const std::array<TColumn, 3>& colunas, const std::array<double, 3>& valores);
  void SendPolar();
  void SendComponents();
  void SendSpin();
  void SendElasticity();

  std::function<void(const TRowCells&)> edit_;
  std::function<void()> keyboardBack_;
  std::map<QWidget*, TNumber> numbers_;
  TFieldEdit *speed_ = nullptr, *angle_ = nullptr, *azimuth_ = nullptr;
  std::array<TFieldEdit*, 3> velocity_{}, spin_{};
  QCheckBox* ownElasticity_ = nullptr;
  TFieldEdit* elasticity_ = nullptr;
  bool showing_ = false;
};
