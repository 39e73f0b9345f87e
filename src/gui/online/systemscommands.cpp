#include "online/systemscommands.h"

#include <QAction>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>

#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/session.h"
#include "combs/stakedialogs.h"
#include "online/cataloguelist.h"
#include "online/formsystem.h"
#include "online/systemspage.h"

namespace quintar::gui {

namespace {

void AddActions(QWidget* w, ActionRegistry& actions, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (std::string(name) == "-") {
      auto* sep = new QAction(w);
      sep->setSeparator(true);
      w->addAction(sep);
    } else if (QAction* a = actions.Action(name)) {
      w->addAction(a);
    }
  }
}

// The multi-stake dialog with the system's draw, number of draws and comment.
bool MultiStakeDialog(QWidget* window, IHost& host, int& draw, int& draws, std::string& comment) {
  TFormMulti dlg(window, host, draw);
  dlg.edDrawsCount->setValue(draws);
  dlg.edComment->setText(Q(comment));
  if (dlg.exec() != QDialog::Accepted) return false;
  draw = dlg.edDrawNumber->value();
  draws = dlg.edDrawsCount->value();
  comment = S(dlg.edComment->text());
  return true;
}

}  // namespace

void BindSystemsCommands(ActionRegistry& actions, Session& s, IHost& host, TSystemsPage& page, QWidget* window) {
  TSystemsCatalogue& cat = s.Systems;
  auto selected = [&page] { return page.SelectedRow(); };

  actions.Bind("SystemsOn", [&cat] { return cat.CanOn(); },
               [&cat, &page, window] {
                 cat.On();
                 if (cat.Enabled)
                   if (auto* pc = window->findChild<QTabWidget*>("pcMain")) pc->setCurrentWidget(&page);
               });
  actions.BindChecked("SystemsOn", [&cat] { return cat.Enabled; });

  actions.Bind("SystemsRefresh", [&cat] { return cat.CanRefresh(); },
               [&cat, &page] { page.SelectOnly(cat.Refresh(page.SelectedId())); });

  actions.Bind("SystemsDownload", [&cat, &page] { return cat.CanDownload(static_cast<int>(page.SelectedRows().size())); },
               [&cat, &page] {
                 const std::vector<int> rows = page.SelectedRows();
                 cat.DownloadRows(rows);
                 // A downloaded row leaves the selection unless it is the list's current row.
                 for (int row : rows)
                   if (cat.Has(row) && cat.Rows[size_t(row)].Downloaded && row != page.lvSystems->CurrentRow())
                     page.lvSystems->Deselect(row);
               });

  actions.Bind("SystemsAdd", [&cat] { return cat.CanAdd(); },
               [&cat, &host, &page, window] {
                 TFormSystem dlg(window, host, cat.NewData(), true);
                 if (dlg.exec() != QDialog::Accepted) return;
                 const int row = cat.Add(dlg.Result());
                 if (row >= 0) page.SelectOnly(row);
               });

  actions.Bind("SystemsProp", [&cat, selected] { return cat.CanProp(selected()); },
               [&cat, &host, &page, selected, window] {
                 const int row = selected();
                 const tSystemData data = cat.PropData(row);
                 TFormSystem dlg(window, host, data, cat.Own(data));
                 if (dlg.exec() != QDialog::Accepted) return;
                 if (cat.SaveProp(row, dlg.Result())) page.SelectOnly(row);
               });

  actions.Bind("SystemsDel", [&cat, selected] { return cat.CanDel(selected()); },
               [&cat, selected] { cat.Del(selected()); });

  for (const bool combined : {false, true}) {
    actions.Bind(combined ? "SystemStakeFilter" : "SystemStakeAll", [&cat] { return cat.CanStake(); },
                 [&cat, &host, window, combined] {
                   cat.StakeSystem(combined, [&](int& draw, int& draws, std::string& comment) {
                     return MultiStakeDialog(window, host, draw, draws, comment);
                   });
                 });
  }

  for (const char* name : {"SystemsDownload", "SystemsRefresh", "SystemsAdd", "SystemsProp", "SystemsDel"})
    if (QAction* a = actions.Action(name)) page.tbSystems->addAction(a);
  page.lvSystems->setContextMenuPolicy(Qt::ActionsContextMenu);
  AddActions(page.lvSystems, actions, {"SystemsDownload", "SystemsRefresh", "-", "SystemsAdd", "SystemsProp", "SystemsDel"});
  if (auto* lv = window->findChild<QTableView*>("lvCombs"))
    AddActions(lv, actions, {"-", "SystemStakeFilter", "SystemStakeAll"});
  if (auto* grid = window->findChild<QTableView*>("sgStakes")) {
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    AddActions(grid, actions,
               {"StakeAdd", "StakeAddRandom", "StakeAddSelected", "StakeAddAll", "-", "SystemStakeFilter",
                "SystemStakeAll", "-", "StakeDel", "StakeFilter", "StakeClear", "-", "StakesCheckManual"});
  }

  QObject::connect(&page, &TSystemsPage::SelectionChanged, &actions, [&actions] { actions.UpdateActions(); });
  QObject::connect(&page, &TSystemsPage::RowActivated, &actions, [&actions] { actions.Execute("SystemsProp"); });
}

}  // namespace quintar::gui
