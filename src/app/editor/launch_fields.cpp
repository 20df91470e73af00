#include "app/editor/launch_fields.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>

#include <cmath>
#include <numbers>

namespace {

using C = TColumn;

constexpr double Grau = std::numbers::pi / 180;
constexpr double MaxSpeed = 1000;  // what the loader accepts per component, m/s and rad/s

double Rounded(double v) {
  const double r = std::round(v * 1e6) / 1e6;
  return r == 0 ? 0 : r;  // never "-0"
}

// An empty cell for a zero, so that a scene without a launch keeps its file's plain columns.
TSceneTable::Celula CellOf(double v) {
  if (v == 0) return std::monostate{};
  return v;
}

}  // namespace

TLaunch LaunchOf(double vx, double vy, double vz) {
  const double v = std::sqrt(vx * vx + vy * vy + vz * vz);
  if (v == 0) return {};
  const double horizontal = std::sqrt(vx * vx + vy * vy);
  return {v, std::atan2(vz, horizontal) / Grau, horizontal == 0 ? 0 : std::atan2(vy, vx) / Grau};
}

std::array<double, 3> ComponentsOf(const TLaunch& l) {
  const double h = l.Speed * std::cos(l.Angle * Grau);
  return {Rounded(h * std::cos(l.Azimuth * Grau)), Rounded(h * std::sin(l.Azimuth * Grau)),
          Rounded(l.Speed * std::sin(l.Angle * Grau))};
}

TLaunchFields::TLaunchFields(std::function<void(const TCellEdit&)> edit, QWidget* pai)
    : QWidget(pai), edit_(std::move(edit)) {
  auto* form = new QFormLayout(this);
  form->setContentsMargins(0, 0, 0, 0);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  auto linha = [&](const QString& rotulo, QWidget* campo) {
    auto* texto = new QLabel(rotulo, this);
    texto->setBuddy(campo);
    form->addRow(texto, campo);
  };
  speed_ = Number(0, MaxSpeed, 3, " m/s");
  angle_ = Number(-90, 90, 2, " °");
  azimuth_ = Number(-180, 180, 2, " °");
  linha("Velocidade de lançamento", speed_);
  linha("Ângulo acima da horizontal", angle_);
  linha("Direção (a partir de X)", azimuth_);
  for (QDoubleSpinBox* c : {speed_, angle_, azimuth_})
    connect(c, &QDoubleSpinBox::valueChanged, this, [this] { SendPolar(); });

  const char* const eixos[] = {"X", "Y", "Z"};
  for (int k = 0; k < 3; ++k) {
    velocity_[k] = Number(-MaxSpeed, MaxSpeed, 3, " m/s");
    linha(QString("Velocidade em %1").arg(eixos[k]), velocity_[k]);
    connect(velocity_[k], &QDoubleSpinBox::valueChanged, this, [this] { SendComponents(); });
  }
  for (int k = 0; k < 3; ++k) {
    spin_[k] = Number(-MaxSpeed, MaxSpeed, 3, " rad/s");
    linha(QString("Giro em torno de %1").arg(eixos[k]), spin_[k]);
    connect(spin_[k], &QDoubleSpinBox::valueChanged, this, [this] { SendSpin(); });
  }

  ownElasticity_ = new QCheckBox("Elasticidade própria (senão, a da cena)", this);
  elasticity_ = Number(0, 1, 2, "");
  elasticity_->setSingleStep(0.05);
  form->addRow(ownElasticity_);
  linha("Elasticidade", elasticity_);
  connect(ownElasticity_, &QCheckBox::toggled, this, [this] { SendElasticity(); });
  connect(elasticity_, &QDoubleSpinBox::valueChanged, this, [this] { SendElasticity(); });
}

QDoubleSpinBox* TLaunchFields::Number(double minimo, double maximo, int casas, const QString& unidade) {
  auto* n = new QDoubleSpinBox(this);
  n->setRange(minimo, maximo);
  n->setDecimals(casas);
  n->setSuffix(unidade);
  // Only a field the user clicked into takes the wheel, and an edit is whole at Enter or on leaving it.
  n->setFocusPolicy(Qt::StrongFocus);
  n->setKeyboardTracking(false);
  return n;
}

void TLaunchFields::Show(const TSceneTable& t, int linha) {
  showing_ = true;
  for (QDoubleSpinBox* campo : findChildren<QDoubleSpinBox*>()) {
    campo->setStyleSheet({});
    campo->setToolTip({});
  }
  const double v[3] = {t.Real(linha, C::VelX), t.Real(linha, C::VelY), t.Real(linha, C::VelZ)};
  const TLaunch l = LaunchOf(v[0], v[1], v[2]);
  speed_->setValue(l.Speed);
  // Without a speed there is no direction to read: the angles the teacher typed first stay for the speed.
  if (l.Speed > 0) {
    angle_->setValue(l.Angle);
    azimuth_->setValue(l.Azimuth);
  }
  const C giro[3] = {C::VelAngX, C::VelAngY, C::VelAngZ};
  for (int k = 0; k < 3; ++k) {
    velocity_[k]->setValue(v[k]);
    spin_[k]->setValue(t.Real(linha, giro[k]));
  }
  const bool propria = !std::holds_alternative<std::monostate>(t.Cell(linha, C::Elasticidade)) &&
                       t.Real(linha, C::Elasticidade) >= 0;
  ownElasticity_->setChecked(propria);
  elasticity_->setEnabled(propria);
  elasticity_->setValue(propria ? t.Real(linha, C::Elasticidade) : 0);
  showing_ = false;
}

QWidget* TLaunchFields::Editor(C coluna) const {
  switch (coluna) {
    case C::VelX:
      return velocity_[0];
    case C::VelY:
      return velocity_[1];
    case C::VelZ:
      return velocity_[2];
    case C::VelAngX:
      return spin_[0];
    case C::VelAngY:
      return spin_[1];
    case C::VelAngZ:
      return spin_[2];
    case C::Elasticidade:
      return elasticity_;
    default:
      return nullptr;
  }
}

void TLaunchFields::SendPolar() {
  if (showing_) return;
  const auto v = ComponentsOf({speed_->value(), angle_->value(), azimuth_->value()});
  edit_({{C::VelX, CellOf(v[0])}, {C::VelY, CellOf(v[1])}, {C::VelZ, CellOf(v[2])}});
}

void TLaunchFields::SendComponents() {
  if (showing_) return;
  edit_({{C::VelX, CellOf(velocity_[0]->value())},
         {C::VelY, CellOf(velocity_[1]->value())},
         {C::VelZ, CellOf(velocity_[2]->value())}});
}

void TLaunchFields::SendSpin() {
  if (showing_) return;
  edit_({{C::VelAngX, CellOf(spin_[0]->value())},
         {C::VelAngY, CellOf(spin_[1]->value())},
         {C::VelAngZ, CellOf(spin_[2]->value())}});
}

void TLaunchFields::SendElasticity() {
  if (showing_) return;
  elasticity_->setEnabled(ownElasticity_->isChecked());
  edit_({{C::Elasticidade,
          ownElasticity_->isChecked() ? TSceneTable::Celula(elasticity_->value()) : std::monostate{}}});
}
