#pragma once
// One plot on screen: the mouse over it tells the time under the pointer, and a drag across it tells the
// span of time dragged over (shown as a band while dragging). What is done with them is the dock's business.

#include <QChartView>

#include <functional>

class QRubberBand;

class TPlotView : public QChartView {
 public:
  // A drag shorter than this many pixels is a click, not a span.
  static constexpr int MinimumDrag = 4;

  TPlotView(QChart* grafico, QWidget* pai);

  void OnHover(std::function<void(double t)> f) { hover_ = std::move(f); }
  void OnSpan(std::function<void(double t0, double t1)> f) { span_ = std::move(f); }

  // The time at x pixels of the view, and the view's x pixel of time `t`.
  double TimeAt(double x) const;
  double XOf(double t) const;

 protected:
  void mousePressEvent(QMouseEvent* evento) override;
  void mouseMoveEvent(QMouseEvent* evento) override;
  void mouseReleaseEvent(QMouseEvent* evento) override;

 private:
  std::function<void(double)> hover_;
  std::function<void(double, double)> span_;
  QRubberBand* band_ = nullptr;
  int dragFrom_ = -1;  // x pixel where the drag began; -1 when none
};
