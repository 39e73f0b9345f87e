// Generation modes, the user's numbers and the exclusion of the last draws.
#include <gtest/gtest.h>

#include "combs/combsgen.h"
#include "testutil.h"

using namespace quintar;
using quintar::test::MakeDraw;

namespace {

TComb Comb(std::initializer_list<int> nums) {
  TComb c{};
  int i = 0;
  for (int n : nums) c.n[i++] = static_cast<uint8_t>(n);
  return c;
}

bool LexLess(const TComb& a, const TComb& b) {
  return std::lexicographical_compare(a.n, a.n + NUMS_IN_DRAW, b.n, b.n + NUMS_IN_DRAW);
}

bool HasNumber(const TComb& c, int n) { return std::find(c.n, c.n + NUMS_IN_DRAW, n) != c.n + NUMS_IN_DRAW; }

}  // namespace

// Mode 0 is every combination in ascending order; modes 1 and 3 with the same numbers split it in two,
// each keeping the order of the full list.
TEST(CombsGen, FullListOrderAndModeSplits) {
  TCombsList all, any, none;
  GenerateCombs(kGenModeFull, {}, all);
  ASSERT_EQ(all.Count(), 6724520);
  EXPECT_EQ(all[0], Comb({1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(all[1], Comb({1, 2, 3, 4, 5, 6, 8}));
  EXPECT_EQ(all[all.Count() - 1], Comb({29, 30, 31, 32, 33, 34, 35}));
  for (int i = 0; i < all.Count(); ++i) {
    const TComb& c = all[i];
    ASSERT_TRUE(c.n[0] >= 1 && c.n[6] <= 35) << i;
    for (int k = 1; k < NUMS_IN_DRAW; ++k) ASSERT_LT(c.n[k - 1], c.n[k]) << i;
    if (i > 0) {
      ASSERT_TRUE(LexLess(all[i - 1], c)) << i;
    }
  }

  GenerateCombs(kGenModeAny, GenNumbersFromText("1"), any);
  GenerateCombs(kGenModeNone, GenNumbersFromText("1"), none);
  EXPECT_EQ(any.Count(), 1344904);
  EXPECT_EQ(none.Count(), 5379616);
  int ia = 0, in = 0;
  for (const TComb& c : all) {
    if (HasNumber(c, 1)) {
      ASSERT_LT(ia, any.Count());
      ASSERT_EQ(any[ia++], c);
    } else {
      ASSERT_LT(in, none.Count());
      ASSERT_EQ(none[in++], c);
    }
  }
  EXPECT_EQ(ia, any.Count());
  EXPECT_EQ(in, none.Count());

  // Any other mode behaves as mode 0; a list that held more is emptied first.
  GenerateCombs(9, GenNumbersFromText("1"), any);
  EXPECT_EQ(any.Count(), 6724520);
}

TEST(CombsGen, OnlyTheUsersNumbers) {
  TCombsList list;
  GenerateCombs(kGenModeOnly, GenNumbersFromText("1;2;3;4;5;6;7;8"), list);
  ASSERT_EQ(list.Count(), 8);
  EXPECT_EQ(list[0], Comb({1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(list[1], Comb({1, 2, 3, 4, 5, 6, 8}));
  EXPECT_EQ(list[7], Comb({2, 3, 4, 5, 6, 7, 8}));
  for (int i = 1; i < list.Count(); ++i) EXPECT_TRUE(LexLess(list[i - 1], list[i]));

  // Fewer than seven distinct numbers 1..35: an empty list. 0 and numbers above 35 never match.
  GenerateCombs(kGenModeOnly, GenNumbersFromText("0;1;2;3;4;5;6;36;36;200"), list);
  EXPECT_EQ(list.Count(), 0);
  GenerateCombs(kGenModeOnly, GenNumbersFromText("35, 34 ;33;32;31;30;29;x"), list);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], Comb({29, 30, 31, 32, 33, 34, 35}));
  GenerateCombs(kGenModeAny, GenNumbersFromText("0"), list);
  EXPECT_EQ(list.Count(), 0);
  GenerateCombs(kGenModeAny, GenNumbersFromText(""), list);
  EXPECT_EQ(list.Count(), 0);
}

TEST(CombsGen, UsersNumbersAndDialogParameters) {
  TGenNumbers s = GenNumbersFromText("5,7;x");
  EXPECT_EQ(s.count(), 3u);
  EXPECT_TRUE(s.test(0) && s.test(5) && s.test(7));
  s = GenNumbersFromText(" 12 ;255;256;-1;99999999999");
  EXPECT_EQ(s.count(), 3u);  // 12, 255 and the 0 of the word that is not a number
  EXPECT_TRUE(s.test(12) && s.test(255) && s.test(0));

  TCombsGenParams p = MakeGenParams(4, std::string(300, 'a'));
  EXPECT_EQ(p.Mode, 4);
  EXPECT_EQ(p.Params.size(), 255u);
  std::string cyr;
  for (int i = 0; i < 260; ++i) cyr += "ж";
  EXPECT_EQ(MakeGenParams(1, cyr).Params, cyr.substr(0, 255 * 2));  // characters, not bytes
  EXPECT_EQ(MakeGenParams(-3, "").Mode, 0);
  EXPECT_STREQ(kGenModeCaptions[4], "Загрузить список из заранее подготовленного CSV-файла");
}

TEST(CombsExclude, WindowOfLastDraws) {
  // 10 draws: indices 0..9, the newest is 9.
  auto w = LastDrawsWindow(10, 0, 3);
  EXPECT_EQ(w.First, 7);
  EXPECT_EQ(w.Last, 9);
  w = LastDrawsWindow(10, 2, 3);
  EXPECT_EQ(w.First, 5);
  EXPECT_EQ(w.Last, 7);
  w = LastDrawsWindow(10, 2, 100);
  EXPECT_EQ(w.First, 0);
  EXPECT_EQ(w.Count(), 8);
  EXPECT_TRUE(LastDrawsWindow(10, 0, 0).Empty());
  EXPECT_TRUE(LastDrawsWindow(10, 10, 5).Empty());  // offset beyond the newest index
  EXPECT_TRUE(LastDrawsWindow(0, 0, 5).Empty());
  EXPECT_EQ(LastDrawsWindow(10, 0, 2147483647).Count(), 10);
}

TEST(CombsExclude, RemovesDrawnCombinationsInAnyOrder) {
  TDrawArchive a;
  a.AppendDraw(MakeDraw(1, {1, 2, 3, 4, 5, 6, 7}, 1));
  a.AppendDraw(MakeDraw(2, {35, 3, 17, 9, 22, 11, 28}, 2));  // drawn order, not sorted
  a.AppendDraw(MakeDraw(3, {8, 9, 10, 11, 12, 13, 14}, 3));

  TCombsList from, to;
  for (const TComb& c : {Comb({3, 9, 11, 17, 22, 28, 35}),    // draw 2 sorted
                         Comb({1, 2, 3, 4, 5, 6, 8}),
                         Comb({14, 13, 12, 11, 10, 9, 8}),    // draw 3 reversed
                         Comb({28, 35, 3, 22, 9, 17, 11}),    // draw 2 shuffled
                         Comb({3, 9, 11, 17, 22, 28, 28}),    // a repeated number
                         Comb({0, 9, 11, 17, 22, 28, 35}),    // a 0 from a file
                         Comb({1, 2, 3, 4, 5, 6, 7})})       // draw 1
    from.Append(c);

  std::vector<std::string> texts;
  auto status = [&](const std::string& t) { texts.push_back(t); };
  ExcludeLastDraws(a, 0, 2, from, to, status);
  ASSERT_EQ(to.Count(), 4);
  EXPECT_EQ(to[0], Comb({1, 2, 3, 4, 5, 6, 8}));
  EXPECT_EQ(to[1], Comb({3, 9, 11, 17, 22, 28, 28}));
  EXPECT_EQ(to[2], Comb({0, 9, 11, 17, 22, 28, 35}));
  EXPECT_EQ(to[3], Comb({1, 2, 3, 4, 5, 6, 7}));  // draw 1 lies outside the window
  ASSERT_EQ(texts.size(), 7u);                    // every combination when there are fewer than 100
  EXPECT_EQ(texts[0], "Удаление из списка комбинаций 2 последних тиражей ( завершено 0 % )...");
  EXPECT_EQ(texts[6], "Удаление из списка комбинаций 2 последних тиражей ( завершено 86 % )...");

  // Excluding 1 draw at offset 1 removes draw 2 and nothing else.
  ExcludeLastDraws(a, 1, 1, from, to, {});
  EXPECT_EQ(to.Count(), 5);
  // No draws in the window: everything stays, in order.
  ExcludeLastDraws(a, 0, 0, from, to, {});
  ASSERT_EQ(to.Count(), from.Count());
  for (int i = 0; i < to.Count(); ++i) EXPECT_EQ(to[i], from[i]);
  ExcludeLastDraws(a, 5, 10, from, to, {});
  EXPECT_EQ(to.Count(), from.Count());
}

TEST(CombsExclude, DrawsWithDamagedNumbersMatchOnlyTheSameNumbers) {
  TDrawArchive a;
  a.AppendDraw(MakeDraw(1, {5, 5, 6, 7, 8, 9, 10}, 1));
  a.AppendDraw(MakeDraw(2, {0, 1, 2, 3, 4, 200, 6}, 1));
  TCombsList from, to;
  for (const TComb& c : {Comb({5, 6, 7, 8, 9, 10, 10}),  // same bits as draw 1, other numbers
                         Comb({10, 9, 8, 7, 6, 5, 5}),   // draw 1 reordered
                         Comb({5, 6, 7, 8, 9, 10, 11}),
                         Comb({200, 6, 4, 3, 2, 1, 0}),  // draw 2 reordered
                         Comb({201, 6, 4, 3, 2, 1, 0})})
    from.Append(c);
  ExcludeLastDraws(a, 0, 2, from, to, {});
  ASSERT_EQ(to.Count(), 3);
  EXPECT_EQ(to[0], Comb({5, 6, 7, 8, 9, 10, 10}));
  EXPECT_EQ(to[1], Comb({5, 6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(to[2], Comb({201, 6, 4, 3, 2, 1, 0}));
}

TEST(CombsExclude, ProgressEveryHundredthOfTheList) {
  TDrawArchive a;
  a.AppendDraw(MakeDraw(1, {1, 2, 3, 4, 5, 6, 7}, 1));
  TCombsList from, to;
  for (int i = 0; i < 250; ++i) from.Append(Comb({1, 2, 3, 4, 5, 6, 8}));
  std::vector<std::string> texts;
  ExcludeLastDraws(a, 0, 1, from, to, [&](const std::string& t) { texts.push_back(t); });
  EXPECT_EQ(to.Count(), 250);
  ASSERT_EQ(texts.size(), 125u);  // every 2 combinations
  EXPECT_EQ(texts[1], "Удаление из списка комбинаций 1 последних тиражей ( завершено 1 % )...");
  EXPECT_EQ(texts[124], "Удаление из списка комбинаций 1 последних тиражей ( завершено 99 % )...");
}
