// Page "Регуляры": the tables (regular stakes) in the list view lvTables, one row per table.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "app/mainpage.h"

class QTableView;

namespace quintar {
class Session;
}

namespace quintar::gui {

class TTablesModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TTablesModel(Session& session, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Follows the tables: a changed count resets the rows, otherwise every row is repainted.
  void Refresh();

 private:
  Session& session_;
  int rows_ = 0;
};

class TTablesPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TTablesPage(Session& session, QWidget* parent = nullptr);
  void RefreshPage(bool force) override;

  // The current row (-1: none) and the selected rows in list order.
  int CurrentRow() const;
  std::vector<int> SelectedRows() const;
  int SelectedCount() const;
  void ClearSelection();

  QTableView* lvTables;

 signals:
  void SelectionChanged();
  void RowActivated(int row);

 private:
  Session& session_;
  TTablesModel* model_;
};

}  // namespace quintar::gui
