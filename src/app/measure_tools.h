#pragma once
// Seeing and measuring the physics: the information overlay (F2), the live plots (F3), the objects' names
// (F4), clearing the trails, screenshots (F12 and "Salvar imagem…") and the CSV export of every frame since
// the scene was loaded. The main window owns one, tells it of each step, frame and load, and it builds its
// own menu "Exibir" and its items in "&Arquivo".

#include "app/overlay_drawing.h"
#include "app/panel_overlay.h"
#include "app/plot_history.h"
#include "app/rate_meter.h"
#include "scene/frame_record.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>

class QAction;
class QMenu;
class TMainForm;
class TPlotsDock;
class TUserInterface;

class TMeasureTools : public QObject, public IPanelOverlay {
 public:
  TMeasureTools(TMainForm& janela, TUserInterface& ui);
  ~TMeasureTools() override;

  // From the main window's frame and scene command.
  void StepDone();
  void FrameDone();
  void SceneLoaded(const std::filesystem::path& arquivo);

  // Menu commands.
  void ExportCSV();
  void SaveImageAs();
  void CaptureImage();  // into the pictures folder, named after the scene and the time
  void ClearTrailsClick();

  // Read access for the program's own checks.
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
  void CreateViewMenu();
  void AddFileItems();
  QString SceneName() const;
  void SaveWhenCaptured(const QString& arquivo);
  void AddPlotSample();
  void Tell(const QString& texto);

  TMainForm& form_;
  TUserInterface& ui_;
  TFrameRecord record_;
  TPlotHistory history_;
  TRateMeter meter_;
  TOverlayDrawing overlay_;
  std::filesystem::path scenePath_;
  double loadTime_ = 0;  // the simulated time when the scene was loaded
  std::optional<std::size_t> plotted_;

  TPlotsDock* plots_ = nullptr;
  bool placedPlots_ = false;
  QAction* information_ = nullptr;
  QAction* names_ = nullptr;
  QString pendingImage_;  // waits for the next picture
  qint64 captureKey_ = 0;
  QString lastImage_;
};
