// The filter editor over the real catalogue: the statistic list entry a filter shows, the checks on OK in
// their order with their messages, and the record it confirms as the script line writes it back.
#include <gtest/gtest.h>

#include "combs/filteredit.h"
#include "scripts/scriptline.h"

using namespace quintar;

namespace {

struct Catalogue {
  Catalogue() {
    stats.BuildCatalogue();
    stats.FillChoosers(chooser, graphs, false);
    source.Stats = &stats;
    source.Chooser = &chooser;
    source.DrawsCount = 250;
    source.Weights = TWeightCoefs{0, -1, 1, false, false};
  }
  int Method(const char* code) const { return stats.IndexOfCode(code); }
  TStatList stats;
  TStatChooser chooser{"cbDrawsStatType"}, graphs{"cbDrawsGraphType"};
  TFilterEditorSource source;
};

}  // namespace

TEST(FilterEditorSource, ListEntriesAndSortColumns) {
  Catalogue c;
  ASSERT_GT(c.chooser.Count(), 2);
  const int sums = c.Method("SUMS");
  ASSERT_GE(sums, 0);
  const int item = StatChooserItemOf(c.chooser, sums);
  EXPECT_EQ(c.chooser.Methods[static_cast<size_t>(item)], sums);
  EXPECT_EQ(StatChooserItemOf(c.chooser, -1), 0);      // not listed: the first entry
  EXPECT_EQ(StatChooserItemOf(c.chooser, 99999), 0);
  EXPECT_EQ(StatChooserItemOf(TStatChooser{}, sums), -1);  // an empty list shows nothing

  EXPECT_TRUE(FilterStatReadsValues(c.stats, sums));
  EXPECT_FALSE(FilterStatReadsValues(c.stats, c.Method("SUM1")));
  EXPECT_FALSE(FilterStatReadsValues(c.stats, -1));
  EXPECT_FALSE(FilterStatReadsValues(c.stats, c.stats.Count()));

  const std::vector<std::string>& cols = FilterSortCaptions();
  ASSERT_EQ(cols.size(), 20u);
  EXPECT_EQ(cols[0], "Значение");
  EXPECT_EQ(cols[kDefaultSortColumn], "Количество");
  EXPECT_EQ(cols[8], "Вес");
  EXPECT_EQ(cols[19], "+/- КРН");
}

TEST(FilterEditorSource, OpensAnEmptyItemOnTheMainWindowsChoice) {
  Catalogue c;
  c.chooser.ItemIndex = 2;
  TFilterEditor e(c.source, TFilterItem{});
  EXPECT_EQ(e.StatItem(), 2);
  EXPECT_EQ(e.Fields.Stat, c.chooser.Methods[2]);
  EXPECT_EQ(e.Fields.DrawsLen, "250");
  EXPECT_EQ(e.Fields.SortOrder, 1);
  EXPECT_EQ(e.Fields.Direction, 0);
  EXPECT_EQ(e.Fields.FilterMode, 0);
  EXPECT_EQ(e.Fields.LevelMode, lmLNO);
  EXPECT_EQ(e.Fields.StopMode, smSF);
  EXPECT_EQ(e.Fields.StopValue, 1);
  EXPECT_EQ(e.Fields.CoefDeviation, -1);
  EXPECT_FALSE(e.OverrideEnabled());
  EXPECT_FALSE(e.CoefsEnabled());
  e.Fields.LevelMode = lmWDV;
  EXPECT_TRUE(e.OverrideEnabled());
  EXPECT_FALSE(e.CoefsEnabled());
  e.Fields.CDLOverride = true;
  EXPECT_TRUE(e.CoefsEnabled());
  e.Fields.LevelMode = lmPIM;  // the box stays ticked but is disabled, and so are the coefficients
  EXPECT_FALSE(e.CoefsEnabled());
}

TEST(FilterEditorSource, AFilterOfAStatisticNotListedShowsTheFirstEntry) {
  Catalogue c;
  // Only the first three entries are favourites now.
  c.stats.ShowAll = false;
  for (auto& m : c.stats.Methods) m.Favorite = false;
  for (int i = 0; i < 3; ++i) c.stats.Methods[static_cast<size_t>(c.chooser.Methods[static_cast<size_t>(i)])].Favorite = true;
  c.stats.FillChoosers(c.chooser, c.graphs, false);
  ASSERT_EQ(c.chooser.Count(), 3);
  TFilterItem item;
  item.Active = true;
  item.Stat = c.Method("SUMS");
  item.DrawsText = "100";
  TFilterEditor e(c.source, item);
  EXPECT_EQ(e.StatItem(), 0);
  EXPECT_EQ(e.Fields.Stat, c.chooser.Methods[0]);
  EXPECT_EQ(e.Fields.DrawsLen, "100");
}

TEST(FilterEditorSource, WithoutAStatisticListTheFilterKeepsItsStatistic) {
  Catalogue c;
  TStatChooser empty;
  c.source.Chooser = &empty;
  TFilterItem item;
  item.Active = true;
  item.Stat = c.Method("SUMS");
  item.DrawsText = "100";
  TFilterEditor e(c.source, item);
  EXPECT_EQ(e.StatItem(), -1);
  e.SetStatItem(-1);
  EXPECT_EQ(e.Result().Stat, c.Method("SUMS"));
  EXPECT_EQ(TFilterEditor(c.source, TFilterItem{}).Fields.Stat, -1);
}

TEST(FilterEditorSource, ChecksEveryFieldInOrderWithItsMessage) {
  Catalogue c;
  TFilterEditor e(c.source, TFilterItem{});
  e.SetStatItem(StatChooserItemOf(c.chooser, c.Method("SUM1")));  // cannot read values from text
  // Every field wrong at once: the draws count is reported first, then the condition, its values and
  // the stop condition, each once the one before is put right.
  e.Fields.DrawsLen = "0";
  e.Fields.LevelMode = lmLVA;
  e.Fields.LevelValue = ";";
  e.Fields.MultiSelect = true;
  e.Fields.StopMode = smSC;
  struct Step {
    TFilterEditorField field;
    const char* message;
  };
  const Step steps[] = {
      {TFilterEditorField::DrawsLen, "Введен некорректный диапазон значений!"},
      {TFilterEditorField::LevelMode, "Для данного вида статистики не доступен режим выделения по списку значений!"},
      {TFilterEditorField::LevelValue, "Введен некорректный диапазон значений!"},
      {TFilterEditorField::StopMode,
       "В режиме мультивыделения остановка сценария по количеству комбинаций или чисел не может быть "
       "выполнена!\rВыберите другой способ останова."},
  };
  for (const Step& s : steps) {
    const TFilterEditorCheck check = e.Check();
    ASSERT_FALSE(check.Ok());
    EXPECT_EQ(check.Field, s.field);
    EXPECT_EQ(check.Message, s.message);
    switch (s.field) {
      case TFilterEditorField::DrawsLen: e.Fields.DrawsLen = "10-100;10"; break;
      case TFilterEditorField::LevelMode: e.SetStatItem(StatChooserItemOf(c.chooser, c.Method("SUMS"))); break;
      case TFilterEditorField::LevelValue: e.Fields.LevelValue = "100,110"; break;
      default: e.Fields.StopMode = smST;
    }
  }
  EXPECT_TRUE(e.Check().Ok());

  // A condition on the value list of a statistic that reads values, or any other condition, is fine.
  e.Fields.LevelMode = lmCMV;
  e.Fields.LevelValue = "3";
  EXPECT_TRUE(e.Check().Ok());
  // An empty draws text is refused like a zero.
  e.Fields.DrawsLen = "";
  EXPECT_EQ(e.Check().Field, TFilterEditorField::DrawsLen);
}

TEST(FilterEditorSource, ConfirmedFilterWritesBackAsTheScriptLineHoldsIt) {
  Catalogue c;
  struct Codes : IStatCodes {
    explicit Codes(const TStatList& l) : list(l) {}
    int Count() const override { return list.Count(); }
    std::string Code(int i) const override { return list.CodeOf(i); }
    const TStatList& list;
  } codes(c.stats);

  TFilterItem read = TextToFilterItem("BMF2#SUMS:10-50;10#WMV:3#ST:4#1:-1:1:0:1", codes);
  ASSERT_EQ(read.Stat, c.Method("SUMS"));
  TFilterEditor e(c.source, read);
  EXPECT_EQ(e.Fields.DrawsLen, "10-50;10");
  EXPECT_TRUE(e.Fields.CDLOverride);
  EXPECT_TRUE(e.CoefsEnabled());
  ASSERT_TRUE(e.Check().Ok());
  EXPECT_EQ(FilterItemToText(e.Result(), codes), "BMF2#SUMS:10-50;10#WMV:3#ST:4#1:-1:1:0:1");

  // Another statistic, sort column and stop; the weight condition's own coefficients are dropped with
  // the override box.
  e.SetStatItem(StatChooserItemOf(c.chooser, c.Method("NUMS")));
  e.Fields.SortOrder = 6;
  e.Fields.Direction = 0;
  e.Fields.CDLOverride = false;
  e.Fields.LevelMode = lmLNO;
  e.Fields.StopMode = smSF;
  e.Fields.StopValue = 1;
  EXPECT_EQ(FilterItemToText(e.Result(), codes), "TMF6#NUMS:10-50;10#LNO:3#SF:1");
}
