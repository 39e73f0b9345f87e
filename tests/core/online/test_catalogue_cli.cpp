// The online catalogues through quintar-cli against the real quintar-catalogue-server on a free port: three
// users on this computer (two with an e-mail, one without) publish, rate, hide, download, replace and delete
// scripts, add, download, edit and delete systems and stake one; every line printed, every exit status and
// every file written is checked, one step after the other. Usage errors send no request.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <functional>
#include <regex>

#include "catalogue_testutil.h"
#include "testutil.h"
#include "util/cp1251.h"
#include "util/safefile.h"

using quintar::ReadWholeFile;
using quintar::test::CatalogueServer;
using quintar::test::RunCli;
using quintar::test::TempDir;
using quintar::test::WriteBytes;

namespace {

// A line of expected output: "{T}" is a local time "yyyy-mm-dd hh:mm:ss", "{H}" 32 hexadecimal digits, "{*}"
// any text of one cell; everything else is literal.
bool LineMatches(const std::string& pattern, const std::string& line) {
  std::string re;
  for (size_t i = 0; i < pattern.size();) {
    if (pattern.compare(i, 3, "{T}") == 0) {
      re += R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)";
      i += 3;
    } else if (pattern.compare(i, 3, "{H}") == 0) {
      re += "[0-9a-f]{32}";
      i += 3;
    } else if (pattern.compare(i, 3, "{*}") == 0) {
      re += "[^\t]*";
      i += 3;
    } else {
      const char c = pattern[i++];
      if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) re += '\\';
      re += c;
    }
  }
  return std::regex_match(line, std::regex(re));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

struct Step {
  const char* who;                // "A", "B" or "N": whose data folder
  std::vector<std::string> args;  // after --data-dir
  int rc;
  std::vector<std::string> out;   // every line of standard output ("-" alone: not checked)
  std::string err = "";           // a text standard error must hold
  std::function<void()> check = nullptr;
};

const std::string kScriptCaptions =
    "Id\tТип\tНазвание\tАвтор\tПрограмма\tВерсия\tЯзык\tСоздан\tРейтинг\tОценок\tВаша оценка\tЗагрузок\tПоследняя\t"
    "Комментарии";
const std::string kSystemCaptions =
    "Id\tНазвание\tАвтор\tЧисла\tБлок\tКомбинаций\tДата создания\tСтатус\tЗагрузок\tПоследняя\tКомментарии\tСсылка";

class CatalogueCli : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<CatalogueServer>(db_.File("catalogue.db"));
    ASSERT_TRUE(server_->Started()) << server_->Errors();
    const std::string url = "http://127.0.0.1:" + std::to_string(server_->Port());
    const struct {
      TempDir* dir;
      const char* name;
      const char* mail;
    } users[] = {{&a_, "Анна", "ann@example.org"}, {&b_, "Боб", "Bob@Example.org"}, {&n_, "Ник", ""}};
    for (const auto& u : users)
      WriteBytes(u.dir->File("Quintar_7x35.ini"),
                 quintar::Utf8ToCp1251("[ONLINE]\r\nCatalogueUrl=" + url + "\r\nUserName=" + u.name +
                                       "\r\nUserMail=" + u.mail + "\r\n"));
  }

  std::string Dir(const char* who) const {
    return who[0] == 'A' ? a_.Path() : who[0] == 'B' ? b_.Path() : n_.Path();
  }

  // Runs the steps in order; a step's failure names it and the output seen.
  void Run(const std::vector<Step>& steps) {
    for (size_t i = 0; i < steps.size(); ++i) {
      const Step& s = steps[i];
      std::vector<std::string> args = {"--data-dir=" + Dir(s.who)};
      args.insert(args.end(), s.args.begin(), s.args.end());
      std::string out, err;
      const int rc = RunCli(args, &out, &err);
      std::string what = "step " + std::to_string(i + 1) + " (" + s.who + ":";
      for (const auto& a : s.args) what += " " + a;
      what += ")\n--- stdout:\n" + out + "--- stderr:\n" + err;
      EXPECT_EQ(rc, s.rc) << what;
      if (!(s.out.size() == 1 && s.out[0] == "-")) {
        const std::vector<std::string> lines = Lines(out);
        EXPECT_EQ(lines.size(), s.out.size()) << what;
        for (size_t k = 0; k < std::min(lines.size(), s.out.size()); ++k)
          EXPECT_TRUE(LineMatches(s.out[k], lines[k])) << what << "--- line " << k + 1 << " expected:\n" << s.out[k];
      }
      if (!s.err.empty()) {
        EXPECT_NE(err.find(s.err), std::string::npos) << what;
      }
      if (s.check) s.check();
      if (::testing::Test::HasFailure()) return;
    }
  }

  int Requests() const {
    const std::string log = server_->Log();
    return static_cast<int>(std::count(log.begin(), log.end(), '\n'));
  }

  TempDir db_, a_, b_, n_, files_;
  std::unique_ptr<CatalogueServer> server_;
};

std::string Script(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return quintar::Utf8ToCp1251(text);
}

time_t MTime(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mtime : 0;
}

}  // namespace

TEST_F(CatalogueCli, ScriptsAndSystemsOfThreeUsers) {
  const std::string s1 = files_.File("s1.lsc"), s2 = files_.File("s2.lsc");
  const std::string script1 = Script({"EXCL:5#RAND|TSD1#SUMS:100#LMV:5#SF:1| | | | | | |первая", "FULL:0#ALL| | | | | | | |"});
  const std::string script2 = Script({"FULL:0#FIRST| | | | | | | |вторая"});
  WriteBytes(s1, script1);
  WriteBytes(s2, script2);
  const std::string wheel = files_.File("wheel.txt"), noFirst = files_.File("nofirst.txt"),
                    wheel2 = files_.File("wheel2.txt"), combs = files_.File("combs.lcv"),
                    other = files_.File("other.lcv");
  WriteBytes(wheel, "1,2,3,4,5,6,7\r\n 8 9 10 11 12 13 14\r\n1 2 3\r\n");
  WriteBytes(noFirst, "2 3 4 5 6 7 8\r\n");
  WriteBytes(wheel2, "1 2 3 4 5 6 14\r\n7 8 9 10 11 12 13\r\n1 3 5 7 9 11 13\r\n");
  WriteBytes(combs, "1;2;3;4;5;6;7\r\n8;9;10;11;12;13;14\r\n");
  WriteBytes(other, "1;2;3;4;5;6;8\r\n7;9;10;11;12;13;14\r\n");
  const std::string bSystems = b_.Path() + "Systems/";
  const std::string title65(65, 'x');

  const std::string row1 = "1\tМой\tПервый\tАнна\tQuintar_7x35\t1.0.0.1\tRUS\t{T}\t0,000\t0\t\t0\t\tДве строки";
  Run({
      {"A", {"identity"}, 0,
       {"Поле\tЗначение", "appid\tQuintar_7x35", "appver\t1.0.0.1", "hwdid\t{H}", "cl_name\tАнна",
        "cl_mail\tann@example.org", "cl_lcid\t1049"}},
      {"A", {"scriptlib", "list"}, 0, {kScriptCaptions, "Сценариев: 0"}},
      // The dialog's checks, in order: a script, a title, a free title, an author.
      {"A", {"scriptlib", "publish", "--title=Первый"}, 1, {}, "Текущий сценарий не содержит строк!"},
      {"A", {"scriptlib", "publish", "--in=" + s1}, 1, {}, "Название сценария должно быть указано обязательно!"},
      {"A", {"scriptlib", "publish", "--in=" + s1, "--title=Первый", "--author= "}, 1, {},
       "Имя автора должно быть указано обязательно!"},
      {"A", {"scriptlib", "publish", "--in=" + s1, "--title=  Первый ", "--descr=Две\r\nстроки"}, 0,
       {kScriptCaptions, row1}},
      {"B", {"scriptlib", "publish", "--in=" + s1, "--title=ПЕРВЫЙ"}, 1, {},
       "Сценарий с таким названием уже существует!\nВыберите другое название."},
      {"B", {"scriptlib", "publish", "--in=" + s1, "--title=Второй", "--private", "--universal", "--lcid=1033"}, 0,
       {kScriptCaptions, "2\tМой\tВторой\tБоб\tУниверсальный\t1.0.0.1\tENU\t{T}\t0,000\t0\t\t0\t\t"}},
      // A private script is its owner's only; the owner's e-mail goes to nobody else.
      {"A", {"scriptlib", "list", "--filter=1"}, 0, {kScriptCaptions, row1, "Сценариев: 1"}},
      {"B", {"scriptlib", "list", "--filter=1"}, 0,
       {kScriptCaptions, "1\tОбщий\tПервый\tАнна\tQuintar_7x35\t1.0.0.1\tRUS\t{T}\t0,000\t0\t\t0\t\tДве строки",
        "2\tМой\tВторой\tБоб\tУниверсальный\t1.0.0.1\tENU\t{T}\t0,000\t0\t\t0\t\t", "Сценариев: 2"}},
      {"A", {"scriptlib", "view", "2"}, 1, {}, "Сценарий #2 не найден в online-каталоге!"},
      {"A", {"scriptlib", "download", "2"}, 1, {}, "Сценарий #2 не найден в online-каталоге!"},
      {"B", {"scriptlib", "view", "2"}, 0,
       {"Поле\tЗначение", "Id\t2", "Автор\tБоб", "Язык\tENU", "Название\tВторой", "Описание\t",
        "Доступность\tСценарий виден только мне", "Применяемость\tВ любом приложении Zembra"}},
      {"A", {"scriptlib", "view", "1"}, 0,
       {"Поле\tЗначение", "Id\t1", "Автор\tАнна", "Язык\tRUS", "Название\tПервый", "Описание\tДве строки",
        "Доступность\tСценарий виден всем пользователям", "Применяемость\tТолько в \"Quintar_7x35\""}},
      // Ratings: the list follows each one; a user without e-mail rates too, and nothing is his own.
      {"B", {"scriptlib", "rate", "1", "5", "--comment=Отлично, спасибо"}, 0,
       {kScriptCaptions, "1\tОбщий\tПервый\tАнна\t{*}\t{*}\t{*}\t{T}\t5,000\t1\t5\t0\t\tДве строки",
        "2\tМой\tВторой\t{*}\t{*}\t{*}\t{*}\t{T}\t0,000\t0\t\t0\t\t", "Сценариев: 2"}},
      {"N", {"scriptlib", "rate", "1", "3"}, 0,
       {kScriptCaptions, "1\tОбщий\tПервый\tАнна\t{*}\t{*}\t{*}\t{T}\t4,000\t2\t3\t0\t\tДве строки", "Сценариев: 1"}},
      {"A", {"scriptlib", "rates", "1"}, 0,
       {"Имя\tОценка\tДата\tПрограмма\tВерсия\tКомментарии", "Ник\t3\t{T}\tQuintar_7x35\t1.0.0.1\t",
        "Боб\t5\t{T}\tQuintar_7x35\t1.0.0.1\tОтлично, спасибо", "Оценок: 2"}},
      {"A", {"scriptlib", "hide", "1"}, 0, {kScriptCaptions, "Сценариев: 0"}},
      {"A", {"scriptlib", "list", "--filter=0"}, 0,
       {kScriptCaptions, "1\tМой\tПервый\t{*}\t{*}\t{*}\t{*}\t{T}\t4,000\t2\tСкрытый\t0\t\tДве строки", "Сценариев: 1"}},
      {"A", {"scriptlib", "unrate", "1", "--filter=3"}, 0,
       {kScriptCaptions, "1\tМой\tПервый\t{*}\t{*}\t{*}\t{*}\t{T}\t4,000\t2\t\t0\t\tДве строки", "Сценариев: 1"}},
      // Downloading replaces the working script whole; --out writes a file and leaves it alone.
      {"B", {"scriptlib", "download", "1"}, 0, {"Строк: 2"}, "",
       [&] { EXPECT_EQ(ReadWholeFile(b_.File("Quintar_7x35.lss")), script1); }},
      {"B", {"scriptlib", "download", "1", "--out=" + b_.File("copy.lsc")}, 0, {"Строк: 2"}, "",
       [&] { EXPECT_EQ(ReadWholeFile(b_.File("copy.lsc")), script1); }},
      {"A", {"scriptlib", "list", "--filter=3"}, 0,
       {kScriptCaptions, "1\tМой\t{*}\t{*}\t{*}\t{*}\t{*}\t{T}\t4,000\t2\t\t2\t{T}\tДве строки", "Сценариев: 1"}},
      // Only the owner replaces and deletes; the working script is what a publish sends by default.
      {"B", {"scriptlib", "replace", "1", "--in=" + s2}, 1, {},
       "Вы можете изменять и удалять только свои сценарии этого приложения!"},
      {"B", {"scriptlib", "delete", "1"}, 1, {}, "Вы можете изменять и удалять только свои сценарии этого приложения!"},
      {"A", {"scriptlib", "replace", "1", "--in=" + s2, "--title=Первый, правка", "--private"}, 0,
       {kScriptCaptions, "1\tМой\tПервый, правка\tАнна\tQuintar_7x35\t1.0.0.1\tRUS\t{T}\t4,000\t2\t\t2\t{T}\tДве строки"}},
      {"B", {"scriptlib", "download", "1"}, 1, {}, "Сценарий #1 не найден в online-каталоге!",
       [&] { EXPECT_EQ(ReadWholeFile(b_.File("Quintar_7x35.lss")), script1); }},
      {"A", {"scriptlib", "download", "1"}, 0, {"Строк: 1"}, "",
       [&] { EXPECT_EQ(ReadWholeFile(a_.File("Quintar_7x35.lss")), script2); }},
      {"A", {"scriptlib", "replace", "1", "--public"}, 0,
       {kScriptCaptions, "1\tМой\tПервый, правка\t{*}\t{*}\t{*}\t{*}\t{T}\t{*}\t{*}\t\t{*}\t{*}\tДве строки"}},
      {"A", {"scriptlib", "delete", "1"}, 0, {"Удалено: 1"}},
      {"A", {"scriptlib", "view", "1"}, 1, {}, "Сценарий #1 не найден в online-каталоге!"},

      // Systems. An empty catalogue answers with the placeholder row.
      {"A", {"systems", "list"}, 0, {kSystemCaptions, "-1\tСписок систем не доступен!\t\t\t\t\t\t\t\t\t\t", "Систем: 0"}},
      {"A", {"systems", "add", "--title=Х", "--descr=Тест", "--file=" + wheel, "--nums=7"}, 1, {},
       "Указано недопустмое количество используемых чисел!"},
      {"A", {"systems", "add", "--title=Х", "--descr=Тест", "--file=" + wheel, "--olap=7"}, 1, {},
       "Указан недопустмый размер блока!"},
      {"A", {"systems", "add", "--title=Х", "--file=" + wheel}, 1, {}, "Описание системы должно быть указано обязательно!"},
      {"A", {"systems", "add", "--title=Х", "--descr=Тест"}, 1, {}, "Указано недопустмое количество используемых чисел!"},
      // The list is normalised: seven fields a line, "%.2d"; "Числа" the largest position.
      {"A", {"systems", "add", "--title=Колесо", "--descr=Тест", "--file=" + wheel, "--url=https://example.org/k"}, 0,
       {kSystemCaptions, "1\tКолесо\tАнна\t14\t0\t2\t{T}\t\t0\t\tТест\thttps://example.org/k"}},
      {"A", {"systems", "add", "--title=Без первой", "--descr=Тест", "--file=" + noFirst, "--olap=2"}, 0,
       {kSystemCaptions, "2\tБез первой\tАнна\t08\t2\t1\t{T}\t\t0\t\tТест\t"}},
      {"A", {"systems", "show", "1"}, 0,
       {"Поле\tЗначение", "Id\t1", "Наименование\tКолесо", "Описание\tТест", "Автор\tАнна",
        "Ссылка\thttps://example.org/k", "Создана\t{T}", "Комбинаций\t2", "Числа\t14", "Длина\t7", "Блок\t0",
        "Загрузок\t0", "Последняя\t", "Комбинация\t01 02 03 04 05 06 07", "Комбинация\t08 09 10 11 12 13 14"}},
      {"B", {"systems", "edit", "1", "--descr=Чужое"}, 1, {}, "Вы можете изменять только свои системы!"},
      {"B", {"systems", "delete", "1"}, 1, {}, "Вы можете удалять только свои системы!"},
      {"B", {"systems", "download", "1"}, 0,
       {kSystemCaptions, "1\tКолесо\tАнна\t14\t0\t2\t{T}\tЗагружена\t1\t{T}\tТест\thttps://example.org/k",
        "2\tБез первой\tАнна\t08\t2\t1\t{T}\t\t0\t\tТест\t", "Систем: 2"},
       "",
       [&] {
         EXPECT_EQ(ReadWholeFile(bSystems + "7-14-0_0001.dat"), "01 02 03 04 05 06 07\r\n08 09 10 11 12 13 14\r\n");
         // A stray file for 14 numbers, of a system no longer listed.
         WriteBytes(bSystems + "7-14-1_0099.dat", "1 2 3 4 5 6 7\r\n");
       }},
      {"B", {"systems", "add", "--title=Колесо Боба", "--descr=Три строки", "--file=" + wheel2}, 0,
       {kSystemCaptions, "3\tКолесо Боба\tБоб\t14\t0\t3\t{T}\t\t0\t\tТри строки\t"}},
      // After a download at most one system per count of numbers is on disk, listed or not.
      {"B", {"systems", "download", "3", "2"}, 0,
       {kSystemCaptions, "1\tКолесо\tАнна\t14\t0\t2\t{T}\t\t{*}\t{*}\tТест\t{*}",
        "2\tБез первой\tАнна\t08\t2\t1\t{T}\tЗагружена\t0\t\tТест\t",
        "3\tКолесо Боба\tБоб\t14\t0\t3\t{T}\tЗагружена\t0\t\tТри строки\t", "Систем: 3"},
       "",
       [&] {
         EXPECT_FALSE(quintar::FileExists(bSystems + "7-14-0_0001.dat"));
         EXPECT_FALSE(quintar::FileExists(bSystems + "7-14-1_0099.dat"));
         EXPECT_TRUE(quintar::FileExists(bSystems + "7-08-2_0002.dat"));
         // Another version on disk: the next list fetches the catalogue's one again.
         WriteBytes(bSystems + "7-14-0_0003.dat", "1 2 3 4 5 6 7\r\n");
         utimbuf t{1000000000, 1000000000};
         ::utime((bSystems + "7-14-0_0003.dat").c_str(), &t);
       }},
      {"B", {"systems", "list"}, 0, {"-"}, "",
       [&] {
         EXPECT_EQ(ReadWholeFile(bSystems + "7-14-0_0003.dat"),
                   "01 02 03 04 05 06 14\r\n07 08 09 10 11 12 13\r\n01 03 05 07 09 11 13\r\n");
         EXPECT_NE(MTime(bSystems + "7-14-0_0003.dat"), 1000000000);
       }},
      // Stakes of kind "Система": the whole system, or only its lines that are in the combination list.
      {"B", {"systems", "stake", "--in=" + combs, "--draw=7", "--draws=1"}, 0,
       {"7\tСистема\t1;2;3;4;5;6;14\t3\t\t\t\t{*}\tСистемная игра для 14 чисел [вся система]: 7-14-0_0003",
        "7\tСистема\t7;8;9;10;11;12;13\t3\t\t\t\t{*}\tСистемная игра для 14 чисел [вся система]: 7-14-0_0003",
        "7\tСистема\t1;3;5;7;9;11;13\t3\t\t\t\t{*}\tСистемная игра для 14 чисел [вся система]: 7-14-0_0003",
        "Ставок: 3"}},
      {"B", {"systems", "stake", "--combined", "--in=" + other, "--draw=7", "--comment=Комб"}, 0,
       {"\t\t\t\t\t\t\t\t", "Ставок: 4"}},
      {"B", {"systems", "stake", "--combined", "--in=" + files_.File("missing.lcv")}, 1, {"-"}, "Ошибка чтения файла"},
      {"A", {"systems", "stake", "--in=" + combs}, 1, {}, "Система для 14 чисел не найдена или не загружена"},
      {"A", {"systems", "edit", "1", "--descr=Новое описание", "--file=" + noFirst}, 0,
       {kSystemCaptions, "1\tКолесо\tАнна\t08\t0\t1\t{T}\t\t{*}\t{*}\tНовое описание\thttps://example.org/k"}},
      {"A", {"systems", "delete", "2"}, 0, {"Удалено: 2"}},
      {"B", {"systems", "list"}, 0,
       {kSystemCaptions, "1\tКолесо\tАнна\t08\t0\t1\t{T}\t\t{*}\t{*}\tНовое описание\t{*}",
        "3\tКолесо Боба\tБоб\t14\t0\t3\t{T}\tЗагружена\t{*}\t{T}\tТри строки\t", "Систем: 2"}},
  });
}

// Usage errors exit with 2 before anything is sent.
TEST_F(CatalogueCli, UsageErrorsSendNothing) {
  const std::string title65(65, 'x');
  const std::vector<std::vector<std::string>> cases = {
      {"scriptlib"},
      {"scriptlib", "frob"},
      {"scriptlib", "view"},
      {"scriptlib", "view", "0"},
      {"scriptlib", "view", "x1"},
      {"scriptlib", "rates", "1", "2"},
      {"scriptlib", "rate", "1", "6"},
      {"scriptlib", "rate", "1", "0"},
      {"scriptlib", "hide", "1", "--comment=x"},
      {"scriptlib", "list", "--filter=8"},
      {"scriptlib", "list", "--filter=-1"},
      {"scriptlib", "list", "--frob"},
      {"scriptlib", "publish", "--title=" + title65},
      {"scriptlib", "publish", "--author=" + title65},
      {"scriptlib", "publish", "--lcid=x"},
      {"scriptlib", "publish", "--public"},
      {"scriptlib", "replace", "1", "--public", "--private"},
      {"scriptlib", "delete", "-2"},
      {"systems"},
      {"systems", "show", "0"},
      {"systems", "download"},
      {"systems", "download", "1", "z"},
      {"systems", "add", "--nums=x"},
      {"systems", "add", "--olap=1.5"},
      {"systems", "add", "--title=" + title65},
      {"systems", "edit", "1", "--author=" + title65},
      {"systems", "stake", "--draw=x"},
      {"systems", "stake", "--base-url=http://x"},
      {"identity", "extra"},
  };
  const int before = Requests();
  for (const auto& args : cases) {
    std::vector<std::string> a = {"--data-dir=" + a_.Path()};
    a.insert(a.end(), args.begin(), args.end());
    std::string out, err;
    std::string what;
    for (const auto& x : args) what += x + " ";
    EXPECT_EQ(RunCli(a, &out, &err), 2) << what << err;
    EXPECT_EQ(out, "") << what;
  }
  EXPECT_EQ(Requests(), before);
  // Without an address there is no service: the command fails with its message.
  std::string out, err;
  EXPECT_EQ(RunCli({"--data-dir=" + a_.Path(), "scriptlib", "list", "--base-url="}, &out, &err), 1);
  EXPECT_NE(err.find("Ошибка загрузки каталога online-сценариев!\n\nАдрес online-каталога не задан!"), std::string::npos)
      << err;
  EXPECT_EQ(RunCli({"--data-dir=" + a_.Path(), "systems", "list", "--base-url="}, &out, &err), 1);
  EXPECT_NE(err.find("Ошибка загрузки списка систем!\n\nАдрес online-каталога не задан!"), std::string::npos) << err;
  EXPECT_EQ(Requests(), before);
}
