// The class table and the catalogue built from it: expansion over parameter ranges, codes and texts,
// favourites and the stake money rule.
#include <gtest/gtest.h>

#include <set>

#include "stats/statlist.h"
#include "util/strutil.h"
#include "stattest.h"

namespace quintar {
namespace {

using test::StatBench;

std::vector<std::string> Codes(const TStatList& list) {
  std::vector<std::string> codes;
  for (int i = 0; i < list.Count(); ++i) codes.push_back(list.CodeOf(i));
  return codes;
}

// The class table as it will be once every family is built (no object is made from these rows).
std::vector<TStatClassInfo> AllBuilt() {
  std::vector<TStatClassInfo> table = StatRegistry();
  for (auto& c : table)
    if (!c.Factory) c.Factory = StatRegistry().front().Factory;
  return table;
}

TEST(StatRegistry, OneRowPerClassInCatalogueOrder) {
  const auto& table = StatRegistry();
  ASSERT_EQ(table.size(), 143u);
  std::set<std::string> names, codes;
  for (size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(table[i].No, static_cast<int>(i) + 1);
    EXPECT_TRUE(names.insert(table[i].ClassName).second) << table[i].ClassName;
    EXPECT_TRUE(codes.insert(table[i].Code).second) << table[i].Code;
    EXPECT_LE(table[i].Group, 12);
  }
  EXPECT_EQ(FindStatClass("TstRepCount2over1")->CodeOf(0), "RPO1");  // saved files refer to RPO1
  EXPECT_EQ(FindStatClass("TstRepCount2over2")->CodeOf(0), "PRC2O2");
  EXPECT_EQ(FindStatClass("TstRepCount2P1")->NameOf(0), "Количество совпадений \"значений + 1\"");
  EXPECT_EQ(FindStatClass("TstChain2Pos")->NameOf(4), "Переходы чисел между 2 тиражами в 4 позиции");
  EXPECT_EQ(FindStatClass("TstChain3CnlCnt")->NameOf(2), "Переходы кол-ва чисел в 2 канале между 3 тиражами");
  EXPECT_EQ(FindStatClass("TstPosExt")->NameOf(1), "Extra (Bonus, Star...) - число (!без фильтра!)");
  EXPECT_EQ(FindStatClass("TstPosExt")->GetListCode(), "POSx");
  EXPECT_EQ(FindStatClass("TstCombValPos3")->CodeOf(5), "KNP35");
  EXPECT_EQ(KindsLetters(FindStatClass("TstPosVal")->GetKindsEx()), "SNG");
  EXPECT_EQ(KindsLetters(FindStatClass("TstNumPeriods")->GetKindsEx()), "P");
}

// Every built class makes objects of the base kind its row claims.
TEST(StatRegistry, BuiltClassesMatchTheirRows) {
  StatBench b;
  int built = 0;
  for (const auto& c : StatRegistry()) {
    if (!c.IsBuilt()) continue;
    ++built;
    auto s = c.Factory(c, b.list, c.HasParam() ? c.RangeLo : 0);
    EXPECT_EQ(AsGraphStat(s.get()) != nullptr, c.IsGraph()) << c.ClassName;
    EXPECT_EQ(&s->StatClass(), &c);
    EXPECT_EQ(c.IsPrefetchable(), (c.GetKinds() & KIND_N) != 0);
  }
  EXPECT_EQ(built, 108);
}

TEST(StatCatalogue, BuiltClassesGiveTheirMethodsInOrder) {
  StatBench b;
  std::vector<std::string> expected = {"NUMS", "DIGS", "EVEN", "EVNV", "SMAL", "SMLV", "PRIM", "PRMV", "SUMS", "SUM1",
                                       "SUM2", "SUM3", "SUMC", "SUMV", "SUMT", "SUME", "SUMP", "S2T3", "DIFA", "DIFM",
                                       "DIFD", "DIFO", "DIFK", "CHAN", "CHNV", "CHNC", "COLS", "ROWS", "COLV", "ROWV",
                                       "COLN", "ROWN", "COLM", "ROWM", "COLA", "ROWA", "COLC", "ROWC", "SGMS", "SGMV",
                                       "SGMC", "SEQL", "SEQS", "LENS", "KDS2", "KDS3", "KDS4"};
  for (const char* family : {"KC", "KF", "KR", "KG"})
    for (const char* kind : {"M", "S"})
      for (int k = 2; k <= 4; ++k) expected.push_back(std::string(family) + kind + std::to_string(k));
  for (int p = 1; p <= 7; ++p) expected.push_back("POS" + std::to_string(p));
  expected.push_back("POE1");
  for (int p = 1; p <= 7; ++p) expected.push_back("CHN" + std::to_string(p));
  for (int p = 1; p <= 5; ++p) expected.push_back("COL" + std::to_string(p));
  for (int p = 1; p <= 7; ++p) expected.push_back("ROW" + std::to_string(p));
  expected.push_back("SGM1");
  for (const char* code : {"GRPV", "GRPP", "GRCV", "GRCP", "GRSV", "GRSP", "PRDV", "PRDC", "PRDG", "SDV2", "SDP2"})
    expected.push_back(code);
  // The chains: SDN1..SDN7, SDP3, SDM1..SDM7, the same for channels, the count and inside chains, segments.
  auto indexed = [&](const std::string& prefix, int hi) {
    for (int p = 1; p <= hi; ++p) expected.push_back(prefix + std::to_string(p));
  };
  indexed("SDN", 7);
  expected.push_back("SDP3");
  indexed("SDM", 7);
  for (const char* code : {"SCV2", "SCP2"}) expected.push_back(code);
  indexed("SCN", 7);
  expected.push_back("SCP3");
  indexed("SCM", 7);
  indexed("SC2C", 7);
  indexed("SC3C", 7);
  for (const char* code : {"SDA2", "SDG2", "SDZ2", "SDC2", "SSV2", "SSP2"}) expected.push_back(code);
  indexed("SSN", 7);
  expected.push_back("SSP3");
  indexed("SSM", 7);
  for (const char* code : {"SS2C1", "SS3C1", "SHR1", "SHR2", "SHR3"}) expected.push_back(code);
  EXPECT_EQ(Codes(b.list), expected);
  EXPECT_EQ(b.list.Count(), 182);
  EXPECT_EQ(b.list.IndexOfCode("pos3"), 73);
  EXPECT_EQ(b.list.IndexOfCode("KNO2"), -1);  // never offered
}

TEST(StatCatalogue, FullTableExpandsWithTheSettings) {
  const auto table = AllBuilt();
  TStatList list;
  list.BuildCatalogue(table);
  EXPECT_EQ(list.Count(), 226);
  auto codes = Codes(list);
  auto has = [&](const std::string& code) { return std::find(codes.begin(), codes.end(), code) != codes.end(); };
  EXPECT_FALSE(has("KNO2"));  // complete but not offered
  EXPECT_TRUE(has("CHN7"));
  EXPECT_TRUE(has("KNP44"));
  EXPECT_FALSE(has("KNP45"));
  EXPECT_TRUE(has("SGM1"));
  EXPECT_FALSE(has("SGM2"));

  list.Config.ChannelSize = 6;  // CHN, SC2C and SC3C lose their 7th channel
  list.BuildCatalogue(table);
  EXPECT_EQ(list.Count(), 223);
  list.Config.ChannelSize = 35;
  list.BuildCatalogue(table);
  EXPECT_EQ(list.Count(), 208);
  list.Config.ChannelSize = 0;  // no channel methods at all
  list.BuildCatalogue(table);
  EXPECT_EQ(list.Count(), 205);
  list.Config.ChannelSize = 5;

  list.Config.MatrixCols = 1;  // one column, 35 rows
  list.BuildCatalogue(table);
  EXPECT_EQ(list.Count(), 226 - 4 + 28);
  list.Config.MatrixCols = 6;  // 6 columns, 6 rows
  list.BuildCatalogue(table);
  EXPECT_EQ(list.Count(), 226);
  EXPECT_EQ(list.IndexOfCode("ROW7"), -1);
  EXPECT_GE(list.IndexOfCode("COL6"), 0);
  list.Config.MatrixCols = 5;

  SegmentsFromText("22222555552222255555222225555522222", list.Config.MatrixSegments);
  list.BuildCatalogue(table);  // ids 2..5: SGM, SS2C, SS3C get 4 methods each
  EXPECT_EQ(list.Count(), 226 + 9);
  EXPECT_GE(list.IndexOfCode("SGM3"), 0);
  EXPECT_EQ(list.IndexOfCode("SGM1"), -1);
}

TEST(StatCatalogue, ParamRangesReadTheCurrentSettings) {
  TStatList list;
  const TStatClassInfo* chn = FindStatClass("TstChnValCnt");
  const TStatClassInfo* row = FindStatClass("TstRowValCnt");
  EXPECT_EQ(chn->GetParamRange(list), std::make_pair(1, 7));
  EXPECT_EQ(row->GetParamRange(list), std::make_pair(1, 7));
  list.Config.ChannelSize = 6;
  list.Config.MatrixCols = 6;
  EXPECT_EQ(chn->GetParamRange(list), std::make_pair(1, 6));
  EXPECT_EQ(row->GetParamRange(list), std::make_pair(1, 6));
  list.Config.ChannelSize = -1;
  list.Config.MatrixCols = 0;
  EXPECT_LT(chn->GetParamRange(list).second, chn->GetParamRange(list).first);
  EXPECT_LT(row->GetParamRange(list).second, row->GetParamRange(list).first);
  EXPECT_EQ(FindStatClass("TstValues")->GetParamRange(list), std::make_pair(0, 0));
}

TEST(StatCatalogue, MethodTextsFollowTheDisplayOptions) {
  StatBench b;
  TStatList& l = b.list;
  EXPECT_EQ(l.StatMethodText(0, true), "{ num } Числа тиража [ N ]");
  EXPECT_EQ(l.StatMethodText(0, false), "{ num } Числа тиража");
  EXPECT_EQ(l.StatMethodText(l.IndexOfCode("POS2"), true), "{ num } Число в 2 позиции тиража [ SNG ]");
  EXPECT_EQ(l.StatMethodText(l.IndexOfCode("SUMV"), true), "{ sum } Сумма тиража: изменения (диапазон) [ D ]");
  l.ShowGroupName = false;
  EXPECT_EQ(l.StatMethodText(0, true), "Числа тиража [ N ]");
  l.ShowMethodFlags = false;
  EXPECT_EQ(l.StatMethodText(0, true), "Числа тиража");
  l.Methods[0].Caption = "Мои числа";
  EXPECT_EQ(l.DisplayName(0), "Мои числа");
  EXPECT_EQ(StatGroupCaption(1), "{ sum } Сумма чисел тиража");
  EXPECT_EQ(StatGroupName(13), "#ERROR#");
}

TEST(StatCatalogue, ShreddingNamesTakeTheirFormula) {
  const auto table = AllBuilt();
  TStatList list;
  list.Formula2 = "n1*p1";
  list.BuildCatalogue(table);
  int shr1 = list.IndexOfCode("SHR1"), shr2 = list.IndexOfCode("SHR2");
  EXPECT_EQ(list.DisplayName(shr1), "Метод шинковки 1: (n1+n2+n3)/(n4+n5+n6+n7)");
  EXPECT_EQ(list.DisplayName(shr2), "Метод шинковки 2: n1*p1");
  list.Methods[static_cast<size_t>(shr2)].Caption = "Формула %s";
  EXPECT_EQ(list.DisplayName(shr2), "Формула n1*p1");
  list.Methods[static_cast<size_t>(shr2)].Caption = "Доля 50% и %d";  // shown as typed, not a failure
  EXPECT_EQ(list.DisplayName(shr2), "Доля 50% и %d");
}

TEST(StatCatalogue, Favourites) {
  StatBench b;
  TStatList& l = b.list;
  EXPECT_EQ(l.FavoritesText(), "");
  l.ApplyFavorites("sum2, NUMS ,,POE1");
  EXPECT_FALSE(l.ShowAll);
  EXPECT_EQ(l.FavoritesText(), "NUMS,SUM2,POE1");
  EXPECT_FALSE(l.IsShown(1));
  EXPECT_TRUE(l.IsShown(0));
  l.ApplyFavorites("XXXX,KNO2");  // codes that name nothing leave every method unmarked
  EXPECT_FALSE(l.ShowAll);
  EXPECT_EQ(l.FavoritesText(), "");
  TStatChooser stat("cbDrawsStatType"), graph("cbDrawsGraphType");
  l.FillChoosers(stat, graph, false);
  EXPECT_EQ(stat.Count(), 0);
  EXPECT_EQ(stat.ItemIndex, -1);
  EXPECT_THROW(l.CreateSelectedStat(stat), EQuintar);
  l.ApplyFavorites(" \t ");  // blanks only: every method
  EXPECT_TRUE(l.ShowAll);
  EXPECT_TRUE(l.IsShown(1));

  for (auto& m : l.Methods) m.Favorite = false;
  l.ShowAll = false;
  l.NormalizeFavorites();  // nothing ticked means everything
  EXPECT_TRUE(l.ShowAll);
  EXPECT_TRUE(l.Methods[3].Favorite);
  l.Methods[3].Favorite = false;
  l.NormalizeFavorites();
  EXPECT_FALSE(l.ShowAll);
  EXPECT_FALSE(l.IsShown(3));
}

TEST(StatCatalogue, ChoosersListShownMethodsAndGraphs) {
  StatBench b;
  TStatList& l = b.list;
  TStatChooser stat("cbDrawsStatType"), graph("cbDrawsGraphType");
  l.FillChoosers(stat, graph, false);
  EXPECT_EQ(stat.Count(), 182);
  EXPECT_EQ(graph.Count(), 54);
  EXPECT_EQ(stat.ItemIndex, 0);
  EXPECT_EQ(graph.Items[0], "{ num } Количество четных чисел в тираже (Ч:Н) [ NG ]");
  stat.ItemIndex = 181;
  graph.ItemIndex = 53;
  l.ApplyFavorites("NUMS,EVEN,SUMS");
  l.FillChoosers(stat, graph, true);
  EXPECT_EQ(stat.Count(), 3);
  EXPECT_EQ(stat.ItemIndex, 0);  // the old position is gone
  stat.ItemIndex = 2;
  l.Ordered = true;
  l.ShowGroupName = false;
  l.FillChoosers(stat, graph, true);
  EXPECT_EQ(stat.Items, (std::vector<std::string>{"Количество четных чисел в тираже (Ч:Н) [ NG ]",
                                                  "Сумма тиража: все значения [ NG ]", "Числа тиража [ N ]"}));
  EXPECT_EQ(stat.ItemIndex, 2);
  EXPECT_EQ(stat.SelectedMethod(), l.IndexOfCode("NUMS"));
  EXPECT_EQ(l.CreateSelectedStat(stat)->GetCode(), "NUMS");
  TStatChooser none("cbDrawsStatType");
  try {
    l.CreateSelectedStat(none);
    FAIL();
  } catch (const EQuintar& e) {
    EXPECT_STREQ(e.what(), "Не выбран метод расчета статистики (cb: cbDrawsStatType)!");
  }
}

TEST(StatCatalogue, StakeResult) {
  TStatList l;
  l.Config.Cost = MoneyFromDouble(1.5);
  l.Config.Profits = {{2, MoneyFromDouble(1.0)}, {3, MoneyFromDouble(10.0)}, {3, MoneyFromDouble(99.0)}};
  EXPECT_EQ(l.StakeResult(7, 3), MoneyFromDouble(8.5));  // the first entry for 3 counts
  EXPECT_EQ(l.StakeResult(7, 4), MoneyFromDouble(-1.5));
  EXPECT_EQ(l.StakeResult(7, -1), MoneyFromDouble(-1.5));
  EXPECT_EQ(l.StakeResult(8, 2), MoneyFromDouble(-12.0 + 1.0));
}

}  // namespace
}  // namespace quintar
