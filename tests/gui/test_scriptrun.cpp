// Running the script in the desktop program: the test command with its count question makes the same
// stakes as the command-line program; the run log switch.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "app/actionregistry.h"
#include "guitestutil.h"
#include "scripts/runcommands.h"
#include "combs/stakesfile.h"
#include "util/cp1251.h"
#include "util/safefile.h"

#include <cstring>

using namespace quintar;
using namespace quintar::gui;
using quintar::test::AnswerBox;
using quintar::test::DesktopFixture;
using quintar::test::ModalDriver;
using quintar::test::RunCli;
using quintar::test::SharedDataFile;
using quintar::test::TempDir;

namespace {

const char* const kLine = "EXCL:2#FIRST|TMD1#NUMS:30#LMV:8#SF:1|TSF1#NUMS:20#LNO:#ST:3| | | | | |гуи";

// Answers the test count question with a count.
std::function<bool(QWidget*)> AnswerTests(int count, int* maxSeen, int* initialSeen) {
  return [=](QWidget* w) {
    if (w->objectName() != "FormTests") return false;
    auto* edit = w->findChild<QSpinBox*>("edTests");
    if (!edit) return false;
    *maxSeen = edit->maximum();
    *initialSeen = edit->value();
    edit->setValue(count);
    w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    return true;
  };
}

// The records of a stakes file as text: draw, numbers, sample size, matches and comment per line.
std::string StakesText(const std::string& bytes) {
  std::string out;
  for (size_t at = 0; at + sizeof(TStakeRec) <= bytes.size(); at += sizeof(TStakeRec)) {
    TStakeRec r;
    std::memcpy(&r, bytes.data() + at, sizeof r);
    out += std::to_string(r.Draw) + " [";
    for (int i = 0; i < r.Numbers.Count && i < 8; ++i) out += " " + std::to_string(r.Numbers.Nums[i]);
    out += " ] " + std::to_string(r.Sample) + " " + std::to_string(r.Matches.Count) + " " + r.Comment() + "\n";
  }
  return out;
}

}  // namespace

class TestScriptRun : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallDrawDateHooks(); }

  void testMakesTheStakesOfTheCommandLineProgram() {
    const std::string csv = SharedDataFile("draws-7x35-import.csv");
    if (csv.empty()) QSKIP("the real archive is missing");

    // The command-line program over its own folder.
    TempDir cliDir;
    QCOMPARE(RunCli({"--data-dir=" + cliDir.Path(), "draws", "import", csv}), 0);
    const std::string script = cliDir.File("gui.lsc");
    WriteFileAtomic(script, Utf8ToCp1251(std::string(kLine) + "\r\n"));  // script files are in code page 1251
    std::string out, err;
    QCOMPARE(RunCli({"--data-dir=" + cliDir.Path(), "script", "test", script, "--tests=3"}, &out, &err), 0);
    const std::string cliStakes = ReadWholeFile(cliDir.Path() + "Quintar_7x35.lsk");
    QCOMPARE(static_cast<int>(cliStakes.size()), 312 * 5);

    // The desktop program over another.
    DesktopFixture f;
    ForceDirectories(f.DataDir());
    QCOMPARE(RunCli({"--data-dir=" + f.DataDir(), "draws", "import", csv}), 0);
    TDesktop& d = f.Start();
    Session& s = d.Sess;
    QVERIFY(s.StakesOpen());
    s.ScriptLines = {kLine};
    ActionRegistry& actions = d.Window->Actions();
    actions.UpdateActions();
    QVERIFY(actions.Action("ScriptTest")->isEnabled());
    QVERIFY(!actions.Action("ScriptStop")->isEnabled());

    // The status bar's progress bar shows the offsets done while the interface keeps processing events.
    auto* bar = d.Window->findChild<QProgressBar*>("StatusProgress");
    QVERIFY(bar);
    int barMax = 0, barValue = 0;
    bool barShown = false;
    QTimer poll;
    poll.setInterval(1);
    connect(&poll, &QTimer::timeout, [&] {
      if (bar->isHidden()) return;
      barShown = true;
      barMax = bar->maximum();
      barValue = std::max(barValue, bar->value());
    });
    poll.start();
    int maxSeen = 0, initialSeen = 0;
    ModalDriver driver;
    driver.Then(AnswerTests(3, &maxSeen, &initialSeen));
    QVERIFY(actions.Execute("ScriptTest"));
    poll.stop();
    QVERIFY(barShown);
    QCOMPARE(barMax, 3);
    QVERIFY(barValue >= 2);
    QVERIFY(bar->isHidden());
    QVERIFY(driver.Done());
    QVERIFY(driver.Unexpected.isEmpty());
    QCOMPARE(maxSeen, s.Archive.Count() - 1);
    QCOMPARE(initialSeen, 10);
    QCOMPARE(s.DrawsOffset(), 0);
    QVERIFY(!s.ScriptRunning);
    QVERIFY(actions.Action("ScriptRun")->isEnabled());
    s.CloseStakesFile();
    const std::string guiStakes = ReadWholeFile(f.DataDir() + "Quintar_7x35.lsk");
    QCOMPARE(QString::fromStdString(StakesText(guiStakes)), QString::fromStdString(StakesText(cliStakes)));
    QVERIFY(guiStakes == cliStakes);
  }

  // The stop command during a test on both cores ends it after the offset being written, with the stakes
  // of the offsets before and the offset left where the test stopped.
  void stopEndsATestOnBothCores() {
    const std::string csv = SharedDataFile("draws-7x35-import.csv");
    if (csv.empty()) QSKIP("the real archive is missing");
    DesktopFixture f;
    ForceDirectories(f.DataDir());
    QCOMPARE(RunCli({"--data-dir=" + f.DataDir(), "draws", "import", csv}), 0);
    TDesktop& d = f.Start();
    Session& s = d.Sess;
    s.ScriptLines = {kLine};
    ActionRegistry& actions = d.Window->Actions();
    actions.UpdateActions();
    auto* bar = d.Window->findChild<QProgressBar*>("StatusProgress");
    QVERIFY(bar);
    bool stopped = false;
    QTimer poll;
    poll.setInterval(1);
    connect(&poll, &QTimer::timeout, [&] {
      if (!stopped && !bar->isHidden() && bar->value() >= 2) {
        stopped = true;
        QVERIFY(actions.Execute("ScriptStop"));
      }
    });
    poll.start();
    int maxSeen = 0, initialSeen = 0;
    ModalDriver driver;
    driver.Then(AnswerTests(40, &maxSeen, &initialSeen)).Then(AnswerBox("Yes"));
    QVERIFY(actions.Execute("ScriptTest"));
    poll.stop();
    QVERIFY(stopped);
    QVERIFY(driver.Done());
    QVERIFY(!s.ScriptRunning);
    // Whole passes only: one stake a pass, and a separator before each pass after the first; the offset
    // stays at the last one written or at the one after it, where the stop was noticed.
    QCOMPARE(s.Stakes.Count() % 2, 1);
    const int passes = (s.Stakes.Count() + 1) / 2;
    QVERIFY(passes >= 2 && passes < 40);
    QVERIFY(s.DrawsOffset() == 40 - passes + 1 || s.DrawsOffset() == 40 - passes);
  }

  void cancellingTheQuestionRunsNothing() {
    DesktopFixture f;
    f.WriteArchive({1, 2, 3});
    TDesktop& d = f.Start();
    d.Sess.ScriptLines = {"FULL:0#FIRST| | | | | | | |"};
    ActionRegistry& actions = d.Window->Actions();
    actions.UpdateActions();
    ModalDriver driver;
    driver.Then([](QWidget* w) {
      if (w->objectName() != "FormTests") return false;
      w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
      return true;
    });
    QVERIFY(actions.Execute("ScriptTest"));
    QVERIFY(driver.Done());
    QCOMPARE(d.Sess.Stakes.Count(), 0);
  }

  void logSwitchIsStored() {
    DesktopFixture f;
    f.WriteArchive({1, 2});
    TDesktop& d = f.Start();
    ActionRegistry& actions = d.Window->Actions();
    actions.UpdateActions();
    QAction* a = actions.Action("LogToggle");
    QVERIFY(a->isEnabled());
    QVERIFY(!a->isChecked());
    QVERIFY(actions.Execute("LogToggle"));
    QVERIFY(a->isChecked());
    QVERIFY(d.Sess.Frm.ReadFormBool(kMainForm, "ScriptLogEnabled", false));
    QVERIFY(actions.Action("LogsDelete")->isEnabled());
  }
};

QTEST_MAIN(TestScriptRun)
#include "test_scriptrun.moc"
