// The settings file and the favourites file: keys, defaults, conversions and round trips.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/session.h"
#include "stats/statlist.h"
#include "util/strutil.h"
#include "testutil.h"
#include "util/cp1251.h"
#include "util/inifile.h"
#include "util/safefile.h"

namespace quintar {
namespace {

using test::TempDir;

TStatList Changed() {
  TStatList l;
  l.Config.MatrixCols = 7;
  l.Config.ChannelSize = 6;
  l.Config.Cost = MoneyFromDouble(12.3456);
  l.Config.MaxStake = 9;
  l.Config.Profits = {{0, 0}, {3, MoneyFromDouble(15.25)}, {7, MoneyFromDouble(1000000)}};
  l.Config.Weights = {0.5, -2.25, 3, true, true};
  SegmentsFromText("12345678912345678912345678912345678", l.Config.MatrixSegments);
  l.CombsGen = {2, "Числа: 1;2;3"};
  l.Formula1 = "n1+n2";
  l.Formula2 = "Формула (n3)";
  l.Formula3 = "p1*t7";
  l.Formula1Digits = 1;
  l.Formula2Digits = 5;
  l.Formula3Digits = 3;
  return l;
}

void ExpectSameSettings(const TStatList& a, const TStatList& b) {
  EXPECT_EQ(a.Config, b.Config);
  EXPECT_EQ(a.CombsGen.Mode, b.CombsGen.Mode);
  EXPECT_EQ(a.CombsGen.Params, b.CombsGen.Params);
  EXPECT_EQ(a.Formula1, b.Formula1);
  EXPECT_EQ(a.Formula2, b.Formula2);
  EXPECT_EQ(a.Formula3, b.Formula3);
  EXPECT_EQ(a.Formula1Digits, b.Formula1Digits);
  EXPECT_EQ(a.Formula2Digits, b.Formula2Digits);
  EXPECT_EQ(a.Formula3Digits, b.Formula3Digits);
}

TEST(StatSettings, MissingFileGivesTheDefaults) {
  TempDir dir;
  TStatList l = Changed();
  l.ReadSettings(dir.File("Quintar_7x35.ini"));
  TStatList defaults;
  ExpectSameSettings(l, defaults);
  EXPECT_EQ(l.Config.Weights.Deviation, -1);
  EXPECT_EQ(l.Formula1, "(n1+n2+n3)/(n4+n5+n6+n7)");
  EXPECT_FALSE(FileExists(dir.File("Quintar_7x35.ini")));
}

TEST(StatSettings, WrittenSettingsReadBackUnchanged) {
  TempDir dir;
  const std::string path = dir.File("Quintar_7x35.ini");
  WriteFileAtomic(path, Utf8ToCp1251("[PROXY]\r\nHost=прокси\r\n"));
  TStatList a = Changed();
  a.WriteSettings(path);
  a.WriteShreddingSettings(path);
  a.WriteCombsGenSettings(path);
  const std::string first = ReadWholeFile(path);
  TStatList b;
  b.ReadSettings(path);
  ExpectSameSettings(a, b);
  b.WriteSettings(path);
  b.WriteShreddingSettings(path);
  b.WriteCombsGenSettings(path);
  EXPECT_EQ(ReadWholeFile(path), first);
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("PROXY", "Host", ""), "прокси");  // other sections stay
  EXPECT_EQ(ini.ReadString("GLOBAL", "MatrixSegments", ""), "12345678912345678912345678912345678");
  EXPECT_EQ(ini.ReadString("CDL", "UsePercents", ""), "1");
  EXPECT_EQ(ini.ReadString("STAKES", "Profit_1_Overlap", ""), "3");
}

TEST(StatSettings, HandWrittenValuesAreConverted) {
  TempDir dir;
  const std::string path = dir.File("Quintar_7x35.ini");
  WriteFileAtomic(path,
                  "[GLOBAL]\r\nMatrixCols=0\r\nChannelSize=-3\r\nMatrixSegments=12a40\r\nCombsGenerateMode=9\r\n"
                  "CombsGenerateParameters=" + std::string(300, 'x') + "\r\n"
                  "[STAKES]\r\nCost=1.5\r\nProfits=2\r\nProfit_0_Overlap=3\r\nProfit_0_Profit=10,5\r\n"
                  "Profit_1_Overlap=abc\r\n"
                  "[CDL]\r\nUsePercents=2\r\nUseAbsValues=-1\r\nLevel=0,25\r\n"
                  "[SHREDDING]\r\nFormula2Digits=40\r\n");
  TStatList l;
  l.ReadSettings(path);
  EXPECT_EQ(l.Config.MatrixCols, 5);
  EXPECT_EQ(l.Config.ChannelSize, 5);
  EXPECT_EQ(l.Config.MatrixSegments[0], 1);
  EXPECT_EQ(l.Config.MatrixSegments[1], 2);
  EXPECT_EQ(l.Config.MatrixSegments[2], 1);  // not a digit
  EXPECT_EQ(l.Config.MatrixSegments[3], 4);
  EXPECT_EQ(l.Config.MatrixSegments[4], 1);  // 0 is no segment
  EXPECT_EQ(l.Config.MatrixSegments[34], 1);  // missing
  EXPECT_EQ(l.CombsGen.Mode, 0);
  EXPECT_EQ(l.CombsGen.Params.size(), 255u);
  EXPECT_EQ(l.Config.Cost, 15000);
  ASSERT_EQ(l.Config.Profits.size(), 2u);
  EXPECT_EQ(l.Config.Profits[0].Overlap, 3);
  EXPECT_EQ(l.Config.Profits[0].Profit, 105000);
  EXPECT_EQ(l.Config.Profits[1].Overlap, 0);
  EXPECT_TRUE(l.Config.Weights.UsePercents);
  EXPECT_FALSE(l.Config.Weights.UseAbsValues);
  EXPECT_EQ(l.Config.Weights.Level, 0.25);
  EXPECT_EQ(l.Formula2Digits, 2);
}

TEST(StatSettings, ShrinkingThePrizeListRemovesOldEntries) {
  TempDir dir;
  const std::string path = dir.File("Quintar_7x35.ini");
  TStatList l = Changed();
  l.WriteSettings(path);
  l.Config.Profits.resize(1);
  l.WriteSettings(path);
  IniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("STAKES", "Profits", -1), 1);
  EXPECT_FALSE(ini.ValueExists("STAKES", "Profit_2_Profit"));
}

TEST(StatSettings, UnreadableFileIsReportedAndNeverOverwritten) {
  TempDir dir;
  test::ScriptedHost host;
  Session s(dir.Path(), host);
  std::filesystem::create_directory(s.FilePath(".ini"));  // a folder where the file should be
  s.Stats.Config.MatrixCols = 7;
  EXPECT_FALSE(s.ReadSettings());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text.rfind("Ошибка чтения файла конфигурации!\r\r", 0), 0u);
  EXPECT_EQ(s.Stats.Config.MatrixCols, 7);
  EXPECT_FALSE(s.WriteSettings());
  EXPECT_EQ(host.messages[1].text.rfind("Ошибка записи в файл конфигурации!\r\r", 0), 0u);
  EXPECT_TRUE(std::filesystem::is_directory(s.FilePath(".ini")));
  EXPECT_EQ(host.statuses.front(), "Загрузка файла конфигурации...");
}

TEST(StatNames, OwnNamesAndFavouritesRoundTrip) {
  TempDir dir;
  const std::string path = dir.File("Quintar_7x35.flt");
  WriteFileAtomic(path, Utf8ToCp1251("[STRINGS_ENU]\r\nNUMS=Numbers\r\n[STRINGS_RUS]\r\nDIGS=старое\r\n"));
  TStatList a;
  a.BuildCatalogue();
  a.Methods[0].Caption = "Мои «числа»";
  a.Methods[12].Caption = "Изменение суммы";
  a.ApplyFavorites("NUMS,SUMC,POS7");
  a.Ordered = true;
  a.ShowMethodFlags = false;
  a.SaveStatNames(path, true, false);

  TStatList b;
  b.BuildCatalogue();
  b.LoadStatNames(path, true);
  EXPECT_EQ(b.Methods[0].Caption, "Мои «числа»");
  EXPECT_EQ(b.Methods[12].Caption, "Изменение суммы");
  EXPECT_EQ(b.Methods[1].Caption, "");  // the old names of this language are gone
  EXPECT_EQ(b.FavoritesText(), "NUMS,SUMC,POS7");
  EXPECT_TRUE(b.Ordered);
  EXPECT_TRUE(b.ShowGroupName);
  EXPECT_FALSE(b.ShowMethodFlags);
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("STRINGS_ENU", "NUMS", ""), "Numbers");
  EXPECT_EQ(ini.ReadString("FILTERS", "Ordered", ""), "1");

  // Without the filters section only the names are read.
  TStatList c;
  c.BuildCatalogue();
  c.LoadStatNames(path, false);
  EXPECT_TRUE(c.ShowAll);
  EXPECT_FALSE(c.Ordered);
  EXPECT_EQ(c.Methods[0].Caption, "Мои «числа»");
}

TEST(StatNames, AllNamesExportWritesEveryMethod) {
  TempDir dir;
  const std::string path = dir.File("names.flt");
  TStatList a;
  a.BuildCatalogue();
  a.Methods[0].Caption = "  Свои  ";
  a.SaveStatNames(path, false, true);
  IniFile ini(path);
  EXPECT_FALSE(ini.SectionExists("FILTERS"));
  EXPECT_EQ(ini.ReadSection("STRINGS_RUS").size(), 182u);
  EXPECT_EQ(ini.ReadString("STRINGS_RUS", "SUM1", ""), "Сумма тиража: диапазон 1 (1/3)");
  TStatList b;
  b.BuildCatalogue();
  b.LoadStatNames(path, false);
  EXPECT_EQ(b.Methods[0].Caption, "Свои");  // names are trimmed
}

TEST(StatNames, SessionRebuildKeepsFavouritesAndNames) {
  TempDir dir;
  test::ScriptedHost host;
  Session s(dir.Path(), host);
  s.StartCatalogue();
  EXPECT_EQ(s.DrawsStatChooser.Count(), 182);
  s.Stats.ApplyFavorites("SUMS,EVEN");
  s.Stats.Methods[2].Caption = "Чётные";
  s.DrawsStatChooser.ItemIndex = 1;
  s.RebuildStatLists(true, true);
  EXPECT_EQ(s.Stats.FavoritesText(), "EVEN,SUMS");
  EXPECT_EQ(s.Stats.Methods[2].Caption, "Чётные");
  EXPECT_EQ(s.DrawsStatChooser.Items,
            (std::vector<std::string>{"{ num } Чётные [ NG ]", "{ sum } Сумма тиража: все значения [ NG ]"}));
  EXPECT_EQ(s.DrawsStatChooser.ItemIndex, 1);
  EXPECT_EQ(s.DrawsGraphChooser.Count(), 2);
  EXPECT_TRUE(host.messages.empty());

  // A new session finds the same state in the files.
  Session t(dir.Path(), host);
  t.StartCatalogue();
  EXPECT_EQ(t.Stats.FavoritesText(), "EVEN,SUMS");
  EXPECT_EQ(t.DrawsStatChooser.Count(), 2);
  EXPECT_EQ(t.DrawsStatChooser.ItemIndex, 0);
}

TEST(StatNames, UnreadableFavouritesFileIsReported) {
  TempDir dir;
  test::ScriptedHost host;
  Session s(dir.Path(), host);
  std::filesystem::create_directory(s.FilePath(".flt"));
  s.StartCatalogue();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text.rfind("Ошибка загрузки списка фильтров!\r\r", 0), 0u);
  EXPECT_EQ(s.DrawsStatChooser.Count(), 182);
  EXPECT_FALSE(s.SaveStatNames(s.FilePath(".flt"), true, false));
  EXPECT_EQ(host.messages[1].text.rfind("Ошибка сохранения списка фильтров!\r\r", 0), 0u);
}

}  // namespace
}  // namespace quintar
