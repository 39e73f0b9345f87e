// Page "Рейтинг": the rating of checked stakes in lvRatings (virtual, several rows selectable, sorted by a
// click on a column header) with the button that recomputes it from the stakes file.
#pragma once

#include <vector>

#include "app/mainpage.h"

class QPushButton;
class QTableView;

namespace quintar {
class Session;
}

namespace quintar::gui {

class TRatingsModel;

class TRatingsPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TRatingsPage(Session& session, QWidget* parent = nullptr);

  void ReadSettings(const IniFile& ini) override;
  void WriteSettings(IniFile& ini) override;
  void RefreshPage(bool force) override;

  // Follows the rating: rows, order, efficiency mode and the sort mark of the header.
  void RefreshList();

  // Selected rows, ascending (indexes into the session's rating).
  std::vector<int> SelectedRows() const;
  int SelectedCount() const;
  void ClearSelection();

  QTableView* lvRatings;
  QPushButton* btnRatingsRefresh;
  TRatingsModel* Model() const { return model_; }

 signals:
  void SelectionChanged();
  void RowActivated(int row);   // double click on a row
  void SortRequested(int column);  // click on a column header

 private:
  void ShowSortMark();

  Session& session_;
  TRatingsModel* model_;
};

// The view's sort settings in the main window's section: "column,direction" (direction 1 descending).
inline constexpr const char* kRatingsSortTypeKey = "lvRatings.SortType";

}  // namespace quintar::gui
