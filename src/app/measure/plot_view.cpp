#include "app/measure/plot_view.h"

#include <QMouseEvent>
#include <QRubberBand>

#include <cstdlib>

TPlotView::TPlotView(QChart* grafico, QWidget* pai) : QChartView(grafico, pai) {
  setRenderHint(QPainter::Antialiasing, false);
  setMouseTracking(true);
  band_ = new QRubberBand(QRubberBand::Rectangle, this);
}

double TPlotView::TimeAt(double x) const {
  const QPointF noGrafico = chart()->mapFromScene(mapToScene(QPoint(static_cast<int>(x), height() / 2)));
  return chart()->mapToValue(noGrafico).x();
}

double TPlotView::XOf(double t) const {
  const QPointF noGrafico = chart()->mapToPosition(QPointF(t, 0));
  return mapFromScene(chart()->mapToScene(noGrafico)).x();
}

void TPlotView::mousePressEvent(QMouseEvent* evento) {
  if (evento->button() != Qt::LeftButton) return QChartView::mousePressEvent(evento);
  dragFrom_ = evento->position().toPoint().x();
  band_->setGeometry(dragFrom_, 0, 1, height());
  band_->show();
  evento->accept();
}

void TPlotView::mouseMoveEvent(QMouseEvent* evento) {
  const int x = evento->position().toPoint().x();
  if (hover_) hover_(TimeAt(x));
  if (dragFrom_ >= 0) band_->setGeometry(std::min(dragFrom_, x), 0, std::abs(x - dragFrom_) + 1, height());
  evento->accept();
}

void TPlotView::mouseReleaseEvent(QMouseEvent* evento) {
  if (evento->button() != Qt::LeftButton || dragFrom_ < 0) return QChartView::mouseReleaseEvent(evento);
  const int x = evento->position().toPoint().x();
  const int de = dragFrom_;
  dragFrom_ = -1;
  band_->hide();
  if (std::abs(x - de) >= MinimumDrag && span_) span_(TimeAt(de), TimeAt(x));
  evento->accept();
}
