// The statistics table: cells with their dash rules and formats, weights, forecasts, the norm scale,
// sorting and the row selection.
#include <gtest/gtest.h>

#include "stats/drawsstat.h"
#include "stattest.h"

namespace quintar {
namespace {

using test::StatBench;

TStatDraw Rec(int key, int count, int depth, int last, int norm = 0, int minP = 0, int maxP = 0) {
  TStatDraw v;
  v.Key = MakeKey(key);
  v.Count = count;
  v.Depth = depth;
  v.LastDraw = last;
  v.Norm = norm;
  v.MinPeriod = static_cast<uint16_t>(minP);
  v.MaxPeriod = static_cast<uint16_t>(maxP);
  return v;
}

TStatTotals Totals(int64_t sum, int minCount, int maxCount, int maxDepth) {
  TStatTotals t;
  t.SumCount = sum;
  t.MinCount = minCount;
  t.MaxCount = maxCount;
  t.MaxDepth = maxDepth;
  return t;
}

TEST(DrawsStatCells, CaptionsInColumnOrder) {
  const auto& c = DrawsStatCaptions();
  EXPECT_EQ(c[0], "Значение");
  EXPECT_EQ(c[2], "Кол-во в %");
  EXPECT_EQ(c[5], "Откл-ие в %");
  EXPECT_EQ(c[9], "Посл. тираж");
  EXPECT_EQ(c[13], "Ожд. ПРД");
  EXPECT_EQ(c[16], "Факт");
  EXPECT_EQ(c[19], "+/- КРН");
  EXPECT_EQ(DrawsStatColumnOf("Количество"), dscCount);
  EXPECT_EQ(DrawsStatColumnOf("нет такой"), -1);
}

TEST(DrawsStatCells, FullRowWithNormsAndFact) {
  // Count 4 over a window of 100, last seen in draw 118, depth 3; norm 5; the next occurrence is 123.
  TStatDraw v = Rec(7, 4, 3, 118, 5, 2, 40);
  TWeightCoefs w;  // (0, -1, 1): (norm - count) + depth
  auto c = DrawsStatCells(v, "7", 100, Totals(700, 1, 30, 12), true, w, 123);
  EXPECT_EQ(c[dscValue], "7");
  EXPECT_EQ(c[dscCount], "4");
  EXPECT_EQ(c[dscCountPct], "0,57143");
  EXPECT_EQ(c[dscNorm], "5");
  EXPECT_EQ(c[dscDeviation], "-1");
  EXPECT_EQ(c[dscDeviationPct], "-20,00000");
  EXPECT_EQ(c[dscDepth], "3");
  EXPECT_EQ(c[dscDepthPct], "25,00");
  EXPECT_EQ(c[dscWeight], "4,00");
  EXPECT_EQ(c[dscLastDraw], "118");
  EXPECT_EQ(c[dscPeriodMin], "2");
  EXPECT_EQ(c[dscPeriod], "25,0000");
  EXPECT_EQ(c[dscPeriodMax], "40");
  EXPECT_EQ(c[dscExpectedPrd], "143");  // 100/4 + 118
  EXPECT_EQ(c[dscExpectedStf], "148");  // 5 * 118 / 4 = 147.5
  EXPECT_EQ(c[dscExpectedKrn], "143");  // 6 * 119 / 5 = 142.8
  EXPECT_EQ(c[dscFact], "123");
  EXPECT_EQ(c[dscDiffPrd], "+20");
  EXPECT_EQ(c[dscDiffStf], "+25");
  EXPECT_EQ(c[dscDiffKrn], "+20");
}

TEST(DrawsStatCells, DashRules) {
  TWeightCoefs w;
  const TStatTotals t = Totals(10, 0, 5, 9);
  // Never seen in the window: only value, count, share and the norm columns.
  auto never = DrawsStatCells(Rec(1, 0, 0, 0, 3), "1", 10, t, true, w, -1);
  EXPECT_EQ(never[dscCount], "0");
  EXPECT_EQ(never[dscCountPct], "0,00000");
  EXPECT_EQ(never[dscNorm], "3");
  EXPECT_EQ(never[dscDeviationPct], "-100,00000");
  for (int i = dscDepth; i < kDrawsStatColumns; ++i) EXPECT_EQ(never[static_cast<size_t>(i)], "-") << i;

  // Count 1: no periods and no ПРД forecast, but СТФ and КРН.
  auto once = DrawsStatCells(Rec(2, 1, 4, 50), "2", 10, t, false, w, 53);
  for (int i = dscPeriodMin; i <= dscExpectedPrd; ++i) EXPECT_EQ(once[static_cast<size_t>(i)], "-") << i;
  EXPECT_EQ(once[dscExpectedStf], "100");  // 2 * 50 / 1
  EXPECT_EQ(once[dscExpectedKrn], "77");   // 3 * 51 / 2 = 76.5
  EXPECT_EQ(once[dscFact], "53");
  EXPECT_EQ(once[dscDiffPrd], "-");  // the forecast is a dash
  EXPECT_EQ(once[dscDiffStf], "+47");
  EXPECT_EQ(once[dscDiffKrn], "+24");
  // Without norms the norm columns are dashes and the deviation does not enter the weight.
  EXPECT_EQ(once[dscNorm], "-");
  EXPECT_EQ(once[dscDeviation], "-");
  EXPECT_EQ(once[dscDeviationPct], "-");
  EXPECT_EQ(once[dscWeight], "4,00");

  // No next occurrence: the last four columns are dashes.
  auto open = DrawsStatCells(Rec(3, 5, 1, 60), "3", 10, t, false, w, -1);
  for (int i = dscFact; i <= dscDiffKrn; ++i) EXPECT_EQ(open[static_cast<size_t>(i)], "-") << i;
  EXPECT_EQ(open[dscExpectedPrd], "62");
  EXPECT_EQ(open[dscDepthPct], "11,11");

  // An empty window: the share is a dash.
  auto empty = DrawsStatCells(Rec(4, 0, 0, 0), "4", 0, Totals(0, 0, 0, 0), false, w, -1);
  EXPECT_EQ(empty[dscCountPct], "-");

  // A norm of 0: 100 % deviation when the value occurred, 0 % when not.
  EXPECT_EQ(DrawsStatCells(Rec(5, 2, 1, 9, 0), "5", 10, t, true, w, -1)[dscDeviationPct], "100,00000");
  EXPECT_EQ(DrawsStatCells(Rec(5, 0, 0, 0, 0), "5", 10, t, true, w, -1)[dscDeviationPct], "0,00000");
}

TEST(DrawsStatCells, ExpectedDiffText) {
  EXPECT_EQ(ExpectedDiffText("120", "118"), "+2");
  EXPECT_EQ(ExpectedDiffText("118", "120"), "-2");
  EXPECT_EQ(ExpectedDiffText("120", "120"), "0");
  EXPECT_EQ(ExpectedDiffText("-", "120"), "-");
  EXPECT_EQ(ExpectedDiffText("-3", "1"), "-");
  EXPECT_EQ(ExpectedDiffText("12,5", "1"), "-");
  EXPECT_EQ(ExpectedDiffText("5", "-"), "-");
}

TEST(DrawsStatCells, WeightVariants) {
  const TStatDraw v = Rec(1, 6, 4, 10, 10);
  const TStatTotals t = Totals(60, 1, 8, 8);
  EXPECT_DOUBLE_EQ(WeightOf(v, TWeightCoefs{}, t, true), (10 - 6) + 4);
  EXPECT_DOUBLE_EQ(WeightOf(v, TWeightCoefs{}, t, false), 4);
  TWeightCoefs pct{1, 1, 1, true, false};
  EXPECT_DOUBLE_EQ(WeightOf(v, pct, t, true), 10.0 + (-40.0) + 50.0);
  TWeightCoefs abs{1, 1, 1, true, true};
  EXPECT_DOUBLE_EQ(WeightOf(v, abs, t, true), 10.0 + 40.0 + 50.0);
  EXPECT_DOUBLE_EQ(WeightOf(v, TWeightCoefs{2, 0.5, 0, false, false}, t, true), 12.0 - 2.0);
  // Percentages with nothing to divide by are 0.
  EXPECT_DOUBLE_EQ(WeightOf(Rec(1, 0, 0, 0, 0), pct, Totals(0, 0, 0, 0), true), 0.0);
}

TEST(DrawsStatNorms, ScaleWithEqualAndUnequalTrailerCounts) {
  // Every value equally likely (T0 = T1): the norm is the middle of the window's counts.
  const TStatTotals w = Totals(700, 14, 27, 30);
  const double equal = NormScale(1344904, 1344904, w);
  EXPECT_EQ(NormOf(1344904, equal), 21);  // round((14 + 27) / 2) = round(20.5)
  // Unequal: the most frequent value of the window stands for the largest full count.
  const double unequal = NormScale(100, 400, w);
  EXPECT_EQ(NormOf(400, unequal), 27);
  EXPECT_EQ(NormOf(100, unequal), 7);  // 6.75
  EXPECT_EQ(NormOf(200, unequal), 14);  // 13.5
  EXPECT_EQ(NormScale(0, 0, w), 0);
}

TEST(DrawsStatNorms, SortStatValuesBySignedParts) {
  TStatDrawArray list = {Rec(3, 1, 0, 0), Rec(-2, 1, 0, 0), Rec(3, 2, 0, 0), Rec(0, 1, 0, 0)};
  list[2].Key.SetPart(2, -1);
  list[0].Key.SetPart(4, 7);
  SortStatValues(list);
  EXPECT_EQ(list[0].Key.Part(1), -2);
  EXPECT_EQ(list[1].Key.Part(1), 0);
  EXPECT_EQ(list[2].Key.Part(2), -1);
  EXPECT_EQ(list[3].Key.Part(4), 7);
  const TStatTotals t = StatTotals(list);
  EXPECT_EQ(t.SumCount, 5);
  EXPECT_EQ(t.MinCount, 1);
  EXPECT_EQ(t.MaxCount, 2);
  EXPECT_EQ(t.MaxDepth, 0);
  EXPECT_EQ(StatTotals({}).MinCount, std::numeric_limits<int32_t>::max());
}

TEST(DrawsStatWindow, FirstLastLength) {
  auto w = DrawsStatWindow(1500, 0, 1000);
  EXPECT_EQ(w.First, 500);
  EXPECT_EQ(w.Last, 1499);
  EXPECT_EQ(w.Length(), 1000);
  w = DrawsStatWindow(300, 5, 1000);
  EXPECT_EQ(w.First, 0);
  EXPECT_EQ(w.Last, 294);
  w = DrawsStatWindow(300, 0, kDrawsStatLenMax);
  EXPECT_EQ(w.First, 0);
  EXPECT_EQ(w.Length(), 300);
  EXPECT_EQ(DrawsStatWindow(3, 5, 10).Length(), 0);
  EXPECT_EQ(TDrawsStat::ParseDrawsStatLen(" 250 "), 250);
  EXPECT_FALSE(TDrawsStat::ParseDrawsStatLen("0"));
  EXPECT_FALSE(TDrawsStat::ParseDrawsStatLen("2147483648"));
  EXPECT_FALSE(TDrawsStat::ParseDrawsStatLen("сто"));
}

TEST(DrawsStatSort, NumbersAgainstDashesAndText) {
  EXPECT_LT(CompareDrawsStatCells("9", "10"), 0);
  EXPECT_LT(CompareDrawsStatCells("2,5", "10,25"), 0);
  EXPECT_LT(CompareDrawsStatCells("-3", "2"), 0);
  EXPECT_EQ(CompareDrawsStatCells("1,50", "1.5"), 0);
  // "-" is no number: it compares as text with the number's text.
  EXPECT_LT(CompareDrawsStatCells("-", "5"), 0);
  EXPECT_GT(CompareDrawsStatCells("a", "-"), 0);
  EXPECT_EQ(CompareDrawsStatCells("ЧЕТ", "чет"), 0);
}

// A table over a small archive for the sort and selection tests.
struct SmallTable {
  StatBench b;
  TDrawArchive archive;
  TDrawsStat table;
  std::unique_ptr<TCustomStat> stat;
  explicit SmallTable(const std::string& code = "EVEN") {
    b.Add({1, 2, 3, 4, 5, 6, 7});        // 3 even
    b.Add({2, 4, 6, 8, 1, 3, 5});        // 4 even
    b.Add({2, 4, 6, 8, 10, 12, 14});     // 7 even
    b.Add({1, 3, 5, 7, 9, 2, 4});        // 2 even
    b.Add({1, 2, 3, 4, 5, 6, 7});        // 3 even
    b.Add({11, 13, 15, 17, 19, 21, 23});  // 0 even
    for (const auto& d : b.draws) archive.AppendDraw(d);
    b.list.Draws = &archive.Draws();
    stat = b.Make(code);
  }
  void Compute(int last, int len = 1000) {
    TDrawsStatInput in;
    in.Stat = stat.get();
    in.Archive = &archive;
    in.Window = DrawsStatWindow(last + 1, 0, len);
    table.Compute(in);
  }
  std::vector<std::string> Column(int c) const {
    std::vector<std::string> v;
    for (int r = 0; r < table.RowCount(); ++r) v.push_back(table.Cell(r, c));
    return v;
  }
};

TEST(DrawsStatSort, InitialOrderClicksAndTies) {
  SmallTable t;
  t.Compute(4);  // draws 100..104
  // Count ascending, equal counts by the value text.
  EXPECT_EQ(t.Column(dscValue),
            (std::vector<std::string>{"1:6", "5:2", "6:1", "2:5", "4:3", "7:0", "3:4"}));
  EXPECT_EQ(t.Column(dscCount), (std::vector<std::string>{"0", "0", "0", "1", "1", "1", "2"}));
  EXPECT_EQ(t.table.SortColumn(), dscCount);
  EXPECT_FALSE(t.table.SortDescending());
  // The same column again flips the direction (ties flip with it).
  t.table.SortBy(dscCount);
  EXPECT_TRUE(t.table.SortDescending());
  EXPECT_EQ(t.Column(dscValue).front(), "3:4");
  EXPECT_EQ(t.Column(dscValue).back(), "1:6");
  // Another column starts ascending: the depth has dashes, which sort before the numbers.
  t.table.SortBy(dscDepth);
  EXPECT_FALSE(t.table.SortDescending());
  EXPECT_EQ(t.Column(dscDepth), (std::vector<std::string>{"-", "-", "-", "1", "2", "3", "4"}));
  EXPECT_EQ(t.Column(dscValue), (std::vector<std::string>{"1:6", "5:2", "6:1", "3:4", "2:5", "7:0", "4:3"}));
  t.table.SetSort(dscDepth, true);
  EXPECT_EQ(t.Column(dscDepth).front(), "4");
  EXPECT_EQ(t.Column(dscDepth).back(), "-");
}

TEST(DrawsStatTable, FactWithHeldBackDraws) {
  SmallTable t;
  t.Compute(3);  // draws 100..103; 104 (3 even) and 105 (0 even) are held back
  auto row = [&](const std::string& value) {
    for (int r = 0; r < t.table.RowCount(); ++r)
      if (t.table.Cell(r, dscValue) == value) return r;
    return -1;
  };
  const int three = row("3:4");
  ASSERT_GE(three, 0);
  EXPECT_EQ(t.table.Cell(three, dscCount), "1");
  EXPECT_EQ(t.table.Cell(three, dscDepth), "4");
  EXPECT_EQ(t.table.Cell(three, dscDepthPct), "100,00");
  EXPECT_EQ(t.table.Cell(three, dscFact), "104");
  EXPECT_EQ(t.table.Cell(three, dscExpectedStf), "200");  // 2 * 100 / 1
  EXPECT_EQ(t.table.Cell(three, dscDiffStf), "+96");
  const int zero = row("1:6");
  ASSERT_GE(zero, 0);
  EXPECT_EQ(t.table.Cell(zero, dscDepth), "-");  // not in the window: no fact either
  EXPECT_EQ(t.table.Cell(zero, dscFact), "-");
  const int two = row("2:5");
  EXPECT_EQ(t.table.Cell(two, dscDepth), "1");
  EXPECT_EQ(t.table.Cell(two, dscDepthPct), "25,00");
  EXPECT_EQ(t.table.Cell(two, dscFact), "-");  // no later draw shows 2 even numbers
  EXPECT_EQ(t.table.Totals().SumCount, 4);
  EXPECT_FALSE(t.table.NormsAvailable());
  // The chart without norms: the values in key order with their counts.
  ASSERT_TRUE(t.table.Chart().Shown);
  EXPECT_FALSE(t.table.Chart().HasIdeal);
  ASSERT_EQ(t.table.Chart().Actual.size(), 7u);
  EXPECT_EQ(t.table.Chart().Actual[0].Label, "1:6");
  EXPECT_EQ(t.table.Chart().Actual[2].Y, 1);  // 3:4
}

TEST(DrawsStatTable, NormsAndChartFromPrefetchData) {
  SmallTable t;
  TPrefetchData p;
  for (int k = 0; k <= 7; ++k) p.Records.push_back({MakeKey(k), 100 * (k + 1)});
  p.MinCount = 100;
  p.MaxCount = 800;
  TDrawsStatInput in;
  in.Stat = t.stat.get();
  in.Archive = &t.archive;
  in.Window = DrawsStatWindow(5, 0, 1000);
  in.Prefetch = &p;
  t.table.Compute(in);
  ASSERT_TRUE(t.table.NormsAvailable());
  // The largest window count is 2: scale 2 / 800.
  for (const auto& v : t.table.Values()) EXPECT_EQ(v.Norm, NormOf(100 * (v.Key.Part(1) + 1), 2.0 / 800)) << v.Key.Part(1);
  EXPECT_TRUE(t.table.Chart().HasIdeal);
  ASSERT_EQ(t.table.Chart().Ideal.size(), 8u);
  EXPECT_EQ(t.table.Chart().Ideal[7].X, 8);
  EXPECT_DOUBLE_EQ(t.table.Chart().Ideal[7].Y, 2.0);
  EXPECT_EQ(t.table.Chart().Ideal[7].Label, "7:0");
  EXPECT_EQ(t.table.Chart().Actual.size(), 7u);  // no 0:7 in the window
  // Without the total line the actual series keeps the file's positions.
  in.ShowTotalLine = false;
  t.table.Compute(in);
  EXPECT_FALSE(t.table.Chart().HasIdeal);
  EXPECT_EQ(t.table.Chart().Actual[3].X, 5);  // 4:3 is the file's fifth record
}

TEST(DrawsStatTable, RowColumnsTextAndSelection) {
  SmallTable t;
  t.Compute(4);
  const int last = t.table.RowCount() - 1;  // "3:4", count 2
  auto text = t.table.RowColumnsText(last);
  EXPECT_EQ(text[0], "3:4");
  EXPECT_EQ(text[1], "");
  EXPECT_EQ(text[2], "2");
  EXPECT_EQ(text[3], "40,00000");
  EXPECT_EQ(text[4], "-");
  EXPECT_EQ(text[6], "1");
  EXPECT_EQ(text[9], "4");
  EXPECT_EQ(text[10], "2,5000");
  EXPECT_EQ(text[11], "4");
  for (const auto& s : t.table.RowColumnsText(99)) EXPECT_EQ(s, "");

  t.table.SetSelected(last, true);
  t.table.SetSelected(0, true);
  EXPECT_EQ(t.table.SelectedCount(), 2);
  EXPECT_EQ(t.table.SelectedValuesText(), "1:6; 3:4");
  // Sorting keeps each row's selection.
  t.table.SortBy(dscCount);
  EXPECT_EQ(t.table.SelectedRows(), (std::vector<int>{0, last}));
  EXPECT_EQ(t.table.SelectedValuesText(), "3:4; 1:6");
  auto keys = t.table.SelectedValues();
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].Key.Part(1), 3);
  t.table.SelectOnly(1);
  EXPECT_EQ(t.table.SelectedCount(), 1);
  EXPECT_EQ(t.table.SelectKeys(keys), 2);
  t.table.ClearSelection();
  EXPECT_EQ(t.table.SelectedCount(), 0);
}

TEST(DrawsStatTable, EmptyWindowShowsThePreListedValuesOnly) {
  SmallTable t;
  TDrawsStatInput in;
  in.Stat = t.stat.get();
  in.Archive = &t.archive;
  in.Window = DrawsStatWindow(6, 6, 10);
  t.table.Compute(in);
  EXPECT_EQ(t.table.RowCount(), 7);
  for (int r = 0; r < t.table.RowCount(); ++r) EXPECT_EQ(t.table.Cell(r, dscDepth), "-");
}

}  // namespace
}  // namespace quintar
