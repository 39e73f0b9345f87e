#include "game/drawlistmodel.h"

#include <QBrush>

#include "app/guiutil.h"
#include "app/session.h"

namespace quintar::gui {

namespace {
constexpr int kColumns = 11;
constexpr int kDateColumn = 10;
}  // namespace

TDrawListModel::TDrawListModel(Session& session, QObject* parent) : QAbstractTableModel(parent), session_(session) {}

int TDrawListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TDrawListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

const std::vector<std::string>& TDrawListModel::Cells(int row) const {
  if (row != cachedRow_) {
    cachedCells_ = session_.DrawListCells(row);
    cachedRow_ = row;
  }
  return cachedCells_;
}

QVariant TDrawListModel::data(const QModelIndex& index, int role) const {
  const int row = index.row(), col = index.column();
  // Between a change of the archive and the next refresh the row count may be ahead of the archive.
  if (!index.isValid() || row >= session_.Archive.Count() || col < 0 || col >= kColumns) return QVariant();
  switch (role) {
    case Qt::DisplayRole: {
      const auto& cells = Cells(row);
      return col < static_cast<int>(cells.size()) ? Q(cells[static_cast<size_t>(col)]) : QString();
    }
    case Qt::BackgroundRole:
      if (auto rgb = session_.DrawListCellColor(row, col)) return QBrush(RgbColor(*rgb));
      return QVariant();
    case Qt::ForegroundRole:
      // Light backgrounds keep dark text whatever the desktop's colour scheme.
      if (session_.DrawListCellColor(row, col)) return QBrush(Qt::black);
      return QVariant();
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(col == kDateColumn ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    default:
      return QVariant();
  }
}

QVariant TDrawListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return QVariant();
  if (role == Qt::DisplayRole) {
    static const std::vector<std::string> captions = Session::DrawListCaptions();
    return Tr(captions[static_cast<size_t>(section)]);
  }
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(section == kDateColumn ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
  return QVariant();
}

void TDrawListModel::Refresh(bool force) {
  (void)force;  // every refresh repaints; only the visible rows are formatted again
  cachedRow_ = -1;
  const int count = session_.Archive.Count();
  if (count != rows_) {
    beginResetModel();
    rows_ = count;
    endResetModel();
  } else if (rows_ > 0) {
    emit dataChanged(index(0, 0), index(rows_ - 1, kColumns - 1));
  }
}

}  // namespace quintar::gui
