// The window as a desktop program: scenes dropped on it, the recent scenes of "&Arquivo", and Qt's own
// dialogs in Portuguese, under the virtual display.

#include "app/editor/editor_dialogs.h"
#include "app/editor/scene_editor.h"
#include "app/widgets/scene_dialog.h"
#include "app/window/main_form.h"
#include "app/window/recent_scenes_menu.h"
#include "support/scene_builder.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QUrl>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// A caption as read, without its access-key marks.
std::string Sem(QString texto) {
  return texto.remove('&').toStdString();
}

class WindowDesktop : public TWindowTest {
 protected:
  WindowDesktop() : TWindowTest(false) {}
  fs::path Cena(const std::string& nome, int bolas = 1) {
    TTestScene c;
    for (int i = 0; i < bolas; ++i) c.Linha(SphereRow(0.5), {{TColumn::X, 2.0 * i}, {TColumn::Z, 1.0}});
    return c.Write(pasta / nome);
  }
  // Drags `arquivos` over the window and lets go, as the desktop's file manager does; true when the
  // window took the drag.
  bool Solta(const std::vector<fs::path>& arquivos) {
    QMimeData dados;
    QList<QUrl> urls;
    for (const fs::path& a : arquivos) urls << QUrl::fromLocalFile(QString::fromStdString(a.string()));
    dados.setUrls(urls);
    const QPoint meio = form->rect().center();
    QDragEnterEvent entra(meio, Qt::CopyAction, &dados, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &entra);
    if (!entra.isAccepted()) return false;
    QDropEvent solta(QPointF(meio), Qt::CopyAction, &dados, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &solta);
    return solta.isAccepted();
  }
  QStringList Recentes() const {
    QStringList r;
    for (QAction* a : form->RecentScenes().Menu()->actions()) r << a->text();
    return r;
  }
  QAction* Recente(const QString& nome) const {
    for (QAction* a : form->RecentScenes().Menu()->actions())
      if (a->text().endsWith(nome)) return a;
    return nullptr;
  }
};

TEST_F(WindowDesktop, ASceneDroppedOnTheWindowOpensOtherFilesOnlyWarn) {
  Abre();
  const fs::path cena = Cena("solta.xml", 2);
  ASSERT_TRUE(Solta({pasta / "leia-me.txt", cena}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->Session().CurrentScene()->Objetos.size() == 2; }, 20000));
  EXPECT_EQ(form->RecentScenes().Scenes().Items().front(), cena);

  ASSERT_TRUE(Solta({pasta / "modelo.obj"}));
  EXPECT_THAT(form->statusBar()->currentMessage().toStdString(),
              HasSubstr("Só arquivos de cena (.xml) podem ser abertos: modelo.obj"));
  QTest::qWait(50);
  EXPECT_EQ(form->Session().CurrentScene()->Objetos.size(), 2u);

  QMimeData texto;
  texto.setText("não é arquivo");
  QDragEnterEvent entra(QPoint(5, 5), Qt::CopyAction, &texto, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form.get(), &entra);
  EXPECT_FALSE(entra.isAccepted());
  EXPECT_TRUE(TestUserInterface().erros.empty());
}

// "Salvar como…" under a new name: the class finds the copy among the recent scenes.
TEST_F(WindowDesktop, ASceneSavedUnderANewNameIsARecentScene) {
  struct TSaveTo : IEditorDialogs {
    QString caminho;
    TUnsavedAnswer AskUnsaved(const QString&) override { return TUnsavedAnswer::Cancel; }
    QString ChooseSavePath(const QString&) override { return caminho; }
    QString ChooseModel(const QString&) override { return {}; }
    std::optional<QColor> ChooseColour(const QColor&) override { return std::nullopt; }
    std::optional<TRampSpec> AskRamp() override { return std::nullopt; }
    std::optional<TBlockSpec> AskBlock() override { return std::nullopt; }
  } dialogos;
  Abre();
  form->Editor().SetDialogs(dialogos);
  form->OpenScene(Cena("c1.xml"));
  dialogos.caminho = QString::fromStdString((pasta / "copia.cena.xml").string());
  ASSERT_TRUE(form->Editor().SaveAs());
  EXPECT_EQ(Recentes(), QStringList({"&1 copia.cena.xml", "&2 c1.xml"}));
}

TEST_F(WindowDesktop, RecentScenesKeepTheLastFiveAndForgetAVanishedFile) {
  Abre();
  EXPECT_FALSE(form->RecentScenes().Menu()->isEnabled()) << "nothing opened yet";
  for (int i = 1; i <= 6; ++i) form->OpenScene(Cena("c" + std::to_string(i) + ".xml"));
  pasta.Write("ruim.xml", "<DATAPACKET/>");
  form->OpenScene(pasta / "ruim.xml");  // a failed load is not a scene the user can go back to
  ASSERT_EQ(TestUserInterface().erros.size(), 1u);
  EXPECT_EQ(Recentes(), QStringList({"&1 c6.xml", "&2 c5.xml", "&3 c4.xml", "&4 c3.xml", "&5 c2.xml"}));

  Recente("c4.xml")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Recentes().value(0) == "&1 c4.xml"; }, 20000));
  EXPECT_EQ(Recentes(), QStringList({"&1 c4.xml", "&2 c6.xml", "&3 c5.xml", "&4 c3.xml", "&5 c2.xml"}));

  fs::remove(pasta / "c5.xml");
  Recente("c5.xml")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !TestUserInterface().avisos.empty(); }, 20000));
  EXPECT_THAT(TestUserInterface().avisos[0], HasSubstr("Cenas recentes: O arquivo não existe mais"));
  EXPECT_THAT(TestUserInterface().avisos[0], HasSubstr("c5.xml"));
  EXPECT_EQ(Recentes(), QStringList({"&1 c4.xml", "&2 c6.xml", "&3 c3.xml", "&4 c2.xml"}));

  // Kept in the settings file beside the settings, and there again at the next start.
  form->close();
  form.reset();
  EXPECT_THAT(pasta.Read("config.ini"), HasSubstr("[General]"));
  Abre();
  EXPECT_EQ(Recentes(), QStringList({"&1 c4.xml", "&2 c6.xml", "&3 c3.xml", "&4 c2.xml"}));
}

TEST(Portuguese, TheOpenSceneDialogAndTheMessagesSpeakPortuguese) {
  TTempFolder pasta;
  const auto dialogo = MakeSceneDialog(nullptr, QString::fromStdString(pasta.Path().string()),
                                       "Arquivo de cena (.xml) (*xml)");
  EXPECT_TRUE(dialogo->testOption(QFileDialog::DontUseNativeDialog));
  dialogo->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialogo.get()));
  auto rotulo = [&](const char* nome) {
    const auto* l = dialogo->findChild<QLabel*>(nome);
    return l ? Sem(l->text()) : std::string("(sem ") + nome + ")";
  };
  EXPECT_EQ(rotulo("lookInLabel"), "Procurar em:");
  EXPECT_EQ(rotulo("fileNameLabel"), "Nome do arquivo:");
  EXPECT_EQ(rotulo("fileTypeLabel"), "Arquivos do tipo:");
  const auto* botoes = dialogo->findChild<QDialogButtonBox*>("buttonBox");
  ASSERT_NE(botoes, nullptr);
  ASSERT_NE(botoes->button(QDialogButtonBox::Open), nullptr);
  EXPECT_EQ(Sem(botoes->button(QDialogButtonBox::Open)->text()), "Abrir");
  EXPECT_EQ(Sem(botoes->button(QDialogButtonBox::Cancel)->text()), "Cancelar");
  dialogo->reject();

  QMessageBox caixa(QMessageBox::Question, "Vireta", "?",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_EQ(Sem(caixa.button(QMessageBox::Yes)->text()), "Sim");
  EXPECT_EQ(Sem(caixa.button(QMessageBox::No)->text()), "Não");
  EXPECT_EQ(Sem(caixa.button(QMessageBox::Cancel)->text()), "Cancelar");

  // The desktop entry's icon is the window's too.
  EXPECT_FALSE(QApplication::windowIcon().pixmap(32, 32).isNull());
}

}  // namespace
