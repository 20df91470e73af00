#pragma once
// "Gráficos": the selected object's height, speed and energies against simulated time, over the last 10 s
// or the whole run. It reads the history the frame fills at most 20 times a second, and only when the
// history has moved, so a paused world leaves the plots as they are and the frame never waits for them.

#include "frame/plot_history.h"

#include <QDockWidget>
#include <QTimer>

#include <array>
#include <cstdint>

class QChart;
class QCheckBox;
class QLineSeries;
class QValueAxis;

class TPlotsDock : public QDockWidget {
 public:
  static constexpr int UpdateMs = 50;  // at most 20 updates a second
  static constexpr double WindowSeconds = 10;
  static constexpr std::size_t MaxPoints = 250;  // per line: more are not seen at the dock's width

  TPlotsDock(const TPlotHistory& historico, QWidget* pai);

  // Redraws the lines from the history now, whatever the time or the version.
  void Refresh();
  bool WholeRun() const;
  void SetWholeRun(bool inteira);

 private:
  struct TPlot {
    QChart* chart = nullptr;
    QValueAxis *x = nullptr, *y = nullptr;
  };

  const TPlotHistory& history_;
  QTimer timer_;
  std::uint64_t shownVersion_ = ~std::uint64_t{0};
  QCheckBox* wholeRun_ = nullptr;
  TPlot motion_, energy_;
  std::array<QLineSeries*, 5> lines_{};  // height, speed, kinetic, potential, total
};
