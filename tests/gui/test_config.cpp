// The configuration dialog and the command "Параметры": what the dialog shows and refuses, and what
// storing its block does to the settings file, the catalogue, the choosers and the channel colours.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "game/drawspage.h"
#include "app/session.h"
#include "guitestutil.h"
#include "stats/formconfig.h"
#include "stats/formshredding.h"
#include "stats/statregistry.h"
#include "util/inifile.h"

using namespace quintar;
using namespace quintar::gui;
using quintar::test::AnswerBox;
using quintar::test::BoxSeen;
using quintar::test::DesktopFixture;
using quintar::test::ModalDriver;

namespace {

// Codes of a catalogue built from scratch with these settings.
std::vector<std::string> CodesFor(const TConfigData& config, const TDrawArchive& archive) {
  TStatList list;
  list.Config = config;
  list.Draws = &archive.Draws();
  list.BuildCatalogue();
  std::vector<std::string> codes;
  for (int i = 0; i < list.Count(); ++i) codes.push_back(list.CodeOf(i));
  return codes;
}

std::vector<std::string> CodesOf(const TStatList& list) {
  std::vector<std::string> codes;
  for (int i = 0; i < list.Count(); ++i) codes.push_back(list.CodeOf(i));
  return codes;
}

TConfigData ReadBack(const Session& s) {
  TStatList list;
  list.ReadSettings(s.FilePath(".ini"));
  return list.Config;
}

// A step that edits the dialog with `edit` and presses OK (or Cancel).
std::function<bool(QWidget*)> InDialog(std::function<void(TFormConfig*)> edit, bool ok = true) {
  return [edit, ok](QWidget* w) {
    auto* dlg = qobject_cast<TFormConfig*>(w);
    if (!dlg) return false;
    if (edit) edit(dlg);
    dlg->findChild<QPushButton*>(ok ? "btnOK" : "btnCancel")->click();
    return true;
  };
}

// Types a text into a cell of a grid through its editor, as the user does.
void TypeIntoCell(QTableWidget* grid, int row, int col, const QString& text) {
  grid->setCurrentCell(row, col);
  grid->editItem(grid->item(row, col));
  auto* ed = qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(row, col)));
  QVERIFY(ed);
  ed->selectAll();
  QTest::keyClick(ed, Qt::Key_Backspace);
  QTest::keyClicks(ed, text);
  QTest::keyClick(ed, Qt::Key_Return);
  // The view commits the editor's text on its next round of events.
  QTRY_VERIFY(!grid->indexWidget(grid->model()->index(row, col)));
}

}  // namespace

class TestConfig : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallDrawDateHooks(); }

  void theCatalogueIsBuiltWhenTheWindowOpens() {
    DesktopFixture f;
    {
      IniFile ini(f.DataDir() + "Quintar_7x35.ini");
      ini.WriteInteger("GLOBAL", "ChannelSize", 7);
      ini.WriteInteger("GLOBAL", "MatrixCols", 6);
      ini.UpdateFile();
    }
    TDesktop& d = f.Start();
    QCOMPARE(d.Sess.Stats.Config.ChannelSize, 7);
    QCOMPARE(d.Sess.Stats.Config.MatrixCols, 6);
    QVERIFY(d.Sess.Stats.Count() > 0);
    QCOMPARE(CodesOf(d.Sess.Stats), CodesFor(d.Sess.Stats.Config, d.Sess.Archive));
    QVERIFY(d.Sess.DrawsStatChooser.Count() > 0);
    QCOMPARE(d.Sess.DrawsStatChooser.ItemIndex, 0);
    QVERIFY(d.Window->Actions().Action("EditConfig")->isEnabled());
  }

  void theDialogShowsTheSettingsAndReshapesTheSegmentGrid() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    TConfigData c = d.Sess.ConfigData();
    c.Cost = 15000;
    c.Profits = {{3, 100000}, {7, 1000000000}, {9, 5000}};
    c.Weights = {0.5, -2, 1.25, true, false};
    c.MatrixSegments[11] = 3;  // number 12
    TFormConfig dlg(d.Window.get(), d.Host, c);
    QCOMPARE(dlg.windowTitle(), QString("Параметры системы"));
    QCOMPARE(dlg.edMatrixCol->value(), 5);
    QCOMPARE(dlg.edMatrixRow->value(), 7);
    QCOMPARE(dlg.edMatrixCol->toolTip(), QString("Количество столбцов"));
    QCOMPARE(dlg.edChannelSize->minimum(), 2);
    QCOMPARE(dlg.edChannelSize->maximum(), 35);
    QCOMPARE(dlg.edCost->text(), QString("1,5"));
    QVERIFY(dlg.edStakeMaxLen->isHidden());
    QVERIFY(dlg.lblStakeMaxLen->isHidden());
    QCOMPARE(dlg.edCoefDeviation->text(), QString("-2"));
    QCOMPARE(dlg.edCoefLevel->text(), QString("1,25"));
    QVERIFY(dlg.cbCoefPercents->isChecked());
    QVERIFY(!dlg.cbCoefAbs->isChecked());
    // Eight prize lines 0..7, then the stored prize of 9 matches that would otherwise be lost.
    QCOMPARE(dlg.edProfits->rowCount(), 9);
    QCOMPARE(dlg.edProfits->item(3, 0)->text(), QString("3"));
    QCOMPARE(dlg.edProfits->item(3, 1)->text(), QString("10,00"));
    QCOMPARE(dlg.edProfits->item(7, 1)->text(), QString("100000,00"));
    QCOMPARE(dlg.edProfits->item(0, 1)->text(), QString("0,00"));
    QCOMPARE(dlg.edProfits->item(8, 0)->text(), QString("9"));

    // 5 columns: 7 rows, number 12 at row 2, column 1.
    QCOMPARE(dlg.sgSegments->columnCount(), 5);
    QCOMPARE(dlg.sgSegments->rowCount(), 7);
    QCOMPARE(dlg.sgSegments->item(2, 1)->text(), QString("3"));
    // 8 columns: 5 rows; number 12 moves to row 1, column 3 and keeps its segment; the cells past 35
    // cannot be selected.
    dlg.edMatrixCol->setValue(8);
    QCOMPARE(dlg.edMatrixRow->value(), 5);
    QCOMPARE(dlg.sgSegments->columnCount(), 8);
    QCOMPARE(dlg.sgSegments->rowCount(), 5);
    QCOMPARE(dlg.sgSegments->item(1, 3)->text(), QString("3"));
    QCOMPARE(dlg.sgSegments->item(4, 2)->text(), QString("1"));  // number 35
    QVERIFY(dlg.sgSegments->item(4, 2)->flags() & Qt::ItemIsSelectable);
    QCOMPARE(dlg.sgSegments->item(4, 3)->text(), QString(""));
    QVERIFY(!(dlg.sgSegments->item(4, 3)->flags() & Qt::ItemIsSelectable));
    QVERIFY(!(dlg.sgSegments->item(4, 7)->flags() & Qt::ItemIsEditable));
    dlg.edMatrixCol->setValue(35);
    QCOMPARE(dlg.edMatrixRow->value(), 1);
    QCOMPARE(dlg.sgSegments->item(0, 11)->text(), QString("3"));
    dlg.edMatrixCol->setValue(1);
    QCOMPARE(dlg.edMatrixRow->value(), 35);
    QCOMPARE(dlg.sgSegments->item(11, 0)->text(), QString("3"));
  }

  void segmentCellsTakeDigitsOneToNine() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    TFormConfig dlg(d.Window.get(), d.Host, d.Sess.ConfigData());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    // Letters cannot be typed at all.
    TypeIntoCell(dlg.sgSegments, 0, 0, "x4");
    QCOMPARE(dlg.sgSegments->item(0, 0)->text(), QString("4"));
    QCOMPARE(dlg.Data().MatrixSegments[0], uint8_t{4});
    // An empty cell reads as 1.
    TypeIntoCell(dlg.sgSegments, 0, 0, "");
    QCOMPARE(dlg.sgSegments->item(0, 0)->text(), QString("1"));
    // 12 is not a segment: the message, and the cell becomes 1.
    BoxSeen seen;
    ModalDriver driver;
    driver.Then(AnswerBox("Ok", &seen));
    TypeIntoCell(dlg.sgSegments, 1, 2, "12");
    QTRY_VERIFY(driver.Done());
    QCOMPARE(seen.caption, QString("Ошибка"));
    QCOMPARE(seen.text, QString("Некорректное значение: 12!\n\nУкажите любое число от 1 до 9"));
    QCOMPARE(dlg.sgSegments->item(1, 2)->text(), QString("1"));
    QCOMPARE(dlg.Data().MatrixSegments[7], uint8_t{1});
    // OK while a cell is still being typed in takes what it holds.
    dlg.sgSegments->setCurrentCell(0, 1);
    dlg.sgSegments->editItem(dlg.sgSegments->item(0, 1));
    auto* ed = qobject_cast<QLineEdit*>(dlg.sgSegments->indexWidget(dlg.sgSegments->model()->index(0, 1)));
    QVERIFY(ed);
    ed->setText("5");
    dlg.findChild<QPushButton*>("btnOK")->click();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.Data().MatrixSegments[1], uint8_t{5});
  }

  void channelSizeRebuildsTheChannelMethodsAndColours() {
    DesktopFixture f;
    f.WriteArchive({1, 2, 3});
    TDesktop& d = f.Start();
    const int row = 0, numberCol = 1;  // the newest draw: numbers 3..9 in columns 1..7
    std::vector<std::optional<uint32_t>> before;
    for (int c = numberCol; c < numberCol + 7; ++c) before.push_back(d.Sess.DrawListCellColor(row, c));
    int settingsChanges = 0;
    auto prev = d.Host.changed;
    d.Host.changed = [&](Change what) {
      settingsChanges += what == Change::Settings;
      prev(what);
    };

    ModalDriver driver;
    driver.Then(InDialog([](TFormConfig* dlg) { dlg->edChannelSize->setValue(6); }));
    QVERIFY(d.Window->Actions().Execute("EditConfig"));
    QVERIFY(driver.Done());
    QVERIFY(driver.Unexpected.isEmpty());
    QCOMPARE(d.Sess.Stats.Config.ChannelSize, 6);
    QCOMPARE(ReadBack(d.Sess).ChannelSize, 6);
    QCOMPARE(IniFile(d.Sess.FilePath(".ini")).ReadString("GLOBAL", "ChannelSize", ""), std::string("6"));
    QVERIFY(settingsChanges > 0);
    // The catalogue is the one these settings give; every channel method counts channels of 6.
    QCOMPARE(CodesOf(d.Sess.Stats), CodesFor(d.Sess.Stats.Config, d.Sess.Archive));
    for (int i = 0; i < d.Sess.Stats.Count(); ++i)
      if (d.Sess.Stats.StatClass(i).Range == TParamRange::Channels) QVERIFY(d.Sess.Stats.Param(i) <= 6);
    // The draw list colours numbers by channels of 6: the seven numbers 3..9 fall differently.
    std::vector<std::optional<uint32_t>> after;
    for (int c = numberCol; c < numberCol + 7; ++c) after.push_back(d.Sess.DrawListCellColor(row, c));
    QVERIFY(before != after);
    // Number 6 moves from the second channel to the first; the list shows its new colour.
    QVERIFY(before[3] != after[3]);
    QAbstractItemModel* model = d.Window->DrawsPage()->lvDraws->model();
    QCOMPARE(model->data(model->index(row, numberCol + 3), Qt::BackgroundRole).value<QBrush>().color(),
             RgbColor(*after[3]));
    d.Host.changed = prev;
  }

  void matrixAndSegmentsChangeTheCodesAndSurviveARestart() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    const int chosen = 2;
    d.Sess.DrawsStatChooser.ItemIndex = chosen;
    ModalDriver driver;
    driver.Then(InDialog([](TFormConfig* dlg) {
      dlg->edMatrixCol->setValue(7);
      dlg->sgSegments->item(4, 6)->setText("4");  // number 35
      dlg->sgSegments->item(0, 0)->setText("2");  // number 1
      dlg->edCost->setText("2,25");
      dlg->edProfits->item(4, 1)->setText("50,5");
      dlg->edCoefCount->setText("0.75");
      dlg->cbCoefAbs->setChecked(true);
    }));
    QVERIFY(d.Window->Actions().Execute("EditConfig"));
    QVERIFY(driver.Done());
    QVERIFY(driver.Unexpected.isEmpty());
    const TConfigData c = d.Sess.Stats.Config;
    QCOMPARE(c.MatrixCols, 7);
    QCOMPARE(SegmentsToText(c.MatrixSegments), std::string("21111111111111111111111111111111114"));
    QCOMPARE(c.Cost, int64_t{22500});
    QCOMPARE(c.Weights.Count, 0.75);
    QVERIFY(c.Weights.UseAbsValues);
    bool prize = false;
    for (const auto& p : c.Profits) prize |= p.Overlap == 4 && p.Profit == 505000;
    QVERIFY(prize);
    QCOMPARE(CodesOf(d.Sess.Stats), CodesFor(c, d.Sess.Archive));
    for (int i = 0; i < d.Sess.Stats.Count(); ++i) {
      const TParamRange r = d.Sess.Stats.StatClass(i).Range;
      if (r == TParamRange::Columns) QVERIFY(d.Sess.Stats.Param(i) <= 7);
      if (r == TParamRange::Rows) QVERIFY(d.Sess.Stats.Param(i) <= 5);
      if (r == TParamRange::Segments) QVERIFY(d.Sess.Stats.Param(i) >= 1 && d.Sess.Stats.Param(i) <= 4);
    }
    // The choosers keep their position.
    QCOMPARE(d.Sess.DrawsStatChooser.ItemIndex, chosen);
    QCOMPARE(ReadBack(d.Sess), c);

    // Opening the dialog and pressing OK without a change keeps every setting as it was.
    driver.Then(InDialog(nullptr));
    QVERIFY(d.Window->Actions().Execute("EditConfig"));
    QVERIFY(driver.Done());
    QCOMPARE(ReadBack(d.Sess), c);
    QCOMPARE(d.Sess.Stats.Config, c);

    // Cancel changes nothing, whatever was typed.
    driver.Then(InDialog([](TFormConfig* dlg) { dlg->edChannelSize->setValue(9); }, false));
    QVERIFY(d.Window->Actions().Execute("EditConfig"));
    QVERIFY(driver.Done());
    QCOMPARE(d.Sess.Stats.Config, c);
    QCOMPARE(ReadBack(d.Sess), c);

    // The next start reads the same settings and builds the same catalogue.
    f.Stop();
    TDesktop& d2 = f.Start();
    QCOMPARE(d2.Sess.Stats.Config, c);
    QCOMPARE(CodesOf(d2.Sess.Stats), CodesFor(c, d2.Sess.Archive));
  }

  // "Формулы шинковки" in the file menu: the dialog shows the formulas and digits; OK stores them, the
  // settings file and the shredding methods' names take them; Cancel changes nothing.
  void theShreddingDialogStoresTheFormulas() {
    DesktopFixture f;
    f.WriteArchive({1, 2, 3});
    TDesktop& d = f.Start();
    QAction* action = d.Window->Actions().Action("EditShredding");
    QCOMPARE(action->text(), QString("Формулы шинковки"));
    QCOMPARE(action->statusTip(), QString("Редактирование формул для методов шинковки"));
    QVERIFY(action->isEnabled());
    QVERIFY(d.Window->findChild<QMenu*>("mnFile")->actions().contains(action));
    bool seen = false;
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormShredding*>(w);
      if (!dlg) return false;
      seen = dlg->windowTitle() == "Методы шинковки" && dlg->edFormula1->text() == kDefaultFormula1 &&
             dlg->edDigits3->value() == 2 && dlg->edDigits2->minimum() == 1 && dlg->edDigits2->maximum() == 5 &&
             dlg->edFormula2->toolTip() == "Используемая формула" &&
             dlg->edDigits1->toolTip() == "Количество используемых знаков после запятой" &&
             dlg->findChild<QLabel*>("lblNote")->text().startsWith("Используемые переменные:\nn1, n2");
      dlg->edFormula2->setText("n1*p1/7");
      dlg->edDigits2->setValue(4);
      dlg->findChild<QPushButton*>("btnOK")->click();
      return true;
    });
    QVERIFY(d.Window->Actions().Execute("EditShredding"));
    QVERIFY(driver.Done());
    QVERIFY(driver.Unexpected.isEmpty());
    QVERIFY(seen);
    QCOMPARE(d.Sess.Stats.Formula2, std::string("n1*p1/7"));
    QCOMPARE(int(d.Sess.Stats.Formula2Digits), 4);
    QCOMPARE(IniFile(d.Sess.FilePath(".ini")).ReadString("SHREDDING", "Formula2", ""), std::string("n1*p1/7"));
    const auto& items = d.Sess.DrawsStatChooser.Items;
    QVERIFY(std::find(items.begin(), items.end(), "{ shr } Метод шинковки 2: n1*p1/7 [ SNG ]") != items.end());

    driver.Then([](QWidget* w) {
      auto* dlg = qobject_cast<TFormShredding*>(w);
      if (!dlg) return false;
      dlg->edFormula1->setText("1/0");
      dlg->findChild<QPushButton*>("btnCancel")->click();
      return true;
    });
    QVERIFY(d.Window->Actions().Execute("EditShredding"));
    QVERIFY(driver.Done());
    QCOMPARE(d.Sess.Stats.Formula1, std::string(kDefaultFormula1));
  }

  void aBadCoefficientKeepsTheDialogOpen() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    BoxSeen seen;
    ModalDriver driver;
    bool stayedOpen = false;
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormConfig*>(w);
      if (!dlg) return false;
      dlg->edCoefLevel->setText("-");
      dlg->edChannelSize->setValue(8);
      // The error box comes up inside the click and the next step answers it.
      dlg->findChild<QPushButton*>("btnOK")->click();
      stayedOpen = dlg->isVisible();
      dlg->reject();
      return true;
    });
    driver.Then(AnswerBox("Ok", &seen));
    QVERIFY(d.Window->Actions().Execute("EditConfig"));
    QTRY_VERIFY(driver.Done());
    QCOMPARE(seen.text, QString("Некорректное значение: -!"));
    QVERIFY(stayedOpen);
    QCOMPARE(d.Sess.Stats.Config.ChannelSize, 5);
  }
};

QTEST_MAIN(TestConfig)
#include "test_config.moc"
