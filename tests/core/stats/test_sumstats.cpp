// Sum statistics: plain sums, the three ranges and the history-bound changes.
#include <gtest/gtest.h>

#include "stattest.h"

namespace quintar {
namespace {

using test::Comb;
using test::CountsOf;
using test::KeysOf;
using test::Selection;
using test::StatBench;

// Appends a draw of seven distinct numbers with the given sum (28..224).
void AddWithSum(StatBench& b, int sum) {
  int n[7] = {1, 2, 3, 4, 5, 6, 7};
  int extra = sum - 28;
  for (int i = 6; i >= 0 && extra > 0; --i) {
    int room = (35 - (6 - i)) - n[i];
    int step = extra < room ? extra : room;
    n[i] += step;
    extra -= step;
  }
  ASSERT_EQ(extra, 0) << sum;
  b.Add({n[0], n[1], n[2], n[3], n[4], n[5], n[6]});
}

TEST(SumStats, AllSumsArePreListed) {
  StatBench b;
  b.Add({1, 2, 3, 4, 5, 6, 7});
  b.Add({29, 30, 31, 32, 33, 34, 35});
  auto s = b.Make("SUMS");
  TStatDrawArray empty;
  s->ListValues(0, empty);
  ASSERT_EQ(empty.size(), 197u);
  EXPECT_EQ(empty.front().Key.Part32(1), 28);
  EXPECT_EQ(empty.back().Key.Part32(1), 224);
  EXPECT_EQ(empty.back().Count, 0);
  TStatDrawArray t = StatBench::Table(*s, 0, 1);
  EXPECT_EQ(t.front().Count, 1);
  EXPECT_EQ(t.back().Count, 1);
  EXPECT_EQ(s->ValueToText(t.back()), "224");
  EXPECT_TRUE(s->TestComb(Comb({1, 2, 3, 4, 5, 6, 7}), Selection({28}), 1, false, false));
  EXPECT_FALSE(s->TestComb(Comb({1, 2, 3, 4, 5, 6, 8}), Selection({28}), 1, false, false));
}

TEST(SumStats, RangeBoundsAreInclusive) {
  StatBench b;
  AddWithSum(b, 163);
  AddWithSum(b, 164);
  auto s = b.Make("SUM1");
  EXPECT_EQ(s->GetTitle(), "Сумма тиража: диапазон 1 (1/3)");
  EXPECT_EQ(b.Make("SUM2")->GetTitle(), "Сумма тиража: диапазон 2 (1/2)");
  EXPECT_EQ(b.Make("SUM3")->GetTitle(), "Сумма тиража: диапазон 3 (2/3)");
  TStatDrawArray t = StatBench::Table(*s, 0, 1);
  EXPECT_EQ(KeysOf(t), (std::vector<int>{0, 1}));
  EXPECT_EQ(CountsOf(t), (std::vector<int>{1, 1}));
  EXPECT_EQ(t[1].LastDraw, 100);
  EXPECT_EQ(s->ValueToText(t[1]), "89-163");
  EXPECT_EQ(s->ValueToText(t[0]), "Остальные");
  EXPECT_EQ(AsGraphStat(s.get())->DrawNumber(1, 1, false), 0);
}

TEST(SumStats, RangeSelectionKeepsInsideWhenTheRangeRowIsSelected) {
  StatBench b;
  auto s = b.Make("SUM2");
  TComb inside = Comb({10, 12, 14, 16, 18, 20, 22});   // 112
  TComb outside = Comb({1, 2, 3, 4, 5, 6, 30});        // 51
  EXPECT_FALSE(s->TestComb(inside, Selection({0}), 0, false, false));
  EXPECT_TRUE(s->TestComb(outside, Selection({0}), 0, false, false));
  EXPECT_TRUE(s->TestComb(inside, Selection({0, 1}), 0, false, false));
  EXPECT_FALSE(s->TestComb(outside, Selection({0, 1}), 0, false, false));
  EXPECT_TRUE(s->TestComb(inside, Selection({1}), 0, false, false));
  EXPECT_FALSE(s->TestComb(outside, Selection({}), 0, false, false));  // nothing selected matches nothing
}

TEST(SumStats, ChangeListsWhatFollowedTheNewestSum) {
  StatBench b;
  AddWithSum(b, 130);  // 0
  AddWithSum(b, 145);  // 1: after 130
  AddWithSum(b, 130);  // 2
  AddWithSum(b, 115);  // 3: after 130
  AddWithSum(b, 100);  // 4
  AddWithSum(b, 130);  // 5: the newest draw
  auto s = b.Make("SUMC");
  TStatDrawArray t = StatBench::Table(*s, 0, 5);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].Key.Part32(1), 130);
  EXPECT_EQ(t[0].Key.Part32(2), 145);
  EXPECT_EQ(s->ValueToText(t[0]), "+15 : 130 + 15 = 145");
  EXPECT_EQ(s->ValueToText(t[1]), "- 15 : 130 - 15 = 115");
  // The first draw of a window compares with the draw before it in the archive.
  EXPECT_EQ(StatBench::Table(*s, 1, 5).size(), 2u);
  // A newest sum that never came before gives an empty table.
  EXPECT_TRUE(StatBench::Table(*s, 0, 4).empty());
  TStatDraw v;
  v.Key = MakeKey32(120, 115);
  EXPECT_EQ(s->ValueToText(v), "- 05 : 120 - 5 = 115");
  // The filter keeps combinations whose sum is a selected next sum.
  TStatDrawArray sel = {t[0]};
  EXPECT_TRUE(s->TestComb(Comb({10, 15, 20, 22, 24, 26, 28}), sel, 5, false, false));   // 145
  EXPECT_FALSE(s->TestComb(Comb({10, 15, 20, 22, 24, 26, 27}), sel, 5, false, false));  // 144
  auto* g = AsGraphStat(s.get());
  EXPECT_EQ(g->DrawNumber(3, 5, false), -15);
  EXPECT_EQ(g->DrawNumber(0, 5, false), 130);  // no draw before the first
}

TEST(SumStats, ChangeRangeCountsPredecessorsNearTheNewestSum) {
  StatBench b;
  for (int sum : {111, 120, 110, 130, 149, 100, 150, 90, 130}) AddWithSum(b, sum);
  auto s = b.Make("SUMV");
  TStatDrawArray t = StatBench::Table(*s, 0, 8);
  // Predecessors within 111..149: 111 (-> 120), 120 (-> 110), 130 (-> 149), 149 (-> 100).
  EXPECT_EQ(KeysOf(t), (std::vector<int>{9, -10, 19, -49}));
  EXPECT_EQ(s->ValueToText(t[0]), "+09");
  EXPECT_EQ(s->ValueToText(t[1]), "- 10");
  // The filter compares a combination's sum with the newest draw's sum (130).
  TComb c = Comb({10, 15, 20, 21, 24, 26, 23});  // 139
  s->LoadDraws(-1, 8, false);
  EXPECT_TRUE(s->TestComb(c, Selection({9}), 8, false, false));
  EXPECT_FALSE(s->TestComb(c, Selection({-10}), 8, false, false));
  // Another reference draw (sum 90) is read again.
  EXPECT_TRUE(s->TestComb(c, Selection({49}), 7, false, false));
}

TEST(SumStats, TrendShowsThreeRowsAlways) {
  StatBench b;
  for (int sum : {100, 120, 100, 100, 90, 100}) AddWithSum(b, sum);
  auto s = b.Make("SUMT");
  TStatDrawArray t = StatBench::Table(*s, 0, 5);
  EXPECT_EQ(KeysOf(t), (std::vector<int>{0, 1, -1}));
  EXPECT_EQ(CountsOf(t), (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(s->ValueToText(t[0]), "=");
  EXPECT_EQ(s->ValueToText(t[1]), "+");
  EXPECT_EQ(s->ValueToText(t[2]), "-");
  TStatDrawArray none = StatBench::Table(*s, 0, 1);  // newest sum 120 came after nothing
  EXPECT_EQ(CountsOf(none), (std::vector<int>{0, 0, 0}));
  EXPECT_TRUE(s->TestComb(Comb({10, 15, 20, 22, 24, 26, 28}), Selection({1}), 5, false, false));
  EXPECT_FALSE(s->TestComb(Comb({10, 15, 20, 22, 24, 26, 28}), Selection({0, -1}), 5, false, false));
  EXPECT_EQ(AsGraphStat(s.get())->DrawNumber(4, 5, false), -1);
}

TEST(SumStats, TriplesTryEveryPositionAsTheSum) {
  StatBench b;
  auto triples = b.Make("S2T3");
  EXPECT_EQ(KeysOf(StatBench::Values(*triples, Comb({1, 2, 3, 4, 5, 6, 7}))), std::vector<int>{9});
  EXPECT_EQ(KeysOf(StatBench::Values(*triples, Comb({7, 1, 10, 3, 20, 17, 30}))), std::vector<int>{4});
  // A draw without numbers (outside the archive): every position against the 15 pairs of the others.
  EXPECT_EQ(KeysOf(StatBench::Values(*triples, Comb({0, 0, 0, 0, 0, 0, 0}))), std::vector<int>{105});
}

}  // namespace
}  // namespace quintar
