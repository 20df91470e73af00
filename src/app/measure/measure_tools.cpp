#include "app/measure/measure_tools.h"

#include "app/measure/font_atlas.h"
#include "app/measure/plots_dock.h"
#include "app/widgets/dock_width.h"
#include "app/widgets/gl_panel.h"
#include "app/widgets/user_interface.h"
#include "common/file_io.h"
#include "export/spreadsheet_csv.h"
#include "scene/object_readout.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>

#include <algorithm>
#include <limits>
#include <sstream>

namespace {

QString Path(const std::filesystem::path& p) {
  return QString::fromStdString(p.string());
}

}  // namespace

TMeasureTools::TMeasureTools(TSceneSession& sessao, QMainWindow& janela, QMenu& arquivo, TGLPanel& painel,
                             TUserInterface& ui)
    : session_(sessao),
      window_(janela),
      panel_(painel),
      ui_(ui),
      meter_(sessao.Clock()),
      overlay_(RenderGlyphAtlas(OverlayFont())) {
  plots_ = new TPlotsDock(history_, &window_);
  window_.addDockWidget(Qt::RightDockWidgetArea, plots_);
  plots_->hide();
  connect(plots_->toggleViewAction(), &QAction::toggled, this, [this](bool visivel) { PlacePlots(visivel); });
  AddFileItems(arquivo);
  CreateViewMenu();
  panel_.AddOverlay(*this);
  session_.OnSelectionChanged([this](std::optional<std::size_t>) { AddPlotSample(); });
  session_.OnStepDone([this] { StepDone(); });
  session_.OnFrameDone([this] { FrameDone(); });
  session_.OnSceneStarted([this](TSceneSession::TStart) { SceneLoaded(); });
}

TMeasureTools::~TMeasureTools() {
  panel_.RemoveOverlay(*this);
  // The dock reads the history that goes with this object.
  delete plots_;
}

void TMeasureTools::PlacePlots(bool visivel) {
  if (visivel) {
    // Beside a dock already open there (the editor), not under it nor over it.
    for (QDockWidget* outro : window_.findChildren<QDockWidget*>())
      if (outro != plots_ && outro->isVisible() && !outro->isFloating() &&
          window_.dockWidgetArea(outro) == Qt::RightDockWidgetArea) {
        window_.splitDockWidget(outro, plots_, Qt::Horizontal);
        break;
      }
  }
  // The picture keeps its size: the window grows by the plots' width and shrinks back.
  WidenForDock(window_, TPlotsDock::Width, visivel);
}

void TMeasureTools::AddFileItems(QMenu& arquivo) {
  // Before the separator above "&Sair".
  QAction* antes = nullptr;
  for (QAction* a : arquivo.actions())
    if (a->isSeparator()) antes = a;
  auto* exportar = new QAction(QStringLiteral("Exportar dados (CSV)…"), &arquivo);
  connect(exportar, &QAction::triggered, this, [this] { ExportCSV(); });
  auto* planilha = new QAction(QStringLiteral("Exportar para planilha…"), &arquivo);
  connect(planilha, &QAction::triggered, this, [this] { ExportSpreadsheet(); });
  withFixed_ = new QAction(QStringLiteral("Planilha com objetos fixos"), &arquivo);
  withFixed_->setCheckable(true);
  auto* salvar = new QAction(QStringLiteral("Salvar imagem…"), &arquivo);
  connect(salvar, &QAction::triggered, this, [this] { SaveImageAs(); });
  arquivo.insertActions(antes, {exportar, planilha, withFixed_, salvar});
}

void TMeasureTools::CreateViewMenu() {
  QMenu* exibir = window_.menuBar()->addMenu(QStringLiteral("Exibir"));
  information_ = exibir->addAction(QStringLiteral("Informações"));
  information_->setCheckable(true);
  information_->setShortcut(Qt::Key_F2);
  QAction* graficos = plots_->toggleViewAction();
  graficos->setText(QStringLiteral("Gráficos"));
  graficos->setShortcut(Qt::Key_F3);
  exibir->addAction(graficos);
  names_ = exibir->addAction(QStringLiteral("Nomes"));
  names_->setCheckable(true);
  names_->setShortcut(Qt::Key_F4);
  exibir->addSeparator();
  exibir->addAction(QStringLiteral("Capturar imagem"), Qt::Key_F12, this, [this] { CaptureImage(); });
  exibir->addAction(QStringLiteral("Limpar rastros"), this, [this] { ClearTrailsClick(); });
  // The overlay is part of the picture: a paused world is drawn again to show or hide it.
  for (QAction* a : {information_, names_})
    connect(a, &QAction::toggled, this, [this] { panel_.RequestPicture(); });
}

TOverlaySwitches TMeasureTools::Switches() const {
  return {information_->isChecked(), names_->isChecked()};
}

void TMeasureTools::Draw(int largura, int altura) {
  const TScene* cena = session_.CurrentScene();
  if (!cena) return;
  const TOverlayView vista{*cena, session_.FrameState().SimulatedTime, meter_, session_.Selection().Current(),
                           session_.FrameState().PointerShown};
  overlay_.Draw(largura, altura, vista, Switches());
}

void TMeasureTools::AddPlotSample() {
  const TScene* cena = session_.CurrentScene();
  if (!cena) return;
  const std::optional<std::size_t> i = ShownObject(*cena, session_.Selection().Current());
  // Another object: its plot starts afresh.
  if (i != plotted_) {
    history_.Restart();
    plots_->NewRun();
    plotted_ = i;
    lastVelocity_.reset();
  }
  if (!i) return;
  const TObjectReadout r = ReadObject(*cena, *i);
  const double t = session_.FrameState().SimulatedTime;
  // The velocity's change over the last step; a sample at the same time (a new selection) keeps the last.
  if (lastVelocity_ && t > lastTime_)
    acceleration_ = NormaVet(SubVet(r.VecV, *lastVelocity_)) / (t - lastTime_);
  else if (!lastVelocity_)
    acceleration_ = std::numeric_limits<double>::quiet_NaN();
  lastVelocity_ = r.VecV;
  lastTime_ = t;
  history_.Add({t, r.Posicao.z, r.Speed, acceleration_, r.Kinetic, r.Potential, r.Total});
}

void TMeasureTools::StepDone() {
  if (const TScene* cena = session_.CurrentScene()) record_.Add(*cena);
  AddPlotSample();
}

void TMeasureTools::FrameDone() {
  meter_.Frame(session_.FrameState().SimulatedTime);
  if (pendingImage_.isEmpty()) return;
  const QImage& imagem = panel_.Captura();
  if (imagem.isNull() || imagem.cacheKey() == captureKey_) return;
  const QString arquivo = pendingImage_;
  pendingImage_.clear();
  if (!imagem.convertToFormat(QImage::Format_RGB888).save(arquivo, "PNG")) {
    ui_.ShowError(QStringLiteral("Não foi possível salvar a imagem em \"%1\".").arg(arquivo));
    return;
  }
  lastImage_ = arquivo;
  Tell(QStringLiteral("Imagem salva em %1").arg(arquivo));
}

void TMeasureTools::SceneLoaded() {
  meter_.Restart();
  record_.Restart();
  if (const TScene* cena = session_.CurrentScene()) record_.Add(*cena);
  plotted_.reset();
  lastVelocity_.reset();
  history_.Restart();
  plots_->NewRun();
  AddPlotSample();
}

QString TMeasureTools::SceneName() const {
  return session_.Started() ? Path(session_.LoadName().stem()) : QStringLiteral("cena");
}

QString TMeasureTools::PicturesFolder() {
  const QString imagens = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  return !imagens.isEmpty() && QDir(imagens).exists() ? imagens : QDir::homePath();
}

void TMeasureTools::SaveWhenCaptured(const QString& arquivo) {
  pendingImage_ = arquivo;
  captureKey_ = panel_.Captura().cacheKey();
  panel_.RequestCapture();
}

void TMeasureTools::CaptureImage() {
  const QDir pasta(PicturesFolder());
  const QString base =
      SceneName() + QDateTime::currentDateTime().toString(QStringLiteral("-yyyyMMdd-HHmmss"));
  QString arquivo = pasta.filePath(base + QStringLiteral(".png"));
  // Two pictures in one second keep both.
  for (int n = 2; QFileInfo::exists(arquivo); ++n)
    arquivo = pasta.filePath(base + QStringLiteral("-%1.png").arg(n));
  SaveWhenCaptured(arquivo);
}

void TMeasureTools::SaveImageAs() {
  const QString sugestao = QDir(PicturesFolder()).filePath(SceneName() + QStringLiteral(".png"));
  QString arquivo =
      ui_.ChooseSaveFile(QStringLiteral("Salvar imagem"), sugestao, QStringLiteral("Imagem PNG (*.png)"));
  if (arquivo.isEmpty()) return;
  if (QFileInfo(arquivo).suffix().isEmpty()) arquivo += QStringLiteral(".png");
  SaveWhenCaptured(arquivo);
}

bool TMeasureTools::WriteFrames(const QString& titulo, const QString& sufixo,
                                const std::function<void(std::ostream&)>& escreve) {
  if (record_.Empty()) {
    Tell(QStringLiteral("Ainda não há quadros para exportar"));
    return false;
  }
  const QString pasta = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const QString sugestao =
      QDir(QDir(pasta).exists() ? pasta : QDir::homePath()).filePath(SceneName() + sufixo + ".csv");
  QString arquivo = ui_.ChooseSaveFile(titulo, sugestao, QStringLiteral("Planilha CSV (*.csv)"));
  if (arquivo.isEmpty()) return false;
  if (QFileInfo(arquivo).suffix().isEmpty()) arquivo += QStringLiteral(".csv");
  std::ostringstream saida;
  escreve(saida);
  if (const std::error_code erro = ReplaceFileAtomically(arquivo.toStdString(), std::move(saida).str())) {
    ui_.ShowError(QStringLiteral("Não foi possível gravar os dados em \"%1\": %2.")
                      .arg(arquivo, QString::fromLocal8Bit(erro.message())));
    return false;
  }
  QString texto = QStringLiteral("Dados exportados para %1: quadros %2 a %3")
                      .arg(arquivo)
                      .arg(record_.FirstFrame())
                      .arg(record_.LastFrame());
  if (record_.FirstFrame() > 0)
    texto += QStringLiteral(" (a memória guarda só os últimos quadros: o arquivo começa no quadro %1)")
                 .arg(record_.FirstFrame());
  Tell(texto);
  return true;
}

void TMeasureTools::ExportCSV() {
  const TScene* cena = session_.CurrentScene();
  if (!cena) return;
  WriteFrames(QStringLiteral("Exportar dados (CSV)"), QString(),
              [&](std::ostream& saida) { record_.WriteCSV(saida, cena->Tabela()); });
}

void TMeasureTools::ExportSpreadsheet() {
  const TScene* cena = session_.CurrentScene();
  if (!cena) return;
  WriteFrames(QStringLiteral("Exportar para planilha"), QStringLiteral("-planilha"),
              [&](std::ostream& saida) { WriteSpreadsheet(saida, record_, *cena, withFixed_->isChecked()); });
}

void TMeasureTools::ClearTrailsClick() {
  session_.ClearTrails();
  Tell(QStringLiteral("Rastros apagados"));
}

void TMeasureTools::Tell(const QString& texto) {
  ShowStatusNotice(window_, texto);
}
