#include "combs/tablespage.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/guiutil.h"
#include "app/session.h"
#include "combs/tables.h"

namespace quintar::gui {

TTablesModel::TTablesModel(Session& session, QObject* parent) : QAbstractTableModel(parent), session_(session) {}

int TTablesModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TTablesModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kTableCols; }

QVariant TTablesModel::data(const QModelIndex& index, int role) const {
  const int row = index.row(), col = index.column();
  if (!index.isValid() || row >= session_.Tables.Count() || col < 0 || col >= kTableCols) return {};
  if (role == Qt::DisplayRole) return Q(session_.Tables.Cells(row)[static_cast<size_t>(col)]);
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(col == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
  return {};
}

QVariant TTablesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kTableCols) return {};
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(section == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
  if (role != Qt::DisplayRole) return {};
  static const std::vector<std::string> captions = TableCaptions();
  return Tr(captions[static_cast<size_t>(section)]);
}

void TTablesModel::Refresh() {
  const int count = session_.Tables.Count();
  if (count != rows_) {
    beginResetModel();
    rows_ = count;
    endResetModel();
  } else if (rows_ > 0) {
    emit dataChanged(index(0, 0), index(rows_ - 1, kTableCols - 1));
  }
}

TTablesPage::TTablesPage(Session& session, QWidget* parent)
    : TMainPage("tsTables", "Регуляры", parent), session_(session) {
  model_ = new TTablesModel(session_, this);
  lvTables = new QTableView(this);
  lvTables->setObjectName("lvTables");
  lvTables->setModel(model_);
  lvTables->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvTables->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lvTables->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvTables->setShowGrid(false);
  lvTables->setWordWrap(false);
  lvTables->setCornerButtonEnabled(false);
  lvTables->verticalHeader()->hide();
  lvTables->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  lvTables->verticalHeader()->setDefaultSectionSize(lvTables->fontMetrics().height() + 4);
  QHeaderView* h = lvTables->horizontalHeader();
  h->setHighlightSections(false);
  h->setStretchLastSection(false);
  const int widths[kTableCols] = {260, 170, 50, 170, 70};
  for (int c = 0; c < kTableCols; ++c) h->resizeSection(c, widths[c]);
  connect(lvTables->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { emit SelectionChanged(); });
  connect(lvTables->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { emit SelectionChanged(); });
  connect(model_, &QAbstractItemModel::modelReset, this, [this] { emit SelectionChanged(); });
  connect(lvTables, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
    if (i.isValid()) emit RowActivated(i.row());
  });
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(lvTables, 1);
}

void TTablesPage::RefreshPage(bool force) {
  (void)force;
  model_->Refresh();
}

int TTablesPage::CurrentRow() const {
  const QModelIndex i = lvTables->currentIndex();
  return i.isValid() && i.row() < session_.Tables.Count() ? i.row() : -1;
}

std::vector<int> TTablesPage::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& i : lvTables->selectionModel()->selectedRows())
    if (i.row() < session_.Tables.Count()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

int TTablesPage::SelectedCount() const { return static_cast<int>(SelectedRows().size()); }

void TTablesPage::ClearSelection() { lvTables->clearSelection(); }

}  // namespace quintar::gui
