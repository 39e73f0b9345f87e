// The stakes in the desktop program: the grid as a virtual view with its colours, the stake dialogs and
// commands, a second copy on the same data folder, and the first-run dialog's links.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include "app/actionregistry.h"
#include "app/formfirstrun.h"
#include "app/shell.h"
#include "combs/stakedialogs.h"
#include "combs/stakespage.h"
#include "combs/stakesview.h"
#include "guitestutil.h"
#include "util/safefile.h"

using namespace quintar;
using namespace quintar::gui;
using quintar::test::AnswerBox;
using quintar::test::BoxSeen;
using quintar::test::DesktopFixture;
using quintar::test::ModalDriver;

namespace {

TStakesPage* StakesPage(TDesktop& d) { return static_cast<TStakesPage*>(d.Window->Page("tsStakes")); }

// Fills the stake dialog and presses OK; the numbers and draw it arrived with are recorded.
std::function<bool(QWidget*)> FillStake(const QString& numbers, const QString& comment, int draws,
                                        QString* shownNumbers = nullptr, int* shownDraw = nullptr) {
  return [=](QWidget* w) {
    auto* dlg = qobject_cast<TFormStake*>(w);
    if (!dlg) return false;
    if (shownNumbers) *shownNumbers = dlg->edStakeData->text();
    if (shownDraw) *shownDraw = dlg->edDrawNumber->value();
    dlg->edStakeData->setText(numbers);
    dlg->edComment->setText(comment);
    dlg->edDrawsCount->setValue(draws);
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

class TestStakes : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallDrawDateHooks(); }

  void addingCheckingAndDeletingStakes() {
    DesktopFixture f;
    f.WriteArchive({10, 11});  // draw 11 has the numbers 2..8
    TDesktop& d = f.Start();
    TStakesPage* page = StakesPage(d);
    QVERIFY(page);
    QCOMPARE(d.Window->Panel(4)->text(), QString("Ставок: 0"));
    QCOMPARE(page->sgStakes->model()->rowCount(), 1);  // an empty file: the header and one empty row
    QCOMPARE(page->sgStakes->model()->headerData(0, Qt::Horizontal), QVariant(QString("№ тиража")));
    QVERIFY(!d.Window->Actions().Action("StakeDel")->isEnabled());

    // A stake for draw 11, then one for the next draw over 2 draws.
    ModalDriver driver;
    QString shown;
    int shownDraw = 0;
    driver.Then(FillStake("2;3;4;5;6;30;31", "мой", 1, &shown, &shownDraw));
    QVERIFY(d.Window->Actions().Execute("StakeAdd"));
    QCOMPARE(shownDraw, 12);  // the new-stake draw
    QCOMPARE(shown, QString(""));  // no combination list to take one from
    BoxSeen box;
    driver.Then(FillStake("1;2;3", "x", 1)).Then(AnswerBox("Ok", &box)).Then(Cancel("quintar::gui::TFormStake"));
    QVERIFY(d.Window->Actions().Execute("StakeAdd"));
    QCOMPARE(box.text, QString("Введена некорректная комбинация!"));
    QCOMPARE(d.Sess.Stakes.Count(), 1);
    // Change the first draw to 11 through the spin field.
    QString sum;
    driver.Then([&sum](QWidget* w) {
      auto* dlg = qobject_cast<TFormStake*>(w);
      if (!dlg) return false;
      dlg->edDrawNumber->setValue(11);
      dlg->edStakeData->setText("8,7,6,5,4,3,2");
      sum = dlg->edStakeSum->text();
      dlg->edComment->setText("второй");
      dlg->edDrawsCount->setValue(2);
      dlg->findChild<QPushButton*>("btnOK")->click();
      return true;
    });
    QVERIFY(d.Window->Actions().Execute("StakeAdd"));
    QVERIFY(driver.Done());
    QVERIFY(driver.Unexpected.isEmpty());
    QCOMPARE(sum, QString("35"));
    QCOMPARE(d.Sess.Stakes.Count(), 5);  // stake, separator, 11, separator, 12
    QCOMPARE(d.Window->Panel(4)->text(), QString("Ставок: 5"));
    QAbstractItemModel* m = page->sgStakes->model();
    QCOMPARE(m->rowCount(), 5);
    QCOMPARE(m->data(m->index(0, 0)).toString(), QString("12"));  // waits for its draw
    QCOMPARE(m->data(m->index(0, 4)).toString(), QString(""));
    QCOMPARE(m->data(m->index(1, 0)).toString(), QString(""));
    QCOMPARE(m->data(m->index(2, 0)).toString(), QString("11"));
    QCOMPARE(m->data(m->index(2, 5)).toString(), QString("7"));
    QCOMPARE(m->data(m->index(2, 6)).toString(), QString("2 3 4 5 6 7 8"));
    QCOMPARE(m->data(m->index(4, 0)).toString(), QString("12"));
    QCOMPARE(m->data(m->index(0, 0), Qt::BackgroundRole).value<QBrush>().color(), QColor(0xEA, 0xFF, 0xEA));
    QVERIFY(!m->data(m->index(1, 0), Qt::BackgroundRole).isValid());
    QCOMPARE(m->data(m->index(0, 7), Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
    // The grid scrolled to the new last row.
    QCOMPARE(page->FirstSelected(), 4);
    // The painted grid (matched numbers bold, profit colours) draws without trouble.
    page->sgStakes->grab();

    // Delete the selected rows 0..1 after the question.
    page->sgStakes->selectionModel()->select(QItemSelection(m->index(0, 0), m->index(1, 8)),
                                             QItemSelectionModel::ClearAndSelect);
    d.Window->Actions().UpdateActions();
    QVERIFY(d.Window->Actions().Action("StakeDel")->isEnabled());
    driver.Then(AnswerBox("Yes", &box));
    QVERIFY(d.Window->Actions().Execute("StakeDel"));
    QCOMPARE(box.text, QString("Удалить все выделенные записи (всего будет удалено 2 записи(ей))?"));
    QCOMPARE(box.defaultButton, QString("Нет"));
    QCOMPARE(d.Sess.Stakes.Count(), 3);
    QCOMPARE(m->rowCount(), 3);

    // Delete by condition "Менее [ < ]" 1: the unchecked stake for draw 12 goes.
    QString condition;
    driver.Then([&condition](QWidget* w) {
      auto* dlg = qobject_cast<TFormStakeFilter*>(w);
      if (!dlg) return false;
      condition = dlg->cbCondition->itemText(3);
      dlg->cbCondition->setCurrentIndex(3);
      dlg->edValue->setValue(1);
      dlg->findChild<QPushButton*>("btnOK")->click();
      return true;
    });
    QVERIFY(d.Window->Actions().Execute("StakeFilter"));
    QCOMPARE(condition, QString("Менее [ < ]"));
    QCOMPARE(d.Sess.Stakes.Count(), 2);  // the checked stake and the separator stay

    // The switches are checkable commands.
    QAction* logs = d.Window->Actions().Action("LogStakes");
    QVERIFY(!logs->isChecked());
    QVERIFY(d.Window->Actions().Execute("LogStakes"));
    QVERIFY(logs->isChecked());
    QVERIFY(d.Window->Actions().Action("StakesScroll")->isChecked());
    QVERIFY(driver.Unexpected.isEmpty());
  }

  void aLargeFileOpensAtOnce() {
    DesktopFixture f;
    {
      TStakesFile file(f.DataDir() + "Quintar_7x35.lsk");
      file.OpenStakes();
      TStakeRec r = EmptyStake();
      r.Kind = skScript;
      r.Draw = 99;
      r.Numbers.Count = 7;
      for (int i = 0; i < 7; ++i) r.Numbers.Nums[i] = static_cast<uint8_t>(i + 1);
      file.AddStake(r, 1);
      // 200,000 records written at once by growing the file with copies of the first.
      std::string one(reinterpret_cast<const char*>(&r), sizeof r), block;
      for (int i = 0; i < 1000; ++i) block += one;
      file.CloseStakes();
      std::string all;
      for (int i = 0; i < 200; ++i) all += block;
      test::WriteBytes(f.DataDir() + "Quintar_7x35.lsk", all);
    }
    TDesktop& d = f.Start();
    TStakesPage* page = StakesPage(d);
    QCOMPARE(page->sgStakes->model()->rowCount(), 200000);
    QCOMPARE(d.Window->Panel(4)->text(), QString("Ставок: 200000"));
    d.Window->pcMain->setCurrentWidget(page);
    page->sgStakes->scrollToBottom();
    page->sgStakes->grab();
    QAbstractItemModel* m = page->sgStakes->model();
    QCOMPARE(m->data(m->index(199999, 1)).toString(), QString("Сценарий"));
    QCOMPARE(m->data(m->index(199999, 0), Qt::BackgroundRole).value<QBrush>().color(), QColor(0xEA, 0xFF, 0xFF));
  }

  void aSecondCopyOnTheSameFolderEnds() {
    DesktopFixture f;
    TDesktop& first = f.Start();
    QVERIFY(first.Sess.StakesOpen());
    BoxSeen readError, exclusive;
    ModalDriver driver;
    driver.Then(AnswerBox("Ok", &readError)).Then(AnswerBox("Ok", &exclusive));
    TStartOptions o;
    o.ProgramPath = f.ProgramPath();
    TDesktop second(f.DataDir(), o);
    second.Window->ShowRestored();
    QTRY_VERIFY_WITH_TIMEOUT(second.Window->Initialised(), 10000);
    QVERIFY(driver.Done());
    QVERIFY(readError.text.startsWith("Ошибка чтения файла ставок!"));
    QVERIFY(exclusive.text.startsWith("Невозможно получить монопольный доступ к файлам данных!"));
    QTRY_VERIFY_WITH_TIMEOUT(!second.Window->isVisible(), 5000);
    QVERIFY(first.Sess.StakesOpen());
  }

  void firstRunLinks() {
    std::vector<std::string> opened;
    TFormFirstRun dlg(nullptr, false, [] {}, [&](const std::string& url) { opened.push_back(url); });
    const TMakerLinks& links = MakerLinks();
    const struct {
      const char* button;
      const std::string* url;
    } buttons[] = {{"btnOnlineManuals", &links.Articles}, {"btnBlog", &links.Blog},  {"btnYoutube", &links.VideoBlog},
                   {"btnVK", &links.VK},                  {"btnOK", &links.OK},      {"btnTelegram", &links.Telegram}};
    for (const auto& b : buttons) {
      auto* btn = dlg.findChild<QPushButton*>(b.button);
      QVERIFY(btn);
      QVERIFY2(!b.url->empty(), b.button);
      QVERIFY(btn->isEnabled());
      btn->click();
      QCOMPARE(opened.back(), *b.url);
    }
    QVERIFY(!dlg.btnOpenHelpFile->isEnabled());
  }
};

QTEST_MAIN(TestStakes)
#include "test_stakes.moc"
