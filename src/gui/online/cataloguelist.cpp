#include "online/cataloguelist.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QPixmap>
#include <QSortFilterProxyModel>
#include <set>

#include "app/guiutil.h"

namespace quintar::gui {

TCatalogueModel::TCatalogueModel(TCatalogueRows rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(std::move(rows)), count_(rows_.Count()) {
  TakeIds();
}

void TCatalogueModel::TakeIds() {
  ids_.clear();
  for (int r = 0; r < count_; ++r) ids_.push_back(rows_.Id(r));
}

int TCatalogueModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count_; }

int TCatalogueModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.Captions.size());
}

QVariant TCatalogueModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= count_ || index.row() >= rows_.Count()) return {};
  const int row = index.row(), col = index.column();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
      const std::vector<std::string> cells = rows_.Cells(row);
      return col < static_cast<int>(cells.size()) ? Q(cells[static_cast<size_t>(col)]) : QVariant();
    }
    case Qt::DecorationRole:
      if (col == 0 && rows_.Mark) {
        QIcon icon = rows_.Mark(row);
        if (!icon.isNull()) return icon;
      }
      return {};
    case Qt::UserRole:
      return rows_.SortKey(row, col);
    default:
      return {};
  }
}

QVariant TCatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || section >= static_cast<int>(rows_.Captions.size())) return {};
  return Tr(rows_.Captions[static_cast<size_t>(section)]);
}

void TCatalogueModel::Reset() {
  beginResetModel();
  count_ = rows_.Count();
  TakeIds();
  endResetModel();
}

TCatalogueList::TCatalogueList(const char* objectName, TCatalogueRows rows, bool multiSelect, int sortColumn,
                               Qt::SortOrder order, QWidget* parent)
    : QTableView(parent) {
  setObjectName(objectName);
  model_ = new TCatalogueModel(std::move(rows), this);
  proxy_ = new QSortFilterProxyModel(this);
  proxy_->setSourceModel(model_);
  proxy_->setSortRole(Qt::UserRole);
  proxy_->setSortLocaleAware(true);
  proxy_->setSortCaseSensitivity(Qt::CaseInsensitive);
  setModel(proxy_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(false);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setMinimumSectionSize(10);
  horizontalHeader()->setSortIndicatorShown(true);
  setSortingEnabled(true);
  sortByColumn(sortColumn, order);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { emit SelectionChanged(); });
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { emit SelectionChanged(); });
  connect(model_, &QAbstractItemModel::modelReset, this, [this] { emit SelectionChanged(); });
  connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
    if (i.isValid()) emit RowActivated(proxy_->mapToSource(i).row());
  });
}

QModelIndex TCatalogueList::ViewIndex(int row) const {
  if (row < 0 || row >= model_->rowCount()) return {};
  return proxy_->mapFromSource(model_->index(row, 0));
}

void TCatalogueList::Reload() {
  const TCatalogueRows& rows = model_->Rows();
  std::set<int> selected;
  for (int r : SelectedRows()) selected.insert(model_->ShownId(r));
  const int current = CurrentRow();
  const int currentId = current >= 0 ? model_->ShownId(current) : INT_MIN;
  model_->Reset();
  QItemSelection sel;
  QModelIndex cur;
  for (int r = 0; r < rows.Count(); ++r) {
    const int id = rows.Id(r);
    const QModelIndex v = ViewIndex(r);
    if (selected.count(id)) sel.select(v, v);
    if (id == currentId && !cur.isValid()) cur = v;
  }
  if (cur.isValid()) selectionModel()->setCurrentIndex(cur, QItemSelectionModel::NoUpdate);
  selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

std::vector<int> TCatalogueList::SelectedRows() const {
  std::vector<std::pair<int, int>> rows;  // view row, session row
  for (const QModelIndex& i : selectionModel()->selectedRows()) rows.emplace_back(i.row(), proxy_->mapToSource(i).row());
  std::sort(rows.begin(), rows.end());
  std::vector<int> out;
  for (const auto& r : rows) out.push_back(r.second);
  return out;
}

int TCatalogueList::CurrentRow() const {
  const QModelIndex i = currentIndex();
  return i.isValid() ? proxy_->mapToSource(i).row() : -1;
}

int TCatalogueList::SelectedRow() const {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return -1;
  const int current = CurrentRow();
  return std::find(rows.begin(), rows.end(), current) != rows.end() ? current : rows.front();
}

void TCatalogueList::SelectOnly(int row) {
  const QModelIndex v = ViewIndex(row);
  if (!v.isValid()) {
    clearSelection();
    return;
  }
  selectionModel()->setCurrentIndex(v, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  scrollTo(v);
}

void TCatalogueList::Deselect(int row) {
  const QModelIndex v = ViewIndex(row);
  if (v.isValid()) selectionModel()->select(v, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

QString TCatalogueList::CellText(int row, int column) const {
  return model_->index(row, column).data(Qt::DisplayRole).toString();
}

QIcon CatalogueMark(const QColor& color, bool filled) {
  QPixmap p(12, 12);
  p.fill(Qt::transparent);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(QPen(color.darker(130), 1.5));
  g.setBrush(filled ? QBrush(color) : QBrush(Qt::NoBrush));
  g.drawEllipse(QRectF(1.5, 1.5, 9, 9));
  g.end();
  // The same mark on a selected row: the look of the mark is what it says.
  QIcon icon;
  icon.addPixmap(p, QIcon::Normal);
  icon.addPixmap(p, QIcon::Selected);
  return icon;
}

}  // namespace quintar::gui
