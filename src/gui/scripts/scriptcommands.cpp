#include "scripts/scriptcommands.h"

#include <QAction>
#include <QApplication>
#include <QSpinBox>
#include <QTableView>

#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/qthost.h"
#include "app/session.h"
#include "combs/filteredit.h"
#include "scripts/formscriptline.h"
#include "scripts/scriptfile.h"
#include "scripts/scriptline.h"
#include "scripts/scriptpage.h"
#include "stats/formfilter.h"

namespace quintar::gui {

int StatDrawsCount(QWidget* window, Session& s) {
  if (window)
    if (auto* ed = window->findChild<QSpinBox*>("edDrawsStatLen")) return ed->value();
  return s.DrawsStat.DrawsStatLen;
}

bool EditScriptLine(QWidget* parent, Session& s, IHost& host, const QString& caption, int32_t defaultDraws,
                    std::string& line) {
  TFilterEditorSource source;
  source.Stats = &s.Stats;
  source.Chooser = &s.DrawsStatChooser;
  source.DrawsCount = StatDrawsCount(parent ? parent->window() : nullptr, s);
  source.Weights = s.Stats.Config.Weights;
  auto editFilter = [&](std::string& text) {
    TFilterItem item = TextToFilterItem(text, s.StatCodes());
    QWidget* over = QApplication::activeModalWidget();
    if (!EditFilterItem(over ? over : parent, host, source, item)) return false;
    text = FilterItemToText(item, s.StatCodes());
    return true;
  };
  TFormScriptLine dlg(parent, caption, defaultDraws, line, editFilter);
  if (dlg.exec() != QDialog::Accepted) return false;
  line = dlg.Line();
  return true;
}

void BindScriptCommands(ActionRegistry& actions, Session& s, QtHost& host, TScriptPage& page, QWidget* window) {
  // The script status bar follows the session while the page exists.
  host.setScriptPanel = [&page](int i, const QString& t) { page.SetPanel(i, t); };
  QObject::connect(&page, &QObject::destroyed, [&host] { host.setScriptPanel = nullptr; });

  actions.Bind(
      "ScriptOpen", [&s] { return s.CanScriptOpen(); },
      [&s, &page, window] {
        const QString file = ChooseOpenFile(window, kScriptFileFilter);
        // Another script's lines: the old selection means nothing in them.
        if (!file.isEmpty() && s.ScriptOpen(S(file))) page.ClearSelection();
      });

  actions.Bind(
      "ScriptSave", [&s] { return s.CanScriptSave(); },
      [&s, window] {
        const QString file = ChooseSaveFile(window, kScriptFileFilter, kScriptFileExt);
        if (!file.isEmpty()) s.ScriptSave(S(file));
      });

  actions.Bind(
      "ScriptLoad", [&s] { return s.CanScriptLoad(); },
      [&s, window] {
        const QString file = ChooseOpenFile(window, kScriptFileFilter);
        if (!file.isEmpty()) s.ScriptLoad(S(file));
      });

  actions.Bind(
      "ScriptAdd", [&s] { return s.CanScriptAdd(); },
      [&s, &host, &page, window] {
        std::string line;
        if (!EditScriptLine(window, s, host, Tr(kNewLineCaption), s.CombsExclude, line)) return;
        page.SelectOnly(s.ScriptAdd(line));
      });

  actions.Bind(
      "ScriptEmpty", [&s] { return s.CanScriptEmpty(); }, [&s, &page] { page.SelectOnly(s.ScriptEmpty()); });

  actions.Bind(
      "ScriptClone", [&s, &page] { return s.CanScriptClone(page.FirstSelectedRow()); },
      [&s, &host, &page, window] {
        const int row = page.FirstSelectedRow();
        if (row < 0 || row >= static_cast<int>(s.ScriptLines.size())) return;
        std::string line = s.ScriptLines[static_cast<size_t>(row)];
        if (!EditScriptLine(window, s, host, Tr(kNewLineCaption), s.CombsExclude, line)) return;
        page.SelectOnly(s.ScriptClone(line));
      });

  actions.Bind(
      "ScriptEdit", [&s, &page] { return s.CanScriptEdit(page.FirstSelectedRow()); },
      [&s, &host, &page, window] {
        const int row = page.FirstSelectedRow();
        if (row < 0 || row >= static_cast<int>(s.ScriptLines.size())) return;
        std::string line = s.ScriptLines[static_cast<size_t>(row)];
        if (!EditScriptLine(window, s, host, Tr(kEditLineCaption), s.CombsExclude, line)) return;
        s.ScriptEdit(row, line);
      });

  actions.Bind(
      "ScriptDel", [&s, &page] { return s.CanScriptDel(page.SelectedCount()); },
      [&s, &page] {
        if (s.ScriptDel(page.SelectedRows())) page.ClearSelection();
      });

  actions.Bind(
      "ScriptClr", [&s] { return s.CanScriptClr(); },
      [&s, &page] {
        if (s.ScriptClr()) page.ClearSelection();
      });

  actions.Bind(
      "ScriptUp", [&s, &page] { return s.CanScriptUp(page.FirstSelectedRow()); },
      [&s, &page] { page.SelectOnly(s.ScriptUp(page.FirstSelectedRow())); });

  actions.Bind(
      "ScriptDown", [&s, &page] { return s.CanScriptDown(page.FirstSelectedRow()); },
      [&s, &page] { page.SelectOnly(s.ScriptDown(page.FirstSelectedRow())); });

  // The list's own menu.
  QTableView* lv = page.lvScript;
  lv->setContextMenuPolicy(Qt::ActionsContextMenu);
  for (const char* name : {"ScriptAdd", "ScriptEmpty", "ScriptLoad", "ScriptClone", "ScriptEdit", "ScriptDel",
                           "ScriptClr", "-", "ScriptUp", "ScriptDown", "-", "ScriptOpen", "ScriptSave"}) {
    if (std::string(name) == "-") {
      auto* sep = new QAction(lv);
      sep->setSeparator(true);
      lv->addAction(sep);
    } else if (QAction* a = actions.Action(name)) {
      lv->addAction(a);
    }
  }

  QObject::connect(&page, &TScriptPage::SelectionChanged, &actions, [&actions] { actions.UpdateActions(); });
  // A double click edits the line when that command is available.
  QObject::connect(&page, &TScriptPage::RowActivated, &actions, [&actions] { actions.Execute("ScriptEdit"); });
}

}  // namespace quintar::gui
