// Page "Комбинации" of the left page control: the field of last draws to exclude with its button, the
// combination list lvCombs above the applied-filters list lvFilters, a splitter between them.
#pragma once

#include "app/mainpage.h"
#include "combs/combslist.h"

class QPushButton;
class QSpinBox;
class QSplitter;
class QTableView;

namespace quintar {
class Session;
}

namespace quintar::gui {

class TCombsListModel;
class TFilterLogModel;

class TCombsPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TCombsPage(Session& session, QWidget* parent = nullptr);

  void ReadSettings(const IniFile& ini) override;
  void WriteSettings(IniFile& ini) override;
  void RefreshPage(bool force) override;

  // The list changed: new row count, the selection cleared. A change of the colour switch alone only
  // repaints and keeps the selection.
  void RefreshList();
  // Repaints the visible rows (colours).
  void RepaintList();
  void RefreshFilters();

  // The selected rows as ranges, as the view holds them.
  TRowSelection Selection() const;
  int SelectedCount() const;
  // The row the single-row commands work on: the current row when it is selected, else the first
  // selected row, else -1.
  int CurrentRow() const;
  // Selects the rows of the ranges (the view's selection replaced).
  void Select(const TRowSelection& sel);
  void ClearSelection();

  QSpinBox* edCombsExclude;
  QPushButton* btnCombsDelExists;
  QTableView* lvCombs;
  QTableView* lvFilters;
  QSplitter* splCombs;
  TCombsListModel* CombsModel() const { return combsModel_; }
  TFilterLogModel* FiltersModel() const { return filtersModel_; }

  static constexpr int kDesignedFiltersHeight = 150;

 signals:
  void SelectionChanged();
  void RowActivated(int row);  // double click on a row
  // Enter in edCombsExclude, with the field's text.
  void ExcludeEntered(const QString& text);
  void ExcludeChanged(int value);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  Session& session_;
  TCombsListModel* combsModel_;
  TFilterLogModel* filtersModel_;
  int filtersHeight_ = kDesignedFiltersHeight;
  bool sized_ = false;
  bool colorShown_ = true;
};

}  // namespace quintar::gui
