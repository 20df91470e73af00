// The scene editor on a scene session, in a plain window under the virtual display: the dock edits a value
// and the running scene follows, a value the loader refuses is marked and changes nothing, undo, the row
// commands and the selection they leave, a scene built from templates is saved, a save that fails says so
// and loses nothing, and unsaved changes are asked about before they would be lost; numbers typed in
// Portuguese or English, refusals beside the field, keys, new objects and the ramp lesson, and the names a
// screen reader reads.

#include "app/editor/scene_editor.h"
#include "app/editor/field_edit.h"
#include "app/editor/launch_fields.h"
#include "support/scene_builder.h"
#include "support/session_rig.h"
#include "support/temp_folder.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <tuple>

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
  std::optional<TRampSpec> AskRamp() override { return rampa; }
  std::optional<TBlockSpec> AskBlock() override { return bloco; }
  TUnsavedAnswer resposta = TUnsavedAnswer::Cancel;
  std::optional<TRampSpec> rampa;
  std::optional<TBlockSpec> bloco;
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
  QLineEdit* Campo(C c) { return qobject_cast<QLineEdit*>(Painel().Fields()->Editor(c)); }
  // Types `texto` over the field's text, as a person does, and ends with `tecla`.
  void Digita(C c, const QString& texto, Qt::Key tecla = Qt::Key_Return) {
    QLineEdit* campo = Campo(c);
    campo->setFocus();
    campo->selectAll();
    for (const QChar ch : texto) {
      // A key the keyboard map does not know (the Unicode minus) comes as its text alone.
      if (ch.unicode() < 0x80)
        QTest::keyClick(campo, ch.toLatin1());
      else
        QTest::sendKeyEvent(QTest::Click, campo, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    QTest::keyClick(campo, tecla);
  }
  void Adiciona(const QString& modelo) {
    for (QAction* a : Painel().AddMenu()->actions())
      if (a->text() == modelo) a->trigger();
  }
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

TEST_F(Editor, PanelEditsAValueTheSceneFollowsAndARefusalMarksTheField) {
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
  // The wheel over a field scrolls the panel and leaves the value alone.
  QLineEdit* z = Campo(C::Z);
  QWheelEvent roda(QPointF(5, 5), z->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, -120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(z, &roda);
  EXPECT_EQ(z->text(), "10");
  EXPECT_FALSE(editor.Document().Modified());
  Digita(C::Z, "20");
  EXPECT_EQ(Cena().Tabela().Real(0, C::Z), 20.0);
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
  EXPECT_EQ(Cena().Tabela().Real(0, C::Z), 10.0);
  EXPECT_EQ(Campo(C::Z)->text(), "10");
  EXPECT_FALSE(editor.Document().Modified());
  EXPECT_FALSE(Painel().Refusal()->isVisible());

  rig.session.Selection().Set(std::nullopt);
  EXPECT_EQ(Painel().List()->currentRow(), -1) << "the list follows a selection made elsewhere";
  EXPECT_TRUE(editor.MoveStartPosition(0, {1, 2, 3}));
  EXPECT_EQ(Cena().Tabela().Real(0, C::Y), 2.0);
  EXPECT_TRUE(TestUserInterface().erros.empty());
}

TEST_F(Editor, ASceneOfModelsSavesAndAPendingChangeAsksFirst) {
  Menu("Nova cena")->trigger();
  EXPECT_TRUE(Painel().isVisible());
  Adiciona("Caixa");
  Adiciona("Caixa");
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
  Digita(C::Massa, "4");
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
  EXPECT_EQ(Cena().Tabela().Real(0, C::Massa), 4.0);

  // Saved elsewhere, the edit is kept.
  dialogos.caminho = QString::fromStdString((pasta / "guardada" / "cena.xml").string());
  EXPECT_TRUE(editor.SaveAs());
  EXPECT_EQ(TSceneTable::Read(pasta / "guardada" / "cena.xml").Real(0, C::Massa), 4.0);
}

TEST_F(Editor, LaunchIsSetAsSpeedAndAnglesOrComponentsAndReachesTheBody) {
  AbreCena(pasta / "Cenas" / "queda_livre.xml");
  rig.session.Selection().Set(0);
  TLaunchFields& lancamento = *Painel().Fields()->Launch();
  using P = TLaunchFields::TPolar;
  const auto digita = [](TFieldEdit* campo, const QString& texto) {
    campo->setText(texto);
    emit campo->editingFinished();
  };
  digita(lancamento.Editor(P::Angle), "30");
  digita(lancamento.Editor(P::Speed), "10");
  // Each edit makes a new table: read the current one every time.
  const auto t = [&]() -> const TSceneTable& { return editor.Document().Table(); };
  EXPECT_NEAR(t().Real(0, C::VelX), 8.660254, 1e-6);
  EXPECT_EQ(t().Real(0, C::VelZ), 5) << "rounded: no 4.999999999999999 in the teacher's file";
  EXPECT_TRUE(std::holds_alternative<std::monostate>(t().Cell(0, C::VelY))) << "a zero stays an empty cell";
  const dReal* v = dBodyGetLinearVel(Cena().Corpos[0]);
  EXPECT_NEAR(v[0], 8.660254, 1e-5) << "the running scene starts with the launch";
  EXPECT_NEAR(v[2], 5, 1e-5);
  EXPECT_EQ(lancamento.Editor(C::VelX)->text(), "8,660254");

  // The components, the other way round, typed the English way: straight up at 4 m/s.
  digita(lancamento.Editor(C::VelX), "0");
  digita(lancamento.Editor(C::VelZ), "4.0");
  EXPECT_EQ(lancamento.Editor(P::Speed)->text(), "4");
  EXPECT_EQ(lancamento.Editor(P::Angle)->text(), "90");
  const TLaunch l = LaunchOf(-1, -1, 0);
  EXPECT_NEAR(l.Azimuth, -135, 1e-9);
  EXPECT_EQ(ComponentsOf(l)[0], -1);

  // A speed beyond the world's limit is refused with the range, and nothing changes.
  digita(lancamento.Editor(P::Speed), "2e3");
  EXPECT_THAT(lancamento.Message(lancamento.Editor(P::Speed)).toStdString(), HasSubstr("1000 m/s"));
  EXPECT_EQ(t().Real(0, C::VelZ), 4);

  // Own elasticity, then the scene's again: an empty cell.
  lancamento.OwnElasticity()->setChecked(true);
  digita(lancamento.Editor(C::Elasticidade), "0,5");
  EXPECT_EQ(t().Real(0, C::Elasticidade), 0.5);
  lancamento.OwnElasticity()->setChecked(false);
  EXPECT_TRUE(std::holds_alternative<std::monostate>(t().Cell(0, C::Elasticidade)));
  Menu("Desfazer")->trigger();
  EXPECT_EQ(editor.Document().Table().Real(0, C::Elasticidade), 0.5) << "each launch edit is one undo step";
}

TEST_F(Editor, NumbersWithCommaOrPointAndARefusalBesideTheFieldChangesNothing) {
  AbreCena(pasta / "Cenas" / "queda_livre.xml");
  rig.session.Selection().Set(0);
  // Each edit makes a new table: read the current one every time.
  const auto t = [&]() -> const TSceneTable& { return editor.Document().Table(); };
  for (const auto& [texto, valor] : {std::pair{"2,5", 2.5}, {"2.5", 2.5}, {"1e5", 1e5}, {" 3,25 ", 3.25}}) {
    Digita(C::Massa, "7");
    Digita(C::Massa, texto);
    EXPECT_EQ(t().Real(0, C::Massa), valor) << texto;
    EXPECT_TRUE(Painel().Fields()->FieldMessage(C::Massa).isEmpty()) << texto;
  }
  Digita(C::X, "\u22122");
  EXPECT_EQ(t().Real(0, C::X), -2) << "the Unicode minus is a minus";
  Digita(C::X, "-1,23456");
  EXPECT_EQ(t().Real(0, C::X), -1.23456) << "kept as typed, not rounded";
  Digita(C::Z, "2,50");
  EXPECT_EQ(Campo(C::Z)->text(), "2,50") << "shown with the decimals typed";
  EXPECT_EQ(Cena().Objetos[0].Posicao.z, 2.5);

  // Refused, each with its reason and the accepted range beside the field; the value and the scene stay.
  const struct {
    C coluna;
    const char* texto;
    const char* diz;
  } recusas[] = {{C::Massa, "abc", "\"abc\" não é um número. Aceito: maior que 0 e até 1000000 kg."},
                 {C::Massa, "0", "massa positiva"},
                 {C::X, "20000", "Aceito: de -10000 a 10000 m"},
                 {C::Dim1, "0", "maior que 0 e até 10000 m"},
                 {C::Dim1, "-1", "fora do intervalo"},
                 {C::Ang, "30", "Um giro precisa de um eixo"}};
  const TSceneTable antes = t();
  for (const auto& r : recusas) {
    const QString mostrado = Campo(r.coluna)->text();
    Digita(r.coluna, r.texto);
    EXPECT_THAT(Painel().Fields()->FieldMessage(r.coluna).toStdString(), HasSubstr(r.diz)) << r.texto;
    EXPECT_EQ(Campo(r.coluna)->text(), mostrado) << "the field keeps its value: " << r.texto;
    EXPECT_EQ(t(), antes) << r.texto;
  }
  EXPECT_EQ(Cena().Tabela(), antes);
  // With an axis the turn is taken; an axis of zeros under a turn is refused again.
  Digita(C::eixoZ, "1");
  Digita(C::Ang, "30");
  EXPECT_EQ(t().Real(0, C::Ang), 30);
  Digita(C::eixoZ, "0");
  EXPECT_THAT(Painel().Fields()->FieldMessage(C::eixoZ).toStdString(), HasSubstr("eixo"));
  EXPECT_EQ(t().Real(0, C::eixoZ), 1);
  EXPECT_TRUE(TestUserInterface().erros.empty());
}

TEST_F(Editor, EnterHandsTheKeysBackToTheViewAndEscapeUndoesTheTyping) {
  AbreCena(pasta / "Cenas" / "queda_livre.xml");
  rig.session.Selection().Set(0);
  rig.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&rig.window));
  QWidget* vista = rig.window.centralWidget();

  Digita(C::Z, "7", Qt::Key_Escape);
  EXPECT_EQ(Campo(C::Z)->text(), "10") << "Escape brings back the saved text";
  EXPECT_EQ(editor.Document().Table().Real(0, C::Z), 10);
  EXPECT_EQ(QApplication::focusWidget(), Campo(C::Z));
  QTest::keyClick(Campo(C::Z), Qt::Key_Return);
  EXPECT_FALSE(editor.Document().Modified()) << "Enter on an untouched field edits nothing";

  Digita(C::Z, "7");
  EXPECT_EQ(editor.Document().Table().Real(0, C::Z), 7);
  EXPECT_TRUE(QTest::qWaitFor([&] {
    return vista->hasFocus() || QGuiApplication::focusWindow() == rig.panel;
  })) << "Enter gives the keys back to the view";
  EXPECT_NE(QApplication::focusWidget(), Campo(C::Z));

  // A refused value keeps the keys in the field, to be typed again.
  Digita(C::Z, "abc");
  EXPECT_EQ(QApplication::focusWidget(), Campo(C::Z));
  // Tab commits too and goes on to the next field.
  Campo(C::Z)->selectAll();
  QTest::keyClicks(Campo(C::Z), "8");
  QTest::keyClick(Campo(C::Z), Qt::Key_Tab);
  EXPECT_EQ(editor.Document().Table().Real(0, C::Z), 8);
}

TEST_F(Editor, NewObjectOnTheFloorUnderTheViewsCentreAndRampWithABlockAtRest) {
  Menu("Nova cena")->trigger();
  // The line of sight from (12, 3, 11) through (2, 3, 1) meets the floor at (1, 3, 0).
  rig.camera.Olho = {12, 3, 11};
  rig.camera.Centro = {2, 3, 1};
  Adiciona("Caixa");
  Adiciona("Esfera");
  // Each edit makes a new table: read the current one every time.
  const auto t = [&]() -> const TSceneTable& { return editor.Document().Table(); };
  EXPECT_EQ(std::tuple(t().Real(0, C::X), t().Real(0, C::Y), t().Real(0, C::Z)), std::tuple(1.0, 3.0, 0.5))
      << "its lowest point on the floor";
  EXPECT_EQ(t().Real(1, C::Z), 1.5) << "resting on the box beneath";
  rig.camera.Olho = {0, -20, 1};
  rig.camera.Centro = {0, 0, 2};  // looking up: the view never meets the floor
  Adiciona("Esfera");
  EXPECT_EQ(std::tuple(t().Real(2, C::X), t().Real(2, C::Y), t().Real(2, C::Z)), std::tuple(0.0, 0.0, 0.5));

  // A block needs a ramp selected first; the ramp goes where the view looks, away from the rest.
  rig.camera.Olho = {20, 10, 10};
  rig.camera.Centro = {10, 10, 0};
  Adiciona("Bloco na rampa");
  ASSERT_EQ(TestUserInterface().erros.size(), 1u);
  EXPECT_THAT(TestUserInterface().erros[0], HasSubstr("Selecione uma rampa"));
  dialogos.rampa = TRampSpec{30, 4, 1, 0.8};
  Adiciona("Rampa");
  ASSERT_EQ(t().RowCount(), 4);
  EXPECT_EQ(t().Text(3, C::Nome), "Rampa 1");
  EXPECT_EQ(rig.session.Selection().Current(), 3u);
  dialogos.bloco = TBlockSpec{0.4, 0.4, 0.2, 2};
  Adiciona("Bloco na rampa");
  ASSERT_EQ(t().RowCount(), 5);
  EXPECT_EQ(t().Real(4, C::Massa), 2);
  // μ above tan 30°: the block stays where it was put.
  const TVector inicio = Cena().Objetos[4].Posicao;
  for (int k = 0; k < 50; ++k) rig.Frame();
  EXPECT_LT(NormaVet(SubVet(Cena().Objetos[4].Posicao, inicio)), 2e-3);
  EXPECT_EQ(TestUserInterface().erros.size(), 1u);
}

TEST_F(Editor, EveryFieldHasItsLabelsNameForTheScreenReader) {
  AbreCena(pasta / "Cenas" / "malha_obj.xml");
  rig.session.Selection().Set(0);
  const auto nome = [](QObject* o) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(o);
    return a ? a->text(QAccessible::Name).toStdString() : std::string("(sem interface)");
  };
  EXPECT_EQ(nome(Painel().Fields()->Editor(C::Massa)), "Massa");
  EXPECT_EQ(nome(Painel().Fields()->Editor(C::Atrito)), "Atrito");
  EXPECT_EQ(nome(Painel().Fields()->Editor(C::Arquivo)), "Arquivo do modelo");
  EXPECT_EQ(nome(Painel().Fields()->Editor(C::SX)), "Escala X") << "a size field follows the shape";
  // A list box reads its value as its name; its label comes through the label relation.
  QAccessibleInterface* forma = QAccessible::queryAccessibleInterface(Painel().Fields()->Editor(C::ODETipo));
  QStringList rotulos;
  for (const auto& [quem, como] : forma->relations(QAccessible::Label))
    rotulos << quem->text(QAccessible::Name);
  EXPECT_TRUE(rotulos.contains("Forma")) << rotulos.join(", ").toStdString();
  EXPECT_EQ(nome(Painel().List()), "Objetos da cena");
  // A refusal is read with the field.
  Digita(C::Massa, "0");
  QAccessibleInterface* massa = QAccessible::queryAccessibleInterface(Painel().Fields()->Editor(C::Massa));
  EXPECT_THAT(massa->text(QAccessible::Description).toStdString(), HasSubstr("massa positiva"));
}

}  // namespace
