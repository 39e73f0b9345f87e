// The main window as a shell: menu and actions, status bar, pages, message boxes, hints, the window
// settings surviving a restart, placement per screen size and pixel density, languages, help file and the
// first-run dialog, and the real program ending on SIGTERM.
#include <signal.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <filesystem>

#include "app/actionregistry.h"
#include "app/actiontable.h"
#include "app/formfirstrun.h"
#include "app/languages.h"
#include "app/qthost.h"
#include "app/windowlayout.h"
#include "game/drawspage.h"
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

QStringList MenuTitles(QMenuBar* bar) {
  QStringList t;
  for (QAction* a : bar->actions())
    if (a->isVisible()) t << a->text();
  return t;
}

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT

 public slots:
  // The desktop's handler of file addresses while a test watches what the program opens.
  void openUrl(const QUrl& url) { opened_.push_back(url); }

 private:
  QList<QUrl> opened_;

 private slots:
  void initTestCase() { InstallDrawDateHooks(); }

  void menuActionsAndLayout() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    TFormMain& w = *d.Window;
    QCOMPARE(MenuTitles(w.menuBar()), (QStringList{"Файл", "Архив тиражей", "Комбинации", "Статистика", "Ставки",
                                                   "Рейтинг", "Регуляры", "Системы", "Сценарий", "Вид", "Справка"}));
    // Every command exists under its name; only the built ones are enabled.
    QStringList enabled;
    for (const auto& def : ActionTable()) {
      QAction* a = w.findChild<QAction*>(def.Name);
      QVERIFY2(a, def.Name);
      QCOMPARE(a->text(), QString::fromUtf8(def.Caption));
      if (a->isEnabled()) enabled << def.Name;
    }
    QCOMPARE(enabled, (QStringList{"EditConfig", "EditShredding", "EditProxy", "EditCatalogue", "ExitProgram", "DrawsDownload", "AutoDownload0",
                                   "AutoDownload1", "AutoDownload2", "DrawsImport", "DrawsAdd", "DrawsSorted",
                                   "CombsCheckNums", "CombsGen", "CombsCopy", "CombsSelectAll", "CombsOpen",
                                   "CombsSave", "CombsXlsExport", "FiltersManager", "FiltersReset", "FiltersInfo", "TotalSumCombs", "StakeAdd",
                                   "StakeAddRandom", "StakeAddAll", "SystemStakeFilter", "SystemStakeAll",
                                   "StakeFilter", "StakeClear",
                                   "StakesGraphDraws", "StakesCheckManual", "LogStakes", "LogStakesDelete",
                                   "StakesScroll", "StakesCheckLine", "RatingsEffMode0", "RatingsEffMode1",
                                   "RatingsEffMode2", "RatingsRefresh", "TablesAdd", "SystemsOn", "SystemsRefresh",
                                   "SystemsAdd", "ScriptOpen", "ScriptLibrary", "ScriptLibraryRefresh", "ScriptAdd",
                                   "ScriptLoad", "LogToggle", "LogsDelete", "TabGraps", "TabCard", "TabLayout", "TabTables",
                                   "ViewColorDraws", "ViewColorCombs", "ViewColorCard", "ViewColorCardSequences",
                                   "ViewShemaGradient", "About",
                                   "OpenLotoSite", "urlMainSite", "urlBlog", "urlYT", "urlAuthText", "urlVK",
                                   "urlOK", "urlAuthSite", "urlTG"}));
    QCOMPARE(w.Actions().Action("DrawsDownload")->shortcut(), QKeySequence("F3"));
    QCOMPARE(w.Actions().Action("GetHelp")->shortcut(), QKeySequence("F1"));
    QCOMPARE(w.Actions().Action("ScriptTest")->shortcut(), QKeySequence("Ctrl+F10"));
    QCOMPARE(w.Actions().Action("ExitProgram")->statusTip(), QString("Завершение работы с программой"));
    // Ctrl+J is given to two commands; the first in menu order keeps it.
    QCOMPARE(w.Actions().Action("SystemsOn")->shortcut(), QKeySequence("Ctrl+J"));
    QVERIFY(w.Actions().Action("ScriptOpen")->shortcut().isEmpty());
    // The systems menu, page and stake commands come with the systems catalogue at the initialisation.
    QVERIFY(w.findChild<QMenu*>("mnSystems")->menuAction()->isVisible());
    QVERIFY(w.Actions().Action("SystemStakeAll")->isVisible());
    QMenu* view = w.findChild<QMenu*>("mnView");
    QStringList viewItems;
    for (QAction* a : view->actions())
      if (!a->isSeparator()) viewItems << a->text();
    QVERIFY(viewItems.contains("Вкладка \"Системы\""));
    QMenu* lang = w.findChild<QMenu*>(kLanguageMenu);
    QCOMPARE(lang->actions().size(), 1);  // only the built-in language
    QVERIFY(lang->actions().first()->isChecked());

    QStringList tabs;
    for (int i = 0; i < w.pcMain->count(); ++i) tabs << w.pcMain->tabText(i);
    QCOMPARE(tabs, (QStringList{"Статистика", "Графики", "Карта", "Схема", "Ставки", "Рейтинг", "Регуляры",
                                "Системы", "Сценарий"}));
    QVERIFY(w.pcMain->isTabVisible(7));
    QCOMPARE(w.pcLists->tabText(0), QString("Архив тиражей"));
    QCOMPARE(w.pcLists->tabText(1), QString("Комбинации"));
    // The panels have their designed widths in a window that holds them all, and give way in a narrower
    // one instead of lying over each other.
    const int widths[6] = {150, 180, 130, 150, 120, 125};
    w.resize(1280, 800);
    QTest::qWait(20);
    for (int i = 0; i < 6; ++i) QCOMPARE(w.Panel(i)->width(), widths[i]);
    w.resize(640, 600);
    QTest::qWait(20);
    for (int i = 0; i < 6; ++i) QVERIFY(w.Panel(i)->geometry().right() < w.Panel(i + 1)->geometry().left());
    QVERIFY(w.windowTitle().startsWith("Анализ статистики лотереи \"7 из 35\" версия "));
    QCOMPARE(w.Panel(0)->text(), QString("Архив тиражей: 0"));
  }

  void messageBoxesHaveTheirCaptionsButtonsAndDefaults() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    struct Case {
      MsgKind kind;
      const char* caption;
      const char* icon;
    } cases[] = {{MsgKind::Error, "Ошибка", "Critical"},
                 {MsgKind::Information, "Информация", "Information"},
                 {MsgKind::Attention, "Внимание!", "Warning"},
                 {MsgKind::Warning, "Предупреждение", "Warning"}};
    for (const auto& c : cases) {
      BoxSeen box;
      ModalDriver driver;
      driver.Then(AnswerBox("Ok", &box));
      d.Host.ShowMessage(c.kind, "Строка 1\r\rСтрока 3");
      QCOMPARE(box.caption, QString(c.caption));
      QCOMPARE(box.icon, QString(c.icon));
      QCOMPARE(box.text, QString("Строка 1\n\nСтрока 3"));
      QCOMPARE(box.buttons, QStringList{"OK"});
    }
    const struct {
      AskKind kind;
      const char* caption;
      const char* def;
    } asks[] = {{AskKind::ConfirmYes, "Подтверждение", "Да"},
                {AskKind::ConfirmNo, "Подтверждение", "Нет"},
                {AskKind::Delete, "Предупреждение", "Нет"}};
    for (const auto& a : asks) {
      BoxSeen box;
      ModalDriver driver;
      driver.Then(AnswerBox("Yes", &box));
      QVERIFY(d.Host.Ask(a.kind, "Вопрос?"));
      QCOMPARE(box.caption, QString(a.caption));
      QCOMPARE(box.icon, QString("Question"));
      QCOMPARE(box.defaultButton, QString(a.def));
      driver.Then(AnswerBox("No"));
      QVERIFY(!d.Host.Ask(a.kind, "Вопрос?"));
    }
  }

  void statusTextAndHints() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    d.Sess.ShowStatus("Работа...");
    QCOMPARE(d.Window->Panel(6)->text(), QString("Работа..."));
    QStatusTipEvent hint("Подсказка");
    QApplication::sendEvent(d.Window.get(), &hint);
    QCOMPARE(d.Window->Panel(6)->text(), QString("Подсказка"));
    d.Sess.BeginBusy();
    d.Sess.ShowStatus("Долгая работа...");
    QStatusTipEvent ignored("Другая подсказка");
    QApplication::sendEvent(d.Window.get(), &ignored);
    QCOMPARE(d.Window->Panel(6)->text(), QString("Долгая работа..."));
    d.Sess.EndBusy();
    // A menu item's hint reaches the status text through the normal route.
    d.Window->Actions().Action("ExitProgram")->showStatusText(d.Window.get());
    QCOMPARE(d.Window->Panel(6)->text(), QString("Завершение работы с программой"));
  }

  void settingsSurviveARestart() {
    DesktopFixture f;
    f.WriteArchive({1, 2, 3});
    {
      TDesktop& d = f.Start();
      TFormMain& w = *d.Window;
      QCOMPARE(w.pcLists->width(), TFormMain::kDesignedLeftWidth);
      w.DrawsPage()->lvDraws->horizontalHeader()->resizeSection(0, 77);
      w.DrawsPage()->lvDraws->horizontalHeader()->resizeSection(10, 123);
      w.setGeometry(30, 40, 700, 500);
      QTRY_COMPARE(w.geometry(), QRect(30, 40, 700, 500));
      w.splitter->setSizes({300, w.splitter->width() - 300 - w.splitter->handleWidth()});
      QCOMPARE(w.pcLists->width(), 300);
      QVERIFY(w.Actions().Execute("ViewColorDraws"));
      QVERIFY(w.Actions().Execute("DrawsSorted"));
      f.Stop();
    }
    IniFile ini(f.DataDir() + "Quintar_7x35.frm");
    QCOMPARE(ini.ReadInteger("TFormMain", "LeftPanelWidth", 0), 300);
    QCOMPARE(ini.ReadInteger("TFormMain", "lvDraws.Column0", 0), 77);
    QCOMPARE(ini.ReadInteger("TFormMain", "ShowCmd", 0), 1);
    QCOMPARE(ini.ReadString("TFormMain", "NormPos", ""), std::string("30,40,730,540"));
    QVERIFY(ini.ValueExists("TFormMain", "PrefetchsInit"));
    QCOMPARE(ini.ReadString("TFormMain", "PrefetchsEnabled", ""), std::string("0"));

    TDesktop& d = f.Start();
    TFormMain& w = *d.Window;
    QCOMPARE(w.geometry(), QRect(30, 40, 700, 500));
    QCOMPARE(w.pcLists->width(), 300);
    QCOMPARE(w.DrawsPage()->lvDraws->horizontalHeader()->sectionSize(0), 77);
    QCOMPARE(w.DrawsPage()->lvDraws->horizontalHeader()->sectionSize(10), 123);
    QVERIFY(!d.Sess.ColorDraws);
    QVERIFY(!w.Actions().Action("ViewColorDraws")->isChecked());
    QVERIFY(d.Sess.SortedView);
    QVERIFY(w.Actions().Action("DrawsSorted")->isChecked());

    // A maximized window comes back maximized; its restored rectangle is kept.
    w.showMaximized();
    QTRY_VERIFY(w.isMaximized());
    f.Stop();
    QCOMPARE(IniFile(f.DataDir() + "Quintar_7x35.frm").ReadInteger("TFormMain", "ShowCmd", 0), 3);
    TDesktop& d3 = f.Start();
    QTRY_VERIFY(d3.Window->isMaximized());
  }

  void placementPerScreenSizeAndPixelDensity() {
    // The rules are those of the stored keys; here they act on a real window.
    IniFile ini;
    QWidget probe;
    TScreenInfo wide{QSize(1920, 1080), 96};
    probe.setGeometry(10, 20, 400, 300);
    SaveWindowPlacement(ini, "TProbe", &probe, wide);
    QCOMPARE(ini.ReadString("TProbe", "NormPos_1920x1080", ""), std::string("10,20,410,320"));
    QCOMPARE(ini.ReadInteger("TProbe", "PixelsPerInch", 0), 96);
    ini.WriteString("TProbe", "NormPos", "50,60,350,260");

    QWidget a;
    a.setGeometry(0, 0, 100, 100);
    RestoreWindowPlacement(ini, "TProbe", &a, wide);
    QCOMPARE(a.geometry(), QRect(10, 20, 400, 300));  // the key of this screen size

    QWidget b;
    b.setGeometry(0, 0, 100, 100);
    RestoreWindowPlacement(ini, "TProbe", &b, TScreenInfo{QSize(1280, 1024), 96});
    QCOMPARE(b.geometry(), QRect(50, 60, 300, 200));  // another size: the generic key
    ini.WriteString("TProbe", "NormPos_1280x1024", "5,6,205,106");
    RestoreWindowPlacement(ini, "TProbe", &b, TScreenInfo{QSize(1280, 1024), 96});
    QCOMPARE(b.geometry(), QRect(5, 6, 200, 100));

    QWidget c;
    c.setGeometry(0, 0, 100, 100);
    RestoreWindowPlacement(ini, "TProbe", &c, TScreenInfo{QSize(1920, 1080), 120});
    QCOMPARE(c.geometry(), QRect(0, 0, 100, 100));  // stored at 96 pixels per inch: ignored

    ini.WriteString("TProbe", "NormPos_1920x1080", "300,20,300,320");
    RestoreWindowPlacement(ini, "TProbe", &c, wide);
    QCOMPARE(c.geometry(), QRect(0, 0, 100, 100));  // left not less than right
    ini.WriteInteger("TProbe", "ShowCmd", 2);
    QCOMPARE(RestoreWindowPlacement(ini, "TProbe", &c, wide), TShowState::Minimized);
    ini.WriteInteger("TProbe", "ShowCmd", 8);
    QCOMPARE(RestoreWindowPlacement(ini, "TProbe", &c, wide), TShowState::Normal);

    // The main window reads the key of the screen it starts on.
    DesktopFixture f;
    const TScreenInfo screen = ScreenOf(nullptr);
    IniFile frm(f.DataDir() + "Quintar_7x35.frm");
    frm.WriteString("TFormMain", "NormPos", "1,2,501,402");
    frm.WriteString("TFormMain",
                    "NormPos_" + std::to_string(screen.Size.width()) + "x" + std::to_string(screen.Size.height()),
                    "11,12,611,512");
    frm.WriteInteger("TFormMain", "PixelsPerInch", screen.PixelsPerInch);
    frm.UpdateFile();
    TDesktop& d = f.Start();
    QCOMPARE(d.Window->geometry(), QRect(11, 12, 600, 500));
    f.Stop();
    frm.Reload();
    frm.WriteInteger("TFormMain", "PixelsPerInch", screen.PixelsPerInch + 24);
    frm.UpdateFile();
    TDesktop& d2 = f.Start();
    QVERIFY(d2.Window->geometry() != QRect(11, 12, 600, 500));  // the designed place
  }

  void languageModulesAndHelpFile() {
    DesktopFixture f;
    // English is the stored default; without a module the program speaks Russian.
    {
      TDesktop& d = f.Start();
      QCOMPARE(d.Window->Languages().Current(), 1049);
      QVERIFY(!d.Window->Actions().Action("GetHelp")->isEnabled());
      QCOMPARE(QString::fromStdString(d.Window->Languages().HelpFile()),
               QString::fromStdString(f.File("help/Zembra_RUS.html")));
      f.Stop();
    }
    // A help file beside the program enables the command.
    WriteFileAtomic(f.File("bin/Zembra_RUS.html"), "<html></html>");
    {
      TDesktop& d = f.Start();
      QVERIFY(d.Window->Actions().Action("GetHelp")->isEnabled());
      f.Stop();
    }
    // With the English module the menus speak English and the language menu offers both.
    std::filesystem::copy_file(QUINTAR_TEST_QM, f.File("bin/Quintar_7x35_ENU.lng"));
    {
      TDesktop& d = f.Start();
      QCOMPARE(d.Window->Languages().Current(), 1033);
      QCOMPARE(d.Window->menuBar()->actions().first()->text(), QString("File"));
      QCOMPARE(d.Window->Actions().Action("DrawsAdd")->text(), QString("Add"));
      QMenu* lang = d.Window->findChild<QMenu*>(kLanguageMenu);
      QCOMPARE(lang->actions().size(), 2);
      QVERIFY(d.Window->Actions().Action("Language1033")->isChecked());
      QVERIFY(!d.Window->Actions().Action("Language1049")->isChecked());
      f.Stop();
    }
    // "no-language" keeps the built-in language whatever is stored.
    {
      TDesktop& d = f.Start({"--no-language"});
      QCOMPARE(d.Window->Languages().Current(), 1049);
      QCOMPARE(d.Window->menuBar()->actions().first()->text(), QString("Файл"));
      // Choosing a language whose module has gone since the start reports it and stores nothing.
      std::filesystem::remove(f.File("bin/Quintar_7x35_ENU.lng"));
      BoxSeen box;
      ModalDriver driver;
      driver.Then(AnswerBox("Ok", &box));
      QVERIFY(d.Window->Actions().Execute("Language1033"));
      QCOMPARE(box.caption, QString("Ошибка"));
      QCOMPARE(box.text, QString("Языковый модуль \"%1\" не найден!").arg(QString::fromStdString(f.File("bin/Quintar_7x35_ENU.lng"))));
      QVERIFY(!IniFile(d.Sess.Frm.Path()).ValueExists("TFormMain", "Language"));
      f.Stop();
    }
    // A module that is not a translation file: the error, then the built-in language.
    WriteFileAtomic(f.File("bin/Quintar_7x35_ENU.lng"), "not a module");
    {
      BoxSeen box;
      ModalDriver driver;
      driver.Then(AnswerBox("Ok", &box));
      TDesktop& d = f.Start();
      QVERIFY(driver.Done());
      QVERIFY(box.text.startsWith(
          QString("Не удалось загрузить языковый модуль \"%1\"!\n\n").arg(QString::fromStdString(f.File("bin/Quintar_7x35_ENU.lng")))));
      QCOMPARE(d.Window->Languages().Current(), 1049);
      QCOMPARE(d.Window->menuBar()->actions().first()->text(), QString("Файл"));
    }
  }

  // An installed program (bin/ beside share/quintar-7x35/) reads its manual and language modules from the
  // install prefix; F1 opens the manual's contents page there.
  void helpAndModulesFromTheInstallPrefix() {
    DesktopFixture f;
    const std::string share = f.File("share/quintar-7x35/");
    std::filesystem::create_directories(share + "help/chapters");
    WriteFileAtomic(share + "help/Zembra_RUS.html", "<html><body>Содержание</body></html>");
    std::filesystem::copy_file(QUINTAR_TEST_QM, share + "Quintar_7x35_ENU.lng");
    {
      TDesktop& d = f.Start();
      QCOMPARE(d.Window->Languages().Current(), 1033);
      f.Stop();
    }
    TDesktop& d = f.Start({"--no-language"});
    QCOMPARE(QString::fromStdString(d.Window->Languages().HelpFile()),
             QString::fromStdString(share + "help/Zembra_RUS.html"));
    QVERIFY(d.Window->Actions().Action("GetHelp")->isEnabled());
    opened_.clear();
    QDesktopServices::setUrlHandler("file", this, "openUrl");
    d.Window->activateWindow();
    QTest::keyClick(d.Window.get(), Qt::Key_F1);
    QDesktopServices::unsetUrlHandler("file");
    QCOMPARE(opened_, QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(share + "help/Zembra_RUS.html"))});
    f.Stop();
  }

  void firstRunDialog() {
    DesktopFixture f;
    IniFile frm(f.DataDir() + "Quintar_7x35.frm");
    frm.WriteBool("TFormMain", "FirstRun", true);
    frm.UpdateFile();
    bool helpEnabled = true, seen = false;
    ModalDriver driver;
    auto close = [&](bool disable) {
      return [&, disable](QWidget* w) {
        auto* dlg = qobject_cast<TFormFirstRun*>(w);
        if (!dlg) return false;
        seen = true;
        helpEnabled = dlg->btnOpenHelpFile->isEnabled();
        dlg->cbDisable->setChecked(disable);
        dlg->findChild<QPushButton*>("btnClose")->click();
        return true;
      };
    };
    driver.Then(close(false));
    f.Start();
    QVERIFY(seen);
    QVERIFY(!helpEnabled);
    QVERIFY(IniFile(f.DataDir() + "Quintar_7x35.frm").ReadBool("TFormMain", "FirstRun", false));
    f.Stop();
    seen = false;
    driver.Then(close(true));
    f.Start();
    QVERIFY(seen);
    QVERIFY(!IniFile(f.DataDir() + "Quintar_7x35.frm").ReadBool("TFormMain", "FirstRun", true));
    f.Stop();
    seen = false;
    f.Start();
    QTest::qWait(50);
    QVERIFY(!seen);
    QVERIFY(driver.Unexpected.isEmpty());
  }

  void sigtermClosesTheProgramTheNormalWay() {
    test::TempDir dir;
    const std::string data = dir.Path();
    auto run = [&](int waitMs) {
      QProcess p;
      p.setProgram(QUINTAR_DESKTOP);
      p.setArguments({QString("--data-dir=%1").arg(QString::fromStdString(data))});
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("QT_QPA_PLATFORM", "offscreen");
      p.setProcessEnvironment(env);
      p.start();
      if (!p.waitForStarted()) return -1;
      // The first start writes its first keys at once; wait for them, then end the program.
      if (!QTest::qWaitFor([&] { return FileExists(data + "Quintar_7x35.frm"); }, 10000)) return -2;
      QTest::qWait(waitMs);
      ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
      if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit) return -3;
      return p.exitCode();
    };
    QCOMPARE(run(300), 0);
    IniFile ini(data + "Quintar_7x35.frm");
    for (const char* key : {"LeftPanelWidth", "ShowCmd", "NormPos", "PixelsPerInch", "lvDraws.Column0",
                            "lvDraws.Column10"})
      QVERIFY2(ini.ValueExists("TFormMain", key), key);

    // With a modal dialog open (the first-run dialog), the dialog is cancelled and the program still
    // ends the normal way.
    ini.WriteBool("TFormMain", "FirstRun", true);
    ini.WriteInteger("TFormMain", "LeftPanelWidth", 333);
    ini.UpdateFile();
    QCOMPARE(run(1000), 0);
    ini.Reload();
    QVERIFY(ini.ReadBool("TFormMain", "FirstRun", false));
    QCOMPARE(ini.ReadInteger("TFormMain", "LeftPanelWidth", 0), 333);
  }

  void restartWaitsForThePreviousCopyToEnd() {
    // The previous copy runs from a program file of a name no other process has.
    DesktopFixture f;
    const std::string name = "Quintar_restart_" + std::to_string(::getpid());
    const std::string program = f.File("bin/" + name);
    std::filesystem::copy_file(QUINTAR_DESKTOP, program);
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    test::TempDir otherData;
    QProcess previous;
    previous.setProgram(QString::fromStdString(program));
    previous.setArguments({QString("--data-dir=%1").arg(QString::fromStdString(otherData.Path()))});
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    previous.setProcessEnvironment(env);
    previous.start();
    QVERIFY(previous.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(FileExists(otherData.Path() + "Quintar_7x35.frm"), 10000);

    bool ended = false;
    QTimer::singleShot(400, [&] {
      ended = true;
      ::kill(static_cast<pid_t>(previous.processId()), SIGTERM);
    });
    TStartOptions o;
    o.ProgramPath = program;
    o.Cmd = CommandLine(std::vector<std::string>{"restart"});
    TDesktop d(f.DataDir(), o);
    QVERIFY(ended);  // creation went on only after the previous copy ended
    QVERIFY(!d.Window->Terminated());
    QTRY_COMPARE(previous.state(), QProcess::NotRunning);
    QCOMPARE(previous.exitStatus(), QProcess::NormalExit);
    QCOMPARE(previous.exitCode(), 0);
  }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
