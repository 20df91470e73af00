#include "app/editor/scene_editor_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

TSceneEditorPanel::TSceneEditorPanel(TObjectFields::THandlers campos, QWidget* pai)
    : QDockWidget("Cena", pai) {
  setObjectName("EditorDeCena");
  setFeatures(QDockWidget::DockWidgetClosable);
  setFixedWidth(EditorPanelWidth);
  auto* conteudo = new QWidget(this);
  auto* layout = new QVBoxLayout(conteudo);

  auto* ajustes = new QGroupBox("Ajustes da cena", conteudo);
  auto* formAjustes = new QFormLayout(ajustes);
  gravity_ = new QCheckBox("Gravidade", ajustes);
  collision_ = new QComboBox(ajustes);
  collision_->addItems({"Sem quicar", "Quica com metade da velocidade", "Quica com toda a velocidade"});
  formAjustes->addRow(gravity_);
  formAjustes->addRow("Colisões", collision_);
  collision_->setAccessibleName("Colisões");
  layout->addWidget(ajustes);

  list_ = new QListWidget(conteudo);
  list_->setAccessibleName("Objetos da cena");
  list_->setMaximumHeight(140);
  layout->addWidget(list_);

  auto* botoes = new QHBoxLayout;
  add_ = new QToolButton(conteudo);
  add_->setText("Adicionar");
  add_->setPopupMode(QToolButton::InstantPopup);
  addMenu_ = new QMenu(add_);
  add_->setMenu(addMenu_);
  duplicate_ = new QPushButton("Duplicar", conteudo);
  delete_ = new QPushButton("Excluir", conteudo);
  up_ = new QPushButton("↑", conteudo);
  up_->setToolTip("Subir na lista");
  down_ = new QPushButton("↓", conteudo);
  down_->setToolTip("Descer na lista");
  for (QWidget* b :
       {static_cast<QWidget*>(add_), static_cast<QWidget*>(duplicate_), static_cast<QWidget*>(delete_),
        static_cast<QWidget*>(up_), static_cast<QWidget*>(down_)})
    botoes->addWidget(b);
  up_->setMaximumWidth(32);
  down_->setMaximumWidth(32);
  layout->addLayout(botoes);

  refusal_ = new QLabel(conteudo);
  refusal_->setWordWrap(true);
  refusal_->setStyleSheet("color: #b00000");
  refusal_->hide();
  layout->addWidget(refusal_);

  auto* rolagem = new QScrollArea(conteudo);
  rolagem->setWidgetResizable(true);
  rolagem->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  fields_ = new TObjectFields(std::move(campos));
  rolagem->setWidget(fields_);
  fieldsArea_ = rolagem;
  layout->addWidget(rolagem, 100);
  layout->addStretch(1);  // takes the room of the fields while no object is selected
  setWidget(conteudo);
}

void TSceneEditorPanel::ShowDocument(const TSceneDocument& doc, int selecionada) {
  const TSceneTable& t = doc.Table();
  const QString nome =
      doc.Path().empty() ? QString("Nova cena") : QString::fromStdString(doc.Path().filename().string());
  setWindowTitle("Cena: " + nome + (doc.Modified() ? " *" : ""));
  {
    const QSignalBlocker b1(gravity_), b2(collision_), b3(list_);
    gravity_->setChecked(doc.Settings().TemGravidade);
    collision_->setCurrentIndex(doc.Settings().TipoDeColisao);
    list_->clear();
    for (int i = 0; i < t.RowCount(); ++i) {
      const QString n = QString::fromStdString(t.Text(i, TColumn::Nome));
      list_->addItem(n.isEmpty() ? QString("(sem nome %1)").arg(i + 1) : n);
    }
    list_->setCurrentRow(selecionada);
  }
  const bool tem = selecionada >= 0 && selecionada < t.RowCount();
  for (QWidget* w : {static_cast<QWidget*>(duplicate_), static_cast<QWidget*>(delete_)}) w->setEnabled(tem);
  up_->setEnabled(tem && selecionada > 0);
  down_->setEnabled(tem && selecionada + 1 < t.RowCount());
  fieldsArea_->setVisible(tem);
  if (tem) fields_->Show(t, selecionada);
  shownRow_ = tem ? selecionada : -1;
  refusal_->hide();
}

void TSceneEditorPanel::ShowRefusal(const QString& texto, int linha, std::optional<TColumn> coluna) {
  refusal_->setText(texto);
  refusal_->show();
  if (coluna && linha == shownRow_) fields_->MarkError(*coluna, texto);
}
