#include "app/editor/scene_editor.h"

#include "app/widgets/dock_width.h"
#include "app/widgets/user_interface.h"
#include "scene/launch.h"
#include "scene/obj_loader.h"
#include "scene/ramp_template.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace fs = std::filesystem;
using C = TColumn;

TSceneEditor::TSceneEditor(TSceneSession& sessao, QMainWindow& janela, const TCamera& camera,
                           TUserInterface& ui)
    : session_(sessao), window_(janela), camera_(camera), ui_(ui), doc_(sessao.Document()) {
  TObjectFields::THandlers campos{[this](int linha, const TRowCells& c) { EditRow(linha, c); },
                                  [this] { ChooseModelForSelected(); }, [this] { ChooseColourForSelected(); },
                                  [this] { GiveKeysToView(); }};
  panel_ = new TSceneEditorPanel(std::move(campos), &janela);
  janela.addDockWidget(Qt::RightDockWidgetArea, panel_);
  panel_->hide();
  connect(panel_->toggleViewAction(), &QAction::toggled, this, [this](bool v) { FitWindow(v); });

  for (const TShapeKind modelo : ShapeKinds) {
    const std::string_view nome = ShapeInfo(modelo).Name;
    // A model asks for its file first.
    const QString texto = QString::fromUtf8(nome.data(), static_cast<qsizetype>(nome.size())) +
                          (modelo == TShapeKind::Mesh ? "…" : "");
    panel_->AddMenu()->addAction(texto, this, [this, modelo] { AddObject(modelo); });
  }
  panel_->AddMenu()->addSeparator();
  panel_->AddMenu()->addAction("Rampa", this, [this] { AddRamp(); });
  panel_->AddMenu()->addAction("Bloco na rampa", this, [this] { AddBlockOnRamp(); });
  connect(panel_->DuplicateButton(), &QPushButton::clicked, this, [this] {
    const int i = Selected();
    int nova = -1;
    if (Apply([&] { nova = doc_.Duplicate(i); })) session_.Selection().Set(nova);
  });
  connect(panel_->DeleteButton(), &QPushButton::clicked, this, [this] {
    const int i = Selected();
    if (!Apply([&] { doc_.Delete(i); })) return;
    const int resta = doc_.Table().RowCount();
    session_.Selection().Set(resta ? std::optional<std::size_t>(std::min(i, resta - 1)) : std::nullopt);
    Refresh();
  });
  auto mover = [this](bool subir) {
    const int i = Selected();
    int nova = i;
    if (Apply([&] { nova = subir ? doc_.MoveUp(i) : doc_.MoveDown(i); })) session_.Selection().Set(nova);
    Refresh();
  };
  connect(panel_->UpButton(), &QPushButton::clicked, this, [mover] { mover(true); });
  connect(panel_->DownButton(), &QPushButton::clicked, this, [mover] { mover(false); });
  connect(panel_->List(), &QListWidget::currentRowChanged, this, [this](int linha) {
    session_.Selection().Set(linha >= 0 ? std::optional<std::size_t>(linha) : std::nullopt);
  });
  connect(panel_->Gravity(), &QCheckBox::toggled, this, [this](bool v) {
    TSceneSettings s = doc_.Settings();
    s.TemGravidade = v;
    Apply([&] { doc_.SetSettings(s); });
  });
  connect(panel_->CollisionKind(), &QComboBox::activated, this, [this](int k) {
    TSceneSettings s = doc_.Settings();
    s.TipoDeColisao = k;
    Apply([&] { doc_.SetSettings(s); });
  });
  session_.OnSelectionChanged([this](std::optional<std::size_t>) {
    // A click in the view that selects another object (or none) comes before the view takes the keys:
    // what was typed for the object shown is kept first.
    panel_->Fields()->CommitPending();
    Refresh();
  });
  session_.OnSceneStarted([this](TSceneSession::TStart como) {
    if (como == TSceneSession::TStart::Opened) Refresh();
  });
  Refresh();
}

// The dock goes with the editor, so that no field left behind can call it.
TSceneEditor::~TSceneEditor() {
  delete panel_;
}

QMenu* TSceneEditor::CreateMenu(QMenuBar& barra) {
  QMenu* Cena = barra.addMenu("Cena");
  // The dock's own toggle takes the dock's title as its text; this one keeps its name and follows the dock.
  editAction_ = Cena->addAction("Editar cena");
  editAction_->setCheckable(true);
  editAction_->setChecked(panel_->isVisible());
  editAction_->setShortcut(Qt::Key_F6);
  connect(editAction_, &QAction::triggered, panel_, &QWidget::setVisible);
  connect(panel_->toggleViewAction(), &QAction::toggled, editAction_, &QAction::setChecked);
  Cena->addSeparator();
  Cena->addAction("Nova cena", this, [this] { NewScene(); });
  Cena->addAction("Salvar", QKeySequence(Qt::CTRL | Qt::Key_S), this, [this] { Save(); });
  Cena->addAction("Salvar como…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this, [this] { SaveAs(); });
  Cena->addSeparator();
  undo_ = Cena->addAction("Desfazer", QKeySequence(Qt::CTRL | Qt::Key_Z), this, [this] { Undo(); });
  redo_ = Cena->addAction("Refazer", QKeySequence(Qt::CTRL | Qt::Key_Y), this, [this] { Redo(); });
  Refresh();
  return Cena;
}

int TSceneEditor::Selected() const {
  const auto s = session_.Selection().Current();
  return s && static_cast<int>(*s) < doc_.Table().RowCount() ? static_cast<int>(*s) : -1;
}

fs::path TSceneEditor::ScenesFolder() const {
  return session_.LoadName().parent_path();
}

void TSceneEditor::Refresh() {
  panel_->ShowDocument(doc_, Selected());
  if (undo_) undo_->setEnabled(doc_.CanUndo());
  if (redo_) redo_->setEnabled(doc_.CanRedo());
}

bool TSceneEditor::Apply(const std::function<void()>& edit) {
  try {
    edit();
  } catch (const ESceneError& e) {
    panel_->ShowRefusal(QString::fromUtf8(e.what()), e.Row().value_or(-1), e.Column());
    return false;
  }
  Refresh();
  return true;
}

void TSceneEditor::EditRow(int linha, const TRowCells& celulas) {
  if (linha >= 0 && linha < doc_.Table().RowCount()) Apply([&] { doc_.SetCells(linha, celulas); });
}

void TSceneEditor::EditSelected(const TRowCells& celulas) {
  const int i = Selected();
  if (i >= 0) Apply([&] { doc_.SetCells(i, celulas); });
}

bool TSceneEditor::MoveStartPosition(int linha, const TVector& posicao) {
  return Apply([&] { doc_.MoveStartPosition(linha, posicao); });
}

bool TSceneEditor::SetLaunch(int linha, const TVector& v) {
  return Apply([&] {
    doc_.SetCells(linha, {{TColumn::VelX, LaunchCell(v.x)},
                          {TColumn::VelY, LaunchCell(v.y)},
                          {TColumn::VelZ, LaunchCell(v.z)}});
  });
}

TVector TSceneEditor::FloorPointAhead() const {
  // Along the line of sight from the eye through the view's centre, down to the floor.
  const TVector olho = camera_.Olho;
  const TVector rumo = SubVet(camera_.Centro, olho);
  if (!(olho.z > 0) || !(rumo.z < 0)) return {};
  const TVector p = SomaVet(olho, EscalaVet(rumo, -olho.z / rumo.z));
  // A view that grazes the floor meets it far beyond anything the teacher sees.
  if (!std::isfinite(p.x) || !std::isfinite(p.y) || std::hypot(p.x - olho.x, p.y - olho.y) > 1000) return {};
  return {p.x, p.y, 0};
}

void TSceneEditor::AddObject(TShapeKind modelo) {
  std::string arquivo;
  double base = 0;
  if (modelo == TShapeKind::Mesh) {
    const QString escolhido = dialogs_->ChooseModel(QString::fromStdString(ScenesFolder().string()));
    if (escolhido.isEmpty()) return;
    arquivo = escolhido.toStdString();
    // How far the model reaches below its origin, so that it too stands on the floor.
    try {
      TModel m = LoadModel(arquivo, {});
      ComputeBounds(m);
      if (m.VertexCount > 0) base = -double(m.BoundsMin.z);
    } catch (const std::exception&) {
      // The load that follows says what is wrong with the file.
    }
  }
  int nova = -1;
  if (Apply([&] { nova = doc_.Add(modelo, FloorPointAhead(), arquivo, base); }))
    session_.Selection().Set(nova);
}

void TSceneEditor::AddRamp() {
  const auto rampa = dialogs_->AskRamp();
  if (!rampa) return;
  int nova = -1;
  if (Apply([&] { nova = doc_.AddRamp(*rampa, FloorPointAhead()); })) session_.Selection().Set(nova);
}

void TSceneEditor::AddBlockOnRamp() {
  const int rampa = Selected();
  if (!IsRamp(doc_.Table(), rampa)) {
    ui_.ShowError("Selecione uma rampa (uma caixa que a física não move) para pôr o bloco nela.");
    return;
  }
  const auto bloco = dialogs_->AskBlock();
  if (!bloco) return;
  int nova = -1;
  if (Apply([&] { nova = doc_.AddBlockOnRamp(rampa, *bloco); })) session_.Selection().Set(nova);
}

void TSceneEditor::GiveKeysToView() {
  if (QWidget* vista = window_.centralWidget()) vista->setFocus(Qt::OtherFocusReason);
}

void TSceneEditor::ChooseModelForSelected() {
  const int i = Selected();
  if (i < 0) return;
  const QString escolhido = dialogs_->ChooseModel(QString::fromStdString(ScenesFolder().string()));
  if (!escolhido.isEmpty()) Apply([&] { doc_.SetCell(i, C::Arquivo, escolhido.toStdString()); });
}

void TSceneEditor::ChooseColourForSelected() {
  const int i = Selected();
  if (i < 0) return;
  const TSceneTable& t = doc_.Table();
  auto canal = [&](C c) { return static_cast<int>(std::lround(std::clamp(t.Real(i, c), 0.0, 255.0))); };
  // In the table an alpha of 0 means opaque.
  const int alfa = canal(C::A) == 0 ? 255 : canal(C::A);
  const auto cor = dialogs_->ChooseColour(QColor(canal(C::R), canal(C::G), canal(C::B), alfa));
  if (!cor) return;
  const double a = cor->alpha() == 255 ? 0.0 : double(cor->alpha());
  EditSelected({{C::R, double(cor->red())},
                {C::G, double(cor->green())},
                {C::B, double(cor->blue())},
                {C::A, a},
                {C::UsaCor, true}});
}

void TSceneEditor::Undo() {
  Apply([this] { doc_.Undo(); });
}

void TSceneEditor::Redo() {
  Apply([this] { doc_.Redo(); });
}

void TSceneEditor::NewScene() {
  if (!ConfirmDiscard()) return;
  try {
    session_.NewScene();
  } catch (const ESceneError& e) {
    ui_.ShowError(QString::fromUtf8(e.what()));
    return;
  }
  Refresh();
  panel_->show();
}

bool TSceneEditor::Save() {
  return doc_.Path().empty() ? SaveAs() : SaveTo(doc_.Path());
}

bool TSceneEditor::SaveAs() {
  const fs::path sugestao = doc_.Path().empty() ? ScenesFolder() / "Nova cena.cena.xml" : doc_.Path();
  const QString escolhido = dialogs_->ChooseSavePath(QString::fromStdString(sugestao.string()));
  return !escolhido.isEmpty() && SaveTo(escolhido.toStdString());
}

bool TSceneEditor::SaveTo(const fs::path& arquivo) {
  try {
    doc_.Save(arquivo, ScenesFolder());
  } catch (const ESceneError& e) {
    ui_.ShowError(QString::fromUtf8(e.what()));
    return false;
  }
  Refresh();
  if (saved_) saved_(arquivo);
  return true;
}

bool TSceneEditor::ConfirmDiscard() {
  if (!doc_.Modified()) return true;
  const QString nome =
      doc_.Path().empty() ? QString("Nova cena") : QString::fromStdString(doc_.Path().filename().string());
  switch (dialogs_->AskUnsaved(nome)) {
    case TUnsavedAnswer::Save:
      return Save();
    case TUnsavedAnswer::Discard:
      return true;
    case TUnsavedAnswer::Cancel:
      return false;
  }
  return false;
}

void TSceneEditor::FitWindow(bool mostrando) {
  // The view keeps its size: the window grows by the dock's width beside it and shrinks back.
  WidenForDock(window_, EditorPanelWidth, mostrando);
}
