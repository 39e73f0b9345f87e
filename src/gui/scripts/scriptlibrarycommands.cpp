#include "scripts/scriptlibrarycommands.h"

#include <QAction>
#include <QComboBox>
#include <QInputDialog>
#include <QMenu>
#include <QToolBar>

#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/session.h"
#include "online/cataloguelist.h"
#include "scripts/formscrpublic.h"
#include "scripts/scriptlibrarypanel.h"
#include "scripts/scriptpage.h"

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

}  // namespace

void BindScriptLibraryCommands(ActionRegistry& actions, Session& s, TScriptPage& page, QWidget* window,
                               std::function<std::vector<int>()> languages) {
  TScriptLibrary& lib = s.ScriptLibrary;
  TScriptLibraryPanel& panel = *page.pnlOnlineScripts;
  auto selected = [&panel] { return panel.SelectedRow(); };

  actions.Bind("ScriptLibrary", [&lib] { return lib.CanToggle(); }, [&lib] { lib.Toggle(); });
  actions.BindChecked("ScriptLibrary", [&lib] { return lib.PanelShown; });

  actions.Bind(
      "ScriptLibraryRefresh", [&lib] { return lib.CanRefresh(); },
      [&lib, &panel] { panel.SelectOnly(lib.Refresh(panel.SelectedId())); });

  actions.Bind(
      "ScriptLibraryDownload", [&lib, selected] { return lib.CanDownload(selected()); },
      [&lib, selected] { lib.Download(selected()); });

  actions.Bind(
      "ScriptLibraryUpload", [&lib] { return lib.CanUpload(); },
      [&s, &lib, &panel, window, languages] {
        TFormScrPublic dlg(window, lib, lib.NewProperties(), languages(), false);
        if (dlg.exec() != QDialog::Accepted) return;
        const int row = lib.Publish(dlg.Result(), s.ScriptLines);
        if (row >= 0) panel.SelectOnly(row);
      });

  actions.Bind(
      "ScriptLibraryReplace", [&lib, selected] { return lib.CanReplace(selected()); },
      [&s, &lib, &panel, selected, window, languages] {
        const int row = selected();
        TFormScrPublic dlg(window, lib, lib.RowProperties(row), languages(), false);
        if (dlg.exec() != QDialog::Accepted) return;
        if (lib.Replace(row, dlg.Result(), s.ScriptLines)) panel.SelectOnly(row);
      });

  actions.Bind(
      "ScriptLibraryDelete", [&lib, selected] { return lib.CanDelete(selected()); },
      [&lib, selected] { lib.Delete(selected()); });

  actions.Bind(
      "ScriptLibraryView", [&lib, selected] { return lib.CanView(selected()); },
      [&lib, selected, window, languages] {
        TFormScrPublic dlg(window, lib, lib.RowProperties(selected()), languages(), true);
        dlg.exec();
      });

  actions.Bind(
      "ScriptLibraryRates", [&lib, selected] { return lib.CanView(selected()); },
      [&s, &lib, selected, window] {
        auto rates = lib.Rates(selected());
        if (!rates) return;
        TFormScrRates dlg(window, s.Frm, *rates);
        dlg.exec();
      });

  for (int value = 1; value <= 5; ++value) {
    const std::string name = "ScriptLibraryRate" + std::to_string(value);
    actions.Bind(
        name, [&lib, selected] { return lib.CanView(selected()); },
        [&lib, &panel, selected, window, value] {
          const int row = selected();
          bool ok = false;
          const QString comment = QInputDialog::getText(window, Tr(kRateCommentCaption), Tr(kRateCommentPrompt),
                                                        QLineEdit::Normal, QString(), &ok);
          if (!ok) return;
          const int after = lib.Rate(row, value, S(comment));
          if (after >= -1) panel.SelectOnly(after);
        });
    actions.BindChecked(name, [&lib, selected, value] { return lib.RateChecked(selected(), value); });
  }
  actions.Bind(
      "ScriptLibraryHide", [&lib, selected] { return lib.CanView(selected()); },
      [&lib, &panel, selected] {
        const int after = lib.Rate(selected(), -1, "");
        if (after >= -1) panel.SelectOnly(after);
      });
  actions.BindChecked("ScriptLibraryHide", [&lib, selected] { return lib.RateChecked(selected(), -1); });
  actions.Bind(
      "ScriptLibraryRate0", [&lib, selected] { return lib.CanRate0(selected()); },
      [&lib, &panel, selected] {
        const int after = lib.Rate(selected(), 0, "");
        if (after >= -1) panel.SelectOnly(after);
      });

  // The panel's toolbar: the filter list, then the commands.
  panel.tbOnlineScripts->addWidget(panel.cbOnlineScriptsFilter);
  panel.tbOnlineScripts->addSeparator();
  for (const char* name : {"ScriptLibraryRefresh", "ScriptLibraryDownload", "ScriptLibraryUpload", "ScriptLibraryReplace",
                           "ScriptLibraryDelete", "ScriptLibraryView", "ScriptLibraryRates"})
    if (QAction* a = actions.Action(name)) panel.tbOnlineScripts->addAction(a);

  // The list's own menu; the ratings go under "Оценить".
  TCatalogueList* lv = panel.lvOnlineScripts;
  lv->setContextMenuPolicy(Qt::ActionsContextMenu);
  AddActions(lv, actions,
             {"ScriptLibraryRefresh", "-", "ScriptLibraryDownload", "ScriptLibraryUpload", "ScriptLibraryReplace",
              "ScriptLibraryDelete", "-", "ScriptLibraryView", "ScriptLibraryRates", "-"});
  auto* rate = new QMenu(Tr("Оценить"), lv);
  rate->setObjectName("pmOnlineScriptsRate");
  AddActions(rate, actions,
             {"ScriptLibraryRate1", "ScriptLibraryRate2", "ScriptLibraryRate3", "ScriptLibraryRate4",
              "ScriptLibraryRate5", "-", "ScriptLibraryHide", "ScriptLibraryRate0"});
  lv->addAction(rate->menuAction());

  QObject::connect(&panel, &TScriptLibraryPanel::SelectionChanged, &actions, [&actions] { actions.UpdateActions(); });
  QObject::connect(&panel, &TScriptLibraryPanel::RowActivated, &actions,
                   [&actions] { actions.Execute("ScriptLibraryView"); });
  QObject::connect(&panel, &TScriptLibraryPanel::FilterChosen, &actions, [&lib, &panel, &actions](int entry) {
    if (!lib.CanRefresh()) {
      panel.cbOnlineScriptsFilter->setCurrentIndex(lib.FilterEntry);
      return;
    }
    panel.SelectOnly(lib.ChangeFilter(entry, panel.SelectedId()));
    actions.UpdateActions();
  });
}

}  // namespace quintar::gui
