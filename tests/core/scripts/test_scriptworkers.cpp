// Script tests on several cores against the same tests on one thread, over the real archive: the stakes
// file, the rating, the run log, the messages and the lists left must be the same for every kind of
// starting list, variant, stop condition and result; a stop in the middle keeps exactly the passes of
// the offsets before it. Also the excluded starting list taken from the full list by place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "app/session.h"
#include "combs/combsgen.h"
#include "testutil.h"

using namespace quintar;
using quintar::test::ScriptedHost;
using quintar::test::SharedDataFile;
using quintar::test::TempDir;

namespace {

// Asks for a stop (answered yes) once the test has played a number of offsets.
class ProgressHost : public ScriptedHost {
 public:
  Session* session = nullptr;
  int stopAfter = -1;
  int lastStep = 0;
  void ProgressStep(int pos) override {
    lastStep = pos;
    if (pos == stopAfter && session->CanScriptStop()) session->ScriptStop();
  }
};

struct Case {
  const char* what;
  std::vector<std::string> lines;
  int tests = 4;
  bool checkOnLine = true;
  bool twice = false;   // the test runs twice: the second meets the first's stakes (NEX)
  int stopAfter = -1;   // a stop asked for after this many offsets
};

// Everything a test leaves that a user or a later run can see.
struct Outcome {
  std::string stakes;  // every record, byte for byte
  std::vector<std::string> rating, log, messages;
  int stakeCount = 0, offset = 0, stopStep = 0;
  std::vector<std::string> combs;  // the list left, and its filter log
  int chooserItem = -1;

};

Outcome RunCase(const Case& c, const std::string& csv, int threads) {
  TempDir dir;
  ProgressHost host;
  Outcome o;
  {
    Session s(dir.Path(), host);
    host.session = &s;
    host.stopAfter = c.stopAfter;
    s.StartCatalogue();
    s.ReserveCombsLists();
    EXPECT_TRUE(s.LoadStakes());
    EXPECT_EQ(s.DrawsImport(csv), 434);
    s.ScriptLines = c.lines;
    s.ScriptLogEnabled = true;
    s.StakesCheckOnLine = c.checkOnLine;
    s.ScriptSettings = {threads, 4242};
    s.ScriptLogEcho = [&](const std::string& t) { o.log.push_back(t); };
    s.SetDrawsOffset(2);
    for (int run = 0; run < (c.twice ? 2 : 1); ++run) s.ScriptTest(c.tests);
    s.Stakes.ForEachStake([&](int, const TStakeRec& r) { o.stakes.append(reinterpret_cast<const char*>(&r), sizeof r); });
    for (int r = 0; r < s.Ratings.Count(); ++r)
      for (const std::string& cell : s.RatingsCells(r)) o.rating.push_back(cell);
    for (const auto& m : host.messages) o.messages.push_back(std::to_string(static_cast<int>(m.kind)) + m.text);
    o.stakeCount = s.ScriptStakeCount;
    o.offset = s.DrawsOffset();
    o.stopStep = host.lastStep;
    for (int r = 0; r < s.CurrentCombs.Count(); ++r) o.combs.push_back(std::string(s.CurrentCombs[r].n, s.CurrentCombs[r].n + 7));
    o.combs.push_back("log " + std::to_string(s.FilterLog.Count()));
    o.chooserItem = s.DrawsStatChooser.ItemIndex;
    EXPECT_FALSE(s.ScriptRunning);
    EXPECT_TRUE(s.IsIdle());
    s.CloseStakesFile();
  }
  return o;
}

// The draws the stakes of a stakes file are for, separators left out, each once in file order.
std::vector<int> StakeDraws(const std::string& stakes) {
  std::vector<int> draws;
  for (size_t at = 0; at + sizeof(TStakeRec) <= stakes.size(); at += sizeof(TStakeRec)) {
    TStakeRec r;
    std::memcpy(&r, stakes.data() + at, sizeof r);
    if (!r.IsSeparator() && (draws.empty() || draws.back() != r.Draw)) draws.push_back(r.Draw);
  }
  return draws;
}

const Case kCases[] = {
    {"full list, multi-select delete and keep, random stake",
     {"FULL:0#RAND|TMD1#NUMS:30#LMV:10#SF:1|TMF1#EVEN:50#CMV:20#SF:1|"}},
    {"excluded list, draws and level variants, single row to an empty list (SZ), new stakes only, twice",
     {"EXCL:5#LAST#NEX|TMD1#NUMS:20,30#LMV:8,10#SF:1|TSF2#SUMS:50#CLV:2#SZ:1|"}, 3, true, true},
    {"current list after a full one, list conditions, stop by count (SV), every combination",
     {"FULL:0#FIRST|TSF1#NUMS:20#LNO:#SC:200|", "", "CURR:0#ALL|TSD1#EVEN:30#CDV:2,3#SF:1|TMD1#SUMS:40#LDV:0,1#SV:3|"}},
    {"single-row walks to a count (SC) and by steps (ST), bottom-up, skipped when several are left",
     {"EXCL:3#SKIP|TSF1#NUMS:20#LNO:#SC:50|TBF1#SMAL:40#LNO:#ST:2|", "EXCL:3#FIRST|TSF1#NUMS:25#LNO:#SC:40|"}},
    {"percent stop (SP), own weights, value list (LVA), a missing system, no stake; checks at the pass end",
     {"FULL:0#SYSA|TMF1#NUMS:15#LNO:#ST:9|", "FULL:0#NONE|TMD3#RPV2:60#CMP:5#SP:50#1.5:0.5:2:1:0|",
      "EXCL:2#RAND|TMF1#CHAN:30#LVA:1,2,3#SF:1|TSF1#KNM2:100#LNO:#SC:20|"},
     3, false},
    {"a STOP action ends the test at its first pass", {"FULL:0#FIRST|TMF1#NUMS:40#LNO:#ST:2|", "FULL:0#STOP|TMF1#SUMS:50#LNO:#ST:3|"}},
    {"an invalid filter ends the test with an error", {"FULL:0#FIRST|TMF1#NUMS:40#LNO:#ST:2|", "FULL:0#LAST|TMF1#SUMS:50#LMV:x#SF:1|"}},
    {"stakes cleared by a line: one thread", {"EXCL:2#LAST#CLR|TMD1#NUMS:30#LMV:10#SF:1|"}},
    {"a first line on the current list: one thread", {"CURR:0#FIRST|TMD1#SUMS:30#CLV:0#SF:1|", "FULL:0#LAST| | | | | | | |"}},
    {"a stop asked for after two offsets", {"EXCL:4#RAND|TMD1#NUMS:30#LMV:8#SF:1|", "FULL:0#FIRST|TSF1#SUMS:60#LNO:#ST:2|"}, 5,
     true, false, 2},
};

}  // namespace

TEST(ScriptWorkers, TestsOnSeveralCoresLeaveWhatOneThreadLeaves) {
  const std::string csv = SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is missing";
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    const Outcome one = RunCase(c, csv, 1);
    const Outcome two = RunCase(c, csv, 2);
    EXPECT_EQ(two.stakes, one.stakes);
    EXPECT_EQ(two.rating, one.rating);
    EXPECT_EQ(two.log, one.log);
    EXPECT_EQ(two.messages, one.messages);
    EXPECT_EQ(two.stakeCount, one.stakeCount);
    EXPECT_EQ(two.offset, one.offset);
    EXPECT_FALSE(one.stakes.empty() && one.messages.empty());  // every case does something
    if (c.stopAfter < 0) {
      EXPECT_EQ(two.combs, one.combs);
      EXPECT_EQ(two.chooserItem, one.chooserItem);
    } else {
      // After a stop asked for, the workers may have gone on with later offsets, so the lists are left out.
      // Exactly the passes of the first offsets: their draws, and the offset of the last one left.
      EXPECT_EQ(StakeDraws(two.stakes).size(), static_cast<size_t>(c.stopAfter));
      EXPECT_EQ(two.offset, c.tests - c.stopAfter + 1);
      EXPECT_EQ(two.stopStep, c.stopAfter);
    }
  }
}

TEST(ScriptWorkers, ExcludedListFromTheFullListIsTheScannedOne) {
  const std::string csv = SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is missing";
  TDrawArchive archive;
  {
    TempDir dir;
    ScriptedHost host;
    Session s(dir.Path(), host);
    ASSERT_EQ(s.DrawsImport(csv), 434);
    archive = s.Archive;
  }
  TCombsList full, scanned, placed;
  GenerateCombs(kGenModeFull, {}, full);
  for (auto [offset, n] : {std::pair{0, 1}, {3, 5}, {100, 50}, {430, 20}, {433, 1}}) {
    SCOPED_TRACE(offset);
    ExcludeLastDraws(archive, offset, n, full, scanned, {});
    ExcludeLastDrawsFromFull(archive, offset, n, full, placed);
    ASSERT_EQ(placed.Count(), scanned.Count());
    EXPECT_EQ(std::memcmp(placed.Data(), scanned.Data(), sizeof(TComb) * static_cast<size_t>(scanned.Count())), 0);
  }
  // A list that is not the full one is scanned: here the newest draw's combination moved one place on.
  TComb drawn;
  std::copy(archive[archive.High()].Nums, archive[archive.High()].Nums + 7, drawn.n);
  std::sort(drawn.n, drawn.n + 7);
  int at = 0;
  while (std::memcmp(full[at].n, drawn.n, 7) != 0) ++at;
  std::swap(full[at], full[at + 1]);
  ExcludeLastDraws(archive, 0, 30, full, scanned, {});
  ExcludeLastDrawsFromFull(archive, 0, 30, full, placed);
  ASSERT_EQ(placed.Count(), scanned.Count());
  EXPECT_EQ(std::memcmp(placed.Data(), scanned.Data(), sizeof(TComb) * static_cast<size_t>(scanned.Count())), 0);
}
