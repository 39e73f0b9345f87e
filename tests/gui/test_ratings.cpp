// The rating in the desktop program: the page over a ratings file, sorting by a header click and keeping
// that order, the efficiency modes, the recompute from the stakes file, the CSV export, the rows' script
// lines back into the script, and the chart window with the stake and rating charts.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QComboBox>
#include <QTextBrowser>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>

#include "analysis/formreport.h"
#include "app/actionregistry.h"
#include "combs/formgraph.h"
#include "combs/ratingsmodel.h"
#include "combs/ratingspage.h"
#include "combs/stakesfile.h"
#include "guitestutil.h"
#include "scripts/scriptline.h"
#include "util/cp1251.h"
#include "util/inifile.h"
#include "util/safefile.h"
#include "util/strutil.h"

using namespace quintar;
using namespace quintar::gui;
using quintar::test::AnswerBox;
using quintar::test::BoxSeen;
using quintar::test::DesktopFixture;
using quintar::test::ModalDriver;

namespace {

const char* const kScriptComment = "01.001: my line @ FULL:0#RAND + TSD1#SUMS:100#LMV:5#SF:1";

TRatingRec Row(const char* name, int stakes, std::initializer_list<int> counts, int64_t profit) {
  TRatingRec r = MakeRatingRec(name);
  r.Stakes = stakes;
  int i = 0, guessed = 0;
  for (int c : counts) {
    r.Counts[i] = c;
    guessed += c * i;
    ++i;
  }
  r.Guessed = guessed;
  r.Profit = profit;
  return r;
}

TRatingsPage* RatingsPage(TDesktop& d) { return static_cast<TRatingsPage*>(d.Window->Page("tsRatings")); }

QString Cell(TDesktop& d, int row, int col) {
  TRatingsModel* m = RatingsPage(d)->Model();
  return m->data(m->index(row, col), Qt::DisplayRole).toString();
}

QStringList Names(TDesktop& d) {
  QStringList names;
  for (int r = 0; r < RatingsPage(d)->Model()->rowCount(); ++r) names << Cell(d, r, 0);
  return names;
}

QStringList FileNames(const std::string& path) {
  TRatings file;
  file.LoadFromFile(path);
  QStringList names;
  for (const auto& r : file.Rows()) names << QString::fromStdString(r.Name());
  return names;
}

void ClickHeader(TRatingsPage* page, int col) {
  QHeaderView* h = page->lvRatings->horizontalHeader();
  const QPoint at(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
  QTest::mouseClick(h->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void SelectRows(TRatingsPage* page, std::initializer_list<int> rows) {
  QItemSelectionModel* sm = page->lvRatings->selectionModel();
  sm->clearSelection();
  for (int r : rows)
    sm->select(page->Model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// A chart window step: records the window's series (name, points, marks) and closes it.
struct GraphSeen {
  QString caption;
  QStringList names;
  std::vector<QList<QPointF>> points;
  std::vector<bool> marks;
  bool marksHidden = false;  // every mark hidden after the box was cleared
  bool rendered = false;     // the picture holds more than one colour
};

bool ManyColours(const QImage& img) {
  if (img.isNull()) return false;
  const QRgb first = img.pixel(0, 0);
  for (int y = 0; y < img.height(); y += 3)
    for (int x = 0; x < img.width(); x += 3)
      if (img.pixel(x, y) != first) return true;
  return false;
}

std::function<bool(QWidget*)> ReadGraph(GraphSeen* seen, const QString& shot = {}) {
  return [seen, shot](QWidget* w) {
    auto* g = qobject_cast<TFormGraph*>(w);
    if (!g) return false;
    seen->caption = g->windowTitle();
    for (int i = 0; i < g->SeriesCount(); ++i) {
      seen->names << g->Series(i)->name();
      seen->points.push_back(g->Series(i)->points());
      seen->marks.push_back(g->Series(i)->pointLabelsVisible());
    }
    const QImage img = g->grab().toImage();
    seen->rendered = ManyColours(img);
    if (!shot.isEmpty()) img.save(shot, "PNG");
    g->cbShowMarks->setChecked(false);
    seen->marksHidden = true;
    for (int i = 0; i < g->SeriesCount(); ++i)
      if (g->Series(i)->pointLabelsVisible()) seen->marksHidden = false;
    g->accept();
    return true;
  };
}

// Pictures of the page and the chart window go to this folder when it is set.
QString ShotFile(const char* name) {
  const QByteArray dir = qgetenv("QUINTAR_SCREENSHOT_DIR");
  return dir.isEmpty() ? QString() : QString::fromLocal8Bit(dir) + "/" + name;
}

}  // namespace

class TestRatings : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallDrawDateHooks(); }

  void pageShowsTheRatingsFileAndSortsByHeaderClicks() {
    DesktopFixture f;
    {
      TRatings r;
      r.Append(Row("Alpha", 10, {7, 3}, -100000));
      r.Append(Row("Beta", 4, {0, 0, 4}, 25000));
      // Counts that do not add up to the stakes cannot be shown.
      TRatingRec bad = Row("Gamma", 5, {}, 0);
      r.Append(bad);
      r.SaveToFile(f.DataDir() + "Quintar_7x35.lrt");
    }
    TDesktop& d = f.Start();
    TRatingsPage* page = RatingsPage(d);
    QTableView* lv = page->lvRatings;
    QCOMPARE(lv->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(page->Model()->columnCount(), 22);
    QCOMPARE(page->Model()->headerData(14, Qt::Horizontal, Qt::DisplayRole).toString(), QString("E0"));
    // The initial order: the average, descending.
    QCOMPARE(Names(d), (QStringList{"Beta", "Alpha", "# bad data #"}));
    QCOMPARE(lv->horizontalHeader()->sortIndicatorSection(), 3);
    QCOMPARE(lv->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(d.Window->Panel(5)->text(), QString("Рейтинг: 3"));
    QCOMPARE(Cell(d, 1, 3), QString("0,300"));
    QCOMPARE(Cell(d, 1, 4), QString("-10,00"));
    QCOMPARE(Cell(d, 1, 5), QString("-1,00"));
    QCOMPARE(Cell(d, 2, 1), QString());

    // Efficiency of 3 stakes with one match among 10: absolute, expected, relative.
    QCOMPARE(Cell(d, 1, 15), QString("-9,217%"));
    QVERIFY(d.Window->Actions().Action("RatingsEffMode1")->isChecked());
    QVERIFY(d.Window->Actions().Execute("RatingsEffMode0"));
    QCOMPARE(Cell(d, 1, 15), QString("4"));
    QVERIFY(d.Window->Actions().Action("RatingsEffMode0")->isChecked());
    QVERIFY(!d.Window->Actions().Action("RatingsEffMode1")->isChecked());
    QVERIFY(d.Window->Actions().Execute("RatingsEffMode2"));
    QCOMPARE(Cell(d, 1, 15), QString("76,497%"));
    QCOMPARE(IniFile(f.DataDir() + "Quintar_7x35.frm").ReadString("TFormMain", "RatingsEffMode", ""),
             std::string("2"));

    // A click on "Ставок" sorts by it descending, a second click ascending; the file follows the view.
    ClickHeader(page, 1);
    QCOMPARE(Names(d), (QStringList{"Alpha", "# bad data #", "Beta"}));
    QCOMPARE(lv->horizontalHeader()->sortIndicatorSection(), 1);
    QCOMPARE(lv->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    ClickHeader(page, 1);
    QCOMPARE(Names(d), (QStringList{"Beta", "# bad data #", "Alpha"}));
    QCOMPARE(lv->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(FileNames(f.DataDir() + "Quintar_7x35.lrt"), (QStringList{"Beta", "Gamma", "Alpha"}));
    // The name column starts ascending.
    ClickHeader(page, 0);
    QCOMPARE(Names(d), (QStringList{"Alpha", "Beta", "# bad data #"}));
    ClickHeader(page, 1);

    const QString shot = ShotFile("ratings-page.png");
    d.Window->pcMain->setCurrentWidget(page);
    QApplication::processEvents();
    QVERIFY(ManyColours(page->grab().toImage()));
    if (!shot.isEmpty()) {
      d.Window->resize(1900, 520);
      d.Window->splitter->setSizes({200, 1700});
      QApplication::processEvents();
      page->grab().toImage().save(shot, "PNG");
    }

    // The sort settings survive a restart as the view's own.
    f.Stop();
    QCOMPARE(IniFile(f.DataDir() + "Quintar_7x35.frm").ReadString("TFormMain", "lvRatings.SortType", ""),
             std::string("1,1"));
    TDesktop& d2 = f.Start();
    QCOMPARE(Names(d2), (QStringList{"Alpha", "# bad data #", "Beta"}));
    QCOMPARE(RatingsPage(d2)->lvRatings->horizontalHeader()->sortIndicatorSection(), 1);
    QCOMPARE(Cell(d2, 0, 15), QString("76,497%"));
  }

  void stakesFeedTheRatingItsChartsAndTheScript() {
    DesktopFixture f;
    f.WriteArchive({101, 102, 103});  // numbers 1..7, 2..8, 3..9
    TStakePrices prices;
    prices.Cost = 10000;
    prices.Profits = {{7, 10000000}};
    {
      TStakesFile file(f.DataDir() + "Quintar_7x35.lsk");
      file.OpenStakes();
      const TComb mine{{1, 2, 3, 4, 5, 6, 7}}, other{{20, 21, 22, 23, 24, 25, 26}};
      for (int draw : {101, 102, 103}) {
        TStakeRec s = MakeStakeRecord(draw, 100, &mine, prices.Fn(), skScript);
        s.SetComment(kScriptComment);
        file.AddStake(s, 1);
        file.AddStake(MakeStakeRecord(draw, 100, &other, prices.Fn()), 1);
      }
      file.CloseStakes();
    }
    TDesktop& d = f.Start();
    Session& s = d.Sess;
    ActionRegistry& actions = d.Window->Actions();
    TRatingsPage* page = RatingsPage(d);
    s.Stakes.OpenStakes();
    TStakeCheckHooks hooks;
    hooks.Result = prices.Fn();
    QVERIFY(s.CheckStakesRated(s.Stakes, hooks));
    QCOMPARE(Names(d), (QStringList{QString::fromUtf8(kScriptComment), "Ставка \"вручную\""}));
    QCOMPARE(Cell(d, 0, 2), QString("18"));
    QCOMPARE(d.Window->Panel(5)->text(), QString("Рейтинг: 2"));

    // The button recomputes the rating from the stakes file after asking.
    actions.UpdateActions();
    QVERIFY(page->btnRatingsRefresh->isEnabled());
    BoxSeen asked;
    {
      ModalDriver driver;
      driver.Then(AnswerBox("Yes", &asked));
      QTest::mouseClick(page->btnRatingsRefresh, Qt::LeftButton);
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    }
    QCOMPARE(asked.caption, QString("Подтверждение"));
    QVERIFY(asked.text.startsWith("Пересчитать рейтинг только по текущим ставкам?"));
    QCOMPARE(Names(d), (QStringList{QString::fromUtf8(kScriptComment), "Ставка \"вручную\""}));
    QCOMPARE(Cell(d, 0, 1), QString("3"));

    // Charts need a selected row.
    page->ClearSelection();
    for (const char* name : {"StakesGraphOverlap", "StakesGraphProfits", "RatingsGraphOverlap", "RatingsToScript"})
      QVERIFY2(!actions.Action(name)->isEnabled(), name);
    SelectRows(page, {0});

    // The match distribution: chance's counts for the row's stakes, then the row's own counts.
    GraphSeen overlap;
    {
      ModalDriver driver;
      driver.Then(ReadGraph(&overlap, ShotFile("chart-overlap.png")));
      QVERIFY(actions.Execute("RatingsGraphOverlap"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    }
    QCOMPARE(overlap.caption, QString("График количества совпадений для выделенных строк рейтинга"));
    QCOMPARE(overlap.names, (QStringList{"Нормальные значения", QString::fromUtf8(kScriptComment)}));
    QCOMPARE(overlap.points[0].size(), 8);
    QVERIFY(qAbs(overlap.points[0][1].y() - 3.0 * 2637180 / 6724520) < 1e-9);
    QCOMPARE(overlap.points[1],
             (QList<QPointF>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 1}, {6, 1}, {7, 1}}));
    QVERIFY(overlap.rendered);

    // Matches and profits of the row's stakes per draw, with marks the box hides.
    GraphSeen matches, profits, draws;
    {
      ModalDriver driver;
      driver.Then(ReadGraph(&matches)).Then(ReadGraph(&profits)).Then(ReadGraph(&draws, ShotFile("chart-draws.png")));
      QVERIFY(actions.Execute("StakesGraphOverlap"));
      QVERIFY(actions.Execute("StakesGraphProfits"));
      QVERIFY(actions.Execute("StakesGraphDraws"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    }
    QCOMPARE(matches.caption, QString("График количества совпадений для всех ставок по тиражам"));
    QCOMPARE(matches.points.size(), size_t(1));
    QCOMPARE(matches.points[0], (QList<QPointF>{{101, 7}, {102, 6}, {103, 5}}));
    QCOMPARE(matches.marks, (std::vector<bool>{true}));
    QVERIFY(matches.marksHidden);
    QCOMPARE(profits.points[0], (QList<QPointF>{{101, 999}, {102, -1}, {103, -1}}));
    QCOMPARE(draws.caption, QString("График суммарного профита ставок по тиражам"));
    QCOMPARE(draws.names,
             (QStringList{"Суммарный профит ставок по тиражу", "Среднее значение", "Накопленное значение"}));
    QCOMPARE(draws.points[0], (QList<QPointF>{{101, 998}, {102, -2}, {103, -2}}));
    QCOMPARE(draws.points[2], (QList<QPointF>{{101, 998}, {102, 996}, {103, 994}}));
    QCOMPARE(draws.marks, (std::vector<bool>{true, false, true}));
    QVERIFY(draws.rendered);
    // The chart window keeps its placement.
    QVERIFY(!IniFile(f.DataDir() + "Quintar_7x35.frm").ReadString("TFormGraph", "NormPos", "").empty());

    // The CSV export: the 22 captions, then the 14 fields of each row.
    const std::string csv = f.File("rating.csv");
    {
      ModalDriver driver;
      driver.Then([&](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        if (!dlg) return false;
        quintar::test::SelectFile(dlg, QString::fromStdString(csv));
        static_cast<QDialog*>(dlg)->accept();
        return true;
      });
      QVERIFY(actions.Execute("RatingsExport"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    }
    const QStringList lines = QString::fromStdString(Cp1251ToUtf8(ReadWholeFile(csv))).split("\r\n");
    QCOMPARE(lines.size(), 4);  // the last line ends too
    QCOMPARE(lines[0].split(';').size(), 22);
    QCOMPARE(lines[0].split(';')[21], QString("\"E7\""));
    QCOMPARE(lines[2].split(';').size(), 14);
    QCOMPARE(lines[2].split(';')[0], QString("\"Ставка \"\"вручную\"\"\""));

    // Both rows back into the script: the script row's line is added, the manual one refused.
    SelectRows(page, {0, 1});
    const size_t before = s.ScriptLines.size();
    BoxSeen refused;
    {
      ModalDriver driver;
      driver.Then(AnswerBox("Ok", &refused));
      QVERIFY(actions.Execute("RatingsToScript"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    }
    QCOMPARE(s.ScriptLines.size(), before + 1);
    const std::string line = s.ScriptLines.back();
    QCOMPARE(ScriptLineField(line, 1), std::string("FULL:0#RAND"));
    QCOMPARE(ScriptLineField(line, 2), std::string("TSD1#SUMS:100#LMV:5#SF:1"));
    QCOMPARE(ScriptLineField(line, 3), std::string());
    QCOMPARE(ScriptLineField(line, 9), std::string("01.001: my line"));
    QCOMPARE(refused.caption, QString("Ошибка"));
    QCOMPARE(refused.text, QString("Строку\n\nСтавка \"вручную\"\n\nневозможно добавить в сценарий!"));
    QCOMPARE(d.Window->pcMain->currentWidget(), d.Window->Page("tsScript"));

    // Only the manual row: refused, the script page does not come forward.
    d.Window->pcMain->setCurrentWidget(page);
    SelectRows(page, {1});
    {
      ModalDriver driver;
      driver.Then(AnswerBox("Ok"));
      QVERIFY(actions.Execute("RatingsToScript"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    }
    QCOMPARE(s.ScriptLines.size(), before + 1);
    QCOMPARE(d.Window->pcMain->currentWidget(), static_cast<QWidget*>(page));
  }

  // The selected rows against chance and the archive against random draws, each in the report window
  // with its verdict, a bar chart per part and the page saved as HTML.
  void reportWindowsShowTheFiguresAgainstChance() {
    DesktopFixture f;
    f.WriteArchive({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    {
      TRatings r;
      r.Append(Row("Лучше случая", 400, {59, 140, 130, 51, 20}, 0));
      r.Append(Row("Как случай", 400, {70, 140, 130, 51, 9}, 0));
      r.SaveToFile(f.DataDir() + "Quintar_7x35.lrt");
    }
    TDesktop& d = f.Start();
    TRatingsPage* page = RatingsPage(d);
    ActionRegistry& actions = d.Window->Actions();
    d.Window->pcMain->setCurrentWidget(page);
    QVERIFY(!actions.Action("RatingsSignificance")->isEnabled());
    QVERIFY(page->lvRatings->actions().contains(actions.Action("RatingsSignificance")));
    SelectRows(page, {0, 1});
    actions.UpdateActions();
    QVERIFY(actions.Execute("RatingsSignificance"));
    auto reports = d.Window->findChildren<TFormReport*>();
    QCOMPARE(reports.size(), 1);
    TFormReport* w = reports[0];
    QVERIFY(w->isVisible() && !w->isModal());
    const QString text = w->txtReport->toPlainText();
    QVERIFY(text.contains("Лучше случая") && text.contains("Как случай"));
    QVERIFY(text.contains("лучше случайного угадывания"));
    QVERIFY(text.contains("не отличается от случайного угадывания"));
    QCOMPARE(w->cbChart->count(), 2);
    auto* bars = qobject_cast<QBarSeries*>(w->crtReport->chart()->series().value(0));
    QVERIFY(bars && bars->count() == 2 && bars->barSets()[0]->count() == 8);
    QCOMPARE(bars->barSets()[0]->at(4), 20.0);
    QApplication::processEvents();
    const QString shot = ShotFile("significance.png");
    if (!shot.isEmpty()) w->grab().save(shot, "PNG");
    QVERIFY(w->SaveTo(f.File("rows.html")));
    QVERIFY(ReadWholeFile(f.File("rows.html")).find("<svg") != std::string::npos);
    w->close();
    QApplication::processEvents();

    QVERIFY(actions.Execute("DrawsRandomness"));
    reports = d.Window->findChildren<TFormReport*>();
    QVERIFY(!reports.isEmpty());
    w = reports.back();
    QVERIFY(w->txtReport->toPlainText().contains("Частоты чисел 1..35"));
    QCOMPARE(w->cbChart->count(), 4);
    w->cbChart->setCurrentIndex(1);
    QCOMPARE(w->crtReport->chart()->title(), QString("Суммы чисел"));
    QApplication::processEvents();
    const QString shot2 = ShotFile("randomness.png");
    if (!shot2.isEmpty()) w->grab().save(shot2, "PNG");
    w->close();
  }
};

QTEST_MAIN(TestRatings)
#include "test_ratings.moc"
