// The scene session without a window: what opening, editing, reloading and running a scene do to the scene,
// the document, the selection and the listeners, with the frame's clock in the test's hands.

#include "frame/scene_session.h"

#include "support/manual_clock.h"
#include "support/scene_builder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class SceneSession : public ::testing::Test {
 protected:
  SceneSession() {
    sessao.SetLoadWrapper([this](const std::function<void()>& carrega) {
      ++cargas;
      carrega();
    });
    sessao.OnSceneStarted([this](TSceneSession::TStart como) {
      inicios.push_back(como);
      tempoNoInicio = sessao.FrameState().SimulatedTime;
    });
    sessao.OnStepDone([this] { ++passos; });
    sessao.OnFrameDone([this] { ++quadros; });
  }

  fs::path DuasBolas(const std::string& nome, double z = 3) {
    return TTestScene{}
        .Linha(SphereRow(0.5), {{TColumn::Nome, std::string("A")},
                                {TColumn::Z, z},
                                {TColumn::ODEMove, true},
                                {TColumn::TemGravidade, true}})
        .Linha(SphereRow(0.5), {{TColumn::Nome, std::string("B")}, {TColumn::X, 3.0}, {TColumn::Z, z}})
        .Write(pasta / nome);
  }

  // One frame `ms` after the previous one on the test's clock.
  void Quadro(int ms) {
    relogio.Time += std::chrono::milliseconds(ms);
    sessao.Frame(desenho, camera, ajustes, {}, {}, {});
    sessao.FrameDone();
  }

  double Altura(std::size_t i) const { return sessao.CurrentScene()->Objetos[i].Posicao.z; }

  TTempFolder pasta;
  TManualClock relogio{TTimePoint{} + 1h};
  TSceneSession sessao{pasta / "Cenas", {}, relogio};
  TNullFrameDrawing desenho;
  TCamera camera;
  TQuillonSetting ajustes;
  int cargas = 0, passos = 0, quadros = 0;
  double tempoNoInicio = -1;
  std::vector<TSceneSession::TStart> inicios;
};

TEST_F(SceneSession, OpeningReloadingAndEditingKeepOneDocumentAndTellTheListeners) {
  EXPECT_FALSE(sessao.Reload()) << "nothing has run yet";
  EXPECT_EQ(sessao.LoadName(), pasta / "Cenas" / "Nova cena");

  const fs::path arquivo = DuasBolas("duas.xml");
  sessao.Open(arquivo);
  EXPECT_EQ(sessao.Path(), arquivo);
  EXPECT_EQ(sessao.Document().Table().RowCount(), 2);
  EXPECT_FALSE(sessao.Document().Modified());
  sessao.Selection().Set(1);

  // The world runs on the session's clock: 50 ms are five steps, each told once.
  Quadro(0);
  Quadro(50);
  EXPECT_EQ(passos, 6);
  EXPECT_EQ(quadros, 2);
  EXPECT_NEAR(sessao.FrameState().SimulatedTime, 0.06, 1e-9);
  EXPECT_LT(Altura(0), 3);

  // A reload of an unedited scene reads its file again and keeps the selection.
  ASSERT_TRUE(sessao.Reload());
  EXPECT_EQ(tempoNoInicio, 0) << "listeners hear of a start with the clock already back at 0";
  EXPECT_EQ(Altura(0), 3);
  EXPECT_EQ(sessao.Selection().Current(), 1u);

  // An edit reaches the world at once; a reload then goes back to the edit, not to the file.
  sessao.Document().SetCell(0, TColumn::Z, 5.0);
  EXPECT_EQ(Altura(0), 5);
  Quadro(30);
  ASSERT_TRUE(sessao.Reload());
  EXPECT_EQ(Altura(0), 5);
  EXPECT_TRUE(sessao.Document().Modified());

  // An edit the loader refuses changes neither the document nor the world.
  EXPECT_THROW(sessao.Document().SetCell(0, TColumn::X, 1e9), ESceneError);
  EXPECT_EQ(sessao.Document().Table().Real(0, TColumn::X), 0);
  EXPECT_EQ(sessao.CurrentScene()->Objetos[0].Posicao.x, 0);

  // Another scene clears the selection; a broken file keeps everything as it was.
  sessao.Open(DuasBolas("outra.xml", 7));
  EXPECT_FALSE(sessao.Selection().Current());
  EXPECT_EQ(Altura(0), 7);
  const fs::path quebrado = pasta.Write("quebrado.xml", "<DATAPACKET>");
  EXPECT_ANY_THROW(sessao.Open(quebrado));
  EXPECT_EQ(sessao.Path(), pasta / "outra.xml");
  EXPECT_EQ(Altura(0), 7);

  // "Nova cena": nothing in the world, no file, and a reload rebuilds the empty scene.
  sessao.NewScene();
  EXPECT_TRUE(sessao.CurrentScene()->Objetos.empty());
  EXPECT_TRUE(sessao.Path().empty());
  EXPECT_TRUE(sessao.Reload());

  using S = TSceneSession::TStart;
  const std::vector<S> esperados{S::Opened, S::Opened,  S::Rebuilt, S::Rebuilt,
                                 S::Opened, S::Rebuilt, S::Rebuilt};
  EXPECT_EQ(inicios, esperados);
  EXPECT_EQ(cargas, 9) << "every load, the refused and the failed ones too, ran inside the wrapper";
}

// The running scene reads the very table its document keeps, through edits, undo, a save elsewhere that
// rebases the model names, and a new scene.
TEST_F(SceneSession, TheSceneAndItsDocumentHoldOneTable) {
  const auto umaTabela = [&] { return &sessao.CurrentScene()->Tabela() == &sessao.Document().Table(); };
  fs::copy(fs::path(VIRETA_SOURCE_DIR) / "Cenas", pasta / "amostras", fs::copy_options::recursive);
  sessao.Open(pasta / "amostras" / "malha_obj.xml");
  EXPECT_TRUE(umaTabela());
  int modelo = 0;
  while (sessao.Document().Table().Text(modelo, TColumn::Arquivo).empty()) ++modelo;
  sessao.Document().SetCell(modelo, TColumn::Nome, std::string("Pirâmide"));
  EXPECT_TRUE(umaTabela());
  sessao.Document().Undo();
  EXPECT_TRUE(umaTabela());
  fs::create_directories(pasta / "outra");
  sessao.Document().Save(pasta / "outra" / "malha.xml");
  EXPECT_NE(sessao.Document().Table().Text(modelo, TColumn::Arquivo), "modelos/piramide.obj");
  EXPECT_TRUE(umaTabela());
  sessao.NewScene();
  EXPECT_TRUE(umaTabela());
}

TEST_F(SceneSession, ClosedSessionRunsNothing) {
  sessao.Open(DuasBolas("duas.xml"));
  sessao.ClearTrails();
  sessao.Close();
  Quadro(100);
  EXPECT_EQ(passos, 0);
  EXPECT_FALSE(sessao.Reload());
  EXPECT_EQ(sessao.CurrentScene(), nullptr);
}

// Paused and still, the world is drawn once and then rests until something the picture shows changes; the
// ticks still run (the rate meter and the clock go on).
TEST_F(SceneSession, APausedStillWorldIsDrawnOnceUntilWhatItShowsChanges) {
  sessao.Open(DuasBolas("duas.xml"));
  // One tick as the window runs it; true when it was drawn.
  const auto tick = [this](const TRemoteReading& remoto = {}) {
    relogio.Time += std::chrono::milliseconds(10);
    const bool descansou = sessao.RestingFrame(camera, ajustes, remoto, {}, {});
    if (!descansou) {
      sessao.Frame(desenho, camera, ajustes, remoto, {}, {});
      sessao.PictureDrawn(camera);
    }
    sessao.FrameDone();
    return !descansou;
  };
  EXPECT_TRUE(tick());
  EXPECT_TRUE(tick()) << "running: every tick is drawn";
  sessao.Control().SetPaused(true);
  EXPECT_TRUE(tick()) << "paused, the picture shows more (the launch arrow): drawn once";
  const int antes = quadros;
  EXPECT_FALSE(tick());
  EXPECT_FALSE(tick());
  EXPECT_EQ(quadros, antes + 2) << "resting ticks still run";

  OrbitaCamera(camera, 0, 5);
  EXPECT_TRUE(tick()) << "the camera turned";
  EXPECT_FALSE(tick());
  sessao.Control().StepOnce();
  EXPECT_TRUE(tick()) << "a single step moves the balls";
  EXPECT_FALSE(tick());
  sessao.Selection().Set(0);
  EXPECT_TRUE(tick()) << "the overlay speaks of another object";
  sessao.ClearTrails();
  sessao.CurrentScene()->Objetos[0].Rastro.push_back({});
  EXPECT_TRUE(tick()) << "a trail changed";

  TRemoteReading apontando;
  apontando.ADown = true;
  apontando.IRSize1 = 3;
  EXPECT_TRUE(tick(apontando)) << "the remote moves the pointer";
  EXPECT_FALSE(tick()) << "let go: this tick empties the pointer's path...";
  EXPECT_TRUE(tick()) << "...which the next picture shows";
  EXPECT_FALSE(tick());

  sessao.Document().SetCell(1, TColumn::R, 200.0);
  EXPECT_TRUE(tick()) << "an edit no key sees (a colour) rebuilt the scene";
  sessao.Control().SetPaused(false);
  EXPECT_TRUE(tick());
}

}  // namespace
