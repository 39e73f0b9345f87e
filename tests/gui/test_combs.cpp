// The combination list in the desktop program: the full list at start-up, the generation dialog and its
// defaults, deleting selected rows and undoing it, excluding the last draws by the field's Enter key,
// the clipboard, list files through the file dialogs, the channel colours and the enabling rules.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/session.h"
#include "combs/combslistmodel.h"
#include "combs/combspage.h"
#include "combs/filterlogmodel.h"
#include "combs/formgencombs.h"
#include "game/game.h"
#include "guitestutil.h"
#include "util/inifile.h"
#include "util/safefile.h"

using namespace quintar;
using namespace quintar::gui;
using quintar::test::AnswerBox;
using quintar::test::BoxSeen;
using quintar::test::DesktopFixture;
using quintar::test::ModalDriver;

namespace {

TCombsPage* CombsPage(TDesktop& d) { return qobject_cast<TCombsPage*>(d.Window->Page("tsCombs")); }

QString Cell(TCombsPage* p, int row, int col) {
  return p->CombsModel()->data(p->CombsModel()->index(row, col), Qt::DisplayRole).toString();
}

// The cells of a row: position, the seven numbers and the sum, joined with blanks.
QString Row(TCombsPage* p, int row) {
  QStringList cells;
  for (int c = 0; c < TCombsListModel::kColumns; ++c) cells << Cell(p, row, c);
  return cells.join(' ');
}

QString LogCell(TCombsPage* p, int row, int col) {
  return p->FiltersModel()->data(p->FiltersModel()->index(row, col), Qt::DisplayRole).toString();
}

void SelectRows(TCombsPage* p, std::initializer_list<int> rows) {
  QItemSelectionModel* sm = p->lvCombs->selectionModel();
  sm->clearSelection();
  for (int r : rows) sm->select(p->CombsModel()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  sm->setCurrentIndex(p->CombsModel()->index(*rows.begin(), 0), QItemSelectionModel::NoUpdate);
}

bool Enabled(TDesktop& d, const char* name) { return d.Window->Actions().Action(name)->isEnabled(); }

// The generation dialog as it showed on arrival.
struct GenSeen {
  QString caption;
  QStringList modes;
  int mode = -1;
  QString param, paramHint;
  bool saveTicked = true, paramEnabled = false, fileEnabled = false;
};

// A step that records the generation dialog, chooses a mode and parameter and presses OK or Cancel.
std::function<bool(QWidget*)> FillGen(int mode, const QString& param, bool save, bool ok = true,
                                      GenSeen* seen = nullptr) {
  return [=](QWidget* w) {
    auto* dlg = qobject_cast<TFormGenCombs*>(w);
    if (!dlg) return false;
    if (seen) {
      seen->caption = dlg->windowTitle();
      for (int i = 0; i < dlg->cbCombsGenerateMode->count(); ++i) seen->modes << dlg->cbCombsGenerateMode->itemText(i);
      seen->mode = dlg->cbCombsGenerateMode->currentIndex();
      seen->param = dlg->edCombsGenerateParam->text();
      seen->paramHint = dlg->edCombsGenerateParam->toolTip();
      seen->saveTicked = dlg->cbSaveParameters->isChecked();
      seen->paramEnabled = dlg->edCombsGenerateParam->isEnabled();
      seen->fileEnabled = dlg->btnCombsGenerateFile->isEnabled();
    }
    dlg->cbCombsGenerateMode->setCurrentIndex(mode);
    dlg->edCombsGenerateParam->setText(param);
    dlg->cbSaveParameters->setChecked(save);
    dlg->findChild<QPushButton*>(ok ? "btnOK" : "btnCancel")->click();
    return true;
  };
}

std::function<bool(QWidget*)> ChooseFile(const QString& path, QString* filter = nullptr) {
  return [=](QWidget* w) {
    auto* dlg = qobject_cast<QFileDialog*>(w);
    if (!dlg) return false;
    if (filter) *filter = dlg->nameFilters().join("|");
    quintar::test::SelectFile(dlg, path);
    static_cast<QDialog*>(dlg)->accept();
    return true;
  };
}

}  // namespace

class TestCombs : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallDrawDateHooks(); }

  void theFullListShowsAtStartUp() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    TCombsPage* p = CombsPage(d);
    QVERIFY(p);
    QCOMPARE(d.Window->pcLists->tabText(d.Window->pcLists->indexOf(p)), QString("Комбинации"));
    QCOMPARE(p->lvCombs->model()->rowCount(), 6724520);
    QCOMPARE(d.Window->Panel(3)->text(), QString("Комбинаций: 6724520"));
    QStringList headers;
    for (int c = 0; c < TCombsListModel::kColumns; ++c)
      headers << p->CombsModel()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    QCOMPARE(headers, (QStringList{"№ п.п.", "1", "2", "3", "4", "5", "6", "7", "S"}));
    QCOMPARE(Row(p, 0), QString("1 1 2 3 4 5 6 7 28"));
    QCOMPARE(Row(p, 1), QString("2 1 2 3 4 5 6 8 29"));
    QCOMPARE(Row(p, 6724519), QString("6724520 29 30 31 32 33 34 35 224"));

    // The view scrolls to the last row at once and shows it.
    d.Window->pcLists->setCurrentWidget(p);
    p->lvCombs->scrollToBottom();
    QApplication::processEvents();
    const QModelIndex bottom = p->lvCombs->indexAt(QPoint(5, p->lvCombs->viewport()->height() - 3));
    QCOMPARE(bottom.row(), 6724519);
    QVERIFY(!p->grab().isNull());

    // Nothing to undo after a generation; the filter log is empty.
    QVERIFY(!Enabled(d, "CombsUndo"));
    QCOMPARE(p->lvFilters->model()->rowCount(), 0);
    QStringList logHeaders;
    for (int c = 0; c < 3; ++c) logHeaders << p->FiltersModel()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    QCOMPARE(logHeaders, (QStringList{"Примененные фильтры", "Значения", "Комбинаций"}));
  }

  void generationDialogAndItsDefaults() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    TCombsPage* p = CombsPage(d);
    GenSeen seen;
    {
      ModalDriver driver;
      driver.Then(FillGen(1, "1", false, true, &seen));
      QVERIFY(d.Window->Actions().Execute("CombsGen"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    }
    QCOMPARE(seen.caption, QString("Создание нового списка комбинаций"));
    QCOMPARE(seen.modes.size(), 5);
    QCOMPARE(seen.modes[0], QString("Полный список (все возможные для данного лото варианты)"));
    QCOMPARE(seen.modes[4], QString("Загрузить список из заранее подготовленного CSV-файла"));
    QCOMPARE(seen.mode, 0);
    QCOMPARE(seen.param, QString());
    QVERIFY(!seen.saveTicked);
    QVERIFY(!seen.paramEnabled);
    QVERIFY(!seen.fileEnabled);
    QCOMPARE(seen.paramHint,
             QString("Список \"моих чисел\" через точку с запятой или имя файла для режима \"Загрузка из файла\""));
    QCOMPARE(p->lvCombs->model()->rowCount(), 1344904);
    QCOMPARE(d.Window->Panel(3)->text(), QString("Комбинаций: 1344904"));
    QVERIFY(!Enabled(d, "CombsUndo"));
    // Not saved as the defaults: the settings file holds nothing yet.
    QVERIFY(!FileExists(d.Sess.FilePath(".ini")) ||
            !IniFile(d.Sess.FilePath(".ini")).ValueExists("GLOBAL", "CombsGenerateMode"));

    // Saved as the defaults: the next dialog opens with them, the box unticked again.
    {
      ModalDriver driver;
      driver.Then(FillGen(2, "1;2;3;4;5;6;7;8", true));
      QVERIFY(d.Window->Actions().Execute("CombsGen"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    }
    QCOMPARE(p->lvCombs->model()->rowCount(), 8);
    QCOMPARE(Row(p, 7), QString("8 2 3 4 5 6 7 8 35"));
    IniFile ini(d.Sess.FilePath(".ini"));
    QCOMPARE(ini.ReadInteger("GLOBAL", "CombsGenerateMode", -1), 2);
    QCOMPARE(QString::fromStdString(ini.ReadString("GLOBAL", "CombsGenerateParameters", "")),
             QString("1;2;3;4;5;6;7;8"));
    {
      GenSeen again;
      ModalDriver driver;
      driver.Then(FillGen(0, "", false, false, &again));  // Cancel
      QVERIFY(d.Window->Actions().Execute("CombsGen"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
      QCOMPARE(again.mode, 2);
      QCOMPARE(again.param, QString("1;2;3;4;5;6;7;8"));
      QVERIFY(!again.saveTicked);
      QVERIFY(again.paramEnabled);
      QVERIFY(!again.fileEnabled);
    }
    // Cancel changed nothing.
    QCOMPARE(p->lvCombs->model()->rowCount(), 8);

    // The file button is only for mode 4 and puts the chosen name into the parameter field.
    const std::string lcv = f.File("list.lcv");
    WriteFileAtomic(lcv, "1;2;3;4;5;6;7\r\n35;34;33;32;31;30;29\r\n1;2;3\r\n");
    {
      QString chosen;
      bool fileButtonFor3 = true;
      ModalDriver driver;
      driver
          .Then([&](QWidget* w) {
            auto* dlg = qobject_cast<TFormGenCombs*>(w);
            if (!dlg) return false;
            dlg->cbCombsGenerateMode->setCurrentIndex(3);
            fileButtonFor3 = dlg->btnCombsGenerateFile->isEnabled();
            dlg->cbCombsGenerateMode->setCurrentIndex(4);
            QTimer::singleShot(0, dlg->btnCombsGenerateFile, &QPushButton::click);
            return true;
          })
          .Then(ChooseFile(QString::fromStdString(lcv)))
          .Then([&](QWidget* w) {
            auto* dlg = qobject_cast<TFormGenCombs*>(w);
            if (!dlg) return false;
            chosen = dlg->edCombsGenerateParam->text();
            dlg->findChild<QPushButton*>("btnOK")->click();
            return true;
          });
      QVERIFY(d.Window->Actions().Execute("CombsGen"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
      QVERIFY(!fileButtonFor3);
      QCOMPARE(chosen, QString::fromStdString(lcv));
    }
    QCOMPARE(p->lvCombs->model()->rowCount(), 2);
    QCOMPARE(Row(p, 1), QString("2 35 34 33 32 31 30 29 224"));
  }

  void deleteSelectedAndUndo() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    TCombsPage* p = CombsPage(d);
    QVERIFY(!Enabled(d, "CombsDelSelected"));
    QVERIFY(!Enabled(d, "CombsFindInDraws"));
    SelectRows(p, {0, 1, 2, 5});
    QCOMPARE(p->SelectedCount(), 4);
    QVERIFY(Enabled(d, "CombsDelSelected"));
    QVERIFY(Enabled(d, "CombsFindInDraws"));
    QVERIFY(d.Window->Actions().Execute("CombsDelSelected"));
    QCOMPARE(p->lvCombs->model()->rowCount(), 6724516);
    QCOMPARE(d.Window->Panel(3)->text(), QString("Комбинаций: 6724516"));
    QCOMPARE(Row(p, 0), QString("1 1 2 3 4 5 6 10 31"));  // rows 3 and 4 stay, row 5 went
    QCOMPARE(Row(p, 1), QString("2 1 2 3 4 5 6 11 32"));
    QCOMPARE(Row(p, 2), QString("3 1 2 3 4 5 6 13 34"));
    // The selection went with the deleted rows.
    QCOMPARE(p->SelectedCount(), 0);
    QVERIFY(!Enabled(d, "CombsDelSelected"));
    // One log line with the delete mark.
    QCOMPARE(p->lvFilters->model()->rowCount(), 1);
    QCOMPARE(LogCell(p, 0, 0), QString("Выделенные комбинации"));
    QCOMPARE(LogCell(p, 0, 1), QString("4"));
    QCOMPARE(LogCell(p, 0, 2), QString("6724516"));
    const QIcon mark = p->FiltersModel()->data(p->FiltersModel()->index(0, 0), Qt::DecorationRole).value<QIcon>();
    QCOMPARE(mark.pixmap(16).toImage(), FilterMarkIcon(TFilterMark::Delete).pixmap(16).toImage());
    QVERIFY(mark.pixmap(16).toImage() != FilterMarkIcon(TFilterMark::Keep).pixmap(16).toImage());

    QVERIFY(Enabled(d, "CombsUndo"));
    QVERIFY(d.Window->Actions().Execute("CombsUndo"));
    QCOMPARE(p->lvCombs->model()->rowCount(), 6724520);
    QCOMPARE(Row(p, 5), QString("6 1 2 3 4 5 6 12 33"));
    QCOMPARE(p->lvFilters->model()->rowCount(), 0);
    QCOMPARE(d.Window->Panel(3)->text(), QString("Комбинаций: 6724520"));
    // One level of undo only.
    QVERIFY(!Enabled(d, "CombsUndo"));
    QVERIFY(!d.Window->Actions().Execute("CombsUndo"));

    // Select all marks every row (one range, not millions of rows), and deleting them empties the list;
    // then nothing but generation, open, paste and the switches is possible.
    QVERIFY(d.Window->Actions().Execute("CombsSelectAll"));
    QCOMPARE(p->SelectedCount(), 6724520);
    QVERIFY(d.Window->Actions().Execute("CombsDelSelected"));
    QCOMPARE(p->lvCombs->model()->rowCount(), 0);
    for (const char* name : {"CombsSave", "CombsCopy", "CombsSelectAll", "CombsDelSelected", "CombsFindInDraws",
                             "CombsDelExists"})
      QVERIFY2(!Enabled(d, name), name);
    for (const char* name : {"CombsGen", "CombsOpen", "CombsUndo", "CombsCheckNums", "ViewColorCombs"})
      QVERIFY2(Enabled(d, name), name);
  }

  void excludingTheLastDrawsByEnter() {
    DesktopFixture f;
    f.WriteArchive({1, 2, 3});  // draws 1..7, 2..8, 3..9
    TDesktop& d = f.Start();
    TCombsPage* p = CombsPage(d);
    QCOMPARE(p->edCombsExclude->value(), 0);
    QCOMPARE(p->edCombsExclude->maximum(), 2147483647);
    QCOMPARE(p->btnCombsDelExists->text(), QString("[-] Тиражи"));
    QCOMPARE(p->edCombsExclude->toolTip(),
             QString("Исключить указанное количество последних тиражей из списка комбинаций"));
    // Zero draws: the command and its button are off, Enter does nothing.
    QVERIFY(!Enabled(d, "CombsDelExists"));
    QVERIFY(!p->btnCombsDelExists->isEnabled());
    QTest::keyClick(p->edCombsExclude, Qt::Key_Return);
    QCOMPARE(p->lvCombs->model()->rowCount(), 6724520);

    p->edCombsExclude->setValue(2);
    QVERIFY(Enabled(d, "CombsDelExists"));
    QVERIFY(p->btnCombsDelExists->isEnabled());
    QTest::keyClick(p->edCombsExclude, Qt::Key_Return);
    QCOMPARE(p->lvCombs->model()->rowCount(), 6724518);
    QCOMPARE(d.Window->Panel(3)->text(), QString("Комбинаций: 6724518"));
    QCOMPARE(p->lvFilters->model()->rowCount(), 1);
    QCOMPARE(LogCell(p, 0, 0), QString("Последние тиражи"));
    QCOMPARE(LogCell(p, 0, 1), QString("2"));
    QCOMPARE(LogCell(p, 0, 2), QString("6724518"));
    QCOMPARE(Row(p, 0), QString("1 1 2 3 4 5 6 7 28"));  // the oldest draw was not among the last two
    QCOMPARE(d.Window->Panel(6)->text(), QString());      // the progress texts are cleared
    QVERIFY(Enabled(d, "CombsUndo"));

    // The button runs it too; then with the same two draws nothing more goes, and a line is still logged.
    p->btnCombsDelExists->click();
    QCOMPARE(p->lvCombs->model()->rowCount(), 6724518);
    QCOMPARE(p->lvFilters->model()->rowCount(), 2);

    // Undo removes the last log line only.
    QVERIFY(d.Window->Actions().Execute("CombsUndo"));
    QCOMPARE(p->lvFilters->model()->rowCount(), 1);

    // The field's value is kept for the next start.
    p->edCombsExclude->setValue(17);
    f.Stop();
    IniFile ini(f.DataDir() + "Quintar_7x35.frm");
    QCOMPARE(ini.ReadInteger("TFormMain", "DrawsExclude", 0), 17);
    for (const char* key : {"FiltersHeight", "lvCombs.Column0", "lvCombs.Column8", "lvFilters.Column2"})
      QVERIFY2(ini.ValueExists("TFormMain", key), key);
    TDesktop& again = f.Start();
    QCOMPARE(CombsPage(again)->edCombsExclude->value(), 17);
  }

  void findInDrawsAndDistinctNumbers() {
    DesktopFixture f;
    f.WriteArchive({1, 2, 3});
    TDesktop& d = f.Start();
    TCombsPage* p = CombsPage(d);
    SelectRows(p, {0});
    BoxSeen found, notFound, distinct;
    {
      ModalDriver driver;
      driver.Then(AnswerBox("Ok", &found));
      QVERIFY(d.Window->Actions().Execute("CombsFindInDraws"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    }
    QCOMPARE(found.caption, QString("Информация"));
    QVERIFY2(found.text.startsWith("Выделенная комбинация найдена в следующих тиражах:\n\nТираж № 1 от "),
             qPrintable(found.text));
    SelectRows(p, {1});
    {
      ModalDriver driver;
      driver.Then(AnswerBox("Ok", &notFound));
      QVERIFY(d.Window->Actions().Execute("CombsFindInDraws"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    }
    QCOMPARE(notFound.text, QString("Выделенная комбинация не найдена архиве тиражей!"));
    {
      ModalDriver driver;
      driver.Then(AnswerBox("Ok", &distinct));
      QVERIFY(d.Window->Actions().Execute("CombsCheckNums"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    }
    QCOMPARE(distinct.text, QString("В текущем списке комбинаций содержится 35 уникальных номеров"));
  }

  void clipboardCopyAndPaste() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    TCombsPage* p = CombsPage(d);
    QGuiApplication::clipboard()->clear();
    QTRY_VERIFY(!Enabled(d, "CombsPaste"));
    SelectRows(p, {6724519, 0});
    QVERIFY(d.Window->Actions().Execute("CombsCopy"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("01 02 03 04 05 06 07\n29 30 31 32 33 34 35\n"));
    QTRY_VERIFY(Enabled(d, "CombsPaste"));

    // Pasting replaces the list; nothing can be undone afterwards.
    QGuiApplication::clipboard()->setText("5 6 7 8 9 10 11\r\n35 1 2 3 4 5 6\r\n");
    QVERIFY(d.Window->Actions().Execute("CombsPaste"));
    QCOMPARE(p->lvCombs->model()->rowCount(), 2);
    QCOMPARE(Row(p, 1), QString("2 35 1 2 3 4 5 6 56"));
    QVERIFY(!Enabled(d, "CombsUndo"));

    // A line that is not a combination: the error is shown and the list stays as it was.
    QGuiApplication::clipboard()->setText("1 2 3 4 5 6 7\n8 9 10 11 12 13 14\nне комбинация\n");
    BoxSeen error;
    {
      ModalDriver driver;
      driver.Then(AnswerBox("Ok", &error));
      QVERIFY(d.Window->Actions().Execute("CombsPaste"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    }
    QCOMPARE(error.caption, QString("Ошибка"));
    QCOMPARE(error.text, QString("Некорректная комбинация: \"не комбинация\"!"));
    QCOMPARE(p->lvCombs->model()->rowCount(), 2);
    QCOMPARE(Row(p, 0), QString("1 5 6 7 8 9 10 11 56"));
    QVERIFY(!Enabled(d, "CombsUndo"));
    QGuiApplication::clipboard()->clear();
  }

  void listFilesThroughTheFileDialogs() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    TCombsPage* p = CombsPage(d);
    SelectRows(p, {0, 1, 2});
    QVERIFY(d.Window->Actions().Execute("CombsDelSelected"));
    QVERIFY(Enabled(d, "CombsUndo"));
    // Save: the default extension is added.
    QString filter;
    {
      ModalDriver driver;
      driver.Then(ChooseFile(QString::fromStdString(f.File("saved")), &filter));
      QVERIFY(d.Window->Actions().Execute("CombsSave"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    }
    QCOMPARE(filter, QString("Файлы комбинаций (*.lcv)"));
    const std::string saved = ReadWholeFile(f.File("saved.lcv"));
    QCOMPARE(saved.substr(0, 32), std::string("1;2;3;4;5;6;10\r\n1;2;3;4;5;6;11\r\n"));
    QVERIFY(saved.size() > size_t{6724517} * 16);
    QVERIFY(saved.ends_with("29;30;31;32;33;34;35\r\n"));

    // Open a small file: the list is replaced, the log cleared, nothing to undo.
    WriteFileAtomic(f.File("small.lcv"), "3;4;5;6;7;8;9\r\n\r\n1;2;3;4;5;6;7;8\r\n10,11,12,13,14,15,16\r\n");
    {
      ModalDriver driver;
      driver.Then(ChooseFile(QString::fromStdString(f.File("small.lcv"))));
      QVERIFY(d.Window->Actions().Execute("CombsOpen"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    }
    QCOMPARE(p->lvCombs->model()->rowCount(), 2);
    QCOMPARE(Row(p, 1), QString("2 10 11 12 13 14 15 16 91"));
    QCOMPARE(p->lvFilters->model()->rowCount(), 0);
    QVERIFY(!Enabled(d, "CombsUndo"));
    QCOMPARE(d.Window->Panel(3)->text(), QString("Комбинаций: 2"));

    // Cancelled dialogs change nothing.
    {
      ModalDriver driver;
      driver.Then([](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        if (!dlg) return false;
        dlg->reject();
        return true;
      });
      QVERIFY(d.Window->Actions().Execute("CombsOpen"));
      QVERIFY(driver.Done() && driver.Unexpected.isEmpty());
    }
    QCOMPARE(p->lvCombs->model()->rowCount(), 2);
  }

  void channelColoursAndTheSwitch() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    TCombsPage* p = CombsPage(d);
    auto bg = [p](int row, int col) {
      return p->CombsModel()->data(p->CombsModel()->index(row, col), Qt::BackgroundRole);
    };
    QAction* sw = d.Window->Actions().Action("ViewColorCombs");
    QVERIFY(sw->isChecked());
    QCOMPARE(bg(0, 1).value<QBrush>().color(), RgbColor(ChannelColor(1, d.Sess.ChannelSize())));
    QCOMPARE(bg(6724519, 7).value<QBrush>().color(), RgbColor(ChannelColor(35, d.Sess.ChannelSize())));
    QVERIFY(bg(0, 1).value<QBrush>().color() != bg(6724519, 7).value<QBrush>().color());
    QCOMPARE(bg(0, 0).value<QBrush>().color(), QColor(Qt::white));
    QCOMPARE(bg(0, 8).value<QBrush>().color(), QColor(Qt::white));
    // The switch keeps the selection, turns the colours off and is stored at once.
    SelectRows(p, {3});
    QVERIFY(d.Window->Actions().Execute("ViewColorCombs"));
    QVERIFY(!sw->isChecked());
    QCOMPARE(p->SelectedCount(), 1);
    QVERIFY(!bg(0, 1).isValid());
    QVERIFY(!bg(0, 0).isValid());
    QVERIFY(!IniFile(f.DataDir() + "Quintar_7x35.frm").ReadBool("TFormMain", "ColorCombs", true));
  }

  void busyDisablesEveryCombinationCommand() {
    DesktopFixture f;
    f.WriteArchive({1});
    TDesktop& d = f.Start();
    TCombsPage* p = CombsPage(d);
    SelectRows(p, {0});
    p->edCombsExclude->setValue(1);
    const char* names[] = {"CombsGen", "CombsDelExists", "CombsDelSelected", "CombsCopy", "CombsSelectAll",
                           "CombsOpen", "CombsSave", "CombsCheckNums", "CombsFindInDraws", "ViewColorCombs"};
    for (const char* name : names) QVERIFY2(Enabled(d, name), name);
    d.Sess.BeginBusy();
    d.Window->Actions().UpdateActions();
    for (const char* name : names) QVERIFY2(!Enabled(d, name), name);
    QVERIFY(!p->btnCombsDelExists->isEnabled());
    QTest::keyClick(p->edCombsExclude, Qt::Key_Return);
    QCOMPARE(p->lvCombs->model()->rowCount(), 6724520);
    d.Sess.EndBusy();
    d.Window->Actions().UpdateActions();
    QVERIFY(p->btnCombsDelExists->isEnabled());
  }

  // Saves a picture of the page when QUINTAR_SHOT_DIR names a folder (to look at the list by eye).
  void pagePicture() {
    const QByteArray dir = qgetenv("QUINTAR_SHOT_DIR");
    if (dir.isEmpty()) QSKIP("QUINTAR_SHOT_DIR not set");
    DesktopFixture f;
    f.WriteArchive({1, 2, 3});
    TDesktop& d = f.Start();
    TCombsPage* p = CombsPage(d);
    d.Window->pcLists->setCurrentWidget(p);
    SelectRows(p, {2, 3, 4});
    p->edCombsExclude->setValue(2);
    QTest::keyClick(p->edCombsExclude, Qt::Key_Return);
    SelectRows(p, {5});
    QVERIFY(d.Window->Actions().Execute("CombsDelSelected"));
    QApplication::processEvents();
    QVERIFY(d.Window->grab().save(QString::fromUtf8(dir) + "/combs.png"));
  }
};

QTEST_MAIN(TestCombs)
#include "test_combs.moc"
