// The scene editor on a scene session, in a plain window under the virtual display: the dock edits a value
// and the running scene follows, a value the loader refuses is marked and changes nothing, undo, the row
// commands and the selection they leave, a scene built from templates is saved, a save that fails says so
// and loses nothing, and unsaved changes are asked about before they would be lost.

#include "app/editor/scene_editor.h"
#include "app/editor/launch_fields.h"
#include "support/scene_builder.h"
#include "support/session_rig.h"
#include "support/temp_folder.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
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

class Editor : public ::testing::Test {
 protected:
  Editor() {
    ResetTestUserInterface();
    fs::copy(fs::path(VIRETA_SOURCE_DIR) / "Cenas", pasta / "Cenas", fs::copy_options::recursive);
    editor.CreateMenu(*rig.window.menuBar());
    editor.SetDialogs(dialogos);
    EXPECT_TRUE(rig.Show());
  }
  TSceneEditorPanel& Painel() { return *editor.Panel(); }
  QDoubleSpinBox* Numero(C c) { return qobject_cast<QDoubleSpinBox*>(Painel().Fields()->Editor(c)); }
  const TScene& Cena() const { return *rig.session.CurrentScene(); }
  // As the window's "&Abrir Cena" does: unsaved changes are asked about first.
  void AbreCena(const fs::path& arquivo) {
    if (editor.ConfirmDiscard()) rig.session.Open(arquivo);
  }
  QAction* Menu(const QString& texto) const {
    for (QAction* m : rig.window.menuBar()->actions())
      for (QAction* a : m->menu()->actions())
        if (a->text() == texto) return a;
    return nullptr;
  }

  TTempFolder pasta;
  TSessionRig rig{pasta / "Cenas"};
  TSceneEditor editor{rig.session, rig.window, rig.camera, TestUserInterface()};
  Dialogos dialogos;
};

TEST_F(Editor, PainelEditaValorACenaSegueERecusaMarcaOCampo) {
  AbreCena(pasta / "Cenas" / "queda_livre.xml");
  const int largura = rig.window.width();
  QAction* editar = Menu("Editar cena");
  ASSERT_NE(editar, nullptr);
  EXPECT_EQ(editar->shortcut(), QKeySequence(Qt::Key_F6));
  editar->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Painel().isVisible(); }));
  EXPECT_EQ(rig.window.width(), largura + EditorPanelWidth) << "the view keeps its size beside the dock";
  ASSERT_EQ(Painel().List()->count(), 1);

  Painel().List()->setCurrentRow(0);
  EXPECT_EQ(rig.session.Selection().Current(), 0u) << "the list sets the window's selection";
  // The wheel over a field not clicked into scrolls the panel and leaves the value alone.
  QDoubleSpinBox* z = Numero(C::Z);
  QWheelEvent roda(QPointF(5, 5), z->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, -120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(z, &roda);
  EXPECT_EQ(z->value(), 10.0);
  EXPECT_FALSE(editor.Document().Modified());
  Numero(C::Z)->setValue(20.0);  // as a user's Enter does
  EXPECT_EQ(Cena().Tabela.Real(0, C::Z), 20.0);
  EXPECT_GT(Cena().Objetos[0].Posicao.z, 19.0) << "the scene started again from the new place";
  EXPECT_TRUE(editor.Document().Modified());

  // A model without a file: the loader refuses it, the running ball stays a ball and the field says why.
  auto* forma = qobject_cast<QComboBox*>(Painel().Fields()->Editor(C::ODETipo));
  forma->setCurrentIndex(4);
  emit forma->activated(4);
  EXPECT_EQ(Cena().Objetos[0].ODETipo, 0);
  EXPECT_EQ(editor.Document().Table().Integer(0, C::ODETipo), 0);
  EXPECT_TRUE(Painel().Refusal()->isVisible());
  EXPECT_THAT(Painel().Refusal()->text().toStdString(), HasSubstr("linha 1, coluna \"Arquivo\""));
  EXPECT_THAT(Painel().Fields()->Editor(C::Arquivo)->toolTip().toStdString(),
              HasSubstr("coluna \"Arquivo\""));

  Menu("Desfazer")->trigger();
  EXPECT_EQ(Cena().Tabela.Real(0, C::Z), 10.0);
  EXPECT_EQ(Numero(C::Z)->value(), 10.0);
  EXPECT_FALSE(editor.Document().Modified());
  EXPECT_FALSE(Painel().Refusal()->isVisible());

  rig.session.Selection().Set(std::nullopt);
  EXPECT_EQ(Painel().List()->currentRow(), -1) << "the list follows a selection made elsewhere";
  EXPECT_TRUE(editor.MoveStartPosition(0, {1, 2, 3}));
  EXPECT_EQ(Cena().Tabela.Real(0, C::Y), 2.0);
  EXPECT_TRUE(TestUserInterface().erros.empty());
}

TEST_F(Editor, CenaDeModelosSalvaEAlteracaoPendentePerguntaAntes) {
  Menu("Nova cena")->trigger();
  EXPECT_TRUE(Painel().isVisible());
  for (QAction* a : Painel().AddMenu()->actions())
    if (a->text() == "Caixa") a->trigger(), a->trigger();
  ASSERT_EQ(Cena().Objetos.size(), 2u);
  EXPECT_EQ(Painel().List()->item(1)->text(), "Caixa 2");
  EXPECT_EQ(rig.session.Selection().Current(), 1u) << "a new object is selected";
  EXPECT_TRUE(HasGravity(Cena()));

  // Opening another scene: cancel keeps everything, discard opens it.
  AbreCena(pasta / "Cenas" / "queda_livre.xml");
  EXPECT_EQ(dialogos.perguntas, (std::vector<std::string>{"Nova cena"}));
  EXPECT_EQ(Cena().Objetos.size(), 2u);
  dialogos.caminho = QString::fromStdString((pasta / "Cenas" / "duas.xml").string());
  Menu("Salvar")->trigger();  // a new scene is saved as
  EXPECT_EQ(TSceneTable::Read(pasta / "Cenas" / "duas.xml"), editor.Document().Table());
  EXPECT_FALSE(editor.Document().Modified());
  AbreCena(pasta / "Cenas" / "queda_livre.xml");
  EXPECT_EQ(dialogos.perguntas.size(), 1u) << "nothing unsaved, nothing asked";
  ASSERT_EQ(Cena().Objetos.size(), 1u);

  EXPECT_TRUE(TestUserInterface().erros.empty());
}

TEST_F(Editor, RowCommandsKeepTheSelectionOnTheRowTheyMoved) {
  Menu("Nova cena")->trigger();
  for (QAction* a : Painel().AddMenu()->actions())
    if (a->text() == "Esfera" || a->text() == "Caixa") a->trigger();
  ASSERT_EQ(Painel().List()->count(), 2);

  rig.session.Selection().Set(0);
  Painel().DuplicateButton()->click();
  EXPECT_EQ(editor.Document().Table().Text(1, C::Nome), "Esfera 2") << "the copy follows its original";
  EXPECT_EQ(rig.session.Selection().Current(), 1u) << "and is selected";
  EXPECT_EQ(Cena().Objetos.size(), 3u);

  Painel().DownButton()->click();
  EXPECT_EQ(editor.Document().Table().Text(2, C::Nome), "Esfera 2");
  EXPECT_EQ(rig.session.Selection().Current(), 2u);
  Painel().DownButton()->click();  // already last: nothing moves
  EXPECT_EQ(rig.session.Selection().Current(), 2u);
  Painel().UpButton()->click();
  Painel().UpButton()->click();
  EXPECT_EQ(editor.Document().Table().Text(0, C::Nome), "Esfera 2");
  EXPECT_EQ(rig.session.Selection().Current(), 0u);

  // Deleting the last row selects the one before it; deleting the only row leaves nothing selected.
  rig.session.Selection().Set(2);
  Painel().DeleteButton()->click();
  EXPECT_EQ(rig.session.Selection().Current(), 1u);
  EXPECT_EQ(Painel().List()->currentRow(), 1);
  Painel().DeleteButton()->click();
  Painel().DeleteButton()->click();
  EXPECT_EQ(Painel().List()->count(), 0);
  EXPECT_FALSE(rig.session.Selection().Current());
  EXPECT_TRUE(Cena().Objetos.empty());

  Menu("Desfazer")->trigger();
  EXPECT_EQ(Painel().List()->count(), 1) << "a delete is undone like any edit";
}

TEST_F(Editor, SaveThatCannotBeWrittenSaysSoAndLosesNothing) {
  fs::create_directories(pasta / "sub");
  const fs::path arquivo = TTestScene{}.Linha(SphereRow(0.5), {}).Write(pasta / "sub" / "cena.xml");
  AbreCena(arquivo);
  rig.session.Selection().Set(0);
  Numero(C::Massa)->setValue(4.0);
  // The scene's folder is gone and a plain file stands in its place: no one can write there, root included.
  fs::rename(pasta / "sub", pasta / "guardada");
  WriteFile(pasta / "sub", "não é uma pasta");
  const std::string antes = ReadFile(pasta / "guardada" / "cena.xml");

  EXPECT_FALSE(editor.Save());
  dialogos.caminho = QString::fromStdString((pasta / "sub" / "outra.xml").string());
  EXPECT_FALSE(editor.SaveAs());
  ASSERT_EQ(TestUserInterface().erros.size(), 2u);
  EXPECT_THAT(TestUserInterface().erros[0], HasSubstr("cena.xml"));
  EXPECT_THAT(TestUserInterface().erros[1], HasSubstr("outra.xml"));
  EXPECT_EQ(ReadFile(pasta / "guardada" / "cena.xml"), antes);
  EXPECT_EQ(ReadFile(pasta / "sub"), "não é uma pasta");
  EXPECT_TRUE(editor.Document().Modified()) << "the edit is still there to be saved elsewhere";
  EXPECT_EQ(editor.Document().Path(), arquivo);

  // Asked before opening another scene, a save that fails keeps the scene and its edits.
  dialogos.resposta = TUnsavedAnswer::Save;
  AbreCena(pasta / "Cenas" / "queda_livre.xml");
  EXPECT_EQ(rig.session.Path(), arquivo);
  EXPECT_EQ(Cena().Tabela.Real(0, C::Massa), 4.0);

  // Saved elsewhere, the edit is kept.
  dialogos.caminho = QString::fromStdString((pasta / "guardada" / "cena.xml").string());
  EXPECT_TRUE(editor.SaveAs());
  EXPECT_EQ(TSceneTable::Read(pasta / "guardada" / "cena.xml").Real(0, C::Massa), 4.0);
}

TEST_F(Editor, LaunchIsSetAsSpeedAndAnglesOrComponentsAndReachesTheBody) {
  AbreCena(pasta / "Cenas" / "queda_livre.xml");
  rig.session.Selection().Set(0);
  TLaunchFields& lancamento = *Painel().Fields()->Launch();
  lancamento.AngleField()->setValue(30);
  lancamento.SpeedField()->setValue(10);
  const TSceneTable& t = editor.Document().Table();
  EXPECT_NEAR(t.Real(0, C::VelX), 8.660254, 1e-6);
  EXPECT_EQ(t.Real(0, C::VelZ), 5) << "rounded: no 4.999999999999999 in the teacher's file";
  EXPECT_TRUE(std::holds_alternative<std::monostate>(t.Cell(0, C::VelY))) << "a zero stays an empty cell";
  const dReal* v = dBodyGetLinearVel(Cena().Corpos[0]);
  EXPECT_NEAR(v[0], 8.660254, 1e-5) << "the running scene starts with the launch";
  EXPECT_NEAR(v[2], 5, 1e-5);
  EXPECT_NEAR(qobject_cast<QDoubleSpinBox*>(lancamento.Editor(C::VelX))->value(), 8.66, 1e-3);

  // The components, the other way round: straight up at 4 m/s.
  qobject_cast<QDoubleSpinBox*>(lancamento.Editor(C::VelX))->setValue(0);
  qobject_cast<QDoubleSpinBox*>(lancamento.Editor(C::VelZ))->setValue(4);
  EXPECT_EQ(lancamento.SpeedField()->value(), 4);
  EXPECT_EQ(lancamento.AngleField()->value(), 90);
  const TLaunch l = LaunchOf(-1, -1, 0);
  EXPECT_NEAR(l.Azimuth, -135, 1e-9);
  EXPECT_EQ(ComponentsOf(l)[0], -1);

  // Own elasticity, then the scene's again: an empty cell.
  lancamento.OwnElasticity()->setChecked(true);
  qobject_cast<QDoubleSpinBox*>(lancamento.Editor(C::Elasticidade))->setValue(0.5);
  EXPECT_EQ(t.Real(0, C::Elasticidade), 0.5);
  lancamento.OwnElasticity()->setChecked(false);
  EXPECT_TRUE(std::holds_alternative<std::monostate>(t.Cell(0, C::Elasticidade)));
  Menu("Desfazer")->trigger();
  EXPECT_EQ(editor.Document().Table().Real(0, C::Elasticidade), 0.5) << "each launch edit is one undo step";
}

}  // namespace
