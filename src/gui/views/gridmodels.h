// The grids of the analysis views as Qt table models: the card sgCard and the layout scheme sgLayout.
// Row 0 of each grid (its caption row) is the horizontal header; the model's rows are the grid's rows
// 1.. . Cells give their texts centred and their backgrounds by the view's colour rules.
#pragma once

#include <QAbstractTableModel>

#include "analysis/gridpick.h"

class QTableView;

namespace quintar {
class Session;
}

namespace quintar::gui {

class TCardModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TCardModel(Session& session, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Takes the card again (rows and colours).
  void Refresh();

 private:
  Session& session_;
  int rows_ = 0;
};

class TLayoutModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TLayoutModel(Session& session, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void Refresh();

 private:
  Session& session_;
  int rows_ = 0, cols_ = 0;
};

// The selected rectangle of a grid view in the grid's own indexes (the model's row r is grid row r + 1);
// an empty rectangle without a selection.
TGridRect GridSelection(const QTableView* view);
// Selects a rectangle of grid indexes in the view.
void SelectGridRect(QTableView* view, const TGridRect& r);

}  // namespace quintar::gui
