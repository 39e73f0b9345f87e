// The self-update in the desktop program against the local update server: the silent start-up check, the
// new-version dialog, the install into the program file's folder and the restart of the installed program;
// the commands "Поиск обновлений" and "Автоматическое обновление"; the dialog of a build that cannot install.
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "app/actionregistry.h"
#include "app/formnewversion.h"
#include "app/guiutil.h"
#include "app/selfupdate.h"
#include "app/session.h"
#include "guitestutil.h"
#include "updatesite.h"
#include "util/inifile.h"
#include "util/safefile.h"

using namespace quintar;
using namespace quintar::gui;
using quintar::test::AnswerBox;
using quintar::test::BoxSeen;
using quintar::test::DesktopFixture;
using quintar::test::ModalDriver;
using quintar::testserver::UpdateKind;
using quintar::testserver::UpdateSite;

namespace {

// What the new-version dialog showed; the step presses the named button.
struct DialogSeen {
  QString caption, current, offered, description, distribution;
  QStringList buttons;
};

std::function<bool(QWidget*)> AnswerDialog(const char* button, DialogSeen& seen, const QString& shot) {
  return [button, &seen, shot](QWidget* w) {
    auto* dlg = qobject_cast<TFormNewVersion*>(w);
    if (!dlg) return false;
    seen.caption = dlg->windowTitle();
    seen.current = dlg->lblCurrentVersion->text();
    seen.offered = dlg->lblNewVersion->text();
    seen.description = dlg->edDescription->toPlainText();
    seen.distribution = dlg->lblDistribution ? dlg->lblDistribution->text() : QString();
    for (QPushButton* b : dlg->findChildren<QPushButton*>()) seen.buttons << b->text();
    seen.buttons.sort();
    const QString dir = qEnvironmentVariable("QUINTAR_SCREENSHOT_DIR");
    if (!dir.isEmpty()) dlg->grab().save(dir + "/" + shot, "PNG");
    dlg->findChild<QPushButton*>(button)->click();
    return true;
  };
}

void WriteUpdateUrl(const DesktopFixture& f, const std::string& url) {
  IniFile ini(f.DataDir() + "Quintar_7x35.ini");
  ini.WriteString("ONLINE", "UpdateUrl", url);
  ini.UpdateFile();
}

}  // namespace

class TestUpdate : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallDrawDateHooks(); }

  void theStartUpOffersInstallsAndRestarts() {
    UpdateSite site;
    site.Start();
    DesktopFixture f;
    test::WriteBytes(f.ProgramPath(), "old program\n");
    std::filesystem::permissions(f.ProgramPath(), std::filesystem::perms::owner_all);
    WriteUpdateUrl(f, site.BaseUrl());

    DialogSeen seen;
    BoxSeen kept;
    ModalDriver driver;
    driver.Then(AnswerDialog("btnInstall", seen, "newversion.png")).Then(AnswerBox("Ok", &kept));
    TDesktop& d = f.Start();
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected.isEmpty(), qPrintable(driver.Unexpected.join("; ")));

    QCOMPARE(seen.caption, QString("Найдена новая версия программы"));
    QCOMPARE(seen.current, Q(quintar::ProgramVersion()));
    QCOMPARE(seen.offered, Q(site.OfferedVersion()));
    QCOMPARE(seen.description, "Новая версия " + Q(site.OfferedVersion()) + "\nИсправлены ошибки поиска.");
    QCOMPARE(seen.buttons, (QStringList{"Отмена", "Установить"}));
    QVERIFY(seen.distribution.isEmpty());
    QCOMPARE(kept.caption, QString("Предупреждение"));
    QCOMPARE(kept.text, QString("Файл данных не заменён: Quintar_7x35.ini"));

    // The new files stand in the program file's folder, and the program that was started again is the
    // installed one, with "restart" and the same data folder; this copy closed.
    const std::string bin = ExtractFilePath(f.ProgramPath());
    QTRY_VERIFY_WITH_TIMEOUT(FileExists(bin + "restarted.txt"), 10000);
    QTRY_COMPARE(Q(ReadWholeFile(bin + "restarted.txt")), Q("restart\n--data-dir=" + f.DataDir() + "\n"));
    QVERIFY(ReadWholeFile(f.ProgramPath()).find("the new build") != std::string::npos);
    QCOMPARE(Q(ReadWholeFile(bin + "help/Zembra_RUS.html")), QString("new help\n"));
    QCOMPARE(Q(ReadWholeFile(bin + "exec.log")), QString("before: old\nafter: new\n"));
    QVERIFY(!FileExists(bin + "Quintar_7x35.ini"));
    QVERIFY(!DirectoryExists(bin + "SelfUpdate"));
    QVERIFY(!d.Window->isVisible());
  }

  void theCommandsAndABuildThatCannotInstall() {
    UpdateSite site;
    site.SetKind(UpdateKind::Same);
    site.Start();
    DesktopFixture f;
    WriteUpdateUrl(f, site.BaseUrl());
    // The silent start-up check finds the running build: nothing is shown.
    ModalDriver driver;
    TDesktop& d = f.Start();
    QCOMPARE(site.Requests("/files/autoupdates/Zembra_AU.cfg"), 1);
    ActionRegistry& a = d.Window->Actions();
    QVERIFY(a.Action("CheckUpdate")->isEnabled());
    QCOMPARE(a.Action("CheckUpdate")->text(), QString("Поиск обновлений"));

    BoxSeen box;
    driver.Then(AnswerBox("Ok", &box));
    QVERIFY(a.Execute("CheckUpdate"));
    QVERIFY(driver.Done());
    QCOMPARE(box.caption, QString("Информация"));
    QCOMPARE(box.text, QString("Обновлений не найдено!"));

    // A distribution's build only tells: one button, the text, nothing installed.
    site.SetKind(UpdateKind::Newer);
    d.Sess.SelfUpdate.Distribution = true;
    DialogSeen seen;
    driver.Then(AnswerDialog("btnClose", seen, "newversion-distribution.png"));
    QVERIFY(a.Execute("CheckUpdate"));
    QVERIFY(driver.Done());
    QCOMPARE(seen.buttons, QStringList{"Закрыть"});
    QCOMPARE(seen.distribution, QString("Новая версия устанавливается средствами дистрибутива (менеджером пакетов)."));
    // Declined in a portable build: nothing either.
    d.Sess.SelfUpdate.Distribution = false;
    DialogSeen declined;
    driver.Then(AnswerDialog("btnCancel", declined, "newversion-declined.png"));
    QVERIFY(a.Execute("CheckUpdate"));
    QVERIFY(driver.Done());
    QCOMPARE(declined.buttons, (QStringList{"Отмена", "Установить"}));
    QVERIFY(std::filesystem::is_empty(ExtractFilePath(f.ProgramPath())));
    QCOMPARE(site.Requests("/files/autoupdates/Quintar_7x35-" + site.OfferedVersion() + ".upd"), 0);
    QVERIFY(d.Window->isVisible());
    QVERIFY(driver.Unexpected.isEmpty());

    // The switch of the start-up check, kept in the window settings.
    QCOMPARE(a.Action("AutoSelfUpdate")->text(), QString("Автоматическое обновление"));
    QVERIFY(a.Action("AutoSelfUpdate")->isChecked());
    QVERIFY(a.Execute("AutoSelfUpdate"));
    QVERIFY(!a.Action("AutoSelfUpdate")->isChecked());
    QVERIFY(!IniFile(d.Sess.FilePath(".frm")).ReadBool("TFormMain", "AutoUpdates", true));
    f.Stop();
    TDesktop& d2 = f.Start();
    QCOMPARE(site.Requests("/files/autoupdates/Zembra_AU.cfg"), 4);  // no check at this start
    QVERIFY(!d2.Window->Actions().Action("AutoSelfUpdate")->isChecked());

    // Without a server address both commands are disabled.
    d2.Sess.Online.UpdateUrl.clear();
    d2.Window->Actions().UpdateActions();
    QVERIFY(!d2.Window->Actions().Action("CheckUpdate")->isEnabled());
    QVERIFY(!d2.Window->Actions().Action("AutoSelfUpdate")->isEnabled());
  }
};

QTEST_MAIN(TestUpdate)
#include "test_update.moc"
