// The draw archive in the desktop program: the draw dialog, deleting selected rows, the offset back, the
// list's colours and switches, CSV exchange through the file dialogs.
#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>

#include "app/actionregistry.h"
#include "game/drawlistmodel.h"
#include "game/drawspage.h"
#include "game/formdraw.h"
#include "guitestutil.h"
#include "util/format.h"
#include "util/inifile.h"
#include "util/safefile.h"

using namespace quintar;
using namespace quintar::gui;
using quintar::test::AnswerBox;
using quintar::test::BoxSeen;
using quintar::test::DesktopFixture;
using quintar::test::ModalDriver;

namespace {

// A step that fills the draw dialog and presses OK; what the dialog showed on arrival is recorded.
struct DialogSeen {
  QString caption, title, text;
  int number = 0;
  bool dateShown = false;
  bool focusOnText = false, focusOnNumber = false;
};

std::function<bool(QWidget*)> FillDraw(const QString& text, DialogSeen* seen = nullptr, int number = 0) {
  return [=](QWidget* w) {
    auto* dlg = qobject_cast<TFormDraw*>(w);
    if (!dlg) return false;
    if (seen) {
      seen->caption = dlg->windowTitle();
      seen->title = dlg->lblTitle->text();
      seen->text = dlg->edDrawData->text();
      seen->number = dlg->edDrawNumber->value();
      seen->dateShown = dlg->edDrawDate->isVisibleTo(dlg) && dlg->edDrawTime->isVisibleTo(dlg);
      seen->focusOnText = dlg->focusWidget() == dlg->edDrawData;
      seen->focusOnNumber = dlg->focusWidget() == dlg->edDrawNumber;
    }
    if (number > 0) dlg->edDrawNumber->setValue(number);
    dlg->edDrawData->setText(text);
    dlg->findChild<QPushButton*>("btnOK")->click();
    return true;
  };
}

std::function<bool(QWidget*)> CancelDialog(DialogSeen* seen = nullptr) {
  return [=](QWidget* w) {
    auto* dlg = qobject_cast<TFormDraw*>(w);
    if (!dlg) return false;
    if (seen) {
      seen->focusOnText = dlg->focusWidget() == dlg->edDrawData;
      seen->focusOnNumber = dlg->focusWidget() == dlg->edDrawNumber;
      seen->text = dlg->edDrawData->text();
    }
    dlg->reject();
    return true;
  };
}

void SelectRows(TDrawsPage* page, std::initializer_list<int> rows) {
  QItemSelectionModel* sm = page->lvDraws->selectionModel();
  sm->clearSelection();
  for (int r : rows)
    sm->select(page->Model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QColor Background(TDrawsPage* page, int row, int col) {
  return page->Model()->data(page->Model()->index(row, col), Qt::BackgroundRole).value<QBrush>().color();
}

std::vector<int> Numbers(const Session& s) {
  std::vector<int> v;
  for (int i = 0; i < s.Archive.Count(); ++i) v.push_back(s.Archive[i].Number);
  return v;
}

}  // namespace

class TestDraws : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallDrawDateHooks(); }

  void addingADrawThroughTheDialog() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    QCOMPARE(d.Window->Panel(0)->text(), QString("Архив тиражей: 0"));
    QCOMPARE(d.Window->Panel(1)->text(), QString("Следующий тираж: 1"));
    DialogSeen seen;
    ModalDriver driver;
    driver.Then(FillDraw("1;2;3;4;5;6;7;20", &seen));
    QVERIFY(d.Window->Actions().Execute("DrawsAdd"));
    QVERIFY(driver.Done());
    QVERIFY(driver.Unexpected.isEmpty());
    QCOMPARE(seen.caption, QString("Данные тиража"));
    QCOMPARE(seen.title, QString("Введите данные следующего тиража"));
    QCOMPARE(seen.number, 1);  // the empty archive proposes draw 1
    QCOMPARE(seen.text, QString("0;0;0;0;0;0;0;0"));
    QVERIFY(seen.dateShown);
    QVERIFY(seen.focusOnText);
    QCOMPARE(d.Sess.Archive.Count(), 1);
    const TDraw& added = d.Sess.Archive[0];
    QCOMPARE(added.Number, 1);
    QCOMPARE(static_cast<int>(added.Bonus), 20);
    QCOMPARE(static_cast<int>(added.Nums[6]), 7);
    QCOMPARE(added.Date(), DrawDateToText(Today()).substr(0, 11));
    QCOMPARE(FileSizeOf(d.Sess.FilePath(".ldr")), int64_t{24});
    QCOMPARE(d.Window->Panel(0)->text(), QString("Архив тиражей: 1"));
    QCOMPARE(d.Window->Panel(1)->text(), QString("Следующий тираж: 2"));
    QCOMPARE(d.Window->DrawsPage()->lvDraws->model()->rowCount(), 1);

    // Numbers separated by commas, typed in any order, are kept as typed.
    driver.Then(FillDraw(" 35, 1 ,20,2,3,4,5 , 1", &seen));
    QVERIFY(d.Window->Actions().Execute("DrawsAdd"));
    QCOMPARE(seen.number, 2);
    QCOMPARE(d.Sess.Archive.Count(), 2);
    QCOMPARE(static_cast<int>(d.Sess.Archive[1].Nums[0]), 35);
    QCOMPARE(static_cast<int>(d.Sess.Archive[1].Bonus), 1);
  }

  void theDialogRefusesIncorrectCombinations() {
    DesktopFixture f;
    f.WriteArchive({10, 11});
    TDesktop& d = f.Start();
    const QStringList bad = {"1;2;3;4;5;6;6;1", "1;2;3;4;5;6;36;1", "1;2;3;4;5;6;7;21", "1;2;3;4;5;6;7",
                             "1;2;3;4;5;6;7;8;9", "0;2;3;4;5;6;7;1",  "a;2;3;4;5;6;7;1",  ""};
    for (const QString& text : bad) {
      BoxSeen box;
      DialogSeen after;
      ModalDriver driver;
      driver.Then(FillDraw(text)).Then(AnswerBox("Ok", &box)).Then(CancelDialog(&after));
      QVERIFY(d.Window->Actions().Execute("DrawsAdd"));
      QVERIFY2(driver.Done() && driver.Unexpected.isEmpty(), qPrintable(text));
      QCOMPARE(box.caption, QString("Ошибка"));
      QCOMPARE(box.text, QString("Введена некорректная комбинация!"));
      QCOMPARE(box.icon, QString("Critical"));
      QVERIFY2(after.focusOnText, qPrintable(text));  // back on the text field, the dialog still open
      QCOMPARE(after.text, text);
    }
    // A number another draw already has is refused too: finding draws by number needs them unique.
    BoxSeen box;
    DialogSeen after;
    ModalDriver driver;
    driver.Then(FillDraw("1;2;3;4;5;6;7;8", nullptr, 10)).Then(AnswerBox("Ok", &box)).Then(CancelDialog(&after));
    QVERIFY(d.Window->Actions().Execute("DrawsAdd"));
    QVERIFY(driver.Done());
    QCOMPARE(box.text, QString("Тираж с номером 10 уже есть в архиве!"));
    QVERIFY(after.focusOnNumber);
    QCOMPARE(Numbers(d.Sess), (std::vector<int>{10, 11}));

    // After a refusal a corrected text is accepted in the same dialog.
    ModalDriver retry;
    retry.Then(FillDraw("1;2;3;4;5;6;36;1")).Then(AnswerBox("Ok")).Then(FillDraw("1;2;3;4;5;6;35;1"));
    QVERIFY(d.Window->Actions().Execute("DrawsAdd"));
    QVERIFY(retry.Done());
    QCOMPARE(Numbers(d.Sess), (std::vector<int>{10, 11, 12}));
  }

  void editingTheSelectedDraw() {
    DesktopFixture f;
    f.WriteArchive({1, 2, 3});
    TDesktop& d = f.Start();
    QAction* edit = d.Window->Actions().Action("DrawsEdit");
    QVERIFY(!edit->isEnabled());  // nothing selected
    SelectRows(d.Window->DrawsPage(), {1});
    QVERIFY(edit->isEnabled());
    DialogSeen seen;
    ModalDriver driver;
    driver.Then(FillDraw("35;34;33;32;31;30;29;19", &seen, 2));
    QVERIFY(d.Window->Actions().Execute("DrawsEdit"));
    QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    QCOMPARE(seen.number, 2);  // row 1 is the second newest draw
    QCOMPARE(seen.text, QString("2;3;4;5;6;7;8;2"));
    QCOMPARE(Numbers(d.Sess), (std::vector<int>{1, 2, 3}));
    QCOMPARE(static_cast<int>(d.Sess.Archive[1].Nums[0]), 35);
    QCOMPARE(static_cast<int>(d.Sess.Archive[1].Bonus), 19);
    QCOMPARE(d.Sess.Archive[1].Date(), std::string("5 Jan 2017"));  // the stored date comes back
  }

  void deletingSelectedRowsOfAnArchiveOutOfNumberOrder() {
    DesktopFixture f;
    f.WriteArchive({5, 3, 9, 1, 7});  // rows, newest first: 7 1 9 3 5
    TDesktop& d = f.Start();
    TDrawsPage* page = d.Window->DrawsPage();
    QAction* del = d.Window->Actions().Action("DrawsDel");
    QVERIFY(!del->isEnabled());
    SelectRows(page, {1, 3});
    QVERIFY(del->isEnabled());

    BoxSeen declined;
    ModalDriver driver;
    driver.Then(AnswerBox("No", &declined));
    QVERIFY(d.Window->Actions().Execute("DrawsDel"));
    QCOMPARE(declined.caption, QString("Предупреждение"));
    QCOMPARE(declined.text, QString("Удалить все выделенные записи (всего будет удалено 2 записи(ей))?"));
    QCOMPARE(declined.icon, QString("Question"));
    QCOMPARE(declined.buttons, (QStringList{"Да", "Нет"}));
    QCOMPARE(declined.defaultButton, QString("Нет"));
    QCOMPARE(Numbers(d.Sess), (std::vector<int>{5, 3, 9, 1, 7}));

    BoxSeen box;
    driver.Then(AnswerBox("Yes", &box));
    QVERIFY(d.Window->Actions().Execute("DrawsDel"));
    QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    QCOMPARE(Numbers(d.Sess), (std::vector<int>{5, 9, 7}));
    QCOMPARE(page->SelectedCount(), 0);
    QVERIFY(!del->isEnabled());
    QCOMPARE(FileSizeOf(d.Sess.FilePath(".ldr")), int64_t{72});
    QCOMPARE(d.Window->Panel(0)->text(), QString("Архив тиражей: 3"));

    SelectRows(page, {2});
    driver.Then(AnswerBox("Yes", &box));
    QVERIFY(d.Window->Actions().Execute("DrawsDel"));
    QCOMPARE(box.text, QString("Удалить выделенную запись?"));
    QCOMPARE(Numbers(d.Sess), (std::vector<int>{9, 7}));
  }

  void offsetMovesTheHighlightedRowAndThePanels() {
    DesktopFixture f;
    f.WriteArchive({101, 102, 103, 104, 105, 106, 107, 108, 109, 110});
    TDesktop& d = f.Start();
    TDrawsPage* page = d.Window->DrawsPage();
    QSpinBox* spin = page->edDrawsOffset;
    QCOMPARE(spin->maximum(), 9);
    QCOMPARE(spin->value(), 0);
    const QColor highlight(0xFF, 0xAA, 0xAA);
    QCOMPARE(Background(page, 0, 0), highlight);
    QCOMPARE(d.Window->Panel(1)->text(), QString("Следующий тираж: 111"));
    QCOMPARE(d.Window->Panel(2)->text(), QString(""));

    spin->setValue(3);
    QCOMPARE(d.Sess.DrawsOffset(), 3);
    QCOMPARE(Background(page, 3, 0), highlight);
    QCOMPARE(Background(page, 3, 10), highlight);
    QCOMPARE(Background(page, 0, 0), QColor(Qt::white));
    // Number cells keep their channel colours in the highlighted row too.
    QCOMPARE(Background(page, 3, 1), QColor(QRgb(0xFF000000u | ChannelColor(7, 5))));
    QCOMPARE(d.Window->Panel(1)->text(), QString("Следующий тираж: 108"));
    // The first draw after the window (108, the 8th written: numbers 8..14).
    QCOMPARE(d.Window->Panel(2)->text(), QString("8;9;10;11;12;13;14"));
    QCOMPARE(d.Window->Panel(2)->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);

    spin->setValue(9);  // a window of one draw: the second oldest draw comes next
    QCOMPARE(d.Window->Panel(1)->text(), QString("Следующий тираж: 102"));
    QCOMPARE(d.Window->Panel(2)->text(), QString("2;3;4;5;6;7;8"));
    spin->setValue(50);
    QCOMPARE(spin->value(), 9);

    // Deleting draws lowers the maximum and keeps the offset inside the archive.
    SelectRows(page, {0, 1});
    ModalDriver driver;
    driver.Then(AnswerBox("Yes"));
    QVERIFY(d.Window->Actions().Execute("DrawsDel"));
    QCOMPARE(spin->maximum(), 7);
    QCOMPARE(spin->value(), 7);
    QCOMPARE(d.Sess.DrawsOffset(), 7);
    QCOMPARE(Background(page, 7, 0), highlight);
    QCOMPARE(d.Window->Panel(0)->text(), QString("Архив тиражей: 8"));

    // The offset starts at 0 at every start.
    f.Stop();
    TDesktop& again = f.Start();
    QCOMPARE(again.Sess.DrawsOffset(), 0);
    QCOMPARE(again.Window->DrawsPage()->edDrawsOffset->value(), 0);
  }

  void sortedViewAndChannelColours() {
    DesktopFixture f;
    {
      TDrawArchive a;
      a.AppendDraw(test::MakeDraw(1, {30, 2, 14, 5, 21, 9, 33}, 4, "5 Jan 2017"));
      a.SaveToFile(f.DataDir() + "Quintar_7x35.ldr");
    }
    TDesktop& d = f.Start();
    TDrawsPage* page = d.Window->DrawsPage();
    auto cell = [&](int col) { return page->Model()->index(0, col).data().toString(); };
    QCOMPARE(cell(1), QString("30"));
    QCOMPARE(cell(9), QString("114"));
    QCOMPARE(cell(10), QString("5 Jan 2017"));
    QCOMPARE(page->Model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Тираж"));
    QCOMPARE(page->Model()->headerData(10, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Дата тиража"));

    QAction* sorted = d.Window->Actions().Action("DrawsSorted");
    QVERIFY(!sorted->isChecked());
    QVERIFY(d.Window->Actions().Execute("DrawsSorted"));
    QVERIFY(sorted->isChecked());
    QCOMPARE(cell(1), QString("2"));
    QCOMPARE(cell(7), QString("33"));
    QCOMPARE(Background(page, 0, 1), QColor(QRgb(0xFF000000u | ChannelColor(2, 5))));
    QVERIFY(IniFile(d.Sess.Frm.Path()).ReadBool("TFormMain", "SortedDraws", false));

    QAction* colours = d.Window->Actions().Action("ViewColorDraws");
    QVERIFY(colours->isChecked());
    QVERIFY(d.Window->Actions().Execute("ViewColorDraws"));
    QVERIFY(!colours->isChecked());
    QCOMPARE(Background(page, 0, 1), QColor(0xFF, 0xAA, 0xAA));  // only the highlighted row
    QCOMPARE(IniFile(d.Sess.Frm.Path()).ReadString("TFormMain", "ColorDraws", ""), std::string("0"));
    QVERIFY(d.Sess.IsIdle());
  }

  void busyStateDisablesEveryCommandButScriptStop() {
    DesktopFixture f;
    f.WriteArchive({1, 2});
    TDesktop& d = f.Start();
    ActionRegistry& actions = d.Window->Actions();
    actions.Bind("ScriptStop", [] { return true; }, [] {});
    actions.UpdateActions();
    QVERIFY(actions.Action("DrawsAdd")->isEnabled());
    QVERIFY(actions.Action("ExitProgram")->isEnabled());
    d.Sess.BeginBusy();
    QCOMPARE(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor,
             Qt::WaitCursor);
    for (const auto& name : actions.Names())
      QCOMPARE(actions.Action(name)->isEnabled(), name == "ScriptStop");
    QVERIFY(!d.Window->DrawsPage()->edDrawsOffset->isEnabled());
    QVERIFY(!actions.Execute("DrawsAdd"));
    d.Sess.EndBusy();
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(actions.Action("DrawsAdd")->isEnabled());
    QVERIFY(d.Window->DrawsPage()->edDrawsOffset->isEnabled());
  }

  void csvExchangeThroughTheFileDialogs() {
    DesktopFixture f;
    f.WriteArchive({1, 2, 3});
    TDesktop& d = f.Start();
    const QString exported = QString::fromStdString(f.File("out"));  // the default extension is added
    QString filter;
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<QFileDialog*>(w);
      if (!dlg) return false;
      filter = dlg->nameFilters().join("|");
      quintar::test::SelectFile(dlg, exported);
      static_cast<QDialog*>(dlg)->accept();
      return true;
    });
    QVERIFY(d.Window->Actions().Execute("DrawsExport"));
    QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    QCOMPARE(filter, QString("Файлы тиражей (*.csv)"));
    QVERIFY(FileExists(f.File("out.csv")));

    // Importing what was just exported adds nothing; a file from elsewhere adds its new draws.
    WriteFileAtomic(f.File("more.csv"), "4;\"12 Jan 2017\";1;2;3;4;5;6;7;8\r\n2;\"x\";1;2;3;4;5;6;7;8\r\n");
    for (const char* name : {"out.csv", "more.csv"}) {
      const QString path = QString::fromStdString(f.File(name));
      driver.Then([path](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        if (!dlg) return false;
        quintar::test::SelectFile(dlg, path);
        static_cast<QDialog*>(dlg)->accept();
        return true;
      });
      QVERIFY(d.Window->Actions().Execute("DrawsImport"));
    }
    QVERIFY(driver.Unexpected.isEmpty());
    QCOMPARE(Numbers(d.Sess), (std::vector<int>{1, 2, 3, 4}));
    QCOMPARE(d.Window->Panel(0)->text(), QString("Архив тиражей: 4"));
  }
};

QTEST_MAIN(TestDraws)
#include "test_draws.moc"
