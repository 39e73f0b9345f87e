#include "views/gridmodels.h"

#include <QBrush>
#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>

#include "app/guiutil.h"
#include "app/session.h"

namespace quintar::gui {

namespace {

QVariant Background(std::optional<uint32_t> rgb) { return rgb ? QVariant(QBrush(RgbColor(*rgb))) : QVariant(); }

}  // namespace

// TCardModel ------------------------------------------------------------------------------------------------

TCardModel::TCardModel(Session& session, QObject* parent) : QAbstractTableModel(parent), session_(session) {}

int TCardModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TCardModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kCardColumns; }

QVariant TCardModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  const TCardView& card = session_.Views.Card();
  const int row = index.row() + 1, col = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return Q(card.Cell(row, col));
    case Qt::BackgroundRole:
      return Background(card.CellColor(row, col, session_.Views.CardColors()));
    case Qt::ForegroundRole:
      // Light backgrounds keep dark text whatever the desktop's colour scheme.
      return card.CellColor(row, col, session_.Views.CardColors()) ? QVariant(QBrush(Qt::black)) : QVariant();
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignCenter);
    default:
      return {};
  }
}

QVariant TCardModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kCardColumns) return {};
  if (role == Qt::DisplayRole) return Q(session_.Views.Card().Cell(0, section));
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignCenter);
  return {};
}

void TCardModel::Refresh() {
  beginResetModel();
  rows_ = session_.Views.Card().Built() ? session_.Views.Card().RowCount() - 1 : 0;
  endResetModel();
}

// TLayoutModel ----------------------------------------------------------------------------------------------

TLayoutModel::TLayoutModel(Session& session, QObject* parent) : QAbstractTableModel(parent), session_(session) {}

int TLayoutModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TLayoutModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

QVariant TLayoutModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || index.column() >= cols_) return {};
  const TLayoutScheme& scheme = session_.Views.Layout();
  const int row = index.row() + 1, col = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return Q(scheme.Cell(row, col));
    case Qt::BackgroundRole:
      return Background(scheme.CellColor(row, col, session_.Views.LayoutGradient));
    case Qt::ForegroundRole:
      return scheme.CellColor(row, col, session_.Views.LayoutGradient) ? QVariant(QBrush(Qt::black)) : QVariant();
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignCenter);
    default:
      return {};
  }
}

QVariant TLayoutModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= cols_) return {};
  if (role == Qt::DisplayRole) return Q(session_.Views.Layout().Cell(0, section));
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignCenter);
  return {};
}

void TLayoutModel::Refresh() {
  beginResetModel();
  const TLayoutScheme& scheme = session_.Views.Layout();
  rows_ = scheme.RowCount() - 1;
  cols_ = scheme.ColCount();
  endResetModel();
}

TGridRect GridSelection(const QTableView* view) {
  const QItemSelectionModel* sel = view->selectionModel();
  if (!sel || !sel->hasSelection()) return {};
  const QItemSelection s = sel->selection();
  TGridRect r{INT32_MAX, INT32_MAX, -1, -1};
  for (const QItemSelectionRange& range : s) {
    r.Left = std::min(r.Left, range.left());
    r.Right = std::max(r.Right, range.right());
    r.Top = std::min(r.Top, range.top() + 1);
    r.Bottom = std::max(r.Bottom, range.bottom() + 1);
  }
  return r;
}

void SelectGridRect(QTableView* view, const TGridRect& r) {
  QAbstractItemModel* m = view->model();
  if (!m || r.Empty()) return;
  view->selectionModel()->select(QItemSelection(m->index(r.Top - 1, r.Left), m->index(r.Bottom - 1, r.Right)),
                                 QItemSelectionModel::ClearAndSelect);
}

}  // namespace quintar::gui
