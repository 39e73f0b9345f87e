#include "scripts/runcommands.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "analysis/formreport.h"
#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/session.h"
#include "scripts/scriptrun.h"

namespace quintar::gui {

int AskScriptTests(QWidget* parent, int maxTests, const char* dialogName, const char* fieldName) {
  QDialog dlg(parent);
  dlg.setObjectName(dialogName);
  dlg.setWindowTitle(Tr(kTestsCaption));
  auto* layout = new QVBoxLayout(&dlg);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(Tr(kTestsLabel), &dlg);
  auto* edit = new QSpinBox(&dlg);
  edit->setObjectName(fieldName);
  edit->setRange(1, std::max(1, maxTests));
  edit->setValue(std::min(kTestsDefault, std::max(1, maxTests)));
  edit->setToolTip(Tr(kTestsHint));
  label->setBuddy(edit);
  row->addWidget(label);
  row->addWidget(edit);
  layout->addLayout(row);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
  layout->addWidget(buttons);
  edit->selectAll();
  if (dlg.exec() != QDialog::Accepted) return 0;
  return edit->value();
}

namespace {

// While a script runs, the tabs "Архив тиражей", "Комбинации" and "Статистика" and the script list are
// disabled, so that nobody changes what the run works on.
class TViewsLock {
 public:
  explicit TViewsLock(QWidget* window) {
    if (!window) return;
    for (const char* name : {"tsDraws", "tsCombs", "tsDrawsStat", "lvScript"})
      if (auto* w = window->findChild<QWidget*>(name); w && w->isEnabled()) {
        w->setEnabled(false);
        locked_.push_back(w);
      }
  }
  ~TViewsLock() {
    for (QWidget* w : locked_)
      if (w) w->setEnabled(true);
  }
  TViewsLock(const TViewsLock&) = delete;
  TViewsLock& operator=(const TViewsLock&) = delete;

 private:
  std::vector<QPointer<QWidget>> locked_;
};

}  // namespace

void BindScriptRunCommands(ActionRegistry& actions, Session& s, QWidget* window) {
  actions.Bind(
      "ScriptRun", [&s] { return s.CanScriptRun(); },
      [&s, window] {
        TViewsLock lock(window);
        s.ScriptRun();
      });
  actions.Bind(
      "ScriptTest", [&s] { return s.CanScriptTest(); },
      [&s, window] {
        const int tests = AskScriptTests(window, s.ScriptTestsMax());
        if (tests <= 0) return;
        const int first = s.StakesOpen() ? s.Stakes.Count() : 0;
        {
          TViewsLock lock(window);
          s.ScriptTest(tests);
        }
        // The test's checked stakes against chance, in a window of their own.
        if (!s.StakesOpen()) return;
        const TRatingRec row = StakesRow(s.Stakes, first, kScriptTestRowName);
        if (row.Stakes > 0) ShowSignificance(window, s.Host(), {RowSignificance(row, s.StakePrices())});
      });
  // Enabled while the script runs (the registry lets it through the busy state) until it was used.
  actions.Bind("ScriptStop", [&s] { return s.CanScriptStop(); }, [&s] { s.ScriptStop(); });
  actions.Bind("LogToggle", [&s] { return s.CanLogToggle(); }, [&s] { s.LogToggle(); });
  actions.BindChecked("LogToggle", [&s] { return s.LogToggleChecked(); });
  actions.Bind("LogsDelete", [&s] { return s.CanLogsDelete(); }, [&s] { s.LogsDelete(); });
}

}  // namespace quintar::gui
