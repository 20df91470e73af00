// The scene editor in the real window under the virtual display: the dock edits a value and the running
// scene follows, a value the loader refuses is marked and changes nothing, undo, a scene built from
// templates is saved, and unsaved changes are asked about before they would be lost.

#include "app/scene_editor.h"
#include "app/main_form.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWheelEvent>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using C = TColumn;

class Dialogos : public IEditorDialogs {
 public:
  TUnsavedAnswer AskUnsaved(const QString& cena) override {
    perguntas.push_back(cena.toStdString());
    return resposta;
  }
  QString ChooseSavePath(const QString&) override { return caminho; }
  QString ChooseModel(const QString&) override { return {}; }
  std::optional<QColor> ChooseColour(const QColor&) override { return std::nullopt; }
  TUnsavedAnswer resposta = TUnsavedAnswer::Cancel;
  QString caminho;
  std::vector<std::string> perguntas;
};

class Editor : public TWindowTest {
 protected:
  void SetUp() override {
    TWindowTest::SetUp();
    Abre();
    form->Editor().SetDialogs(dialogos);
  }
  TSceneEditorPanel& Painel() { return *form->Editor().Panel(); }
  QDoubleSpinBox* Numero(C c) { return qobject_cast<QDoubleSpinBox*>(Painel().Fields()->Editor(c)); }

  Dialogos dialogos;
};

TEST_F(Editor, PainelEditaValorACenaSegueERecusaMarcaOCampo) {
  form->OpenScene(pasta / "Cenas" / "queda_livre.xml");
  const int largura = form->width();
  QAction* editar = Menu("Editar cena");
  ASSERT_NE(editar, nullptr);
  EXPECT_EQ(editar->shortcut(), QKeySequence(Qt::Key_F6));
  editar->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Painel().isVisible(); }));
  EXPECT_EQ(form->width(), largura + EditorPanelWidth) << "the view keeps its size beside the dock";
  ASSERT_EQ(Painel().List()->count(), 1);

  Painel().List()->setCurrentRow(0);
  EXPECT_EQ(form->Selection().Current(), 0u) << "the list sets the window's selection";
  // The wheel over a field not clicked into scrolls the panel and leaves the value alone.
  QDoubleSpinBox* z = Numero(C::Z);
  QWheelEvent roda(QPointF(5, 5), z->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, -120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(z, &roda);
  EXPECT_EQ(z->value(), 10.0);
  EXPECT_FALSE(form->Editor().Document().Modified());
  Numero(C::Z)->setValue(20.0);  // as a user's Enter does
  EXPECT_EQ(form->CurrentScene()->Tabela.Real(0, C::Z), 20.0);
  EXPECT_GT(form->CurrentScene()->Objetos[0].Posicao.z, 19.0) << "the scene started again from the new place";
  EXPECT_TRUE(form->Editor().Document().Modified());

  // A model without a file: the loader refuses it, the running ball stays a ball and the field says why.
  auto* forma = qobject_cast<QComboBox*>(Painel().Fields()->Editor(C::ODETipo));
  forma->setCurrentIndex(4);
  emit forma->activated(4);
  EXPECT_EQ(form->CurrentScene()->Objetos[0].ODETipo, 0);
  EXPECT_EQ(form->Editor().Document().Table().Integer(0, C::ODETipo), 0);
  EXPECT_TRUE(Painel().Refusal()->isVisible());
  EXPECT_THAT(Painel().Refusal()->text().toStdString(), HasSubstr("linha 1, coluna \"Arquivo\""));
  EXPECT_THAT(Painel().Fields()->Editor(C::Arquivo)->toolTip().toStdString(),
              HasSubstr("coluna \"Arquivo\""));

  Menu("Desfazer")->trigger();
  EXPECT_EQ(form->CurrentScene()->Tabela.Real(0, C::Z), 10.0);
  EXPECT_EQ(Numero(C::Z)->value(), 10.0);
  EXPECT_FALSE(form->Editor().Document().Modified());
  EXPECT_FALSE(Painel().Refusal()->isVisible());

  form->Selection().Set(std::nullopt);
  EXPECT_EQ(Painel().List()->currentRow(), -1) << "the list follows a selection made elsewhere";
  EXPECT_TRUE(form->Editor().MoveStartPosition(0, {1, 2, 3}));
  EXPECT_EQ(form->CurrentScene()->Tabela.Real(0, C::Y), 2.0);
  EXPECT_TRUE(TestUserInterface().erros.empty());
}

TEST_F(Editor, CenaDeModelosSalvaEAlteracaoPendentePerguntaAntes) {
  Menu("Nova cena")->trigger();
  EXPECT_TRUE(Painel().isVisible());
  for (QAction* a : Painel().AddMenu()->actions())
    if (a->text() == "Caixa") a->trigger(), a->trigger();
  ASSERT_EQ(form->CurrentScene()->Objetos.size(), 2u);
  EXPECT_EQ(Painel().List()->item(1)->text(), "Caixa 2");
  EXPECT_EQ(form->Selection().Current(), 1u) << "a new object is selected";
  EXPECT_TRUE(form->CurrentScene()->TemGravidade);

  // Opening another scene: cancel keeps everything, discard opens it.
  form->OpenScene(pasta / "Cenas" / "queda_livre.xml");
  EXPECT_EQ(dialogos.perguntas, (std::vector<std::string>{"Nova cena"}));
  EXPECT_EQ(form->CurrentScene()->Objetos.size(), 2u);
  dialogos.caminho = QString::fromStdString((pasta / "Cenas" / "duas.xml").string());
  Menu("Salvar")->trigger();  // a new scene is saved as
  EXPECT_EQ(TSceneTable::Read(pasta / "Cenas" / "duas.xml"), form->Editor().Document().Table());
  EXPECT_FALSE(form->Editor().Document().Modified());
  form->OpenScene(pasta / "Cenas" / "queda_livre.xml");
  EXPECT_EQ(dialogos.perguntas.size(), 1u) << "nothing unsaved, nothing asked";
  ASSERT_EQ(form->CurrentScene()->Objetos.size(), 1u);

  // Closing: cancel keeps the window; save writes the edit, then the window closes and writes its settings.
  form->Selection().Set(0);
  Numero(C::Massa)->setValue(4.0);
  form->close();
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->FrameTimer().isActive());
  dialogos.resposta = TUnsavedAnswer::Save;
  form->close();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(TSceneTable::Read(pasta / "Cenas" / "queda_livre.xml").Real(0, C::Massa), 4.0);
  EXPECT_NE(pasta.Read("config.ini"), "");
  EXPECT_TRUE(TestUserInterface().erros.empty());
}

}  // namespace
