// Page "Системы": the online systems catalogue lvSystems (several rows selectable, initially sorted by the
// count of numbers, each real row marked own, someone else's or without author e-mail, downloaded or not)
// under the page's toolbar.
#pragma once

#include <vector>

#include "app/mainpage.h"

class QToolBar;

namespace quintar {
class Session;
}

namespace quintar::gui {

class TCatalogueList;

class TSystemsPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TSystemsPage(Session& session, QWidget* parent = nullptr);

  void RefreshPage(bool force) override;
  // Follows the session's catalogue rows; the selection stays on the same systems.
  void RefreshList();
  // Rows of the session's list: the selected ones in the view's order, the one the single-row commands
  // work on (-1 when none) and its id.
  std::vector<int> SelectedRows() const;
  int SelectedRow() const;
  int SelectedId() const;
  void SelectOnly(int row);

  QToolBar* tbSystems;
  TCatalogueList* lvSystems;

 signals:
  void SelectionChanged();
  void RowActivated(int row);

 private:
  Session& session_;
};

}  // namespace quintar::gui
