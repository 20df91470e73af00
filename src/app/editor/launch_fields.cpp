#include "app/editor/launch_fields.h"

#include "app/editor/field_edit.h"
#include "common/number_text.h"
#include "scene/scene_loader.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <cmath>

namespace {

using C = TColumn;

constexpr double MaxSpeed = MaxStartSpeed;  // per component, m/s and rad/s
constexpr std::array<C, 3> VelocityColumns{C::VelX, C::VelY, C::VelZ};
constexpr std::array<C, 3> SpinColumns{C::VelAngX, C::VelAngY, C::VelAngZ};

QString Shown(double v) {
  return QString::fromStdString(FormatTypedNumber(v));
}

}  // namespace

TLaunchFields::TLaunchFields(std::function<void(const TRowCells&)> edit, std::function<void()> keyboardBack,
                             QWidget* pai)
    : QWidget(pai), edit_(std::move(edit)), keyboardBack_(std::move(keyboardBack)) {
  auto* form = new QFormLayout(this);
  form->setContentsMargins(0, 0, 0, 0);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  const TNumberRange velocidade{-MaxSpeed, MaxSpeed, false, " m/s", "o limite do mundo"};
  speed_ = AddNumber("Velocidade de lançamento", {0, MaxSpeed, false, " m/s", "o limite do mundo"},
                     [this] { SendPolar(); });
  angle_ = AddNumber("Ângulo acima da horizontal", {-90, 90, false, " °", ""}, [this] { SendPolar(); });
  azimuth_ = AddNumber("Direção (a partir de X)", {-180, 180, false, " °", ""}, [this] { SendPolar(); });
  const char* const eixos[] = {"X", "Y", "Z"};
  for (int k = 0; k < 3; ++k)
    velocity_[k] =
        AddNumber(QString("Velocidade em %1").arg(eixos[k]), velocidade, [this] { SendComponents(); });
  // The arrow is where a launch is aimed by eye; the fields above give its exact numbers.
  auto* dica = new QLabel("Com a simulação pausada, arraste a ponta da seta do objeto na vista 3D.", this);
  dica->setWordWrap(true);
  form->addRow(dica);
  for (int k = 0; k < 3; ++k)
    spin_[k] = AddNumber(QString("Giro em torno de %1").arg(eixos[k]),
                         {-MaxSpeed, MaxSpeed, false, " rad/s", "o limite do mundo"}, [this] { SendSpin(); });
  ownElasticity_ = new QCheckBox("Elasticidade própria (senão, a da cena)", this);
  ownElasticity_->setFocusPolicy(Qt::TabFocus);
  form->addRow(ownElasticity_);
  connect(ownElasticity_, &QCheckBox::toggled, this, [this] { SendElasticity(); });
  elasticity_ = AddNumber("Elasticidade", {0, 1, false, "", ""}, [this] { SendElasticity(); });
}

TFieldEdit* TLaunchFields::AddNumber(const QString& rotulo, TNumberRange faixa,
                                     std::function<void()> enviar) {
  auto* caixa = new QWidget(this);
  auto* v = new QVBoxLayout(caixa);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(1);
  auto* campo = new TFieldEdit(caixa);
  campo->setAccessibleName(rotulo);
  campo->setToolTip("Aceito: " + faixa.Describe());
  campo->OnEnter([this] { keyboardBack_(); });
  connect(campo, &QLineEdit::editingFinished, this, [this, enviar = std::move(enviar)] {
    if (!showing_) enviar();
  });
  v->addWidget(campo);
  auto* mensagem = new QLabel(caixa);
  mensagem->setWordWrap(true);
  mensagem->setStyleSheet("color: #b00000");
  mensagem->hide();
  v->addWidget(mensagem);
  auto* texto =
      new QLabel(rotulo + (faixa.unidade.isEmpty() ? "" : " (" + faixa.unidade.trimmed() + ")"), this);
  texto->setBuddy(campo);
  static_cast<QFormLayout*>(layout())->addRow(texto, caixa);
  numbers_[campo] = {campo, mensagem, std::move(faixa)};
  return campo;
}

std::optional<double> TLaunchFields::Typed(TFieldEdit* campo) {
  TNumber& n = numbers_.at(campo);
  const QString texto = campo->text();
  if (texto == campo->Saved()) return std::nullopt;
  double v = 0;
  if (const auto erro = n.range.Read(texto, v)) {
    // The value stays what it was, and the field says why.
    campo->setText(campo->Saved());
    n.message->setText(*erro);
    n.message->show();
    campo->setAccessibleDescription(*erro);
    return std::nullopt;
  }
  n.message->hide();
  campo->setAccessibleDescription({});
  return v;
}

double TLaunchFields::Value(TFieldEdit* campo) const {
  double v = 0;
  return numbers_.at(campo).range.Read(campo->text(), v) ? 0 : v;
}

QString TLaunchFields::Message(QWidget* campo) const {
  const auto it = numbers_.find(campo);
  return it != numbers_.end() && !it->second.message->isHidden() ? it->second.message->text() : QString();
}

void TLaunchFields::Show(const TSceneTable& t, int linha) {
  showing_ = true;
  for (auto& [campo, n] : numbers_) {
    n.message->hide();
    n.edit->setAccessibleDescription({});
    n.edit->setStyleSheet({});
    n.edit->setToolTip("Aceito: " + n.range.Describe());
  }
  const double v[3] = {t.Real(linha, C::VelX), t.Real(linha, C::VelY), t.Real(linha, C::VelZ)};
  const TLaunch l = LaunchOf(v[0], v[1], v[2]);
  speed_->ShowSaved(Shown(l.Speed));
  // Without a speed there is no direction to read: the angles the teacher typed first stay for the speed.
  if (l.Speed > 0) {
    angle_->ShowSaved(Shown(l.Angle));
    azimuth_->ShowSaved(Shown(l.Azimuth));
  } else {
    for (TFieldEdit* a : {angle_, azimuth_})
      if (a->text().isEmpty()) a->ShowSaved("0");
  }
  for (int k = 0; k < 3; ++k) {
    velocity_[k]->ShowSaved(Shown(v[k]));
    spin_[k]->ShowSaved(Shown(t.Real(linha, SpinColumns[k])));
  }
  const bool propria = !std::holds_alternative<std::monostate>(t.Cell(linha, C::Elasticidade)) &&
                       t.Real(linha, C::Elasticidade) >= 0;
  ownElasticity_->setChecked(propria);
  elasticity_->setEnabled(propria);
  elasticity_->ShowSaved(propria ? Shown(t.Real(linha, C::Elasticidade)) : QString("0"));
  showing_ = false;
}

TFieldEdit* TLaunchFields::Editor(C coluna) const {
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

TFieldEdit* TLaunchFields::Editor(TPolar campo) const {
  return campo == TPolar::Speed ? speed_ : campo == TPolar::Angle ? angle_ : azimuth_;
}

bool TLaunchFields::ReadChanged(std::span<TFieldEdit* const> campos) {
  for (TFieldEdit* campo : campos)
    if (campo->text() != campo->Saved() && !Typed(campo)) return false;
  return true;
}

void TLaunchFields::SendVector(const std::array<C, 3>& colunas, const std::array<double, 3>& v) {
  edit_({{colunas[0], LaunchCell(v[0])}, {colunas[1], LaunchCell(v[1])}, {colunas[2], LaunchCell(v[2])}});
}

void TLaunchFields::SendPolar() {
  // Each field is read as typed: one refused leaves the launch as it was.
  const std::array<TFieldEdit*, 3> polar{speed_, angle_, azimuth_};
  if (!ReadChanged(polar)) return;
  SendVector(VelocityColumns, ComponentsOf({Value(speed_), Value(angle_), Value(azimuth_)}));
}

void TLaunchFields::SendComponents() {
  if (!ReadChanged(velocity_)) return;
  SendVector(VelocityColumns, {Value(velocity_[0]), Value(velocity_[1]), Value(velocity_[2])});
}

void TLaunchFields::SendSpin() {
  if (!ReadChanged(spin_)) return;
  SendVector(SpinColumns, {Value(spin_[0]), Value(spin_[1]), Value(spin_[2])});
}

void TLaunchFields::SendElasticity() {
  if (showing_) return;
  elasticity_->setEnabled(ownElasticity_->isChecked());
  if (!ReadChanged({&elasticity_, 1})) return;
  edit_({{C::Elasticidade,
          ownElasticity_->isChecked() ? TSceneTable::Celula(Value(elasticity_)) : std::monostate{}}});
}
