// The page "Регуляры" in the desktop program: adding tables through the table dialog from the combination
// list, staking one table through the stake dialog, testing tables over past draws, deleting them, hiding
// and showing the page, and the tables file read back at the next start.
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "app/actionregistry.h"
#include "combs/combspage.h"
#include "combs/formtable.h"
#include "combs/stakedialogs.h"
#include "combs/tables.h"
#include "combs/tablespage.h"
#include "guitestutil.h"
#include "util/safefile.h"

using namespace quintar;
using namespace quintar::gui;
using quintar::test::AnswerBox;
using quintar::test::BoxSeen;
using quintar::test::DesktopFixture;
using quintar::test::ModalDriver;

namespace {

TTablesPage* TablesPage(TDesktop& d) { return qobject_cast<TTablesPage*>(d.Window->Page("tsTables")); }

void Select(QTableView* v, std::initializer_list<int> rows) {
  QItemSelectionModel* sm = v->selectionModel();
  sm->clearSelection();
  for (int r : rows) sm->select(v->model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  if (rows.size() > 0) sm->setCurrentIndex(v->model()->index(*rows.begin(), 0), QItemSelectionModel::NoUpdate);
}

// The rows of lvTables as the view shows them, one text per row with the cells joined by "|".
QStringList Rows(TTablesPage* page) {
  QStringList out;
  QAbstractItemModel* m = page->lvTables->model();
  for (int r = 0; r < m->rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < m->columnCount(); ++c) cells << m->data(m->index(r, c)).toString();
    out << cells.join('|');
  }
  return out;
}

// What the table dialog showed on arrival.
struct TableSeen {
  QString caption, name, start;
  bool startEnabled = false, myComb = false;
  int step = 0;
};

// Fills the table dialog and presses OK (the start field only when text is given).
std::function<bool(QWidget*)> FillTable(const QString& name, bool lastDraw, int step, const QString& start = {},
                                        TableSeen* seen = nullptr) {
  return [=](QWidget* w) {
    auto* dlg = qobject_cast<TFormTable*>(w);
    if (!dlg) return false;
    if (seen) {
      seen->caption = dlg->windowTitle();
      seen->name = dlg->edComment->text();
      seen->start = dlg->edCombStart->text();
      seen->startEnabled = dlg->edCombStart->isEnabled();
      seen->myComb = dlg->rbUseMyComb->isChecked();
      seen->step = dlg->edStep->value();
    }
    dlg->edComment->setText(name);
    (lastDraw ? dlg->rbUseLastDraw : dlg->rbUseMyComb)->setChecked(true);
    if (!start.isNull()) dlg->edCombStart->setText(start);
    dlg->edStep->setValue(step);
    dlg->findChild<QPushButton*>("btnOK")->click();
    return true;
  };
}

std::function<bool(QWidget*)> Cancel(const char* className) {
  return [className](QWidget* w) {
    if (!w->inherits(className)) return false;
    static_cast<QDialog*>(w)->reject();
    return true;
  };
}

}  // namespace

class TestTables : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallDrawDateHooks(); }

  void tablesFromAddingToTesting() {
    DesktopFixture f;
    f.WriteArchive({10, 11, 12, 13, 14, 15});  // draw 10 + k has the numbers 1 + k .. 7 + k
    TDesktop& d = f.Start();
    ActionRegistry& act = d.Window->Actions();
    TTablesPage* page = TablesPage(d);
    QVERIFY(page);
    QVERIFY(d.Window->pcMain->isTabVisible(d.Window->pcMain->indexOf(page)));
    QAbstractItemModel* m = page->lvTables->model();
    QCOMPARE(m->rowCount(), 0);
    QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QString("Стартовая комбинация"));
    QVERIFY(act.Action("TablesAdd")->isEnabled());
    for (const char* name : {"TablesDel", "TablesStakeAdd", "TablesStakeTest"}) QVERIFY(!act.Action(name)->isEnabled());
    QCOMPARE(page->lvTables->actions().size(), 5);  // the pop-up menu: four commands and a separator

    // Three combinations selected: one table per combination, named with its list position.
    auto* combs = qobject_cast<TCombsPage*>(d.Window->Page("tsCombs"));
    Select(combs->lvCombs, {0, 2, 4});
    ModalDriver driver;
    TableSeen seen;
    driver.Then(FillTable("Тройка", false, 2, {}, &seen));
    QVERIFY(act.Execute("TablesAdd"));
    QCOMPARE(seen.caption, QString("Добавление регулярной ставки"));
    QCOMPARE(seen.name, QString("Регулярная ставка"));
    QCOMPARE(seen.start, QString("{...Выделенные комбинации...}"));
    QVERIFY(!seen.startEnabled);
    QVERIFY(seen.myComb);
    QCOMPARE(seen.step, 1);
    QCOMPARE(Rows(page), QStringList({"Тройка (1)|1;2;3;4;5;6;7|2|1;2;3;4;5;6;7|0",
                                      "Тройка (3)|1;2;3;4;5;6;9|2|1;2;3;4;5;6;9|0",
                                      "Тройка (5)|1;2;3;4;5;6;11|2|1;2;3;4;5;6;11|0"}));

    // One combination: the start field takes it; a bad text and a name in use keep the dialog open.
    Select(combs->lvCombs, {1});
    BoxSeen bad, used;
    driver.Then(FillTable("Пять", false, 5, "1;2;3", &seen))
        .Then(AnswerBox("Ok", &bad))
        .Then(FillTable("Тройка (3)", false, 5, "7,6,5,4,3,2,1"))
        .Then(AnswerBox("Ok", &used))
        .Then(FillTable("Пять", false, 5, "7,6,5,4,3,2,1"));
    QVERIFY(act.Execute("TablesAdd"));
    QCOMPARE(seen.start, QString("1;2;3;4;5;6;8"));
    QVERIFY(seen.startEnabled);
    QCOMPARE(bad.text, QString("Введена некорректная комбинация!"));
    QCOMPARE(used.text,
             QString("Запись с таким комментарией уже присутствует в списке!\nВыберите другой комментарий."));
    // The previous draw's numbers: the start shows zeros.
    driver.Then(FillTable("Прошлый", true, 0));
    QVERIFY(act.Execute("TablesAdd"));
    QVERIFY(driver.Done());
    QCOMPARE(Rows(page).mid(3), QStringList({"Пять|1;2;3;4;5;6;7|5|1;2;3;4;5;6;7|0",
                                             "Прошлый|0;0;0;0;0;0;0|0|0;0;0;0;0;0;0|0"}));
    QCOMPARE(FileSizeOf(f.DataDir() + "Quintar_7x35.ltb"), 5 * 280);

    // One stake from "Пять": the stake dialog shows the shifted combination; cancelling keeps the table.
    Select(page->lvTables, {3});
    act.UpdateActions();
    QVERIFY(act.Action("TablesStakeAdd")->isEnabled());
    driver.Then(Cancel("quintar::gui::TFormStake"));
    QVERIFY(act.Execute("TablesStakeAdd"));
    QCOMPARE(d.Sess.Stakes.Count(), 0);
    QString shown, comment;
    int draw = 0;
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormStake*>(w);
      if (!dlg) return false;
      shown = dlg->edStakeData->text();
      comment = dlg->edComment->text();
      draw = dlg->edDrawNumber->value();
      dlg->edDrawsCount->setValue(3);
      dlg->findChild<QPushButton*>("btnOK")->click();
      return true;
    });
    QVERIFY(act.Execute("TablesStakeAdd"));
    QCOMPARE(shown, QString("6;7;8;9;10;11;12"));
    QCOMPARE(comment, QString("Пять"));
    QCOMPARE(draw, 16);
    QCOMPARE(d.Sess.Stakes.Count(), 5);  // stake 16, separator, 17, separator, 18: the table advanced once
    QCOMPARE(Rows(page)[3], QString("Пять|1;2;3;4;5;6;7|5|6;7;8;9;10;11;12|1"));
    QCOMPARE(d.Sess.Stakes.ReadStake(0).Kind, uint8_t(skTable));

    // A test of "Пять" and "Прошлый" over the last 3 draws: one checked stake per table and draw.
    Select(page->lvTables, {4, 3});
    act.UpdateActions();
    int max = 0, initial = 0;
    driver.Then([&](QWidget* w) {
      if (w->objectName() != "TFormTestCnt") return false;
      auto* edit = w->findChild<QSpinBox*>("edTestCount");
      max = edit->maximum();
      initial = edit->value();
      edit->setValue(3);
      w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
      return true;
    });
    QVERIFY(act.Execute("TablesStakeTest"));
    QCOMPARE(max, 5);
    QCOMPARE(initial, 5);
    QCOMPARE(d.Sess.Stakes.Count(), 11);
    QCOMPARE(d.Sess.DrawsOffset(), 0);
    QVERIFY(!d.Sess.ViewsSuspended);
    // Offset 3 is draw 12 (3..9): "Пять" stakes 11..17 for draw 13, "Прошлый" repeats 3..9.
    const TStakeRec first = d.Sess.Stakes.ReadStake(5), second = d.Sess.Stakes.ReadStake(6);
    const TStakeRec last = d.Sess.Stakes.ReadStake(10);
    QCOMPARE(first.Draw, 13);
    QCOMPARE(QString::fromStdString(NumSetToText(first.Numbers, ";")), QString("11;12;13;14;15;16;17"));
    QCOMPARE(second.Comment(), std::string("Прошлый"));
    QCOMPARE(QString::fromStdString(NumSetToText(second.Numbers, ";")), QString("3;4;5;6;7;8;9"));
    QCOMPARE(second.Matches.Count, 6);
    QCOMPARE(last.Draw, 15);
    QVERIFY(last.Checked);
    QCOMPARE(Rows(page).mid(3), QStringList({"Пять|1;2;3;4;5;6;7|5|21;22;23;24;25;26;27|4",
                                             "Прошлый|0;0;0;0;0;0;0|0|5;6;7;8;9;10;11|3"}));

    // Delete two rows after the question, with the list's Delete key.
    d.Window->pcMain->setCurrentWidget(page);
    d.Window->activateWindow();
    page->lvTables->setFocus();
    QVERIFY(QTest::qWaitFor([&] { return page->lvTables->hasFocus(); }, 2000));
    Select(page->lvTables, {0, 1});
    act.UpdateActions();
    BoxSeen question;
    driver.Then(AnswerBox("Yes", &question));
    QTest::keyClick(page->lvTables, Qt::Key_Delete);
    QVERIFY(driver.Done());
    QCOMPARE(question.text, QString("Удалить все выделенные записи (всего будет удалено 2 записи(ей))?"));
    QCOMPARE(m->rowCount(), 3);
    QCOMPARE(FileSizeOf(f.DataDir() + "Quintar_7x35.ltb"), 3 * 280);
    QVERIFY(page->SelectedRows().empty());

    // Hiding the page drops the tables and keeps the file; showing it reads the file and brings it forward.
    QAction* tab = act.Action("TabTables");
    QVERIFY(tab->isChecked());
    QVERIFY(act.Execute("TabTables"));
    QVERIFY(!tab->isChecked());
    QVERIFY(!d.Window->pcMain->isTabVisible(d.Window->pcMain->indexOf(page)));
    QCOMPARE(d.Sess.Tables.Count(), 0);
    QVERIFY(!act.Action("TablesAdd")->isEnabled());
    QVERIFY(act.Execute("TabTables"));
    QCOMPARE(d.Window->pcMain->currentWidget(), static_cast<QWidget*>(page));
    QCOMPARE(m->rowCount(), 3);
    QVERIFY(driver.Unexpected.isEmpty());

    // The next start reads the file again; with the page hidden it reads nothing.
    f.Stop();
    TDesktop& again = f.Start();
    QCOMPARE(Rows(TablesPage(again)), QStringList({"Тройка (5)|1;2;3;4;5;6;11|2|1;2;3;4;5;6;11|0",
                                                   "Пять|1;2;3;4;5;6;7|5|21;22;23;24;25;26;27|4",
                                                   "Прошлый|0;0;0;0;0;0;0|0|5;6;7;8;9;10;11|3"}));
    QVERIFY(again.Window->Actions().Execute("TabTables"));
    f.Stop();
    TDesktop& hidden = f.Start();
    QCOMPARE(hidden.Sess.Tables.Count(), 0);
    QVERIFY(!hidden.Window->pcMain->isTabVisible(hidden.Window->pcMain->indexOf(TablesPage(hidden))));
    QCOMPARE(FileSizeOf(f.DataDir() + "Quintar_7x35.ltb"), 3 * 280);
  }
};

QTEST_MAIN(TestTables)
#include "test_tables.moc"
