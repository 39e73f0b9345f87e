// The draw results download in the desktop program, against the local results site: F3 with its wait
// panel, the retry question of a failing month, the proxy dialog, the start-up choice and the lottery's
// site.
#include <QAction>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>

#include "app/actionregistry.h"
#include "app/session.h"
#include "game/drawspage.h"
#include "guitestutil.h"
#include "online/formproxy.h"
#include "online/formwait.h"
#include "resultssite.h"
#include "util/inifile.h"

using namespace quintar;
using namespace quintar::gui;
using quintar::test::AnswerBox;
using quintar::test::BoxSeen;
using quintar::test::DesktopFixture;
using quintar::test::MakeDraw;
using quintar::test::ModalDriver;
using quintar::testserver::Fault;
using quintar::testserver::ResultsSite;

namespace {

std::vector<TDraw> SpringDraws2013() {
  return {MakeDraw(1, {4, 5, 9, 13, 25, 32, 33}, 7, "7 Mar 2013"),
          MakeDraw(2, {9, 14, 15, 19, 24, 34, 35}, 12, "14 Mar 2013"),
          MakeDraw(3, {1, 3, 6, 16, 19, 20, 24}, 13, "4 Apr 2013"),
          MakeDraw(4, {2, 8, 10, 11, 21, 27, 30}, 1, "11 Apr 2013"),
          MakeDraw(5, {5, 7, 12, 18, 22, 28, 31}, 20, "2 May 2013")};
}

// Receives the addresses the desktop is asked to open.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls << url; }
};

}  // namespace

class TestDownload : public QObject {
  Q_OBJECT

 private:
  // A desktop reading from the local results site, with the download running up to May 2013.
  TDesktop& StartOn(DesktopFixture& f, ResultsSite& site) {
    TDesktop& d = f.Start();
    d.Sess.Online.ResultsUrl = site.BaseUrl();
    d.Sess.Online.ProxyListUrl = site.BaseUrl() + "/proxies";
    d.Sess.DownloadTuning.ReadTimeoutMs = 3000;
    d.Sess.DownloadTuning.CurrentMonth = [] { return 201305; };
    return d;
  }

 private slots:
  void initTestCase() { InstallDrawDateHooks(); }

  void f3DownloadsIntoAnEmptyArchiveBehindTheWaitPanel() {
    ResultsSite site;
    site.SetDraws(SpringDraws2013());
    site.Start();
    DesktopFixture f;
    TDesktop& d = StartOn(f, site);
    QCOMPARE(d.Sess.Archive.Count(), 0);

    // What the wait panel shows, and whether the commands are held while it shows.
    QStringList waitTexts;
    bool heldWhileWaiting = true;
    auto* wait = d.Window->findChild<TFormWait*>("TFormWait");
    QVERIFY(wait);
    auto show = d.Host.showWait;
    d.Host.showWait = [&](const QString& text) {
      show(text);
      waitTexts << wait->Text();
      heldWhileWaiting &= wait->isVisible() && !d.Window->Actions().Action("DrawsAdd")->isEnabled() &&
                          !d.Window->Actions().Action("DrawsDownload")->isEnabled();
    };

    d.Window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d.Window.get()));
    QTest::keyClick(d.Window.get(), Qt::Key_F3);
    QTRY_COMPARE(d.Sess.Archive.Count(), 5);
    QTRY_VERIFY(d.Sess.IsIdle());

    QVERIFY(!waitTexts.isEmpty());
    QCOMPARE(waitTexts.first(), QString("Загрузка архива тиражей..."));
    QVERIFY(heldWhileWaiting);
    QVERIFY(!wait->isVisible());
    QCOMPARE(site.PageRequests(201303), 1);
    QCOMPARE(site.PageRequests(201305), 1);
    // The archive grows oldest first and is saved; the list shows the newest draw on top.
    QCOMPARE(d.Sess.Archive[0].Number, 1);
    QCOMPARE(d.Sess.Archive[4].Number, 5);
    TDrawArchive saved;
    saved.LoadFromFile(d.Sess.FilePath(".ldr"));
    QCOMPARE(saved.Count(), 5);
    QTableView* lv = d.Window->DrawsPage()->lvDraws;
    QCOMPARE(lv->model()->rowCount(), 5);
    QCOMPARE(lv->model()->index(0, 0).data().toString(), QString("5"));
    QCOMPARE(d.Window->Panel(0)->text(), QString("Архив тиражей: 5"));
    QCOMPARE(d.Window->Panel(6)->text(), QString(""));
    QVERIFY(d.Window->Actions().Action("DrawsDownload")->isEnabled());

    // Nothing new: the month of the newest draw is read again and adds nothing.
    QVERIFY(d.Window->Actions().Execute("DrawsDownload"));
    QCOMPARE(d.Sess.Archive.Count(), 5);
    QCOMPARE(site.PageRequests(201305), 2);
    d.Host.showWait = show;
  }

  void aFailingMonthAsksWhetherToTryAgain() {
    ResultsSite site;
    site.SetDraws(SpringDraws2013());
    site.AddFault(Fault::Http500, 201304, 1);
    site.Start();
    DesktopFixture f;
    TDesktop& d = StartOn(f, site);

    // Yes: April is read again and the download goes on to May.
    BoxSeen seen;
    ModalDriver driver;
    driver.Then(AnswerBox("Yes", &seen));
    QVERIFY(d.Window->Actions().Execute("DrawsDownload"));
    QVERIFY(driver.Done());
    QVERIFY(driver.Unexpected.isEmpty());
    QCOMPARE(seen.caption, QString("Ошибка"));
    QVERIFY2(seen.text.startsWith("Ошибка загрузки архива тиражей с сайта: \""), qPrintable(seen.text));
    QVERIFY(seen.text.endsWith("\"\n\nПовторить попытку?"));
    QCOMPARE(seen.defaultButton, QString("Да"));
    QCOMPARE(seen.buttons.size(), 2);
    QCOMPARE(site.PageRequests(201304), 2);
    QCOMPARE(d.Sess.Archive.Count(), 5);
    QVERIFY(d.Sess.IsIdle());

    // No: the download ends at the failing month; the months read before it stay in the archive and on disk.
    f.Stop();
    std::filesystem::remove(f.DataDir() + "Quintar_7x35.ldr");
    site.ClearFaults();
    site.AddFault(Fault::NoEnd, 201304);
    TDesktop& d2 = StartOn(f, site);
    const int mayRequests = site.PageRequests(201305);
    driver.Then(AnswerBox("No", &seen));
    QVERIFY(d2.Window->Actions().Execute("DrawsDownload"));
    QVERIFY(driver.Done());
    QVERIFY(driver.Unexpected.isEmpty());
    QCOMPARE(d2.Sess.Archive.Count(), 2);
    QCOMPARE(site.PageRequests(201305), mayRequests);
    TDrawArchive saved;
    saved.LoadFromFile(d2.Sess.FilePath(".ldr"));
    QCOMPARE(saved.Count(), 2);
    QCOMPARE(d2.Window->DrawsPage()->lvDraws->model()->rowCount(), 2);
    QVERIFY(d2.Sess.IsIdle());
    QVERIFY(!d2.Window->findChild<TFormWait*>("TFormWait")->isVisible());
    QVERIFY(d2.Window->Actions().Action("DrawsAdd")->isEnabled());
  }

  void aSiteThatDoesNotAnswerDoesNotHangTheProgram() {
    ResultsSite site;
    site.SetDraws(SpringDraws2013());
    site.SetSlowMs(5000);
    site.AddFault(Fault::Slow, 201303, 1);
    site.Start();
    DesktopFixture f;
    TDesktop& d = StartOn(f, site);
    d.Sess.DownloadTuning.ReadTimeoutMs = 500;
    // The window keeps processing events while it waits: a timer fires during the request.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    BoxSeen seen;
    ModalDriver driver;
    driver.Then(AnswerBox("No", &seen));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(d.Window->Actions().Execute("DrawsDownload"));
    QVERIFY(driver.Done());
    QVERIFY(clock.elapsed() < 4500);
    QVERIFY(ticks > 3);
    QVERIFY(seen.text.startsWith("Ошибка загрузки архива тиражей с сайта"));
    QCOMPARE(d.Sess.Archive.Count(), 0);
    QVERIFY(d.Sess.IsIdle());
  }

  void theProxyDialog() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    QVERIFY(d.Window->Actions().Action("EditProxy")->isEnabled());
    bool fieldsOffForNone = false, fieldsOnForManual = false;
    QString caption;
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormProxy*>(w);
      if (!dlg) return false;
      caption = dlg->windowTitle();
      fieldsOffForNone = dlg->rbNoProxy->isChecked() && !dlg->edServer->isEnabled() && !dlg->edPassword->isEnabled();
      dlg->rbManualProxy->setChecked(true);
      fieldsOnForManual = dlg->edServer->isEnabled() && dlg->edPort->isEnabled() && dlg->edUsername->isEnabled();
      dlg->edServer->setText("proxy.example");
      dlg->edPort->setValue(3128);
      dlg->edUsername->setText("ivan");
      dlg->edPassword->setText("secret");
      dlg->findChild<QPushButton*>("btnOK")->click();
      return true;
    });
    QVERIFY(d.Window->Actions().Execute("EditProxy"));
    QVERIFY(driver.Done());
    QCOMPARE(caption, QString("Параметры proxy-сервера"));
    QVERIFY(fieldsOffForNone);
    QVERIFY(fieldsOnForManual);
    IniFile ini(d.Sess.FilePath(".ini"));
    QCOMPARE(ini.ReadString("PROXY", "ProxyServer", ""), std::string("proxy.example"));
    QCOMPARE(ini.ReadInteger("PROXY", "ProxyPort", 0), 3128);
    QCOMPARE(ini.ReadString("PROXY", "ProxyUsername", ""), std::string("ivan"));
    QCOMPARE(ini.ReadString("PROXY", "ProxyPassword", ""), std::string("secret"));
    QCOMPARE(ini.ReadInteger("PROXY", "ProxyMode", -1), 2);
    QVERIFY(d.Sess.Proxy.Saved);

    // The next start shows them again; the automatic choice empties the four values.
    f.Stop();
    TDesktop& d2 = f.Start();
    QCOMPARE(d2.Sess.Proxy.Mode, 2);
    QString shownServer;
    int shownPort = 0;
    driver.Then([&](QWidget* w) {
      auto* dlg = qobject_cast<TFormProxy*>(w);
      if (!dlg) return false;
      shownServer = dlg->edServer->text();
      shownPort = dlg->edPort->value();
      dlg->rbAutoProxy->setChecked(true);
      dlg->findChild<QPushButton*>("btnOK")->click();
      return true;
    });
    QVERIFY(d2.Window->Actions().Execute("EditProxy"));
    QVERIFY(driver.Done());
    QCOMPARE(shownServer, QString("proxy.example"));
    QCOMPARE(shownPort, 3128);
    IniFile ini2(d2.Sess.FilePath(".ini"));
    QCOMPARE(ini2.ReadInteger("PROXY", "ProxyMode", -1), 1);
    QCOMPARE(ini2.ReadString("PROXY", "ProxyServer", "x"), std::string(""));
    QCOMPARE(ini2.ReadString("PROXY", "ProxyPassword", "x"), std::string(""));

    // A mode above 2 shows "no proxy".
    d2.Sess.Proxy.Mode = 7;
    TFormProxy dlg(d2.Window.get(), d2.Sess.Proxy);
    QVERIFY(dlg.rbNoProxy->isChecked());
  }

  void startUpChoiceAndTheLotterySite() {
    DesktopFixture f;
    TDesktop& d = f.Start();
    ActionRegistry& a = d.Window->Actions();
    QVERIFY(a.Execute("AutoDownload2"));
    QVERIFY(a.Action("AutoDownload2")->isChecked());
    QVERIFY(!a.Action("AutoDownload0")->isChecked());
    QVERIFY(a.Execute("AutoDownload0"));
    QVERIFY(a.Action("AutoDownload0")->isChecked());
    QVERIFY(!a.Action("AutoDownload2")->isChecked());
    QCOMPARE(IniFile(d.Sess.FilePath(".frm")).ReadInteger("TFormMain", "DownloadDrawsOnStart", -1), 0);
    QVERIFY(a.Execute("AutoDownload1"));
    QVERIFY(a.Action("AutoDownload1")->isChecked());
    QVERIFY(!a.Action("AutoDownload0")->isChecked());
    QCOMPARE(IniFile(d.Sess.FilePath(".frm")).ReadInteger("TFormMain", "DownloadDrawsOnStart", -1), 1);
    QVERIFY(a.Execute("AutoDownload2"));
    QVERIFY(a.Action("AutoDownload2")->isChecked());
    QCOMPARE(IniFile(d.Sess.FilePath(".frm")).ReadInteger("TFormMain", "DownloadDrawsOnStart", -1), 2);

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "open");
    d.Sess.Online.LotteryUrl = "https://lottery.example/powerball";
    QVERIFY(a.Execute("OpenLotoSite"));
    QDesktopServices::unsetUrlHandler("https");
    QCOMPARE(catcher.urls.size(), 1);
    QCOMPARE(catcher.urls.first().toString(), QString("https://lottery.example/powerball"));
  }
};

QTEST_MAIN(TestDownload)
#include "test_download.moc"
