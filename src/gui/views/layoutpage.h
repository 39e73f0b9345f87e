// Page "Схема": the layout scheme sgLayout (numbers by count and last draw) over edLayoutLen draws, and
// under it the comparison panel pnlLayoutCompare with five lists of counts over five window lengths.
// A rectangle of scheme cells turns into a number filter on the combination list.
#pragma once

#include <array>

#include "analysis/gridpick.h"
#include "analysis/layoutview.h"
#include "app/mainpage.h"

class QSpinBox;
class QSplitter;
class QTableView;
class QToolButton;
class QTreeWidget;
class QWidget;

namespace quintar {
class Session;
}

namespace quintar::gui {

class ActionRegistry;
class TLayoutModel;

class TLayoutPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TLayoutPage(Session& session, QWidget* parent = nullptr);

  void ReadSettings(const IniFile& ini) override;
  void WriteSettings(IniFile& ini) override;
  void RefreshPage(bool force) override;
  void BindCommands(ActionRegistry& actions);
  TGridRect Selection() const;

  QSpinBox* edLayoutLen;
  QToolButton* btnLayoutCalc;
  QTableView* sgLayout;
  QWidget* pnlLayoutCompare;
  std::array<QSpinBox*, kLayoutCompareLists> edLayoutCmp{};
  std::array<QTreeWidget*, kLayoutCompareLists> lvLayoutCmp{};
  QToolButton* btnLayoutCmpCalc;
  TLayoutModel* Model() const { return model_; }

 signals:
  void SelectionChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowScheme();
  void ShowCompare();

  Session& session_;
  TLayoutModel* model_;
  QSplitter* splitter_;
  int compareHeight_ = 200;
  int shownScheme_ = -1, shownCompare_ = -1;
  bool syncing_ = false;
};

}  // namespace quintar::gui
