// The filter commands in the desktop program: the favourites manager dialog, the favourites reset and the
// statistic description window.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <QTableView>
#include <QTextBrowser>
#include <QTreeWidget>

#include "app/actionregistry.h"
#include "app/mainwindow.h"
#include "guitestutil.h"
#include "stats/formfilterhelp.h"
#include "stats/drawsstatpage.h"
#include "stats/formmanager.h"
#include "combs/combsgen.h"
#include "util/safefile.h"

using namespace quintar;
using namespace quintar::gui;
using quintar::test::AnswerBox;
using quintar::test::BoxSeen;
using quintar::test::DesktopFixture;
using quintar::test::ModalDriver;

namespace {

// Clicks the tree item of a method.
void ClickMethod(TFormManager* dlg, const Session& s, const std::string& code) {
  const int method = s.Stats.IndexOfCode(code);
  const auto& groups = dlg->Model().Groups();
  for (size_t g = 0; g < groups.size(); ++g)
    for (size_t e = 0; e < groups[g].Entries.size(); ++e)
      if (groups[g].Entries[e].Method == method) {
        QTreeWidgetItem* item = dlg->Item({static_cast<int>(g), static_cast<int>(e)});
        dlg->tvFilters->expandItem(item->parent());
        dlg->tvFilters->scrollToItem(item);
        const QRect r = dlg->tvFilters->visualItemRect(item);
        QTest::mouseClick(dlg->tvFilters->viewport(), Qt::LeftButton, {}, r.center());
        return;
      }
}

}  // namespace

class TestFilters : public QObject {
  Q_OBJECT

 private slots:
  void managerDialogStoresTicksAndOptions() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    Session& s = d.Sess;
    if (s.DrawsStatChooser.Count() == 0) s.StartCatalogue();
    const int all = s.DrawsStatChooser.Count();
    QVERIFY(all > 2);
    QString caption, count;
    bool groupRulesOff = false, renameOffOnGroup = false, renameOnEntry = false;
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormManager*>(w);
      if (!dlg) return false;
      caption = dlg->windowTitle();
      count = dlg->lblCount->text();
      dlg->tvFilters->setCurrentItem(nullptr);
      groupRulesOff = !dlg->Command("GroupNone")->isEnabled() && dlg->Command("CheckAll")->isEnabled();
      dlg->Command("CheckNone")->trigger();
      ClickMethod(dlg, s, "NUMS");
      ClickMethod(dlg, s, "SUMS");
      dlg->tvFilters->setCurrentItem(dlg->tvFilters->topLevelItem(0));
      renameOffOnGroup = !dlg->Command("Rename")->isEnabled() && dlg->Command("GroupAll")->isEnabled();
      dlg->tvFilters->setCurrentItem(dlg->tvFilters->topLevelItem(0)->child(0));
      renameOnEntry = dlg->Command("Rename")->isEnabled();
      dlg->cbSortOnName->setChecked(true);
      dlg->accept();
      return true;
    });
    QVERIFY(d.Window->Actions().Execute("FiltersManager"));
    QVERIFY(driver.Done());
    QVERIFY(driver.Unexpected.isEmpty());
    QCOMPARE(caption, QString("Менеджер избранных методов расчета статистики"));
    QCOMPARE(count, QString("всего %1 методов").arg(s.Stats.Count()));
    QVERIFY(groupRulesOff);
    QVERIFY(renameOffOnGroup);
    QVERIFY(renameOnEntry);
    QCOMPARE(QString::fromStdString(s.Stats.FavoritesText()), QString("NUMS,SUMS"));
    QVERIFY(s.Stats.Ordered);
    QCOMPARE(s.DrawsStatChooser.Count(), 2);

    // The reset asks first (No is the default) and then offers every method again.
    BoxSeen box;
    ModalDriver reset;
    reset.Then(AnswerBox("Yes", &box));
    QVERIFY(d.Window->Actions().Execute("FiltersReset"));
    QVERIFY(reset.Done());
    QCOMPARE(box.caption, QString("Подтверждение"));
    QCOMPARE(box.text, QString("Вы действительно хотите сбросить список избранных фильтров?"));
    QCOMPARE(box.defaultButton, QString("Нет"));
    QVERIFY(s.Stats.ShowAll);
    QCOMPARE(s.DrawsStatChooser.Count(), all);

    // Cancel leaves everything as it was.
    ModalDriver cancel;
    cancel.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormManager*>(w);
      if (!dlg) return false;
      dlg->Command("CheckNone")->trigger();
      ClickMethod(dlg, s, "EVEN");
      dlg->reject();
      return true;
    });
    QVERIFY(d.Window->Actions().Execute("FiltersManager"));
    QVERIFY(cancel.Done());
    QVERIFY(s.Stats.ShowAll);
  }

  void descriptionWindowShowsThePage() {
    test::TempDir dir;
    const std::string page = dir.File("Filters_1049_NUMS.htm");
    WriteFileAtomic(page, "<html><body><h1>Числа тиража</h1><p>Описание</p></body></html>");
    TFormFilterHelp dlg(nullptr, page);
    QCOMPARE(dlg.windowTitle(), QString("Описание методики расчета"));
    QVERIFY(dlg.wbHelp->toPlainText().contains("Числа тиража"));
  }

  void keepAndDeleteTheSelectedTableRows() {
    DesktopFixture f;
    f.WriteArchive({1, 2, 3, 4, 5});
    TDesktop& d = f.Start();
    Session& s = d.Sess;
    if (s.DrawsStatChooser.Count() == 0) s.StartCatalogue();
    if (s.CurrentCombs.Count() != COMBS_TOTAL) {
      s.ReserveCombsLists();
      s.CombsGen(MakeGenParams(kGenModeFull, ""));
    }
    auto* page = d.Window->findChild<TDrawsStatPage*>();
    QVERIFY(page);
    const int nums = s.Stats.IndexOfCode("NUMS");
    const auto& methods = s.DrawsStatChooser.Methods;
    s.DrawsStatChooser.ItemIndex = static_cast<int>(std::find(methods.begin(), methods.end(), nums) - methods.begin());
    s.ComputeDrawsStat(true);
    page->RefreshPage(true);
    QAction* keep = d.Window->Actions().Action("StatFilter_Include");
    QAction* del = d.Window->Actions().Action("StatFilter_Exclude");
    QVERIFY(page->lvDrawsStat->actions().contains(keep));  // in the table's pop-up menu
    d.Window->Actions().UpdateActions();
    QVERIFY(!keep->isEnabled());
    // Select the row of the number 7 in the view: the rules follow the selection.
    int row = -1;
    for (int r = 0; r < s.DrawsStat.RowCount(); ++r)
      if (s.DrawsStat.Row(r).ValueText() == "7") row = r;
    QVERIFY(row >= 0);
    page->lvDrawsStat->selectRow(row);
    QCOMPARE(s.DrawsStat.SelectedCount(), 1);
    QVERIFY(keep->isEnabled());
    QVERIFY(del->isEnabled());
    keep->trigger();
    QCOMPARE(s.CurrentCombs.Count(), 1344904);
    QCOMPARE(s.FilterLog.Count(), 1);
    QCOMPARE(QString::fromStdString(s.FilterLog[0].Values), QString("7"));
    s.CombsUndo();
    QCOMPARE(s.CurrentCombs.Count(), COMBS_TOTAL);
  }

  void statFilterActionsExist() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    QAction* keep = d.Window->Actions().Action("StatFilter_Include");
    QAction* del = d.Window->Actions().Action("StatFilter_Exclude");
    QVERIFY(keep && del);
    QCOMPARE(keep->text(), QString("Оставить выделенные"));
    QCOMPARE(del->statusTip(), QString("Из списка комбинаций удалить комбинации с выделенными характеристиками"));
    d.Window->Actions().UpdateActions();
    QVERIFY(!keep->isEnabled());  // no row selected
  }
};

QTEST_MAIN(TestFilters)
#include "test_filters.moc"
