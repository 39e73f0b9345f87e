#include "views/graphspage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLegendMarker>
#include <QPen>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>

#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/session.h"
#include "util/inifile.h"

namespace quintar::gui {

TGraphsPage::TGraphsPage(Session& session, QWidget* parent)
    : TMainPage("tsGraphs", "Графики", parent), session_(session) {
  cbDrawsGraphType = new QComboBox(this);
  cbDrawsGraphType->setObjectName("cbDrawsGraphType");
  cbDrawsGraphType->setToolTip(Tr(kGraphTypeHint));
  cbDrawsGraphType->setStatusTip(Tr(kGraphTypeHint));
  cbDrawsGraphType->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbDrawsGraphType->setMinimumContentsLength(8);
  cbDrawsGraphType->setMinimumWidth(60);
  connect(cbDrawsGraphType, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!syncing_ && session_.IsIdle()) session_.Views.DrawsGraphTypeChange(i);
  });

  edDrawsGraphLen = new QSpinBox(this);
  edDrawsGraphLen->setObjectName("edDrawsGraphLen");
  edDrawsGraphLen->setRange(kViewLenMin, kViewLenMax);
  edDrawsGraphLen->setValue(session_.Views.DrawsGraphLen);
  edDrawsGraphLen->setMinimumWidth(50);
  edDrawsGraphLen->setToolTip(Tr(kDrawsGraphLenHint));
  edDrawsGraphLen->setStatusTip(Tr(kDrawsGraphLenHint));
  edDrawsGraphLen->installEventFilter(this);
  // The refresh reads the field as it stands (a view refresh after an offset change too).
  connect(edDrawsGraphLen, &QSpinBox::valueChanged, this, [this](int v) {
    if (!syncing_) session_.Views.DrawsGraphLen = v;
  });

  cbDrawsGraphShowMarks = new QCheckBox(Tr(kGraphShowMarksCaption), this);
  cbDrawsGraphShowMarks->setObjectName("cbDrawsGraphShowMarks");
  cbDrawsGraphShowMarks->setChecked(session_.Views.GraphShowMarks);
  connect(cbDrawsGraphShowMarks, &QCheckBox::toggled, this, [this](bool on) {
    session_.Views.GraphShowMarks = on;
    if (main_) main_->setPointLabelsVisible(on);
  });

  btnDrawsGraphDraw = new QToolButton(this);
  btnDrawsGraphDraw->setObjectName("btnDrawsGraphDraw");
  btnDrawsGraphDraw->setText(Tr("Обновить"));

  auto* chart = new QChart;
  chart->legend()->setAlignment(Qt::AlignBottom);
  axisX_ = new QValueAxis;
  axisX_->setLabelFormat("%d");
  axisY_ = new QValueAxis;
  axisY_->setLabelFormat("%g");
  chart->addAxis(axisX_, Qt::AlignBottom);
  chart->addAxis(axisY_, Qt::AlignLeft);
  axisX_->setVisible(false);
  axisY_->setVisible(false);
  crtDrawsGraph = new QChartView(chart, this);
  crtDrawsGraph->setObjectName("crtDrawsGraph");
  crtDrawsGraph->setRenderHint(QPainter::Antialiasing);
  crtDrawsGraph->setMinimumSize(60, 40);

  auto* top = new QHBoxLayout;
  top->addWidget(cbDrawsGraphType, 1);
  top->addWidget(edDrawsGraphLen);
  top->addWidget(cbDrawsGraphShowMarks);
  top->addWidget(btnDrawsGraphDraw);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(top);
  layout->addWidget(crtDrawsGraph, 1);
  // The row of controls does not set the main window's least width: a narrow window clips it.
  setMinimumSize(200, 150);
}

void TGraphsPage::ReadSettings(const IniFile&) {
  syncing_ = true;
  edDrawsGraphLen->setValue(session_.Views.DrawsGraphLen);
  syncing_ = false;
}

void TGraphsPage::WriteSettings(IniFile& ini) { ini.WriteInteger(kMainForm, "DrawsGraphLen", edDrawsGraphLen->value()); }

void TGraphsPage::BindCommands(ActionRegistry& actions) {
  if (!actions.Action("DrawsGraphDraw")) actions.Add("DrawsGraphDraw", Tr("Обновить"), Tr(kDrawsGraphDrawHint), false);
  actions.Bind(
      "DrawsGraphDraw", [this] { return session_.Views.CanDrawsGraphDraw(); },
      [this] {
        session_.Views.DrawsGraphDraw();
        RefreshPage(false);
      });
  btnDrawsGraphDraw->setDefaultAction(actions.Action("DrawsGraphDraw"));
}

bool TGraphsPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edDrawsGraphLen && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (session_.IsIdle() && session_.Views.DrawsGraphLenEnter(edDrawsGraphLen->cleanText().toStdString()))
        RefreshPage(false);
      return true;
    }
  }
  return TMainPage::eventFilter(watched, event);
}

void TGraphsPage::FillChooser() {
  const TStatChooser& c = session_.DrawsGraphChooser;
  bool same = cbDrawsGraphType->count() == c.Count();
  for (int i = 0; same && i < c.Count(); ++i)
    same = cbDrawsGraphType->itemText(i) == Q(c.Items[static_cast<size_t>(i)]);
  syncing_ = true;
  if (!same) {
    cbDrawsGraphType->clear();
    for (const auto& item : c.Items) cbDrawsGraphType->addItem(Q(item));
  }
  if (cbDrawsGraphType->currentIndex() != c.ItemIndex) cbDrawsGraphType->setCurrentIndex(c.ItemIndex);
  syncing_ = false;
}

void TGraphsPage::RefreshPage(bool force) {
  FillChooser();
  syncing_ = true;
  if (edDrawsGraphLen->value() != session_.Views.DrawsGraphLen) edDrawsGraphLen->setValue(session_.Views.DrawsGraphLen);
  syncing_ = false;
  if (force || shownGeneration_ != session_.Views.GraphsGeneration()) ShowChart();
}

void TGraphsPage::ShowChart() {
  shownGeneration_ = session_.Views.GraphsGeneration();
  QChart* chart = crtDrawsGraph->chart();
  chart->removeAllSeries();
  main_ = nullptr;
  const TGraphsData& data = session_.Views.Graphs();
  axisX_->setVisible(!data.Empty());
  axisY_->setVisible(!data.Empty());
  if (data.Empty()) return;
  QValueAxis* axisX = axisX_;
  QValueAxis* axisY = axisY_;

  auto line = [&](const QString& title, uint32_t color, int width) {
    auto* s = new QLineSeries;
    s->setName(title);
    QPen pen(RgbColor(color));
    pen.setWidth(width);
    s->setPen(pen);
    chart->addSeries(s);
    s->attachAxis(axisX);
    s->attachAxis(axisY);
    return s;
  };
  main_ = line(Q(data.Title), kGraphsMainColor, kGraphsMainLineWidth);
  QList<QPointF> points, mean, mode;
  double lo = data.Mean, hi = data.Mean;
  for (const TGraphsPoint& p : data.Points) {
    points.append(QPointF(p.Draw, p.Value));
    mean.append(QPointF(p.Draw, data.Mean));
    mode.append(QPointF(p.Draw, data.Mode));
    lo = std::min<double>(lo, p.Value);
    hi = std::max<double>(hi, p.Value);
  }
  main_->append(points);
  main_->setPointLabelsFormat("@yPoint");
  main_->setPointLabelsColor(RgbColor(kGraphsMainColor));
  main_->setPointLabelsClipping(false);
  main_->setPointLabelsVisible(cbDrawsGraphShowMarks->isChecked());
  line(Tr(kGraphsMeanTitle), kGraphsMeanColor, 1)->append(mean);
  line(Tr(kGraphsModeTitle), kGraphsModeColor, 1)->append(mode);

  // The main series' points: small, outlined in magenta.
  auto* marks = new QScatterSeries;
  marks->setMarkerSize(kGraphsMainPointSize * 2 + 2);
  marks->setColor(RgbColor(kGraphsMainColor));
  marks->setBorderColor(RgbColor(kGraphsMainPointColor));
  marks->append(points);
  chart->addSeries(marks);
  marks->attachAxis(axisX);
  marks->attachAxis(axisY);
  for (QLegendMarker* m : chart->legend()->markers(marks)) m->setVisible(false);

  const double first = data.Points.front().Draw, last = data.Points.back().Draw;
  axisX->setRange(first, std::max(last, first + 1));
  axisX->setTickType(QValueAxis::TicksDynamic);
  axisX->setTickAnchor(first);
  axisX->setTickInterval(std::max(1.0, std::ceil((last - first) / 10.0)));
  const double pad = hi > lo ? (hi - lo) * 0.08 : std::max(1.0, std::fabs(hi) * 0.1);
  axisY->setRange(lo - pad, hi + pad);
  axisY->applyNiceNumbers();
}

}  // namespace quintar::gui
