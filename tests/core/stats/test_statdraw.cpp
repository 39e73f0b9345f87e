// The value record, the merge rule and the key lookups that every statistic relies on.
#include <gtest/gtest.h>

#include <random>

#include "stats/customstat.h"

namespace quintar {
namespace {

TStatDraw Occurrence(int drawNumber, int depth, int key) {
  TStatDraw v;
  v.LastDraw = drawNumber;
  v.SeenDraw = drawNumber;
  v.Depth = depth;
  v.Count = 1;
  v.Key = MakeKey(key);
  return v;
}

TEST(StatKey, PartsShareTheSameEightBytes) {
  TStatKey k = MakeKey32(130, 135);
  EXPECT_EQ(k.Part(1), 130);
  EXPECT_EQ(k.Part(2), 0);
  EXPECT_EQ(k.Part(3), 135);
  EXPECT_EQ(k.Byte(1), 130);
  EXPECT_EQ(MakeKey32(-5).Part(1), -5);
  EXPECT_EQ(MakeKey32(-5).Part(2), -1);  // a negative 32-bit value fills both 16-bit halves
  EXPECT_EQ(MakeKey(7), MakeKey32(7));
  EXPECT_FALSE(MakeKey(7) == MakeKey(7, 0, 0, 1));
}

TEST(AddStatValue, PeriodsAreDistancesBetweenDrawNumbers) {
  TStatDrawArray list;
  AddStatValue(list, Occurrence(10, 6, 3), true);
  AddStatValue(list, Occurrence(14, 2, 3), true);
  AddStatValue(list, Occurrence(15, 1, 3), true);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Count, 3);
  EXPECT_EQ(list[0].MinPeriod, 1);
  EXPECT_EQ(list[0].MaxPeriod, 4);
  EXPECT_EQ(list[0].LastDraw, 15);
  EXPECT_EQ(list[0].Depth, 1);
  EXPECT_EQ(list[0].SeenDraw, 15);
}

TEST(AddStatValue, PreListedValueGetsNoPeriodFromItsFirstOccurrence) {
  TStatDrawArray list;
  TStatDraw pre;
  pre.Key = MakeKey(5);
  AddStatValue(list, pre, false);
  list[0].Norm = 9;  // norms belong to the caller and survive merges
  AddStatValue(list, Occurrence(20, 3, 5), true);
  EXPECT_EQ(list[0].Count, 1);
  EXPECT_EQ(list[0].MinPeriod, 0);
  EXPECT_EQ(list[0].MaxPeriod, 0);
  EXPECT_EQ(list[0].LastDraw, 20);
  EXPECT_EQ(list[0].Depth, 3);
  EXPECT_EQ(list[0].Norm, 9);
  AddStatValue(list, Occurrence(23, 0, 5), true);  // depth 0 never replaces a real depth
  EXPECT_EQ(list[0].LastDraw, 20);
  EXPECT_EQ(list[0].MinPeriod, 3);
}

TEST(AddStatValue, UntrackedMergeStillMovesSeenDraw) {
  TStatDrawArray list;
  AddStatValue(list, Occurrence(10, 5, 1), true);
  AddStatValue(list, Occurrence(12, 3, 1), false);
  EXPECT_EQ(list[0].SeenDraw, 12);
  EXPECT_EQ(list[0].MinPeriod, 0);
  AddStatValue(list, Occurrence(13, 2, 1), true);
  EXPECT_EQ(list[0].MinPeriod, 1);  // measured from draw 12, not 10
  EXPECT_EQ(list[0].MaxPeriod, 1);
}

TEST(AddStatValue, TwoMergesFromOneDrawGiveAZeroPeriodThatTheNextReplaces) {
  TStatDrawArray list;
  AddStatValue(list, Occurrence(8, 4, 1), true);
  AddStatValue(list, Occurrence(8, 4, 1), true);
  EXPECT_EQ(list[0].MinPeriod, 0);
  AddStatValue(list, Occurrence(11, 1, 1), true);
  EXPECT_EQ(list[0].MinPeriod, 3);
  EXPECT_EQ(list[0].MaxPeriod, 3);
  EXPECT_EQ(list[0].Count, 3);
}

TEST(AddStatValue, HugeDistanceIsCappedNotWrapped) {
  TStatDrawArray list;
  AddStatValue(list, Occurrence(1, 2, 1), true);
  AddStatValue(list, Occurrence(70001, 1, 1), true);
  EXPECT_EQ(list[0].MinPeriod, 65535);
  EXPECT_EQ(list[0].MaxPeriod, 65535);
}

TEST(UpdateLastValue, ReturnsDistanceFromTheStoredDraw) {
  TLastValueArray last;
  EXPECT_EQ(UpdateLastValue(last, Occurrence(10, 1, 4)), -1);
  EXPECT_EQ(UpdateLastValue(last, Occurrence(17, 1, 4)), 7);
  EXPECT_EQ(UpdateLastValue(last, Occurrence(18, 1, 4)), 1);
  EXPECT_EQ(UpdateLastValue(last, Occurrence(18, 1, 5)), -1);
  EXPECT_EQ(last.size(), 2u);
}

TEST(KeyLookups, MatchTheRightParts) {
  TStatDrawArray list;
  EXPECT_FALSE(HasKey(list, 0, 0, 0, 0));  // an empty list matches nothing
  EXPECT_FALSE(HasKeyPart(list, 1, 0));
  TStatDraw v;
  v.Key = MakeKey(3, 4, 5, 6);
  list.push_back(v);
  EXPECT_TRUE(HasKey(list, 3, 4, 5, 6));
  EXPECT_FALSE(HasKey(list, 3, 4, 5, 0));
  EXPECT_TRUE(HasKeyPair(list, 3, 5));
  EXPECT_FALSE(HasKeyPair(list, 3, 4));
  EXPECT_TRUE(HasKeyPart(list, 4, 6));
  EXPECT_FALSE(HasKeyPart(list, 5, 6));
  EXPECT_TRUE(HasKeyPart32(list, 2, MakeKey(0, 0, 5, 6).Part32(2)));
  EXPECT_TRUE(HasKeyByte(list, 3, 4));
  EXPECT_FALSE(HasKeyByte(list, 2, 4));
}

// The prepared lookup must give exactly the answers of the list scans, including for values outside
// its tables and for keys whose other parts are set.
TEST(KeyLookups, PreparedLookupAgreesWithScans) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> part(-600, 600), small(-2, 2), coin(0, 3);
  for (int round = 0; round < 200; ++round) {
    TStatDrawArray list;
    int n = round % 7;
    for (int i = 0; i < n; ++i) {
      TStatDraw v;
      v.Key = coin(rng) == 0 ? MakeKey32(part(rng) * 100, small(rng))
                             : MakeKey(part(rng), coin(rng) ? 0 : small(rng), coin(rng) ? 0 : small(rng), small(rng));
      list.push_back(v);
    }
    TKeyLookup lookup;
    lookup.Build(list);
    ASSERT_EQ(lookup.For(list), !list.empty());
    for (int v = -700; v <= 700; ++v) {
      ASSERT_EQ(lookup.Key1(list, v), HasKey(list, v, 0, 0, 0)) << v;
      ASSERT_EQ(lookup.Pair(list, v, 0), HasKeyPair(list, v, 0)) << v;
      ASSERT_EQ(lookup.Part1(list, v), HasKeyPart(list, 1, v)) << v;
      ASSERT_EQ(lookup.Part32(list, v * 100), HasKeyPart32(list, 1, v * 100)) << v;
    }
    TStatDrawArray other = list;
    EXPECT_FALSE(lookup.For(other) && !list.empty());  // another list is never answered from the tables
  }
}

}  // namespace
}  // namespace quintar
