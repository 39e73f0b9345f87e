#include "combs/graphcommands.h"

#include "app/actionregistry.h"
#include "app/session.h"
#include "combs/formgraph.h"
#include "combs/ratingspage.h"

namespace quintar::gui {

void BindGraphCommands(ActionRegistry& actions, Session& s, TRatingsPage& ratings, QWidget* window) {
  actions.Bind(
      "StakesGraphDraws", [&s] { return s.CanStakesGraphDraws(); },
      [&s, window] {
        if (auto g = s.StakesGraphDraws()) ShowGraphWindow(window, &s.Frm, *g);
      });

  actions.Bind(
      "StakesGraphOverlap", [&s, &ratings] { return s.CanStakesGraphOverlap(s.StakesOpen(), ratings.SelectedCount()); },
      [&s, &ratings, window] {
        if (auto g = s.StakesGraphOverlap(s.Stakes, ratings.SelectedRows())) ShowGraphWindow(window, &s.Frm, *g);
      });

  actions.Bind(
      "StakesGraphProfits", [&s, &ratings] { return s.CanStakesGraphProfits(s.StakesOpen(), ratings.SelectedCount()); },
      [&s, &ratings, window] {
        if (auto g = s.StakesGraphProfits(s.Stakes, ratings.SelectedRows())) ShowGraphWindow(window, &s.Frm, *g);
      });

  actions.Bind(
      "RatingsGraphOverlap", [&s, &ratings] { return s.CanRatingsGraphOverlap(ratings.SelectedCount()); },
      [&s, &ratings, window] { ShowGraphWindow(window, &s.Frm, s.RatingsGraphOverlap(ratings.SelectedRows())); });

  // A double click in the rating draws the match distribution when that command is available.
  QObject::connect(&ratings, &TRatingsPage::RowActivated, &actions,
                   [&actions] { actions.Execute("RatingsGraphOverlap"); });
}

}  // namespace quintar::gui
