#include "combs/formgraph.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QList>
#include <QPainter>
#include <QPointF>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/formsettings.h"
#include "app/guiutil.h"
#include "app/windowlayout.h"
#include "combs/graphdata.h"

namespace quintar::gui {

namespace {

constexpr int kLineWidth = 2;
// A point of size 3 reaches 3 pixels out from its centre.
constexpr qreal kMarkerSize = 5.0;

struct TRange {
  double XMin = std::numeric_limits<double>::max();
  double XMax = std::numeric_limits<double>::lowest();
  double YMin = std::numeric_limits<double>::max();
  double YMax = std::numeric_limits<double>::lowest();
  bool Empty() const { return XMin > XMax; }
  void Add(double x, double y) {
    XMin = std::min(XMin, x);
    XMax = std::max(XMax, x);
    YMin = std::min(YMin, y);
    YMax = std::max(YMax, y);
  }
};

}  // namespace

TFormGraph::TFormGraph(QWidget* parent, FormSettings* settings) : QDialog(parent), settings_(settings) {
  setObjectName(kFormGraphSection);
  setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
  resize(800, 520);

  chart_ = new QChart;
  chart_->legend()->setVisible(true);
  chart_->legend()->setAlignment(Qt::AlignBottom);
  axisX_ = new QValueAxis;
  axisX_->setLabelFormat("%d");
  axisY_ = new QValueAxis;
  chart_->addAxis(axisX_, Qt::AlignBottom);
  chart_->addAxis(axisY_, Qt::AlignLeft);

  crtGraph = new QChartView(chart_, this);
  crtGraph->setObjectName("crtGraph");
  crtGraph->setRenderHint(QPainter::Antialiasing);

  cbShowMarks = new QCheckBox(Tr(kShowMarksCaption), this);
  cbShowMarks->setObjectName("cbShowMarks");
  cbShowMarks->setChecked(true);
  connect(cbShowMarks, &QCheckBox::toggled, this, [this] { ApplyMarks(); });

  auto* btnClose = new QPushButton(Tr("Закрыть"), this);
  btnClose->setObjectName("btnClose");
  connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(cbShowMarks);
  bottom->addStretch(1);
  bottom->addWidget(btnClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(crtGraph, 1);
  layout->addLayout(bottom);

  if (settings_) {
    try {
      const IniFile ini = settings_->Open();
      const TShowState state = RestoreWindowPlacement(ini, kFormGraphSection, this);
      if (state == TShowState::Maximized) setWindowState(windowState() | Qt::WindowMaximized);
    } catch (const std::exception&) {
      // An unreadable window-settings file leaves the designed placement.
    }
  }
}

QLineSeries* TFormGraph::Series(const QString& name) const {
  for (const auto& e : series_)
    if (e.Line->name().compare(name, Qt::CaseInsensitive) == 0) return e.Line;
  return nullptr;
}

TFormGraph::TSeriesEntry& TFormGraph::FindOrAdd(const QString& name, bool showPoints, bool showMarks,
                                                uint32_t color) {
  for (auto& e : series_)
    if (e.Line->name().compare(name, Qt::CaseInsensitive) == 0) return e;
  auto* s = new QLineSeries;
  s->setName(name);
  if (color != 0) s->setColor(RgbColor(color));
  s->setPointsVisible(showPoints);
  s->setMarkerSize(kMarkerSize);
  s->setPointLabelsFormat("@xPoint");
  s->setPointLabelsClipping(false);
  chart_->addSeries(s);
  s->attachAxis(axisX_);
  s->attachAxis(axisY_);
  // The chart gives a series without a colour of its own the next colour of its theme when it is added.
  QPen pen = s->pen();
  pen.setWidth(kLineWidth);
  s->setPen(pen);
  s->setPointLabelsColor(pen.color());
  series_.push_back({s, showMarks});
  s->setPointLabelsVisible(showMarks && cbShowMarks->isChecked());
  return series_.back();
}

void TFormGraph::AddGraphPoint(int x, const QString& name, double y, bool showPoints, bool showMarks,
                               uint32_t color) {
  FindOrAdd(name, showPoints, showMarks, color).Line->append(x, y);
  if (!batch_) Rescale();
}

void TFormGraph::ShowGraph(const TGraphData& data) {
  setWindowTitle(Tr(data.Caption));
  cbShowMarks->setChecked(data.ShowMarks);
  batch_ = true;
  for (const TGraphSeries& gs : data.Series) {
    TSeriesEntry& e = FindOrAdd(Q(gs.Name), gs.ShowPoints, gs.ShowMarks, gs.Color);
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(gs.Points.size()));
    for (const TGraphPoint& p : gs.Points) points.append(QPointF(p.X, p.Y));
    e.Line->append(points);
  }
  batch_ = false;
  Rescale();
}

void TFormGraph::ApplyMarks() {
  for (auto& e : series_) e.Line->setPointLabelsVisible(e.Marks && cbShowMarks->isChecked());
}

void TFormGraph::Rescale() {
  TRange r;
  for (const auto& e : series_)
    for (const QPointF& p : e.Line->points()) r.Add(p.x(), p.y());
  if (r.Empty()) return;
  // Whole numbers along the x axis, about ten steps at most.
  double xMin = std::floor(r.XMin), xMax = std::ceil(r.XMax);
  if (xMax <= xMin) {
    xMin -= 1;
    xMax += 1;
  }
  const double step = std::max(1.0, std::ceil((xMax - xMin) / 10.0));
  axisX_->setRange(xMin, xMax);
  axisX_->setTickType(QValueAxis::TicksDynamic);
  axisX_->setTickAnchor(xMin);
  axisX_->setTickInterval(step);
  // Room above and below for the points and their marks.
  double yMin = r.YMin, yMax = r.YMax;
  const double span = yMax - yMin;
  const double pad = span > 0 ? span * 0.08 : std::max(1.0, std::fabs(yMax) * 0.1);
  yMin -= pad;
  yMax += pad;
  axisY_->setRange(yMin, yMax);
  axisY_->applyNiceNumbers();
}

void TFormGraph::done(int result) {
  if (settings_) {
    try {
      IniFile ini = settings_->Open();
      SaveWindowPlacement(ini, kFormGraphSection, this);
      settings_->Store(ini);
    } catch (const std::exception&) {
      // The placement is a convenience; failing to store it loses nothing else.
    }
  }
  QDialog::done(result);
}

void ShowGraphWindow(QWidget* parent, FormSettings* settings, const TGraphData& data) {
  TFormGraph dlg(parent, settings);
  dlg.ShowGraph(data);
  dlg.exec();
}

}  // namespace quintar::gui
