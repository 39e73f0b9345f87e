// The online catalogues in the desktop program on the offscreen platform, against the real catalogue service
// on a free port: the script catalogue panel of the page "Сценарий" (publish through the properties dialog,
// rate through the comment box, the ratings window, hide, filter, download, delete, the panel on and off),
// the page "Системы" (add through the system dialog with its normalisation and checks, marks, download,
// properties of one's own and of someone else's system, delete, system stakes) and the settings dialog.
// With QUINTAR_SHOTS set to a folder, pictures of the panel, the page and the dialogs are saved there.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "catalogue_testutil.h"
#include "combs/stakedialogs.h"
#include "guitestutil.h"
#include "online/cataloguelist.h"
#include "online/formcatalogue.h"
#include "online/formsystem.h"
#include "online/systemspage.h"
#include "scripts/formscrpublic.h"
#include "scripts/scriptlibrarypanel.h"
#include "scripts/scriptpage.h"
#include "util/cp1251.h"
#include "util/inifile.h"
#include "util/safefile.h"

using namespace quintar;
using namespace quintar::gui;
using quintar::test::AnswerBox;
using quintar::test::BoxSeen;
using quintar::test::CatalogueServer;
using quintar::test::DesktopFixture;
using quintar::test::ModalDriver;
using quintar::test::RunCli;
using quintar::test::TempDir;
using quintar::test::WriteBytes;

namespace {

void Shot(QWidget* w, const char* name) {
  const QByteArray dir = qgetenv("QUINTAR_SHOTS");
  if (dir.isEmpty()) return;
  // A page is seen in a window of the designed size.
  if (QWidget* top = w->window(); top != w && !top->isModal()) {
    top->resize(1280, 800);
    QTest::qWait(50);
  }
  w->grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
}

void WriteUser(const std::string& dataDir, const std::string& url, const char* name, const char* mail) {
  WriteBytes(dataDir + "Quintar_7x35.ini", Utf8ToCp1251(std::string("[ONLINE]\r\nCatalogueUrl=") + url +
                                                        "\r\nUserName=" + name + "\r\nUserMail=" + mail + "\r\n"));
}

bool Enabled(TDesktop& d, const char* name) { return d.Window->Actions().Action(name)->isEnabled(); }
bool Checked(TDesktop& d, const char* name) { return d.Window->Actions().Action(name)->isChecked(); }

TScriptLibraryPanel* Panel(TDesktop& d) {
  auto* p = qobject_cast<TScriptPage*>(d.Window->Page("tsScript"));
  d.Window->pcMain->setCurrentWidget(p);
  return p->pnlOnlineScripts;
}

TSystemsPage* Systems(TDesktop& d) {
  auto* p = qobject_cast<TSystemsPage*>(d.Window->Page("tsSystems"));
  d.Window->pcMain->setCurrentWidget(p);
  return p;
}

// Answers the comment box of a rating.
std::function<bool(QWidget*)> Comment(const QString& text) {
  return [text](QWidget* w) {
    auto* box = qobject_cast<QInputDialog*>(w);
    if (!box) return false;
    box->setTextValue(text);
    box->accept();
    return true;
  };
}

}  // namespace

class TestCatalogues : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallDrawDateHooks(); }

  // Without an address the start-up asks nothing: the list is empty, the systems page shows its placeholder.
  void quietStartWithoutAnAddress() {
    DesktopFixture f;
    ModalDriver driver;
    TDesktop& d = f.Start();
    QTest::qWait(100);
    QVERIFY2(driver.Unexpected.isEmpty(), qPrintable(driver.Unexpected.join("; ")));
    QVERIFY(d.Window->findChild<QMenu*>("mnSystems")->menuAction()->isVisible());
    QVERIFY(d.Window->pcMain->isTabVisible(d.Window->pcMain->indexOf(d.Window->Page("tsSystems"))));
    QVERIFY(d.Window->Actions().Action("SystemStakeAll")->isVisible());
    TSystemsPage* sys = Systems(d);
    QCOMPARE(sys->lvSystems->model()->rowCount(), 1);
    QCOMPARE(sys->lvSystems->CellText(0, 0), QString("Список систем не доступен!"));
    QVERIFY(sys->lvSystems->model()->index(0, 0).data(Qt::DecorationRole).isNull());
    QCOMPARE(Panel(d)->lvOnlineScripts->model()->rowCount(), 0);
    QVERIFY(Checked(d, "ScriptLibrary") && Checked(d, "SystemsOn"));
    // A command that needs the service says that there is none.
    BoxSeen box;
    driver.Then(AnswerBox("Ok", &box));
    QVERIFY(d.Window->Actions().Execute("ScriptLibraryRefresh"));
    QCOMPARE(box.text, QString("Ошибка загрузки каталога online-сценариев!\n\nАдрес online-каталога не задан!"));
  }

  void scriptCatalogueInThePanel() {
    TempDir db, bob;
    CatalogueServer server(db.File("catalogue.db"));
    QVERIFY(server.Started());
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port());
    DesktopFixture f;
    WriteUser(f.DataDir(), url, "Анна", "ann@example.org");
    WriteBytes(f.DataDir() + "Quintar_7x35.lss", "FULL:0#ALL| | | | | | | |\r\nFULL:0#FIRST| | | | | | | |\r\n");
    // Someone else's script, published with another program: it cannot be downloaded here.
    WriteUser(bob.Path(), url, "Боб", "bob@example.org");
    WriteBytes(bob.File("b.lsc"), Utf8ToCp1251("FULL:0#LAST| | | | | | | |чужой\r\n"));
    QCOMPARE(RunCli({"--data-dir=" + bob.Path(), "scriptlib", "publish", "--in=" + bob.File("b.lsc"), "--title=Боба",
                     "--universal"}),
             0);
    TDesktop& d = f.Start();
    TScriptLibraryPanel* p = Panel(d);
    TCatalogueList* lv = p->lvOnlineScripts;
    QCOMPARE(lv->model()->rowCount(), 1);
    QCOMPARE(lv->CellText(0, 0), QString("Общий"));
    QCOMPARE(lv->CellText(0, 3), QString("Универсальный"));
    QCOMPARE(p->cbOnlineScriptsFilter->currentIndex(), 2);
    QCOMPARE(p->cbOnlineScriptsFilter->itemText(7), QString("Новые (24 часа с момента публикации)"));
    QVERIFY(Enabled(d, "ScriptLibraryUpload") && !Enabled(d, "ScriptLibraryDownload"));

    // Publish: the properties dialog starts with the user's name, checks the title and sends the script.
    QString author, appOnly;
    bool taken = false, startsPublic = false, startsAppOnly = false;
    ModalDriver driver;
    driver
        .Then([&](QWidget* w) {
          auto* dlg = qobject_cast<TFormScrPublic*>(w);
          if (!dlg) return false;
          author = dlg->edClName->text();
          appOnly = dlg->rbAppOnly->text();
          startsPublic = dlg->rbViewAll->isChecked() && !dlg->rbViewMine->isChecked();
          startsAppOnly = dlg->rbAppOnly->isChecked() && !dlg->rbAppAny->isChecked();
          dlg->edTitle->setText("боба");  // taken, ignoring case
          Shot(dlg, "scr_public");
          dlg->btnOK->click();
          taken = dlg->isVisible();
          dlg->edTitle->setText(" Мой ");
          dlg->edDescr->setPlainText("Описание");
          dlg->btnOK->click();
          return true;
        });
    BoxSeen takenBox;
    driver.Then(AnswerBox("Ok", &takenBox));
    // The taken title's message comes while the dialog is open; the driver answers it meanwhile.
    QVERIFY(d.Window->Actions().Execute("ScriptLibraryUpload"));
    QTRY_VERIFY(driver.Done());
    QCOMPARE(author, QString("Анна"));
    QCOMPARE(appOnly, QString("Только в \"Quintar_7x35\""));
    QVERIFY(taken);
    QCOMPARE(takenBox.text, QString("Сценарий с таким названием уже существует!\nВыберите другое название."));
    QCOMPARE(lv->model()->rowCount(), 2);
    const int mine = p->SelectedRow();
    QVERIFY(startsPublic && startsAppOnly);
    QCOMPARE(d.Sess.ScriptLibrary.Rows[size_t(mine)].Title, std::string("Мой"));
    QVERIFY(d.Sess.ScriptLibrary.Rows[size_t(mine)].Public && !d.Sess.ScriptLibrary.Rows[size_t(mine)].Universal);
    QCOMPARE(lv->CellText(mine, 0), QString("Мой"));
    QVERIFY(Enabled(d, "ScriptLibraryReplace") && Enabled(d, "ScriptLibraryDelete") && !Enabled(d, "ScriptLibraryRate0"));

    // Rate 4 with a comment: the list is read again, the rating shows and its command is checked.
    driver.Then(Comment("Хорошо"));
    QVERIFY(d.Window->Actions().Execute("ScriptLibraryRate4"));
    QTRY_VERIFY(driver.Done());
    const int row = p->SelectedRow();
    QVERIFY(row >= 0);
    QCOMPARE(lv->CellText(row, 1), QString("Мой"));
    QCOMPARE(lv->CellText(row, 7), QString("4,000"));
    QCOMPARE(lv->CellText(row, 9), QString("4"));
    QVERIFY(Checked(d, "ScriptLibraryRate4") && !Checked(d, "ScriptLibraryRate5") && Enabled(d, "ScriptLibraryRate0"));
    // Sorted by the rating, best first.
    QCOMPARE(lv->model()->index(0, 1).data().toString(), QString("Мой"));
    Shot(d.Window->Page("tsScript"), "script_page");

    // The ratings window.
    int rates = -1;
    QString rater, comment;
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormScrRates*>(w);
      if (!dlg) return false;
      rates = dlg->lvRates->topLevelItemCount();
      rater = dlg->lvRates->topLevelItem(0)->text(0);
      comment = dlg->lvRates->topLevelItem(0)->text(5);
      Shot(dlg, "scr_rates");
      dlg->reject();
      return true;
    });
    QVERIFY(d.Window->Actions().Execute("ScriptLibraryRates"));
    QCOMPARE(rates, 1);
    QCOMPARE(rater, QString("Анна"));
    QCOMPARE(comment, QString("Хорошо"));

    // The properties, read only.
    bool okShown = true, readOnly = false;
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormScrPublic*>(w);
      if (!dlg) return false;
      okShown = dlg->btnOK->isVisible();
      readOnly = dlg->edTitle->isReadOnly() && !dlg->rbViewAll->isEnabled();
      dlg->reject();
      return true;
    });
    QVERIFY(d.Window->Actions().Execute("ScriptLibraryView"));
    QVERIFY(!okShown && readOnly);

    // Hidden, the script leaves the default list; the filter "Скрытые" shows it.
    QVERIFY(d.Window->Actions().Execute("ScriptLibraryHide"));
    QCOMPARE(lv->model()->rowCount(), 1);
    p->cbOnlineScriptsFilter->setCurrentIndex(0);
    emit p->cbOnlineScriptsFilter->activated(0);
    QCOMPARE(lv->model()->rowCount(), 1);
    QCOMPARE(lv->CellText(0, 9), QString("Скрытый"));
    p->SelectOnly(0);
    QVERIFY(Checked(d, "ScriptLibraryHide"));
    QVERIFY(d.Window->Actions().Execute("ScriptLibraryRate0"));
    QCOMPARE(lv->model()->rowCount(), 0);
    p->cbOnlineScriptsFilter->setCurrentIndex(1);
    emit p->cbOnlineScriptsFilter->activated(1);
    QCOMPARE(lv->model()->rowCount(), 2);

    // Downloading Bob's universal script replaces the current script and its file.
    int bobs = d.Sess.ScriptLibrary.FindRow(1);
    p->SelectOnly(bobs);
    QVERIFY(Enabled(d, "ScriptLibraryDownload") && !Enabled(d, "ScriptLibraryDelete"));
    QVERIFY(d.Window->Actions().Execute("ScriptLibraryDownload"));
    QCOMPARE(d.Sess.ScriptLines, (std::vector<std::string>{"FULL:0#LAST| | | | | | | |чужой"}));
    QCOMPARE(ReadWholeFile(f.DataDir() + "Quintar_7x35.lss"), Utf8ToCp1251("FULL:0#LAST| | | | | | | |чужой\r\n"));

    // Deleting one's own script asks first.
    p->SelectOnly(d.Sess.ScriptLibrary.FindRow(2));
    BoxSeen question;
    driver.Then(AnswerBox("Yes", &question));
    QVERIFY(d.Window->Actions().Execute("ScriptLibraryDelete"));
    QCOMPARE(question.text, QString("Вы действительно хотите удалить сценарий \"Мой\"?"));
    QCOMPARE(question.caption, QString("Подтверждение"));
    QCOMPARE(lv->model()->rowCount(), 1);

    // The panel off: stored at once, the list emptied, the commands off.
    QVERIFY(d.Window->Actions().Execute("ScriptLibrary"));
    QVERIFY(!p->isVisible());
    QCOMPARE(lv->model()->rowCount(), 0);
    QVERIFY(!Enabled(d, "ScriptLibraryRefresh"));
    QCOMPARE(IniFile(f.DataDir() + "Quintar_7x35.frm").ReadInteger("TFormMain", "ScriptLibraryOn", 1), 0);
    f.Stop();
    QCOMPARE(IniFile(f.DataDir() + "Quintar_7x35.frm").ReadInteger("TFormMain", "ScriptLibraryFilter", -1), 1);
    QVERIFY2(driver.Unexpected.isEmpty(), qPrintable(driver.Unexpected.join("; ")));
  }

  void systemsPage() {
    TempDir db, bob;
    CatalogueServer server(db.File("catalogue.db"));
    QVERIFY(server.Started());
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port());
    DesktopFixture f;
    WriteUser(f.DataDir(), url, "Анна", "ann@example.org");
    WriteUser(bob.Path(), url, "Боб", "bob@example.org");
    WriteBytes(bob.File("w.txt"), "1 2 3 4 5 6 7\r\n");
    QCOMPARE(RunCli({"--data-dir=" + bob.Path(), "systems", "add", "--title=Боба", "--descr=Чужая", "--file=" +
                     bob.File("w.txt"), "--nums=9"}),
             0);
    TDesktop& d = f.Start();
    TSystemsPage* page = Systems(d);
    TCatalogueList* lv = page->lvSystems;
    QCOMPARE(lv->model()->rowCount(), 1);
    QCOMPARE(lv->CellText(0, 2), QString("09"));

    // Add: the list is normalised when the focus leaves it; the checks keep the dialog open.
    QString numsAfterLeaving, countAfterLeaving, created, olap;
    BoxSeen badNums;
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormSystem*>(w);
      if (!dlg) return false;
      dlg->edTitle->setText("Колесо");
      dlg->edDescr->setPlainText("Моя система");
      dlg->edCombs->setFocus();
      dlg->edCombs->setPlainText("1,2,3,4,5,6,7\n 8 9 10 11 12 13 14\n1 2 3");
      dlg->NormaliseList();
      numsAfterLeaving = dlg->edNums->text();
      countAfterLeaving = dlg->edCSize->text();
      created = dlg->edCreated->text();
      // Letters do not go into the number fields.
      dlg->edOlap->setFocus();
      QTest::keyClicks(dlg->edOlap, "x1");
      olap = dlg->edOlap->text();
      Shot(dlg, "system_dialog");
      dlg->edNums->setText("7");
      return true;
    });
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormSystem*>(w);
      if (!dlg) return false;
      QTimer::singleShot(0, dlg->btnOK, &QPushButton::click);
      return true;
    });
    driver.Then(AnswerBox("Ok", &badNums));
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormSystem*>(w);
      if (!dlg) return false;
      dlg->edNums->setText("14");
      dlg->edOlap->setText("0");
      dlg->btnOK->click();
      return true;
    });
    QVERIFY(d.Window->Actions().Execute("SystemsAdd"));
    QTRY_VERIFY(driver.Done());
    QCOMPARE(numsAfterLeaving, QString("14"));
    QCOMPARE(countAfterLeaving, QString("2"));
    QCOMPARE(created, QString());
    QCOMPARE(olap, QString("01"));
    QCOMPARE(badNums.text, QString("Указано недопустмое количество используемых чисел!"));
    QCOMPARE(lv->model()->rowCount(), 2);
    const int mine = lv->SelectedRow();
    QCOMPARE(d.Sess.Systems.Rows[size_t(mine)].Title, std::string("Колесо"));
    QCOMPARE(d.Sess.Systems.Mark(mine), TSystemMark::Own);
    QCOMPARE(d.Sess.Systems.Mark(d.Sess.Systems.FindRow(1)), TSystemMark::Foreign);
    QVERIFY(Enabled(d, "SystemsDel"));

    // Download: the file, the status and the filled mark.
    QVERIFY(d.Window->Actions().Execute("SystemsDownload"));
    const int row = d.Sess.Systems.FindRow(2);
    QCOMPARE(lv->CellText(row, 6), QString("Загружена"));
    QCOMPARE(d.Sess.Systems.Mark(row), TSystemMark::OwnDownloaded);
    QVERIFY(FileExists(f.DataDir() + "Systems/7-14-0_0002.dat"));
    Shot(page, "systems_page");

    // Someone else's system opens read only.
    lv->SelectOnly(d.Sess.Systems.FindRow(1));
    QVERIFY(!Enabled(d, "SystemsDel"));
    bool okShown = true, listReadOnly = false;
    QString combs;
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormSystem*>(w);
      if (!dlg) return false;
      okShown = dlg->btnOK->isVisible();
      listReadOnly = dlg->edCombs->isReadOnly() && dlg->edTitle->isReadOnly();
      combs = dlg->edCombs->toPlainText();
      dlg->reject();
      return true;
    });
    QVERIFY(d.Window->Actions().Execute("SystemsProp"));
    QVERIFY(!okShown && listReadOnly);
    QCOMPARE(combs, QString("01 02 03 04 05 06 07"));

    // System stakes over a combination list of the 14 numbers: the multi-stake dialog with the system's
    // comment, then one stake of kind "Система" per line.
    WriteBytes(f.File("c.lcv"), "1;2;3;4;5;6;7\r\n8;9;10;11;12;13;14\r\n");
    QVERIFY(d.Sess.ReadCombsFile(f.File("c.lcv")));
    d.Sess.UpdateCombsView();
    QString stakeComment;
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormMulti*>(w);
      if (!dlg) return false;
      stakeComment = dlg->edComment->text();
      dlg->accept();
      return true;
    });
    const int before = d.Sess.Stakes.Count();
    QVERIFY(d.Window->Actions().Execute("SystemStakeAll"));
    QCOMPARE(stakeComment, QString("Системная игра для 14 чисел [вся система]: 7-14-0_0002"));
    QCOMPARE(d.Sess.Stakes.Count(), before + 2);
    QCOMPARE(int(d.Sess.Stakes.ReadStake(-1).Kind), int(skSystem));

    // One's own system is deleted after the question (No preselected), its file with it.
    lv->SelectOnly(d.Sess.Systems.FindRow(2));
    BoxSeen question;
    driver.Then(AnswerBox("Yes", &question));
    QVERIFY(d.Window->Actions().Execute("SystemsDel"));
    QCOMPARE(question.text, QString("Вы действительно хотите удалить систему \"Колесо\"?"));
    QCOMPARE(question.defaultButton, QString("Нет"));
    QCOMPARE(lv->model()->rowCount(), 1);
    QVERIFY(!FileExists(f.DataDir() + "Systems/7-14-0_0002.dat"));

    // The page off: hidden with its stake commands, the list emptied, the setting stored.
    QVERIFY(d.Window->Actions().Execute("SystemsOn"));
    QVERIFY(!d.Window->pcMain->isTabVisible(d.Window->pcMain->indexOf(page)));
    QVERIFY(!d.Window->Actions().Action("SystemStakeAll")->isVisible());
    QCOMPARE(lv->model()->rowCount(), 0);
    QCOMPARE(IniFile(f.DataDir() + "Quintar_7x35.frm").ReadInteger("TFormMain", "SystemsEnabled", 1), 0);
    QVERIFY2(driver.Unexpected.isEmpty(), qPrintable(driver.Unexpected.join("; ")));
  }

  // The settings dialog writes the five keys of [ONLINE]; the catalogues use them at once.
  void settingsDialog() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    ModalDriver driver;
    bool verifyByDefault = false;
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormCatalogue*>(w);
      if (!dlg) return false;
      verifyByDefault = dlg->cbTlsVerify->isChecked();
      dlg->edCatalogueUrl->setText(" https://catalogue.example.org/q ");
      dlg->edUserName->setText("Вера");
      dlg->edUserMail->setText("vera@example.org");
      dlg->cbTlsVerify->setChecked(false);
      dlg->edCaFile->setText("/etc/ssl/my.pem");
      Shot(dlg, "catalogue_settings");
      dlg->accept();
      return true;
    });
    QVERIFY(d.Window->Actions().Execute("EditCatalogue"));
    QVERIFY(verifyByDefault);
    QCOMPARE(d.Sess.Online.Catalogue.Url, std::string("https://catalogue.example.org/q"));
    QCOMPARE(d.Sess.ScriptLibrary.NewProperties().AuthorName, std::string("Вера"));
    IniFile ini(f.DataDir() + "Quintar_7x35.ini");
    QCOMPARE(ini.ReadString("ONLINE", "CatalogueUrl", ""), std::string("https://catalogue.example.org/q"));
    QCOMPARE(ini.ReadString("ONLINE", "UserName", ""), std::string("Вера"));
    QCOMPARE(ini.ReadString("ONLINE", "UserMail", ""), std::string("vera@example.org"));
    QCOMPARE(ini.ReadString("ONLINE", "CatalogueTlsVerify", ""), std::string("0"));
    QCOMPARE(ini.ReadString("ONLINE", "CatalogueCaFile", ""), std::string("/etc/ssl/my.pem"));
  }
};

QTEST_MAIN(TestCatalogues)
#include "test_catalogues.moc"
