// Script lines and filter fields: field splitting, the options field, the filter text form in both
// directions, the statistic code lookup, stake comments and the line editor's fields.
#include <gtest/gtest.h>

#include <random>

#include "combs/stakesfile.h"
#include "scripts/scriptline.h"
#include "util/strutil.h"

using namespace quintar;

namespace {

// A catalogue excerpt in catalogue order, with codes that are prefixes of later ones.
const TStatCodeList kCodes = {"NUMS", "SUMS", "SUM1", "SUM2", "CHN1", "CHN2", "CHN10", "CHN11", "PRV+1", "PRV-1"};

std::array<std::string, kStepFilters> NoFilters() { return {}; }

}  // namespace

TEST(ScriptFields, RunsOfSeparatorsCountAsOne) {
  EXPECT_EQ(FieldCount("", "|"), 0);
  EXPECT_EQ(FieldCount("|||", "|"), 0);
  EXPECT_EQ(FieldCount("||a||b|", "|"), 2);
  EXPECT_EQ(NthField("||a||b|", 1, "|"), "a");
  EXPECT_EQ(NthField("||a||b|", 2, "|"), "b");
  EXPECT_EQ(NthField("||a||b|", 3, "|"), "");
  EXPECT_EQ(NthField("a#b:c", 2, "#:"), "b");
  EXPECT_EQ(NthField("abc", 0, "|"), "");
}

TEST(ScriptFields, BuildAndReadLine) {
  // No filters and no comment: seven blanks between bars and a final bar.
  EXPECT_EQ(BuildScriptLine("FULL:0#RAND", NoFilters(), ""), "FULL:0#RAND| | | | | | | |");
  EXPECT_EQ(BuildScriptLine("FULL:0#RAND", NoFilters(), "   "), "FULL:0#RAND| | | | | | | |");

  auto filters = NoFilters();
  filters[0] = "TSD1#SUMS:100#LMV:5#SF:1";
  filters[2] = "  ";
  const std::string line = BuildScriptLine("EXCL:5#RAND", filters, "my comment");
  EXPECT_EQ(line, "EXCL:5#RAND|TSD1#SUMS:100#LMV:5#SF:1| | | | | | |my comment");
  EXPECT_EQ(FieldCount(line, "|"), 9);
  EXPECT_EQ(ScriptLineField(line, 1), "EXCL:5#RAND");
  EXPECT_EQ(ScriptLineField(line, 2), "TSD1#SUMS:100#LMV:5#SF:1");
  EXPECT_EQ(ScriptLineField(line, 3), "");
  EXPECT_EQ(ScriptLineField(line, 9), "my comment");

  // Another tool's line with nothing for filter 1: filter 2 is read as filter 1 and every later field,
  // the comment included, one place to the left.
  const std::string foreign = "FULL:0#RAND||TSD1#SUMS:100| | | | | |c";
  EXPECT_EQ(ScriptLineField(foreign, 2), "TSD1#SUMS:100");
  EXPECT_EQ(ScriptLineField(foreign, 8), "c");
  EXPECT_EQ(ScriptLineField(foreign, 9), "");

  // A comment holding "|" is read up to it.
  EXPECT_EQ(ScriptLineField("FULL:0#RAND| | | | | | | |a|b", 9), "a");
}

TEST(ScriptOptions, ReadingFallsBackToFirstEntries) {
  TScriptOptions o = TextToScriptOptions("EXCL#ALL");
  EXPECT_EQ(o.StartCombsType, scEXCL);
  EXPECT_EQ(o.DrawsExclude, 0);
  EXPECT_EQ(o.ResultCombsMode, rmALL);

  o = TextToScriptOptions(" excl:3#all#nex ");
  EXPECT_EQ(o, (TScriptOptions{3, scEXCL, rmALL, false, true}));

  EXPECT_EQ(TextToScriptOptions("FULL:0#RANDOM").ResultCombsMode, rmRAND);
  EXPECT_EQ(TextToScriptOptions("FULL:0#first").ResultCombsMode, rmFIRST);
  EXPECT_EQ(TextToScriptOptions("CURRENT:x#NONE#clr#what").StartCombsType, scCURR);
  EXPECT_EQ(TextToScriptOptions("CURRENT:x#NONE#clr#what").DrawsExclude, 0);
  EXPECT_TRUE(TextToScriptOptions("CURRENT:x#NONE#clr#what").ClearStakes);
  EXPECT_EQ(TextToScriptOptions("what"), TScriptOptions{});
  EXPECT_EQ(TextToScriptOptions(""), TScriptOptions{});
}

TEST(ScriptOptions, TextForms) {
  const TScriptOptions all{5, scEXCL, rmALL, true, true};
  EXPECT_EQ(ScriptOptionsToText(all), "EXCL:5#ALL#CLR#NEX");
  EXPECT_EQ(ScriptOptionsToRunText(all), "EXCL:5#ALL#NEX");
  EXPECT_EQ(ScriptOptionsCaption(all), "Исключить 5 тиражей; Все; Удалить ставки; Только новые ставки");

  const TScriptOptions full{7, scFULL, rmRAND, false, false};
  EXPECT_EQ(ScriptOptionsToText(full), "FULL:7#RAND");
  EXPECT_EQ(ScriptOptionsToRunText(full), "FULL#RAND");
  EXPECT_EQ(ScriptOptionsCaption(full), "Исходный список; Случайно; Все создаваемые ставки");
  EXPECT_EQ(ScriptOptionsCaption(TScriptOptions{0, scCURR, rmSYSC, false, false}),
            "Текущий список; Система [комб]; Все создаваемые ставки");

  // Every combination of keywords and flags reads back as written.
  for (int s = 0; s < kStartCombsCount; ++s)
    for (int r = 0; r < kResultCombsCount; ++r)
      for (int flags = 0; flags < 4; ++flags) {
        TScriptOptions o{12, static_cast<uint8_t>(s), static_cast<uint8_t>(r), (flags & 1) != 0, (flags & 2) != 0};
        EXPECT_EQ(TextToScriptOptions(ScriptOptionsToText(o)), o);
      }
}

TEST(ScriptOptions, NamesOutsideTheTables) {
  EXPECT_EQ(StartCombsTypeName(3, true), "# ERROR #");
  EXPECT_EQ(ResultCombsModeName(-1, false), "# ERROR #");
}

TEST(FilterText, ReadsEveryWord) {
  const std::string text = "BMF2#SUMS:10-50;10#WMV:3#ST:4#1:-1:1:0:1";
  TFilterItem want{true, "SUMS:10-50;10", 1, "10-50;10", 2, true, true, true, lmWMV, "3",
                   true, 1, -1, 1, false, true, smST, 4};
  EXPECT_EQ(TextToFilterItem(text, kCodes), want);
  EXPECT_EQ(FilterItemToText(want, kCodes), text);
}

TEST(FilterText, SortColumnAndCaseRules) {
  EXPECT_EQ(TextToFilterItem("TSD12#SUMS:100#LNO:#SF:1", kCodes).SortColumn, 12);
  EXPECT_EQ(TextToFilterItem("TSD#SUMS:100#LNO:#SF:1", kCodes).SortColumn, 1);
  EXPECT_EQ(TextToFilterItem("TSDx#SUMS:100#LNO:#SF:1", kCodes).SortColumn, 1);

  // Letters are case-sensitive, keywords and codes are not.
  TFilterItem f = TextToFilterItem("bmf1#sums:100#lmv:5#sz:2", kCodes);
  EXPECT_FALSE(f.BottomUp);
  EXPECT_FALSE(f.MultiSelect);
  EXPECT_FALSE(f.KeepSelected);
  EXPECT_EQ(f.Stat, 1);
  EXPECT_EQ(f.LevelMode, lmLMV);
  EXPECT_EQ(f.StopMode, smSZ);
  EXPECT_EQ(f.StopValue, 2);
}

TEST(FilterText, MissingWordsAndDefaults) {
  // Two words only: no condition, SF with 0.
  TFilterItem f = TextToFilterItem("TSD1#SUMS:100", kCodes);
  EXPECT_EQ(f.LevelMode, lmLNO);
  EXPECT_EQ(f.LevelText, "");
  EXPECT_EQ(f.StopMode, smSF);
  EXPECT_EQ(f.StopValue, 0);
  EXPECT_FALSE(f.WeightOverride);

  // Unknown keywords fall back; an unreadable stop value is 1.
  f = TextToFilterItem("TSD1#SUMS:100#XYZ:5#SQ:x", kCodes);
  EXPECT_EQ(f.LevelMode, lmLNO);
  EXPECT_EQ(f.LevelText, "");
  EXPECT_EQ(f.StopMode, smSF);
  EXPECT_EQ(f.StopValue, 0);
  EXPECT_EQ(TextToFilterItem("TSD1#SUMS:100#LNO:#ST:x", kCodes).StopValue, 1);
  EXPECT_EQ(TextToFilterItem("TSD1#SUMS:100#LNO:#ST", kCodes).StopValue, 1);

  // A blank text is an empty slot and writes nothing.
  EXPECT_EQ(TextToFilterItem("  ", kCodes), TFilterItem{});
  EXPECT_EQ(FilterItemToText(TFilterItem{}, kCodes), "");
}

TEST(FilterText, UnknownStatisticKeepsItsText) {
  TFilterItem f = TextToFilterItem("TSD1#ABCD:100#LMV:5#SF:1", kCodes);
  EXPECT_EQ(f.Stat, -1);
  EXPECT_EQ(f.StatText, "ABCD:100");
  EXPECT_EQ(f.DrawsText, "");
  EXPECT_EQ(FilterItemToText(f, kCodes), "TSD1#ABCD:100#LMV:5#SF:1");
  // Without any catalogue every filter keeps its statistic field as typed.
  EXPECT_EQ(FilterItemToText(TextToFilterItem("TSD1#SUMS:100#LMV:5#SF:1", TStatCodeList{}), TStatCodeList{}),
            "TSD1#SUMS:100#LMV:5#SF:1");
}

TEST(FilterText, CodeLookupPrefersTheWholeCode) {
  EXPECT_EQ(FindStatCode(kCodes, "CHN10:100"), 6);
  EXPECT_EQ(FindStatCode(kCodes, "chn11:100"), 7);
  EXPECT_EQ(FindStatCode(kCodes, "CHN1:100"), 4);
  EXPECT_EQ(FindStatCode(kCodes, "PRV-1:50"), 9);
  // A code followed by other characters is still found by the first prefix in catalogue order.
  EXPECT_EQ(FindStatCode(kCodes, "SUMS100"), 1);
  EXPECT_EQ(FindStatCode(kCodes, "CHN15:100"), 4);
  EXPECT_EQ(FindStatCode(kCodes, "XYZ"), -1);
  EXPECT_EQ(FindStatCode(kCodes, ""), -1);
}

TEST(FilterText, Coefficients) {
  TFilterItem f = TextToFilterItem("TSD1#SUMS:100#WMV:5#SF:1#0,5:-1:1:1:0", kCodes);
  EXPECT_DOUBLE_EQ(f.CoefCount, 0.5);
  EXPECT_DOUBLE_EQ(f.CoefDeviation, -1);
  EXPECT_DOUBLE_EQ(f.CoefLevel, 1);
  EXPECT_TRUE(f.CoefPercents);
  EXPECT_FALSE(f.CoefAbs);
  EXPECT_EQ(FilterItemToText(f, kCodes), "TSD1#SUMS:100#WMV:5#SF:1#0.5:-1:1:1:0");

  EXPECT_DOUBLE_EQ(TextToCoef("x1.25y"), 1.25);
  EXPECT_DOUBLE_EQ(TextToCoef(" 2,5 "), 2.5);
  EXPECT_EQ(TextToCoef("abc"), 0);
  EXPECT_EQ(TextToCoef("1.2.3"), 0);
  // Booleans are true only for "1".
  f = TextToFilterItem("TSD1#SUMS:100#WMV:5#SF:1#1:1:1:yes:01", kCodes);
  EXPECT_FALSE(f.CoefPercents);
  EXPECT_FALSE(f.CoefAbs);

  // Very large and very small values are written with an exponent and read back.
  EXPECT_EQ(CoefToText(1e20), "1E20");
  EXPECT_EQ(CoefToText(0.00001), "1E-5");
  EXPECT_DOUBLE_EQ(TextToCoef(CoefToText(1e20)), 1e20);
  EXPECT_DOUBLE_EQ(TextToCoef(CoefToText(-2.5e-7)), -2.5e-7);
  EXPECT_EQ(CoefToText(-0.0), "0");
  EXPECT_EQ(CoefToText(0.1 + 0.2), "0.3");
}

TEST(FilterText, RoundTripOfGeneratedItems) {
  std::mt19937 rng(7);
  const double coefs[] = {0, 1, -1, 0.5, -0.25, 3.75, 123456.789, 1e-5, 2e20, 0.333333333333333};
  const char* draws[] = {"100", "10,20,30", "10-100;10", "50; 60"};
  const char* levels[] = {"", "5", "1-3;1", "1, 2", "-4"};
  for (int i = 0; i < 500; ++i) {
    TFilterItem f;
    f.Active = true;
    f.Stat = static_cast<int32_t>(rng() % static_cast<unsigned>(kCodes.Count()));
    f.DrawsText = draws[rng() % 4];
    f.StatText = kCodes.Code(f.Stat) + ":" + f.DrawsText;
    f.SortColumn = static_cast<int32_t>(rng() % 14);
    f.BottomUp = rng() % 2;
    f.MultiSelect = rng() % 2;
    f.KeepSelected = rng() % 2;
    f.LevelMode = static_cast<uint8_t>(rng() % kLevelModeCount);
    f.LevelText = f.LevelMode == lmLNO ? "" : levels[1 + rng() % 4];
    f.WeightOverride = rng() % 2;
    if (f.WeightOverride) {
      f.CoefCount = coefs[rng() % 10];
      f.CoefDeviation = coefs[rng() % 10];
      f.CoefLevel = coefs[rng() % 10];
      f.CoefPercents = rng() % 2;
      f.CoefAbs = rng() % 2;
    }
    f.StopMode = static_cast<uint8_t>(rng() % kStopModeCount);
    f.StopValue = static_cast<int32_t>(rng() % 1000);
    const std::string text = FilterItemToText(f, kCodes);
    const TFilterItem back = TextToFilterItem(text, kCodes);
    ASSERT_EQ(back, f) << text;
    ASSERT_EQ(FilterItemToText(back, kCodes), text);
  }
}

TEST(FilterText, PartsAndRecords) {
  TFilterPart p;
  p.Active = true;
  p.Stat = 1;
  p.DrawsCount = 100;
  p.LevelMode = lmLMV;
  p.LevelValue = "5";
  p.LevelText = "5";
  p.StopValue = 1;
  EXPECT_EQ(FilterPartToText(p, kCodes), "TSD#SUMS:100#LMV:5#SF:1");
  // Read back as a filter field it has sort column 1.
  EXPECT_EQ(TextToFilterItem(FilterPartToText(p, kCodes), kCodes).SortColumn, 1);

  TFilterPart w = p;
  w.LevelMode = lmWDV;
  w.LevelValue = "1,2";
  w.LevelText = "1, 2";
  w.BottomUp = w.MultiSelect = w.KeepSelected = true;
  w.WeightOverride = true;
  w.CoefCount = 0.5;
  w.CoefAbs = true;
  EXPECT_EQ(FilterPartToText(w, kCodes), "BMF#SUMS:100#WDV:1, 2#SF:1#0.5:0:0:0:1");

  TFilterRec rec;
  rec[0] = p;
  rec[2] = w;
  EXPECT_EQ(FilterRecToText(rec, kCodes), "TSD#SUMS:100#LMV:5#SF:1 + BMF#SUMS:100#WDV:1, 2#SF:1#0.5:0:0:0:1");
  EXPECT_EQ(FilterRecToText(TFilterRec{}, kCodes), "");
  EXPECT_EQ(FilterPartToText(TFilterPart{}, kCodes), "");
}

TEST(ScriptStake, CommentAndItsLimit) {
  EXPECT_EQ(ScriptStakeComment(1, 0, "", "FULL#FIRST"), "01.000: @ FULL#FIRST");
  EXPECT_EQ(ScriptStakeComment(3, 2, "my comment", "EXCL:5#RAND + TSD#SUMS:100#LMV:5#SF:1"),
            "03.002: my comment @ EXCL:5#RAND + TSD#SUMS:100#LMV:5#SF:1");

  // A stake record keeps the first 255 characters of a long comment, Cyrillic ones included.
  std::string longComment;
  for (int i = 0; i < 300; ++i) longComment += "ж";
  const std::string comment = ScriptStakeComment(12, 345, longComment, "FULL#ALL");
  TStakeRec r = EmptyStake();
  r.SetComment(comment);
  EXPECT_EQ(r.CommentLen, 255);
  EXPECT_EQ(r.Comment(), Utf8Left(comment, 255));
  EXPECT_EQ(Utf8Length(r.Comment()), 255u);
}

TEST(ScriptEditor, LoadsAndBuildsLines) {
  const std::string line = "excl:3#all#nex|TSD1#SUMS:100#LMV:5#SF:1| | |BSD2#NUMS:10#LNO:#SF:1| | | |note";
  TScriptEditorFields f = ScriptEditorFields(line, 9);
  EXPECT_EQ(f.StartCombsType, scEXCL);
  EXPECT_EQ(f.DrawsCount, 3);
  EXPECT_EQ(f.ResultCombsMode, rmALL);
  EXPECT_FALSE(f.ClearStakes);
  EXPECT_TRUE(f.NewOnly);
  EXPECT_EQ(f.Filters[0], "TSD1#SUMS:100#LMV:5#SF:1");
  EXPECT_EQ(f.Filters[1], "");
  EXPECT_EQ(f.Filters[3], "BSD2#NUMS:10#LNO:#SF:1");
  EXPECT_EQ(f.Comment, "note");
  EXPECT_EQ(ScriptEditorLine(f),
            "EXCL:3#ALL#NEX|TSD1#SUMS:100#LMV:5#SF:1| | |BSD2#NUMS:10#LNO:#SF:1| | | |note");

  // An empty line opens with the first entries and the default draws count; the count is written
  // whatever the starting list.
  f = ScriptEditorFields("", 9);
  EXPECT_EQ(f.StartCombsType, scFULL);
  EXPECT_EQ(f.DrawsCount, 9);
  EXPECT_EQ(f.Comment, "");
  EXPECT_EQ(ScriptEditorLine(f), "FULL:9#RAND| | | | | | | |");

  // A bar or a line break typed into a field cannot shift the fields or split the line.
  f.Filters[0] = "TSD1#SUMS:100|x";
  f.Comment = "a|b\r\nc";
  const std::string built = ScriptEditorLine(f);
  EXPECT_EQ(FieldCount(built, "|"), 9);
  EXPECT_EQ(ScriptLineField(built, 2), "TSD1#SUMS:100/x");
  EXPECT_EQ(ScriptLineField(built, 9), "a/b  c");
}
