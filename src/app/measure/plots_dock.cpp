#include "app/measure/plots_dock.h"

#include "app/measure/plot_view.h"

#include <QChart>
#include <QCheckBox>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QString ReadingHint = QStringLiteral("Passe o mouse sobre o gráfico para ler seus valores");

// What each plot draws: its lines, their quantities and the unit they are read in.
struct TLineSpec {
  const char* nome;
  TPlotQuantity grandeza;
  QColor cor;
};

struct TPlotSpec {
  const char* aba;
  const char* unidade;     // of the values
  const char* porSegundo;  // of a slope
  std::vector<TLineSpec> linhas;
  TPlotQuantity ajustada;  // the line a drag fits
};

const std::array<TPlotSpec, TPlotsDock::PlotCount>& Specs() {
  static const std::array<TPlotSpec, TPlotsDock::PlotCount> specs = {{
      {"Altura", "m", "m/s", {{"altura", &TPlotSample::Height, QColor(40, 110, 220)}}, &TPlotSample::Height},
      {"Rapidez",
       "m/s",
       "m/s²",
       {{"rapidez", &TPlotSample::Speed, QColor(230, 120, 20)}},
       &TPlotSample::Speed},
      {"Aceleração",
       "m/s²",
       "m/s³",
       {{"aceleração", &TPlotSample::Acceleration, QColor(150, 60, 180)}},
       &TPlotSample::Acceleration},
      {"Energia",
       "J",
       "J/s",
       {{"cinética", &TPlotSample::Kinetic, QColor(200, 40, 40)},
        {"potencial", &TPlotSample::Potential, QColor(40, 150, 60)},
        {"total", &TPlotSample::Total, QColor(30, 30, 30)}},
       &TPlotSample::Total},
  }};
  return specs;
}

QString Decimal(double v, int casas) {
  // "-0,00" says nothing a "0,00" does not.
  if (std::abs(v) < 0.5 * std::pow(10.0, -casas)) v = 0;
  return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(v, 'f', casas);
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
  // Docked beside the picture or tabbed, never floating over the window.
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  auto* corpo = new QWidget(this);
  auto* layout = new QVBoxLayout(corpo);
  wholeRun_ = new QCheckBox(QStringLiteral("Toda a execução (senão, os últimos 10 s)"), corpo);
  layout->addWidget(wholeRun_);
  connect(wholeRun_, &QCheckBox::toggled, this, [this] { Refresh(); });
  tabs_ = new QTabWidget(corpo);
  tabs_->setAccessibleName(QStringLiteral("Gráficos do objeto selecionado"));
  layout->addWidget(tabs_, 1);
  cursor_ = new QLabel(ReadingHint, corpo);
  cursor_->setWordWrap(true);
  layout->addWidget(cursor_);
  fitText_ = new QLabel(QStringLiteral("Arraste sobre um trecho para ajustar uma reta"), corpo);
  fitText_->setWordWrap(true);
  layout->addWidget(fitText_);
  for (int g = 0; g < PlotCount; ++g) {
    const TPlotSpec& spec = Specs()[static_cast<std::size_t>(g)];
    Build(static_cast<TPlot>(g), QString::fromUtf8(spec.aba),
          QStringLiteral("%1 (%2)").arg(QString::fromUtf8(spec.aba).toLower(),
                                        QString::fromUtf8(spec.unidade)));
  }
  connect(tabs_, &QTabWidget::currentChanged, this, [this] { ClearFit(); });
  setWidget(corpo);
  setMinimumWidth(Width);

  timer_.setInterval(UpdateMs);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (isVisible() && history_.Version() != shownVersion_) Refresh();
  });
  timer_.start();
}

void TPlotsDock::Build(TPlot g, const QString& titulo, const QString& eixo) {
  const TPlotSpec& spec = Specs()[g];
  TChart& c = charts_[g];
  c.chart = new QChart;
  c.chart->setAnimationOptions(QChart::NoAnimation);
  c.chart->setMargins(QMargins(2, 2, 2, 2));
  // Axis numbers as the class writes them: 1,5 and not 1.5.
  c.chart->setLocale(QLocale(QLocale::Portuguese, QLocale::Brazil));
  c.chart->setLocalizeNumbers(true);
  c.x = new QValueAxis(c.chart);
  c.x->setTitleText(QStringLiteral("tempo (s)"));
  c.y = new QValueAxis(c.chart);
  c.y->setTitleText(eixo);
  c.chart->addAxis(c.x, Qt::AlignBottom);
  c.chart->addAxis(c.y, Qt::AlignLeft);
  const auto linha = [&](const QString& nome, const QPen& caneta) {
    auto* s = new QLineSeries(c.chart);
    s->setName(nome);
    s->setPen(caneta);
    c.chart->addSeries(s);
    s->attachAxis(c.x);
    s->attachAxis(c.y);
    return s;
  };
  for (const TLineSpec& l : spec.linhas) c.lines.push_back(linha(QString::fromUtf8(l.nome), QPen(l.cor, 2)));
  c.fitted = linha(QStringLiteral("reta ajustada"), QPen(Qt::black, 1.5, Qt::DashLine));
  c.fitted->setVisible(false);
  c.chart->legend()->setVisible(spec.linhas.size() > 1);
  c.view = new TPlotView(c.chart, tabs_);
  c.view->setMinimumSize(360, 260);
  // A screen reader names the plot by what it shows, as the tab does.
  c.view->setAccessibleName(QStringLiteral("Gráfico: %1").arg(titulo));
  c.view->setAccessibleDescription(eixo + QStringLiteral(" contra o tempo (s)"));
  c.view->OnHover([this, g](double t) { ReadAt(g, t); });
  c.view->OnSpan([this, g](double t0, double t1) { FitSpan(g, t0, t1); });
  tabs_->addTab(c.view, titulo);
}

bool TPlotsDock::WholeRun() const {
  return wholeRun_->isChecked();
}

void TPlotsDock::SetWholeRun(bool inteira) {
  wholeRun_->setChecked(inteira);
}

TPlotsDock::TPlot TPlotsDock::CurrentPlot() const {
  return static_cast<TPlot>(tabs_->currentIndex());
}

void TPlotsDock::ShowPlot(TPlot grafico) {
  tabs_->setCurrentIndex(grafico);
}

TPlotView& TPlotsDock::View(TPlot grafico) const {
  return *charts_[grafico].view;
}

QString TPlotsDock::CursorText() const {
  return cursor_->text();
}

QString TPlotsDock::FitText() const {
  return fitText_->text();
}

void TPlotsDock::ReadAt(TPlot grafico, double t) {
  TPlotSample s;
  if (!history_.At(t, s)) return;
  const TPlotSpec& spec = Specs()[grafico];
  QStringList valores;
  for (const TLineSpec& l : spec.linhas) {
    const double v = s.*l.grandeza;
    valores << QStringLiteral("%1 %2 %3")
                   .arg(QString::fromUtf8(l.nome), std::isfinite(v) ? Decimal(v, 3) : QStringLiteral("—"),
                        QString::fromUtf8(spec.unidade));
  }
  cursor_->setText(QStringLiteral("t = %1 s: %2").arg(Decimal(s.t, 2), valores.join(QStringLiteral("; "))));
}

bool TPlotsDock::FitSpan(TPlot grafico, double t0, double t1) {
  ClearFit();
  const TPlotSpec& spec = Specs()[grafico];
  TLineFit reta;
  if (!history_.FitLine(t0, t1, spec.ajustada, reta)) {
    fitText_->setText(QStringLiteral("Trecho curto demais para ajustar uma reta: arraste sobre mais pontos"));
    return false;
  }
  fit_ = reta;
  const double a = std::min(t0, t1), b = std::max(t0, t1);
  QLineSeries* s = charts_[grafico].fitted;
  s->replace({QPointF(a, reta.Slope * a + reta.Intercept), QPointF(b, reta.Slope * b + reta.Intercept)});
  s->setVisible(true);
  fitText_->setText(
      QStringLiteral("Inclinação: %1 %2 (reta de %3 s a %4 s, %5 pontos)")
          .arg(Decimal(reta.Slope, 3), QString::fromUtf8(spec.porSegundo), Decimal(a, 2), Decimal(b, 2))
          .arg(reta.Points));
  return true;
}

void TPlotsDock::NewRun() {
  // What was read and fitted belongs to the run it was made on.
  cursor_->setText(ReadingHint);
  ClearFit();
}

void TPlotsDock::ClearFit() {
  fit_ = {};
  for (TChart& c : charts_) c.fitted->setVisible(false);
  fitText_->setText(QStringLiteral("Arraste sobre um trecho para ajustar uma reta"));
}

void TPlotsDock::Refresh() {
  shownVersion_ = history_.Version();
  const double fim = history_.LastTime();
  const double inicio = WholeRun() ? 0 : std::max(0.0, fim - WindowSeconds);
  const std::vector<TPlotSample> amostras = history_.Since(inicio, MaxPoints);
  const double xfim = WholeRun() ? std::max(fim, 1.0) : std::max(fim, WindowSeconds);
  for (int g = 0; g < PlotCount; ++g) {
    TChart& c = charts_[static_cast<std::size_t>(g)];
    const TPlotSpec& spec = Specs()[static_cast<std::size_t>(g)];
    double menor = std::numeric_limits<double>::max(), maior = std::numeric_limits<double>::lowest();
    for (std::size_t k = 0; k < spec.linhas.size(); ++k) {
      QList<QPointF> pontos;
      pontos.reserve(static_cast<qsizetype>(amostras.size()));
      for (const TPlotSample& s : amostras) {
        const double v = s.*spec.linhas[k].grandeza;
        // A value not known yet (the first acceleration) is not drawn.
        if (!std::isfinite(v)) continue;
        pontos.append(QPointF(s.t, v));
        menor = std::min(menor, v);
        maior = std::max(maior, v);
      }
      c.lines[k]->replace(pontos);
    }
    c.x->setRange(WholeRun() ? 0 : xfim - WindowSeconds, xfim);
    if (menor <= maior) Range(c.y, menor, maior);
  }
}
