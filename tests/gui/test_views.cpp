// The analysis views in the desktop program on the offscreen platform: the pages "Графики", "Карта" and
// "Схема" over the real archive, their switches and number filters with undo, and the repeats, sum
// distribution and details windows. With QUINTAR_SHOTS set to a folder each page and window is saved
// there as a picture.
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <QLineSeries>
#include <QXYSeries>

#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/mainwindow.h"
#include "combs/formgraph.h"
#include "game/drawarchive.h"
#include "game/drawspage.h"
#include "guitestutil.h"
#include "util/safefile.h"
#include "views/cardpage.h"
#include "views/forminfo.h"
#include "views/formrepeats.h"
#include "views/graphspage.h"
#include "views/gridmodels.h"
#include "views/layoutpage.h"

using namespace quintar;
using namespace quintar::gui;
using quintar::test::AnswerBox;
using quintar::test::BoxSeen;
using quintar::test::DesktopFixture;
using quintar::test::ModalDriver;

namespace {

void Shot(QWidget* w, const QString& name) {
  const QByteArray dir = qgetenv("QUINTAR_SHOTS");
  if (dir.isEmpty() || !w) return;
  // The offscreen screen is small: the main window is shown at its designed size for the picture.
  if (qobject_cast<TFormMain*>(w)) w->resize(1280, 800);
  QCoreApplication::processEvents();
  w->grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png", "PNG");
}

// The real archive in the fixture's data folder, or a synthetic one of 434 draws when it is missing.
void WriteRealArchive(DesktopFixture& f) {
  TDrawArchive a;
  const std::string csv = test::SharedDataFile("draws-7x35-import.csv");
  if (!csv.empty())
    a.ImportCsv(csv);
  else
    a = MakeDemoArchive(434, 7);
  a.SaveToFile(f.DataDir() + "Quintar_7x35.ldr");
}

// Combinations of 7 from 35 that hold at least one of k given numbers.
int64_t WithAnyOf(int k) { return CombCount(35, 7) - CombCount(35 - k, 7); }

}  // namespace

class TestViews : public QObject {
  Q_OBJECT

 private slots:
  void pagesFollowTheArchiveOffsetAndSwitches();
  void cardAndLayoutFiltersWithUndo();
  void windowsShowTheirData();
};

void TestViews::pagesFollowTheArchiveOffsetAndSwitches() {
  DesktopFixture f;
  WriteRealArchive(f);
  TDesktop& d = f.Start();
  Session& s = d.Sess;
  const int draws = s.Archive.Count();
  auto* graphs = d.Window->findChild<TGraphsPage*>("tsGraphs");
  auto* card = d.Window->findChild<TCardPage*>("tsCard");
  auto* layout = d.Window->findChild<TLayoutPage*>("tsLayout");
  QVERIFY(graphs && card && layout);
  QTabWidget* tabs = d.Window->pcMain;

  // Graphs: the chooser offers the graph statistics; choosing SUMS draws 100 points, the mean and the mode.
  QCOMPARE(graphs->cbDrawsGraphType->count(), s.DrawsGraphChooser.Count());
  const auto& methods = s.DrawsGraphChooser.Methods;
  const int sums = static_cast<int>(std::find(methods.begin(), methods.end(), s.Stats.IndexOfCode("SUMS")) - methods.begin());
  graphs->cbDrawsGraphType->setCurrentIndex(sums);
  tabs->setCurrentWidget(graphs);
  QVERIFY(graphs->MainSeries());
  QCOMPARE(graphs->MainSeries()->count(), std::min(100, draws));
  QCOMPARE(graphs->MainSeries()->name(), QString("Сумма тиража: все значения"));
  QCOMPARE(graphs->MainSeries()->at(99).y(), double(SumOf(s.Archive[draws - 1].Nums)));
  QCOMPARE(graphs->MainSeries()->at(99).x(), double(s.Archive[draws - 1].Number));
  QStringList titles;
  for (QAbstractSeries* sr : graphs->crtDrawsGraph->chart()->series()) titles << sr->name();
  QVERIFY(titles.contains("Среднее значение") && titles.contains("Наиболее часто встречающееся значение"));
  graphs->cbDrawsGraphShowMarks->setChecked(true);
  QVERIFY(graphs->MainSeries()->pointLabelsVisible());
  Shot(d.Window.get(), "graphs");

  // A window of 10 draws with Enter, then the offset: the window ends at the reference draw.
  graphs->edDrawsGraphLen->setFocus();
  graphs->edDrawsGraphLen->selectAll();
  QTest::keyClicks(graphs->edDrawsGraphLen, "10");
  QTest::keyClick(graphs->edDrawsGraphLen, Qt::Key_Return);
  QCOMPARE(graphs->MainSeries()->count(), 10);
  const int cardGeneration = s.Views.CardGeneration();
  d.Window->DrawsPage()->edDrawsOffset->setValue(3);
  QCOMPARE(graphs->MainSeries()->at(9).x(), double(s.Archive[draws - 4].Number));
  // The card does not depend on the offset; an edit of a draw rebuilds it even though the count stays.
  QCOMPARE(s.Views.CardGeneration(), cardGeneration);

  // Card: one row per draw, newest first, with the repeat and neighbour colours.
  tabs->setCurrentWidget(card);
  QCOMPARE(card->Model()->rowCount(), draws);
  QCOMPARE(card->Model()->headerData(36, Qt::Horizontal, Qt::DisplayRole).toString(), QString("E"));
  const TDraw newest = s.Archive[draws - 1];
  QCOMPARE(card->Model()->index(0, 0).data().toString(), QString::number(newest.Number));
  const int n = newest.Nums[0];
  QCOMPARE(card->Model()->index(0, n).data().toString(), QString::number(n));
  const auto expected = s.Views.Card().CellColor(1, n, s.Views.CardColors());
  QCOMPARE(card->Model()->index(0, n).data(Qt::BackgroundRole).value<QBrush>().color(), RgbColor(*expected));
  Shot(d.Window.get(), "card");
  QVERIFY(d.Window->Actions().Execute("ViewColorCard"));
  QVERIFY(d.Window->Actions().Execute("ViewColorCardSequences"));
  QVERIFY(!card->Model()->index(0, n).data(Qt::BackgroundRole).isValid());
  QCOMPARE(s.Frm.ReadFormBool(kMainForm, "ColorCard", true), false);
  QVERIFY(d.Window->Actions().Execute("ViewColorCard"));
  QVERIFY(d.Window->Actions().Execute("ViewColorCardSequences"));
  TDraw edited = s.Archive[draws - 1];
  std::swap(edited.Nums[0], edited.Nums[6]);
  edited.Nums[0] = static_cast<uint8_t>(edited.Nums[0] == 35 ? 1 : 35);
  if (std::count(edited.Nums, edited.Nums + 7, edited.Nums[0]) == 1) {
    s.DrawsEdit(0, edited);
    QVERIFY(s.Views.CardGeneration() != cardGeneration);
    s.DrawsEdit(0, newest);  // the real draw back for the pictures that follow
  }

  // Layout: with offset 3 the numbers of the draw after the reference draw are bracketed and green.
  tabs->setCurrentWidget(layout);
  const TLayoutScheme& scheme = s.Views.Layout();
  QCOMPARE(layout->Model()->rowCount(), scheme.RowCount() - 1);
  QCOMPARE(layout->Model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString::number(s.Archive[draws - 4].Number));
  int bracketed = 0;
  for (int r = 1; r < scheme.RowCount(); ++r)
    for (int c = 1; c < scheme.ColCount(); ++c)
      if (scheme.Cell(r, c).find('[') != std::string::npos) {
        ++bracketed;
        QCOMPARE(layout->Model()->index(r - 1, c).data(Qt::BackgroundRole).value<QBrush>().color(), RgbColor(0x00FF00));
      }
  QVERIFY(bracketed > 0);
  QCOMPARE(layout->lvLayoutCmp[0]->topLevelItemCount(), static_cast<int>(s.Views.LayoutCompare()[0].Rows.size()));
  QCOMPARE(layout->lvLayoutCmp[4]->headerItem()->text(1),
           QString("%1 - %2").arg(s.Archive[draws - 4 - 399].Number).arg(s.Archive[draws - 4].Number));
  Shot(d.Window.get(), "layout");
  // A comparison length with Enter rebuilds the lists.
  layout->edLayoutCmp[0]->setFocus();
  layout->edLayoutCmp[0]->selectAll();
  QTest::keyClicks(layout->edLayoutCmp[0], "1");
  QTest::keyClick(layout->edLayoutCmp[0], Qt::Key_Return);
  QCOMPARE(layout->lvLayoutCmp[0]->topLevelItemCount(), 1);
  QCOMPARE(layout->lvLayoutCmp[0]->topLevelItem(0)->text(0), QString("1"));
  QVERIFY(d.Window->Actions().Execute("ViewShemaGradient"));
  QCOMPARE(s.Frm.ReadFormBool(kMainForm, "LayoutGradient", true), false);

  // A hidden page computes nothing; shown again it comes to the front with fresh data.
  QVERIFY(d.Window->Actions().Execute("TabGraps"));
  QVERIFY(!tabs->isTabVisible(tabs->indexOf(graphs)));
  QCOMPARE(s.Frm.ReadFormBool(kMainForm, "TabGraphs", true), false);
  const int graphsGeneration = s.Views.GraphsGeneration();
  d.Window->DrawsPage()->edDrawsOffset->setValue(0);
  QCOMPARE(s.Views.GraphsGeneration(), graphsGeneration);
  QVERIFY(d.Window->Actions().Execute("TabGraps"));
  QCOMPARE(tabs->currentWidget(), static_cast<QWidget*>(graphs));
  QCOMPARE(graphs->MainSeries()->at(9).x(), double(s.Archive[draws - 1].Number));

  // The lengths are kept at shutdown.
  f.Stop();
  FormSettings frm(f.DataDir() + "Quintar_7x35.frm");
  QCOMPARE(frm.ReadFormInt(kMainForm, "DrawsGraphLen", 0), 10);
  QCOMPARE(frm.ReadFormInt(kMainForm, "LayoutCompareLen1", 0), 1);
  QCOMPARE(frm.ReadFormInt(kMainForm, "LayoutLen", 0), 100);
}

void TestViews::cardAndLayoutFiltersWithUndo() {
  DesktopFixture f;
  WriteRealArchive(f);
  TDesktop& d = f.Start();
  Session& s = d.Sess;
  auto* card = d.Window->findChild<TCardPage*>("tsCard");
  auto* layout = d.Window->findChild<TLayoutPage*>("tsLayout");
  d.Window->pcMain->setCurrentWidget(card);
  QCOMPARE(s.CurrentCombs.Count(), COMBS_TOTAL);

  // The selection covering column 0 disables the card filters.
  SelectGridRect(card->sgCard, {0, 1, 3, 2});
  QVERIFY(!d.Window->Actions().Action("CardFilter_Include")->isEnabled());
  // Columns 1..35 of the newest three draws keep the combinations holding any of their numbers.
  SelectGridRect(card->sgCard, {1, 1, 35, 3});
  const TNumberPick pick = s.Views.Card().SelectionNumbers({1, 1, 35, 3});
  QVERIFY(d.Window->Actions().Action("CardFilter_Include")->isEnabled());
  QVERIFY(d.Window->Actions().Execute("CardFilter_Include"));
  QCOMPARE(int64_t(s.CurrentCombs.Count()), WithAnyOf(static_cast<int>(pick.Numbers.size())));
  QCOMPARE(s.FilterLog.Count(), 1);
  QCOMPARE(QString::fromStdString(s.FilterLog[0].Caption), QString("Карта"));
  QCOMPARE(s.FilterLog[0].Values, pick.Text);

  // A rectangle without numbers: the error, and neither the list, the log nor the undo copy changes.
  int empty = -1;
  for (int col = 1; col <= 35 && empty < 0; ++col)
    if (!s.Views.Card().Has(1, col)) empty = col;
  SelectGridRect(card->sgCard, {empty, 1, empty, 1});
  const int kept = s.CurrentCombs.Count();
  BoxSeen box;
  ModalDriver driver;
  driver.Then(AnswerBox("Ok", &box));
  QVERIFY(d.Window->Actions().Execute("CardFilter_Exclude"));
  QVERIFY(driver.Done());
  QCOMPARE(box.text, QString("В выделенном диапазоне нет значений для фильтра!"));
  QCOMPARE(s.CurrentCombs.Count(), kept);
  QCOMPARE(s.FilterLog.Count(), 1);
  QCOMPARE(s.PreviousCombs.Count(), COMBS_TOTAL);

  // The layout: deleting the numbers of its first data column, then two undos bring the full list back.
  d.Window->pcMain->setCurrentWidget(layout);
  const TLayoutScheme& scheme = s.Views.Layout();
  const TGridRect column{1, 1, 1, scheme.RowCount() - 1};
  const TNumberPick numbers = scheme.SelectionNumbers(column);
  SelectGridRect(layout->sgLayout, column);
  QVERIFY(d.Window->Actions().Execute("LayoutFilter_Exclude"));
  QCOMPARE(s.FilterLog.Count(), 2);
  QCOMPARE(QString::fromStdString(s.FilterLog[1].Caption), QString("Схема"));
  QCOMPARE(s.FilterLog[1].Count, s.CurrentCombs.Count());
  for (int i = 0; i < s.CurrentCombs.Count(); i += 9973)
    for (const TStatDraw& v : numbers.Numbers) QVERIFY(!CombHasNumber(v.Key.Part(1), s.CurrentCombs[i]));
  QVERIFY(d.Window->Actions().Execute("CombsUndo"));
  QCOMPARE(s.CurrentCombs.Count(), kept);
  QCOMPARE(s.FilterLog.Count(), 1);
  Shot(d.Window.get(), "layout-filter");
}

void TestViews::windowsShowTheirData() {
  DesktopFixture f;
  WriteRealArchive(f);
  TDesktop& d = f.Start();
  Session& s = d.Sess;

  // The repeats window computes as it opens, with the stored length and depth.
  s.Frm.WriteFormInt(kRepeatsSection, "DrawsLength", 30);
  s.Frm.WriteFormInt(kRepeatsSection, "DrawsDeep", 20);
  const TRepeatsResult expected = ComputeRepeats(s.Archive.Draws(), 30, 20);
  int rows = -1, series = -1;
  QString caption, firstList;
  ModalDriver repeats;
  repeats.Then([&](QWidget* w) {
    auto* dlg = qobject_cast<TFormRepeats*>(w);
    if (!dlg) return false;
    caption = dlg->windowTitle();
    rows = dlg->lvList->rowCount();
    firstList = dlg->lvList->item(0, 3)->text();
    Shot(dlg, "repeats");
    dlg->edDeep->setValue(1);
    dlg->btnDrawsStatCalc->click();
    series = static_cast<int>(dlg->crtGraph->chart()->series().size());
    dlg->accept();
    return true;
  });
  QVERIFY(d.Window->Actions().Execute("AnalyzeRepeats"));
  QVERIFY(repeats.Done());
  QCOMPARE(caption, QString("Количество повторов в зависимости от тиража"));
  QCOMPARE(rows, static_cast<int>(expected.Rows.size()));
  QCOMPARE(firstList, QString::fromStdString(expected.Rows[0].Draws));
  // Depth 1: one line and one point series per overlap size met.
  QCOMPARE(series, 2 * ComputeRepeats(s.Archive.Draws(), 30, 1).MaxMatches);
  QCOMPARE(s.Frm.ReadFormInt(kRepeatsSection, "DrawsDeep", 0), 1);

  // The sum distribution in the chart window.
  QStringList names;
  ModalDriver sums;
  sums.Then([&](QWidget* w) {
    auto* dlg = qobject_cast<TFormGraph*>(w);
    if (!dlg) return false;
    caption = dlg->windowTitle();
    for (int i = 0; i < dlg->SeriesCount(); ++i) names << dlg->Series(i)->name();
    rows = static_cast<int>(dlg->Series(1)->count());
    Shot(dlg, "sumdist");
    dlg->accept();
    return true;
  });
  QVERIFY(d.Window->Actions().Execute("TotalSumCombs"));
  QVERIFY(sums.Done());
  QCOMPARE(caption, QString("Распределение сумм тиражей и всех возможных комбинаций"));
  QCOMPARE(names.size(), 5);
  QCOMPARE(names[4], QString("Диапазон 3 (от 2/3 и выше по оси Y) - суммы 104-148"));
  QCOMPARE(rows, 197);

  // The details of the selected draw, and of the current combination; the column count moves the card.
  QTableView* lv = d.Window->DrawsPage()->lvDraws;
  lv->selectRow(0);
  int props = -1, cardRows = -1, cardRows7 = -1;
  QString number, cell;
  auto details = [&](bool save) {
    return [&, save](QWidget* w) {
      auto* dlg = qobject_cast<TFormInfo*>(w);
      if (!dlg) return false;
      caption = dlg->windowTitle();
      props = dlg->lvProps->rowCount();
      number = dlg->lvProps->item(0, 1)->text();
      cardRows = dlg->sgCard->rowCount();
      dlg->seCols->setValue(7);
      cardRows7 = dlg->sgCard->rowCount();
      const int n = s.Archive[s.Archive.High()].Nums[0];
      cell = dlg->sgCard->item((n - 1) / 7, (n - 1) % 7)->text();
      if (save) Shot(dlg, "details");
      dlg->accept();
      return true;
    };
  };
  ModalDriver info;
  info.Then(details(true));
  QVERIFY(d.Window->Actions().Execute("DrawsInfo"));
  QVERIFY(info.Done());
  QCOMPARE(caption, QString("Подробная информация"));
  const TDetails core = ComputeDetails(s.Stats, s.Views.DrawDetailsInput(s.Archive.High()));
  QCOMPARE(props, static_cast<int>(core.Props.size()));
  QCOMPARE(number, QString::number(s.Archive[s.Archive.High()].Number));
  QCOMPARE(cardRows, GroupCount(1, 35, s.Views.DetailsCols()));
  QCOMPARE(cardRows7, 5);
  QCOMPARE(cell, QString::number(s.Archive[s.Archive.High()].Nums[0]));

  auto* combsView = d.Window->findChild<QTableView*>("lvCombs");
  combsView->setCurrentIndex(combsView->model()->index(0, 1));
  ModalDriver combInfo;
  combInfo.Then([&](QWidget* w) {
    auto* dlg = qobject_cast<TFormInfo*>(w);
    if (!dlg) return false;
    props = dlg->lvProps->rowCount();
    cell = dlg->lvProps->item(0, 0)->text();
    dlg->accept();
    return true;
  });
  QVERIFY(d.Window->Actions().Execute("CombsInfo"));
  QVERIFY(combInfo.Done());
  QCOMPARE(props, static_cast<int>(core.Props.size()) - 2);  // no number and no date
  QCOMPARE(cell, QString("Количество четных чисел в тираже (Ч:Н)"));
}

QTEST_MAIN(TestViews)
#include "test_views.moc"
