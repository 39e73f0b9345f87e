#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "app/cmdline.h"
#include "app/session.h"
#include "online/download.h"
#include "resultssite.h"
#include "testutil.h"
#include "util/inifile.h"
#include "util/safefile.h"

using namespace quintar;
using namespace quintar::testserver;
using quintar::test::MakeDraw;
using quintar::test::ScriptedHost;
using quintar::test::TempDir;

namespace {

std::vector<int> Numbers(const TDrawArchive& a) {
  std::vector<int> out;
  for (const TDraw& d : a.Draws()) out.push_back(d.Number);
  return out;
}

// A session on a fresh folder reading from a results site started on a free port; the download runs up to
// `current` (year * 100 + month) instead of the real month.
class Download : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallDrawDateHooks();
    site.Start();
    session.Online.ResultsUrl = site.BaseUrl();
    session.Online.ProxyListUrl = site.BaseUrl() + "/proxies";
    session.DownloadTuning.ReadTimeoutMs = 2000;
    SetCurrentMonth(201806);
  }
  void SetCurrentMonth(int m) {
    session.DownloadTuning.CurrentMonth = [m] { return m; };
  }
  void SetDraws(const std::vector<TDraw>& draws) { site.SetDraws(draws); }
  // Three weeks of draws from April to June 2018.
  std::vector<TDraw> SpringDraws() {
    return {MakeDraw(1144, {4, 5, 9, 13, 25, 32, 33}, 7, "19 Apr 2018"),
            MakeDraw(1145, {9, 14, 15, 19, 24, 34, 35}, 12, "26 Apr 2018"),
            MakeDraw(1146, {1, 3, 6, 16, 19, 20, 24}, 13, "3 May 2018"),
            MakeDraw(1147, {2, 8, 10, 11, 21, 27, 30}, 1, "10 May 2018"),
            MakeDraw(1148, {5, 7, 12, 18, 22, 28, 31}, 20, "7 Jun 2018")};
  }
  int QuestionsOf(AskKind kind) const {
    int n = 0;
    for (const auto& q : host.questions) n += q.kind == kind;
    return n;
  }
  TDrawArchive Saved() const {
    TDrawArchive a;
    a.LoadFromFile(session.FilePath(".ldr"));
    return a;
  }

  TempDir dir;
  ScriptedHost host;
  Session session{dir.Path(), host};
  ResultsSite site;
};

}  // namespace

TEST_F(Download, EmptyArchiveStartsInMarch2013AndAppendsOldestFirst) {
  SetDraws({MakeDraw(7, {1, 2, 3, 4, 5, 6, 7}, 1, "4 Apr 2013"),
            MakeDraw(8, {8, 9, 10, 11, 12, 13, 14}, 2, "11 Apr 2013"),
            MakeDraw(9, {15, 16, 17, 18, 19, 20, 21}, 3, "2 May 2013")});
  SetCurrentMonth(201305);
  TDownloadResult r = session.DrawsDownload();
  EXPECT_TRUE(r.Completed);
  ASSERT_EQ(r.Months.size(), 3u);
  EXPECT_EQ(r.Months[0].Month, 201303);
  EXPECT_EQ(r.Months[0].Added, 0);
  EXPECT_EQ(r.Months[1].Added, 2);
  EXPECT_EQ(r.Months[2].Month, 201305);
  EXPECT_EQ(Numbers(session.Archive), (std::vector<int>{7, 8, 9}));
  EXPECT_EQ(session.Archive[0].Date(), "4 Apr 2013");
  EXPECT_EQ(DrawEditText(session.Archive[2]), "15;16;17;18;19;20;21;3");
  EXPECT_EQ(Numbers(Saved()), (std::vector<int>{7, 8, 9}));
  EXPECT_EQ(site.PageRequests(201302), 0);
  EXPECT_EQ(site.PageRequests(201306), 0);
  EXPECT_TRUE(host.questions.empty());
  // The status line told each month.
  EXPECT_NE(std::find(host.statuses.begin(), host.statuses.end(), "Загрузка тиражей за april-2013..."),
            host.statuses.end());
}

TEST_F(Download, NewestDrawWithoutDateStartsLikeAnEmptyArchive) {
  session.Archive.AppendDraw(MakeDraw(6, {1, 2, 3, 4, 5, 6, 7}, 1, ""));
  SetDraws({MakeDraw(7, {1, 2, 3, 4, 5, 6, 8}, 1, "4 Apr 2013")});
  SetCurrentMonth(201304);
  EXPECT_TRUE(session.DrawsDownload().Completed);
  EXPECT_EQ(site.TotalPageRequests(), 2);
  EXPECT_EQ(Numbers(session.Archive), (std::vector<int>{6, 7}));
}

TEST_F(Download, DecemberIsFollowedByJanuary) {
  session.Archive.AppendDraw(MakeDraw(100, {1, 2, 3, 4, 5, 6, 7}, 1, "31 Dec 2020"));
  SetDraws({MakeDraw(99, {1, 2, 3, 4, 5, 6, 8}, 1, "24 Dec 2020"),
            MakeDraw(100, {1, 2, 3, 4, 5, 6, 7}, 1, "31 Dec 2020"),
            MakeDraw(101, {11, 12, 13, 14, 15, 16, 17}, 5, "7 Jan 2021"),
            MakeDraw(102, {21, 22, 23, 24, 25, 26, 27}, 6, "4 Feb 2021")});
  SetCurrentMonth(202102);
  TDownloadResult r = session.DrawsDownload();
  EXPECT_TRUE(r.Completed);
  EXPECT_EQ(site.PageRequests(202012), 0);
  EXPECT_EQ(site.PageRequests(202101), 1);
  EXPECT_EQ(site.PageRequests(202102), 1);
  EXPECT_EQ(site.TotalPageRequests(), 2);
  EXPECT_EQ(Numbers(session.Archive), (std::vector<int>{100, 101, 102}));
  EXPECT_EQ(NextMonth(202012), 202101);
  EXPECT_EQ(NextMonth(202011), 202012);
}

TEST_F(Download, PageInReverseOrderFromTheFirstDate) {
  // The archive's newest draw is the day before draw 104: the page 105, 104, 103 gives 104 then 105.
  session.Archive.AppendDraw(MakeDraw(103, {1, 2, 3, 4, 5, 6, 7}, 1, "9 Jun 2018"));
  SetDraws({MakeDraw(103, {1, 2, 3, 4, 5, 6, 7}, 1, "3 Jun 2018"),
            MakeDraw(104, {8, 9, 10, 11, 12, 13, 14}, 2, "10 Jun 2018"),
            MakeDraw(105, {15, 16, 17, 18, 19, 20, 21}, 3, "17 Jun 2018")});
  std::string page = site.MonthPage(201806);
  ASSERT_LT(page.find("\"drawNo\":105"), page.find("\"drawNo\":103"));
  EXPECT_EQ(ParseMonthPage(session, 201806, 20180610), 2);
  EXPECT_EQ(Numbers(session.Archive), (std::vector<int>{103, 104, 105}));
}

TEST_F(Download, ReadMonthDrawsKeepsTheFirstOfRepeatedBlocks) {
  SetDraws(SpringDraws());
  std::vector<TDraw> kept = ReadMonthDraws(site.MonthPage(201805, {Fault::DupBlock}), 20180101);
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].Number, 1147);
  EXPECT_EQ(DrawEditText(kept[0]), "2;8;10;11;21;27;30;1");
  EXPECT_EQ(kept[1].Number, 1146);
  // A page without the list of past draws adds nothing and is no error.
  EXPECT_TRUE(ReadMonthDraws(site.MonthPage(201805, {Fault::NoPast}), 20180101).empty());
  EXPECT_TRUE(ReadMonthDraws("<html>maintenance</html>", 20180101).empty());
  // The date filter.
  EXPECT_EQ(ReadMonthDraws(site.MonthPage(201805), 20180504).size(), 1u);
  EXPECT_TRUE(ReadMonthDraws(site.MonthPage(201805), 20180511).empty());
  // The markers are found ignoring case.
  std::string upper = site.MonthPage(201805);
  for (auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
           {"\"drawNo\"", "\"DRAWNO\""}, {"Main numbers", "MAIN NUMBERS"}, {"\"number\"", "\"Number\""}})
    for (size_t p = upper.find(from); p != std::string::npos; p = upper.find(from, p + 1))
      upper.replace(p, from.size(), to);
  EXPECT_EQ(ReadMonthDraws(upper, 20180101).size(), 2u);
}

TEST_F(Download, DamagedPagesAddNothingAndSayWhy) {
  SetDraws(SpringDraws());
  struct Case {
    Fault fault;
    std::string reason;  // part of the retry question
  };
  const std::vector<Case> cases = {
      {Fault::BadDraw, "Тираж № 1147 от 10 May 2018 содержит недопустимые номера (2;2;10;11;21;27;30;1)"},
      {Fault::BadBonus, "(2;8;10;11;21;27;30;21)"},
      {Fault::FewNumbers, "(2;8;10;11;21;27;0;1)"},
      {Fault::BadDate, "'2018053x' is not a valid integer value"},
      {Fault::NoEnd, "Не удалось найти пару идентификаторов \"\"drawsPast\"\" - \"}},\""},
      {Fault::Truncated, "Не удалось найти пару идентификаторов"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(FaultName(c.fault));
    session.Archive.Clear();
    session.Archive.AppendDraw(MakeDraw(1145, {9, 14, 15, 19, 24, 34, 35}, 12, "26 Apr 2018"));
    host.questions.clear();
    site.ClearFaults();
    site.AddFault(c.fault, 201805);
    host.answers = {false};
    TDownloadResult r = session.DrawsDownload();
    EXPECT_FALSE(r.Completed);
    ASSERT_EQ(r.Months.size(), 1u);  // April, then May failed
    EXPECT_EQ(Numbers(session.Archive), (std::vector<int>{1145}));
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0].kind, AskKind::Retry);
    const std::string& q = host.questions[0].text;
    EXPECT_EQ(q.rfind("Ошибка загрузки архива тиражей с сайта: \"", 0), 0u) << q;
    EXPECT_NE(q.find(c.reason), std::string::npos) << q;
    EXPECT_TRUE(q.ends_with("\"\r\rПовторить попытку?")) << q;
  }
}

TEST_F(Download, FailedMonthIsAskedAboutAndRetried) {
  SetDraws(SpringDraws());
  site.AddFault(Fault::Http500, 201805, 1);
  site.AddFault(Fault::FewNumbers, 201806, 1);
  host.answers = {true, true};
  TDownloadResult r = session.DrawsDownload();
  EXPECT_TRUE(r.Completed);
  EXPECT_EQ(host.questions.size(), 2u);
  EXPECT_NE(host.questions[0].text.find("HTTP/1.1 500 Internal Server Error"), std::string::npos);
  EXPECT_EQ(site.PageRequests(201805), 2);
  EXPECT_EQ(site.PageRequests(201806), 2);
  EXPECT_EQ(Numbers(session.Archive), (std::vector<int>{1144, 1145, 1146, 1147, 1148}));
}

TEST_F(Download, EndingOnAFailureKeepsTheMonthsAlreadyRead) {
  SetDraws(SpringDraws());
  site.AddFault(Fault::Http500, 201806);
  host.answers = {false};
  TDownloadResult r = session.DrawsDownload();
  EXPECT_FALSE(r.Completed);
  EXPECT_EQ(r.Months.size(), 63u);  // March 2013 .. May 2018
  EXPECT_EQ(r.Added, 4);
  EXPECT_EQ(Numbers(Saved()), (std::vector<int>{1144, 1145, 1146, 1147}));
  // Whatever the end, the stakes are checked and the program is idle again with the wait panel gone.
  ASSERT_FALSE(host.changes.empty());
  EXPECT_EQ(host.changes.back(), Change::Stakes);
  EXPECT_TRUE(session.IsIdle());
  EXPECT_FALSE(host.waitVisible);
  EXPECT_EQ(host.waitTexts.front(), "Загрузка архива тиражей...");
  EXPECT_EQ(session.StatusText(), "");
  // The next download starts with the month of the newest draw's next day and goes on from there.
  site.ClearFaults();
  r = session.DrawsDownload();
  EXPECT_TRUE(r.Completed);
  ASSERT_EQ(r.Months.size(), 2u);
  EXPECT_EQ(r.Months[0].Month, 201805);
  EXPECT_EQ(r.Months[1].Month, 201806);
  EXPECT_EQ(r.Months[1].Added, 1);
  EXPECT_EQ(Saved().Count(), 5);
}

TEST_F(Download, CompressedAndRedirectedPagesReadAlike) {
  SetDraws(SpringDraws());
  site.AddFault(Fault::Gzip, 201804);
  site.AddFault(Fault::Deflate, 201805);
  site.AddFault(Fault::Redirect, 201806);
  TDownloadResult r = session.DrawsDownload();
  EXPECT_TRUE(r.Completed);
  EXPECT_EQ(Numbers(session.Archive), (std::vector<int>{1144, 1145, 1146, 1147, 1148}));
  EXPECT_TRUE(host.questions.empty());
}

TEST_F(Download, SlowSiteTimesOutInsteadOfHanging) {
  SetDraws(SpringDraws());
  session.DownloadTuning.ReadTimeoutMs = 300;
  site.SetSlowMs(10000);
  site.AddFault(Fault::Slow, 201805, 1);
  site.AddFault(Fault::Stall, 201806, 1);
  host.answers = {true, true};
  auto start = std::chrono::steady_clock::now();
  TDownloadResult r = session.DrawsDownload();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 5.0);
  EXPECT_TRUE(r.Completed);
  ASSERT_EQ(host.questions.size(), 2u);
  EXPECT_NE(host.questions[0].text.find("timed out"), std::string::npos) << host.questions[0].text;
  EXPECT_EQ(session.Archive.Count(), 5);
  EXPECT_GT(host.processEvents, 0);
}

TEST_F(Download, ManualProxyCarriesEveryPageRequest) {
  SetDraws(SpringDraws());
  session.Archive.AppendDraw(SpringDraws()[3]);
  session.Proxy.Mode = 2;
  session.Proxy.Server = "127.0.0.1";
  session.Proxy.Port = std::stoi(site.BaseUrl().substr(site.BaseUrl().rfind(':') + 1));
  session.Online.ResultsUrl = "http://results.invalid";  // only the proxy knows the way
  TDownloadResult r = session.DrawsDownload();
  EXPECT_TRUE(r.Completed);
  EXPECT_EQ(site.ProxiedRequests(), 2);
  EXPECT_EQ(session.Archive.Count(), 2);
  EXPECT_EQ(host.waitTexts.back(),
            "Загрузка архива тиражей...\r\rПопытка 1, proxy 127.0.0.1 : " + std::to_string(session.Proxy.Port));
}

TEST_F(Download, AutomaticProxyFallsThroughTheList) {
  SetDraws(SpringDraws());
  session.Archive.AppendDraw(SpringDraws()[3]);
  const std::string self = site.BaseUrl().substr(7);  // 127.0.0.1:port
  const std::string dead1 = "127.0.0.1:" + std::to_string(UnusedPort());
  const std::string dead2 = "127.0.0.1:" + std::to_string(UnusedPort());
  site.SetProxies({dead1, dead2, self});
  session.Proxy.Mode = 1;
  session.Online.ResultsUrl = "http://results.invalid";
  TDownloadResult r = session.DrawsDownload();
  EXPECT_TRUE(r.Completed);
  EXPECT_TRUE(host.questions.empty());
  EXPECT_EQ(session.Archive.Count(), 2);
  EXPECT_EQ(site.ProxiedRequests(), 2);
  EXPECT_EQ(site.DirectoryQueries(),
            (std::vector<std::string>{"protocol=http&protocol=https&min_uptime=75&max_response_time=0"}));
  EXPECT_TRUE(session.Proxy.ProxyList.empty());  // released at the end
  // The third proxy was chosen on the third attempt, and stored.
  EXPECT_NE(std::find(host.waitTexts.begin(), host.waitTexts.end(),
                      "Загрузка архива тиражей...\r\rПопытка 3, proxy 127.0.0.1 : " + self.substr(10)),
            host.waitTexts.end());
  IniFile ini(session.FilePath(".ini"));
  EXPECT_EQ(ini.ReadString("PROXY", "ProxyServer", ""), "127.0.0.1");
  EXPECT_EQ(ini.ReadString("PROXY", "ProxyPort", ""), self.substr(10));
  EXPECT_EQ(ini.ReadInteger("PROXY", "ProxyMode", -1), 1);
  EXPECT_TRUE(session.Proxy.Saved);
}

TEST_F(Download, AutomaticProxyAsksAfterTheLastOneFails) {
  SetDraws(SpringDraws());
  site.SetProxies({"127.0.0.1:" + std::to_string(UnusedPort()), "127.0.0.1:" + std::to_string(UnusedPort()),
                   "127.0.0.1:" + std::to_string(UnusedPort())});
  session.Proxy.Mode = 1;
  host.answers = {false};
  TDownloadResult r = session.DrawsDownload();
  EXPECT_FALSE(r.Completed);
  EXPECT_EQ(QuestionsOf(AskKind::Retry), 1);
  EXPECT_EQ(site.TotalPageRequests(), 0);
  EXPECT_TRUE(session.Proxy.Server.empty());
  EXPECT_FALSE(FileExists(session.FilePath(".ini")));
}

TEST_F(Download, EmptyProxyDirectoryStopsTheDownload) {
  SetDraws(SpringDraws());
  session.Proxy.Mode = 1;
  TDownloadResult r = session.DrawsDownload();
  EXPECT_FALSE(r.Completed);
  EXPECT_TRUE(r.Months.empty());  // no month is skipped, so no gap can open in the archive
  EXPECT_TRUE(host.questions.empty());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text,
            "Ошибка получения списка proxy-серверов!\r\rНе найдено ни одного proxy-сервера с заданными параметрами");
  EXPECT_NE(
      std::find(host.waitTexts.begin(), host.waitTexts.end(), "Загрузка архива тиражей...\r\rПоиск proxy-серверов"),
      host.waitTexts.end());
}

TEST(ProxyDirectory, PagesAndEntries) {
  EXPECT_EQ(ProxyDirectoryUrl("https://dir.example/", "https://results.example", 1),
            "https://dir.example/?protocol=https&min_uptime=75&max_response_time=0");
  EXPECT_EQ(ProxyDirectoryUrl("https://dir.example/list", "http://results.example", 3),
            "https://dir.example/list?protocol=http&protocol=https&min_uptime=75&max_response_time=0&offset=30");
  EXPECT_EQ(ReadProxyDirectoryPage("<a href=\"/1.2.3.4/8080#http\">1.2.3.4:8080</a> 10.0.0.1:3128, 1.2.3.4:8080 "
                                   "1.2.3.999:80 5.6.7.8:0 5.6.7.8:70000 9.9.9.9:65535"),
            (std::vector<std::string>{"1.2.3.4:8080", "10.0.0.1:3128", "9.9.9.9:65535"}));
}

TEST_F(Download, ProxyDirectoryIsReadPageByPageUpToThirty) {
  std::vector<std::string> entries;
  for (int i = 0; i < 40; ++i)
    entries.push_back("127.0.0." + std::to_string(i + 1) + ":" + std::to_string(UnusedPort()));
  site.SetProxies(entries);
  session.Proxy.Mode = 1;
  session.DownloadTuning.ConnectTimeoutMs = 300;
  host.answers = {false};
  session.DrawsDownload();
  EXPECT_EQ(site.DirectoryQueries(),
            (std::vector<std::string>{"protocol=http&protocol=https&min_uptime=75&max_response_time=0",
                                      "protocol=http&protocol=https&min_uptime=75&max_response_time=0&offset=15"}));
  // All thirty collected proxies were tried before the question.
  EXPECT_EQ(QuestionsOf(AskKind::Retry), 1);
  int tried = 0;
  for (const auto& w : host.waitTexts) tried += w.find("Попытка") != std::string::npos;
  EXPECT_EQ(tried, 30);
}

TEST(ProxySettings, ReadWriteAndTheDialog) {
  TempDir dir;
  ScriptedHost host;
  Session s(dir.Path(), host);
  WriteFileAtomic(s.FilePath(".ini"), "[PROXY]\r\nProxyServer=proxy.local\r\nProxyPort=3128\r\n");
  s.ReadProxySettings();
  EXPECT_EQ(s.Proxy.Mode, 2);  // "ProxyMode" missing and a server set
  EXPECT_EQ(s.Proxy.Port, 3128);
  EXPECT_TRUE(s.Proxy.Saved);
  WriteFileAtomic(s.FilePath(".ini"), "[GLOBAL]\r\nKeep=1\r\n[PROXY]\r\nProxyMode=7\r\n");
  s.ReadProxySettings();
  EXPECT_EQ(s.Proxy.EffectiveMode(), 0);
  EXPECT_EQ(ProxyDialogChoice(s.Proxy.Mode), 0);
  EXPECT_EQ(s.Proxy.Port, 80);

  s.EditProxy(2, " host.example ", 8080, "u", "p w");
  EXPECT_TRUE(s.IsIdle());
  IniFile ini(s.FilePath(".ini"));
  EXPECT_EQ(ini.ReadString("PROXY", "ProxyServer", ""), "host.example");
  EXPECT_EQ(ini.ReadInteger("PROXY", "ProxyPort", 0), 8080);
  EXPECT_EQ(ini.ReadString("PROXY", "ProxyUsername", ""), "u");
  EXPECT_EQ(ini.ReadString("PROXY", "ProxyPassword", ""), "p w");
  EXPECT_EQ(ini.ReadInteger("PROXY", "ProxyMode", -1), 2);
  EXPECT_EQ(ini.ReadInteger("GLOBAL", "Keep", 0), 1);  // other sections stay
  s.EditProxy(1, "host.example", 8080, "u", "p");
  EXPECT_TRUE(s.Proxy.Server.empty());
  EXPECT_TRUE(s.Proxy.Username.empty());
  EXPECT_EQ(IniFile(s.FilePath(".ini")).ReadInteger("PROXY", "ProxyMode", -1), 1);
  EXPECT_NE(std::find(host.statuses.begin(), host.statuses.end(), "Сохранение файла конфигурации..."),
            host.statuses.end());
  // A settings file that cannot be written is reported.
  ::chmod(dir.Path().c_str(), 0500);
  bool writable = ::access(dir.Path().c_str(), W_OK) == 0;  // root writes anyway
  s.EditProxy(0, "", 80, "", "");
  ::chmod(dir.Path().c_str(), 0700);
  if (!writable) {
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(host.messages.back().text.rfind("Ошибка записи в файл конфигурации!\r\r", 0), 0u);
  }
}

TEST(OnlineAddresses, CompiledDefaultsAndTheirOverrides) {
  TempDir dir;
  ScriptedHost host;
  Session s(dir.Path(), host);
  s.ReadOnlineSettings();
  EXPECT_EQ(s.Online.ResultsUrl, TOnlineAddresses::Defaults().ResultsUrl);
  EXPECT_EQ(s.Online.ResultsUrl.rfind("https://", 0), 0u);
  WriteFileAtomic(s.FilePath(".ini"), "[ONLINE]\r\nResultsUrl=http://127.0.0.1:8765/\r\nLotteryUrl=\r\n");
  s.ReadOnlineSettings();
  EXPECT_EQ(s.Online.ResultsUrl, "http://127.0.0.1:8765/");
  EXPECT_EQ(s.LotoSiteUrl(), TOnlineAddresses::Defaults().LotteryUrl);
  EXPECT_EQ(MonthPageUrl(s.Online.ResultsUrl, 201703), "http://127.0.0.1:8765/powerball/results/march-2017");
}

TEST_F(Download, StartUpChoicesAndLoadOnly) {
  SetDraws(SpringDraws());
  EXPECT_EQ(session.DownloadOnStart(), dsAsk);
  host.answers = {false};
  session.StartupDownload();
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0].text, kDownloadOnStartQuestion);
  EXPECT_EQ(site.TotalPageRequests(), 0);

  session.AutoDownload(dsNever);
  EXPECT_TRUE(session.AutoDownloadChecked(dsNever));
  session.StartupDownload();
  EXPECT_EQ(site.TotalPageRequests(), 0);

  session.AutoDownload(dsAuto);
  session.StartupDownload();
  EXPECT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(session.Archive.Count(), 5);
  EXPECT_EQ(IniFile(session.FilePath(".frm")).ReadInteger("TFormMain", "DownloadDrawsOnStart", -1), 1);

  EXPECT_FALSE(session.LoadOnlyDownload(CommandLine({"fullrefresh"})));
  EXPECT_TRUE(session.LoadOnlyDownload(CommandLine({"/loadonly"})));
  EXPECT_FALSE(session.LoadOnlyDownload(CommandLine({"-loadonly", "fullrecreate"})));
}
