// The catalogue client on the wire and when things go wrong: the exact requests quintar-cli sends (fields,
// order, escaping, percent-encoding, headers), answers damaged by a front put before the real service (each
// failing with the command's message and nothing local changed), time limits, TLS verified by default and
// relaxed only by the settings, and the small readers and texts the commands share.
#include <gtest/gtest.h>

#include "app/session.h"
#include "catalogue_relay.h"
#include "catalogue_testutil.h"
#include "online/catalogueclient.h"
#include "online/taggedtext.h"
#include "testutil.h"
#include "util/cp1251.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::CatalogueRelay;
using quintar::test::CatalogueServer;
using quintar::test::RunCli;
using quintar::test::ScriptedHost;
using quintar::test::TempDir;
using quintar::test::WriteBytes;
using Fault = CatalogueRelay::Fault;

namespace {

constexpr const char* kAnnIdentity =
    "appid=Quintar_7x35&appver=1.0.0.1&hwdid={H}&cl_name=%D0%90%D0%BD%D0%BD%D0%B0&cl_mail=ann%40example.org&cl_lcid=1049";

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size())) s.replace(p, from.size(), to);
  return s;
}

class CatalogueClient : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<CatalogueServer>(db_.File("catalogue.db"));
    ASSERT_TRUE(server_->Started()) << server_->Errors();
    relay_ = std::make_unique<CatalogueRelay>(server_->Port());
    ASSERT_TRUE(relay_->Started());
    WriteIni(relay_->Url(), "");
    std::string out;
    ASSERT_EQ(Cli({"identity"}, &out), 0);
    hwdid_ = out.substr(out.find("hwdid\t") + 6, 32);
  }

  void WriteIni(const std::string& url, const std::string& more) {
    WriteBytes(dir_.File("Quintar_7x35.ini"),
               Utf8ToCp1251("[ONLINE]\r\nCatalogueUrl=" + url + "\r\nUserName=Анна\r\nUserMail=ann@example.org\r\n" + more));
  }

  int Cli(std::vector<std::string> args, std::string* out = nullptr, std::string* err = nullptr) {
    args.insert(args.begin(), "--data-dir=" + dir_.Path());
    return RunCli(args, out, err);
  }

  TempDir db_, dir_, files_;
  std::unique_ptr<CatalogueServer> server_;
  std::unique_ptr<CatalogueRelay> relay_;
  std::string hwdid_;
};

}  // namespace

// Every command sends the fields of its requests in their order, texts escaped and percent-encoded, with the
// identity after the script's id where the service needs to know who asks.
TEST_F(CatalogueClient, RequestsOnTheWire) {
  const std::string script = files_.File("s.lsc"), wheel = files_.File("w.txt");
  WriteBytes(script, "A*B-C.D_E~F+G\r\n");
  WriteBytes(wheel, "1 2 3 4 5 6 7\r\n8,9,10,11,12,13,14\r\n");
  const std::string id = kAnnIdentity;
  const std::string list = "fltid=0&" + id;
  const std::string title = "scr_title=Q%20%5C%22t%5C%22%5C%3F";
  const struct {
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> requests;  // endpoint, body
  } cases[] = {
      {{"scriptlib", "list", "--filter=0"}, {{"scr_getlist", "fltid=-1&" + id}}},
      {{"scriptlib", "publish", "--in=" + script, "--title=Q \"t\"?", "--descr=a\r\nb"},
       {{"scr_chktitle", "scr_id=-1&" + title},
        {"scr_putscript", "del_mode=0&scr_id=-1&scr_uniapps=0&scr_publics=1&" + title +
                              "&scr_descr=a%5Cr%5Cnb&scr_script=A*B-C.D_E~F%2BG%5Cr%5Cn&" + id}}},
      {{"scriptlib", "download", "1", "--out=" + files_.File("d.lsc")},
       {{"scr_getlist", list}, {"scr_getdata", "scr_id=1&" + id}}},
      {{"scriptlib", "rate", "1", "4", "--comment=Да!", "--filter=7"},
       {{"scr_setrate", "scr_id=1&rate_value=4&rate_notes=%D0%94%D0%B0%21&" + id}, {"scr_getlist", "fltid=6&" + id}}},
      {{"scriptlib", "hide", "1"}, {{"scr_setrate", "scr_id=1&rate_value=-1&rate_notes=&" + id}, {"scr_getlist", "fltid=1&" + id}}},
      {{"scriptlib", "rates", "1"}, {{"scr_getrates", "scr_id=1&" + id}}},
      {{"scriptlib", "replace", "1", "--universal", "--private", "--lcid=1058", "--in=" + script},
       {{"scr_getlist", list},
        {"scr_chktitle", "scr_id=1&" + title},
        {"scr_putscript", "del_mode=0&scr_id=1&scr_uniapps=1&scr_publics=0&" + title +
                              "&scr_descr=a%5Cr%5Cnb&scr_script=A*B-C.D_E~F%2BG%5Cr%5Cn&" + Replace(id, "1049", "1058")}}},
      {{"scriptlib", "delete", "1"},
       {{"scr_getlist", list},
        {"scr_putscript",
         "del_mode=1&scr_id=1&scr_uniapps=1&scr_publics=0&" + title + "&scr_descr=a%5Cr%5Cnb&" + Replace(id, "1049", "1058")}}},
      {{"systems", "list"}, {{"sys_getlist", "comblen=7&maxnums=35&" + id}}},
      {{"systems", "add", "--title=S", "--descr=D", "--file=" + wheel, "--olap=1", "--url=http://x/y?a=1"},
       {{"sys_putdata", "del_mode=0&sys_id=0&nums=14&clen=7&olap=1&title=S&descr=D&csize=2&"
                        "clist=MDEgMDIgMDMgMDQgMDUgMDYgMDdcclxuMDggMDkgMTAgMTEgMTIgMTMgMTRcclxu&url=http%3A%2F%2Fx%2Fy%3Fa%3D1&" +
                            id}}},
      {{"systems", "show", "1"}, {{"sys_getlist", "comblen=7&maxnums=35&" + id}, {"sys_getdata", "sys_id=1"}}},
      {{"systems", "delete", "1"},
       {{"sys_getlist", "comblen=7&maxnums=35&" + id},
        {"sys_putdata", "del_mode=1&sys_id=1&nums=14&clen=7&olap=1&title=S&descr=D&csize=2&clist=&url=http%3A%2F%2Fx%2Fy%3Fa%3D1&" + id}}},
  };
  for (const auto& c : cases) {
    relay_->ClearRequests();
    std::string out, err;
    EXPECT_EQ(Cli(c.args, &out, &err), 0) << c.args[0] << " " << c.args[1] << "\n" << err;
    const auto seen = relay_->Requests();
    ASSERT_EQ(seen.size(), c.requests.size()) << c.args[1];
    for (size_t i = 0; i < seen.size(); ++i) {
      EXPECT_EQ(seen[i].path, "/scripts/" + c.requests[i].first + ".php");
      EXPECT_EQ(seen[i].body, Replace(c.requests[i].second, "{H}", hwdid_)) << c.args[1] << " " << c.requests[i].first;
      EXPECT_EQ(seen[i].headers.at("content-type"), "application/x-www-form-urlencoded");
      EXPECT_EQ(seen[i].headers.at("accept"), "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
      EXPECT_EQ(seen[i].headers.at("accept-encoding"), "gzip, deflate, sdch");
      EXPECT_EQ(seen[i].headers.at("user-agent"), kUserAgent);
    }
  }
}

// A broken, failing, empty or refusing answer fails the command with its message; the working script, the
// script files and the system files stay as they were.
TEST_F(CatalogueClient, DamagedAnswersChangeNothingLocally) {
  const std::string script = files_.File("s.lsc"), wheel = files_.File("w.txt");
  const std::string lss = dir_.File("Quintar_7x35.lss"), lssText = "OLD:0#ALL| | | | | | | |\r\n";
  WriteBytes(script, "FULL:0#ALL| | | | | | | |\r\n");
  WriteBytes(wheel, "1 2 3 4 5 6 7\r\n8 9 10 11 12 13 14\r\n");
  ASSERT_EQ(Cli({"scriptlib", "publish", "--in=" + script, "--title=Один"}), 0);
  ASSERT_EQ(Cli({"systems", "add", "--title=С", "--descr=Д", "--file=" + wheel}), 0);
  ASSERT_EQ(Cli({"systems", "download", "1"}), 0);
  const std::string sysFile = dir_.File("Systems/7-14-0_0001.dat"), sysText = ReadWholeFile(sysFile);
  WriteBytes(lss, lssText);

  const std::string pairError = "Не удалось найти пару идентификаторов \"<result>\" - \"</result>\" в тексте";
  const struct {
    Fault fault;
    const char* request;
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {Fault::Http500, "scr_getdata", {"scriptlib", "download", "1"}, "Ошибка загрузки online-сценария!\n\nHTTP/1.1 500"},
      {Fault::NoResultEnd, "scr_getdata", {"scriptlib", "download", "1"}, "Ошибка загрузки online-сценария!\n\n" + pairError},
      {Fault::EmptyResult, "scr_getdata", {"scriptlib", "download", "1"},
       "Ошибка загрузки online-сценария!\n\nСервер не вернул сценарий"},
      {Fault::Truncated, "scr_getdata", {"scriptlib", "download", "1", "--out=" + script},
       "Не удалось найти пару идентификаторов \"<row>\" - \"</row>\""},
      {Fault::Refusal, "scr_getlist", {"scriptlib", "download", "1"},
       "Ошибка загрузки online-сценария!\n\nКаталог закрыт на обслуживание"},
      {Fault::BadNumber, "scr_getlist", {"scriptlib", "list"},
       "Ошибка загрузки каталога online-сценариев!\n\n'x1' is not a valid integer value"},
      {Fault::EmptyResult, "scr_setrate", {"scriptlib", "rate", "1", "2"},
       "Ошибка сохранения оценки online-сценария!\n\nСервер не вернул результат"},
      {Fault::Rewrite, "scr_setrate", {"scriptlib", "unrate", "1"}, "Ошибка сохранения оценки online-сценария!\n\nКод возврата: -2"},
      {Fault::Rewrite, "scr_putscript", {"scriptlib", "replace", "1", "--in=" + script},
       "Ошибка сохранения online-сценария в базе данных!\n\nКод возврата: 0"},
      {Fault::EmptyResult, "scr_chktitle", {"scriptlib", "publish", "--in=" + script, "--title=Два"},
       "Сценарий с таким названием уже существует!"},
      {Fault::Http500, "scr_chktitle", {"scriptlib", "publish", "--in=" + script, "--title=Два"},
       "Ошибка проверки уникальности online-сценария!\n\nHTTP/1.1 500"},
      {Fault::Http500, "sys_getdata", {"systems", "download", "1"}, "Ошибка загрузки системы #1!\n\nHTTP/1.1 500"},
      {Fault::Rewrite, "sys_getdata", {"systems", "download", "1"},
       "Количество скачанных комбинаций ( 1 ) отличается от ожидаемого значения ( 2 )"},
      {Fault::EmptyResult, "sys_putdata", {"systems", "edit", "1", "--descr=Е"},
       "Ошибка сохранения системы #1!\n\nКод возврата: -1"},
      {Fault::Huge, "sys_getlist", {"systems", "list"}, "Ошибка загрузки списка систем!\n\nThe answer is larger than"},
  };
  const std::string sysRow = Base64Encode("01 02 03 04 05 06 07\r\n08 09 10 11 12 13 14\r\n");
  for (const auto& c : cases) {
    std::string from, to;
    if (std::string(c.request) == "scr_setrate") from = "<res_code>0", to = "<res_code>-2";
    if (std::string(c.request) == "scr_putscript") from = "<id_scripts>1", to = "<id_scripts>0";
    if (std::string(c.request) == "sys_getdata") from = sysRow, to = Base64Encode("01 02 03 04 05 06 07\r\n");
    relay_->SetFault(c.fault, c.request, from, to);
    relay_->HugeBytes = (64u << 20) + 10;
    std::string out, err;
    EXPECT_EQ(Cli(c.args, &out, &err), 1) << c.request << "\n" << out;
    EXPECT_NE(err.find(c.message), std::string::npos) << c.request << "\n" << err;
    EXPECT_EQ(ReadWholeFile(lss), lssText) << c.request;
    EXPECT_EQ(ReadWholeFile(script), "FULL:0#ALL| | | | | | | |\r\n") << c.request;
    EXPECT_EQ(ReadWholeFile(sysFile), sysText) << c.request;
  }
  relay_->SetFault(Fault::None);
  // A pair error quotes at most 2000 characters of the answer.
  relay_->SetFault(Fault::NoResultEnd, "scr_getlist");
  std::string out, err;
  EXPECT_EQ(Cli({"scriptlib", "list"}, &out, &err), 1);
  EXPECT_NE(err.find("xxx…]!"), std::string::npos) << err.substr(0, 300);
  EXPECT_EQ(err.find(std::string(2100, 'x')), std::string::npos);
  EXPECT_LT(err.size(), 2000u * 2 + 400);
}

// Time limits, in the core with shortened tunings: a service that does not answer in time fails the command.
TEST_F(CatalogueClient, SlowAnswerEndsTheRequest) {
  ScriptedHost host;
  Session s(dir_.Path(), host);
  s.ReadOnlineSettings();
  s.ScriptLibrary.Tuning.ReadTimeoutMs = 300;
  relay_->SlowMs = 2500;
  relay_->SetFault(Fault::Slow, "scr_getlist");
  const auto started = std::chrono::steady_clock::now();
  s.ScriptLibrary.Refresh(-1);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(2300));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text.rfind("Ошибка загрузки каталога online-сценариев!\r\r", 0), 0u) << host.messages[0].text;
  EXPECT_TRUE(s.IsIdle());
}

// TLS: a self-signed certificate is refused by default, trusted through CatalogueCaFile, or not verified at
// all with CatalogueTlsVerify=0; a redirect from https:// to http:// is never followed.
TEST_F(CatalogueClient, TlsIsVerifiedUnlessTheSettingsSayOtherwise) {
  TempDir certs;
  if (!test::MakeSelfSignedCertificate(certs.Path())) GTEST_SKIP() << "the openssl tool is not there";
  CatalogueRelay tls(server_->Port(), true, certs.Path());
  ASSERT_TRUE(tls.Started());
  const struct {
    std::string more;
    int rc;
    std::string err;
  } cases[] = {
      {"", 1, "Ошибка загрузки каталога online-сценариев!\n\nSSL certificate problem"},
      {"CatalogueCaFile=" + certs.File("cert.pem") + "\r\n", 0, ""},
      {"CatalogueTlsVerify=0\r\n", 0, ""},
      {"CatalogueCaFile=" + certs.File("missing.pem") + "\r\n", 1, "missing.pem"},
  };
  for (const auto& c : cases) {
    WriteIni(tls.Url(), c.more);
    std::string out, err;
    EXPECT_EQ(Cli({"scriptlib", "list"}, &out, &err), c.rc) << c.more << err;
    if (!c.err.empty()) {
      EXPECT_NE(err.find(c.err), std::string::npos) << c.more << err;
    }
  }
  WriteIni(tls.Url(), "CatalogueTlsVerify=0\r\n");
  tls.SetFault(Fault::RedirectToHttp);
  const std::string logBefore = server_->Log();
  std::string out, err;
  EXPECT_EQ(Cli({"scriptlib", "list"}, &out, &err), 1);
  EXPECT_NE(err.find("Ошибка загрузки каталога online-сценариев!"), std::string::npos) << err;
  EXPECT_EQ(server_->Log(), logBefore);  // the plain service never saw the request
}

// The small pieces the commands share.
TEST(CatalogueTexts, EncodingsReadersAndCells) {
  EXPECT_EQ(CatalogueRequestUrl("http://h:8780/cat/", "scr_getlist"), "http://h:8780/cat/scripts/scr_getlist.php");
  EXPECT_EQ(CatalogueRequestUrl(" https://h// ", "sys_getdata"), "https://h/scripts/sys_getdata.php");
  EXPECT_EQ(CatalogueFormBody({{"clist", Base64Encode("\xfb\xff\xfe")}, {"b", Base64Encode("ab")}, {"c", "a b+c"}}),
            "clist=%2B%2F%2F%2B&b=YWI%3D&c=a%20b%2Bc");
  EXPECT_EQ(CatalogueHwdId("abc", "Quintar_7x35"), "d37e13969de71f30c299ae7013017df0");
  EXPECT_EQ(RatingAvgText(4.5), "4,500");
  EXPECT_EQ(RatingAvgText(1234.5), "1 234,500");
  EXPECT_DOUBLE_EQ(RatingNumber("\"3,25\""), 3.25);
  EXPECT_DOUBLE_EQ(RatingNumber("x4.5y"), 4.5);
  EXPECT_DOUBLE_EQ(RatingNumber("n/a"), 0);
  EXPECT_EQ(LenientNumber("12a", 7), 7);
  EXPECT_THROW(StrictNumber("12a"), EQuintar);
  for (auto [lcid, abbrev] : std::vector<std::pair<int, const char*>>{
           {1049, "RUS"}, {1033, "ENU"}, {2057, "ENG"}, {1034, "ESP"}, {1087, "KKZ"}, {3082, ""}, {0, ""}})
    EXPECT_EQ(CatalogueLanguageAbbrev(lcid), abbrev) << lcid;
  // Markers are found without regard to case; an error row fails; rows end at an empty row.
  TCatalogueAnswer a("<RESULT><Row><ID>5</ID></row><row></row><row><id>6</id></row></Result>");
  std::string row;
  ASSERT_TRUE(a.Next(row));
  EXPECT_EQ(CatalogueField(row, "id"), "5");
  EXPECT_FALSE(a.Next(row));
  TCatalogueAnswer refused("<result><row><id>1</id><error>нет</error></row></result>");
  EXPECT_THROW(refused.Next(row), EQuintar);
  EXPECT_TRUE(TCatalogueAnswer("<result>\n</result>").Empty());
  EXPECT_EQ(CatalogueTimeText(0), "");
  EXPECT_EQ(CatalogueTimeText(CatalogueTextTime("2020-01-02 03:04:05")), "2020-01-02 03:04:05");
}
