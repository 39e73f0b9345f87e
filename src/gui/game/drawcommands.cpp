#include "game/drawcommands.h"

#include <QAction>

#include "analysis/formreport.h"
#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/session.h"
#include "game/drawspage.h"
#include "game/formdraw.h"

namespace quintar::gui {

void BindDrawCommands(ActionRegistry& actions, Session& s, IHost& host, TDrawsPage& page, QWidget* window) {
  actions.Bind(
      "DrawsAdd", [&s] { return s.CanDrawsAdd(); },
      [&s, &host, window] {
        TFormDraw dlg(window, host, Tr(kDrawDialogTitle), s.NewDraw(), true,
                      [&s](int number) { return s.DrawNumberUsed(number); });
        if (dlg.exec() == QDialog::Accepted) s.DrawsAdd(dlg.Draw());
      });

  actions.Bind(
      "DrawsEdit", [&s, &page] { return s.CanDrawsEdit(page.SelectedCount()); },
      [&s, &host, &page, window] {
        const int row = page.FirstSelectedRow();
        if (row < 0 || row >= s.Archive.Count()) return;
        const int index = s.DrawIndexOfRow(row);
        TFormDraw dlg(window, host, Tr(kDrawDialogTitle), s.Archive[index], true,
                      [&s, index](int number) { return s.DrawNumberUsed(number, index); });
        if (dlg.exec() == QDialog::Accepted) s.DrawsEdit(row, dlg.Draw());
      });

  actions.Bind(
      "DrawsDel", [&s, &page] { return s.CanDrawsDel(page.SelectedCount()); },
      [&s, &page] {
        if (s.DrawsDel(page.SelectedRows())) page.ClearSelection();
      });

  actions.Bind(
      "DrawsRandomness", [&s] { return s.IsIdle() && !s.Archive.Empty(); },
      [&s, window] { ShowRandomness(window, s.Host(), ArchiveRandomness(s.Archive.Draws(), s.LastIndex(), 0)); });

  actions.Bind(
      "DrawsImport", [&s] { return s.CanDrawsImport(); },
      [&s, window] {
        QString file = ChooseOpenFile(window, kDrawFilesFilter);
        if (!file.isEmpty()) s.DrawsImport(S(file));
      });

  actions.Bind(
      "DrawsExport", [&s] { return s.CanDrawsExport(); },
      [&s, window] {
        QString file = ChooseSaveFile(window, kDrawFilesFilter, "csv");
        if (!file.isEmpty()) s.DrawsExport(S(file));
      });

  actions.Bind("DrawsSorted", [&s] { return s.CanDrawsSorted(); }, [&s] { s.DrawsSorted(); });
  actions.BindChecked("DrawsSorted", [&s] { return s.SortedView; });

  actions.Bind("ViewColorDraws", [&s] { return s.CanViewColorDraws(); }, [&s] { s.ViewColorDraws(); });
  actions.BindChecked("ViewColorDraws", [&s] { return s.ColorDraws; });

  QObject::connect(&page, &TDrawsPage::SelectionChanged, &actions, [&actions] { actions.UpdateActions(); });
  // A double click shows the draw's details when that command is available.
  QObject::connect(&page, &TDrawsPage::RowActivated, &actions, [&actions] { actions.Execute("DrawsInfo"); });
}

}  // namespace quintar::gui
