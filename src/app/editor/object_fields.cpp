#include "app/editor/object_fields.h"

#include "app/editor/field_edit.h"
#include "app/editor/launch_fields.h"
#include "app/editor/link_fields.h"
#include "common/number_text.h"
#include "scene/shape_kind.h"
#include "scene/simulation_step.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

using C = TColumn;

// One line per field, in the order they appear; the groups in the order a person goes through them.
struct TFieldSpec {
  C coluna;
  const char* grupo;
  const char* rotulo;
  const char* unidade;  // suffix of a number
  double minimo, maximo;
  bool minimoExcluido;
  const char* porque;
};

const TFieldSpec Fields[] = {
    {C::Nome, "Objeto", "Nome", "", 0, 0, false, ""},
    {C::ODETipo, "Forma e tamanho", "Forma", "", 0, 0, false, ""},
    {C::Dim1, "Forma e tamanho", "", " m", -WorldBound, WorldBound, false, ""},
    {C::Dim2, "Forma e tamanho", "", " m", -WorldBound, WorldBound, false, ""},
    {C::Dim3, "Forma e tamanho", "", " m", -WorldBound, WorldBound, false, ""},
    {C::Dim4, "Forma e tamanho", "", " m", -WorldBound, WorldBound, false, ""},
    {C::SX, "Forma e tamanho", "", "", -WorldBound, WorldBound, false, ""},
    {C::SY, "Forma e tamanho", "", "", -WorldBound, WorldBound, false, ""},
    {C::SZ, "Forma e tamanho", "", "", -WorldBound, WorldBound, false, ""},
    {C::Arquivo, "Forma e tamanho", "Arquivo do modelo", "", 0, 0, false, ""},
    {C::X, "Posição e giro", "X", " m", -WorldBound, WorldBound, false, ""},
    {C::Y, "Posição e giro", "Y", " m", -WorldBound, WorldBound, false, ""},
    {C::Z, "Posição e giro", "Z (altura)", " m", -WorldBound, WorldBound, false, ""},
    {C::Ang, "Posição e giro", "Ângulo", "°", -360, 360, false, ""},
    {C::eixoX, "Posição e giro", "Eixo de giro X", "", -1000, 1000, false, ""},
    {C::eixoY, "Posição e giro", "Eixo de giro Y", "", -1000, 1000, false, ""},
    {C::eixoZ, "Posição e giro", "Eixo de giro Z", "", -1000, 1000, false, ""},
    {C::Massa, "Massa e superfície", "Massa", " kg", 0, 1e6, true,
     "o motor de física precisa de uma massa positiva"},
    {C::Atrito, "Massa e superfície", "Atrito", "", 0, 100, false, ""},
    {C::UsaCor, "Cor", "Usar a cor", "", 0, 0, false, ""},
    {C::ODEMove, "Movimento", "A física move o objeto", "", 0, 0, false, ""},
    {C::UserMove, "Movimento", "Pode ser agarrado", "", 0, 0, false, ""},
    {C::MoveX, "Movimento", "Agarrado, move em X", "", 0, 0, false, ""},
    {C::MoveY, "Movimento", "Agarrado, move em Y", "", 0, 0, false, ""},
    {C::MoveZ, "Movimento", "Agarrado, move em Z", "", 0, 0, false, ""},
    {C::MostraRastroSempre, "Exibição", "Rastro", "", 0, 0, false, ""},
    {C::MostraRastroSolto, "Exibição", "Rastro ao soltar", "", 0, 0, false, ""},
    {C::MostraVecV, "Exibição", "Vetor velocidade", "", 0, 0, false, ""},
    {C::MostraVecA, "Exibição", "Vetor força", "", 0, 0, false, ""},
    {C::MostraEixoRot, "Exibição", "Eixo de rotação", "", 0, 0, false, ""},
};

// A number as the field shows it: as the teacher typed it when that is still the value, else the shortest
// text that reads back, with a decimal comma.
QString Shown(double valor, const QString& digitado) {
  double lido = 0;
  if (!digitado.isEmpty() && ParseTypedNumber(digitado.toStdString(), lido) && lido == valor)
    return digitado.trimmed().replace('.', ',');
  return QString::fromStdString(FormatTypedNumber(valor));
}

bool IsAxis(C c) {
  return c == C::eixoX || c == C::eixoY || c == C::eixoZ;
}

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

QString Text(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The field of `coluna` for kind `tipo`, or null when the kind does not use the column.
const TSizeField* SizeField(int tipo, C coluna) {
  const std::optional<TShapeKind> forma = ShapeKindOf(tipo);
  if (!forma) return nullptr;
  for (const TSizeField& f : ShapeInfo(*forma).Sizes)
    if (f.Column == coluna) return &f;
  return nullptr;
}

TColumnType TypeOf(C c) {
  return SceneColumns()[static_cast<std::size_t>(c)].Tipo;
}

}  // namespace

QString SizeLabel(int tipo, C coluna) {
  const TSizeField* f = SizeField(tipo, coluna);
  return f ? Text(f->Label) : QString();
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
        auto* numero = new TFieldEdit(this);
        numero->setAlignment(Qt::AlignRight);
        // An edit is whole when the user leaves the field or presses Enter, not at every digit.
        connect(numero, &QLineEdit::editingFinished, this, [this, c] { SendNumber(c); });
        numero->OnEnter([this, c] {
          if (FieldMessage(c).isEmpty()) handlers_.keyboardBack();
        });
        campo.editor = numero;
        campo.range = {f.minimo, f.maximo, f.minimoExcluido, QString::fromUtf8(f.unidade),
                       QString::fromUtf8(f.porque)};
        break;
      }
      case TColumnType::Boolean: {
        auto* caixa = new QCheckBox(f.rotulo, this);
        // A click changes it and leaves the keys where they were: the arrows go on turning the camera.
        caixa->setFocusPolicy(Qt::TabFocus);
        connect(caixa, &QCheckBox::toggled, this, [this, c] { Send(c); });
        campo.editor = caixa;
        break;
      }
      case TColumnType::Integer: {
        auto* combo = new TWheelWhenFocused<QComboBox>(this);
        for (const TShapeKind forma : ShapeKinds) combo->addItem(Text(ShapeInfo(forma).Name));
        connect(combo, &QComboBox::activated, this, [this, c] {
          Send(c);
          handlers_.keyboardBack();
        });
        campo.editor = combo;
        break;
      }
      case TColumnType::Text: {
        auto* linha = new TFieldEdit(this);
        linha->setMaxLength(SceneColumns()[static_cast<std::size_t>(c)].Largura);
        connect(linha, &QLineEdit::editingFinished, this, [this, c] { Send(c); });
        linha->OnEnter([this] { handlers_.keyboardBack(); });
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
    if (TypeOf(c) == TColumnType::Real) {
      // The refusal sits right under the number it is about.
      auto* caixa = new QWidget(this);
      auto* v = new QVBoxLayout(caixa);
      v->setContentsMargins(0, 0, 0, 0);
      v->setSpacing(1);
      // The unit beside the number, as the number is read: "2,5 m".
      auto* numero = new QHBoxLayout;
      numero->addWidget(campo.editor, 1);
      campo.unit = new QLabel(campo.range.unidade.trimmed(), caixa);
      campo.unit->setMinimumWidth(campo.unit->fontMetrics().horizontalAdvance("kg") + 2);
      numero->addWidget(campo.unit);
      v->addLayout(numero);
      campo.message = new QLabel(caixa);
      campo.message->setWordWrap(true);
      campo.message->setStyleSheet("color: #b00000");
      campo.message->hide();
      v->addWidget(campo.message);
      campo.row = caixa;
    }
    if (TypeOf(c) == TColumnType::Boolean) {
      form->addRow(campo.row);
    } else {
      campo.label = new QLabel(this);
      form->addRow(campo.label, campo.row);
      SetLabel(campo, f.rotulo);
    }
    fields_[c] = campo;
  }
  launch_ = new TLaunchFields([this](const TRowCells& c) { handlers_.edit(typedRow_, c); },
                              [this] { handlers_.keyboardBack(); }, this);
  fields_.at(C::ODEMove).form->addRow(launch_);
  links_ = new TLinkFields([this](const TRowCells& c) { handlers_.edit(typedRow_, c); }, this);
  layout->addWidget(links_);
  layout->addStretch(1);
}

void TObjectFields::SetLabel(TField& campo, const QString& texto) {
  campo.label->setText(texto);
  // A screen reader names the field by its own label, not by the group around it.
  campo.label->setBuddy(campo.editor);
  campo.editor->setAccessibleName(texto);
}

void TObjectFields::Send(C c) {
  if (showing_) return;
  QWidget* w = fields_.at(c).editor;
  TSceneTable::Celula valor;
  if (auto* caixa = qobject_cast<QCheckBox*>(w)) valor = caixa->isChecked();
  if (auto* combo = qobject_cast<QComboBox*>(w)) valor = static_cast<int32_t>(combo->currentIndex());
  if (auto* linha = qobject_cast<QLineEdit*>(w)) valor = linha->text().toStdString();
  handlers_.edit(typedRow_, {{c, valor}});
}

void TObjectFields::SendNumber(C c) {
  if (showing_) return;
  TField& f = fields_.at(c);
  auto* numero = static_cast<TFieldEdit*>(f.editor);
  const QString texto = numero->text();
  if (texto == numero->Saved()) return;  // nothing typed (a focus change after Enter, or Escape)
  double v = 0;
  if (const auto erro = f.range.Read(texto, v)) return Refuse(c, *erro);
  const bool eixo = IsAxis(c);
  const double ang = c == C::Ang ? v : angle_;
  double e[3] = {axis_[0], axis_[1], axis_[2]};
  if (eixo) e[static_cast<int>(c) - static_cast<int>(C::eixoX)] = v;
  if (ang != 0 && e[0] == 0 && e[1] == 0 && e[2] == 0 && (eixo || c == C::Ang))
    return Refuse(c,
                  "Um giro precisa de um eixo: X, Y e Z do eixo de giro não podem ser todos 0 com o "
                  "ângulo diferente de 0.");
  typed_[c] = texto;
  handlers_.edit(typedRow_, {{c, v}});
}

void TObjectFields::Refuse(C c, const QString& texto) {
  TField& f = fields_.at(c);
  auto* numero = static_cast<TFieldEdit*>(f.editor);
  // The value stays what it was, and the field says so; the message says what was refused and why.
  numero->setText(numero->Saved());
  numero->selectAll();
  f.message->setText(texto);
  f.message->show();
  f.editor->setAccessibleDescription(texto);
  f.editor->setStyleSheet("border: 2px solid #d02020; background-color: #ffe0e0");
}

void TObjectFields::CommitPending() {
  for (auto& [c, f] : fields_) {
    auto* campo = dynamic_cast<TFieldEdit*>(f.editor);
    if (campo && campo->text() != campo->Saved()) emit campo->editingFinished();
  }
}

QString TObjectFields::FieldMessage(C c) const {
  const auto it = fields_.find(c);
  if (it == fields_.end() || !it->second.message || it->second.message->isHidden()) return {};
  return it->second.message->text();
}

void TObjectFields::ShowShape(int tipo) {
  for (C c : {C::Dim1, C::Dim2, C::Dim3, C::Dim4, C::SX, C::SY, C::SZ}) {
    TField& f = fields_.at(c);
    const TSizeField* campo = SizeField(tipo, c);
    f.form->setRowVisible(f.row, campo != nullptr);
    SetLabel(f, campo ? Text(campo->Label) : QString());
    if (!campo) continue;
    f.range.minimo = campo->Minimum == TSizeMinimum::Any ? -WorldBound : 0;
    f.range.minimoExcluido = campo->Minimum == TSizeMinimum::Positive;
    f.range.unidade = Text(campo->Unit);
    f.unit->setText(f.range.unidade.trimmed());
  }
  const TField& arquivo = fields_.at(C::Arquivo);
  arquivo.form->setRowVisible(arquivo.row, tipo == static_cast<int>(TShapeKind::Mesh));
}

void TObjectFields::Show(const TSceneTable& t, int linha) {
  showing_ = true;
  if (linha != typedRow_) typed_.clear();
  typedRow_ = linha;
  const int tipo = t.Integer(linha, C::ODETipo);
  angle_ = t.Real(linha, C::Ang);
  for (C c : {C::eixoX, C::eixoY, C::eixoZ})
    axis_[static_cast<int>(c) - static_cast<int>(C::eixoX)] = t.Real(linha, c);
  ShowShape(tipo);
  for (auto& [c, f] : fields_) {
    f.editor->setStyleSheet({});
    f.editor->setToolTip({});
    f.editor->setAccessibleDescription({});
    if (f.message) f.message->hide();
    if (TypeOf(c) == TColumnType::Real) {
      const auto digitado = typed_.find(c);
      static_cast<TFieldEdit*>(f.editor)->ShowSaved(
          Shown(t.Real(linha, c), digitado != typed_.end() ? digitado->second : QString()));
    }
    if (auto* caixa = qobject_cast<QCheckBox*>(f.editor)) caixa->setChecked(t.Boolean(linha, c));
    if (auto* combo = qobject_cast<QComboBox*>(f.editor))
      combo->setCurrentIndex(ShapeKindOf(tipo) ? tipo : -1);
    if (TypeOf(c) == TColumnType::Text)
      static_cast<TFieldEdit*>(f.editor)->ShowSaved(QString::fromStdString(t.Text(linha, c)));
  }
  launch_->Show(t, linha);
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
  QWidget* w = Editor(coluna);
  if (!w) w = colourButton_;
  w->setStyleSheet("border: 2px solid #d02020; background-color: #ffe0e0");
  w->setToolTip(texto);
}

QWidget* TObjectFields::Editor(C coluna) const {
  if (QWidget* w = links_->Editor(coluna)) return w;
  auto it = fields_.find(coluna);
  return it != fields_.end() ? it->second.editor : launch_->Editor(coluna);
}
