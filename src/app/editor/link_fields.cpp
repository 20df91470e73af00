#include "app/editor/link_fields.h"

#include "physics/links.h"
#include "scene/shape_kind.h"
#include "scene/simulation_step.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>

namespace {

using C = TColumn;

struct TNumberSpec {
  C coluna;
  const char* rotulo;
  const char* unidade;
  double minimo, maximo, passo;
  const char* dica;
};

const TNumberSpec Numbers[] = {
    {C::PontoX, "Ponto de ligação X", " m", -WorldBound, WorldBound, 0.1,
     "no outro objeto, ou fixo no mundo"},
    {C::PontoY, "Ponto de ligação Y", " m", -WorldBound, WorldBound, 0.1, ""},
    {C::PontoZ, "Ponto de ligação Z", " m", -WorldBound, WorldBound, 0.1, ""},
    {C::EixoLigX, "Eixo da dobradiça X", "", -1, 1, 0.1, "direção do eixo, em coordenadas do mundo"},
    {C::EixoLigY, "Eixo da dobradiça Y", "", -1, 1, 0.1, ""},
    {C::EixoLigZ, "Eixo da dobradiça Z", "", -1, 1, 0.1, ""},
    {C::Rigidez, "Rigidez k", " N/m", 0, 1e7, 1, "constante elástica da mola"},
    {C::Amortecimento, "Amortecimento", " N·s/m", 0, 1e6, 0.1, "0: sem perda de energia"},
    {C::Comprimento, "Comprimento", " m", 0, WorldBound, 0.1,
     "da mola relaxada, ou da corda; 0: a distância ao carregar"},
};

const char* const KindNames[] = {"Nenhuma", "Haste (rígida)", "Dobradiça",
                                 "Mola",    "Corda",          "Corda por uma roldana"};

bool UsedBy(int tipo, C c) {
  switch (c) {
    case C::EixoLigX:
    case C::EixoLigY:
    case C::EixoLigZ:
      return tipo == static_cast<int>(TLinkKind::Hinge);
    case C::Rigidez:
    case C::Amortecimento:
      return tipo == static_cast<int>(TLinkKind::Spring);
    case C::Comprimento:
      return tipo == static_cast<int>(TLinkKind::Spring) || tipo == static_cast<int>(TLinkKind::Rope) ||
             tipo == static_cast<int>(TLinkKind::Pulley);
    default:
      return tipo != 0;
  }
}

TVector PlaceOfRow(const TSceneTable& t, int linha) {
  return {t.Real(linha, C::X), t.Real(linha, C::Y), t.Real(linha, C::Z)};
}

}  // namespace

TVector TopOfRow(const TSceneTable& t, int linha) {
  const std::optional<TShapeKind> tipo = ShapeKindOf(t.Integer(linha, C::ODETipo));
  const double altura =
      tipo ? SolidHalfHeight(*tipo, t.Real(linha, C::Dim1), t.Real(linha, C::Dim2), t.Real(linha, C::Dim3))
           : 0;
  return SomaVet(PlaceOfRow(t, linha), {0, 0, altura});
}

TLinkFields::TLinkFields(std::function<void(const TRowCells&)> editar, QWidget* pai)
    : QGroupBox("Ligação", pai), edit_(std::move(editar)) {
  setObjectName(WidgetName);
  form_ = new QFormLayout(this);
  form_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  kind_ = new QComboBox(this);
  for (const char* nome : KindNames) kind_->addItem(nome);
  connect(kind_, &QComboBox::activated, this, [this] { Send(C::Ligacao); });
  form_->addRow("Tipo", kind_);
  other_ = new QComboBox(this);
  other_->setToolTip("O outro objeto da ligação, ou um ponto fixo do mundo");
  connect(other_, &QComboBox::activated, this, [this] { Send(C::LigaCom); });
  form_->addRow("Ligado a", other_);

  anchorButtons_ = new QWidget(this);
  auto* h = new QHBoxLayout(anchorButtons_);
  h->setContentsMargins(0, 0, 0, 0);
  top_ = new QPushButton("Topo do objeto", anchorButtons_);
  otherCentre_ = new QPushButton("Centro do outro", anchorButtons_);
  h->addWidget(top_);
  h->addWidget(otherCentre_);
  const auto ancora = [this](const TVector& p) {
    edit_({{C::PontoX, p.x}, {C::PontoY, p.y}, {C::PontoZ, p.z}});
  };
  connect(top_, &QPushButton::clicked, this, [this, ancora] { ancora(topPoint_); });
  connect(otherCentre_, &QPushButton::clicked, this, [this, ancora] { ancora(otherCentrePoint_); });

  for (const TNumberSpec& n : Numbers) {
    auto* spin = new QDoubleSpinBox(this);
    spin->setRange(n.minimo, n.maximo);
    spin->setSingleStep(n.passo);
    spin->setDecimals(3);
    spin->setSuffix(n.unidade);
    spin->setKeyboardTracking(false);
    if (*n.dica) spin->setToolTip(n.dica);
    const C c = n.coluna;
    connect(spin, &QDoubleSpinBox::valueChanged, this, [this, c] { Send(c); });
    numbers_[c] = spin;
    form_->addRow(n.rotulo, spin);
    if (c == C::PontoZ) form_->addRow("Ponto no", anchorButtons_);
  }
}

void TLinkFields::Send(C c) {
  if (showing_) return;
  if (c == C::Ligacao) {
    const int tipo = kind_->currentIndex();
    TRowCells celulas = {{c, static_cast<int32_t>(tipo)}};
    if (tipo != 0 && !hasAnchor_)
      celulas.insert(celulas.end(),
                     {{C::PontoX, topPoint_.x}, {C::PontoY, topPoint_.y}, {C::PontoZ, topPoint_.z}});
    if (tipo == static_cast<int>(TLinkKind::Spring) && !hasStiffness_) celulas.push_back({C::Rigidez, 10.0});
    if (tipo == static_cast<int>(TLinkKind::Hinge) && !hasAxis_) celulas.push_back({C::EixoLigZ, 1.0});
    if (tipo == static_cast<int>(TLinkKind::Pulley) && otherId_ == 0 && firstOtherId_ != 0)
      celulas.push_back({C::LigaCom, firstOtherId_});
    edit_(celulas);
  } else if (c == C::LigaCom) {
    edit_({{c, static_cast<int32_t>(other_->currentData().toInt())}});
  } else {
    edit_({{c, static_cast<QDoubleSpinBox*>(numbers_.at(c))->value()}});
  }
}

void TLinkFields::ShowKind(int tipo) {
  form_->setRowVisible(other_, tipo != 0);
  form_->setRowVisible(anchorButtons_, tipo != 0);
  for (const auto& [c, w] : numbers_) form_->setRowVisible(w, UsedBy(tipo, c));
}

void TLinkFields::Show(const TSceneTable& t, int linha) {
  showing_ = true;
  const int tipo = t.Integer(linha, C::Ligacao);
  kind_->setCurrentIndex(tipo >= 0 && tipo <= LastLinkKind ? tipo : -1);
  other_->clear();
  other_->addItem("Ponto fixo do mundo", 0);
  const int32_t ligado = t.Integer(linha, C::LigaCom);
  otherCentrePoint_ = PlaceOfRow(t, linha);
  for (int k = 0; k < t.RowCount(); ++k) {
    if (k == linha || !std::holds_alternative<int32_t>(t.Cell(k, C::ID))) continue;
    const int32_t id = t.Integer(k, C::ID);
    const QString nome = QString::fromStdString(t.Text(k, C::Nome));
    other_->addItem(QString("%1 (ID %2)").arg(nome.isEmpty() ? QString("linha %1").arg(k + 1) : nome).arg(id),
                    id);
    if (id == ligado) {
      other_->setCurrentIndex(other_->count() - 1);
      otherCentrePoint_ = PlaceOfRow(t, k);
    }
  }
  otherCentre_->setEnabled(ligado != 0);
  otherId_ = ligado;
  firstOtherId_ = other_->count() > 1 ? other_->itemData(1).toInt() : 0;
  hasStiffness_ = t.Real(linha, C::Rigidez) > 0;
  hasAxis_ =
      t.Real(linha, C::EixoLigX) != 0 || t.Real(linha, C::EixoLigY) != 0 || t.Real(linha, C::EixoLigZ) != 0;
  hasAnchor_ = false;
  for (const C c : {C::PontoX, C::PontoY, C::PontoZ})
    hasAnchor_ = hasAnchor_ || t.Cell(linha, c).index() != 0;
  topPoint_ = TopOfRow(t, linha);
  for (const auto& [c, w] : numbers_) {
    w->setStyleSheet({});
    static_cast<QDoubleSpinBox*>(w)->setValue(t.Real(linha, c));
  }
  kind_->setStyleSheet({});
  other_->setStyleSheet({});
  ShowKind(tipo);
  showing_ = false;
}

QWidget* TLinkFields::Editor(C c) const {
  if (c == C::Ligacao) return kind_;
  if (c == C::LigaCom) return other_;
  const auto it = numbers_.find(c);
  return it != numbers_.end() ? it->second : nullptr;
}

bool TLinkFields::MarkError(C c, const QString& texto) {
  QWidget* w = Editor(c);
  if (!w) return false;
  w->setStyleSheet("border: 2px solid #d02020; background-color: #ffe0e0");
  w->setToolTip(texto);
  return true;
}
