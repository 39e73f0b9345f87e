// The rating: record layout, folding, the view's cells in the three efficiency modes, sorting, the file,
// the CSV export, rows turned back into script lines and the chart data.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "combs/ratings.h"
#include "combs/stakesview.h"
#include "testutil.h"
#include "util/cp1251.h"
#include "util/safefile.h"
#include "util/strutil.h"

using namespace quintar;
using quintar::test::MakeDraw;
using quintar::test::TempDir;

namespace {

// A checked stake with the comment, match count and profit.
TStakeRec Checked(const std::string& comment, int matches, int64_t profit = -10000, int draw = 100) {
  TStakeRec r = EmptyStake();
  r.Kind = skScript;
  r.Draw = draw;
  r.Checked = 1;
  r.Numbers.Count = 7;
  r.Matches.Count = matches;
  r.Profit = profit;
  r.SetComment(comment);
  return r;
}

// A row with the counts of 0..7 matches and the profit; stakes and guessed follow from the counts.
TRatingRec Row(const std::string& name, std::initializer_list<int> counts, int64_t profit = 0) {
  TRatingRec r = MakeRatingRec(name);
  int i = 0;
  for (int c : counts) {
    r.Counts[i] = c;
    r.Stakes += c;
    r.Guessed += i * c;
    ++i;
  }
  r.Profit = profit;
  return r;
}

std::vector<std::string> Names(const TRatings& r) {
  std::vector<std::string> out;
  for (const auto& row : r.Rows()) out.push_back(row.Name());
  return out;
}

template <class F>
int InChild(F fn) {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(fn());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(RatingRecord, BytesFollowTheRecordTable) {
  TRatingRec r = Row("Тест", {1, 0, 2, 0, 0, 0, 0, 1}, -123456789);
  std::string bytes(reinterpret_cast<const char*>(&r), sizeof r);
  std::string want(304, '\0');
  const std::string name = Utf8ToCp1251("Тест");
  want[0] = static_cast<char>(name.size());
  std::memcpy(&want[1], name.data(), name.size());
  int32_t stakes = 4, guessed = 11, counts[8] = {1, 0, 2, 0, 0, 0, 0, 1};
  int64_t profit = -123456789;
  std::memcpy(&want[256], &stakes, 4);
  std::memcpy(&want[260], &guessed, 4);
  std::memcpy(&want[264], counts, 32);
  std::memcpy(&want[296], &profit, 8);
  EXPECT_EQ(bytes, want);
  r.SetName(std::string(300, 'y'));
  EXPECT_EQ(r.NameLen, 255);
  EXPECT_EQ(r.Name(), std::string(255, 'y'));
}

TEST(RatingChances, TablesOfMatchesByChance) {
  const TMatchChances& c = MatchChances();
  const int64_t q[8] = {1184040, 2637180, 2063880, 716625, 114660, 7938, 196, 1};
  int64_t sum = 0;
  double p = 0;
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(c.Q[i], q[i]) << i;
    EXPECT_DOUBLE_EQ(c.P[i], static_cast<double>(q[i]) / 6724520.0) << i;
    sum += c.Q[i];
    p += c.P[i];
  }
  EXPECT_EQ(sum, COMBS_TOTAL);
  EXPECT_NEAR(p, 1.0, 1e-12);
  EXPECT_EQ(&MatchChances(), &c);  // computed once
}

TEST(RatingFold, CommentsThatDifferOnlyInCaseMakeOneRow) {
  TRatings r;
  EXPECT_TRUE(r.AddToRating(Checked("01.000: Тест @ FULL#RAND + TSD#SUMS:100#LNO:#SF:1", 2, 50000)));
  EXPECT_TRUE(r.AddToRating(Checked("01.000: тЕСТ @ full#rand + tsd#sums:100#lno:#sf:1", 3, -10000)));
  EXPECT_TRUE(r.AddToRating(Checked("Другое", 0)));
  // Stakes of one source come in runs; a row found through the last comment must be the same row.
  EXPECT_TRUE(r.AddToRating(Checked("ДРУГОЕ", 7, 1000000)));
  EXPECT_TRUE(r.AddToRating(Checked("01.000: ТЕСТ @ FULL#RAND + TSD#SUMS:100#LNO:#SF:1", 2)));
  ASSERT_EQ(r.Count(), 2);
  const TRatingRec& a = r[0];
  EXPECT_EQ(a.Name(), "01.000: Тест @ FULL#RAND + TSD#SUMS:100#LNO:#SF:1");  // the first comment names it
  EXPECT_EQ(a.Stakes, 3);
  EXPECT_EQ(a.Guessed, 7);
  EXPECT_EQ(a.Counts[2], 2);
  EXPECT_EQ(a.Counts[3], 1);
  EXPECT_EQ(a.Profit, 30000);
  EXPECT_EQ(r[1].Stakes, 2);
  EXPECT_EQ(r[1].Counts[0], 1);
  EXPECT_EQ(r[1].Counts[7], 1);
  EXPECT_EQ(r[1].Profit, 990000);

  // Unchecked stakes and impossible match counts are left out; folding still finds rows after a sort.
  EXPECT_FALSE(r.AddToRating(Checked("Другое", -1)));
  EXPECT_FALSE(r.AddToRating(Checked("Другое", 8)));
  r.Sort(1, false);
  EXPECT_TRUE(r.AddToRating(Checked("другое", 1)));
  ASSERT_EQ(r.Count(), 2);
  EXPECT_EQ(r[0].Name(), "Другое");
  EXPECT_EQ(r[0].Stakes, 3);
}

TEST(RatingView, EfficiencyInTheThreeModes) {
  // 10 stakes, 3 of them with 1 match: chance expects 10 * 2,637,180 / 6,724,520 = 3.92 of them.
  TRatingRec r = Row("Ставка \"вручную\"", {7, 3}, MoneyFromDouble(-7.5));
  EXPECT_EQ(RatingCell(r, 14 + 1, remExpected), "4");
  EXPECT_EQ(RatingCell(r, 14 + 1, remAbsolute), "-9,217%");
  EXPECT_EQ(RatingCell(r, 14 + 1, remRelative), "76,497%");
  EXPECT_EQ(RatingCell(r, 14 + 7, remExpected), "0");
  EXPECT_EQ(RatingCell(r, 14 + 7, remRelative), "0,000%");
  EXPECT_EQ(RatingCell(r, 14 + 0, remAbsolute), "52,392%");  // 70 - 17.608

  const auto cells = RatingCells(r, remAbsolute);
  ASSERT_EQ(cells.size(), 22u);
  EXPECT_EQ(cells[0], "Ставка \"вручную\"");
  EXPECT_EQ(cells[1], "10");
  EXPECT_EQ(cells[2], "3");
  EXPECT_EQ(cells[3], "0,300");
  EXPECT_EQ(cells[4], "-7,50");
  EXPECT_EQ(cells[5], "-0,75");
  EXPECT_EQ(cells[6], "7");
  EXPECT_EQ(cells[7], "3");
  EXPECT_EQ(cells[13], "0");

  const auto captions = RatingCaptions();
  ASSERT_EQ(captions.size(), 22u);
  EXPECT_EQ(captions[5], "Ср. профит");
  EXPECT_EQ(captions[6], "0");
  EXPECT_EQ(captions[21], "E7");
  EXPECT_EQ(RatingsCountText(12), "Рейтинг: 12");
}

TEST(RatingView, EmptyAndBadRows) {
  // Without stakes every cell is empty (no division by zero).
  TRatingRec empty = MakeRatingRec("Пусто");
  for (const auto& c : RatingCells(empty, remRelative)) EXPECT_EQ(c, "");
  // Counts that contradict the stake count cannot be shown.
  TRatingRec bad = Row("Испорчено", {1, 2});
  bad.Stakes = 5;
  EXPECT_TRUE(RatingRowBad(bad));
  auto cells = RatingCells(bad, remAbsolute);
  EXPECT_EQ(cells[0], "# bad data #");
  for (size_t i = 1; i < cells.size(); ++i) EXPECT_EQ(cells[i], "");
  TRatingRec negative = Row("Отрицательно", {1});
  negative.Counts[3] = -1;
  negative.Counts[4] = 1;
  negative.Guessed = 1;
  EXPECT_TRUE(RatingRowBad(negative));
  EXPECT_FALSE(RatingRowBad(Row("Хорошо", {1, 2, 3})));
}

TEST(RatingSort, ByEveryKindOfColumnWithRowsWithoutStakes) {
  TRatings r;
  r.Append(Row("b", {1, 1}, 300));          // average 0.5, profit 0.03
  r.Append(MakeRatingRec("zero 1"));
  r.Append(Row("A", {0, 0, 2}, -100));      // average 2
  r.Append(Row("a", {3, 0, 0, 1}, 5000));   // average 0.75
  r.Append(MakeRatingRec("zero 2"));
  r.Append(Row("c", {0, 1}, 300));          // average 1

  r.Sort(3, true);
  EXPECT_EQ(Names(r), (std::vector<std::string>{"A", "c", "a", "b", "zero 1", "zero 2"}));
  r.Sort(3, false);
  EXPECT_EQ(Names(r), (std::vector<std::string>{"b", "a", "c", "A", "zero 1", "zero 2"}));
  // Equal profits keep their order; rows without stakes go last either way.
  r.Sort(4, true);
  EXPECT_EQ(Names(r), (std::vector<std::string>{"a", "b", "c", "A", "zero 1", "zero 2"}));
  r.Sort(1, false);
  EXPECT_EQ(Names(r), (std::vector<std::string>{"c", "b", "A", "a", "zero 1", "zero 2"}));
  r.Sort(6, true);  // count of 0 matches
  EXPECT_EQ(Names(r), (std::vector<std::string>{"a", "b", "c", "A", "zero 1", "zero 2"}));
  // Names: alphabetical, lower case before upper case.
  r.Sort(0, false);
  EXPECT_EQ(Names(r), (std::vector<std::string>{"a", "A", "b", "c", "zero 1", "zero 2"}));
  // An efficiency column orders nothing, and neither does a column that does not exist.
  for (int col : {14, 21, 22, -1}) {
    r.Sort(col, true);
    EXPECT_EQ(Names(r), (std::vector<std::string>{"a", "A", "b", "c", "zero 1", "zero 2"}));
  }
  EXPECT_EQ(CompareRatings(r[0], r[4], 1), 0);
  EXPECT_EQ(CompareRatings(r[4], r[0], 1), 0);

  // Many rows without stakes among many rows with them: a consistent order, no fault.
  TRatings big;
  for (int i = 0; i < 500; ++i) {
    if (i % 3 == 0)
      big.Append(MakeRatingRec("z" + std::to_string(i)));
    else
      big.Append(Row("r" + std::to_string(i), {i % 7, i % 5, i % 11}, (i * 7919) % 1000));
  }
  for (int col = 0; col < 14; ++col) {
    big.Sort(col, col % 2 == 0);
    bool zeros = false;
    for (int i = 0; i < big.Count(); ++i) {
      if (big[i].Stakes == 0) {
        zeros = true;
      } else {
        EXPECT_FALSE(zeros) << "a row with stakes after rows without, column " << col;
        if (i > 0) {
          const int c = CompareRatings(big[i - 1], big[i], col);
          EXPECT_TRUE(col % 2 == 0 ? c >= 0 : c <= 0) << "column " << col << " row " << i;
        }
      }
    }
  }
}

TEST(RatingFile, SavedLoadedAndSurvivesACrashBeforeTheRename) {
  TempDir dir;
  const std::string path = dir.File("Quintar_7x35.lrt");
  TRatings r;
  r.Append(Row("Первая", {1, 2, 3}, 100));
  r.Append(Row("Вторая", {0, 0, 0, 0, 0, 0, 0, 2}, -5));
  r.SaveToFile(path);
  EXPECT_EQ(FileSizeOf(path), 2 * 304);
  const std::string saved = ReadWholeFile(path);

  TRatings loaded;
  loaded.LoadFromFile(path);
  ASSERT_EQ(loaded.Count(), 2);
  EXPECT_EQ(std::memcmp(loaded.Rows().data(), r.Rows().data(), 2 * 304), 0);

  // The process dies after writing the new rating and before the rename: the old file stays whole.
  TRatings changed = r;
  changed.AddToRating(Checked("Третья", 4));
  changed.BeforeReplace = [] { ::_exit(3); };
  EXPECT_EQ(InChild([&] {
              changed.SaveToFile(path);
              return 0;
            }),
            3);
  EXPECT_EQ(ReadWholeFile(path), saved);
  loaded.LoadFromFile(path);
  EXPECT_EQ(Names(loaded), (std::vector<std::string>{"Первая", "Вторая"}));

  // A failure at that point leaves the old file and no temporary file behind.
  changed.BeforeReplace = [] { throw EQuintar("нет места"); };
  EXPECT_THROW(changed.SaveToFile(path), EQuintar);
  EXPECT_EQ(ReadWholeFile(path), saved);
  changed.BeforeReplace = nullptr;
  changed.SaveToFile(path);
  loaded.LoadFromFile(path);
  EXPECT_EQ(loaded.Count(), 3);

  // A trailing part of a record is reported; the whole records before it are kept.
  test::WriteBytes(path, saved + std::string(100, 'x'));
  EXPECT_THROW(loaded.LoadFromFile(path), EQuintar);
  EXPECT_EQ(Names(loaded), (std::vector<std::string>{"Первая", "Вторая"}));
  EXPECT_THROW(loaded.LoadFromFile(dir.File("missing.lrt")), std::exception);
  EXPECT_EQ(loaded.Count(), 0);
}

TEST(RatingCsv, HeaderOf22CaptionsAnd14FieldsPerRow) {
  TRatings r;
  r.Append(Row("Ставка \"вручную\"", {7, 3}, MoneyFromDouble(-7.5)));
  r.Append(MakeRatingRec("Пусто"));
  const std::string text = RatingsCsvText(r.Rows());
  const auto lines = SplitAny(text, "\n", true);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0],
            "\"Комментарий\";\"Ставок\";\"Угадано\";\"Среднее\";\"Профит\";\"Ср. профит\";\"0\";\"1\";\"2\";\"3\";"
            "\"4\";\"5\";\"6\";\"7\";\"E0\";\"E1\";\"E2\";\"E3\";\"E4\";\"E5\";\"E6\";\"E7\"\r");
  EXPECT_EQ(lines[1], "\"Ставка \"\"вручную\"\"\";10;3;0,300;-7,50;-0,75;7;3;0;0;0;0;0;0\r");
  EXPECT_EQ(lines[2], "\"Пусто\";0;0;;0,00;;0;0;0;0;0;0;0;0\r");
  EXPECT_EQ(SplitDelimitedText(Trim(lines[1]), ';', '"').size(), 14u);

  TempDir dir;
  ExportRatingsCsv(dir.File("r.csv"), r.Rows());
  EXPECT_EQ(ReadWholeFile(dir.File("r.csv")), Utf8ToCp1251(text));
}

TEST(RatingToScript, ScriptStakeCommentsTurnBackIntoLines) {
  EXPECT_EQ(RatingToScriptLine("03.002: my comment @ EXCL:5#RAND + TSD#SUMS:100#LMV:5#SF:1"),
            "EXCL:5#RAND|TSD#SUMS:100#LMV:5#SF:1| | | | | | |03.002: my comment");
  EXPECT_EQ(RatingToScriptLine("01.001: @ FULL#ALL#NEX + TSD#SUMS:100#LNO:#SF:1 + BMF#NUMS:10#LMV:3#ST:4"),
            "FULL#ALL#NEX|TSD#SUMS:100#LNO:#SF:1|BMF#NUMS:10#LMV:3#ST:4| | | | | |01.001:");
  // Seven filters fill every filter field.
  std::string seven = "x @ curr#first";
  for (int i = 0; i < 7; ++i) seven += " + TSD#SUMS:" + std::to_string(i + 1) + "#LNO:#SF:1";
  auto line = RatingToScriptLine(seven);
  ASSERT_TRUE(line);
  EXPECT_EQ(line->substr(line->size() - 2), "|x");
  EXPECT_EQ(std::count(line->begin(), line->end(), '|'), 8);
  // Without an at sign the whole name is the header and the filters, and the comment is empty.
  EXPECT_EQ(RatingToScriptLine("FULL#RAND + TSD#SUMS:100#LNO:#SF:1"),
            "FULL#RAND|TSD#SUMS:100#LNO:#SF:1| | | | | | |");

  // Refused: a manual stake, a script line without filters, a header that is no step header.
  EXPECT_FALSE(RatingToScriptLine("Ставка \"вручную\""));
  EXPECT_FALSE(RatingToScriptLine("01.000: @ FULL#FIRST"));
  EXPECT_FALSE(RatingToScriptLine("Регуляр @ таблица 5 + TSD#SUMS:100#LNO:#SF:1"));
  EXPECT_FALSE(RatingToScriptLine(""));
  EXPECT_FALSE(RatingToScriptLine("@"));
}

TEST(RatingCharts, MatchDistributionOfSelectedRows) {
  TRatings r;
  r.Append(Row("Мало", {1, 1}));
  r.Append(Row("Много", {10, 20, 5, 1}));
  r.Append(Row("Лишняя", {100}));
  TGraphData g = RatingsGraphOverlap(r.Rows(), {1, 0});
  EXPECT_EQ(g.Caption, "График количества совпадений для выделенных строк рейтинга");
  ASSERT_EQ(g.Series.size(), 3u);
  const TGraphSeries& normal = g.Series[0];
  EXPECT_EQ(normal.Name, "Нормальные значения");
  EXPECT_EQ(normal.Color, 0x808080u);
  EXPECT_TRUE(normal.ShowPoints);
  EXPECT_FALSE(normal.ShowMarks);
  ASSERT_EQ(normal.Points.size(), 8u);
  EXPECT_DOUBLE_EQ(normal.Points[1].Y, 2637180.0 * 36 / 6724520.0);  // the largest stake count is 36
  EXPECT_EQ(g.Series[1].Name, "Много");
  EXPECT_EQ(g.Series[1].Color, 0u);
  EXPECT_DOUBLE_EQ(g.Series[1].Points[1].Y, 20);
  EXPECT_EQ(g.Series[1].Points[1].X, 1);
  EXPECT_EQ(g.Series[2].Name, "Мало");
  EXPECT_TRUE(RatingsGraphOverlap(r.Rows(), {}).Series.empty());
}

TEST(RatingCharts, StakesOfSelectedRowsOverTheLast100Draws) {
  TempDir dir;
  TStakesFile f(dir.File("s.lsk"));
  f.OpenStakes();
  TDrawArchive archive;
  TStakePrices prices;
  prices.Cost = 10000;
  prices.Profits = {{3, 30000}};
  // Draws 1..102, each with a stake "A" matching 3 numbers and a stake "B" matching none.
  for (int d = 1; d <= 102; ++d) {
    archive.AppendDraw(MakeDraw(d, {1, 2, 3, 4, 5, 6, 7}, 1));
    TComb hit{{1, 2, 3, 20, 21, 22, 23}}, miss{{30, 31, 32, 33, 34, 35, 29}};
    TStakeRec a = MakeStakeRecord(d, 10, &hit, prices.Fn(), skScript);
    a.SetComment("A");
    TStakeRec b = MakeStakeRecord(d, 10, &miss, prices.Fn(), skScript);
    b.SetComment("B");
    f.AddStake(a, 1);
    f.AddStake(b, 1);
  }
  TStakeCheckHooks hooks;
  hooks.Result = prices.Fn();
  ASSERT_TRUE(f.CheckStakes(archive, hooks));

  TGraphData g = StakesGraphOverlap(f, {"a"});
  EXPECT_EQ(g.Caption, "График количества совпадений для всех ставок по тиражам");
  ASSERT_EQ(g.Series.size(), 1u);
  EXPECT_EQ(g.Series[0].Name, "a");
  EXPECT_TRUE(g.Series[0].ShowPoints);
  EXPECT_TRUE(g.Series[0].ShowMarks);
  ASSERT_EQ(g.Series[0].Points.size(), 100u);
  EXPECT_EQ(g.Series[0].Points.front().X, 3);
  EXPECT_EQ(g.Series[0].Points.back().X, 102);
  EXPECT_DOUBLE_EQ(g.Series[0].Points.back().Y, 3);
  EXPECT_EQ(g.Series[0].Points.back().Label, "102");

  g = StakesGraphProfits(f, {"A", "b"});
  EXPECT_EQ(g.Caption, "График профита для всех ставок по тиражам");
  ASSERT_EQ(g.Series.size(), 2u);
  EXPECT_DOUBLE_EQ(g.Series[0].Points[0].Y, 2.0);  // 3.00 prize - 1.00 cost
  EXPECT_DOUBLE_EQ(g.Series[1].Points[0].Y, -1.0);

  // No names, or stakes of fewer than two draws: the error of the charts.
  try {
    StakesGraphOverlap(f, {});
    FAIL();
  } catch (const EQuintar& e) {
    EXPECT_STREQ(e.what(), kGraphNoDraws);
  }
  f.RewriteStakes([](int index, const TStakeRec&) { return index < 2; });
  EXPECT_THROW(StakesGraphProfits(f, {"A"}), EQuintar);
}

TEST(RatingFold, ACheckedStakeIsHeardOfOnlyOnceItIsOnDisk) {
  // Were a stake folded before its checked state reached the file, a failed write would let the next
  // check fold it a second time.
  TempDir dir;
  const std::string path = dir.File("s.lsk");
  TStakesFile f(path);
  f.OpenStakes();
  TDrawArchive archive;
  archive.AppendDraw(MakeDraw(7, {1, 2, 3, 4, 5, 6, 7}, 1));
  TStakePrices prices;
  TComb c{{1, 2, 3, 4, 30, 31, 32}};
  for (int i = 0; i < 5000; ++i) f.AddStake(MakeStakeRecord(7, 1, &c, prices.Fn()), 1);
  int heard = 0, onDisk = 0;
  TStakeCheckHooks hooks;
  hooks.Result = prices.Fn();
  hooks.Checked = [&](const TStakeRec&) {
    if (++heard % 1000 != 1) return;
    const std::string bytes = ReadWholeFile(path);
    TStakeRec r;
    std::memcpy(&r, bytes.data() + static_cast<size_t>(heard - 1) * sizeof r, sizeof r);
    if (r.Checked == 1 && r.Matches.Count == 4) ++onDisk;
  };
  ASSERT_TRUE(f.CheckStakes(archive, hooks));
  EXPECT_EQ(heard, 5000);
  EXPECT_EQ(onDisk, 5);
}
