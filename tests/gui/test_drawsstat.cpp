// The page "Статистика" on the offscreen platform: the chooser, the draws count with Enter, the table
// with its header sort and selection, the norm columns and the chart.
#include <QAbstractItemModel>
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QXYSeries>

#include "app/actionregistry.h"
#include "guitestutil.h"
#include "stats/drawsstatpage.h"
#include "util/safefile.h"

using namespace quintar;
using namespace quintar::gui;
using quintar::test::DesktopFixture;

class TestDrawsStatPage : public QObject {
  Q_OBJECT

 private slots:
  void TableChooserLengthSortSelectionChart();
};

void TestDrawsStatPage::TableChooserLengthSortSelectionChart() {
  DesktopFixture f;
  f.WriteArchive({101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112});
  TDesktop& d = f.Start();
  Session& s = d.Sess;
  s.StartCatalogue();
  s.RefreshViews(true);
  auto* page = d.Window->findChild<TDrawsStatPage*>("tsDrawsStat");
  QVERIFY(page);
  QCOMPARE(page->cbDrawsStatType->count(), s.DrawsStatChooser.Count());
  QVERIFY(page->cbDrawsStatType->count() > 20);
  QCOMPARE(page->lvDrawsStat->model()->rowCount(), 35);  // NUMS
  QCOMPARE(page->lvDrawsStat->model()->columnCount(), 20);
  QCOMPARE(page->lvDrawsStat->model()->headerData(1, Qt::Horizontal).toString(), QString("Количество"));
  // Prefetching is off: the norm columns are hidden.
  QVERIFY(page->lvDrawsStat->isColumnHidden(dscNorm));
  QVERIFY(!page->lvDrawsStat->isColumnHidden(dscDepth));

  // Another method from the chooser.
  page->cbDrawsStatType->setCurrentIndex(2);  // EVEN
  QCOMPARE(s.DrawsStat.MethodComputed(), s.Stats.IndexOfCode("EVEN"));
  QCOMPARE(page->lvDrawsStat->model()->rowCount(), s.DrawsStat.RowCount());

  // The draws count takes effect with Enter.
  page->edDrawsStatLen->setFocus();
  page->edDrawsStatLen->selectAll();
  QTest::keyClicks(page->edDrawsStatLen, "5");
  QCOMPARE(s.DrawsStat.Window().Length(), 12);
  QTest::keyClick(page->edDrawsStatLen, Qt::Key_Return);
  QCOMPARE(s.DrawsStat.DrawsStatLen, 5);
  QCOMPARE(s.DrawsStat.Window().Length(), 5);

  // Header clicks sort in the core: the same column again flips the direction.
  QHeaderView* h = page->lvDrawsStat->horizontalHeader();
  const int depthX = h->sectionViewportPosition(dscDepth) + 5;
  QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(depthX, h->height() / 2));
  QCOMPARE(s.DrawsStat.SortColumn(), int(dscDepth));
  QVERIFY(!s.DrawsStat.SortDescending());
  QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(depthX, h->height() / 2));
  QVERIFY(s.DrawsStat.SortDescending());
  QCOMPARE(page->lvDrawsStat->model()->index(0, dscDepth).data().toString(), QString::fromStdString(s.DrawsStat.Cell(0, dscDepth)));

  // The view's selection is the core's, and it follows a sort.
  page->lvDrawsStat->selectRow(0);
  QCOMPARE(s.DrawsStat.SelectedCount(), 1);
  const std::string value = s.DrawsStat.Cell(0, dscValue);
  QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(depthX, h->height() / 2));
  QCOMPARE(s.DrawsStat.SelectedCount(), 1);
  QCOMPARE(s.DrawsStat.SelectedValuesText(), value);
  const auto rows = page->lvDrawsStat->selectionModel()->selectedRows();
  QCOMPARE(rows.size(), 1);
  QCOMPARE(rows[0].data().toString(), QString::fromStdString(value));

  // The chart: the actual counts, no ideal line without prefetch files.
  QChart* chart = page->crtDrawsStat->chart();
  QVERIFY(chart->series().size() >= 1);
  auto* actual = qobject_cast<QXYSeries*>(chart->series()[0]);
  QVERIFY(actual);
  QCOMPARE(actual->name(), QString("Фактические данные"));
  QCOMPARE(actual->pen().color(), QColor(0x00, 0x80, 0x00));

  // The pop-up menu carries the page's commands.
  QAction* calc = d.Window->Actions().Action("DrawsStatCalc");
  QVERIFY(calc);
  QVERIFY(page->lvDrawsStat->actions().contains(calc));
  QVERIFY(calc->isEnabled());
  QAction* total = d.Window->Actions().Action("DrawsStatShowTotalLine");
  QVERIFY(total && !total->isEnabled());  // only with prefetch files
  f.Stop();
}

QTEST_MAIN(TestDrawsStatPage)
#include "test_drawsstat.moc"
