#include "app/editor/object_fields.h"

#include "app/editor/link_fields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>

namespace {

using C = TColumn;

// One line per field, in the order they appear; the groups in the order a person goes through them.
struct TFieldSpec {
  C coluna;
  const char* grupo;
  const char* rotulo;
  const char* unidade;  // suffix of a number
  double minimo, maximo, passo;
  int casas;
};

constexpr double Longe = 10000;  // the world's bound, in metres

const TFieldSpec Fields[] = {
    {C::Nome, "Objeto", "Nome", "", 0, 0, 0, 0},
    {C::ODETipo, "Forma e tamanho", "Forma", "", 0, 0, 0, 0},
    {C::Dim1, "Forma e tamanho", "", " m", -Longe, Longe, 0.1, 3},
    {C::Dim2, "Forma e tamanho", "", " m", -Longe, Longe, 0.1, 3},
    {C::Dim3, "Forma e tamanho", "", " m", -Longe, Longe, 0.1, 3},
    {C::Dim4, "Forma e tamanho", "", " m", -Longe, Longe, 0.1, 3},
    {C::SX, "Forma e tamanho", "", "", -Longe, Longe, 0.1, 3},
    {C::SY, "Forma e tamanho", "", "", -Longe, Longe, 0.1, 3},
    {C::SZ, "Forma e tamanho", "", "", -Longe, Longe, 0.1, 3},
    {C::Arquivo, "Forma e tamanho", "Arquivo do modelo", "", 0, 0, 0, 0},
    {C::X, "Posição e giro", "X", " m", -Longe, Longe, 0.1, 3},
    {C::Y, "Posição e giro", "Y", " m", -Longe, Longe, 0.1, 3},
    {C::Z, "Posição e giro", "Z (altura)", " m", -Longe, Longe, 0.1, 3},
    {C::Ang, "Posição e giro", "Ângulo", " °", -360, 360, 5, 2},
    {C::eixoX, "Posição e giro", "Eixo de giro X", "", -1000, 1000, 0.1, 3},
    {C::eixoY, "Posição e giro", "Eixo de giro Y", "", -1000, 1000, 0.1, 3},
    {C::eixoZ, "Posição e giro", "Eixo de giro Z", "", -1000, 1000, 0.1, 3},
    {C::Massa, "Massa e superfície", "Massa", " kg", 0, 1e6, 0.1, 3},
    {C::Atrito, "Massa e superfície", "Atrito", "", 0, 100, 0.05, 2},
    {C::UsaCor, "Cor", "Usar a cor", "", 0, 0, 0, 0},
    {C::ODEMove, "Movimento", "A física move o objeto", "", 0, 0, 0, 0},
    {C::UserMove, "Movimento", "Pode ser agarrado", "", 0, 0, 0, 0},
    {C::MoveX, "Movimento", "Agarrado, move em X", "", 0, 0, 0, 0},
    {C::MoveY, "Movimento", "Agarrado, move em Y", "", 0, 0, 0, 0},
    {C::MoveZ, "Movimento", "Agarrado, move em Z", "", 0, 0, 0, 0},
    {C::MostraRastroSempre, "Exibição", "Rastro", "", 0, 0, 0, 0},
    {C::MostraRastroSolto, "Exibição", "Rastro ao soltar", "", 0, 0, 0, 0},
    {C::MostraVecV, "Exibição", "Vetor velocidade", "", 0, 0, 0, 0},
    {C::MostraVecA, "Exibição", "Vetor força", "", 0, 0, 0, 0},
    {C::MostraEixoRot, "Exibição", "Eixo de rotação", "", 0, 0, 0, 0},
};

// The wheel scrolls the panel over a field the user has not clicked into: a value changed by the wheel on its
// way down the panel would rebuild the scene at every notch.
template <typename TEditor>
class TWheelWhenFocused : public TEditor {
 public:
  explicit TWheelWhenFocused(QWidget* pai) : TEditor(pai) { this->setFocusPolicy(Qt::StrongFocus); }

 protected:
  void wheelEvent(QWheelEvent* evento) override {
    if (this->hasFocus())
      TEditor::wheelEvent(evento);
    else
      evento->ignore();
  }
};

const char* const ShapeNames[] = {"Esfera", "Cápsula", "Caixa", "Plano", "Modelo OBJ"};

TColumnType TypeOf(C c) {
  return SceneColumns()[static_cast<std::size_t>(c)].Tipo;
}

}  // namespace

QString SizeLabel(int tipo, C coluna) {
  switch (tipo) {
    case 0:
      return coluna == C::Dim1 ? "Raio" : "";
    case 1:
      return coluna == C::Dim1 ? "Raio" : coluna == C::Dim2 ? "Comprimento do cilindro" : "";
    case 2:
      return coluna == C::Dim1   ? "Comprimento (X)"
             : coluna == C::Dim2 ? "Largura (Y)"
             : coluna == C::Dim3 ? "Altura (Z)"
                                 : "";
    case 3:
      return coluna == C::Dim1   ? "Normal a (X)"
             : coluna == C::Dim2 ? "Normal b (Y)"
             : coluna == C::Dim3 ? "Normal c (Z)"
             : coluna == C::Dim4 ? "Distância d"
             : coluna == C::SX   ? "Largura desenhada (X)"
             : coluna == C::SY   ? "Largura desenhada (Y)"
                                 : "";
    case 4:
      return coluna == C::SX ? "Escala X" : coluna == C::SY ? "Escala Y" : coluna == C::SZ ? "Escala Z" : "";
    default:
      return "";
  }
}

TObjectFields::TObjectFields(THandlers handlers, QWidget* pai)
    : QWidget(pai), handlers_(std::move(handlers)) {
  Build();
}

void TObjectFields::Build() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  QString grupoAtual;
  QFormLayout* form = nullptr;
  auto novoGrupo = [&](const QString& titulo) {
    auto* caixa = new QGroupBox(titulo, this);
    form = new QFormLayout(caixa);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    layout->addWidget(caixa);
    grupoAtual = titulo;
  };
  for (const TFieldSpec& f : Fields) {
    if (grupoAtual != f.grupo) {
      novoGrupo(f.grupo);
      if (grupoAtual == "Cor") {
        colourButton_ = new QPushButton("Escolher cor…", this);
        connect(colourButton_, &QPushButton::clicked, this, [this] { handlers_.chooseColour(); });
        form->addRow("Cor", colourButton_);
      }
    }
    TField campo;
    campo.form = form;
    const C c = f.coluna;
    switch (TypeOf(c)) {
      case TColumnType::Real: {
        auto* spin = new TWheelWhenFocused<QDoubleSpinBox>(this);
        spin->setRange(f.minimo, f.maximo);
        spin->setSingleStep(f.passo);
        spin->setDecimals(f.casas);
        spin->setSuffix(f.unidade);
        // An edit is whole when the user leaves the field or presses Enter, not at every digit.
        spin->setKeyboardTracking(false);
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this, c] { Send(c); });
        campo.editor = spin;
        break;
      }
      case TColumnType::Boolean: {
        auto* caixa = new QCheckBox(f.rotulo, this);
        connect(caixa, &QCheckBox::toggled, this, [this, c] { Send(c); });
        campo.editor = caixa;
        break;
      }
      case TColumnType::Integer: {
        auto* combo = new TWheelWhenFocused<QComboBox>(this);
        for (const char* nome : ShapeNames) combo->addItem(nome);
        connect(combo, &QComboBox::activated, this, [this, c] { Send(c); });
        campo.editor = combo;
        break;
      }
      case TColumnType::Text: {
        auto* linha = new QLineEdit(this);
        linha->setMaxLength(SceneColumns()[static_cast<std::size_t>(c)].Largura);
        connect(linha, &QLineEdit::editingFinished, this, [this, c] { Send(c); });
        campo.editor = linha;
        break;
      }
    }
    campo.row = campo.editor;
    if (c == C::Arquivo) {
      auto* linha = new QWidget(this);
      auto* h = new QHBoxLayout(linha);
      h->setContentsMargins(0, 0, 0, 0);
      h->addWidget(campo.editor);
      auto* escolher = new QPushButton("…", linha);
      escolher->setToolTip("Escolher o arquivo do modelo");
      connect(escolher, &QPushButton::clicked, this, [this] { handlers_.chooseModel(); });
      h->addWidget(escolher);
      campo.row = linha;
    }
    if (TypeOf(c) == TColumnType::Boolean) {
      form->addRow(campo.row);
    } else {
      campo.label = new QLabel(f.rotulo, this);
      form->addRow(campo.label, campo.row);
    }
    fields_[c] = campo;
  }
  links_ = new TLinkFields(handlers_.edit, this);
  layout->addWidget(links_);
  layout->addStretch(1);
}

void TObjectFields::Send(C c) {
  if (showing_) return;
  QWidget* w = fields_.at(c).editor;
  TSceneTable::Celula valor;
  if (auto* spin = qobject_cast<QDoubleSpinBox*>(w)) valor = spin->value();
  if (auto* caixa = qobject_cast<QCheckBox*>(w)) valor = caixa->isChecked();
  if (auto* combo = qobject_cast<QComboBox*>(w)) valor = static_cast<int32_t>(combo->currentIndex());
  if (auto* linha = qobject_cast<QLineEdit*>(w)) valor = linha->text().toStdString();
  handlers_.edit({{c, valor}});
}

void TObjectFields::ShowShape(int tipo) {
  for (C c : {C::Dim1, C::Dim2, C::Dim3, C::Dim4, C::SX, C::SY, C::SZ}) {
    TField& f = fields_.at(c);
    const QString rotulo = SizeLabel(tipo, c);
    f.form->setRowVisible(f.row, !rotulo.isEmpty());
    f.label->setText(rotulo);
    auto* spin = static_cast<QDoubleSpinBox*>(f.editor);
    // A solid's sizes are lengths; a plane's are its equation, and a model's scales may mirror it.
    const bool tamanho = tipo <= 2;
    spin->setMinimum(tamanho ? 0.01 : -Longe);
    spin->setSuffix(tipo <= 3 && c <= C::Dim4 ? " m" : "");
  }
  const TField& arquivo = fields_.at(C::Arquivo);
  arquivo.form->setRowVisible(arquivo.row, tipo == 4);
}

void TObjectFields::Show(const TSceneTable& t, int linha) {
  showing_ = true;
  const int tipo = t.Integer(linha, C::ODETipo);
  ShowShape(tipo);
  for (auto& [c, f] : fields_) {
    f.editor->setStyleSheet({});
    f.editor->setToolTip({});
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(f.editor)) spin->setValue(t.Real(linha, c));
    if (auto* caixa = qobject_cast<QCheckBox*>(f.editor)) caixa->setChecked(t.Boolean(linha, c));
    if (auto* combo = qobject_cast<QComboBox*>(f.editor))
      combo->setCurrentIndex(tipo >= 0 && tipo <= 4 ? tipo : -1);
    if (auto* texto = qobject_cast<QLineEdit*>(f.editor))
      texto->setText(QString::fromStdString(t.Text(linha, c)));
  }
  const auto canal = [&](C c) {
    return static_cast<int>(std::lround(std::clamp(t.Real(linha, c), 0.0, 255.0)));
  };
  links_->Show(t, linha);
  colourButton_->setStyleSheet(
      QString("background-color: rgb(%1, %2, %3)").arg(canal(C::R)).arg(canal(C::G)).arg(canal(C::B)));
  showing_ = false;
}

void TObjectFields::MarkError(C coluna, const QString& texto) {
  if (links_->MarkError(coluna, texto)) return;
  auto it = fields_.find(coluna);
  QWidget* w = it != fields_.end() ? it->second.editor : colourButton_;
  w->setStyleSheet("border: 2px solid #d02020; background-color: #ffe0e0");
  w->setToolTip(texto);
}

QWidget* TObjectFields::Editor(C coluna) const {
  if (QWidget* w = links_->Editor(coluna)) return w;
  auto it = fields_.find(coluna);
  return it != fields_.end() ? it->second.editor : nullptr;
}
