#include "stats/drawsstatpage.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QToolButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>

#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/session.h"
#include "util/inifile.h"

namespace quintar::gui {

namespace {

QColor Rgb(uint32_t rgb) { return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>(rgb & 0xFF)); }

}  // namespace

// TDrawsStatModel --------------------------------------------------------------------------------------

TDrawsStatModel::TDrawsStatModel(Session& session, QObject* parent) : QAbstractTableModel(parent), session_(session) {}

int TDrawsStatModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : session_.DrawsStat.RowCount();
}

int TDrawsStatModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kDrawsStatColumns; }

QVariant TDrawsStatModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= session_.DrawsStat.RowCount()) return {};
  if (role == Qt::DisplayRole) return Q(session_.DrawsStat.Cell(index.row(), index.column()));
  if (role == Qt::TextAlignmentRole && index.column() > 0) return int(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant TDrawsStatModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kDrawsStatColumns) return {};
  if (role == Qt::DisplayRole) return Tr(DrawsStatCaptions()[static_cast<size_t>(section)]);
  return {};
}

void TDrawsStatModel::Reset() {
  beginResetModel();
  endResetModel();
}

// TDrawsStatPage ---------------------------------------------------------------------------------------

TDrawsStatPage::TDrawsStatPage(Session& session, QWidget* parent)
    : TMainPage("tsDrawsStat", "Статистика", parent), session_(session) {
  cbDrawsStatType = new QComboBox(this);
  cbDrawsStatType->setObjectName("cbDrawsStatType");
  cbDrawsStatType->setToolTip(Tr(kDrawsStatTypeHint));
  cbDrawsStatType->setStatusTip(Tr(kDrawsStatTypeHint));
  cbDrawsStatType->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbDrawsStatType->setMinimumContentsLength(8);
  cbDrawsStatType->setMinimumWidth(60);
  connect(cbDrawsStatType, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!syncing_) session_.DrawsStatTypeChange(i);
  });

  edDrawsStatLen = new QSpinBox(this);
  edDrawsStatLen->setObjectName("edDrawsStatLen");
  edDrawsStatLen->setRange(kDrawsStatLenMin, kDrawsStatLenMax);
  edDrawsStatLen->setValue(session_.DrawsStat.DrawsStatLen);
  edDrawsStatLen->setMinimumWidth(50);
  edDrawsStatLen->setToolTip(Tr(kDrawsStatLenHint));
  edDrawsStatLen->setStatusTip(Tr(kDrawsStatLenHint));
  edDrawsStatLen->installEventFilter(this);

  btnDrawsStatCalc = new QToolButton(this);
  btnDrawsStatCalc->setObjectName("btnDrawsStatCalc");
  btnDrawsStatCalc->setText(Tr("Обновить"));

  model_ = new TDrawsStatModel(session_, this);
  lvDrawsStat = new QTableView(this);
  lvDrawsStat->setObjectName("lvDrawsStat");
  lvDrawsStat->setModel(model_);
  lvDrawsStat->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvDrawsStat->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lvDrawsStat->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvDrawsStat->setWordWrap(false);
  lvDrawsStat->setCornerButtonEnabled(false);
  lvDrawsStat->setMinimumWidth(60);
  lvDrawsStat->verticalHeader()->hide();
  lvDrawsStat->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  lvDrawsStat->verticalHeader()->setDefaultSectionSize(lvDrawsStat->fontMetrics().height() + 4);
  QHeaderView* h = lvDrawsStat->horizontalHeader();
  h->setSectionsMovable(false);
  h->setHighlightSections(false);
  h->setStretchLastSection(false);
  h->setSectionsClickable(true);
  h->setSortIndicatorShown(true);
  h->setSortIndicator(session_.DrawsStat.SortColumn(), Qt::AscendingOrder);
  connect(h, &QHeaderView::sectionClicked, this, [this](int column) {
    if (!session_.IsIdle()) return;
    PushSelection();
    session_.DrawsStat.SortBy(column);
    ShowTable();
  });
  connect(lvDrawsStat->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!syncing_) PushSelection();
  });

  auto* chart = new QChart;
  chart->legend()->setAlignment(Qt::AlignBottom);
  crtDrawsStat = new QChartView(chart, this);
  crtDrawsStat->setObjectName("crtDrawsStat");
  crtDrawsStat->setRenderHint(QPainter::Antialiasing);
  crtDrawsStat->setMinimumSize(60, 40);

  splitter_ = new QSplitter(Qt::Vertical, this);
  splitter_->addWidget(lvDrawsStat);
  splitter_->addWidget(crtDrawsStat);
  splitter_->setStretchFactor(0, 1);
  splitter_->setStretchFactor(1, 0);
  splitter_->setChildrenCollapsible(false);

  auto* top = new QHBoxLayout;
  top->addWidget(cbDrawsStatType, 1);
  top->addWidget(edDrawsStatLen);
  top->addWidget(btnDrawsStatCalc);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(top);
  layout->addWidget(splitter_, 1);
}

void TDrawsStatPage::ReadSettings(const IniFile& ini) {
  chartHeight_ = std::max(40, ini.ReadInteger(kMainForm, "DrawsStatHeight", chartHeight_));
  splitter_->setSizes({std::max(1, splitter_->height() - chartHeight_), chartHeight_});
  syncing_ = true;
  edDrawsStatLen->setValue(session_.DrawsStat.DrawsStatLen);
  syncing_ = false;
}

void TDrawsStatPage::WriteSettings(IniFile& ini) {
  ini.WriteInteger(kMainForm, "DrawsStatLen", edDrawsStatLen->value());
  ini.WriteInteger(kMainForm, "DrawsStatHeight", crtDrawsStat->height());
}

void TDrawsStatPage::BindCommands(ActionRegistry& actions) {
  auto ensure = [&](const char* name, const char* caption, const char* hint, bool checkable) {
    if (!actions.Action(name)) actions.Add(name, Tr(caption), Tr(hint), checkable);
  };
  ensure("DrawsStatCalc", "Обновить", "Обновить статистику", false);
  ensure("DrawsStatePrefetchsEnabled", "Использовать сравнение с полным набором комбинаций", "", true);
  ensure("DrawsStatShowTotalLine", "График идеального распределения", "", true);
  actions.Bind("DrawsStatCalc", [this] { return session_.CanDrawsStatCalc(); }, [this] { session_.DrawsStatCalc(); });
  actions.Bind(
      "DrawsStatePrefetchsEnabled", [this] { return session_.CanDrawsStatePrefetchsEnabled(); },
      [this] { session_.DrawsStatePrefetchsEnabled(); });
  actions.BindChecked("DrawsStatePrefetchsEnabled", [this] { return session_.DrawsStatePrefetchsEnabledChecked(); });
  actions.Bind(
      "DrawsStatShowTotalLine", [this] { return session_.CanDrawsStatShowTotalLine(); },
      [this] { session_.DrawsStatShowTotalLine(); });
  actions.BindChecked("DrawsStatShowTotalLine", [this] { return session_.DrawsStatShowTotalLineChecked(); });
  btnDrawsStatCalc->setDefaultAction(actions.Action("DrawsStatCalc"));

  lvDrawsStat->setContextMenuPolicy(Qt::ActionsContextMenu);
  for (const char* name : {"StatFilter_Include", "StatFilter_Exclude", "-", "DrawsStatCalc", "DrawsStatePrefetchsEnabled",
                           "DrawsStatShowTotalLine", "-", "DrawsStatExportToExcel"}) {
    if (std::string(name) == "-") {
      auto* sep = new QAction(lvDrawsStat);
      sep->setSeparator(true);
      lvDrawsStat->addAction(sep);
    } else if (QAction* a = actions.Action(name)) {
      lvDrawsStat->addAction(a);
    }
  }
}

bool TDrawsStatPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edDrawsStatLen && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (session_.IsIdle()) session_.DrawsStatLenEnter(edDrawsStatLen->cleanText().toStdString());
      return true;
    }
  }
  return TMainPage::eventFilter(watched, event);
}

void TDrawsStatPage::FillChooser() {
  const TStatChooser& c = session_.DrawsStatChooser;
  bool same = cbDrawsStatType->count() == c.Count();
  for (int i = 0; same && i < c.Count(); ++i)
    same = cbDrawsStatType->itemText(i) == Q(c.Items[static_cast<size_t>(i)]);
  syncing_ = true;
  if (!same) {
    cbDrawsStatType->clear();
    for (const auto& item : c.Items) cbDrawsStatType->addItem(Q(item));
  }
  if (cbDrawsStatType->currentIndex() != c.ItemIndex) cbDrawsStatType->setCurrentIndex(c.ItemIndex);
  syncing_ = false;
}

void TDrawsStatPage::RefreshPage(bool /*force*/) {
  FillChooser();
  syncing_ = true;
  if (edDrawsStatLen->value() != session_.DrawsStat.DrawsStatLen) edDrawsStatLen->setValue(session_.DrawsStat.DrawsStatLen);
  syncing_ = false;
  ShowNormColumns();
  ShowTable();
  ShowChart();
}

void TDrawsStatPage::ShowNormColumns() {
  const int shown = session_.NormColumnsShown() ? 1 : 0;
  if (shown == normShown_) return;
  normShown_ = shown;
  for (int c = kNormColumnFirst; c <= kNormColumnLast; ++c) {
    lvDrawsStat->setColumnHidden(c, !shown);
    if (shown) lvDrawsStat->setColumnWidth(c, kNormColumnWidth);
  }
}

void TDrawsStatPage::ShowTable() {
  model_->Reset();
  lvDrawsStat->horizontalHeader()->setSortIndicator(
      session_.DrawsStat.SortColumn(), session_.DrawsStat.SortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
  PullSelection();
}

void TDrawsStatPage::PushSelection() {
  TDrawsStat& t = session_.DrawsStat;
  t.ClearSelection();
  for (const QModelIndex& i : lvDrawsStat->selectionModel()->selectedRows()) t.SetSelected(i.row(), true);
}

void TDrawsStatPage::PullSelection() {
  syncing_ = true;
  QItemSelection sel;
  for (int r : session_.DrawsStat.SelectedRows())
    sel.select(model_->index(r, 0), model_->index(r, kDrawsStatColumns - 1));
  lvDrawsStat->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
  syncing_ = false;
}

void TDrawsStatPage::ShowChart() {
  QChart* chart = crtDrawsStat->chart();
  chart->removeAllSeries();
  for (QAbstractAxis* a : chart->axes()) {
    chart->removeAxis(a);
    delete a;
  }
  const TDrawsStatChart& data = session_.DrawsStat.Chart();
  if (!data.Shown) return;
  auto* axisX = new QValueAxis;
  auto* axisY = new QValueAxis;
  axisX->setLabelFormat("%d");
  axisY->setLabelFormat("%d");
  chart->addAxis(axisX, Qt::AlignBottom);
  chart->addAxis(axisY, Qt::AlignLeft);
  double maxX = 1, maxY = 1;
  auto addLine = [&](const std::vector<TDrawsStatPoint>& pts, const char* title, uint32_t color, int width) {
    auto* s = new QLineSeries;
    s->setName(Tr(title));
    QPen pen(Rgb(color));
    pen.setWidth(width);
    s->setPen(pen);
    s->setPointLabelsVisible(false);
    for (const auto& p : pts) {
      s->append(p.X, p.Y);
      maxX = std::max(maxX, p.X);
      maxY = std::max(maxY, p.Y);
    }
    chart->addSeries(s);
    s->attachAxis(axisX);
    s->attachAxis(axisY);
    return s;
  };
  if (data.HasIdeal) addLine(data.Ideal, TDrawsStatChart::kIdealTitle, TDrawsStatChart::kIdealColor, 1);
  addLine(data.Actual, TDrawsStatChart::kActualTitle, TDrawsStatChart::kActualColor, TDrawsStatChart::kActualLineWidth);
  // The actual series' point markers.
  auto* marks = new QScatterSeries;
  marks->setMarkerSize(TDrawsStatChart::kActualMarkerSize * 2);
  marks->setColor(Rgb(TDrawsStatChart::kActualMarkerColor));
  marks->setBorderColor(Rgb(TDrawsStatChart::kActualMarkerColor));
  for (const auto& p : data.Actual) marks->append(p.X, p.Y);
  chart->addSeries(marks);
  marks->attachAxis(axisX);
  marks->attachAxis(axisY);
  for (QLegendMarker* m : chart->legend()->markers(marks)) m->setVisible(false);
  axisX->setRange(0, maxX + 1);
  axisY->setRange(0, maxY * 1.1);
}

}  // namespace quintar::gui
