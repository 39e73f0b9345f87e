// The configuration dialog's rules and the EditConfig command.
#include <gtest/gtest.h>

#include "app/session.h"
#include "stats/configedit.h"
#include "util/strutil.h"
#include "testutil.h"
#include "util/inifile.h"
#include "util/safefile.h"

namespace quintar {
namespace {

TEST(ConfigEditor, MatrixColumnsLayTheSegmentGridOutAnew) {
  TConfigData data;
  data.MatrixSegments[34] = 9;
  TConfigEditor e(data);
  EXPECT_EQ(e.MatrixRows(), 7);
  EXPECT_EQ(e.CellNumber(6, 4), 35);
  EXPECT_EQ(e.CellText(6, 4), "9");
  e.SetMatrixCols(6);
  EXPECT_EQ(e.MatrixRows(), 6);
  EXPECT_EQ(e.CellNumber(5, 4), 35);
  EXPECT_EQ(e.CellText(5, 4), "9");  // the number keeps its segment
  EXPECT_FALSE(e.CanSelectCell(5, 5));  // past number 35
  EXPECT_EQ(e.CellText(5, 5), "");
  e.SetMatrixCols(0);
  EXPECT_EQ(e.MatrixCols(), 1);
  EXPECT_EQ(e.MatrixRows(), 35);
  e.SetMatrixCols(99);
  EXPECT_EQ(e.MatrixCols(), 35);
  EXPECT_EQ(e.MatrixRows(), 1);
}

TEST(ConfigEditor, SegmentCellsTakeOneToNine) {
  TConfigEditor e{TConfigData{}};
  EXPECT_EQ(e.SetCellText(0, 1, "7"), "");
  EXPECT_EQ(e.Data().MatrixSegments[1], 7);
  EXPECT_EQ(e.SetCellText(0, 1, "12"), "Некорректное значение: 12!\r\rУкажите любое число от 1 до 9");
  EXPECT_EQ(e.CellText(0, 1), "1");
  EXPECT_EQ(e.SetCellText(0, 2, "0"), "Некорректное значение: 0!\r\rУкажите любое число от 1 до 9");
  e.SetCellText(0, 3, "5");
  EXPECT_EQ(e.SetCellText(0, 3, ""), "");  // an empty cell reads as 1
  EXPECT_EQ(e.Data().MatrixSegments[3], 1);
  EXPECT_TRUE(TConfigEditor::IsCellChar('4'));
  EXPECT_FALSE(TConfigEditor::IsCellChar('-'));
}

TEST(ConfigEditor, PrizeLinesKeepEveryStoredPrize) {
  TConfigData data;
  data.Profits = {{7, MoneyFromDouble(1000.5)}, {3, MoneyFromDouble(10)}, {9, MoneyFromDouble(5)}};
  TConfigEditor e(data);
  auto lines = e.ProfitLines();
  EXPECT_EQ(lines, (std::vector<std::string>{"0=0,00", "1=0,00", "2=0,00", "3=10,00", "4=0,00", "5=0,00", "6=0,00",
                                             "7=1000,50", "9=5,00"}));
  e.SetProfitLines(lines);
  TStatList l;
  l.Config = e.Data();
  EXPECT_EQ(l.StakeResult(7, 3), MoneyFromDouble(10));
  EXPECT_EQ(l.StakeResult(7, 7), MoneyFromDouble(1000.5));
  EXPECT_EQ(l.StakeResult(7, 9), MoneyFromDouble(5));
  e.SetProfitLines({"2=1.25", "", "x=abc", "4"});
  ASSERT_EQ(e.Data().Profits.size(), 3u);
  EXPECT_EQ(e.Data().Profits[0], (TProfitEntry{2, 12500}));
  EXPECT_EQ(e.Data().Profits[1], (TProfitEntry{0, 0}));
  EXPECT_EQ(e.Data().Profits[2], (TProfitEntry{4, 0}));
}

TEST(ConfigEditor, CostKeepsFourDecimals) {
  TConfigEditor e{TConfigData{}};
  EXPECT_TRUE(e.SetCostText("1,23456"));
  EXPECT_EQ(e.Data().Cost, 12346);
  EXPECT_EQ(e.CostText(), "1,2346");
  EXPECT_FALSE(e.SetCostText("дорого"));
  EXPECT_EQ(e.Data().Cost, 12346);
}

TEST(EditConfig, StoresRebuildsAndReportsTheChangedGroups) {
  test::TempDir dir;
  test::ScriptedHost host;
  Session s(dir.Path(), host);
  s.StartCatalogue();
  s.Stats.ApplyFavorites("SUMS,SUM2");
  s.DrawsStatChooser.ItemIndex = 1;
  TConfigEditor e(s.ConfigData());
  e.SetChannelSize(7);
  e.SetCellText(0, 0, "3");
  e.Data().Weights.Level = 2.5;
  TStatGroups groups;
  ASSERT_TRUE(s.EditConfig(e.Data(), &groups));
  EXPECT_TRUE(groups.test(3));
  EXPECT_TRUE(groups.test(5));
  EXPECT_FALSE(groups.test(4));
  EXPECT_EQ(s.Stats.Config.ChannelSize, 7);
  IniFile ini(s.FilePath(".ini"));
  EXPECT_EQ(ini.ReadInteger("GLOBAL", "ChannelSize", 0), 7);
  EXPECT_EQ(ini.ReadString("GLOBAL", "MatrixSegments", "").substr(0, 3), "311");
  EXPECT_EQ(ini.ReadFloat("CDL", "Level", 0), 2.5);
  EXPECT_EQ(s.Stats.FavoritesText(), "SUMS,SUM2");  // favourites survive the rebuild
  EXPECT_EQ(s.DrawsStatChooser.ItemIndex, 1);
  EXPECT_TRUE(host.messages.empty());

  e.SetMatrixCols(6);
  ASSERT_TRUE(s.EditConfig(e.Data(), &groups));
  EXPECT_EQ(groups.to_ulong(), 1ul << 4);
}

TEST(EditConfig, RefusesValuesTheDialogCannotGive) {
  test::TempDir dir;
  test::ScriptedHost host;
  Session s(dir.Path(), host);
  s.StartCatalogue();
  TConfigData data = s.ConfigData();
  data.ChannelSize = 1;
  EXPECT_FALSE(s.EditConfig(data));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "Некорректный размер канала: 1!\r\rУкажите ширину канала от 2 до 35");
  EXPECT_EQ(s.Stats.Config.ChannelSize, 5);
  EXPECT_FALSE(FileExists(s.FilePath(".ini")));
  data = s.ConfigData();
  data.MatrixSegments[3] = 0;
  EXPECT_FALSE(s.EditConfig(data));
  EXPECT_EQ(host.messages[1].text, "Некорректное значение: 0!\r\rУкажите любое число от 1 до 9");
}

}  // namespace
}  // namespace quintar
