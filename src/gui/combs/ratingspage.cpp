#include "combs/ratingspage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/guiutil.h"
#include "app/session.h"
#include "combs/ratingsmodel.h"
#include "util/format.h"

namespace quintar::gui {

TRatingsPage::TRatingsPage(Session& session, QWidget* parent)
    : TMainPage("tsRatings", kRatingsPageCaption, parent), session_(session) {
  btnRatingsRefresh = new QPushButton(Tr(kRatingsRefreshButton), this);
  btnRatingsRefresh->setObjectName("btnRatingsRefresh");

  model_ = new TRatingsModel(session_, this);
  lvRatings = new QTableView(this);
  lvRatings->setObjectName("lvRatings");
  lvRatings->setModel(model_);
  lvRatings->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvRatings->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lvRatings->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvRatings->setShowGrid(false);
  lvRatings->setWordWrap(false);
  lvRatings->setCornerButtonEnabled(false);
  lvRatings->verticalHeader()->hide();
  lvRatings->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  lvRatings->verticalHeader()->setDefaultSectionSize(lvRatings->fontMetrics().height() + 4);
  QHeaderView* h = lvRatings->horizontalHeader();
  h->setSectionsMovable(false);
  h->setHighlightSections(false);
  h->setStretchLastSection(false);
  h->setMinimumSectionSize(10);
  // The rating sorts itself (and saves its file in that order), so the header only shows the mark.
  h->setSectionsClickable(true);
  h->setSortIndicatorShown(true);
  for (int i = 0; i < kRatingCols; ++i) {
    int w = 72;
    if (i == 0) w = 240;
    else if (i >= kRatingFirstCountCol && i < kRatingFirstEffCol) w = 44;
    else if (i >= kRatingFirstEffCol) w = 70;
    h->resizeSection(i, w);
  }
  ShowSortMark();
  connect(h, &QHeaderView::sectionClicked, this, [this](int column) {
    emit SortRequested(column);
    ShowSortMark();
  });
  connect(lvRatings->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { emit SelectionChanged(); });
  connect(model_, &QAbstractItemModel::modelReset, this, [this] { emit SelectionChanged(); });
  connect(lvRatings, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
    if (i.isValid()) emit RowActivated(i.row());
  });

  auto* top = new QHBoxLayout;
  top->addWidget(btnRatingsRefresh);
  top->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(top);
  layout->addWidget(lvRatings, 1);
}

void TRatingsPage::ReadSettings(const IniFile& ini) {
  (void)ini;  // the session has read the sort settings with the other keys of the main window
  ShowSortMark();
}

void TRatingsPage::WriteSettings(IniFile& ini) {
  ini.WriteString(kMainForm, kRatingsSortTypeKey,
                  Format("%d,%d", {session_.RatingsSortColumn, session_.RatingsSortDescending ? 1 : 0}));
}

void TRatingsPage::RefreshPage(bool force) {
  (void)force;
  RefreshList();
}

void TRatingsPage::RefreshList() {
  model_->Refresh();
  ShowSortMark();
}

void TRatingsPage::ShowSortMark() {
  QHeaderView* h = lvRatings->horizontalHeader();
  const int col = session_.RatingsSortColumn;
  const Qt::SortOrder order = session_.RatingsSortDescending ? Qt::DescendingOrder : Qt::AscendingOrder;
  if (col >= 0 && col < kRatingCols) {
    if (h->sortIndicatorSection() != col || h->sortIndicatorOrder() != order) h->setSortIndicator(col, order);
  } else {
    h->setSortIndicator(-1, order);
  }
}

std::vector<int> TRatingsPage::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& i : lvRatings->selectionModel()->selectedRows()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

int TRatingsPage::SelectedCount() const {
  return static_cast<int>(lvRatings->selectionModel()->selectedRows().size());
}

void TRatingsPage::ClearSelection() { lvRatings->clearSelection(); }

}  // namespace quintar::gui
