#include "combs/ratingcommands.h"

#include <QAction>
#include <QPushButton>
#include <QTableView>
#include <string>

#include "analysis/formreport.h"
#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/session.h"
#include "combs/ratingspage.h"

namespace quintar::gui {

void BindRatingCommands(ActionRegistry& actions, Session& s, TRatingsPage& page, QWidget* window,
                        std::function<void()> showScript) {
  actions.Bind(
      "RatingsRefresh", [&s] { return s.CanRatingsRefresh(s.StakesOpen()); },
      [&s] { s.RatingsRefresh(s.Stakes); });

  actions.Bind(
      "RatingsExport", [&s] { return s.CanRatingsExport(); },
      [&s, window] {
        const QString file = ChooseSaveFile(window, kRatingsCsvFilter, kRatingsCsvExt);
        if (!file.isEmpty()) s.RatingsExport(S(file));
      });

  actions.Bind(
      "RatingsToScript", [&s, &page] { return s.CanRatingsToScript(page.SelectedCount()); },
      [&s, &page, showScript = std::move(showScript)] {
        // The script page comes forward as soon as a line was added; later refusals show over it.
        s.RatingsToScript(page.SelectedRows(), [&s, &showScript](const std::string& line) {
          s.AddScriptLine(line);
          if (showScript) showScript();
        });
      });

  actions.Bind(
      "RatingsSignificance", [&s, &page] { return s.IsIdle() && page.SelectedCount() > 0; },
      [&s, &page, window] {
        std::vector<TRowSignificance> rows;
        for (int r : page.SelectedRows())
          if (r >= 0 && r < s.Ratings.Count()) rows.push_back(RowSignificance(s.Ratings[r], s.StakePrices()));
        if (!rows.empty()) ShowSignificance(window, s.Host(), rows);
      });

  for (int mode = 0; mode < kRatingsEffModes; ++mode) {
    const std::string name = "RatingsEffMode" + std::to_string(mode);
    actions.Bind(name, [&s] { return s.CanRatingsEffMode(); }, [&s, mode] { s.SetRatingsEffMode(mode); });
    actions.BindChecked(name, [&s, mode] { return s.RatingsEffModeChecked(mode); });
  }

  // The button runs the refresh command and follows its state.
  QObject::connect(page.btnRatingsRefresh, &QPushButton::clicked, &actions,
                   [&actions] { actions.Execute("RatingsRefresh"); });
  if (QAction* refresh = actions.Action("RatingsRefresh")) {
    page.btnRatingsRefresh->setEnabled(refresh->isEnabled());
    QObject::connect(refresh, &QAction::enabledChanged, page.btnRatingsRefresh, &QPushButton::setEnabled);
  }

  QObject::connect(&page, &TRatingsPage::SortRequested, &actions, [&s, &actions](int column) {
    if (s.CanRatingsSort()) s.RatingsSortBy(column);
    actions.UpdateActions();
  });
  QObject::connect(&page, &TRatingsPage::SelectionChanged, &actions, [&actions] { actions.UpdateActions(); });

  // The view's own menu: the rating commands.
  QTableView* lv = page.lvRatings;
  lv->setContextMenuPolicy(Qt::ActionsContextMenu);
  for (const char* name : {"RatingsGraphOverlap", "StakesGraphOverlap", "StakesGraphProfits", "RatingsSignificance", "-", "RatingsRefresh",
                           "RatingsToScript", "-", "RatingsExport", "RatingsXlsExport"}) {
    if (std::string(name) == "-") {
      auto* sep = new QAction(lv);
      sep->setSeparator(true);
      lv->addAction(sep);
    } else if (QAction* a = actions.Action(name)) {
      lv->addAction(a);
    }
  }
}

}  // namespace quintar::gui
