#pragma once
// The launch in the editor's "Movimento" group: the start velocity as a teacher thinks of it (speed, angle
// above the horizontal and direction) or as its three components, the start spin, and the object's own
// elasticity or the scene's. A change is handed on as cells to set, like every other field.

#include "scene/scene_table.h"

#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

class QCheckBox;
class QDoubleSpinBox;

using TCellEdit = std::vector<std::pair<TColumn, TSceneTable::Celula>>;

// Speed (m/s), angle above the horizontal and azimuth from +X towards +Y (degrees) of a velocity.
struct TLaunch {
  double Speed = 0, Angle = 0, Azimuth = 0;
};
TLaunch LaunchOf(double vx, double vy, double vz);
// The velocity's components, rounded to the micrometre per second so that 10 m/s at 30° is 5, not
// 4.999999999999999.
std::array<double, 3> ComponentsOf(const TLaunch& l);

class TLaunchFields : public QWidget {
 public:
  TLaunchFields(std::function<void(const TCellEdit&)> edit, QWidget* pai);

  // Shows row `linha`'s launch; empty cells read as no launch and the scene's elasticity.
  void Show(const TSceneTable& tabela, int linha);
  // The widget that edits `coluna` (the components, spin and elasticity), or null.
  QWidget* Editor(TColumn coluna) const;
  QDoubleSpinBox* SpeedField() const { return speed_; }
  QDoubleSpinBox* AngleField() const { return angle_; }
  QDoubleSpinBox* AzimuthField() const { return azimuth_; }
  QCheckBox* OwnElasticity() const { return ownElasticity_; }

 private:
  QDoubleSpinBox* Number(double minimo, double maximo, int casas, const QString& unidade);
  void SendPolar();
  void SendComponents();
  void SendSpin();
  void SendElasticity();

  std::function<void(const TCellEdit&)> edit_;
  QDoubleSpinBox *speed_ = nullptr, *angle_ = nullptr, *azimuth_ = nullptr;
  QDoubleSpinBox* velocity_[3] = {};
  QDoubleSpinBox* spin_[3] = {};
  QCheckBox* ownElasticity_ = nullptr;
  QDoubleSpinBox* elasticity_ = nullptr;
  bool showing_ = false;
};
