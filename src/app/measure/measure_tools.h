#pragma once
// Seeing and measuring the physics: the information overlay (F2), the live plots (F3), the objects' names
// (F4), clearing the trails, screenshots (F12 and "Salvar imagem…") and the CSV export of every frame since
// the scene was loaded. It hears of each step, frame and load from the scene session, draws over the
// window's GL panel, and builds its own menu "Exibir" and its items in the file menu it is given.

#include "app/widgets/panel_overlay.h"
#include "export/frame_record.h"
#include "frame/overlay_drawing.h"
#include "frame/plot_history.h"
#include "frame/rate_meter.h"
#include "frame/scene_session.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>

class QAction;
class QMainWindow;
class QMenu;
class TGLPanel;
class TPlotsDock;
class TUserInterface;

class TMeasureTools : public QObject, public IPanelOverlay {
 public:
  // Adds "Exibir" to `janela`'s menu bar and its export items to `arquivo` (before its last separator), and
  // draws the overlay on `painel`.
  TMeasureTools(TSceneSession& sessao, QMainWindow& janela, QMenu& arquivo, TGLPanel& painel,
                TUserInterface& ui);
  ~TMeasureTools() override;

  // Menu commands.
  void ExportCSV();
  // "Exportar para planilha…": the kept frames with decimal commas and units, for a Brazilian spreadsheet;
  // objects the physics does not move only with SpreadsheetWithFixed() checked.
  void ExportSpreadsheet();
  QAction* SpreadsheetWithFixed() const { return withFixed_; }
  void SaveImageAs();
  void CaptureImage();  // into the pictures folder, named after the scene and the time
  void ClearTrailsClick();

  // Read access for the measure tools' own checks.
  const TFrameRecord& Record() const { return record_; }
  const TPlotHistory& History() const { return history_; }
  TPlotsDock* Plots() const { return plots_; }
  TOverlaySwitches Switches() const;
  // The file the last screenshot went to (empty before the first).
  const QString& LastImage() const { return lastImage_; }

  // The folder F12 writes to: the user's pictures folder, or home when there is none.
  static QString PicturesFolder();

  void Draw(int largura, int altura) override;
  void Release() override { overlay_.Release(); }

 private:
  void StepDone();
  void FrameDone();
  void SceneLoaded();
  void CreateViewMenu();
  void PlacePlots(bool visivel);
  void AddFileItems(QMenu& arquivo);
  QString SceneName() const;
  void SaveWhenCaptured(const QString& arquivo);
  void AddPlotSample();
  void Tell(const QString& texto);
  // Asks where to write a file of the kept frames and writes what `escreve` puts out; false when cancelled
  // or not written (the user told why).
  bool WriteFrames(const QString& titulo, const QString& sufixo,
                   const std::function<void(std::ostream&)>& escreve);

  TSceneSession& session_;
  QMainWindow& window_;
  TGLPanel& panel_;
  TUserInterface& ui_;
  TFrameRecord record_;
  TPlotHistory history_;
  TRateMeter meter_;
  TOverlayDrawing overlay_;
  std::optional<std::size_t> plotted_;
  std::optional<TVector> lastVelocity_;  // of the plotted object at the last sample
  double lastTime_ = 0;
  double acceleration_ = 0;

  TPlotsDock* plots_ = nullptr;
  QAction* information_ = nullptr;
  QAction* names_ = nullptr;
  QAction* withFixed_ = nullptr;
  QString pendingImage_;  // waits for the next picture
  qint64 captureKey_ = 0;
  QString lastImage_;
};
