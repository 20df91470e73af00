#pragma once
// "Gráficos": the selected object's height, speed, acceleration and energies against simulated time, over
// the last 10 s or the whole run, one tab each, docked beside the picture (and beside the editor when it is
// open, never over it). Numbers are written with decimal commas. The mouse over a plot reads the time and
// the values there; dragging across a span fits a straight line and shows its slope with its unit (the
// acceleration, from the speed plot). The lines are redrawn at most 20 times a second, and only when the
// history has moved, so a paused world leaves the plots as they are and the frame never waits for them.

#include "frame/plot_history.h"

#include <QDockWidget>
#include <QTimer>

#include <array>
#include <cstdint>
#include <vector>

class QChart;
class QCheckBox;
class QLabel;
class QLineSeries;
class QTabWidget;
class QValueAxis;
class TPlotView;

class TPlotsDock : public QDockWidget {
 public:
  static constexpr int UpdateMs = 50;  // at most 20 updates a second
  static constexpr double WindowSeconds = 10;
  static constexpr std::size_t MaxPoints = 250;  // per line: more are not seen at the dock's width
  static constexpr int Width = 420;              // the window grows by this much while the dock shows

  enum TPlot { Height, Speed, Acceleration, Energy, PlotCount };

  TPlotsDock(const TPlotHistory& historico, QWidget* pai);

  // Redraws the lines from the history now, whatever the time or the version.
  void Refresh();
  bool WholeRun() const;
  void SetWholeRun(bool inteira);

  // The plot shown, and showing another.
  TPlot CurrentPlot() const;
  void ShowPlot(TPlot grafico);
  // The plot's view, for the mouse.
  TPlotView& View(TPlot grafico) const;

  // What the cursor line says of time `t` on `grafico` (as the mouse over it does).
  void ReadAt(TPlot grafico, double t);
  // Fits the line over t0..t1 on `grafico` (as a drag across it does); false when the span holds too few
  // samples (the text says so).
  bool FitSpan(TPlot grafico, double t0, double t1);
  // The last fit's slope in the plot's unit per second; the fitted line and its text go with ClearFit.
  const TLineFit& LastFit() const { return fit_; }
  void ClearFit();
  // A new run (a scene opened or reloaded, another object plotted): the reading and the fit go.
  void NewRun();

  QString CursorText() const;
  QString FitText() const;

 private:
  struct TChart {
    QChart* chart = nullptr;
    QValueAxis *x = nullptr, *y = nullptr;
    TPlotView* view = nullptr;
    std::vector<QLineSeries*> lines;
    QLineSeries* fitted = nullptr;
  };

  void Build(TPlot g, const QString& titulo, const QString& eixo);

  const TPlotHistory& history_;
  QTimer timer_;
  std::uint64_t shownVersion_ = ~std::uint64_t{0};
  QCheckBox* wholeRun_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QLabel* cursor_ = nullptr;
  QLabel* fitText_ = nullptr;
  std::array<TChart, PlotCount> charts_;
  TLineFit fit_;
};
