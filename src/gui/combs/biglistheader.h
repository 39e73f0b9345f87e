// The column header of a list of millions of rows. A plain header asks the selection, for every section
// it paints, whether its neighbours are whole selected columns, which walks every row of the list; with
// all rows selected that takes seconds per repaint. This header paints its sections without asking.
#pragma once

#include <QHeaderView>

namespace quintar::gui {

class TBigListHeader : public QHeaderView {
  Q_OBJECT

 public:
  explicit TBigListHeader(QWidget* parent = nullptr);

 protected:
  void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
};

}  // namespace quintar::gui
