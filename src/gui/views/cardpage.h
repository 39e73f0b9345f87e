// Page "Карта": the card of every draw (sgCard), newest first, with its colour rules; a rectangle of its
// cells turns into a number filter on the combination list.
#pragma once

#include "analysis/gridpick.h"
#include "app/mainpage.h"

class QTableView;

namespace quintar {
class Session;
}

namespace quintar::gui {

class ActionRegistry;
class TCardModel;

class TCardPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TCardPage(Session& session, QWidget* parent = nullptr);

  void RefreshPage(bool force) override;
  // The card filters, the colour switches and the export in the grid's pop-up menu.
  void BindCommands(ActionRegistry& actions);
  // The selected rectangle in grid indexes.
  TGridRect Selection() const;
  // Column 0 follows the width of the draw list's first column.
  void SetNumberColumnWidth(int width);

  QTableView* sgCard;
  TCardModel* Model() const { return model_; }

 signals:
  void SelectionChanged();

 private:
  Session& session_;
  TCardModel* model_;
  int shownGeneration_ = -1;
};

}  // namespace quintar::gui
