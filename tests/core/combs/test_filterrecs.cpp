// Filter records: the condition tables, the variant list and the rules of the filter editor.
#include <gtest/gtest.h>

#include <set>

#include "combs/filterrecs.h"

using namespace quintar;

TEST(FilterTables, KeywordOrderIsTheStoredIndex) {
  const char* levels[] = {"LNO", "LMV", "LMP", "LLV", "LLP", "LDV", "LDP", "DMV", "DMP", "DLV", "DLP",
                          "DDV", "DDP", "CMV", "CMP", "CLV", "CLP", "CDV", "CDP", "WMV", "WLV", "WDV",
                          "PIM", "PIL", "PIR", "PAM", "PAL", "PAR", "PXM", "PXL", "PXR", "LVA"};
  for (int i = 0; i < kLevelModeCount; ++i) EXPECT_EQ(LevelModeKeyword(i), levels[i]);
  const char* stops[] = {"SF", "SC", "SZ", "ST", "SV", "SP"};
  for (int i = 0; i < kStopModeCount; ++i) EXPECT_EQ(StopModeKeyword(i), stops[i]);
  EXPECT_EQ(LevelModeName(32), "# ERROR #");
  EXPECT_EQ(StopModeName(-1), "# ERROR #");

  std::set<int> lists;
  for (int i = 0; i < kLevelModeCount; ++i)
    if (LevelModeIsList(i)) lists.insert(i);
  EXPECT_EQ(lists, (std::set<int>{5, 6, 11, 12, 17, 18, 21, 24, 27, 30, 31}));
}

TEST(FilterVariants, ListIsFirstInFirstOut) {
  TFilterVarList list;
  TFilterRec rec;
  for (int i = 1; i <= 3; ++i) {
    rec[0].Active = true;
    rec[0].DrawsCount = i * 10;
    list.Append(rec);
  }
  EXPECT_EQ(list.Count(), 3);
  TFilterRec got;
  ASSERT_TRUE(list.TakeFirst(got));
  EXPECT_EQ(got[0].DrawsCount, 10);
  list.Append(rec);  // appending after taking keeps the order
  ASSERT_TRUE(list.TakeFirst(got));
  EXPECT_EQ(got[0].DrawsCount, 20);
  ASSERT_TRUE(list.TakeFirst(got));
  ASSERT_TRUE(list.TakeFirst(got));
  EXPECT_EQ(got[0].DrawsCount, 30);
  EXPECT_FALSE(list.TakeFirst(got));
  EXPECT_TRUE(list.Empty());

  for (int i = 0; i < 20000; ++i) list.Append(rec);
  EXPECT_EQ(list.Count(), 20000);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(FilterEditor, OpensWithDefaultsOrTheItem) {
  const TWeightCoefs global{1, 2, 3, true, false};
  TFilterEditorFields f = FilterEditorFields(TFilterItem{}, 4, 150, global);
  EXPECT_EQ(f.Stat, 4);
  EXPECT_EQ(f.DrawsLen, "150");
  EXPECT_EQ(f.SortOrder, 1);
  EXPECT_EQ(f.StopValue, 1);
  EXPECT_EQ(f.CoefLevel, 3);

  TFilterItem item;
  item.Active = true;
  item.Stat = 7;
  item.BottomUp = true;
  item.StopValue = 0;  // read from a field without a stop value
  item.CoefCount = 9;
  f = FilterEditorFields(item, 4, 150, global);
  EXPECT_EQ(f.Stat, 7);
  EXPECT_EQ(f.DrawsLen, "150");  // an empty draws text keeps the default
  EXPECT_EQ(f.Direction, 1);
  EXPECT_EQ(f.StopValue, 1);
  EXPECT_EQ(f.CoefCount, 1);  // no override: the program-wide coefficients

  item.WeightOverride = true;
  f = FilterEditorFields(item, 4, 150, global);
  EXPECT_EQ(f.CoefCount, 9);
  EXPECT_FALSE(f.CoefPercents);
}

TEST(FilterEditor, EnablingAndKeys) {
  for (int m = 0; m < kLevelModeCount; ++m) EXPECT_EQ(FilterEditorOverrideEnabled(m), m >= 19 && m <= 21) << m;
  EXPECT_TRUE(FilterEditorCoefsEnabled(lmWLV, true));
  EXPECT_FALSE(FilterEditorCoefsEnabled(lmWLV, false));
  EXPECT_FALSE(FilterEditorCoefsEnabled(lmLMV, true));
  for (char32_t c : std::u32string(U"0123456789,-;\b\x7f")) EXPECT_TRUE(FilterEditorAcceptsChar(c));
  for (char32_t c : std::u32string(U"a. :ж+")) EXPECT_FALSE(FilterEditorAcceptsChar(c));
}

TEST(FilterEditor, ChecksInOrder) {
  TFilterEditorFields f;
  f.DrawsLen = "100";
  EXPECT_TRUE(CheckFilterEditor(f, false).Ok());

  for (const char* bad : {"", "0", "abc", "10-", "0,100", "-5"}) {
    f.DrawsLen = bad;
    TFilterEditorCheck c = CheckFilterEditor(f, true);
    EXPECT_EQ(c.Field, TFilterEditorField::DrawsLen) << bad;
    EXPECT_EQ(c.Message, "Введен некорректный диапазон значений!");
  }
  f.DrawsLen = "10-100;10";

  // The value list condition needs a statistic that reads values; it is checked before the values.
  f.LevelMode = lmLVA;
  f.LevelValue = "";
  EXPECT_EQ(CheckFilterEditor(f, false).Field, TFilterEditorField::LevelMode);
  EXPECT_EQ(CheckFilterEditor(f, false).Message, kNoValueListMessage);
  EXPECT_EQ(CheckFilterEditor(f, true).Field, TFilterEditorField::LevelValue);
  f.LevelValue = "1;2";
  EXPECT_TRUE(CheckFilterEditor(f, true).Ok());

  // No condition: the values are not looked at.
  f.LevelMode = lmLNO;
  f.LevelValue = "junk";
  EXPECT_TRUE(CheckFilterEditor(f, false).Ok());

  f.MultiSelect = true;
  f.StopMode = smSC;
  EXPECT_EQ(CheckFilterEditor(f, false).Field, TFilterEditorField::StopMode);
  EXPECT_EQ(CheckFilterEditor(f, false).Message,
            "В режиме мультивыделения остановка сценария по количеству комбинаций или чисел не может быть "
            "выполнена!\rВыберите другой способ останова.");
  f.MultiSelect = false;
  EXPECT_TRUE(CheckFilterEditor(f, false).Ok());
}

TEST(FilterEditor, ResultRoundTripsThroughTheFields) {
  TFilterItem item;
  item.Active = true;
  item.StatText = "OLD:5";
  item.Stat = 3;
  item.DrawsText = "10,20";
  item.SortColumn = 6;
  item.BottomUp = item.MultiSelect = item.KeepSelected = true;
  item.LevelMode = lmWDV;
  item.LevelText = "1;2";
  item.WeightOverride = true;
  item.CoefCount = 0.5;
  item.CoefAbs = true;
  item.StopMode = smSV;
  item.StopValue = 12;
  EXPECT_EQ(FilterEditorResult(FilterEditorFields(item, 0, 100, TWeightCoefs{}), item), item);
}
