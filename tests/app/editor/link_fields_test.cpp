// The "Ligação" group on the real editor and session: a link made from the dock reaches the running scene,
// the anchor buttons place the anchor, and a link the loader refuses is marked on its own field.

#include "app/editor/link_fields.h"
#include "app/editor/scene_editor.h"
#include "support/session_rig.h"
#include "support/temp_folder.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using C = TColumn;

class LigacaoNoEditor : public ::testing::Test {
 protected:
  LigacaoNoEditor() {
    ResetTestUserInterface();
    fs::copy(fs::path(VIRETA_SOURCE_DIR) / "Cenas", pasta / "Cenas", fs::copy_options::recursive);
    EXPECT_TRUE(rig.Show());
    rig.session.Open(pasta / "Cenas" / "colisao_elastica_1d.xml");
  }
  QWidget* Campo(C c) { return editor.Panel()->Fields()->Editor(c); }
  void Escolhe(C c, int indice) {
    auto* combo = qobject_cast<QComboBox*>(Campo(c));
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(indice);
    emit combo->activated(indice);
  }
  void Numero(C c, double v) { qobject_cast<QDoubleSpinBox*>(Campo(c))->setValue(v); }
  TLinkFields& Grupo() {
    auto* g = editor.Panel()->Fields()->findChild<QGroupBox*>(TLinkFields::WidgetName);
    EXPECT_NE(g, nullptr);
    return *static_cast<TLinkFields*>(g);
  }
  const TSceneTable& Tabela() { return rig.session.Document().Table(); }
  const TLinkSet& Links() { return rig.session.CurrentScene()->Mundo->Links(); }

  TTempFolder pasta;
  TSessionRig rig{pasta / "Cenas"};
  TSceneEditor editor{rig.session, rig.window, rig.camera, TestUserInterface()};
};

TEST_F(LigacaoNoEditor, MolaEntreDoisObjetosFeitaNoPainel) {
  rig.session.Selection().Set(1);  // "B m=1"
  Escolhe(C::Ligacao, static_cast<int>(TLinkKind::Spring));
  // The kind comes with what it needs: an anchor (the object's top) and a stiffness to start from.
  EXPECT_EQ(Tabela().Real(1, C::PontoZ), 0.5) << "centre 0.25, radius 0.25";
  EXPECT_EQ(Tabela().Real(1, C::Rigidez), 10);
  ASSERT_TRUE(Links().Linked(1));
  // A spring without stiffness is refused: the scene keeps its spring and the field says why.
  Numero(C::Rigidez, 0);
  EXPECT_EQ(Tabela().Real(1, C::Rigidez), 10);
  EXPECT_NE(Campo(C::Rigidez)->styleSheet().indexOf("d02020"), -1);
  EXPECT_FALSE(Campo(C::Rigidez)->toolTip().isEmpty());

  Numero(C::Rigidez, 50);
  Escolhe(C::LigaCom, 1);  // the first other object: "A m=1"
  EXPECT_EQ(Tabela().Integer(1, C::LigaCom), 1);
  Grupo().OtherCentreButton()->click();
  EXPECT_EQ(Tabela().Real(1, C::PontoX), -3);
  EXPECT_EQ(Tabela().Real(1, C::PontoY), -1.5);
  const std::optional<TLinkReading> r = Links().Reading(1);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Kind, TLinkKind::Spring);
  EXPECT_NEAR(r->Length, 3, 1e-6);
  EXPECT_FALSE(Campo(C::EixoLigX)->isVisibleTo(&Grupo())) << "a spring has no axis";
  EXPECT_TRUE(Campo(C::Amortecimento)->isVisibleTo(&Grupo()));

  EXPECT_NEAR(Links().Reading(1)->Force, 0, 1e-9) << "at its rest length at load";

  // A rod to a fixed point at the ball's top.
  Escolhe(C::Ligacao, static_cast<int>(TLinkKind::Rod));
  Escolhe(C::LigaCom, 0);
  Grupo().TopButton()->click();
  EXPECT_EQ(Tabela().Real(1, C::PontoX), 0);
  EXPECT_EQ(Tabela().Real(1, C::PontoZ), 0.5);
  EXPECT_FALSE(Campo(C::Rigidez)->isVisibleTo(&Grupo()));
  EXPECT_EQ(Links().Reading(1)->Kind, TLinkKind::Rod);
}

}  // namespace
