#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "game/game.h"
#include "testutil.h"

using namespace quintar;

TEST(Game, ConstantsAndRecordLayouts) {
  EXPECT_EQ(MinSum, 28);
  EXPECT_EQ(MaxSum, 224);
  EXPECT_EQ(SumStep, 19);
  EXPECT_EQ(offsetof(TDraw, Nums), 4u);
  EXPECT_EQ(offsetof(TDraw, Bonus), 11u);
  EXPECT_EQ(offsetof(TDraw, DateLen), 12u);
  EXPECT_EQ(offsetof(TDraw, DateChars), 13u);
  EXPECT_EQ(offsetof(TNumSet, Nums), 4u);
  EXPECT_EQ(offsetof(TProfitDraw, Profit), 4u);

  TDraw d = test::MakeDraw(0x01020304, {3, 11, 17, 20, 28, 31, 35}, 7, "5 Jan 2017");
  const auto* b = reinterpret_cast<const unsigned char*>(&d);
  EXPECT_EQ(b[0], 0x04);  // little-endian number
  EXPECT_EQ(b[3], 0x01);
  EXPECT_EQ(b[4], 3);
  EXPECT_EQ(b[10], 35);
  EXPECT_EQ(b[11], 7);
  EXPECT_EQ(b[12], 10);
  EXPECT_EQ(std::memcmp(b + 13, "5 Jan 2017", 10), 0);
}

TEST(Game, NumberProperties) {
  EXPECT_TRUE(IsPrime(1));
  EXPECT_FALSE(IsPrime(9));
  int primes = 0;
  for (int n = 1; n <= 35; ++n) primes += IsPrime(n);
  EXPECT_EQ(primes, 12);
  EXPECT_TRUE(IsSmall(18));
  EXPECT_FALSE(IsSmall(19));
  EXPECT_EQ(ChannelOf(35, 5), 7);
  EXPECT_EQ(ChannelOf(35, 1), 35);
  EXPECT_EQ(ChannelColor(35, 1), 0xFFEAD5u);  // channel 35 folds to index 16
  EXPECT_EQ(ChannelColor(20, 1), ChannelColor(1, 1));
  EXPECT_EQ(ChannelColor(36, 5), 0xFF0000u);
  EXPECT_EQ(ChannelColor(0, 5), 0xFF0000u);
  EXPECT_EQ(NumberAt(6, 4, 5), 35);
  EXPECT_EQ(GroupCount(1, 35, 5), 7);
  EXPECT_EQ(GroupCount(1, 35, 6), 6);
  EXPECT_EQ(ColumnOf(35, 5), 5);
  EXPECT_EQ(RowOf(35, 5), 7);
  EXPECT_EQ(CellOf(6, 5).Col, 0);
  EXPECT_EQ(CellOf(6, 5).Row, 1);
}

TEST(Game, Arithmetic) {
  EXPECT_EQ(CombCount(35, 7), 6724520);
  EXPECT_EQ(CombCount(7, 7), 1);
  EXPECT_EQ(CombCount(5, 7), 1);
  EXPECT_EQ(CombCount(8, 7), 8);
  EXPECT_EQ(Factorial(0), 1);
  EXPECT_EQ(Factorial(20), 2432902008176640000LL);
  EXPECT_EQ(RisingProduct(5, 0), 1);
  EXPECT_EQ(FallingProduct(5, 2), 20);
  const int64_t hits[8] = {1184040, 2637180, 2063880, 716625, 114660, 7938, 196, 1};
  int64_t total = 0;
  for (int m = 0; m <= 7; ++m) {
    EXPECT_EQ(CombCountByHits(35, 7, m), hits[m]) << m;
    total += hits[m];
  }
  EXPECT_EQ(total, COMBS_TOTAL);
  EXPECT_EQ(ShiftNumber(35, 1), 1);
  EXPECT_EQ(ShiftNumber(1, -1), 35);
  EXPECT_EQ(ShiftNumber(20, 0), 20);
  EXPECT_EQ(ShiftNumber(30, 10), 5);
  EXPECT_EQ(CeilDiv(35, 6), 6);
  EXPECT_EQ(CeilDiv(36, 6), 6);
  EXPECT_EQ(SumUp(1, 0), 0);
}

TEST(Game, MatchingAndCounting) {
  TComb a{{1, 2, 3, 4, 5, 6, 7}}, b{{7, 6, 30, 31, 1, 33, 34}};
  EXPECT_EQ(CountMatches(a.n, b.n), 3);
  TDraw d = test::MakeDraw(1, {5, 9, 1, 30, 22, 17, 3}, 4);
  TNumSet set = NumSetOf(a), common;
  CommonNumbers(d, set, common);
  EXPECT_EQ(NumSetToText(common, ";"), "1;3;5");
  TNumSet x = NumSetOf(TComb{{7, 1, 2, 3, 4, 5, 6}});
  EXPECT_TRUE(SameNumSet(set, x));
  x.Count = 6;
  EXPECT_FALSE(SameNumSet(set, x));
  EXPECT_TRUE(DrawHasGroup(6, d, 5));   // 30
  EXPECT_FALSE(DrawHasGroup(7, d, 5));  // nothing in 31..35

  uint8_t rows[14] = {1, 2, 3, 4, 5, 6, 7, 7, 8, 9, 1, 2, 10, 11};
  EXPECT_EQ(CountDistinct(rows, 2), 11);
  EXPECT_EQ(CountDistinct(rows, 0), 0);
  TByteArray seen;
  CollectDistinct(rows, 2, seen);
  EXPECT_EQ(seen, (TByteArray{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));

  TStatSimpleArray simple;
  AddSimple(simple, 5, 1);
  AddSimple(simple, 2, 0);   // appended even with inc 0
  AddSimple(simple, 5, -3);  // inc <= 0 leaves an existing entry
  AddSimple(simple, 5, 2);
  SortSimple(simple);
  ASSERT_EQ(simple.size(), 2u);
  EXPECT_EQ(simple[0].Key, 2);
  EXPECT_EQ(simple[1].Count, 3);

  TProfitDrawArray profits;
  AddProfitDraw(profits, 10, -5000);
  AddProfitDraw(profits, 10, 20000);
  EXPECT_EQ(profits.size(), 1u);
  EXPECT_EQ(int64_t{profits[0].Profit}, 15000);  // a copy: the packed field is not aligned for a reference

  TIntArray ints{3, 9, 1, 9};
  SortIntsDesc(ints);
  EXPECT_EQ(ints, (TIntArray{9, 9, 3, 1}));
}

TEST(Game, TextToCombDelimiters) {
  TComb c1, c2;
  TextToComb("1 2 3 4 5 6 7", c1);
  TextToComb("1,2;3-4.5:6|7", c2);
  EXPECT_EQ(c1, c2);
  TextToComb("\t 3;;11  17|20 28 31 35 ", c1);
  EXPECT_EQ(CombToText(c1), "3;11;17;20;28;31;35");
  EXPECT_EQ(CombToDisplay(c1), "03 11 17 20 28 31 35");
  // Seven different numbers 1..35 or nothing: a word that is not one of them refuses the line.
  for (const char* bad : {"a 2 3 4 5 6 7", "1 2 3 4 5 6 36", "1 2 3 4 5 6 6", "0 1 2 3 4 5 6"})
    EXPECT_THROW(TextToComb(bad, c1), EQuintar) << bad;
  try {
    TextToComb("1 2 3", c1);
    FAIL();
  } catch (const EQuintar& e) {
    EXPECT_STREQ(e.what(), "Некорректная комбинация: \"1 2 3\"!");
  }
  EXPECT_EQ(c1, TComb{});  // cleared first
  EXPECT_THROW(TextToComb("1 2 3 4 5 6 7 8", c1), EQuintar);
}

TEST(Game, IntListFromTextForms) {
  using V = TIntArray;
  EXPECT_EQ(IntListFromText("5"), (V{5}));
  EXPECT_EQ(IntListFromText("2;4;9"), (V{2, 4, 9}));
  EXPECT_EQ(IntListFromText(" 2 , 4 ;9"), (V{2, 4, 9}));
  EXPECT_EQ(IntListFromText("10-20;5"), (V{10, 15, 20}));
  EXPECT_EQ(IntListFromText("10-20,5"), (V{10, 15, 20}));
  EXPECT_EQ(IntListFromText("10-22;5"), (V{10, 15, 20}));
  EXPECT_EQ(IntListFromText("1-5;1"), (V{1, 2, 3, 4, 5}));
  EXPECT_EQ(IntListFromText("20-10;-5"), (V{20, 15, 10}));
  EXPECT_TRUE(IntListFromText("10-20").empty());
  EXPECT_TRUE(IntListFromText("10-20;0").empty());
  EXPECT_TRUE(IntListFromText("x-20;2").empty());
  EXPECT_TRUE(IntListFromText("").empty());
  EXPECT_EQ(IntListFromText("-3;4"), (V{-3, 4}));
  EXPECT_EQ(IntListToText({1, 2, 3}, ";"), "1;2;3");
}

TEST(Game, ReduceDiffsModes) {
  const uint8_t row[7] = {3, 11, 17, 20, 28, 31, 35};
  TByteArray out;
  ReduceDiffs(row, 7, 0, out);
  EXPECT_EQ(out, (TByteArray{1}));
  ReduceDiffs(row, 7, 1, out);
  EXPECT_EQ(out, (TByteArray{3}));
  ReduceDiffs(row, 7, 2, out);
  EXPECT_EQ(out, (TByteArray{1, 3}));
  const uint8_t same[2] = {4, 4};
  ReduceDiffs(same, 2, 2, out);  // d = 0 becomes the sum 8
  EXPECT_EQ(out, (TByteArray{8}));
  ReduceDiffs(same, 2, 1, out);
  EXPECT_EQ(out, (TByteArray{8}));
  const uint8_t far[2] = {4, 9};
  ReduceDiffs(far, 2, 1, out);
  EXPECT_EQ(out, (TByteArray{5}));
}

TEST(Game, TextFormsOfDrawsAndKinds) {
  TDraw d = test::MakeDraw(1042, {3, 11, 17, 20, 28, 31, 35}, 7, "5 Jan 2017");
  EXPECT_EQ(DrawInfoText(d), "Тираж № 1042 от 5 Jan 2017, значения: 3;11;17;20;28;31;35 e:7");
  EXPECT_EQ(StakeKindName(1), "Вручную");
  EXPECT_EQ(StakeKindName(4), "Система");
  EXPECT_EQ(StakeKindName(0), "");
  EXPECT_EQ(StakeKindName(5), "");
  TDraw e = ZeroDraw();
  e.SetDate("25 December 2021 too long");
  EXPECT_EQ(e.Date(), "25 December");
  EXPECT_EQ(e.DateLen, 11);
}
