// Script runs: expanding filters into variants, row and stop conditions, the run log, and whole runs of
// the session over the real archive (forecast, test, stop, NEX, roll-back, step counting).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "app/session.h"
#include "scripts/scriptline.h"
#include "scripts/scriptrun.h"
#include "testutil.h"
#include "util/cp1251.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::RunCli;
using quintar::test::ScriptedHost;
using quintar::test::SharedDataFile;
using quintar::test::TempDir;

namespace {

const TStatCodeList kCodes{"NUMS", "SUMS", "SUM2"};

std::vector<TFilterRec> Variants(const std::vector<std::string>& filters, TVariantHooks hooks = {}) {
  std::vector<TFilterItem> items;
  for (const auto& f : filters) items.push_back(TextToFilterItem(f, kCodes));
  TFilterVarList list;
  BuildFilterVariants(items, kCodes, list, hooks);
  std::vector<TFilterRec> out;
  TFilterRec rec;
  while (list.TakeFirst(rec)) out.push_back(rec);
  return out;
}

TStatValues Row(const std::string& depth, const std::string& count = "5", const std::string& countPct = "10,00000") {
  TStatValues r;
  r.Value = "12";
  r.ValueKey = 12;
  r.Count = count;
  r.CountPct = countPct;
  r.Deviation = "-";
  r.DeviationPct = "-";
  r.Depth = depth;
  r.DepthPct = "50,00";
  r.Weight = "-3,50";
  r.PeriodMin = "2";
  r.Period = "6,2500";
  r.PeriodMax = "17";
  return r;
}

TFilterPart Part(int mode, const std::string& value, int stopMode = smSF, int stopValue = 0, bool bottomUp = false) {
  TFilterPart p;
  p.Active = true;
  p.LevelMode = static_cast<uint8_t>(mode);
  p.LevelValue = value;
  p.StopMode = static_cast<uint8_t>(stopMode);
  p.StopValue = stopValue;
  p.BottomUp = bottomUp;
  return p;
}

std::string ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

}  // namespace

// Variants ------------------------------------------------------------------------------------------------

TEST(ScriptVariants, FirstFilterVariesSlowestAndCountsMultiply) {
  auto v = Variants({"TSD1#SUMS:10, 20#LMV:1-3;1#SF:1"});
  ASSERT_EQ(v.size(), 6u);
  const std::pair<int, std::string> expected[] = {{10, "1"}, {10, "2"}, {10, "3"}, {20, "1"}, {20, "2"}, {20, "3"}};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(v[i][0].DrawsCount, expected[i].first);
    EXPECT_EQ(v[i][0].LevelValue, expected[i].second);
    EXPECT_EQ(v[i][0].LevelText, expected[i].second);
    EXPECT_FALSE(v[i][1].Active);
  }
  EXPECT_EQ(FilterRecToText(v[4], kCodes), "TSD#SUMS:20#LMV:2#SF:1");

  auto two = Variants({"TSD1#SUMS:10, 20#LMV:1-3;1#SF:1", "BMF2#NUMS:5#CLV:1,2,3,4,5,6#ST:2"});
  ASSERT_EQ(two.size(), 36u);
  EXPECT_EQ(two[1][0].LevelValue, "1");  // the second filter varies first
  EXPECT_EQ(two[1][1].LevelValue, "2");
  EXPECT_EQ(two[6][0].LevelValue, "2");
  EXPECT_TRUE(two[35][1].BottomUp && two[35][1].MultiSelect && two[35][1].KeepSelected);
  EXPECT_EQ(two[35][1].StopMode, smST);
  EXPECT_EQ(two[35][1].StopValue, 2);
}

TEST(ScriptVariants, ListAndUnconditionedFiltersGiveOneVariantPerDrawsCount) {
  auto w = Variants({"TSD1#SUMS:100#WDV:1, 2#SF:1#0.5:-1:1:1:0"});
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(w[0][0].LevelValue, "1,2");
  EXPECT_EQ(w[0][0].LevelText, "1, 2");
  EXPECT_NE(FilterRecToText(w[0], kCodes).find("WDV:1, 2"), std::string::npos);
  EXPECT_TRUE(w[0][0].WeightOverride);
  EXPECT_DOUBLE_EQ(w[0][0].CoefCount, 0.5);

  auto n = Variants({"TSD1#SUMS:10;20;30#LNO:#SF:1"});
  ASSERT_EQ(n.size(), 3u);
  EXPECT_EQ(n[2][0].DrawsCount, 30);
  EXPECT_EQ(n[2][0].LevelValue, "");
}

TEST(ScriptVariants, BadListsTooManyVariantsAndStops) {
  try {
    Variants({"TSD1#SUMS:x#LMV:1#SF:1"});
    FAIL() << "no error";
  } catch (const EQuintar& e) {
    EXPECT_EQ(std::string(e.what()), "Некорректное описание фильтра: TSD1#SUMS:x#LMV:1#SF:1!");
  }
  EXPECT_THROW(Variants({"TSD1#SUMS:100#LMV:#SF:1"}), EQuintar);  // a level condition without values
  // 1001 x 1001 variants are refused before any is built.
  EXPECT_THROW(Variants({"TSD1#SUMS:1-1001;1#LMV:1-1001;1#SF:1"}), std::bad_alloc);
  // A stop ends the expansion; the progress shows every 1000th variant.
  int polls = 0;
  std::vector<int64_t> progress;
  TVariantHooks hooks;
  hooks.Stopped = [&] { return ++polls > 2500; };
  hooks.Progress = [&](int64_t n) { progress.push_back(n); };
  auto v = Variants({"TSD1#SUMS:1-100;1#LMV:1-100;1#SF:1"}, hooks);
  EXPECT_LT(v.size(), 10000u);
  EXPECT_GE(v.size(), 2000u);
  EXPECT_EQ(progress.front(), 1000);
}

// Row and stop conditions ---------------------------------------------------------------------------------

TEST(ScriptRows, ThresholdsTreatCellsWithoutValueAsTheirDefaults) {
  // An empty (or dashed) depth fails "at least" and passes "at most" only for 65535 and more.
  EXPECT_FALSE(RowQualifies(Part(lmLMV, "1"), Row("")));
  EXPECT_FALSE(RowQualifies(Part(lmLMV, "1"), Row("-")));
  EXPECT_TRUE(RowQualifies(Part(lmLMV, "0"), Row("-")));
  EXPECT_FALSE(RowQualifies(Part(lmLLV, "65534"), Row("")));
  EXPECT_TRUE(RowQualifies(Part(lmLLV, "65535"), Row("")));
  EXPECT_TRUE(RowQualifies(Part(lmLMV, "7"), Row("7")));
  EXPECT_FALSE(RowQualifies(Part(lmLMV, "8"), Row("7")));
  // Percent cells use the decimal comma of the table.
  EXPECT_TRUE(RowQualifies(Part(lmCMP, "10"), Row("7")));
  EXPECT_FALSE(RowQualifies(Part(lmCMP, "11"), Row("7")));
  EXPECT_TRUE(RowQualifies(Part(lmWLV, "-3"), Row("7")));    // -3.5 <= -3
  EXPECT_TRUE(RowQualifies(Part(lmDLP, "0"), Row("7")) == false);  // "-" reads 65535 for "at most"
  EXPECT_TRUE(RowQualifies(Part(lmPAM, "6"), Row("7")));
  EXPECT_TRUE(RowQualifies(Part(lmPXL, "17"), Row("7")));
  EXPECT_TRUE(RowQualifies(Part(lmLNO, ""), Row("")));
  // The condition value must be an integer.
  EXPECT_THROW(RowQualifies(Part(lmLMV, "abc"), Row("7")), EQuintar);
  EXPECT_THROW(RowQualifies(Part(lmWMV, "1.5"), Row("7")), EQuintar);
}

TEST(ScriptRows, ListsMatchAnyItemAndReadStrictly) {
  EXPECT_TRUE(RowQualifies(Part(lmLDV, "3,7;9"), Row("7")));
  EXPECT_TRUE(RowQualifies(Part(lmLDV, " 3 ;; 7 "), Row("7")));
  EXPECT_FALSE(RowQualifies(Part(lmLDV, "3,8"), Row("7")));
  EXPECT_FALSE(RowQualifies(Part(lmLDV, ""), Row("7")));       // an empty list picks nothing
  EXPECT_FALSE(RowQualifies(Part(lmLDV, "0,7"), Row("-")));    // no value in the cell
  EXPECT_THROW(RowQualifies(Part(lmLDV, "3,x"), Row("7")), EQuintar);
  EXPECT_TRUE(RowQualifies(Part(lmPAR, "6.25"), Row("7")));    // number list against "6,2500"
  EXPECT_TRUE(RowQualifies(Part(lmCDP, "10"), Row("7")));
  EXPECT_TRUE(RowQualifies(Part(lmLVA, "11,12"), Row("7")));   // the row's key
  EXPECT_FALSE(RowQualifies(Part(lmLVA, "11,13"), Row("7")));
}

TEST(ScriptRows, StopConditionsFollowTheWalkDirection) {
  // SV: top down the walk stops at a count at or below the value, bottom up at or above it.
  EXPECT_TRUE(RowStops(Part(lmLNO, "", smSV, 5), Row("1", "5"), 0));
  EXPECT_FALSE(RowStops(Part(lmLNO, "", smSV, 5), Row("1", "6"), 0));
  EXPECT_TRUE(RowStops(Part(lmLNO, "", smSV, 5, true), Row("1", "6"), 0));
  EXPECT_FALSE(RowStops(Part(lmLNO, "", smSV, 5, true), Row("1", "4"), 0));
  EXPECT_TRUE(RowStops(Part(lmLNO, "", smSP, 10), Row("1", "5", "10,00000"), 0));
  EXPECT_FALSE(RowStops(Part(lmLNO, "", smSP, 10, true), Row("1", "5", "9,99"), 0));
  EXPECT_TRUE(RowStops(Part(lmLNO, "", smST, 2), Row("1"), 2));
  EXPECT_FALSE(RowStops(Part(lmLNO, "", smST, 2), Row("1"), 1));
  EXPECT_FALSE(RowStops(Part(lmLNO, "", smSF, 0), Row("1"), 100));
  EXPECT_FALSE(RowStops(Part(lmLNO, "", smSZ, 1), Row("1"), 100));
}

TEST(ScriptLog, NamesAndEntries) {
  TempDir dir;
  const TDateTime t = EncodeDate(2026, 8, 6) + (13 * 3600 + 5 * 60 + 9) / 86400.0;
  const std::string path = ScriptLogFileName(dir.Path(), t);
  EXPECT_EQ(path, dir.Path() + "ScriptLog_2026-08-06-13-05-09.txt");
  AppendScriptLog(path, "Выполнение строки 001", t);
  AppendScriptLog(path, "", t);
  EXPECT_EQ(Cp1251ToUtf8(ReadAll(path)),
            "[2026-08-06 13:05:09]: Выполнение строки 001\r\n[2026-08-06 13:05:09]: \r\n");
  EXPECT_EQ(FindScriptLogs(dir.Path()), std::vector<std::string>{path});
  EXPECT_THROW(AppendScriptLog(dir.Path() + "no/such/ScriptLog_x.txt", "x", t), EQuintar);
  EXPECT_EQ(LogRuler('=').size(), 94u);
}

// Runs of the session over the real archive ------------------------------------------------------------------

namespace {

// Asks for a stop when the test reaches an offset.
class StoppingHost : public ScriptedHost {
 public:
  Session* session = nullptr;
  int stopAtOffset = -1;
  void ProcessEvents() override {
    ScriptedHost::ProcessEvents();
    if (session && session->ScriptRunning && session->DrawsOffset() == stopAtOffset && session->CanScriptStop())
      session->ScriptStop();
  }
};

struct RunFixture {
  TempDir dir;
  StoppingHost host;
  Session s{dir.Path(), host};
  std::vector<std::string> log;

  bool Start() {
    const std::string csv = SharedDataFile("draws-7x35-import.csv");
    if (csv.empty()) return false;
    host.session = &s;
    s.StartCatalogue();
    s.ReserveCombsLists();
    EXPECT_TRUE(s.LoadStakes());
    EXPECT_EQ(s.DrawsImport(csv), 434);
    s.ScriptLogEcho = [this](const std::string& t) { log.push_back(t); };
    return true;
  }
  std::vector<TStakeRec> Stakes() {
    std::vector<TStakeRec> out;
    s.Stakes.ForEachStake([&](int, const TStakeRec& r) { out.push_back(r); });
    return out;
  }
  bool Logged(const std::string& text) const { return std::find(log.begin(), log.end(), text) != log.end(); }
  int Errors() const {
    return static_cast<int>(std::count_if(host.messages.begin(), host.messages.end(),
                                          [](const ScriptedHost::Message& m) { return m.kind == MsgKind::Error; }));
  }
};

#define START_OR_SKIP(f) \
  if (!(f).Start()) GTEST_SKIP() << "the real archive is missing"

}  // namespace

TEST(ScriptRun, LineWithoutFiltersStakesTheFirstCombination) {
  RunFixture f;
  START_OR_SKIP(f);
  f.s.ScriptLogEnabled = true;
  f.s.ScriptLines = {"FULL:0#FIRST| | | | | | | |"};
  ASSERT_TRUE(f.s.CanScriptRun());
  f.s.ScriptRun();
  EXPECT_EQ(f.Errors(), 0);
  auto stakes = f.Stakes();
  ASSERT_EQ(stakes.size(), 1u);  // an empty file gets no separator first
  const TStakeRec& r = stakes[0];
  EXPECT_EQ(r.Kind, skScript);
  EXPECT_EQ(r.Draw, 1578);
  EXPECT_EQ(r.Sample, COMBS_TOTAL);
  EXPECT_EQ(r.Numbers.Count, 7);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(r.Numbers.Nums[i], i + 1);
  EXPECT_EQ(r.Comment(), "01.000: @ FULL#FIRST");
  EXPECT_TRUE(f.Logged("{ERROR} Фильтры не применялись!"));
  EXPECT_TRUE(f.Logged("Выполнение строки 001: \"FULL:0#FIRST| | | | | | | |\""));
  EXPECT_TRUE(f.Logged("=== Выполнение сценария для смещения 000000 =================================================="));
  EXPECT_TRUE(f.Logged("{+} Ставка на тираж 1578 добавлена в список ставок: [1;2;3;4;5;6;7]"));
  EXPECT_EQ(f.log.front(), kLogRunStart);
  EXPECT_EQ(f.log.back(), kLogRunEnd);
  EXPECT_EQ(f.s.ScriptStakeCount, 1);
  EXPECT_FALSE(f.s.ScriptRunning);
  EXPECT_EQ(f.s.ScriptCycle, 0);
  EXPECT_TRUE(f.s.IsIdle());
  // The log file is in the data folder, and LogsDelete removes it.
  ASSERT_EQ(FindScriptLogs(f.s.DataDir()).size(), 1u);
  EXPECT_NE(Cp1251ToUtf8(ReadAll(FindScriptLogs(f.s.DataDir())[0])).find("{ERROR} Фильтры не применялись!"), std::string::npos);
  f.s.LogsDelete();
  EXPECT_TRUE(FindScriptLogs(f.s.DataDir()).empty());
  f.s.LogsDelete();
  EXPECT_EQ(f.host.messages.back().text, "Файлы журналов не найдены!");
}

TEST(ScriptRun, TestPassesOldestFirstAndPutsTheOffsetBack) {
  RunFixture f;
  START_OR_SKIP(f);
  f.s.ScriptLines = {"FULL:0#FIRST| | | | | | | |", "", "EXCL:3#LAST| | | | | | | |note"};
  f.s.SetDrawsOffset(7);
  f.s.ScriptTest(3);
  EXPECT_EQ(f.Errors(), 0);
  EXPECT_EQ(f.s.DrawsOffset(), 7);
  std::vector<int> draws;
  std::vector<std::string> comments;
  for (const auto& r : f.Stakes())
    if (!r.IsSeparator()) {
      draws.push_back(r.Draw);
      comments.push_back(r.Comment());
    }
  EXPECT_EQ(draws, (std::vector<int>{1575, 1575, 1576, 1576, 1577, 1577}));
  EXPECT_EQ(comments[1], "03.000: note @ EXCL:3#LAST");
  // Every stake was checked against the archive and folded into the rating.
  for (const auto& r : f.Stakes()) {
    if (!r.IsSeparator()) {
      EXPECT_EQ(r.Checked, 1);
    }
  }
  ASSERT_EQ(f.s.Ratings.Count(), 2);
  EXPECT_EQ(f.s.Ratings[0].Stakes + f.s.Ratings[1].Stakes, 6);
  // A separator opens every pass after the first stake.
  EXPECT_EQ(f.Stakes().size(), 8u);
  EXPECT_EQ(f.s.ScriptStakeCount, 6);
  // The last list is that of the EXCL line, with its exclusion logged.
  EXPECT_EQ(f.s.FilterLog.Count(), 1);
}

TEST(ScriptRun, StopDuringATestLeavesTheOffset) {
  RunFixture f;
  START_OR_SKIP(f);
  f.host.stopAtOffset = 2;
  f.s.ScriptLines = {"FULL:0#FIRST| | | | | | | |", "FULL:0#LAST| | | | | | | |"};
  f.s.ScriptTest(3);
  EXPECT_EQ(f.s.DrawsOffset(), 2);
  EXPECT_FALSE(f.s.ScriptRunning);
  EXPECT_FALSE(f.s.StopRequested);  // reset for the next run
  ASSERT_FALSE(f.host.questions.empty());
  EXPECT_EQ(f.host.questions.back().text, "Остановить выполнение сценария?");
  std::vector<int> draws;
  for (const auto& r : f.Stakes())
    if (!r.IsSeparator()) draws.push_back(r.Draw);
  EXPECT_EQ(draws, (std::vector<int>{1575, 1575}));  // what was made stays
}

TEST(ScriptRun, NewOnlySkipsStakesAlreadyInTheFile) {
  RunFixture f;
  START_OR_SKIP(f);
  f.s.ScriptLogEnabled = true;
  f.s.ScriptLines = {"FULL:0#FIRST#NEX| | | | | | | |"};
  f.s.ScriptRun();
  EXPECT_EQ(f.s.ScriptStakeCount, 1);
  f.log.clear();
  f.s.ScriptRun();
  EXPECT_EQ(f.s.ScriptStakeCount, 0);
  EXPECT_TRUE(f.Logged("{-} Ставка на тираж 1578 не добавлена, так как уже имеется в списке ставок: [1;2;3;4;5;6;7]"));
  int real = 0;
  for (const auto& r : f.Stakes()) real += r.IsSeparator() ? 0 : 1;
  EXPECT_EQ(real, 1);
  // Without NEX the same stake is made again; CLR empties the file first.
  f.s.ScriptLines = {"FULL:0#FIRST| | | | | | | |"};
  f.s.ScriptRun();
  real = 0;
  for (const auto& r : f.Stakes()) real += r.IsSeparator() ? 0 : 1;
  EXPECT_EQ(real, 2);
  f.s.ScriptLines = {"FULL:0#LAST#CLR| | | | | | | |"};
  f.s.ScriptRun();
  ASSERT_EQ(f.Stakes().size(), 1u);
  EXPECT_EQ(f.Stakes()[0].Numbers.Nums[0], 29);
}

TEST(ScriptRun, SingleRowWalkRollsBackAndCountsSteps) {
  RunFixture f;
  START_OR_SKIP(f);
  // Keeping the combinations of one number per row: after seven rows one combination is left, the
  // eighth empties the list and is rolled back; SZ ends the walk there, SF goes on rolling back.
  f.s.ScriptLines = {"FULL:0#NONE|TSF1#NUMS:50#LNO:#SZ:1| | | | | | |"};
  f.s.ScriptRun();
  EXPECT_EQ(f.Errors(), 0);
  EXPECT_EQ(f.s.CurrentCombs.Count(), 1);
  auto undoLines = [&] {
    int n = 0;
    for (const auto& l : f.s.FilterLog.Lines()) n += l.Mark == TFilterMark::Undo ? 1 : 0;
    return n;
  };
  EXPECT_EQ(undoLines(), 1);
  EXPECT_EQ(f.s.FilterLog.Count(), 9);  // 8 keeps and the undo line
  const TComb sz = f.s.CurrentCombs[0];

  f.s.ScriptLines = {"FULL:0#NONE|TSF1#NUMS:50#LNO:#SF:1| | | | | | |"};
  f.s.ScriptRun();
  EXPECT_EQ(f.s.CurrentCombs.Count(), 1);
  EXPECT_EQ(f.s.CurrentCombs[0], sz);
  EXPECT_EQ(undoLines(), 28);

  // ST 2: two filterings that left combinations; C(33, 5) combinations hold both numbers.
  f.s.ScriptLines = {"FULL:0#NONE|TSF1#NUMS:50#LNO:#ST:2| | | | | | |"};
  f.s.ScriptRun();
  EXPECT_EQ(f.s.CurrentCombs.Count(), 237336);
  // Multi-select ST 2 looks at two rows only and filters once.
  f.s.ScriptLines = {"FULL:0#NONE|TMF1#NUMS:50#LNO:#ST:2| | | | | | |"};
  f.s.ScriptRun();
  EXPECT_EQ(f.s.CurrentCombs.Count(), COMBS_TOTAL - 4272048);
  EXPECT_EQ(f.s.FilterLog.Count(), 1);
  // SC stops once the list holds at most that many combinations.
  f.s.ScriptLines = {"FULL:0#NONE|TSF1#NUMS:50#LNO:#SC:300000| | | | | | |"};
  f.s.ScriptRun();
  EXPECT_EQ(f.s.CurrentCombs.Count(), 237336);
}

TEST(ScriptRun, FirstPartLeavingOneCombinationEndsTheVariant) {
  RunFixture f;
  START_OR_SKIP(f);
  // The first filter leaves one combination (SC 1 with keep of one number per row would take seven
  // steps); the second filter would empty nothing but is skipped, and STOP stakes the single one.
  f.s.ScriptLines = {"FULL:0#STOP|TSF1#NUMS:50#LNO:#SC:1|TSD1#NUMS:50#LNO:#SF:1| | | | | |c"};
  f.s.ScriptRun();
  EXPECT_EQ(f.Errors(), 0);
  ASSERT_EQ(f.Stakes().size(), 1u);
  EXPECT_EQ(f.Stakes()[0].Sample, 1);
  EXPECT_EQ(f.Stakes()[0].Comment(),
            "01.001: c @ FULL#STOP + TSF#NUMS:50#LNO:#SC:1 + TSD#NUMS:50#LNO:#SF:1");
  EXPECT_EQ(f.s.FilterLog.Count(), 7);
}

TEST(ScriptRun, StopActionAndErrorsEndTheRun) {
  RunFixture f;
  START_OR_SKIP(f);
  f.s.ScriptLines = {"FULL:0#STOP| | | | | | | |", "FULL:0#FIRST| | | | | | | |"};
  f.s.ScriptRun();
  ASSERT_FALSE(f.host.messages.empty());
  EXPECT_EQ(f.host.messages[0].kind, MsgKind::Attention);
  EXPECT_EQ(f.host.messages[0].text,
            "Выполнение сценария прервано, т.к. после применения всех фильтров в списке комбинаций их осталось более "
            "одной: 6724520!\r\rФильтры: 01.000: @ FULL#STOP");
  EXPECT_TRUE(f.Stakes().empty());  // the second line never ran
  f.host.messages.clear();
  // A statistic code the catalogue does not know, and a value that is not an integer.
  f.s.ScriptLines = {"FULL:0#FIRST|TSD1#NOSUCH:10#LNO:#SF:1| | | | | | |", "FULL:0#FIRST| | | | | | | |"};
  f.s.ScriptRun();
  EXPECT_EQ(f.Errors(), 1);
  EXPECT_TRUE(f.Stakes().empty());
  f.host.messages.clear();
  f.s.ScriptLines = {"FULL:0#FIRST|TSD1#NUMS:10#LMV:x#SF:1| | | | | | |"};
  f.s.ScriptRun();
  ASSERT_EQ(f.Errors(), 1);
  EXPECT_EQ(f.host.messages[0].text, "Некорректное описание фильтра: TSD1#NUMS:10#LMV:x#SF:1!");
  EXPECT_FALSE(f.s.ScriptRunning);
  EXPECT_TRUE(f.s.IsIdle());
}

TEST(ScriptCli, RunAndTestAScriptFile) {
  const std::string csv = SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is missing";
  TempDir dir;
  ASSERT_EQ(RunCli({"--data-dir=" + dir.Path(), "draws", "import", csv}), 0);
  const std::string script = dir.File("t.lsc");
  WriteFileAtomic(script, "FULL:0#FIRST| | | | | | | |\r\n");
  std::string out, err;
  EXPECT_EQ(RunCli({"--data-dir=" + dir.Path(), "script", "test", script, "--tests=3", "--log"}, &out, &err), 0) << err;
  EXPECT_NE(out.find("{+} Ставка на тираж 1577 добавлена в список ставок: [1;2;3;4;5;6;7]"), std::string::npos);
  EXPECT_NE(out.find("Ставок: 3"), std::string::npos);
  EXPECT_EQ(FindScriptLogs(dir.Path()).size(), 1u);
  EXPECT_EQ(RunCli({"--data-dir=" + dir.Path(), "script", "run", script, "--offset=1"}, &out, &err), 0) << err;
  EXPECT_EQ(out.find("{+}"), std::string::npos);  // no log without --log
  EXPECT_NE(out.find("Ставок: 1"), std::string::npos);
  // Three passes (a separator before the second and the third), then a separator and the forecast.
  EXPECT_EQ(FileSizeOf(dir.Path() + "Quintar_7x35.lsk"), 312 * 7);
  EXPECT_EQ(RunCli({"--data-dir=" + dir.Path(), "script", "test", script}, &out, &err), 2);
  EXPECT_EQ(RunCli({"--data-dir=" + dir.Path(), "script", "run", dir.File("none.lsc")}, &out, &err), 1);
}
