// The statistic object model: draws loaded by index, the base part of DrawValues, the search for the
// next occurrence, and the texts of the base kinds.
#include <gtest/gtest.h>

#include "stats/customstat.h"
#include "stattest.h"
#include "util/safefile.h"

namespace quintar {
namespace {

using test::Comb;
using test::StatBench;

TEST(CustomStat, DrawsOutsideTheArchiveAreEmpty) {
  StatBench b;
  b.Add({5, 3, 9, 1, 7, 2, 4}, 6);
  auto s = b.Make("NUMS");
  TDraw none = s->GetDraw(-1, false);
  EXPECT_EQ(none.Number, 0);
  for (uint8_t n : none.Nums) EXPECT_EQ(n, 0);
  EXPECT_EQ(s->GetDraw(1, true).Number, 0);
  TDraw sorted = s->GetDraw(0, true);
  EXPECT_EQ(sorted.Nums[0], 1);
  EXPECT_EQ(sorted.Nums[6], 9);
  EXPECT_EQ(s->GetDraw(0, false).Nums[0], 5);
  s->LoadDraws(-1, 0, false);
  EXPECT_EQ(s->CurDraw.Number, 0);
}

TEST(CustomStat, LoadDrawsFillsThePreviousDrawOnlyForHistoryKinds) {
  StatBench b;
  b.Add({1, 2, 3, 4, 5, 6, 7});
  b.Add({10, 11, 12, 13, 14, 15, 16});
  auto history = b.Make("SUMC");
  history->LoadDraws(-1, 1, false);
  EXPECT_EQ(history->CurDraw.Number, 0);
  EXPECT_EQ(history->PrevDraw.Number, 101);
  auto plain = b.Make("SUMS");
  plain->LoadDraws(-1, 1, false);
  EXPECT_EQ(plain->PrevDraw.Number, 0);
}

TEST(CustomStat, DrawValuesFillsDrawNumberAndDepth) {
  StatBench b;
  for (int i = 0; i < 5; ++i) b.Add({1 + i, 8, 9, 10, 11, 12, 13});
  auto s = b.Make("POS1");
  TStatDrawArray list = StatBench::Table(*s, 1, 3);
  // Values 2, 3 and 4 came in draws 101, 102 and 103; the window ends at index 3.
  ASSERT_EQ(list.size(), 35u);
  EXPECT_EQ(list[1].LastDraw, 101);
  EXPECT_EQ(list[1].Depth, 3);
  EXPECT_EQ(list[3].LastDraw, 103);
  EXPECT_EQ(list[3].Depth, 1);
  EXPECT_EQ(list[4].Depth, 0);  // value 5 came only after the window
}

TEST(CustomStat, FindNextDrawSearchesPastTheWindowToTheNewestDraw) {
  StatBench b;
  b.Add({1, 2, 3, 4, 5, 6, 7});
  b.Add({8, 9, 10, 11, 12, 13, 14});
  b.Add({1, 20, 21, 22, 23, 24, 25});
  auto s = b.Make("NUMS");
  TStatDraw v;
  v.Key = MakeKey(1);
  EXPECT_EQ(s->FindNextDraw(v, 1, 1, false), 102);  // beyond LastIndex 1
  EXPECT_EQ(s->FindNextDraw(v, 0, 2, false), 100);
  EXPECT_EQ(s->FindNextDraw(v, 3, 2, false), -1);   // one past the newest draw
  v.Key = MakeKey(35);
  EXPECT_EQ(s->FindNextDraw(v, 0, 2, false), -1);
}

TEST(CustomStat, MaskTextsReadAndWriteSevenCharacters) {
  StatBench b;
  auto evnv = b.Make("EVNV");
  TStatDraw v;
  v.Key = MakeKey32(115);
  EXPECT_EQ(evnv->ValueToText(v), "нннЧЧнн (115)");
  EXPECT_EQ(evnv->TextToKey("нннЧЧнн (115)"), 115);
  EXPECT_EQ(evnv->TextToKey("нннЧЧнн"), 115);
  EXPECT_EQ(evnv->TextToKey("н"), 64);    // missing characters are 0 bits
  EXPECT_EQ(evnv->TextToKey("ЧЧн"), 16);
  EXPECT_EQ(evnv->TextToKey(""), 0);
  v.Key = MakeKey32(0);
  EXPECT_EQ(evnv->ValueToText(v), "ЧЧЧЧЧЧЧ (000)");
  auto smlv = b.Make("SMLV");
  v.Key = MakeKey32(7);
  EXPECT_EQ(smlv->ValueToText(v), "1111222 (007)");
  EXPECT_EQ(smlv->TextToKey("1111222"), 7);
}

TEST(CustomStat, RatioAndPlainTexts) {
  StatBench b;
  auto even = b.Make("EVEN");
  TStatDraw v;
  v.Key = MakeKey(0);
  EXPECT_EQ(even->ValueToText(v), "0:7");
  v.Key = MakeKey(3);
  EXPECT_EQ(even->ValueToText(v), "3:4");
  EXPECT_EQ(even->TextToKey("3:4"), 3);
  EXPECT_EQ(even->TextToKey("5"), 5);
  EXPECT_EQ(even->TextToKey("x:4"), 0);
  EXPECT_EQ(b.Make("NUMS")->TextToKeyChecked("17"), 17);
  auto range = b.Make("SUM1");  // sum ranges take no typed values
  EXPECT_EQ(range->TextToKeyChecked("1"), 0);
}

TEST(CustomStat, TitleAndHelpAddress) {
  StatBench b;
  auto pos = b.Make("POS3");
  EXPECT_EQ(pos->GetTitle(), "Число в 3 позиции тиража");
  EXPECT_EQ(pos->StatClass().HelpUrlOf(3), "");  // no help file chosen
  test::TempDir dir;
  std::string help = dir.File("Zembra_RUS.chm");
  WriteFileAtomic(help, "x");
  SetStatHelpFile(help);
  EXPECT_EQ(pos->StatClass().HelpUrlOf(3), "ms-its:" + help + "::/Filters_1049_POSx.htm");
  EXPECT_EQ(b.Make("SUM2")->StatClass().HelpUrlOf(2), "ms-its:" + help + "::/Filters_1049_SUM2.htm");
  SetStatHelpFile(dir.File("missing.chm"));
  EXPECT_EQ(pos->StatClass().HelpUrlOf(3), "");
  SetStatHelpFile("");
}

}  // namespace
}  // namespace quintar
