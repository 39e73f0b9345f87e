// Page "Архив тиражей" of the left page control: the offset back edDrawsOffset over the draw list lvDraws.
#pragma once

#include <vector>

#include "app/mainpage.h"

class QSpinBox;
class QTableView;

namespace quintar {
class Session;
}

namespace quintar::gui {

class TDrawListModel;

class TDrawsPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TDrawsPage(Session& session, QWidget* parent = nullptr);

  // Follows the archive, the offset and the view switches (list size, colours, the spin field's maximum).
  void RefreshList(bool force);

  // Selected rows, ascending; row 0 is the newest draw.
  std::vector<int> SelectedRows() const;
  int SelectedCount() const;
  // The selected row the edit command works on (the first one), or -1.
  int FirstSelectedRow() const;
  void ClearSelection();

  QTableView* lvDraws;
  QSpinBox* edDrawsOffset;
  TDrawListModel* Model() const { return model_; }

 signals:
  void SelectionChanged();
  void RowActivated(int row);  // double click on a row

 private:
  Session& session_;
  TDrawListModel* model_;
  bool syncing_ = false;
};

}  // namespace quintar::gui
