// Page "Ставки": the stakes grid sgStakes. The grid is virtual: its model knows only the record count and
// reads each row from the stakes file when the view paints it (through the file's one-record cache), so
// a file of millions of stakes opens and scrolls at once.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

#include "app/mainpage.h"

class QTableView;

namespace quintar {
class Session;
struct TStakeRec;
}

namespace quintar::gui {

class TStakesModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TStakesModel(Session& session, QObject* parent = nullptr);

  // One row per record; an empty file shows one empty row under the header.
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The record of a row; false (and an empty record) when it cannot be read.
  bool Record(int row, TStakeRec& rec) const;
  // Follows the file: a changed record count resets the rows, otherwise every row is repainted.
  void Refresh();

 private:
  Session& session_;
  int rows_ = 0;
  mutable bool readFailed_ = false;  // one error box per refresh, not one per painted cell
};

// Paints a row with the background of its kind, the matched numbers of columns 2 and 4 bold and blue, and
// columns 5..7 of a checked stake green (profit) or red.
class TStakesDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  TStakesDelegate(TStakesModel& model, QObject* parent);
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  TStakesModel& model_;
};

class TStakesPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TStakesPage(Session& session, QWidget* parent = nullptr);

  // Follows the stakes file (row count, repaint) and scrolls to the last row when the session asks.
  void RefreshPage(bool force) override;
  // The first and last selected record (the selection's range), or -1 when none.
  int FirstSelected() const;
  int LastSelected() const;

  QTableView* sgStakes;
  TStakesModel* Model() const { return model_; }

 signals:
  void SelectionChanged();

 private:
  Session& session_;
  TStakesModel* model_;
};

}  // namespace quintar::gui
