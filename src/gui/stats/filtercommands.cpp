#include "stats/filtercommands.h"

#include <QAction>
#include <memory>

#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/session.h"
#include "stats/formfilterhelp.h"
#include "stats/formmanager.h"

namespace quintar::gui {

void BindFilterCommands(ActionRegistry& actions, Session& s, QWidget* window,
                        std::function<TStatSelection()> selectedRows) {
  auto rows = std::make_shared<std::function<TStatSelection()>>(std::move(selectedRows));
  auto count = [rows] { return *rows ? static_cast<int>((*rows)().size()) : 0; };
  actions.Add(kStatFilterInclude, Tr(kFilterIncludeCaption), Tr(kStatFilterIncludeHint), false);
  actions.Add(kStatFilterExclude, Tr(kFilterExcludeCaption), Tr(kStatFilterExcludeHint), false);
  actions.Bind(
      kStatFilterInclude, [&s, count] { return s.CanStatFilter(count()); },
      [&s, rows] { s.StatFilter_Include(*rows ? (*rows)() : TStatSelection{}); });
  actions.Bind(
      kStatFilterExclude, [&s, count] { return s.CanStatFilter(count()); },
      [&s, rows] { s.StatFilter_Exclude(*rows ? (*rows)() : TStatSelection{}); });

  actions.Bind("FiltersManager", [&s] { return s.CanFiltersManager(); }, [&s, window] { RunFiltersManager(window, s); });
  actions.Bind("FiltersReset", [&s] { return s.CanFiltersReset(); }, [&s] { s.FiltersReset(); });
  actions.Bind("FiltersInfo", [&s] { return s.CanFiltersInfo(); },
               [&s, window] { ShowFilterHelp(window, s.FiltersInfo()); });
}

}  // namespace quintar::gui
