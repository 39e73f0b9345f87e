#include "combs/stakecommands.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSpinBox>

#include "app/actionregistry.h"
#include "app/session.h"
#include "combs/stakedialogs.h"
#include "combs/stakespage.h"

namespace quintar::gui {

namespace {

QAbstractItemView* CombsView(QWidget* window) { return window->findChild<QAbstractItemView*>("lvCombs"); }

int CurrentCombRow(QWidget* window) {
  QAbstractItemView* v = CombsView(window);
  return v && v->currentIndex().isValid() ? v->currentIndex().row() : -1;
}

TRowSelection CombsSelection(QWidget* window) {
  TRowSelection sel;
  QAbstractItemView* v = CombsView(window);
  if (!v || !v->selectionModel()) return sel;
  for (const QItemSelectionRange& r : v->selectionModel()->selection()) sel.push_back({r.top(), r.bottom()});
  return sel;
}

// The stake dialog for a combination row (-1: none); OK adds the stake.
void StakeDialog(Session& s, IHost& host, QWidget* window, int row) {
  const TStakeRec base = s.NewStake(row);
  TFormStake dlg(window, host, base);
  if (dlg.exec() != QDialog::Accepted) return;
  s.StakeAdd(dlg.Input(), base);
}

void MultiDialog(Session& s, IHost& host, QWidget* window, bool selected) {
  TFormMulti dlg(window, host, s.NewStakeDraw());
  if (dlg.exec() != QDialog::Accepted) return;
  const TRowSelection sel = CombsSelection(window);
  s.StakeAddMulti(selected ? &sel : nullptr, dlg.edDrawNumber->value(), dlg.edDrawsCount->value(),
                  dlg.edComment->text().toStdString());
  if (QAbstractItemView* v = CombsView(window))
    if (v->selectionModel()) v->selectionModel()->clearSelection();
}

}  // namespace

void BindStakeCommands(ActionRegistry& reg, Session& s, IHost& host, TStakesPage& page, QWidget* window) {
  reg.Bind("StakeAdd", [&s] { return s.CanStakeAdd(); },
           [&s, &host, window] { StakeDialog(s, host, window, CurrentCombRow(window)); });
  reg.Bind("StakeAddRandom", [&s] { return s.CanStakeAddRandom(); },
           [&s, &host, window] { StakeDialog(s, host, window, s.RandomCombRow()); });
  reg.Bind("StakeAddSelected",
           [&s, window] { return s.CanStakeAddSelected(SelectedRowCount(CombsSelection(window), s.CurrentCombs.Count())); },
           [&s, &host, window] { MultiDialog(s, host, window, true); });
  reg.Bind("StakeAddAll", [&s] { return s.CanStakeAddAll(); },
           [&s, &host, window] { MultiDialog(s, host, window, false); });
  reg.Bind("StakeDel", [&s, &page] { return s.CanStakeDel(page.FirstSelected()); },
           [&s, &page] { s.StakeDel(page.FirstSelected(), page.LastSelected()); });
  reg.Bind("StakeFilter", [&s] { return s.CanStakeFilter(); },
           [&s, window] {
             TFormStakeFilter dlg(window);
             if (dlg.exec() == QDialog::Accepted) s.StakeFilter(dlg.Condition(), dlg.Value());
           });
  reg.Bind("StakeClear", [&s] { return s.CanStakeClear(); }, [&s] { s.StakeClear(); });
  reg.Bind("StakesCheckManual", [&s] { return s.CanStakesCheckManual(); }, [&s] { s.StakesCheckManual(); });
  reg.Bind("LogStakes", [&s] { return s.CanLogStakes(); }, [&s] { s.LogStakes(); });
  reg.BindChecked("LogStakes", [&s] { return s.StakesLogEnabled; });
  reg.Bind("LogStakesDelete", [&s] { return s.CanLogStakesDelete(); }, [&s] { s.LogStakesDelete(); });
  reg.Bind("StakesScroll", [&s] { return s.CanStakesScroll(); }, [&s] { s.StakesScroll(); });
  reg.BindChecked("StakesScroll", [&s] { return s.StakesScrollEnabled; });
  reg.Bind("StakesCheckLine", [&s] { return s.CanStakesCheckLine(); }, [&s] { s.StakesCheckLine(); });
  reg.BindChecked("StakesCheckLine", [&s] { return s.StakesCheckOnLine; });
  QObject::connect(&page, &TStakesPage::SelectionChanged, &reg, [&reg] { reg.UpdateActions(); });
}

}  // namespace quintar::gui
