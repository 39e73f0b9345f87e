#include "views/formrepeats.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
#include <QLegendMarker>
#include <algorithm>
#include <cmath>

#include "app/guiutil.h"
#include "app/session.h"
#include "app/windowlayout.h"

namespace quintar::gui {

namespace {

// Distinct, well visible line colours for the overlap sizes 1..7, and their point outlines.
const uint32_t kLineColors[] = {0x1F77B4, 0xFF7F0E, 0x2CA02C, 0xD62728, 0x9467BD, 0x8C564B, 0xE377C2, 0x17BECF};
const uint32_t kPointColors[] = {0x0B3C5D, 0x8C4500, 0x145214, 0x6E1414, 0x4B2D6B, 0x4A2C25, 0x7A3C68, 0x0B6470};

QSpinBox* LenField(QWidget* parent, const char* name, const char* hint) {
  auto* ed = new QSpinBox(parent);
  ed->setObjectName(name);
  ed->setRange(kViewLenMin, kViewLenMax);
  ed->setToolTip(Tr(hint));
  ed->setStatusTip(Tr(hint));
  ed->setMinimumWidth(70);
  return ed;
}

}  // namespace

TFormRepeats::TFormRepeats(QWidget* parent, Session& s) : QDialog(parent), s_(s) {
  setObjectName(kRepeatsSection);
  setWindowTitle(Tr(kRepeatsCaption));
  setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
  resize(820, 600);

  edDrawsLen = LenField(this, "edDrawsLen", kRepeatsLenHint);
  edDeep = LenField(this, "edDeep", kRepeatsDeepHint);
  edDrawsLen->installEventFilter(this);
  edDeep->installEventFilter(this);
  btnDrawsStatCalc = new QPushButton(Tr("Рассчитать"), this);
  btnDrawsStatCalc->setObjectName("btnDrawsStatCalc");
  btnDrawsStatCalc->setAutoDefault(false);
  connect(btnDrawsStatCalc, &QPushButton::clicked, this, [this] { Calc(); });

  lvList = new QTableWidget(0, 4, this);
  lvList->setObjectName("lvList");
  lvList->setHorizontalHeaderLabels({Tr("Тираж"), Tr("Совпадений"), Tr("Кол-во повторов"), Tr("Список тиражей")});
  lvList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvList->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvList->setWordWrap(false);
  lvList->verticalHeader()->hide();
  lvList->verticalHeader()->setDefaultSectionSize(lvList->fontMetrics().height() + 4);
  const int widths[4] = {70, 90, 110, 400};
  for (int i = 0; i < 4; ++i) lvList->horizontalHeader()->resizeSection(i, widths[i]);

  auto* chart = new QChart;
  chart->legend()->setAlignment(Qt::AlignBottom);
  crtGraph = new QChartView(chart, this);
  crtGraph->setObjectName("crtGraph");
  crtGraph->setRenderHint(QPainter::Antialiasing);
  crtGraph->setMinimumHeight(60);

  splitter_ = new QSplitter(Qt::Vertical, this);
  splitter_->addWidget(lvList);
  splitter_->addWidget(crtGraph);
  splitter_->setChildrenCollapsible(false);
  splitter_->setStretchFactor(0, 1);

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(Tr("Тиражей:"), this));
  top->addWidget(edDrawsLen);
  top->addWidget(new QLabel(Tr("Глубина:"), this));
  top->addWidget(edDeep);
  top->addWidget(btnDrawsStatCalc);
  top->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(splitter_, 1);

  const TRepeatsSettings settings = s_.Views.ReadRepeatsSettings();
  edDrawsLen->setValue(settings.DrawsLength);
  edDeep->setValue(settings.DrawsDeep);
  const int chartHeight = settings.GraphHeight > 40 ? settings.GraphHeight : 260;
  splitter_->setSizes({std::max(1, height() - chartHeight), chartHeight});
  try {
    const IniFile ini = s_.Frm.Open();
    if (RestoreWindowPlacement(ini, kRepeatsSection, this) == TShowState::Maximized)
      setWindowState(windowState() | Qt::WindowMaximized);
    RestoreListLayout(ini, kRepeatsSection, lvList);
  } catch (const std::exception&) {
    // An unreadable window-settings file leaves the designed placement.
  }
}

bool TFormRepeats::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == edDrawsLen || watched == edDeep) && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      Calc();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TFormRepeats::Calc() {
  if (!s_.IsIdle()) return;
  const auto result = s_.Views.AnalyzeRepeats(edDrawsLen->value(), edDeep->value());
  lvList->setRowCount(0);
  crtGraph->chart()->removeAllSeries();
  if (!result) return;
  lvList->setRowCount(static_cast<int>(result->Rows.size()));
  for (int r = 0; r < static_cast<int>(result->Rows.size()); ++r) {
    const TRepeatsRow& row = result->Rows[static_cast<size_t>(r)];
    const QString cells[4] = {QString::number(row.Draw), QString::number(row.Matches), QString::number(row.Count),
                              Q(row.Draws)};
    for (int c = 0; c < 4; ++c) lvList->setItem(r, c, new QTableWidgetItem(cells[c]));
  }
  ShowChart(*result);
}

void TFormRepeats::ShowChart(const TRepeatsResult& r) {
  BusyScope busy(s_);
  StatusScope status(s_, kRepeatsCharting);
  IHost& host = s_.Host();
  host.ProgressBegin(static_cast<int>(r.Rows.size()));
  QChart* chart = crtGraph->chart();
  for (QAbstractAxis* a : chart->axes()) {
    chart->removeAxis(a);
    delete a;
  }
  auto* axisX = new QValueAxis;
  auto* axisY = new QValueAxis;
  axisX->setLabelFormat("%d");
  axisY->setLabelFormat("%d");
  chart->addAxis(axisX, Qt::AlignBottom);
  chart->addAxis(axisY, Qt::AlignLeft);
  double xMin = 1e18, xMax = -1e18, yMax = 1;
  int step = 0;
  const std::vector<TRepeatsSeries> series = RepeatsChart(r);
  for (size_t k = 0; k < series.size(); ++k) {
    const uint32_t color = kLineColors[k % std::size(kLineColors)];
    auto* line = new QLineSeries;
    line->setName(Q(series[k].Title));
    QPen pen(RgbColor(color));
    pen.setWidth(1);
    line->setPen(pen);
    auto* points = new QScatterSeries;
    points->setMarkerSize(5);
    points->setColor(RgbColor(color));
    points->setBorderColor(RgbColor(kPointColors[k % std::size(kPointColors)]));
    QList<QPointF> pts;
    for (const TGraphPoint& p : series[k].Points) {
      pts.append(QPointF(p.X, p.Y));
      xMin = std::min<double>(xMin, p.X);
      xMax = std::max<double>(xMax, p.X);
      yMax = std::max(yMax, p.Y);
      host.ProgressStep(++step);
    }
    line->append(pts);
    points->append(pts);
    for (QXYSeries* sr : {static_cast<QXYSeries*>(line), static_cast<QXYSeries*>(points)}) {
      chart->addSeries(sr);
      sr->attachAxis(axisX);
      sr->attachAxis(axisY);
    }
    for (QLegendMarker* m : chart->legend()->markers(points)) m->setVisible(false);
  }
  host.ProgressEnd();
  if (xMin > xMax) {
    xMin = 0;
    xMax = 1;
  }
  axisX->setRange(xMin, std::max(xMax, xMin + 1));
  axisX->setTickType(QValueAxis::TicksDynamic);
  axisX->setTickAnchor(xMin);
  axisX->setTickInterval(std::max(1.0, std::ceil((xMax - xMin) / 10.0)));
  axisY->setRange(0, yMax + 1);
}

void TFormRepeats::done(int result) {
  TRepeatsSettings settings;
  settings.DrawsLength = edDrawsLen->value();
  settings.DrawsDeep = edDeep->value();
  settings.GraphHeight = crtGraph->height();
  s_.Views.WriteRepeatsSettings(settings);
  try {
    IniFile ini = s_.Frm.Open();
    SaveWindowPlacement(ini, kRepeatsSection, this);
    SaveListLayout(ini, kRepeatsSection, lvList);
    s_.Frm.Store(ini);
  } catch (const std::exception&) {
    // The placement is a convenience; failing to store it loses nothing else.
  }
  QDialog::done(result);
}

void ShowRepeatsWindow(QWidget* parent, Session& s) {
  TFormRepeats dlg(parent, s);
  dlg.Calc();
  dlg.exec();
}

}  // namespace quintar::gui
