#include "combs/ratingsmodel.h"

#include "app/guiutil.h"
#include "app/session.h"

namespace quintar::gui {

TRatingsModel::TRatingsModel(Session& session, QObject* parent) : QAbstractTableModel(parent), session_(session) {}

int TRatingsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TRatingsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kRatingCols; }

const std::vector<std::string>& TRatingsModel::Cells(int row) const {
  if (row != cachedRow_) {
    cachedCells_ = session_.RatingsCells(row);
    cachedRow_ = row;
  }
  return cachedCells_;
}

QVariant TRatingsModel::data(const QModelIndex& index, int role) const {
  const int row = index.row(), col = index.column();
  // Between a change of the rating and the next refresh the row count may be ahead of the rating.
  if (!index.isValid() || row >= session_.Ratings.Count() || col < 0 || col >= kRatingCols) return QVariant();
  switch (role) {
    case Qt::DisplayRole: {
      const auto& cells = Cells(row);
      return col < static_cast<int>(cells.size()) ? Q(cells[static_cast<size_t>(col)]) : QString();
    }
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(col == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
    default:
      return QVariant();
  }
}

QVariant TRatingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kRatingCols) return QVariant();
  if (role == Qt::DisplayRole) {
    static const std::vector<std::string> captions = Session::RatingsCaptions();
    return Tr(captions[static_cast<size_t>(section)]);
  }
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(section == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
  return QVariant();
}

void TRatingsModel::Refresh() {
  cachedRow_ = -1;
  const int count = session_.Ratings.Count();
  if (count != rows_) {
    beginResetModel();
    rows_ = count;
    endResetModel();
  } else if (rows_ > 0) {
    emit dataChanged(index(0, 0), index(rows_ - 1, kRatingCols - 1));
  }
}

}  // namespace quintar::gui
