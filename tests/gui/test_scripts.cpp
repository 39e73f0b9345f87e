// The script page on the offscreen platform: the list and its status bar, the commands' enabling rules,
// a line made through the line editor and the filter editor (with the editor's refusals), editing by a
// double click, exchange files written and read back through the file dialogs, deleting and moving.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include "app/actionregistry.h"
#include "guitestutil.h"
#include "scripts/formscriptline.h"
#include "scripts/scriptfile.h"
#include "scripts/scriptpage.h"
#include "stats/formfilter.h"
#include "util/inifile.h"
#include "util/safefile.h"

using namespace quintar;
using namespace quintar::gui;
using quintar::test::AnswerBox;
using quintar::test::BoxSeen;
using quintar::test::DesktopFixture;
using quintar::test::ModalDriver;

namespace {

const std::string kLine1 = "EXCL:5#RAND|TSD1#SUMS:100#LMV:5#SF:1| | | | | | |первая";
const std::string kLine2 = "FULL:0#ALL| | | | | | | |";

TScriptPage* ScriptPage(TDesktop& d) {
  auto* p = qobject_cast<TScriptPage*>(d.Window->Page("tsScript"));
  d.Window->pcMain->setCurrentWidget(p);
  return p;
}

void SelectRows(TScriptPage* p, std::initializer_list<int> rows) {
  p->lvScript->clearSelection();
  for (int r : rows)
    p->lvScript->selectionModel()->select(p->lvScript->model()->index(r, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QString Cell(TScriptPage* p, int row, int col) {
  return p->lvScript->model()->index(row, col).data().toString();
}

void ClickOk(QDialog* dlg) { dlg->findChild<QPushButton*>("btnOK")->click(); }

// Chooses a file in the file dialog that comes up; notes its name filter.
std::function<bool(QWidget*)> ChooseFile(const QString& path, QString* filter = nullptr) {
  return [path, filter](QWidget* w) {
    auto* dlg = qobject_cast<QFileDialog*>(w);
    if (!dlg) return false;
    if (filter) *filter = dlg->nameFilters().join("|");
    dlg->selectFile(path);
    // The widget dialog sometimes drops a selection of the file it showed last; the name typed in does it.
    if (dlg->selectedFiles().isEmpty())
      if (auto* name = dlg->findChild<QLineEdit*>("fileNameEdit")) name->setText(path);
    static_cast<QDialog*>(dlg)->accept();
    return true;
  };
}

void DoubleClick(QWidget* w) {
  const QPointF at(w->width() / 2.0, w->height() / 2.0);
  QMouseEvent e(QEvent::MouseButtonDblClick, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

bool Enabled(TDesktop& d, const char* name) { return d.Window->Actions().Action(name)->isEnabled(); }

}  // namespace

class TestScripts : public QObject {
  Q_OBJECT

 private slots:
  void pageListAndEnablingRules() {
    DesktopFixture f;
    // The working file of the last run is read at start-up.
    WriteScriptFile(f.DataDir() + "Quintar_7x35.lss", {kLine1, "", kLine2});
    TDesktop& d = f.Start();
    TScriptPage* p = ScriptPage(d);
    QCOMPARE(d.Sess.ScriptLines.size(), size_t{3});
    QCOMPARE(p->lvScript->model()->rowCount(), 3);
    QStringList headers;
    for (int c = 0; c < p->lvScript->model()->columnCount(); ++c)
      headers << p->lvScript->model()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers, (QStringList{"Комментарии", "Опции", "Фильтр 1", "Фильтр 2", "Фильтр 3", "Фильтр 4",
                                   "Фильтр 5", "Фильтр 6", "Фильтр 7"}));
    QCOMPARE(Cell(p, 0, 0), QString("первая"));
    QCOMPARE(Cell(p, 0, 1), QString("Исключить 5 тиражей; Случайно; Все создаваемые ставки"));
    QCOMPARE(Cell(p, 0, 2), QString("TSD1#SUMS:100#LMV:5#SF:1"));
    QCOMPARE(Cell(p, 1, 1), QString());  // a separator shows empty cells
    QCOMPARE(Cell(p, 2, 1), QString("Исходный список; Все; Все создаваемые ставки"));
    QStringList panels;
    for (int i = 0; i < kScriptPanels; ++i) panels << p->PanelText(i);
    QCOMPARE(panels, (QStringList{"Строк: 3", "Цикл: 0", "Строка: 0", "Ставок: 0", ""}));
    QCOMPARE(p->sbScript->objectName(), QString("sbScript"));

    // Nothing selected.
    for (const char* on : {"ScriptOpen", "ScriptSave", "ScriptLoad", "ScriptAdd", "ScriptEmpty", "ScriptClr"})
      QVERIFY2(Enabled(d, on), on);
    for (const char* off : {"ScriptClone", "ScriptEdit", "ScriptDel", "ScriptUp", "ScriptDown"})
      QVERIFY2(!Enabled(d, off), off);
    // The separator: it can be deleted and moved, not cloned or edited.
    SelectRows(p, {1});
    QVERIFY(!Enabled(d, "ScriptClone") && !Enabled(d, "ScriptEdit"));
    QVERIFY(Enabled(d, "ScriptDel") && Enabled(d, "ScriptUp") && Enabled(d, "ScriptDown"));
    SelectRows(p, {0});
    QVERIFY(Enabled(d, "ScriptClone") && Enabled(d, "ScriptEdit"));
    QVERIFY(!Enabled(d, "ScriptUp") && Enabled(d, "ScriptDown"));
    SelectRows(p, {2});
    QVERIFY(Enabled(d, "ScriptUp") && !Enabled(d, "ScriptDown"));
    // A long operation disables them all.
    {
      BusyScope busy(d.Sess);
      for (const char* name : {"ScriptOpen", "ScriptSave", "ScriptLoad", "ScriptAdd", "ScriptEmpty", "ScriptClr",
                               "ScriptClone", "ScriptEdit", "ScriptDel", "ScriptUp"})
        QVERIFY2(!Enabled(d, name), name);
    }
    QVERIFY(Enabled(d, "ScriptAdd"));
    // The list's own menu carries the commands.
    QStringList menu;
    for (QAction* a : p->lvScript->actions())
      if (!a->isSeparator()) menu << a->objectName();
    QVERIFY(menu.contains("ScriptAdd") && menu.contains("ScriptDel") && menu.contains("ScriptDown"));

    // A separator added through the command is selected and counted.
    QVERIFY(d.Window->Actions().Execute("ScriptEmpty"));
    QCOMPARE(p->lvScript->model()->rowCount(), 4);
    QCOMPARE(p->SelectedRows(), (std::vector<int>{3}));
    QCOMPARE(p->PanelText(0), QString("Строк: 4"));

    // The list's column widths are kept with the main window's settings.
    p->lvScript->horizontalHeader()->resizeSection(1, 321);
    f.Stop();
    QCOMPARE(IniFile(f.DataDir() + "Quintar_7x35.frm").ReadInteger("TFormMain", "lvScript.Column1", 0), 321);
    TScriptPage* again = ScriptPage(f.Start());
    QCOMPARE(again->lvScript->horizontalHeader()->sectionSize(1), 321);
    QCOMPARE(again->lvScript->model()->rowCount(), 4);
  }

  void addingALineThroughTheEditors() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    d.Sess.StartCatalogue();
    d.Sess.CombsExclude = 3;
    TScriptPage* p = ScriptPage(d);
    const int sums = d.Sess.Stats.IndexOfCode("SUMS");
    QVERIFY(sums >= 0);

    QString lineCaption, filterCaption, afterRefusal;
    QStringList starts;
    int drawsShown = -1, sortShown = -1, statShown = -2, stopShown = -1;
    bool overrideBefore = true, overrideAfter = false, coefsAfter = false, stillOpen = false;
    QString filterText;
    BoxSeen badDraws, badStop;
    ModalDriver driver;
    driver
        .Then([&](QWidget* w) {
          auto* dlg = qobject_cast<TFormScriptLine*>(w);
          if (!dlg) return false;
          lineCaption = dlg->windowTitle();
          for (int i = 0; i < dlg->cbStartCombs->count(); ++i) starts << dlg->cbStartCombs->itemText(i);
          drawsShown = dlg->edDrawsCount->value();
          dlg->cbStartCombs->setCurrentIndex(1);
          dlg->cbResultCombs->setCurrentIndex(3);
          dlg->cbNewOnly->setChecked(true);
          dlg->edComment->setText("мой");
          dlg->btnFilters[1]->click();  // the filter editor for "Фильтр 2"
          filterText = dlg->edFilters[1]->text();
          ClickOk(dlg);
          return true;
        })
        .Then([&](QWidget* w) {
          auto* dlg = qobject_cast<TFormFilter*>(w);
          if (!dlg) return false;
          filterCaption = dlg->windowTitle();
          drawsShown = dlg->edDrawsLen->text().toInt();
          sortShown = dlg->cbDrawsSortOrder->currentIndex();
          statShown = dlg->cbDrawsStatType->currentIndex();
          stopShown = dlg->edStopValue->value();
          overrideBefore = dlg->cbCDLOverride->isEnabled();
          // A draws count of 0 is refused and the dialog stays open on that field.
          dlg->edDrawsLen->setText("0");
          ClickOk(dlg);
          stillOpen = dlg->isVisible();
          afterRefusal = dlg->focusWidget() ? dlg->focusWidget()->objectName() : QString();
          dlg->edDrawsLen->setText("100");
          for (int i = 0; i < dlg->cbDrawsStatType->count(); ++i)
            if (d.Sess.DrawsStatChooser.Methods[static_cast<size_t>(i)] == sums) dlg->cbDrawsStatType->setCurrentIndex(i);
          dlg->cbLevelMode->setCurrentIndex(19);  // "Вес": не менее заданного значения
          dlg->edLevelValue->setText("5");
          overrideAfter = dlg->cbCDLOverride->isEnabled();
          dlg->cbCDLOverride->setChecked(true);
          coefsAfter = dlg->edCoefCount->isEnabled() && dlg->cbCoefAbs->isEnabled();
          dlg->edCoefCount->setValue(0.5);
          dlg->cbMultiSelect->setChecked(true);
          dlg->cbStopMode->setCurrentIndex(1);  // by the number of combinations: refused with multi-selection
          ClickOk(dlg);
          dlg->cbStopMode->setCurrentIndex(3);
          dlg->edStopValue->setValue(4);
          ClickOk(dlg);
          return true;
        })
        .Then(AnswerBox("Ok", &badDraws))
        .Then(AnswerBox("Ok", &badStop));
    QVERIFY(d.Window->Actions().Execute("ScriptAdd"));
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected.isEmpty(), qPrintable(driver.Unexpected.join("; ")));

    QCOMPARE(lineCaption, QString("Создание новой строки"));
    QCOMPARE(starts, (QStringList{"Исходный список (рекомендуется для тестов)",
                                  "Удалить N последних тиражей (для прогнозов)",
                                  "Текущий список (для последовательного выполнения)"}));
    QCOMPARE(filterCaption, QString("Фильтр"));
    QCOMPARE(drawsShown, 1000);  // the statistics table's draws count
    QCOMPARE(sortShown, 1);      // "Количество"
    QCOMPARE(statShown, d.Sess.DrawsStatChooser.ItemIndex);
    QCOMPARE(stopShown, 1);
    QVERIFY(!overrideBefore);
    QVERIFY(overrideAfter && coefsAfter);
    QVERIFY(stillOpen);
    QCOMPARE(afterRefusal, QString("edDrawsLen"));
    QCOMPARE(badDraws.caption, QString("Ошибка"));
    QCOMPARE(badDraws.text, QString("Введен некорректный диапазон значений!"));
    QCOMPARE(badStop.text, QString("В режиме мультивыделения остановка сценария по количеству комбинаций или чисел "
                                   "не может быть выполнена!\nВыберите другой способ останова."));
    QCOMPARE(filterText, QString("TMD1#SUMS:100#WMV:5#ST:4#0.5:-1:1:0:0"));

    const std::string expected = "EXCL:3#ALL#NEX| |TMD1#SUMS:100#WMV:5#ST:4#0.5:-1:1:0:0| | | | | |мой";
    QCOMPARE(d.Sess.ScriptLines, (std::vector<std::string>{expected}));
    QCOMPARE(ReadScriptFile(d.Sess.ScriptFilePath()), d.Sess.ScriptLines);
    QCOMPARE(p->SelectedRows(), (std::vector<int>{0}));
    QCOMPARE(Cell(p, 0, 3), QString("TMD1#SUMS:100#WMV:5#ST:4#0.5:-1:1:0:0"));
    QCOMPARE(Cell(p, 0, 1), QString("Исключить 3 тиражей; Все; Только новые ставки"));
    QCOMPARE(p->PanelText(0), QString("Строк: 1"));

    // Cancel leaves the script as it is.
    ModalDriver cancel;
    cancel.Then([](QWidget* w) {
      auto* dlg = qobject_cast<TFormScriptLine*>(w);
      if (!dlg) return false;
      dlg->edComment->setText("не нужно");
      dlg->reject();
      return true;
    });
    QVERIFY(d.Window->Actions().Execute("ScriptAdd"));
    QVERIFY(cancel.Done());
    QCOMPARE(d.Sess.ScriptLines.size(), size_t{1});
  }

  void editingByDoubleClickAndCloning() {
    DesktopFixture f;
    WriteScriptFile(f.DataDir() + "Quintar_7x35.lss", {kLine1, kLine2});
    TDesktop& d = f.Start();
    d.Sess.StartCatalogue();
    TScriptPage* p = ScriptPage(d);

    QString caption, comment, filter1, levelShown, drawsShown, afterCancel;
    int levelMode = -1, start = -1, draws = -1;
    ModalDriver driver;
    driver
        .Then([&](QWidget* w) {
          auto* dlg = qobject_cast<TFormScriptLine*>(w);
          if (!dlg) return false;
          caption = dlg->windowTitle();
          comment = dlg->edComment->text();
          filter1 = dlg->edFilters[0]->text();
          start = dlg->cbStartCombs->currentIndex();
          draws = dlg->edDrawsCount->value();
          DoubleClick(dlg->edFilters[0]);  // the filter editor, cancelled
          afterCancel = dlg->edFilters[0]->text();
          dlg->edComment->setText("изменена");
          ClickOk(dlg);
          return true;
        })
        .Then([&](QWidget* w) {
          auto* dlg = qobject_cast<TFormFilter*>(w);
          if (!dlg) return false;
          drawsShown = dlg->edDrawsLen->text();
          levelMode = dlg->cbLevelMode->currentIndex();
          levelShown = dlg->edLevelValue->text();
          dlg->reject();
          return true;
        });
    SelectRows(p, {0});
    const QRect r = p->lvScript->visualRect(p->lvScript->model()->index(0, 0));
    // The view's double click on the row (the offscreen test mouse does not make one).
    emit p->lvScript->doubleClicked(p->lvScript->indexAt(r.center()));
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected.isEmpty(), qPrintable(driver.Unexpected.join("; ")));
    QCOMPARE(caption, QString("Редактирование строки"));
    QCOMPARE(comment, QString("первая"));
    QCOMPARE(filter1, QString("TSD1#SUMS:100#LMV:5#SF:1"));
    QCOMPARE(start, 1);
    QCOMPARE(draws, 5);
    QCOMPARE(drawsShown, QString("100"));
    QCOMPARE(levelMode, 1);
    QCOMPARE(levelShown, QString("5"));
    QCOMPARE(afterCancel, filter1);
    QCOMPARE(d.Sess.ScriptLines[0], std::string("EXCL:5#RAND|TSD1#SUMS:100#LMV:5#SF:1| | | | | | |изменена"));
    QCOMPARE(d.Sess.ScriptLines.size(), size_t{2});

    // Cloning appends the edited copy and selects it.
    ModalDriver clone;
    clone.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormScriptLine*>(w);
      if (!dlg) return false;
      caption = dlg->windowTitle();
      dlg->cbResultCombs->setCurrentIndex(8);
      ClickOk(dlg);
      return true;
    });
    QVERIFY(d.Window->Actions().Execute("ScriptClone"));
    QVERIFY(clone.Done());
    QCOMPARE(caption, QString("Создание новой строки"));
    QCOMPARE(d.Sess.ScriptLines.size(), size_t{3});
    QCOMPARE(d.Sess.ScriptLines[2], std::string("EXCL:5#NONE|TSD1#SUMS:100#LMV:5#SF:1| | | | | | |изменена"));
    QCOMPARE(p->SelectedRows(), (std::vector<int>{2}));
  }

  void exchangeFilesRoundTrip() {
    DesktopFixture f;
    WriteScriptFile(f.DataDir() + "Quintar_7x35.lss", {kLine1, kLine2});
    TDesktop& d = f.Start();
    TScriptPage* p = ScriptPage(d);
    const std::vector<std::string> lines = d.Sess.ScriptLines;

    // Saved without an extension: the dialog adds ".lsc".
    QString filter;
    ModalDriver save;
    save.Then(ChooseFile(QString::fromStdString(f.File("exchange")), &filter));
    QVERIFY(d.Window->Actions().Execute("ScriptSave"));
    QVERIFY(save.Done() && save.Unexpected.isEmpty());
    QCOMPARE(filter, QString("Файлы сценариев (*.lsc)"));
    const std::string file = f.File("exchange.lsc");
    QCOMPARE(ReadScriptFile(file), lines);

    BoxSeen question;
    ModalDriver clr;
    clr.Then(AnswerBox("Yes", &question));
    QVERIFY(d.Window->Actions().Execute("ScriptClr"));
    QVERIFY(clr.Done());
    QCOMPARE(question.caption, QString("Предупреждение"));
    QCOMPARE(question.defaultButton, QString("Нет"));
    QVERIFY(d.Sess.ScriptLines.empty());
    QCOMPARE(p->lvScript->model()->rowCount(), 0);
    QCOMPARE(p->PanelText(0), QString("Строк: 0"));
    QVERIFY(!Enabled(d, "ScriptSave") && !Enabled(d, "ScriptClr"));

    ModalDriver open;
    open.Then(ChooseFile(QString::fromStdString(file)));
    QVERIFY(d.Window->Actions().Execute("ScriptOpen"));
    QVERIFY(open.Done() && open.Unexpected.isEmpty());
    QCOMPARE(d.Sess.ScriptLines, lines);
    QCOMPARE(ReadScriptFile(d.Sess.ScriptFilePath()), lines);
    QCOMPARE(p->lvScript->model()->rowCount(), 2);
    QCOMPARE(p->PanelText(0), QString("Строк: 2"));

    // Appended after a separator line.
    ModalDriver load;
    load.Then(ChooseFile(QString::fromStdString(file)));
    QVERIFY(d.Window->Actions().Execute("ScriptLoad"));
    QVERIFY(load.Done());
    QCOMPARE(d.Sess.ScriptLines, (std::vector<std::string>{kLine1, kLine2, "", kLine1, kLine2}));
    QCOMPARE(p->lvScript->model()->rowCount(), 5);

    // A file that cannot be read leaves the script as it was.
    const std::vector<std::string> before = d.Sess.ScriptLines;
    std::remove(file.c_str());
    WriteFileAtomic(file, "");
    std::filesystem::permissions(file, std::filesystem::perms::none);
    BoxSeen error;
    ModalDriver bad;
    bad.Then(ChooseFile(QString::fromStdString(file))).Then(AnswerBox("Ok", &error));
    QVERIFY(d.Window->Actions().Execute("ScriptOpen"));
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    if (bad.Done()) {  // not when the tests run with rights to read anything
      QVERIFY(error.text.startsWith(QString::fromStdString("Ошибка чтения файла \"" + file + "\"!")));
      QCOMPARE(d.Sess.ScriptLines, before);
    }
  }

  void deletingAndMoving() {
    DesktopFixture f;
    WriteScriptFile(f.DataDir() + "Quintar_7x35.lss", {kLine1, "", kLine2});
    TDesktop& d = f.Start();
    TScriptPage* p = ScriptPage(d);

    SelectRows(p, {0});
    QVERIFY(d.Window->Actions().Execute("ScriptDown"));
    QCOMPARE(d.Sess.ScriptLines, (std::vector<std::string>{"", kLine1, kLine2}));
    QCOMPARE(p->SelectedRows(), (std::vector<int>{1}));  // the selection follows the line
    QVERIFY(d.Window->Actions().Execute("ScriptDown"));
    QCOMPARE(p->SelectedRows(), (std::vector<int>{2}));
    QVERIFY(!Enabled(d, "ScriptDown"));
    QVERIFY(d.Window->Actions().Execute("ScriptUp"));
    QCOMPARE(d.Sess.ScriptLines, (std::vector<std::string>{"", kLine1, kLine2}));
    QCOMPARE(ReadScriptFile(d.Sess.ScriptFilePath()), d.Sess.ScriptLines);
    QCOMPARE(Cell(p, 1, 0), QString("первая"));

    SelectRows(p, {0, 2});
    BoxSeen no, yes;
    ModalDriver driver;
    driver.Then(AnswerBox("No", &no));
    QVERIFY(d.Window->Actions().Execute("ScriptDel"));
    QCOMPARE(d.Sess.ScriptLines.size(), size_t{3});
    QCOMPARE(no.text, QString("Удалить все выделенные записи (всего будет удалено 2 записи(ей))?"));
    driver.Then(AnswerBox("Yes", &yes));
    QVERIFY(d.Window->Actions().Execute("ScriptDel"));
    QVERIFY(driver.Done());
    QCOMPARE(d.Sess.ScriptLines, (std::vector<std::string>{kLine1}));
    QCOMPARE(p->SelectedCount(), 0);
    QCOMPARE(p->PanelText(0), QString("Строк: 1"));
    QVERIFY(!Enabled(d, "ScriptDel"));
  }

  // The page and both dialogs render; with QUINTAR_SCREENSHOT_DIR set their pictures are saved there.
  void pageAndDialogsRender() {
    DesktopFixture f;
    WriteScriptFile(f.DataDir() + "Quintar_7x35.lss",
                    {kLine1, "", kLine2, "CURR:0#SYSC#CLR#NEX|BMF2#SUMS:10-50;10#WMV:3#ST:4#1:-1:1:0:1| | | | | | |"});
    TDesktop& d = f.Start();
    d.Sess.StartCatalogue();
    TScriptPage* p = ScriptPage(d);
    SelectRows(p, {0});
    const QString dir = qEnvironmentVariable("QUINTAR_SCREENSHOT_DIR");
    auto keep = [&dir](QWidget* w, const char* name) {
      QApplication::processEvents();
      const QPixmap shot = w->grab();
      QVERIFY(!shot.isNull() && shot.width() > 200 && shot.height() > 150);
      if (!dir.isEmpty()) QVERIFY(shot.save(dir + "/" + name, "PNG"));
    };
    keep(d.Window.get(), "script_page.png");

    TFormScriptLine line(d.Window.get(), "Редактирование строки", 0, d.Sess.ScriptLines[3], {});
    line.show();
    keep(&line, "script_line_editor.png");

    TFilterEditorSource source{&d.Sess.Stats, &d.Sess.DrawsStatChooser, 1000, d.Sess.Stats.Config.Weights};
    TFilterItem item = TextToFilterItem("BMF2#SUMS:10-50;10#WMV:3#ST:4#1:-1:1:0:1", d.Sess.StatCodes());
    TFormFilter filter(d.Window.get(), d.Host, source, item);
    filter.show();
    keep(&filter, "filter_editor.png");
  }
};

QTEST_MAIN(TestScripts)
#include "test_scripts.moc"
