#include "analysis/formreport.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>

#include "app/guiutil.h"
#include "app/host.h"
#include "util/safefile.h"

namespace quintar::gui {

TFormReport::TFormReport(QWidget* parent, IHost& host, const QString& caption, const std::string& text,
                         std::string page, std::vector<TReportChart> charts)
    : QDialog(parent), host_(host), page_(std::move(page)), charts_(std::move(charts)) {
  setObjectName("TFormReport");
  setWindowTitle(caption);
  setAttribute(Qt::WA_DeleteOnClose);
  resize(820, 760);

  txtReport = new QTextBrowser(this);
  txtReport->setObjectName("txtReport");
  txtReport->setHtml(Q(text));
  cbChart = new QComboBox(this);
  cbChart->setObjectName("cbChart");
  for (const TReportChart& c : charts_) cbChart->addItem(Q(c.Caption));
  chart_ = new QChart;
  chart_->legend()->setAlignment(Qt::AlignBottom);
  crtReport = new QChartView(chart_, this);
  crtReport->setObjectName("crtReport");
  crtReport->setRenderHint(QPainter::Antialiasing);
  crtReport->setMinimumHeight(300);

  btnSave = new QPushButton(Tr("Сохранить..."), this);
  btnSave->setObjectName("btnSave");
  btnClose = new QPushButton(Tr("Закрыть"), this);
  btnClose->setObjectName("btnClose");
  connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
  connect(btnSave, &QPushButton::clicked, this, [this] {
    const QString file = ChooseSaveFile(this, "HTML-файлы (*.html)|*.html", "html");
    if (!file.isEmpty()) SaveTo(S(file));
  });
  connect(cbChart, qOverload<int>(&QComboBox::currentIndexChanged), this, &TFormReport::ShowChart);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cbChart, 1);
  buttons->addStretch();
  buttons->addWidget(btnSave);
  buttons->addWidget(btnClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(txtReport, 3);
  layout->addWidget(crtReport, 2);
  layout->addLayout(buttons);
  cbChart->setVisible(charts_.size() > 1);
  ShowChart(0);
}

void TFormReport::ShowChart(int index) {
  // A chart of its own for each part: the view drops the previous one with its axes.
  QChart* old = chart_;
  chart_ = new QChart;
  chart_->legend()->setAlignment(Qt::AlignBottom);
  crtReport->setChart(chart_);
  delete old;
  if (index < 0 || index >= static_cast<int>(charts_.size())) return;
  const TReportChart& c = charts_[static_cast<size_t>(index)];
  auto* observed = new QBarSet(Tr("Наблюдается"));
  auto* expected = new QBarSet(Tr("Ожидается при случайности"));
  observed->setColor(QColor(0x33, 0x66, 0xcc));
  expected->setColor(QColor(0xaa, 0xaa, 0xaa));
  QStringList categories;
  double top = 1;
  for (size_t i = 0; i < c.Categories.size(); ++i) {
    categories << Q(c.Categories[i]);
    *observed << c.Observed[i];
    *expected << c.Expected[i];
    top = std::max({top, c.Observed[i], c.Expected[i]});
  }
  auto* series = new QBarSeries;
  series->append(observed);
  series->append(expected);
  chart_->addSeries(series);
  chart_->setTitle(Q(c.Caption));
  auto* x = new QBarCategoryAxis;
  x->append(categories);
  if (categories.size() > 16) x->setLabelsAngle(-90);
  auto* y = new QValueAxis;
  y->setRange(0, top * 1.1);
  chart_->addAxis(x, Qt::AlignBottom);
  chart_->addAxis(y, Qt::AlignLeft);
  series->attachAxis(x);
  series->attachAxis(y);
}

bool TFormReport::SaveTo(const std::string& path) {
  try {
    WriteFileAtomic(path, page_);
  } catch (const std::exception& e) {
    host_.ShowMessage(MsgKind::Error, std::string("Ошибка записи в файл \"") + path + "\"!\r\r" + e.what());
    return false;
  }
  return true;
}

TFormReport* ShowSignificance(QWidget* parent, IHost& host, const std::vector<TRowSignificance>& rows) {
  auto* w = new TFormReport(parent, host, Tr("Результаты против случайного угадывания"), SignificanceHtml(rows, false),
                            SignificanceHtml(rows, true), SignificanceCharts(rows));
  w->show();
  return w;
}

TFormReport* ShowRandomness(QWidget* parent, IHost& host, const TRandomnessReport& report) {
  auto* w = new TFormReport(parent, host, Tr("Случайность архива тиражей"), RandomnessHtml(report, false),
                            RandomnessHtml(report, true), RandomnessCharts(report));
  w->show();
  return w;
}

}  // namespace quintar::gui
