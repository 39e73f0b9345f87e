#include "combs/filterlogmodel.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "app/guiutil.h"
#include "app/session.h"

namespace quintar::gui {

namespace {

constexpr int kColumns = 3;
constexpr int kCountColumn = 2;

QPixmap MarkPixmap(TFilterMark mark) {
  const int side = 16;
  QPixmap pm(side, side);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF disc(1.5, 1.5, side - 3, side - 3);
  QColor fill = mark == TFilterMark::Keep ? QColor(0x2E, 0x9E, 0x3A)
                : mark == TFilterMark::Delete ? QColor(0xD0, 0x30, 0x30)
                                              : QColor(0x30, 0x6C, 0xD0);
  p.setPen(QPen(fill.darker(140), 1));
  p.setBrush(fill);
  p.drawEllipse(disc);
  p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  switch (mark) {
    case TFilterMark::Keep:
      p.drawLine(QPointF(8, 4.5), QPointF(8, 11.5));
      p.drawLine(QPointF(4.5, 8), QPointF(11.5, 8));
      break;
    case TFilterMark::Delete:
      p.drawLine(QPointF(4.5, 8), QPointF(11.5, 8));
      break;
    case TFilterMark::Undo: {
      // An arc turning back to the left with its arrow head.
      QPainterPath arc;
      arc.moveTo(5, 7);
      arc.cubicTo(7, 4, 12, 5, 11.5, 9);
      arc.cubicTo(11, 11.5, 8.5, 12, 7, 11.5);
      p.drawPath(arc);
      p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawLine(QPointF(5, 7), QPointF(4.2, 4.2));
      p.drawLine(QPointF(5, 7), QPointF(7.8, 7.2));
      break;
    }
  }
  return pm;
}

}  // namespace

QIcon FilterMarkIcon(TFilterMark mark) {
  static const QIcon icons[3] = {QIcon(MarkPixmap(TFilterMark::Keep)), QIcon(MarkPixmap(TFilterMark::Delete)),
                                 QIcon(MarkPixmap(TFilterMark::Undo))};
  return icons[static_cast<int>(mark)];
}

TFilterLogModel::TFilterLogModel(Session& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {}

int TFilterLogModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TFilterLogModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant TFilterLogModel::data(const QModelIndex& index, int role) const {
  const int row = index.row(), col = index.column();
  if (!index.isValid() || row >= session_.FilterLog.Count() || col < 0 || col >= kColumns) return QVariant();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
      const std::vector<std::string> cells = session_.FilterLog.Cells(row);
      return col < static_cast<int>(cells.size()) ? Tr(cells[static_cast<size_t>(col)]) : QString();
    }
    case Qt::DecorationRole:
      if (col == 0) return FilterMarkIcon(session_.FilterLog[row].Mark);
      return QVariant();
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(col == kCountColumn ? Qt::AlignRight | Qt::AlignVCenter
                                                     : Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return QVariant();
  }
}

QVariant TFilterLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return QVariant();
  if (role == Qt::DisplayRole) {
    static const std::vector<std::string> captions = TFilterLog::Captions();
    return Tr(captions[static_cast<size_t>(section)]);
  }
  return QVariant();
}

void TFilterLogModel::Refresh() {
  beginResetModel();
  rows_ = session_.FilterLog.Count();
  endResetModel();
}

}  // namespace quintar::gui
