#include "combs/tablecommands.h"

#include <QAbstractItemView>
#include <QAction>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QShortcut>
#include <QTableView>
#include <string>

#include "app/actionregistry.h"
#include "app/session.h"
#include "combs/formtable.h"
#include "combs/stakedialogs.h"
#include "combs/tablespage.h"
#include "scripts/runcommands.h"

namespace quintar::gui {

namespace {

TRowSelection CombsSelection(QWidget* window) {
  TRowSelection sel;
  auto* v = window->findChild<QAbstractItemView*>("lvCombs");
  if (!v || !v->selectionModel()) return sel;
  for (const QItemSelectionRange& r : v->selectionModel()->selection()) sel.push_back({r.top(), r.bottom()});
  return sel;
}

void AddTables(Session& s, IHost& host, QWidget* window) {
  const TRowSelection sel = CombsSelection(window);
  const TTableRec base = s.Tables.NewTable(sel);
  TFormTable dlg(window, host, base, base.Stakes, s.Tables.Rows());
  if (dlg.exec() != QDialog::Accepted) return;
  s.Tables.Add(dlg.Input(), sel);
}

void StakeTable(Session& s, IHost& host, QWidget* window, int row) {
  TTableStakeDraft draft;
  const std::string error = s.Tables.PrepareStake(row, s.DrawsOffset(), draft);
  if (!error.empty()) {
    s.ShowError(error);
    return;
  }
  TFormStake dlg(window, host, draft.Stake);
  if (dlg.exec() != QDialog::Accepted) return;  // the table stays as it was
  s.Tables.StakeAdd(row, draft, dlg.Input());
}

}  // namespace

void BindTableCommands(ActionRegistry& reg, Session& s, IHost& host, TTablesPage& page, QWidget* window,
                       std::function<void(bool shown)> showPage) {
  reg.Bind("TabTables", [&s] { return s.CanTabTables(); },
           [&s, showPage = std::move(showPage)] {
             s.Tables.TabTables();
             if (showPage) showPage(s.Tables.TabShown());
           });
  reg.BindChecked("TabTables", [&s] { return s.Tables.TabShown(); });
  reg.Bind("TablesAdd", [&s] { return s.CanTablesAdd(); }, [&s, &host, window] { AddTables(s, host, window); });
  reg.Bind("TablesDel", [&s, &page] { return s.CanTablesDel(page.SelectedCount()); },
           [&s, &page] {
             if (s.Tables.Delete(page.SelectedRows(), true)) page.ClearSelection();
           });
  reg.Bind("TablesStakeAdd", [&s, &page] { return s.CanTablesStakeAdd(page.CurrentRow()); },
           [&s, &host, &page, window] { StakeTable(s, host, window, page.CurrentRow()); });
  reg.Bind("TablesStakeTest", [&s, &page] { return s.CanTablesStakeTest(page.SelectedCount()); },
           [&s, &page, window] {
             const int tests = AskScriptTests(window, s.Tables.TestsMax(), "TFormTestCnt", "edTestCount");
             if (tests > 0) s.Tables.StakeTest(page.SelectedRows(), tests);
           });

  // The list's own menu and keys: Insert adds, Delete deletes, Enter or a double click stakes the row.
  QTableView* lv = page.lvTables;
  lv->setContextMenuPolicy(Qt::ActionsContextMenu);
  for (const char* name : {"TablesAdd", "TablesDel", "-", "TablesStakeAdd", "TablesStakeTest"}) {
    if (std::string(name) == "-") {
      auto* sep = new QAction(lv);
      sep->setSeparator(true);
      lv->addAction(sep);
    } else if (QAction* a = reg.Action(name)) {
      lv->addAction(a);
    }
  }
  const struct {
    QKeySequence key;
    const char* action;
  } keys[] = {{QKeySequence(Qt::Key_Insert), "TablesAdd"},
              {QKeySequence(Qt::Key_Delete), "TablesDel"},
              {QKeySequence(Qt::Key_Return), "TablesStakeAdd"},
              {QKeySequence(Qt::Key_Enter), "TablesStakeAdd"}};
  for (const auto& k : keys) {
    auto* sc = new QShortcut(k.key, lv);
    sc->setContext(Qt::WidgetShortcut);
    const char* action = k.action;
    QObject::connect(sc, &QShortcut::activated, &reg, [&reg, action] { reg.Execute(action); });
  }
  QObject::connect(&page, &TTablesPage::SelectionChanged, &reg, [&reg] { reg.UpdateActions(); });
  QObject::connect(&page, &TTablesPage::RowActivated, &reg, [&reg] { reg.Execute("TablesStakeAdd"); });
}

}  // namespace quintar::gui
