// The rating in the session: checked stakes folded in, loading and saving, the commands of the page and
// their enabling rules.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/session.h"
#include "testutil.h"
#include "util/inifile.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::MakeDraw;
using quintar::test::ScriptedHost;
using quintar::test::TempDir;

namespace {

struct Fixture {
  TempDir dir;
  ScriptedHost host;
  Session s{dir.Path(), host};
  TStakesFile stakes{dir.File("Quintar_7x35.lsk")};
  TStakePrices prices;

  Fixture() {
    prices.Cost = 10000;
    prices.Profits = {{2, 20000}, {3, 50000}};
    stakes.OpenStakes();
  }
  // A stake for the draw on the numbers with the comment.
  void Stake(int draw, std::initializer_list<int> nums, const std::string& comment) {
    TComb c{};
    int i = 0;
    for (int n : nums) c[i++] = static_cast<uint8_t>(n);
    TStakeRec r = MakeStakeRecord(draw, 100, &c, prices.Fn(), skScript);
    r.SetComment(comment);
    stakes.AddStake(r, 1);
  }
  TStakeCheckHooks Hooks() {
    TStakeCheckHooks h;
    h.Result = prices.Fn();
    return h;
  }
  std::string RatingFile() const { return dir.File("Quintar_7x35.lrt"); }
  bool Saw(const std::string& status) const {
    return std::find(host.statuses.begin(), host.statuses.end(), status) != host.statuses.end();
  }
};

std::vector<std::string> Names(const TRatings& r) {
  std::vector<std::string> out;
  for (const auto& row : r.Rows()) out.push_back(row.Name());
  return out;
}

constexpr const char* kLineA = "01.000: @ FULL#RAND + TSD#SUMS:100#LNO:#SF:1";
constexpr const char* kLineB = "02.000: второй @ EXCL:3#FIRST + BMF#NUMS:10#LMV:3#ST:4";

}  // namespace

TEST(SessionRatings, CheckedStakesAreFoldedSortedAndSaved) {
  Fixture f;
  f.s.Archive.AppendDraw(MakeDraw(10, {1, 2, 3, 4, 5, 6, 7}, 1));
  f.Stake(10, {1, 2, 20, 21, 22, 23, 24}, kLineA);                    // 2 matches: +1.00
  f.Stake(10, {1, 2, 3, 21, 22, 23, 24}, "01.000: @ full#rand + tsd#sums:100#lno:#sf:1");  // 3: +4.00
  f.Stake(10, {30, 31, 32, 33, 34, 35, 29}, kLineB);                  // 0: -1.00
  f.Stake(11, {1, 2, 3, 4, 5, 6, 7}, kLineB);                         // draw not in the archive yet

  // The session's folding is added to whatever the caller already hears of checked stakes.
  int heard = 0;
  TStakeCheckHooks hooks = f.Hooks();
  hooks.Checked = [&](const TStakeRec&) { ++heard; };
  EXPECT_TRUE(f.s.CheckStakesRated(f.stakes, hooks));
  EXPECT_EQ(heard, 3);
  ASSERT_EQ(f.s.Ratings.Count(), 2);
  // Sorted by the view's initial sort: the average, descending.
  EXPECT_EQ(Names(f.s.Ratings), (std::vector<std::string>{kLineA, kLineB}));
  EXPECT_EQ(f.s.Ratings[0].Stakes, 2);
  EXPECT_EQ(f.s.Ratings[0].Guessed, 5);
  EXPECT_EQ(f.s.Ratings[0].Profit, 50000);
  EXPECT_EQ(f.s.Ratings[1].Counts[0], 1);
  EXPECT_EQ(f.host.panels[5], "Рейтинг: 2");
  EXPECT_TRUE(f.Saw("Сортировка рейтинга..."));
  EXPECT_TRUE(f.Saw("Сохранение файла рейтинга..."));
  TRatings saved;
  saved.LoadFromFile(f.RatingFile());
  EXPECT_EQ(Names(saved), Names(f.s.Ratings));

  // Nothing new to check: nothing is saved.
  f.host.statuses.clear();
  EXPECT_FALSE(f.s.CheckStakesRated(f.stakes, f.Hooks()));
  EXPECT_FALSE(f.Saw("Сохранение файла рейтинга..."));

  // The next draw checks the waiting stake; its row takes it and the order follows.
  f.s.Archive.AppendDraw(MakeDraw(11, {1, 2, 3, 4, 5, 6, 8}, 1));
  EXPECT_TRUE(f.s.CheckStakesRated(f.stakes, f.Hooks()));
  ASSERT_EQ(f.s.Ratings.Count(), 2);
  EXPECT_EQ(Names(f.s.Ratings), (std::vector<std::string>{kLineB, kLineA}));  // 6 of 2 against 5 of 2
  EXPECT_EQ(f.s.Ratings[0].Stakes, 2);
  EXPECT_EQ(f.s.Ratings[0].Counts[6], 1);
  saved.LoadFromFile(f.RatingFile());
  EXPECT_EQ(Names(saved), Names(f.s.Ratings));

  // A failed check keeps what it folded and saves it.
  f.Stake(11, {1, 2, 20, 21, 22, 23, 24}, kLineA);
  TStakeCheckHooks failing = f.Hooks();
  failing.Checked = [](const TStakeRec&) { throw EQuintar("сбой"); };
  EXPECT_THROW(f.s.CheckStakesRated(f.stakes, failing), EStakesFile);
  EXPECT_EQ(f.s.Ratings[1].Stakes, 3);
  saved.LoadFromFile(f.RatingFile());
  EXPECT_EQ(saved[1].Stakes, 3);
}

TEST(SessionRatings, LoadSortsBySavedSettingsAndKeepsADamagedFile) {
  Fixture f;
  TRatings r;
  TRatingRec one = MakeRatingRec("один");
  one.Stakes = one.Counts[1] = one.Guessed = 1;
  TRatingRec two = MakeRatingRec("два");
  two.Stakes = two.Counts[0] = 2;
  r.Append(one);
  r.Append(two);
  r.SaveToFile(f.RatingFile());
  // Sorted by stakes, ascending, as the view was left.
  IniFile ini(f.s.Frm.Path());
  ini.WriteString(kMainForm, "lvRatings.SortType", "1,0");
  ini.WriteInteger(kMainForm, "RatingsEffMode", 7);  // not a mode: the default
  ini.UpdateFile();
  f.s.ReadFormKeys();
  EXPECT_EQ(f.s.RatingsSortColumn, 1);
  EXPECT_FALSE(f.s.RatingsSortDescending);
  EXPECT_EQ(f.s.RatingsEffMode, 1);
  f.s.LoadRating();
  EXPECT_EQ(Names(f.s.Ratings), (std::vector<std::string>{"один", "два"}));
  EXPECT_TRUE(f.Saw("Загрузка файла рейтинга..."));
  EXPECT_EQ(f.host.panels[5], "Рейтинг: 2");

  // A damaged file: the rows read are shown, the error too, and the file is not cut down to them.
  const std::string damaged = ReadWholeFile(f.RatingFile()) + "xyz";
  test::WriteBytes(f.RatingFile(), damaged);
  f.s.LoadRating();
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].kind, MsgKind::Error);
  EXPECT_EQ(f.host.messages[0].text.rfind("Ошибка чтения файла рейтинга!\r\r", 0), 0u);
  EXPECT_EQ(f.s.Ratings.Count(), 2);
  EXPECT_EQ(ReadWholeFile(f.RatingFile()), damaged);

  // No file: an empty rating, which is saved.
  DeleteFileIfExists(f.RatingFile());
  f.s.LoadRating();
  EXPECT_TRUE(f.s.Ratings.Empty());
  EXPECT_EQ(FileSizeOf(f.RatingFile()), 0);
}

TEST(SessionRatings, HeaderClicksAndModes) {
  Fixture f;
  f.s.Archive.AppendDraw(MakeDraw(10, {1, 2, 3, 4, 5, 6, 7}, 1));
  f.Stake(10, {1, 2, 3, 21, 22, 23, 24}, "b");
  f.Stake(10, {1, 20, 21, 22, 23, 24, 25}, "a");
  f.Stake(10, {1, 20, 21, 22, 23, 24, 25}, "a");
  f.s.CheckStakesRated(f.stakes, f.Hooks());
  EXPECT_EQ(Names(f.s.Ratings), (std::vector<std::string>{"b", "a"}));
  f.s.RatingsSortBy(1);  // stakes, descending first
  EXPECT_EQ(Names(f.s.Ratings), (std::vector<std::string>{"a", "b"}));
  f.s.RatingsSortBy(1);  // again: ascending
  EXPECT_EQ(Names(f.s.Ratings), (std::vector<std::string>{"b", "a"}));
  EXPECT_FALSE(f.s.RatingsSortDescending);
  f.s.RatingsSortBy(0);  // the name column starts ascending
  EXPECT_EQ(Names(f.s.Ratings), (std::vector<std::string>{"a", "b"}));
  TRatings saved;
  saved.LoadFromFile(f.RatingFile());
  EXPECT_EQ(Names(saved), (std::vector<std::string>{"a", "b"}));

  EXPECT_EQ(f.s.RatingsCells(1)[15], "-39,217%");  // "b": its one stake has 3 matches, none has 1
  f.s.SetRatingsEffMode(0);
  EXPECT_TRUE(f.s.RatingsEffModeChecked(0));
  EXPECT_EQ(f.s.Frm.ReadFormInt(kMainForm, "RatingsEffMode", -1), 0);
  EXPECT_EQ(f.s.RatingsCells(0)[14], "0");  // 2 * p(0) = 0.35
  f.s.SetRatingsEffMode(3);
  EXPECT_EQ(f.s.RatingsEffMode, 0);

  {
    BusyScope busy(f.s);
    EXPECT_FALSE(f.s.CanRatingsExport());
    EXPECT_FALSE(f.s.CanRatingsSort());
  }
}

TEST(SessionRatings, RefreshAsksAndRebuilds) {
  Fixture f;
  f.s.Archive.AppendDraw(MakeDraw(10, {1, 2, 3, 4, 5, 6, 7}, 1));
  f.Stake(10, {1, 2, 3, 21, 22, 23, 24}, kLineA);
  f.s.CheckStakesRated(f.stakes, f.Hooks());
  TRatingRec old = MakeRatingRec("удалённые ставки");
  old.Stakes = old.Counts[0] = 1;
  f.s.Ratings.Append(old);
  f.s.SaveRating();

  f.host.answers = {false};
  EXPECT_FALSE(f.s.RatingsRefresh(f.stakes));
  ASSERT_EQ(f.host.questions.size(), 1u);
  EXPECT_EQ(f.host.questions[0].kind, AskKind::ConfirmYes);
  EXPECT_EQ(f.host.questions[0].text,
            "Пересчитать рейтинг только по текущим ставкам?\r\rНакопленные ранее данные по удаленным ставкам "
            "будут потеряны.");
  EXPECT_EQ(f.s.Ratings.Count(), 2);

  EXPECT_TRUE(f.s.RatingsRefresh(f.stakes));
  EXPECT_EQ(Names(f.s.Ratings), (std::vector<std::string>{kLineA}));
  EXPECT_TRUE(f.Saw("Обновление рейтинга..."));
  TRatings saved;
  saved.LoadFromFile(f.RatingFile());
  EXPECT_EQ(saved.Count(), 1);

  // An empty rating is rebuilt without asking; a closed stakes file is reported.
  f.s.Ratings.Clear();
  f.host.questions.clear();
  f.stakes.CloseStakes();
  EXPECT_FALSE(f.s.RatingsRefresh(f.stakes));
  EXPECT_TRUE(f.host.questions.empty());
  ASSERT_FALSE(f.host.messages.empty());
  EXPECT_EQ(f.host.messages.back().text, "Ошибка обновления рейтинга!\r\rФайл ставок не открыт!");
  EXPECT_EQ(f.s.BusyCount(), 0);
}

TEST(SessionRatings, RowsBackIntoTheScriptAndManualStakesRefused) {
  Fixture f;
  for (const char* name : {kLineA, kManualStakeComment, kLineB}) {
    TRatingRec r = MakeRatingRec(name);
    r.Stakes = r.Counts[0] = 1;
    f.s.Ratings.Append(r);
  }
  std::vector<std::string> script;
  const int added = f.s.RatingsToScript({0, 1, 2}, [&](const std::string& line) { script.push_back(line); });
  EXPECT_EQ(added, 2);
  EXPECT_EQ(script, (std::vector<std::string>{"FULL#RAND|TSD#SUMS:100#LNO:#SF:1| | | | | | |01.000:",
                                              "EXCL:3#FIRST|BMF#NUMS:10#LMV:3#ST:4| | | | | | |02.000: второй"}));
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].text, "Строку\r\rСтавка \"вручную\"\r\rневозможно добавить в сценарий!");
  EXPECT_TRUE(f.Saw("Генерация новых строк в сценарии..."));
  EXPECT_NE(std::find(f.host.changes.begin(), f.host.changes.end(), Change::Script), f.host.changes.end());

  f.host.changes.clear();
  EXPECT_EQ(f.s.RatingsToScript({1}, [&](const std::string& line) { script.push_back(line); }), 0);
  EXPECT_EQ(std::find(f.host.changes.begin(), f.host.changes.end(), Change::Script), f.host.changes.end());
}

TEST(SessionRatings, ChartsAndExport) {
  Fixture f;
  for (int d = 1; d <= 3; ++d) {
    f.s.Archive.AppendDraw(MakeDraw(d, {1, 2, 3, 4, 5, 6, 7}, 1));
    f.Stake(d, {1, 2, 3, 21, 22, 23, 24}, kLineA);
  }
  f.s.CheckStakesRated(f.stakes, f.Hooks());
  auto g = f.s.StakesGraphProfits(f.stakes, {0});
  ASSERT_TRUE(g);
  ASSERT_EQ(g->Series.size(), 1u);
  EXPECT_EQ(g->Series[0].Points.size(), 3u);
  EXPECT_EQ(f.s.RatingsGraphOverlap({0}).Series.size(), 2u);

  // Nothing selected: the error box, no chart.
  EXPECT_FALSE(f.s.StakesGraphOverlap(f.stakes, {}));
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].text,
            "Для построения графиков необходимо, чтобы в выделенном диапазоне данных было более одного тиража!");
  EXPECT_EQ(f.s.BusyCount(), 0);

  EXPECT_TRUE(f.s.RatingsExport(f.dir.File("r.csv")));
  EXPECT_GT(FileSizeOf(f.dir.File("r.csv")), 0);
  EXPECT_FALSE(f.s.RatingsExport(f.dir.File("no/such/folder/r.csv")));
  EXPECT_EQ(f.host.messages.back().text.rfind("Ошибка записи в файл \"", 0), 0u);
}
