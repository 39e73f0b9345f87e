#include "combs/stakespage.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/guiutil.h"
#include "app/session.h"
#include "combs/stakesview.h"

namespace quintar::gui {

// Model -----------------------------------------------------------------------------------------------

TStakesModel::TStakesModel(Session& session, QObject* parent) : QAbstractTableModel(parent), session_(session) {}

int TStakesModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : std::max(rows_, 1); }

int TStakesModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kStakeGridCols; }

bool TStakesModel::Record(int row, TStakeRec& rec) const {
  rec = EmptyStake();
  if (row < 0 || row >= rows_ || !session_.StakesOpen()) return false;
  try {
    rec = session_.Stakes.ReadStake(row);
    return true;
  } catch (const EStakesFile& e) {
    if (!readFailed_) {
      readFailed_ = true;
      // Not from inside painting: the box comes once the view is done.
      const std::string text = e.FullText();
      QTimer::singleShot(0, const_cast<TStakesModel*>(this), [this, text] { session_.ShowError(text); });
    }
  }
  return false;
}

QVariant TStakesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int col = index.column();
  if (role == Qt::TextAlignmentRole) {
    switch (StakeGridAlign(col)) {
      case TCellAlign::Left: return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
      case TCellAlign::Right: return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
      default: return QVariant::fromValue(Qt::AlignCenter);
    }
  }
  if (role != Qt::DisplayRole && role != Qt::BackgroundRole) return {};
  TStakeRec rec;
  Record(index.row(), rec);
  if (role == Qt::BackgroundRole) {
    if (auto c = StakeKindColor(rec.Kind)) return QBrush(RgbColor(*c));
    return {};
  }
  return Q(StakeGridCell(rec, col));
}

QVariant TStakesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return {};
  static const std::vector<std::string> captions = StakeGridCaptions();
  if (section < 0 || section >= static_cast<int>(captions.size())) return {};
  return Tr(captions[static_cast<size_t>(section)]);
}

void TStakesModel::Refresh() {
  readFailed_ = false;
  const int rows = session_.StakesOpen() ? session_.Stakes.Count() : 0;
  if (rows != rows_) {
    beginResetModel();
    rows_ = rows;
    endResetModel();
  } else if (rows_ > 0) {
    emit dataChanged(index(0, 0), index(rows_ - 1, kStakeGridCols - 1));
  }
}

// Delegate --------------------------------------------------------------------------------------------

TStakesDelegate::TStakesDelegate(TStakesModel& model, QObject* parent) : QStyledItemDelegate(parent), model_(model) {}

void TStakesDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  TStakeRec rec;
  model_.Record(index.row(), rec);
  const int col = index.column();
  // Background, selection and focus as the style draws them, without the text.
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  opt.text.clear();
  const QWidget* w = opt.widget;
  QStyle* style = w ? w->style() : nullptr;
  if (style)
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
  else
    QStyledItemDelegate::paint(painter, opt, index);

  const bool selected = (option.state & QStyle::State_Selected) != 0;
  const QColor normal = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
  const std::vector<TStakeCellPart> parts = StakeGridCellParts(rec, col);
  QRect r = option.rect.adjusted(3, 0, -3, 0);
  QFont plain = option.font;
  QFont bold = plain;
  bold.setBold(true);
  // Widths first, to place the pieces by the column's alignment.
  int total = 0;
  for (const auto& p : parts) total += QFontMetrics(p.Ink == TStakeInk::Matched ? bold : plain).horizontalAdvance(Q(p.Text));
  int x = r.left();
  switch (StakeGridAlign(col)) {
    case TCellAlign::Center: x = r.left() + std::max(0, (r.width() - total) / 2); break;
    case TCellAlign::Right: x = std::max(r.left(), r.right() - total); break;
    default: break;
  }
  painter->save();
  painter->setClipRect(option.rect);
  for (const auto& p : parts) {
    const QString text = Q(p.Text);
    QColor color = normal;
    QFont font = plain;
    switch (p.Ink) {
      case TStakeInk::Matched:
        font = bold;
        color = RgbColor(kStakeMatchedColor);
        break;
      case TStakeInk::Gain: color = RgbColor(kStakeGainColor); break;
      case TStakeInk::Loss: color = RgbColor(kStakeLossColor); break;
      default: break;
    }
    painter->setFont(font);
    painter->setPen(color);
    const int width = QFontMetrics(font).horizontalAdvance(text);
    painter->drawText(QRect(x, r.top(), width + 1, r.height()), Qt::AlignLeft | Qt::AlignVCenter, text);
    x += width;
  }
  painter->restore();
}

// Page ------------------------------------------------------------------------------------------------

TStakesPage::TStakesPage(Session& session, QWidget* parent)
    : TMainPage("tsStakes", "Ставки", parent), session_(session) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  sgStakes = new QTableView(this);
  sgStakes->setObjectName("sgStakes");
  model_ = new TStakesModel(session_, this);
  sgStakes->setModel(model_);
  sgStakes->setItemDelegate(new TStakesDelegate(*model_, sgStakes));
  sgStakes->setSelectionBehavior(QAbstractItemView::SelectRows);
  sgStakes->setSelectionMode(QAbstractItemView::ContiguousSelection);
  sgStakes->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgStakes->setWordWrap(false);
  sgStakes->setAlternatingRowColors(false);
  sgStakes->verticalHeader()->hide();
  // Uniform rows: the view never asks every row for its height, so millions of rows cost nothing.
  sgStakes->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  sgStakes->verticalHeader()->setDefaultSectionSize(sgStakes->fontMetrics().height() + 6);
  sgStakes->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  sgStakes->horizontalHeader()->setHighlightSections(false);
  const int widths[kStakeGridCols] = {70, 80, 150, 60, 150, 80, 110, 80, 300};
  for (int c = 0; c < kStakeGridCols; ++c) sgStakes->setColumnWidth(c, widths[c]);
  layout->addWidget(sgStakes);
  connect(sgStakes->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { emit SelectionChanged(); });
  connect(model_, &QAbstractItemModel::modelReset, this, [this] {
    connect(sgStakes->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit SelectionChanged(); }, Qt::UniqueConnection);
  });
}

void TStakesPage::RefreshPage(bool force) {
  (void)force;
  model_->Refresh();
  if (session_.TakeStakesScroll() && session_.Stakes.Count() > 0) {
    const int last = session_.Stakes.Count() - 1;
    sgStakes->selectionModel()->select(model_->index(last, 0),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    sgStakes->setCurrentIndex(model_->index(last, 0));
    sgStakes->scrollToBottom();
  }
  sgStakes->viewport()->update();
}

// The selection's ranges, not its rows: a selection of millions of rows costs nothing.
int TStakesPage::FirstSelected() const {
  int first = -1;
  for (const QItemSelectionRange& r : sgStakes->selectionModel()->selection())
    if (first < 0 || r.top() < first) first = r.top();
  return first;
}

int TStakesPage::LastSelected() const {
  int last = -1;
  for (const QItemSelectionRange& r : sgStakes->selectionModel()->selection()) last = std::max(last, r.bottom());
  return last;
}

}  // namespace quintar::gui
