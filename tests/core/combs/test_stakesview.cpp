// How stakes are shown (grid cells, colours, the profit chart) and the stake dialogs' checks.
#include <gtest/gtest.h>

#include <cstring>

#include "combs/stakesview.h"
#include "testutil.h"

using namespace quintar;
using quintar::test::TempDir;

namespace {
TStakeRec Record(int draw, bool checked, int64_t profit, uint8_t kind = skManual) {
  TComb c{{3, 8, 11, 20, 21, 30, 35}};
  TStakeRec r = MakeStakeRecord(draw, 120, &c, [profit](int, int) { return profit; }, kind);
  if (checked) {
    const uint8_t drawn[7] = {30, 1, 8, 2, 35, 4, 5};
    std::memcpy(r.DrawNums, drawn, 7);
    r.Matches = {3, {8, 30, 35, 0, 0, 0, 0, 0}};
    r.Checked = 1;
  }
  return r;
}
}  // namespace

TEST(StakesGrid, CaptionsAndCells) {
  EXPECT_EQ(StakeGridCaptions(), (std::vector<std::string>{"№ тиража", "Вид ставки", "Моя ставка", "Выборка",
                                                           "Результаты тиража", "Совпадений", "Совпадения",
                                                           "Профит", "Комментарий"}));
  EXPECT_EQ(StakeGridAlign(0), TCellAlign::Center);
  EXPECT_EQ(StakeGridAlign(7), TCellAlign::Right);
  EXPECT_EQ(StakeGridAlign(8), TCellAlign::Left);

  EXPECT_EQ(StakeGridCells(Record(1577, true, 25000)),
            (std::vector<std::string>{"1577", "Вручную", "3;8;11;20;21;30;35", "120", "30;1;8;2;35;4;5", "3",
                                      "8 30 35", "2,50", "Ставка \"вручную\""}));
  // Unchecked: no result columns, but the profit shows.
  EXPECT_EQ(StakeGridCells(Record(1578, false, -10000, skSystem)),
            (std::vector<std::string>{"1578", "Система", "3;8;11;20;21;30;35", "120", "", "", "", "-1,00",
                                      "Ставка \"вручную\""}));
  EXPECT_EQ(StakeGridCells(SeparatorStake()), std::vector<std::string>(9));
  EXPECT_EQ(StakeGridCells(Record(0, false, -10000)), std::vector<std::string>(9));
  EXPECT_EQ(StakesCountText(12), "Ставок: 12");
}

TEST(StakesGrid, ColoursAndMatchedNumbers) {
  EXPECT_FALSE(StakeKindColor(skSeparator).has_value());

  TStakeRec won = Record(10, true, 25000);
  auto parts = StakeGridCellParts(won, 2);
  ASSERT_EQ(parts.size(), 13u);  // 7 numbers and 6 separators
  std::string text;
  std::vector<std::string> matched;
  for (const auto& p : parts) {
    text += p.Text;
    if (p.Ink == TStakeInk::Matched) matched.push_back(p.Text);
  }
  EXPECT_EQ(text, "3;8;11;20;21;30;35");
  EXPECT_EQ(matched, (std::vector<std::string>{"8", "30", "35"}));
  matched.clear();
  for (const auto& p : StakeGridCellParts(won, 4))
    if (p.Ink == TStakeInk::Matched) matched.push_back(p.Text);
  EXPECT_EQ(matched, (std::vector<std::string>{"30", "8", "35"}));  // drawn order

  for (int col : {5, 6, 7}) {
    EXPECT_EQ(StakeGridCellParts(won, col).at(0).Ink, TStakeInk::Gain);
    EXPECT_EQ(StakeGridCellParts(Record(10, true, 0), col).at(0).Ink, TStakeInk::Loss);
  }
  // Unchecked stakes keep the plain colour for the profit; nothing of theirs is matched.
  EXPECT_EQ(StakeGridCellParts(Record(10, false, -10000), 7).at(0).Ink, TStakeInk::Normal);
  EXPECT_TRUE(StakeGridCellParts(Record(10, false, -10000), 4).empty());
  EXPECT_EQ(StakeGridCellParts(won, 8).at(0).Ink, TStakeInk::Normal);
}

TEST(StakesGraph, ProfitPerDrawAverageAndRunningTotal) {
  TempDir dir;
  TStakesFile f(dir.File("s.lsk"));
  f.OpenStakes();
  EXPECT_THROW(StakesGraphDraws(f), EQuintar);
  f.AddStake(Record(12, false, -10000), 1);
  f.AppendStakeSeparator();  // draw -1: not counted
  f.AddStake(Record(10, false, 50000), 1);
  f.AddStake(Record(12, false, -30000), 1);
  TGraphData g = StakesGraphDraws(f);
  EXPECT_EQ(g.Caption, "График суммарного профита ставок по тиражам");
  ASSERT_EQ(g.Series.size(), 3u);
  const TGraphSeries* total = g.Find("суммарный профит ставок по тиражу");  // names ignore case
  ASSERT_NE(total, nullptr);
  EXPECT_EQ(total->Color, kGraphGreen);
  EXPECT_TRUE(total->ShowPoints && total->ShowMarks);
  ASSERT_EQ(total->Points.size(), 2u);
  EXPECT_EQ(total->Points[0].X, 12);  // first appearance first
  EXPECT_DOUBLE_EQ(total->Points[0].Y, -4.0);
  EXPECT_EQ(total->Points[0].Label, "12");
  EXPECT_DOUBLE_EQ(total->Points[1].Y, 5.0);
  const TGraphSeries* avg = g.Find("Среднее значение");
  EXPECT_FALSE(avg->ShowPoints || avg->ShowMarks);
  EXPECT_EQ(avg->Color, kGraphBlue);
  EXPECT_DOUBLE_EQ(avg->Points[1].Y, 0.5);
  const TGraphSeries* run = g.Find("Накопленное значение");
  EXPECT_EQ(run->Color, kGraphRed);
  EXPECT_DOUBLE_EQ(run->Points[0].Y, -4.0);
  EXPECT_DOUBLE_EQ(run->Points[1].Y, 1.0);
}

TEST(StakeDialogs, ChecksInTheDialogsOrder) {
  TNumSet n{};
  EXPECT_TRUE(StakeTextToNumbers(" 35; 1,2 ;3;4;5;6", n));
  EXPECT_EQ(n.Count, 7);
  EXPECT_EQ(std::vector<uint8_t>(n.Nums, n.Nums + 8), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 35, 0}));
  for (const char* bad : {"1;2;3;4;5;6", "1;2;3;4;5;6;7;8", "1;2;3;4;5;6;6", "0;1;2;3;4;5;6", "1;2;3;4;5;6;36",
                          "1;2;3;4;5;6;x", "1;2;3;4;5;6;", "1 2 3 4 5 6 7"})
    EXPECT_FALSE(StakeTextToNumbers(bad, n)) << bad;
  EXPECT_EQ(StakeTextSum("1;2;x;10"), 13);

  TStakeRec base = MakeStakeRecord(5, 77, nullptr, [](int, int) { return -10000; });
  TStakeRec out = base;
  TStakeDialogInput in{1600, "7;6;5;4;3;2;1", "", 3};
  EXPECT_EQ(StakeDialogAccept({1600, "7;6;5;4;3;2", "", 3}, base, out), "Введена некорректная комбинация!");
  EXPECT_EQ(StakeDialogAccept(in, base, out), "Необходимо ввести комментарий!");
  in.Comment = "Мой";
  in.Draws = 0;
  EXPECT_EQ(StakeDialogAccept(in, base, out), kBadDrawsCount);
  in.Draws = 3;
  in.Draw = 0;
  EXPECT_EQ(StakeDialogAccept(in, base, out), kBadDrawNumber);
  in.Draw = 1600;
  EXPECT_EQ(StakeDialogAccept(in, base, out), "");
  EXPECT_EQ(out.Draw, 1600);
  EXPECT_EQ(out.Comment(), "Мой");
  EXPECT_EQ(StakeNumbersText(out), "1;2;3;4;5;6;7");
  EXPECT_EQ(out.Sample, 77);
  EXPECT_EQ(out.Profit, -10000);
  EXPECT_EQ(out.Kind, skManual);

  EXPECT_EQ(MultiStakeDialogCheck(10, 1, "  "), "Необходимо ввести комментарий!");
  EXPECT_EQ(MultiStakeDialogCheck(10, 65536, "x"), kBadDrawsCount);
  EXPECT_EQ(MultiStakeDialogCheck(10, 65535, "x"), "");
}
