#include "combs/biglistheader.h"

#include <QStyleOptionHeader>

namespace quintar::gui {

TBigListHeader::TBigListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setHighlightSections(false);
}

void TBigListHeader::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const {
  if (!option || !model()) return;
  QStyleOptionHeader& opt = *option;
  QStyle::State state = QStyle::State_None;
  if (window()->isActiveWindow()) state |= QStyle::State_Active;
  if (isSortIndicatorShown() && sortIndicatorSection() == logicalIndex)
    opt.sortIndicator = sortIndicatorOrder() == Qt::AscendingOrder ? QStyleOptionHeader::SortDown
                                                                    : QStyleOptionHeader::SortUp;
  opt.section = logicalIndex;
  opt.state |= state;
  const QVariant align = model()->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole);
  opt.textAlignment = align.isValid() ? QFlag(align.toInt()) : defaultAlignment();
  opt.iconAlignment = Qt::AlignVCenter;
  opt.text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
  if (auto* v2 = qstyleoption_cast<QStyleOptionHeaderV2*>(option)) v2->textElideMode = textElideMode();

  const int visual = visualIndex(logicalIndex);
  const int last = count() - 1;
  if (last == 0)
    opt.position = QStyleOptionHeader::OnlyOneSection;
  else if (visual == 0)
    opt.position = QStyleOptionHeader::Beginning;
  else if (visual == last)
    opt.position = QStyleOptionHeader::End;
  else
    opt.position = QStyleOptionHeader::Middle;
  opt.orientation = orientation();
  opt.selectedPosition = QStyleOptionHeader::NotAdjacent;
}

}  // namespace quintar::gui
