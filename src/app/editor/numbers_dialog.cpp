#include "app/editor/numbers_dialog.h"

#include "app/editor/field_edit.h"
#include "common/number_text.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

std::optional<std::vector<double>> AskNumbers(QWidget* pai, const QString& titulo,
                                              const std::vector<TNumberQuestion>& perguntas) {
  QDialog dialogo(pai);
  dialogo.setWindowTitle(titulo);
  auto* form = new QFormLayout(&dialogo);
  struct TLinha {
    TFieldEdit* campo;
    QLabel* mensagem;
  };
  std::vector<TLinha> linhas;
  for (const TNumberQuestion& p : perguntas) {
    auto* caixa = new QWidget(&dialogo);
    auto* v = new QVBoxLayout(caixa);
    v->setContentsMargins(0, 0, 0, 0);
    auto* campo = new TFieldEdit(caixa);
    campo->ShowSaved(QString::fromStdString(FormatTypedNumber(p.inicial)));
    campo->setAccessibleName(p.rotulo);
    auto* mensagem = new QLabel(caixa);
    mensagem->setWordWrap(true);
    mensagem->setStyleSheet("color: #b00000");
    mensagem->hide();
    v->addWidget(campo);
    v->addWidget(mensagem);
    auto* rotulo = new QLabel(p.rotulo + " (" + p.range.Describe() + ")", &dialogo);
    rotulo->setBuddy(campo);
    form->addRow(rotulo, caixa);
    linhas.push_back({campo, mensagem});
  }
  auto* botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialogo);
  botoes->button(QDialogButtonBox::Cancel)->setText("Cancelar");
  form->addRow(botoes);
  std::vector<double> valores(perguntas.size());
  QObject::connect(botoes, &QDialogButtonBox::rejected, &dialogo, &QDialog::reject);
  QObject::connect(botoes, &QDialogButtonBox::accepted, &dialogo, [&] {
    bool todos = true;
    for (std::size_t k = 0; k < linhas.size(); ++k) {
      const auto erro = perguntas[k].range.Read(linhas[k].campo->text(), valores[k]);
      linhas[k].mensagem->setText(erro.value_or(QString()));
      linhas[k].mensagem->setVisible(erro.has_value());
      todos = todos && !erro;
    }
    if (todos) dialogo.accept();
  });
  if (dialogo.exec() != QDialog::Accepted) return std::nullopt;
  return valores;
}
