#include "app/measure/plots_dock.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <limits>

namespace {

QLineSeries* Line(QChart* chart, const QString& nome, QColor cor) {
  auto* s = new QLineSeries(chart);
  s->setName(nome);
  s->setPen(QPen(cor, 2));
  chart->addSeries(s);
  return s;
}

void Range(QValueAxis* eixo, double menor, double maior) {
  if (!(maior > menor)) maior = menor + 1;
  const double folga = (maior - menor) * 0.05;
  eixo->setRange(menor - folga, maior + folga);
}

}  // namespace

TPlotsDock::TPlotsDock(const TPlotHistory& historico, QWidget* pai)
    : QDockWidget(QStringLiteral("Gráficos"), pai), history_(historico) {
  setObjectName(QStringLiteral("Graficos"));
  auto* corpo = new QWidget(this);
  auto* layout = new QVBoxLayout(corpo);
  wholeRun_ = new QCheckBox(QStringLiteral("Toda a execução (senão, os últimos 10 s)"), corpo);
  layout->addWidget(wholeRun_);
  connect(wholeRun_, &QCheckBox::toggled, this, [this] { Refresh(); });

  const auto grafico = [&](TPlot& g, const QString& titulo, const QString& unidade) {
    g.chart = new QChart;
    g.chart->setTitle(titulo);
    g.chart->setAnimationOptions(QChart::NoAnimation);
    g.chart->setMargins(QMargins(2, 2, 2, 2));
    g.x = new QValueAxis(g.chart);
    g.x->setTitleText(QStringLiteral("tempo (s)"));
    g.y = new QValueAxis(g.chart);
    g.y->setTitleText(unidade);
    g.chart->addAxis(g.x, Qt::AlignBottom);
    g.chart->addAxis(g.y, Qt::AlignLeft);
    auto* vista = new QChartView(g.chart, corpo);
    vista->setRenderHint(QPainter::Antialiasing, false);
    vista->setMinimumSize(360, 220);
    layout->addWidget(vista);
  };
  grafico(motion_, QStringLiteral("Altura e rapidez"), QStringLiteral("m ou m/s"));
  grafico(energy_, QStringLiteral("Energia"), QStringLiteral("J"));
  lines_ = {Line(motion_.chart, QStringLiteral("altura (m)"), QColor(40, 110, 220)),
            Line(motion_.chart, QStringLiteral("rapidez (m/s)"), QColor(230, 120, 20)),
            Line(energy_.chart, QStringLiteral("cinética"), QColor(200, 40, 40)),
            Line(energy_.chart, QStringLiteral("potencial"), QColor(40, 150, 60)),
            Line(energy_.chart, QStringLiteral("total"), QColor(30, 30, 30))};
  for (int k = 0; k < 5; ++k) {
    const TPlot& g = k < 2 ? motion_ : energy_;
    lines_[static_cast<std::size_t>(k)]->attachAxis(g.x);
    lines_[static_cast<std::size_t>(k)]->attachAxis(g.y);
  }
  setWidget(corpo);

  timer_.setInterval(UpdateMs);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (isVisible() && history_.Version() != shownVersion_) Refresh();
  });
  timer_.start();
}

bool TPlotsDock::WholeRun() const {
  return wholeRun_->isChecked();
}

void TPlotsDock::SetWholeRun(bool inteira) {
  wholeRun_->setChecked(inteira);
}

void TPlotsDock::Refresh() {
  shownVersion_ = history_.Version();
  const double fim = history_.LastTime();
  const double inicio = WholeRun() ? 0 : std::max(0.0, fim - WindowSeconds);
  const std::vector<TPlotSample> amostras = history_.Since(inicio, MaxPoints);
  std::array<QList<QPointF>, 5> pontos;
  double menor[2] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
  double maior[2] = {std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
  for (auto& p : pontos) p.reserve(static_cast<qsizetype>(amostras.size()));
  for (const TPlotSample& s : amostras) {
    const double v[5] = {s.Height, s.Speed, s.Kinetic, s.Potential, s.Total};
    for (int k = 0; k < 5; ++k) {
      pontos[static_cast<std::size_t>(k)].append(QPointF(s.t, v[k]));
      const int g = k < 2 ? 0 : 1;
      menor[g] = std::min(menor[g], v[k]);
      maior[g] = std::max(maior[g], v[k]);
    }
  }
  for (std::size_t k = 0; k < 5; ++k) lines_[k]->replace(pontos[k]);
  const double xfim = WholeRun() ? std::max(fim, 1.0) : std::max(fim, WindowSeconds);
  for (TPlot* g : {&motion_, &energy_}) g->x->setRange(WholeRun() ? 0 : xfim - WindowSeconds, xfim);
  if (amostras.empty()) return;
  Range(motion_.y, menor[0], maior[0]);
  Range(energy_.y, menor[1], maior[1]);
}
