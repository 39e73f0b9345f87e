#include "views/viewcommands.h"

#include <QTabWidget>

#include "app/actionregistry.h"
#include "app/session.h"
#include "combs/combspage.h"
#include "combs/formgraph.h"
#include "game/drawspage.h"
#include "views/cardpage.h"
#include "views/forminfo.h"
#include "views/formrepeats.h"
#include "views/graphspage.h"
#include "views/layoutpage.h"

namespace quintar::gui {

void BindViewCommands(ActionRegistry& actions, Session& s, const TViewPages& pages, QWidget* window) {
  TAnalysisViews* v = &s.Views;
  // A page switch: the tab follows the setting; a page shown again comes to the front with fresh data.
  auto tab = [&actions, v, tabs = pages.Tabs](const char* name, QWidget* page, bool (TAnalysisViews::*can)() const,
                                               void (TAnalysisViews::*toggle)(), bool TAnalysisViews::*shown) {
    actions.Bind(
        name, [v, can] { return (v->*can)(); },
        [v, toggle, shown, tabs, page] {
          (v->*toggle)();
          if (!tabs || !page) return;
          tabs->setTabVisible(tabs->indexOf(page), v->*shown);
          if (v->*shown) tabs->setCurrentWidget(page);
        });
    actions.BindChecked(name, [v, shown] { return v->*shown; });
  };
  tab("TabGraps", pages.Graphs, &TAnalysisViews::CanTabGraphs, &TAnalysisViews::TabGraphs, &TAnalysisViews::GraphsShown);
  tab("TabCard", pages.Card, &TAnalysisViews::CanTabCard, &TAnalysisViews::TabCard, &TAnalysisViews::CardShown);
  tab("TabLayout", pages.Layout, &TAnalysisViews::CanTabLayout, &TAnalysisViews::TabLayout, &TAnalysisViews::LayoutShown);

  actions.Bind("ViewColorCard", [v] { return v->CanViewColorCard(); }, [v] { v->ViewColorCard(); });
  actions.BindChecked("ViewColorCard", [v] { return v->ColorCard; });
  actions.Bind("ViewColorCardSequences", [v] { return v->CanViewColorCardSequences(); },
               [v] { v->ViewColorCardSequences(); });
  actions.BindChecked("ViewColorCardSequences", [v] { return v->ColorCardSequences; });
  actions.Bind("ViewShemaGradient", [v] { return v->CanViewShemaGradient(); }, [v] { v->ViewShemaGradient(); });
  actions.BindChecked("ViewShemaGradient", [v] { return v->LayoutGradient; });

  actions.Bind("AnalyzeRepeats", [v] { return v->CanAnalyzeRepeats(); }, [&s, window] { ShowRepeatsWindow(window, s); });
  actions.Bind(
      "TotalSumCombs", [v] { return v->CanTotalSumCombs(); },
      [&s, v, window] {
        if (auto dist = v->TotalSumCombs()) ShowGraphWindow(window, &s.Frm, SumDistributionChart(*dist));
      });

  if (TDrawsPage* draws = pages.Draws)
    actions.Bind(
        "DrawsInfo", [v, draws] { return v->CanDrawsInfo(draws->SelectedCount()); },
        [&s, draws, window] {
          const int row = draws->FirstSelectedRow();
          if (row < 0 || row >= s.Archive.Count()) return;
          ShowDetailsWindow(window, s, s.Views.DrawDetailsInput(s.DrawIndexOfRow(row)));
        });
  if (TCombsPage* combs = pages.Combs)
    actions.Bind(
        "CombsInfo", [&s, combs] { return s.CanCombsInfo(combs->CurrentRow()); },
        [&s, combs, window] {
          const int row = combs->CurrentRow();
          if (row < 0 || row >= s.CurrentCombs.Count()) return;
          ShowDetailsWindow(window, s, s.Views.CombDetailsInput(s.CurrentCombs[row]));
        });

  if (pages.Graphs) pages.Graphs->BindCommands(actions);
  if (pages.Card) pages.Card->BindCommands(actions);
  if (pages.Layout) pages.Layout->BindCommands(actions);
}

}  // namespace quintar::gui
