// A list view of an online catalogue (scripts or systems): rows built on demand from the session's rows,
// a mark per row, sorted by a click on a column header (numbers and times by value), the selection kept by
// the rows' ids when the rows are read again.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QTableView>
#include <functional>
#include <string>
#include <vector>

class QSortFilterProxyModel;

namespace quintar::gui {

// Where the rows come from.
struct TCatalogueRows {
  std::vector<std::string> Captions;
  std::function<int()> Count;
  std::function<std::vector<std::string>(int row)> Cells;
  std::function<QVariant(int row, int column)> SortKey;  // a number for numbers and times, else the text
  std::function<QIcon(int row)> Mark;                     // the mark in the first column (null: none)
  std::function<int(int row)> Id;                         // what the selection is kept by
};

class TCatalogueModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  TCatalogueModel(TCatalogueRows rows, QObject* parent);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // The rows were read again; the ids of the rows shown until now stay known until then.
  void Reset();
  const TCatalogueRows& Rows() const { return rows_; }
  int ShownId(int row) const { return row >= 0 && row < static_cast<int>(ids_.size()) ? ids_[size_t(row)] : 0; }

 private:
  void TakeIds();
  TCatalogueRows rows_;
  int count_ = 0;
  std::vector<int> ids_;
};

class TCatalogueList : public QTableView {
  Q_OBJECT

 public:
  TCatalogueList(const char* objectName, TCatalogueRows rows, bool multiSelect, int sortColumn, Qt::SortOrder order,
                 QWidget* parent);

  // The rows were read again: the selection and the current row follow their ids.
  void Reload();
  // Selected rows of the session (not of the view), in the view's order; the current row of the session.
  std::vector<int> SelectedRows() const;
  int CurrentRow() const;
  // The selected row the single-row commands work on: the current row when it is selected, else the first.
  int SelectedRow() const;
  // Makes the row the only selected one, its current row, and scrolls it into view (-1 clears).
  void SelectOnly(int row);
  void Deselect(int row);
  // The text of a cell of a session row, as shown.
  QString CellText(int row, int column) const;
  TCatalogueModel* Model() const { return model_; }

 signals:
  void SelectionChanged();
  void RowActivated(int row);  // double click on a row

 private:
  QModelIndex ViewIndex(int row) const;
  TCatalogueModel* model_;
  QSortFilterProxyModel* proxy_;
};

// A small round mark of a colour: filled, or a ring.
QIcon CatalogueMark(const QColor& color, bool filled);

}  // namespace quintar::gui
