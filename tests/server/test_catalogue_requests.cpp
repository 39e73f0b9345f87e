// The nine requests of the catalogue service as the program sends them: answers, ownership by e-mail and
// machine together, privacy of e-mail addresses and private scripts, and every check that refuses a request
// without storing anything.
#include <gtest/gtest.h>

#include <functional>

#include "catalogue_testutil.h"
#include "online/taggedtext.h"
#include "sqlite.h"
#include "testutil.h"

using namespace quintar;
using namespace quintar::test;

namespace {

const Who kAnn{"Анна", "Ann@Example.org", "hw-ann"};
const Who kAnnElsewhere{"Анна", "ann@example.org", "hw-ann-laptop"};  // same e-mail, another machine
const Who kBob{"Bob \"the rater\"", "bob@example.org", "hw-bob"};
const Who kNobody{"", "", "hw-nobody"};  // no e-mail: owns nothing

const std::vector<std::string> kListElements = {
    "id",        "app_name",      "app_ver", "key_cl_name", "key_cl_mail", "key_cl_lcid",
    "uniapps",   "publics",       "created", "rating_avg",  "rating_cnt",  "rating_you",
    "downloads", "last_download", "title",   "descr",       "app_guid"};
const std::vector<std::string> kSystemElements = {"id",     "nums",    "olap", "csize",   "title",     "descr",
                                                  "author", "cl_mail", "url",  "created", "downloads", "last_download"};

std::vector<std::string> ListForm(int fltid, const Who& w) {
  return Join({"fltid=" + std::to_string(fltid)}, w.Fields());
}

// The ids of a list answer, in answer order.
std::vector<int> Ids(const Answer& a) {
  std::vector<int> ids;
  for (const Row& r : a.rows) ids.push_back(std::stoi(r["id"]));
  return ids;
}

const Row* FindRow(const Answer& a, int id) {
  for (const Row& r : a.rows)
    if (r["id"] == std::to_string(id)) return &r;
  return nullptr;
}

class CatalogueRequests : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<CatalogueServer>(dir_.File("catalogue.db"),
                                                std::vector<std::string>{"--app=Quintar_7x35=Квинтар 7x35"});
    ASSERT_TRUE(server_->Started());
  }
  Answer Send(const std::string& request, const std::vector<std::string>& form) {
    return Call(*server_, request, form);
  }
  int Publish(const std::string& title, bool isPublic, const Who& w, int id = -1) {
    Answer a = Send("scr_putscript", PublishForm(id, title, "", "1;NUMS;1\r\n", false, isPublic, w));
    EXPECT_EQ(a.error, "") << title;
    return a.rows.empty() ? -1 : std::stoi(a.rows.back()["id_scripts"]);
  }
  // Rows, ratings and systems stored, with the generation: what a refused request must leave as it was.
  std::string StoredState() {
    catalogue::Db db(dir_.File("catalogue.db"), SQLITE_OPEN_READONLY);
    catalogue::Stmt s(db,
                      "SELECT (SELECT COUNT(*) FROM scripts) || '/' || (SELECT COUNT(*) FROM ratings) || '/' || "
                      "(SELECT COUNT(*) FROM systems) || '/' || (SELECT value FROM meta WHERE key='generation') || "
                      "'/' || (SELECT group_concat(title || downloads || owner_hwdid) FROM scripts)");
    return s.Step() ? s.Text(0) : "";
  }

  TempDir dir_;
  std::unique_ptr<CatalogueServer> server_;
};

}  // namespace

TEST_F(CatalogueRequests, ScriptsCatalogueAnswersOwnershipAndPrivacy) {
  const std::string descr = "Две строки\r\nс \"кавычками\", апострофом ' и \\ обратной чертой?";
  const std::string script = "1;NUMS;1;2;3\r\n2;SUMS;100\r\n3;KCM2;0\r\n";
  Answer pub = Send("scr_putscript", PublishForm(0, "  Первый сценарий  ", descr, script, true, true, kAnn));
  ASSERT_EQ(pub.error, "");
  ASSERT_EQ(pub.rows.size(), 1u);
  EXPECT_EQ(pub.rows[0].Names(), std::vector<std::string>{"id_scripts"});
  EXPECT_EQ(pub.rows[0]["id_scripts"], "1");
  int priv = Publish("Личный", false, kAnn);
  EXPECT_EQ(priv, 2);

  // Titles are unique without regard to case (Cyrillic too) and to blanks around them.
  EXPECT_EQ(Send("scr_chktitle", {"scr_id=-1", "scr_title=" + EscapeText(" ПЕРВЫЙ сценарий")}).rows[0]["ret_code"],
            "1");
  EXPECT_EQ(Send("scr_chktitle", {"scr_id=1", "scr_title=" + EscapeText("первый сценарий")}).rows[0]["ret_code"], "0");
  EXPECT_EQ(Send("scr_chktitle", {"scr_id=-1", "scr_title=" + EscapeText("Новый")}).rows[0]["ret_code"], "0");
  EXPECT_NE(Send("scr_putscript", PublishForm(-1, "первый СЦЕНАРИЙ", "", script, false, true, kBob)).error, "");
  // "+" is a blank, a field given twice counts with its first value, unknown fields are ignored, and a
  // request without Content-Type is read as a form all the same.
  const std::string body =
      "scr_id=-1&scr_title=%D0%9F%D0%B5%D1%80%D0%B2%D1%8B%D0%B9+%D1%81%D1%86%D0%B5%D0%BD%D0%B0"
      "%D1%80%D0%B8%D0%B9&scr_title=free&scr_id=1&extra=1";
  std::string raw = RawExchange(server_->Port(), "POST /scripts/scr_chktitle.php HTTP/1.1\r\nContent-Length: " +
                                                     std::to_string(body.size()) + "\r\n\r\n" + body);
  EXPECT_EQ(ReadAnswer(raw.substr(raw.find("\r\n\r\n") + 4)).rows.at(0)["ret_code"], "1");

  // The owner sees both with his e-mail; anyone else, the same e-mail on another machine included, sees the
  // public one with "***".
  Answer own = Send("scr_getlist", ListForm(0, kAnn));
  ASSERT_EQ(Ids(own), (std::vector<int>{1, 2}));
  const Row& row = own.rows[0];
  EXPECT_EQ(row.Names(), kListElements);
  EXPECT_EQ(row["app_name"], "Квинтар 7x35");
  EXPECT_EQ(row["app_guid"], "Quintar_7x35");
  EXPECT_EQ(row["app_ver"], "1.0.0.1");
  EXPECT_EQ(row["key_cl_name"], "Анна");
  EXPECT_EQ(row["key_cl_mail"], "Ann@Example.org");
  EXPECT_EQ(row["key_cl_lcid"], "1049");
  EXPECT_EQ(row["uniapps"], "1");
  EXPECT_EQ(row["publics"], "1");
  EXPECT_EQ(row["created"].size(), 19u);
  EXPECT_EQ(row["rating_avg"], "0.000");
  EXPECT_EQ(row["last_download"], "");
  EXPECT_EQ(FromBase64(row["title"]), "Первый сценарий");
  EXPECT_EQ(FromBase64(row["descr"]), descr);
  EXPECT_EQ(own.rows[1]["publics"], "0");
  for (const Who* other : {&kBob, &kAnnElsewhere, &kNobody}) {
    Answer a = Send("scr_getlist", ListForm(0, *other));
    ASSERT_EQ(Ids(a), std::vector<int>{1}) << other->hwdid;
    EXPECT_EQ(a.rows[0]["key_cl_mail"], "***");
  }

  // Getting a script counts a download; a private script is served to its owner only, and to anyone else it
  // answers exactly as a script that does not exist.
  Answer got = Send("scr_getdata", {"scr_id=1"});
  ASSERT_EQ(got.rows.size(), 1u);
  EXPECT_EQ(FromBase64(got.rows[0]["script"]), script);
  EXPECT_EQ(FromBase64(Send("scr_getdata", Join({"scr_id=2"}, kAnn.Fields())).rows[0]["script"]), "1;NUMS;1\r\n");
  const std::string missing = Send("scr_getdata", {"scr_id=99"}).error;
  EXPECT_NE(missing, "");
  EXPECT_EQ(Send("scr_getdata", {"scr_id=2"}).error, missing);
  EXPECT_EQ(Send("scr_getdata", Join({"scr_id=2"}, kAnnElsewhere.Fields())).error, missing);
  EXPECT_EQ(Send("scr_getrates", Join({"scr_id=2"}, kBob.Fields())).error,
            Send("scr_getrates", Join({"scr_id=99"}, kBob.Fields())).error);
  Row after = *FindRow(Send("scr_getlist", ListForm(0, kBob)), 1);
  EXPECT_EQ(after["downloads"], "1");
  EXPECT_EQ(after["last_download"].size(), 19u);

  // Ratings: one per user (e-mail and machine), hidden ones are not counted, newest first in the ratings.
  EXPECT_EQ(Send("scr_setrate", RateForm(1, 4, "Хорошо,\r\n\tочень", kBob)).rows[0]["res_code"], "0");
  EXPECT_EQ(Send("scr_setrate", RateForm(1, 2, "", kAnnElsewhere)).rows[0]["res_code"], "0");
  EXPECT_EQ(Send("scr_setrate", RateForm(1, 5, "так лучше", kAnnElsewhere)).rows[0]["res_code"], "0");
  EXPECT_EQ(Send("scr_setrate", RateForm(1, 1, "", kNobody)).rows[0]["res_code"], "0");
  EXPECT_EQ(Send("scr_setrate", RateForm(1, 6, "", kBob)).rows[0]["res_code"], "-2");
  EXPECT_EQ(Send("scr_setrate", RateForm(2, 3, "", kBob)).rows[0]["res_code"], "-1");  // private: not there
  Row rated = *FindRow(Send("scr_getlist", ListForm(1, kBob)), 1);
  EXPECT_EQ(rated["rating_avg"], "3.333");
  EXPECT_EQ(rated["rating_cnt"], "3");
  EXPECT_EQ(rated["rating_you"], "4");
  Answer rates = Send("scr_getrates", {"scr_id=1"});
  ASSERT_EQ(rates.rows.size(), 3u);
  EXPECT_EQ(rates.rows[0].Names(),
            (std::vector<std::string>{"key_cl_name", "rate", "created", "app_name", "app_ver", "notes"}));
  EXPECT_EQ(rates.rows[2]["key_cl_name"], "Bob \"the rater\"");
  EXPECT_EQ(rates.rows[2]["notes"], "Хорошо,\r\n\tочень");
  EXPECT_EQ(rates.rows[2]["app_name"], "Квинтар 7x35");

  // Hiding takes the script out of his lists (and out of the mean); withdrawing brings it back unrated.
  EXPECT_EQ(Send("scr_setrate", RateForm(1, -1, "", kBob)).rows[0]["res_code"], "0");
  EXPECT_EQ(Ids(Send("scr_getlist", ListForm(1, kBob))), std::vector<int>{});
  EXPECT_EQ(Ids(Send("scr_getlist", ListForm(-1, kBob))), std::vector<int>{1});
  EXPECT_EQ(FindRow(Send("scr_getlist", ListForm(-1, kBob)), 1)->operator[]("rating_you"), "-1");
  EXPECT_EQ(FindRow(Send("scr_getlist", ListForm(0, kAnn)), 1)->operator[]("rating_cnt"), "2");
  EXPECT_EQ(Send("scr_setrate", RateForm(1, 0, "", kBob)).rows[0]["res_code"], "0");

  // The filters, for the owner and for others.
  struct FilterCase {
    int fltid;
    const Who* who;
    std::vector<int> ids;
  };
  const FilterCase filters[] = {
      {-1, &kAnn, {}},         {0, &kAnn, {1, 2}}, {1, &kAnn, {1, 2}},      {2, &kAnn, {1, 2}},
      {2, &kAnnElsewhere, {}}, {2, &kNobody, {}},  {3, &kAnn, {1}},         {4, &kAnnElsewhere, {1}},
      {4, &kBob, {}},          {5, &kBob, {1}},    {5, &kAnnElsewhere, {}}, {6, &kAnn, {1, 2}},
      {6, &kBob, {1}},
  };
  for (const auto& f : filters)
    EXPECT_EQ(Ids(Send("scr_getlist", ListForm(f.fltid, *f.who))), f.ids) << f.fltid << " " << f.who->hwdid;
  EXPECT_NE(Send("scr_getlist", ListForm(7, kAnn)).error, "");

  // Replace and delete are the owner's only: the same e-mail from another machine is someone else.
  const std::string notYours = Send("scr_putscript", PublishForm(1, "Чужой", "", script, false, true, kBob)).error;
  EXPECT_NE(notYours, "");
  EXPECT_EQ(Send("scr_putscript", PublishForm(1, "Чужой", "", script, false, true, kAnnElsewhere)).error, notYours);
  EXPECT_EQ(Send("scr_putscript", PublishForm(77, "Чужой", "", script, false, true, kAnn)).error, notYours);
  EXPECT_EQ(Send("scr_putscript", DeleteScriptForm(1, kBob)).error, notYours);
  EXPECT_EQ(Send("scr_putscript", DeleteScriptForm(2, kAnnElsewhere)).error, notYours);
  EXPECT_EQ(Publish("Первый, новая редакция", false, kAnn, 1), 1);
  Row replaced = *FindRow(Send("scr_getlist", ListForm(0, kAnn)), 1);
  EXPECT_EQ(FromBase64(replaced["title"]), "Первый, новая редакция");
  EXPECT_EQ(replaced["publics"], "0");
  EXPECT_EQ(replaced["rating_cnt"], "2");  // ratings and downloads are kept
  EXPECT_EQ(replaced["downloads"], "1");
  EXPECT_EQ(Ids(Send("scr_getlist", ListForm(0, kBob))), std::vector<int>{});

  Answer deleted = Send("scr_putscript", DeleteScriptForm(1, kAnn));
  EXPECT_EQ(deleted.rows.back()["id_scripts"], "0");
  EXPECT_EQ(Ids(Send("scr_getlist", ListForm(0, kAnn))), std::vector<int>{2});
  EXPECT_EQ(Send("scr_getrates", {"scr_id=1"}).error, missing);
  EXPECT_EQ(Publish("Третий", true, kBob), 3);  // ids are never used again
}

TEST_F(CatalogueRequests, SystemsCatalogueAnswersAndOwnership) {
  const std::string lines = "1,2,3,4,5,6,7\r\n02 03 04 05 06 07 08\n 1-3-5-7-8-2-4 \r\n";
  Answer stored = Send(
      "sys_putdata", SystemForm(0, 0, 8, 1, "Колесо", "Три линии", lines, 3, "https://wheels.example.org/8?x=1", kAnn));
  ASSERT_EQ(stored.error, "");
  EXPECT_EQ(stored.rows[0]["id_systems"], "1");
  std::vector<std::string> listForm = Join({"comblen=7", "maxnums=35"}, kBob.Fields());
  Answer list = Send("sys_getlist", listForm);
  ASSERT_EQ(list.rows.size(), 1u);
  const Row& r = list.rows[0];
  EXPECT_EQ(r.Names(), kSystemElements);
  EXPECT_EQ(r["nums"], "8");
  EXPECT_EQ(r["olap"], "1");
  EXPECT_EQ(r["csize"], "3");
  EXPECT_EQ(FromBase64(r["title"]), "Колесо");
  EXPECT_EQ(FromBase64(r["descr"]), "Три линии");
  EXPECT_EQ(r["author"], "Анна");
  EXPECT_EQ(r["cl_mail"], "***");
  EXPECT_EQ(r["url"], "https://wheels.example.org/8?x=1");
  EXPECT_EQ(r["downloads"], "0");
  EXPECT_EQ(Send("sys_getlist", Join({"comblen=7", "maxnums=35"}, kAnn.Fields())).rows[0]["cl_mail"],
            "Ann@Example.org");
  EXPECT_TRUE(Send("sys_getlist", Join({"comblen=7", "maxnums=7"}, kAnn.Fields())).rows.empty());
  Answer other = Send("sys_getlist", Join({"comblen=6", "maxnums=35"}, kAnn.Fields()));
  EXPECT_TRUE(other.rows.empty());
  EXPECT_NE(other.raw.find("<result>\n</result>"), std::string::npos);

  // The text comes back as stored, every line ended by CR LF; getting it counts a download.
  Answer got = Send("sys_getdata", {"sys_id=1"});
  EXPECT_EQ(FromBase64(got.rows[0]["clist"]), "1,2,3,4,5,6,7\r\n02 03 04 05 06 07 08\r\n 1-3-5-7-8-2-4 \r\n");
  EXPECT_EQ(Send("sys_getlist", listForm).rows[0]["downloads"], "1");
  EXPECT_NE(Send("sys_getdata", {"sys_id=5"}).error, "");

  const std::string two = "1 2 3 4 5 6 7\r\n1 2 3 4 5 6 9\r\n";
  const std::string notYours = Send("sys_putdata", SystemForm(0, 1, 9, 0, "Х", "Y", two, 2, "", kBob)).error;
  EXPECT_NE(notYours, "");
  EXPECT_EQ(Send("sys_putdata", SystemForm(0, 1, 9, 0, "Х", "Y", two, 2, "", kAnnElsewhere)).error, notYours);
  EXPECT_EQ(Send("sys_putdata", SystemForm(1, 1, 8, 0, "Х", "Y", "", 0, "", kBob)).error, notYours);
  Answer edited = Send("sys_putdata", SystemForm(0, 1, 9, 0, "Колесо 9", "Новая версия", two, 2, "", kAnn));
  EXPECT_EQ(edited.rows[0]["id_systems"], "1");
  Row now = Send("sys_getlist", listForm).rows[0];
  EXPECT_EQ(now["nums"], "9");
  EXPECT_EQ(now["csize"], "2");
  EXPECT_GE(now["created"], r["created"]);
  EXPECT_EQ(Send("sys_putdata", SystemForm(1, 1, 9, 0, "Колесо 9", "Y", "", 0, "", kAnn)).rows[0]["id_systems"], "0");
  EXPECT_TRUE(Send("sys_getlist", listForm).rows.empty());
  EXPECT_EQ(Send("sys_putdata", SystemForm(0, 0, 9, 0, "Ещё", "Y", two, 2, "", kAnn)).rows[0]["id_systems"], "2");
}

TEST_F(CatalogueRequests, EveryCheckRefusesAndStoresNothing) {
  ASSERT_EQ(Publish("Есть", true, kAnn), 1);
  ASSERT_EQ(Send("sys_putdata", SystemForm(0, 0, 8, 0, "С", "D", "1 2 3 4 5 6 7\r\n", 1, "", kAnn)).error, "");
  const std::string before = StoredState();
  const std::string script = "1;NUMS;1\r\n";
  const std::string line = "1 2 3 4 5 6 7\r\n";
  auto put = [&](const Who& w) { return PublishForm(-1, "Новый", "", script, false, true, w); };
  auto sys = [&](int nums, int olap, const std::string& text, int csize, const std::string& url) {
    return SystemForm(0, 0, nums, olap, "Система", "Описание", text, csize, url, kAnn);
  };
  auto with = [](std::vector<std::string> form, const std::string& name, const std::string& value) {
    for (auto& item : form)
      if (item.rfind(name + "=", 0) == 0) item = name + "=" + value;
    return form;
  };
  auto without = [](std::vector<std::string> form, const std::string& name) {
    std::erase_if(form, [&](const std::string& item) { return item.rfind(name + "=", 0) == 0; });
    return form;
  };
  Who longName = kAnn, badMail = kAnn, twoAt = kAnn, noHwdid = kAnn, blankHwdid = kAnn, marked = kAnn;
  longName.name = std::string(65, 'a');
  badMail.mail = "ann.example.org";
  twoAt.mail = "a@b@c";
  noHwdid.hwdid = "";
  blankHwdid.hwdid = "hw ann";
  marked.name = "x</key_cl_name><error>y</error>";
  struct Case {
    const char* what;
    const char* request;
    std::vector<std::string> form;
  };
  const Case cases[] = {
      {"missing field", "scr_putscript", without(put(kAnn), "cl_mail")},
      {"missing fltid", "scr_getlist", kAnn.Fields()},
      {"number with letters", "scr_getlist", Join({"fltid=1x"}, kAnn.Fields())},
      {"number with plus", "scr_getdata", {"scr_id=+1"}},
      {"empty number", "scr_getdata", {"scr_id="}},
      {"number beyond int32", "scr_getdata", {"scr_id=2147483648"}},
      {"percent without digits", "scr_getlist", Join({"fltid=1", "x%G1"}, kAnn.Fields())},
      {"percent at the end", "scr_getlist", Join({"fltid=1", "x%4"}, kAnn.Fields())},
      {"not UTF-8", "scr_putscript", with(put(kAnn), "cl_name", "\xC3\x28")},
      {"long name", "scr_putscript", put(longName)},
      {"mail without @", "scr_putscript", put(badMail)},
      {"mail with two @", "scr_putscript", put(twoAt)},
      {"no hwdid", "scr_putscript", put(noHwdid)},
      {"hwdid with blank", "scr_putscript", put(blankHwdid)},
      {"hwdid too long", "scr_putscript", with(put(kAnn), "hwdid", std::string(129, 'h'))},
      {"markers in a name", "scr_putscript", put(marked)},
      {"appid too long", "scr_putscript", with(put(kAnn), "appid", std::string(65, 'a'))},
      {"appver too long", "scr_putscript", with(put(kAnn), "appver", std::string(33, '1'))},
      {"lcid out of range", "scr_putscript", with(put(kAnn), "cl_lcid", "65536")},
      {"empty title", "scr_putscript", PublishForm(-1, "   ", "", script, false, true, kAnn)},
      {"long title", "scr_putscript", PublishForm(-1, std::string(65, 'T'), "", script, false, true, kAnn)},
      {"two-line title", "scr_putscript", PublishForm(-1, "a\r\nb", "", script, false, true, kAnn)},
      {"taken title", "scr_putscript", PublishForm(-1, "ЕСТЬ", "", script, false, true, kBob)},
      {"long description", "scr_putscript", PublishForm(-1, "Н", std::string(16385, 'd'), script, false, true, kAnn)},
      {"empty script", "scr_putscript", PublishForm(-1, "Н", "", "", false, true, kAnn)},
      {"too many lines", "scr_putscript", PublishForm(-1, "Н", "", std::string(10001, '\n'), false, true, kAnn)},
      {"too long script", "scr_putscript", PublishForm(-1, "Н", "", std::string(1000001, 's'), false, true, kAnn)},
      {"flag not 0 or 1", "scr_putscript", with(put(kAnn), "scr_publics", "2")},
      {"unknown mode", "scr_putscript", with(put(kAnn), "del_mode", "2")},
      {"delete of id 0", "scr_putscript", DeleteScriptForm(0, kAnn)},
      {"rating without hwdid", "scr_setrate", RateForm(1, 3, "", noHwdid)},
      {"long comment", "scr_setrate", RateForm(1, 3, std::string(1001, 'c'), kBob)},
      {"markers in a comment", "scr_setrate", RateForm(1, 3, "</row><row>", kBob)},
      {"control in a comment", "scr_setrate", RateForm(1, 3, std::string("a\x01"), kBob)},
      {"title check of empty", "scr_chktitle", {"scr_id=-1", "scr_title="}},
      {"nums 7", "sys_putdata", sys(7, 0, line, 1, "")},
      {"nums 36", "sys_putdata", sys(36, 0, line, 1, "")},
      {"clen 6", "sys_putdata", with(sys(8, 0, line, 1, ""), "clen", "6")},
      {"olap 7", "sys_putdata", sys(8, 7, line, 1, "")},
      {"csize 0", "sys_putdata", sys(8, 0, "", 0, "")},
      {"csize not the lines", "sys_putdata", sys(8, 0, line + line, 3, "")},
      {"six positions", "sys_putdata", sys(8, 0, "1 2 3 4 5 6\r\n", 1, "")},
      {"position beyond nums", "sys_putdata", sys(8, 0, "1 2 3 4 5 6 9\r\n", 1, "")},
      {"position twice", "sys_putdata", sys(8, 0, "1 2 3 4 5 6 6\r\n", 1, "")},
      {"position not a number", "sys_putdata", sys(8, 0, "1 2 3 4 5 6 x\r\n", 1, "")},
      {"blank line", "sys_putdata", sys(8, 0, line + "\r\n" + line, 3, "")},
      {"clist not Base64", "sys_putdata", with(sys(8, 0, line, 1, ""), "clist", "***")},
      {"clist not UTF-8", "sys_putdata", with(sys(8, 0, line, 1, ""), "clist", Base64Encode("1 2 3 4 5 6 \xFF"))},
      {"url of another scheme", "sys_putdata", sys(8, 0, line, 1, "ftp://x.org/")},
      {"url with a blank", "sys_putdata", sys(8, 0, line, 1, "http://x.org/a b")},
      {"url with a marker", "sys_putdata", sys(8, 0, line, 1, "http://x.org/<b>")},
      {"url too long", "sys_putdata", sys(8, 0, line, 1, "http://x.org/" + std::string(990, 'u'))},
      {"empty description", "sys_putdata", SystemForm(0, 0, 8, 0, "Система", " ", line, 1, "", kAnn)},
      {"system of someone else", "sys_putdata", SystemForm(0, 1, 8, 0, "С", "D", line, 1, "", kBob)},
  };
  for (const Case& c : cases) {
    Answer a = Send(c.request, c.form);
    EXPECT_NE(a.error, "") << c.what;
    EXPECT_EQ(a.raw.find('<', a.raw.find("<error>") + 7), a.raw.find("</error>")) << c.what;
    EXPECT_EQ(StoredState(), before) << c.what;
  }
}
