// Number statistics: numbers, digits, even/small/prime counts and masks, positions and the bonus.
#include <gtest/gtest.h>

#include <numeric>

#include "stattest.h"

namespace quintar {
namespace {

using test::Comb;
using test::CountsOf;
using test::KeysOf;
using test::Selection;
using test::StatBench;

TEST(NumberStats, NumbersCountSevenPerDraw) {
  StatBench b;
  b.Add({3, 11, 17, 20, 28, 31, 35});
  b.Add({1, 2, 3, 4, 5, 6, 7});
  b.Add({3, 8, 9, 10, 12, 13, 14});
  auto s = b.Make("NUMS");
  TStatDrawArray t = StatBench::Table(*s, 0, 2);
  ASSERT_EQ(t.size(), 35u);
  auto counts = CountsOf(t);
  EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), 0), 21);
  EXPECT_EQ(t[2].Count, 3);  // number 3 in every draw
  EXPECT_EQ(t[2].MinPeriod, 1);
  EXPECT_EQ(t[2].MaxPeriod, 1);
  EXPECT_EQ(s->ValueToText(t[2]), "3");
  EXPECT_TRUE(s->TestComb(Comb({3, 5, 6, 7, 8, 9, 10}), Selection({3}), 2, false, false));
  EXPECT_FALSE(s->TestComb(Comb({4, 5, 6, 7, 8, 9, 10}), Selection({3, 35}), 2, false, false));
}

TEST(NumberStats, DigitsAsWritten) {
  StatBench b;
  b.Add({1, 2, 3, 4, 5, 6, 7});
  b.Add({11, 22, 33, 1, 2, 3, 4});
  auto s = b.Make("DIGS");
  TStatDrawArray first = StatBench::Table(*s, 0, 0);
  EXPECT_EQ(KeysOf(first), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(CountsOf(first), std::vector<int>(7, 1));
  TStatDrawArray second = StatBench::Table(*s, 1, 1);
  EXPECT_EQ(KeysOf(second), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(CountsOf(second), (std::vector<int>{3, 3, 3, 1}));
  EXPECT_TRUE(s->TestComb(Comb({10, 12, 13, 14, 15, 16, 17}), Selection({0}), 0, false, false));
  EXPECT_FALSE(s->TestComb(Comb({11, 12, 13, 14, 15, 16, 17}), Selection({8, 9, 0}), 0, false, false));
  EXPECT_TRUE(s->TestComb(Comb({11, 12, 13, 14, 15, 16, 17}), Selection({2}), 0, false, false));
}

TEST(NumberStats, NoEvenNumberAddsTheZeroRowAfterThePreListedOnes) {
  StatBench b;
  b.Add({1, 3, 5, 7, 9, 11, 13});
  auto s = b.Make("EVEN");
  TStatDrawArray t = StatBench::Table(*s, 0, 0);
  EXPECT_EQ(KeysOf(t), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0}));
  EXPECT_EQ(t.back().Count, 1);
  EXPECT_EQ(s->ValueToText(t.back()), "0:7");
  auto* g = AsGraphStat(s.get());
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->DrawNumber(0, 0, false), 0);
  EXPECT_EQ(g->CombNumber(Comb({2, 4, 6, 7, 9, 11, 13}), 0, 0, false), 3);
}

TEST(NumberStats, MasksFollowThePositionOrder) {
  StatBench b;
  b.Add({35, 3, 11, 17, 20, 28, 31});
  auto s = b.Make("EVNV");
  EXPECT_EQ(KeysOf(StatBench::Values(*s, Comb({3, 11, 17, 20, 28, 31, 35}))), std::vector<int>{115});
  EXPECT_EQ(KeysOf(StatBench::Values(*s, Comb({20, 3, 11, 17, 28, 31, 35}))), std::vector<int>{0b0111011});
  // The draw in drawn order and with the sorted-view switch.
  TStatDrawArray drawn = StatBench::Table(*s, 0, 0, false);
  TStatDrawArray sorted = StatBench::Table(*s, 0, 0, true);
  ASSERT_EQ(drawn.size(), 128u);
  EXPECT_EQ(drawn[0b1111001].Count, 1);
  EXPECT_EQ(sorted[115].Count, 1);
  EXPECT_EQ(s->ValueToText(sorted[115]), "нннЧЧнн (115)");
  EXPECT_TRUE(s->TestComb(Comb({3, 11, 17, 20, 28, 31, 35}), Selection({115}), 0, false, false));
  EXPECT_FALSE(s->TestComb(Comb({3, 11, 17, 20, 28, 31, 35}), Selection({114, 116}), 0, false, false));
}

TEST(NumberStats, PrimeMaskCountsOneAsPrime) {
  StatBench b;
  b.Add({1, 4, 6, 8, 9, 10, 12});
  auto s = b.Make("PRMV");
  TStatDrawArray t = StatBench::Table(*s, 0, 0);
  ASSERT_EQ(t.size(), 128u);
  EXPECT_EQ(t[64].Count, 1);
  EXPECT_EQ(s->ValueToText(t[64]), "ПСССССС (064)");
}

TEST(NumberStats, SmallMaskListsOnlyWhatOccurs) {
  StatBench b;
  b.Add({1, 2, 3, 4, 5, 6, 35});
  b.Add({1, 2, 3, 4, 5, 6, 35});
  auto s = b.Make("SMLV");
  TStatDrawArray t = StatBench::Table(*s, 0, 1);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].Key.Part32(1), 1);
  EXPECT_EQ(t[0].Count, 2);
}

TEST(NumberStats, BonusNeverSelectsCombinations) {
  StatBench b;
  b.Add({1, 2, 3, 4, 5, 6, 7}, 12);
  b.Add({8, 9, 10, 11, 12, 13, 14}, 3);
  auto s = b.Make("POE1");
  TStatDrawArray t = StatBench::Table(*s, 0, 1);
  EXPECT_EQ(KeysOf(t), (std::vector<int>{12, 3}));
  TStatDrawArray all = Selection({});
  for (int k = 0; k <= 40; ++k) all.push_back(Selection({k})[0]);
  for (bool deleting : {false, true}) EXPECT_FALSE(s->TestComb(Comb({1, 2, 3, 4, 5, 6, 7}), all, 1, false, deleting));
  EXPECT_TRUE(StatBench::Values(*s, Comb({1, 2, 3, 4, 5, 6, 7})).empty());
  auto* g = AsGraphStat(s.get());
  EXPECT_EQ(g->DrawNumber(0, 1, false), 12);
  EXPECT_EQ(g->CombNumber(Comb({1, 2, 3, 4, 5, 6, 7}), 1, 1, false), 3);  // the bonus of the draw asked for
}

}  // namespace
}  // namespace quintar
