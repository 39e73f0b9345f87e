#include "combs/combslistmodel.h"

#include <QBrush>

#include "app/guiutil.h"
#include "app/session.h"

namespace quintar::gui {

TCombsListModel::TCombsListModel(Session& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {}

int TCombsListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TCombsListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant TCombsListModel::data(const QModelIndex& index, int role) const {
  const int row = index.row(), col = index.column();
  // Between a change of the list and the next refresh the row count may be ahead of the list.
  if (!index.isValid() || row >= session_.CurrentCombs.Count() || col < 0 || col >= kColumns) return QVariant();
  switch (role) {
    case Qt::DisplayRole: {
      if (col == 0) return QString::number(row + 1);
      const TComb& c = session_.CurrentCombs[row];
      if (col <= NUMS_IN_DRAW) return QString::number(c.n[col - 1]);
      int sum = 0;
      for (uint8_t n : c.n) sum += n;
      return QString::number(sum);
    }
    case Qt::BackgroundRole:
      if (auto rgb = session_.CombsListCellColor(row, col)) return QBrush(RgbColor(*rgb));
      return QVariant();
    case Qt::ForegroundRole:
      // Light backgrounds keep dark text whatever the desktop's colour scheme.
      if (session_.CombsListCellColor(row, col)) return QBrush(Qt::black);
      return QVariant();
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignCenter);
    default:
      return QVariant();
  }
}

QVariant TCombsListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return QVariant();
  if (role == Qt::DisplayRole) {
    static const std::vector<std::string> captions = Session::CombsListCaptions();
    return Tr(captions[static_cast<size_t>(section)]);
  }
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignCenter);
  return QVariant();
}

void TCombsListModel::Refresh() {
  const int count = session_.CurrentCombs.Count();
  if (count != rows_) {
    beginResetModel();
    rows_ = count;
    endResetModel();
  } else if (rows_ > 0) {
    emit dataChanged(index(0, 0), index(rows_ - 1, kColumns - 1));
  }
}

}  // namespace quintar::gui
