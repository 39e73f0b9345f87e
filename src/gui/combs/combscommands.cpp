#include "combs/combscommands.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <string>

#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/session.h"
#include "combs/combslist.h"
#include "combs/combspage.h"
#include "combs/formgencombs.h"

namespace quintar::gui {

namespace {

bool ClipboardHasText() {
  const QMimeData* d = QGuiApplication::clipboard()->mimeData();
  return d && d->hasText() && !d->text().isEmpty();
}

// Whether the clipboard holds text, asked once per clipboard change: enabling rules run often and asking
// another program's clipboard each time would be slow.
bool clipboardText = false;

}  // namespace

void BindCombsCommands(ActionRegistry& actions, Session& s, TCombsPage& page, QWidget* window) {
  actions.Bind(
      "CombsGen", [&s] { return s.CanCombsGen(); },
      [&s, window] {
        TFormGenCombs dlg(window, s.Stats.CombsGen);
        if (dlg.exec() != QDialog::Accepted) return;
        const TCombsGenParams params = dlg.Params();
        if (dlg.SaveAsDefaults()) {
          s.Stats.CombsGen = params;
          s.WriteCombsGenSettings();
        }
        s.CombsGen(params);
      });

  actions.Bind(
      "CombsDelExists", [&s, &page] { return s.CanCombsDelExists(page.edCombsExclude->value()); },
      [&s, &page] { s.CombsDelExists(page.edCombsExclude->value()); });

  actions.Bind(
      "CombsOpen", [&s] { return s.CanCombsOpen(); },
      [&s, window] {
        const QString file = ChooseOpenFile(window, kCombsFileFilter, kCombsFileExt);
        if (!file.isEmpty()) s.CombsOpen(S(file));
      });

  actions.Bind(
      "CombsSave", [&s] { return s.CanCombsSave(); },
      [&s, window] {
        const QString file = ChooseSaveFile(window, kCombsFileFilter, kCombsFileExt);
        if (!file.isEmpty()) s.CombsSave(S(file));
      });

  actions.Bind(
      "CombsCopy", [&s] { return s.CanCombsCopy(); },
      [&s, &page] {
        const std::string text = s.CombsCopy(page.Selection());
        QGuiApplication::clipboard()->setText(Q(text));
      });

  actions.Bind(
      "CombsPaste", [&s] { return s.CanCombsPaste(clipboardText); },
      [&s] { s.CombsPaste(S(QGuiApplication::clipboard()->text())); });

  actions.Bind(
      "CombsSelectAll", [&s] { return s.CanCombsSelectAll(); },
      [&s, &page] {
        const TRowSelection sel = s.CombsSelectAll();
        page.Select(sel);
      });

  actions.Bind("CombsUndo", [&s] { return s.CanCombsUndo(); }, [&s] { s.CombsUndo(); });

  actions.Bind(
      "CombsDelSelected", [&s, &page] { return s.CanCombsDelSelected(page.SelectedCount()); },
      [&s, &page] {
        s.CombsDelSelected(page.Selection());
        page.ClearSelection();
      });

  actions.Bind("CombsCheckNums", [&s] { return s.CanCombsCheckNums(); }, [&s] { s.CombsCheckNums(); });

  actions.Bind(
      "CombsFindInDraws", [&s, &page] { return s.CanCombsFindInDraws(page.CurrentRow()); },
      [&s, &page] { s.CombsFindInDraws(page.CurrentRow()); });

  actions.Bind("ViewColorCombs", [&s] { return s.CanViewColorCombs(); }, [&s] { s.ViewColorCombs(); });
  actions.BindChecked("ViewColorCombs", [&s] { return s.ColorCombs; });

  // The list's own menu.
  QTableView* lv = page.lvCombs;
  lv->setContextMenuPolicy(Qt::ActionsContextMenu);
  for (const char* name : {"CombsInfo", "CombsCheckNums", "CombsFindInDraws", "-", "CombsGen", "CombsDelExists",
                           "CombsDelSelected", "-", "CombsCopy", "CombsPaste", "CombsSelectAll", "-", "CombsOpen",
                           "CombsSave", "CombsUndo", "-", "ViewColorCombs"}) {
    if (std::string(name) == "-") {
      auto* sep = new QAction(lv);
      sep->setSeparator(true);
      lv->addAction(sep);
    } else if (QAction* a = actions.Action(name)) {
      lv->addAction(a);
    }
  }

  // The button under the field follows its command.
  QAction* delExists = actions.Action("CombsDelExists");
  QPushButton* btn = page.btnCombsDelExists;
  btn->setToolTip(delExists->statusTip());
  btn->setStatusTip(delExists->statusTip());
  btn->setEnabled(delExists->isEnabled());
  QObject::connect(delExists, &QAction::changed, btn, [btn, delExists] { btn->setEnabled(delExists->isEnabled()); });
  QObject::connect(btn, &QPushButton::clicked, &actions, [&actions] { actions.Execute("CombsDelExists"); });

  // Enter in the field runs the command when it is enabled and the value is within the field's bounds.
  QObject::connect(&page, &TCombsPage::ExcludeEntered, &actions, [&s, &actions](const QString& text) {
    if (!s.CombsExcludeEnter(S(text))) return;
    actions.UpdateActions();
    emit actions.CommandDone("CombsDelExists");
  });
  QObject::connect(&page, &TCombsPage::ExcludeChanged, &actions, [&actions] { actions.UpdateActions(); });
  QObject::connect(&page, &TCombsPage::SelectionChanged, &actions, [&actions] { actions.UpdateActions(); });
  QObject::connect(&page, &TCombsPage::RowActivated, &actions, [&actions] { actions.Execute("StakeAdd"); });
  clipboardText = ClipboardHasText();
  QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &actions, [&actions] {
    clipboardText = ClipboardHasText();
    actions.UpdateActions();
  });
}

}  // namespace quintar::gui
