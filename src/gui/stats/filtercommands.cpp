#include "stats/filtercommands.h"

#include <QAbstractItemView>
#include <QAction>
#include <QItemSelectionModel>
#include <QWidget>

#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/session.h"
#include "stats/formfilterhelp.h"
#include "stats/formmanager.h"

namespace quintar::gui {

void BindFilterCommands(ActionRegistry& actions, Session& s, QWidget* window) {
  actions.Add(kStatFilterInclude, Tr(kFilterIncludeCaption), Tr(kStatFilterIncludeHint), false);
  actions.Add(kStatFilterExclude, Tr(kFilterExcludeCaption), Tr(kStatFilterExcludeHint), false);
  actions.Bind(kStatFilterInclude, [&s] { return s.CanStatFilter(); }, [&s] { s.StatFilter_Include(); });
  actions.Bind(kStatFilterExclude, [&s] { return s.CanStatFilter(); }, [&s] { s.StatFilter_Exclude(); });

  actions.Bind("FiltersManager", [&s] { return s.CanFiltersManager(); }, [&s, window] { RunFiltersManager(window, s); });
  actions.Bind("FiltersReset", [&s] { return s.CanFiltersReset(); }, [&s] { s.FiltersReset(); });
  actions.Bind("FiltersInfo", [&s] { return s.CanFiltersInfo(); },
               [&s, window] { ShowFilterHelp(window, s.FiltersInfo()); });

  // The table view hands its selection to the session first (it connected earlier), then the rules run.
  if (window)
    if (auto* view = window->findChild<QAbstractItemView*>("lvDrawsStat"))
      if (QItemSelectionModel* sel = view->selectionModel())
        QObject::connect(sel, &QItemSelectionModel::selectionChanged, &actions, [&actions] { actions.UpdateActions(); });
}

}  // namespace quintar::gui
