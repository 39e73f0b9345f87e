// The statistics that follow values from draw to draw: groups and pauses (the run table carried in the
// run's context), periods (the list of last values, the delete flag of the filter) and chains
// (transitions between two and three draws), driven through the class table. Per family a table of small
// archives with the statistics table they give; then the rules every method of these groups keeps under
// several settings over a random archive.
#include <gtest/gtest.h>

#include <random>

#include "combs/filters.h"
#include "game/drawarchive.h"
#include "stats/drawsstat.h"
#include "stats/statvalues.h"
#include "stattest.h"
#include "util/safefile.h"

namespace quintar {
namespace {

using test::Comb;
using test::StatBench;

constexpr const char* kGaps = "99999111111111111111333333333333333";  // 1..5 in 9, 6..20 in 1, 21..35 in 3

struct Settings {
  int channel = 5;
  const char* segments = "";
};

void Apply(const Settings& s, TStatList& list) {
  list.Config.ChannelSize = s.channel;
  SegmentsFromText(s.segments, list.Config.MatrixSegments);
  list.BuildCatalogue();
}

using Draws = std::vector<std::vector<int>>;  // in drawn order, numbered 100, 101, ...

void Fill(StatBench& b, const Draws& draws) {
  for (const auto& nums : draws) {
    TDraw d = test::MakeDraw(100 + static_cast<int>(b.draws.size()), {}, 1);
    for (int k = 0; k < 7; ++k) d.Nums[k] = static_cast<uint8_t>(nums[static_cast<size_t>(k)]);
    b.draws.push_back(d);
  }
}

// A table row as "text count depth last-draw"; rows whose text does not start with the case's prefix are
// left out.
std::vector<std::string> Rows(const TCustomStat& s, const TStatDrawArray& list, const std::string& prefix = "") {
  std::vector<std::string> rows;
  for (const auto& v : list) {
    const std::string text = s.ValueToText(v);
    if (text.rfind(prefix, 0) != 0) continue;
    rows.push_back(text + " " + std::to_string(v.Count) + " " + std::to_string(v.Depth) + " " + std::to_string(v.LastDraw));
  }
  return rows;
}

struct TableCase {
  const char* code;
  Draws draws;
  std::vector<std::string> rows;
  Settings settings = {};
  bool sorted = false;
  int first = 0;              // the window's first index; it ends at the newest draw
  const char* prefix = "";
};

void RunTables(const std::vector<TableCase>& cases) {
  for (const TableCase& c : cases) {
    StatBench b;
    Apply(c.settings, b.list);
    Fill(b, c.draws);
    auto stat = b.Make(c.code);
    ASSERT_TRUE(stat) << c.code;
    const TStatDrawArray list = StatBench::Table(*stat, c.first, static_cast<int>(b.draws.size()) - 1, c.sorted);
    EXPECT_EQ(Rows(*stat, list, c.prefix), c.rows) << c.code << (c.sorted ? " sorted" : "");
  }
}

// 5 drawn in the last three draws and missing for the four before them.
const Draws kFive = {{5, 1, 2, 3, 4, 6, 7},      {10, 11, 12, 13, 14, 15, 16}, {10, 11, 12, 13, 14, 15, 16},
                     {10, 11, 12, 13, 14, 15, 16}, {10, 11, 12, 13, 14, 15, 16}, {5, 20, 21, 22, 23, 24, 25},
                     {5, 20, 21, 22, 23, 24, 26},  {26, 5, 30, 31, 32, 33, 34}};
// Segments of kGaps: 9 9 9 9 9 1 1 / 1 only / 3 only / 9 1 3.
const Draws kSegments = {{1, 2, 3, 4, 5, 6, 7}, {6, 7, 8, 9, 10, 11, 12}, {21, 22, 23, 24, 25, 26, 27}, {1, 6, 21, 22, 23, 24, 25}};

TEST(SeriesValues, GroupsAndPauses) {
  RunTables({
      // The group that ended at 100 is recorded when it ends, the one going on at the newest draw there.
      {"GRPV", kFive, {"5 x 1 1 8 100", "5 x 3 1 1 107"}, {}, false, 0, "5 x"},
      {"GRPP", kFive, {"5 x 4 1 4 104"}, {}, false, 0, "5 x"},
      // A window that starts inside a run counts only its draws inside the window.
      {"GRPV", kFive, {"5 x 2 1 1 107"}, {}, false, 6, "5 x"},
      {"GRPP", kFive, {}, {}, false, 6, "5 x"},
      // 10..16 are missing from the newest draw: nothing, whatever their history.
      {"GRPV", kFive, {}, {}, false, 0, "1"},
      // A window of one draw: a group of 1 per number of the newest draw, no pause.
      {"GRPV", kFive, {"5 x 1 1 1 107", "26 x 1 1 1 107", "30 x 1 1 1 107", "31 x 1 1 1 107", "32 x 1 1 1 107",
                       "33 x 1 1 1 107", "34 x 1 1 1 107"}, {}, false, 7},
      {"GRPP", kFive, {}, {}, false, 7},
      // Channels: 1 and 4 of one draw are one presence of channel 1; channels of 6 written with two digits.
      {"GRCV", {{1, 4, 7, 8, 31, 35, 20}}, {"01 x 1 1 1 100", "02 x 1 1 1 100", "04 x 1 1 1 100", "06 x 1 1 1 100"}, {6}},
      {"GRCP", kFive, {"01 x 4 1 4 104"}, {}, false, 0, "01"},
      // Segments with gaps: 9, 1 and 3 follow their runs; 2 and 4..8 never occur and give nothing.
      {"GRSV", kSegments, {"9 x 1 2 1 103", "1 x 2 1 3 101", "1 x 1 1 1 103", "3 x 2 1 1 103"}, {5, kGaps}},
      {"GRSP", kSegments, {"3 x 2 1 3 101", "1 x 1 1 2 102", "9 x 2 1 2 102"}, {5, kGaps}},
  });
}

TEST(SeriesValues, Periods) {
  // 9 in the draws numbered 100, 104 and 105.
  const Draws nine = {{9, 1, 2, 3, 4, 5, 6}, {10, 11, 12, 13, 14, 15, 16}, {10, 11, 12, 13, 14, 15, 16},
                      {10, 11, 12, 13, 14, 15, 16}, {9, 20, 21, 22, 23, 24, 25}, {30, 31, 32, 33, 34, 35, 9}};
  RunTables({
      {"PRDV", nine, {"9 x 4 1 2 104", "9 x 1 1 1 105"}, {}, false, 0, "9 x"},
      // The first occurrence inside the window gives nothing.
      {"PRDV", nine, {"9 x 1 1 1 105"}, {}, false, 2, "9 x"},
      // Two numbers of channel 1 in each of two draws: one period of 1, not two.
      {"PRDC", {{1, 2, 30, 31, 32, 33, 34}, {3, 4, 20, 21, 22, 23, 24}}, {"01 x 1 1 1 101"}, {}, false, 0, "01"},
      {"PRDC", {{1, 2, 30, 31, 32, 33, 34}, {3, 4, 20, 21, 22, 23, 35}}, {"01 x 1 1 1 101", "06 x 1 1 1 101"}, {6}},
      {"PRDG", kSegments, {"1 x 1 1 3 101", "9 x 3 1 1 103", "1 x 2 1 1 103", "3 x 1 1 1 103"}, {5, kGaps}},
  });
}

// Positions 1 and 3 repeat 1 and 3; channels of 5: 1 1 1 1 1 2 2 / 1 2 1 3 3 3 3 / 1 4 1 5 5 5 5.
const Draws kRepeat = {{1, 2, 3, 4, 5, 6, 7}, {1, 9, 3, 11, 12, 13, 14}, {1, 20, 3, 22, 23, 24, 25}};
// 12 of the newest draw was followed once by a draw without 11..15.
const Draws kFailed = {{12, 1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6, 7}, {12, 30, 31, 32, 33, 34, 35}};

TEST(ChainValues, Transitions) {
  RunTables({
      // The oldest draw has no draw before it, the second none two before it.
      {"SDP2", kRepeat, {"1 -> 1 2 1 102", "3 -> 3 2 1 102"}},
      {"SDP2", kRepeat, {"1 -> 1 2 1 102", "3 -> 3 1 1 102"}, {}, true},  // sorted: 3 moves to position 2
      {"SDN3", kRepeat, {"3 -> 3 2 1 102"}},
      {"SDN2", kRepeat, {}},
      {"SDP3", kRepeat, {"1-1 -> 1 1 1 102", "3-3 -> 3 1 1 102"}},
      {"SDM1", kRepeat, {"1-1 -> 1 1 1 102"}},
      // 1 and 3 of the previous draw are in the newest one: each gives the 7 numbers that followed.
      {"SDV2", {{1, 2, 3, 4, 5, 6, 7}, {1, 9, 3, 11, 12, 13, 14}, {1, 20, 3, 22, 23, 24, 26}}, {}, {}, false, 0, "2 ->"},
      {"SDV2", kRepeat, {"1 -> 1 2 1 102", "1 -> 9 1 2 101", "1 -> 3 2 1 102", "1 -> 11 1 2 101", "1 -> 12 1 2 101",
                         "1 -> 13 1 2 101", "1 -> 14 1 2 101", "1 -> 20 1 1 102", "1 -> 22 1 1 102", "1 -> 23 1 1 102",
                         "1 -> 24 1 1 102", "1 -> 25 1 1 102"}, {}, false, 0, "1 -> "},
      // Each of the five positions of channel 1 in the first draw yields the seven channels after it.
      {"SCV2", kRepeat, {"01 -> 01 14 1 102", "01 -> 02 5 2 101", "01 -> 03 20 2 101", "01 -> 04 2 1 102", "01 -> 05 8 1 102"}},
      {"SCP2", kRepeat, {"01 -> 01 4 1 102"}},
      {"SCP3", kRepeat, {"01-01 -> 01 2 1 102"}},
      {"SCM2", kRepeat, {}},
      // Every segment of the newest draw qualifies: 5 positions of 9 and 2 of 1 in the oldest draw.
      {"SSV2", kSegments, {"9 -> 1 35 3 101", "1 -> 1 14 3 101", "1 -> 3 49 2 102", "3 -> 9 7 1 103", "3 -> 1 7 1 103", "3 -> 3 35 1 103"}, {5, kGaps}},
      {"SSP2", kSegments, {"9 -> 1 1 3 101", "1 -> 3 1 2 102", "3 -> 3 5 1 103"}, {5, kGaps}},
      {"SSP3", kSegments, {}, {5, kGaps}},
      // Channel 1 held 2 numbers in the newest draw: the counts 0..5 after 2 are listed beforehand.
      {"SC2C1", kRepeat, {"2 -> 0 0 0 0", "2 -> 1 0 0 0", "2 -> 2 1 1 102", "2 -> 3 0 0 0", "2 -> 4 0 0 0", "2 -> 5 0 0 0"}},
      {"SC3C1", kRepeat, {"2-2 -> 0 0 0 0", "2-2 -> 1 0 0 0", "2-2 -> 2 0 0 0", "2-2 -> 3 0 0 0", "2-2 -> 4 0 0 0", "2-2 -> 5 0 0 0"}},
      {"SC2C1", kRepeat, {"2 -> 0 0 0 0", "2 -> 1 0 0 0", "2 -> 2 1 1 102", "2 -> 3 0 0 0", "2 -> 4 0 0 0", "2 -> 5 0 0 0", "2 -> 6 0 0 0"}, {6}},
      // Segments list only the count 0 after the newest draw's (and the one before it for three draws).
      {"SS2C1", kSegments, {"1 -> 0 0 0 0"}, {5, kGaps}},
      {"SS3C3", kSegments, {"7-5 -> 0 0 0 0"}, {5, kGaps}},
      {"SS2C1", kRepeat, {"7 -> 0 0 0 0", "7 -> 7 2 1 102"}},
  });
}

TEST(ChainValues, InsideChannels) {
  RunTables({
      {"SDA2", kRepeat, {"01 -> 01 2 1 102", "01 -> 03 2 1 102", "03 -> 01 2 1 102", "03 -> 03 2 1 102"}},
      {"SDC2", kRepeat, {"1 -> 2 2 1 102", "3 -> 2 2 1 102"}},
      {"SDZ2", kRepeat, {}},
      // 12 -> 00: the draw after 12 held nothing of 11..15.
      {"SDA2", kFailed, {"12 -> 00 1 2 101"}},
      {"SDZ2", kFailed, {"12 -> 00 1 2 101"}},
      {"SDG2", kFailed, {}},
      {"SDC2", kFailed, {"12 -> 0 1 2 101"}},
  });
}

// The "Факт" column of the periods: the draw after a value's newest occurrence that shows the same period
// again, the item's earlier draws counted as the table counts them.
TEST(SeriesValues, NextDrawOfAPeriod) {
  TDrawArchive archive;
  // 9 in the draws numbered 100, 102, 104 and 105; the window ends at 103.
  const Draws nine = {{9, 1, 2, 3, 4, 5, 6}, {10, 11, 12, 13, 14, 15, 16}, {9, 20, 21, 22, 23, 24, 25},
                      {10, 11, 12, 13, 14, 15, 16}, {9, 30, 31, 32, 33, 34, 35}, {9, 1, 2, 3, 4, 5, 6}};
  StatBench b;
  Fill(b, nine);
  for (const TDraw& d : b.draws) archive.AppendDraw(d);
  TStatList list;
  list.Draws = &archive.Draws();
  list.BuildCatalogue();
  auto stat = list.CreateStat(list.IndexOfCode("PRDV"));
  TDrawsStat table;
  TDrawsStatInput in;
  in.Stat = stat.get();
  in.Archive = &archive;
  in.Window = DrawsStatWindow(archive.Count(), 2, 1000);
  table.Compute(in);
  std::vector<std::string> facts;
  for (int r = 0; r < table.RowCount(); ++r)
    if (table.Row(r).ValueText().rfind("9 x", 0) == 0) facts.push_back(table.Row(r).ValueText() + " " + table.Cell(r, dscFact));
  EXPECT_EQ(facts, (std::vector<std::string>{"9 x 2 104"}));
  TStatDraw one;
  one.Key = MakeKey(9, 1);
  EXPECT_EQ(stat->FindNextDraw(one, 3, 3, false), 105);
  EXPECT_EQ(stat->FindNextDraw(one, 5, 3, false), 105);
  EXPECT_EQ(stat->FindNextDraw(one, 6, 3, false), -1);
}

// The values one draw gives, as quintar-cli values prints them: the series and periods are run from the
// window's first draw up to it, the chains need no run.
TEST(SeriesValues, ValuesOfOneDraw) {
  struct LinesCase {
    const char* code;
    int draw, first;
    std::vector<std::string> lines;
  };
  const LinesCase cases[] = {
      {"GRPP", 5, 0, {"5\t4\t0\t0\t5 x 4\t1"}},
      {"GRPP", 5, 3, {"5\t2\t0\t0\t5 x 2\t1"}},
      {"GRPV", 1, 0, {"5\t1\t0\t0\t5 x 1\t1"}},
      {"PRDV", 5, 0, {"5\t5\t0\t0\t5 x 5\t1"}},
      {"PRDV", 5, 5, {}},
      // 5 of the draw before is in the newest draw: the seven numbers of draw 6 follow it, with or without a run.
      {"SDV2", 6, 0, {"5\t5\t0\t0\t5 -> 5\t1", "5\t20\t0\t0\t5 -> 20\t1", "5\t21\t0\t0\t5 -> 21\t1", "5\t22\t0\t0\t5 -> 22\t1", "5\t23\t0\t0\t5 -> 23\t1", "5\t24\t0\t0\t5 -> 24\t1", "5\t26\t0\t0\t5 -> 26\t1"}},
      {"SDV2", 6, 6, {"5\t5\t0\t0\t5 -> 5\t1", "5\t20\t0\t0\t5 -> 20\t1", "5\t21\t0\t0\t5 -> 21\t1", "5\t22\t0\t0\t5 -> 22\t1", "5\t23\t0\t0\t5 -> 23\t1", "5\t24\t0\t0\t5 -> 24\t1", "5\t26\t0\t0\t5 -> 26\t1"}},
  };
  for (const LinesCase& c : cases) {
    StatBench b;
    Fill(b, kFive);
    auto stat = b.Make(c.code);
    const int L = static_cast<int>(b.draws.size()) - 1;
    std::vector<std::string> lines = DrawValueLines(*stat, c.draw, L, false, c.first);
    if (std::string(c.code) != "SDV2") {  // the other numbers of the draw left out
      std::erase_if(lines, [](const std::string& l) { return l.rfind("5\t", 0) != 0; });
    }
    EXPECT_EQ(lines, c.lines) << c.code << " draw " << c.draw << " from " << c.first;
  }
}

// TestComb of the periods and chains, as a filter asks it (LoadDraws(-1, L) first), with and without
// prepared lookups; the delete flag reaches the periods through the filter.
TEST(SeriesValues, CombinationTests) {
  struct TestCase {
    const char* code;
    Draws draws;
    std::vector<std::vector<int>> keys;  // the selection
    std::vector<int> comb;
    bool deleteFlag;
    bool expected;
    Settings settings = {};
  };
  // 9 in the newest draw and in the one before it, 20 in the oldest only.
  const Draws nine = {{20, 1, 2, 3, 4, 5, 6}, {9, 10, 11, 12, 13, 14, 15}, {9, 30, 31, 32, 33, 34, 35}};
  const std::vector<int> with9 = {9, 16, 17, 18, 19, 21, 22}, without9 = {16, 17, 18, 19, 21, 22, 23};
  const TestCase cases[] = {
      // A period of 1 looks at the newest draw itself, 2 at the one before.
      {"PRDV", nine, {{9, 1}}, with9, false, true},
      {"PRDV", nine, {{9, 1}}, without9, false, false},
      {"PRDV", nine, {{9, 1}}, with9, true, false},
      {"PRDV", nine, {{9, 2}}, with9, false, true},
      {"PRDV", nine, {{9, 3}}, with9, false, false},
      {"PRDV", nine, {{9, 3}}, with9, true, true},
      {"PRDV", nine, {{9, 3}}, without9, true, false},
      // Beyond the oldest draw nothing occurred: keeping matches nothing, deleting every selected item.
      {"PRDV", nine, {{9, 10}}, with9, false, false},
      {"PRDV", nine, {{9, 10}}, with9, true, true},
      {"PRDV", nine, {{20, 3}}, {20, 1, 2, 3, 4, 5, 6}, false, true},
      {"PRDC", nine, {{2, 2}}, {16, 17, 18, 19, 21, 22, 23}, true, false},  // no selected channel: kept when deleting
      {"PRDC", nine, {{2, 2}}, {9, 16, 17, 18, 19, 21, 22}, false, true},
      {"PRDC", nine, {{2, 2}}, {9, 16, 17, 18, 19, 21, 22}, true, false},
      {"PRDG", nine, {{3, 1}}, {25, 1, 2, 3, 4, 6, 7}, false, true, {5, kGaps}},
      {"PRDG", nine, {{3, 1}}, {25, 1, 2, 3, 4, 6, 7}, true, false, {5, kGaps}},
      // Groups and pauses: the item of a number is selected, whatever the run length.
      {"GRPV", nine, {{9, 4}}, with9, false, true},
      {"GRCP", nine, {{4, 1}}, {16, 1, 2, 3, 4, 5, 6}, false, true},
      {"GRCP", nine, {{4, 1}}, {15, 1, 2, 3, 4, 5, 6}, false, false},
      {"GRSV", nine, {{9, 1}}, {5, 6, 7, 8, 10, 11, 12}, false, true, {5, kGaps}},
      // Chains match the continuation: part 2 of two draws, part 3 of three.
      {"SDV2", nine, {{9, 17}}, with9, false, true},
      {"SDV2", nine, {{17, 9}}, with9, false, true},
      {"SDP3", nine, {{9, 9, 17}}, without9, false, true},
      {"SDP3", nine, {{9, 17, 9}}, without9, false, false},
      {"SCP2", nine, {{2, 4}}, with9, false, true},
      {"SCM1", nine, {{2, 2, 7}}, with9, false, false},
      {"SSN1", nine, {{1, 3}}, with9, false, true, {5, kGaps}},
      // Counts: 9 and 16..19 give channel 2 one number, channel 4 four.
      {"SC2C2", nine, {{2, 1}}, with9, false, true},
      {"SC2C2", nine, {{1, 2}}, with9, false, false},
      {"SC3C4", nine, {{0, 0, 4}}, with9, false, true},
      {"SS2C3", nine, {{0, 2}}, with9, false, true, {5, kGaps}},
      // Inside channels: 9 of the newest draw went to 10 once; 30 failed; a count matches the channel.
      {"SDA2", nine, {{9, 10}}, {10, 1, 2, 3, 4, 5, 6}, false, true},
      {"SDA2", nine, {{9, 10}}, {8, 1, 2, 3, 4, 5, 6}, false, false},
      {"SDA2", nine, {{30, 0}}, {28, 1, 2, 3, 4, 5, 6}, false, true},
      {"SDZ2", nine, {{30, 0}}, {21, 1, 2, 3, 4, 5, 6}, false, false},
      {"SDC2", nine, {{9, 5}}, {6, 1, 2, 3, 4, 5, 7}, false, true},  // any number of 6..10 with 9 selected
      {"SDG2", nine, {{20, 21}}, {21, 1, 2, 3, 4, 5, 6}, false, false},  // 20 is not in the newest draw
  };
  for (const TestCase& c : cases) {
    StatBench b;
    Apply(c.settings, b.list);
    Fill(b, c.draws);
    const int L = static_cast<int>(b.draws.size()) - 1;
    TStatDrawArray sel;
    for (const auto& k : c.keys) {
      TStatDraw v;
      v.Key = MakeKey(k[0], k.size() > 1 ? k[1] : 0, k.size() > 2 ? k[2] : 0);
      sel.push_back(v);
    }
    TComb comb{};
    for (int k = 0; k < 7; ++k) comb[k] = static_cast<uint8_t>(c.comb[static_cast<size_t>(k)]);
    auto plain = b.Make(c.code), prepared = b.Make(c.code);
    plain->LoadDraws(-1, L, false);
    prepared->LoadDraws(-1, L, false);
    prepared->PrepareTest(sel);
    EXPECT_EQ(plain->TestComb(comb, sel, L, false, c.deleteFlag), c.expected) << c.code << " " << c.keys[0][0];
    EXPECT_EQ(prepared->TestComb(comb, sel, L, false, c.deleteFlag), c.expected) << c.code << " prepared";
    // The filter keeps what does not match when it deletes.
    TComb out[1];
    EXPECT_EQ(FilterCombs(*plain, sel, &comb, 1, out, L, false, c.deleteFlag), c.expected != c.deleteFlag ? 1u : 0u) << c.code;
  }
}

// The rules every method of these groups keeps, over a random archive under several settings.
TEST(SeriesRules, WindowsOffsetsAndTests) {
  const Settings variants[] = {{}, {6, kGaps}, {35, "12345678912345678912345678912345678"}, {2, "11111111111111111122222222222222222"}};
  std::mt19937 rng(23);
  int methods = 0;
  for (const Settings& settings : variants) {
    StatBench b, shorter, middle;
    for (StatBench* x : {&b, &shorter, &middle}) Apply(settings, x->list);
    std::vector<int> pool(35);
    for (int n = 0; n < 35; ++n) pool[static_cast<size_t>(n)] = n + 1;
    Draws draws;
    for (int i = 0; i < 60; ++i) {
      std::shuffle(pool.begin(), pool.end(), rng);
      draws.emplace_back(pool.begin(), pool.begin() + 7);
    }
    Fill(b, draws);
    Fill(shorter, Draws(draws.begin(), draws.end() - 5));
    // The archive from index 20 on, its draws keeping their numbers.
    for (size_t i = 20; i < draws.size(); ++i) middle.draws.push_back(b.draws[i]);
    const int L = static_cast<int>(b.draws.size()) - 1;
    for (int m = 0; m < b.list.Count(); ++m) {
      const TStatClassInfo& cls = b.list.StatClass(m);
      if (cls.GetGroup() < 8 || cls.GetGroup() > 10) continue;
      ++methods;
      const std::string code = b.list.CodeOf(m);
      EXPECT_FALSE(cls.IsPrefetchable()) << code;
      EXPECT_FALSE(cls.AllowsValueList()) << code;
      EXPECT_EQ(cls.CarriesContext, cls.GetGroup() == 8) << code;
      for (bool sorted : {false, true}) {
        auto stat = b.list.CreateStat(m);
        // A window ending 5 draws before the newest gives the table of the archive without them.
        const TStatDrawArray offset5 = StatBench::Table(*stat, 10, L - 5, sorted);
        auto other = shorter.Make(code);
        const TStatDrawArray cut = StatBench::Table(*other, 10, L - 5, sorted);
        ASSERT_EQ(offset5.size(), cut.size()) << code;
        for (size_t k = 0; k < cut.size(); ++k)
          EXPECT_EQ(std::memcmp(&offset5[k], &cut[k], sizeof(TStatDraw)), 0) << code << " row " << k;
        // Series and periods start from nothing at the window's first draw: the window from index 20 is
        // the whole of an archive that begins there.
        if (cls.GetGroup() != 10) {
          const TStatDrawArray window = StatBench::Table(*stat, 20, L, sorted);
          auto alone = middle.Make(code);
          const TStatDrawArray whole = StatBench::Table(*alone, 0, L - 20, sorted);
          ASSERT_EQ(window.size(), whole.size()) << code;
          for (size_t k = 0; k < whole.size(); ++k) {
            EXPECT_EQ(window[k].Key, whole[k].Key) << code;
            EXPECT_EQ(window[k].Count, whole[k].Count) << code;
            EXPECT_EQ(window[k].LastDraw, whole[k].LastDraw) << code;
            EXPECT_EQ(window[k].MaxPeriod, whole[k].MaxPeriod) << code;
          }
        }
        // A combination shows no values; TestComb gives the same answers with and without the prepared
        // lookups, keeping and deleting, for selections of the table's values and some foreign keys.
        EXPECT_TRUE(StatBench::Values(*stat, Comb({1, 2, 3, 4, 5, 6, 7})).empty()) << code;
        const TStatDrawArray table = StatBench::Table(*stat, 0, L, sorted);
        auto prepared = b.list.CreateStat(m);
        for (int round = 0; round < 40; ++round) {
          TStatDrawArray sel;
          for (int k = 0; k < 1 + round % 3 && !table.empty(); ++k) sel.push_back(table[rng() % table.size()]);
          if (round % 5 == 0) {
            TStatDraw v;
            v.Key = MakeKey(static_cast<int>(rng() % 40), static_cast<int>(rng() % 70), static_cast<int>(rng() % 9));
            sel.push_back(v);
          }
          const int last = round % 4 == 0 ? L - static_cast<int>(rng() % 10) : L;
          stat->LoadDraws(-1, last, sorted);
          prepared->LoadDraws(-1, last, sorted);
          prepared->PrepareTest(sel);
          std::shuffle(pool.begin(), pool.end(), rng);
          TComb c{};
          for (int k = 0; k < 7; ++k) c[k] = static_cast<uint8_t>(pool[static_cast<size_t>(k)]);
          for (bool del : {false, true})
            ASSERT_EQ(stat->TestComb(c, sel, last, sorted, del), prepared->TestComb(c, sel, last, sorted, del))
                << code << " round " << round << (del ? " delete" : " keep");
        }
      }
    }
  }
  // 80 methods with channels of 5 and one segment; channels of 6 and segments 1, 3, 9: 78 - 2 + 2 * 9;
  // one channel and segments 1..9: 80 - 12 + 16; channels of 2 and segments 1..2: 80 + 22 + 2.
  EXPECT_EQ(methods, 80 + 94 + 84 + 104);
}

// The statistics table of the real archive: the series and chains end at the window's newest draw, and
// the "Факт" column of the series is what FindNextDraw finds, searched from a zeroed context.
TEST(SeriesRules, RealArchiveTable) {
  const std::string csv = test::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "no real archive";
  TDrawArchive archive;
  archive.ImportCsv(csv);
  TStatList list;
  list.Draws = &archive.Draws();
  list.BuildCatalogue();
  const TDrawsStatWindow window = DrawsStatWindow(archive.Count(), 5, 1000);
  int facts = 0;
  for (const char* code : {"GRPV", "GRCP", "PRDV", "SDV2", "SCP3", "SC2C3", "SDZ2", "SDC2"}) {
    auto stat = list.CreateStat(list.IndexOfCode(code));
    TDrawsStat table;
    TDrawsStatInput in;
    in.Stat = stat.get();
    in.Archive = &archive;
    in.Window = window;
    table.Compute(in);
    ASSERT_GT(table.RowCount(), 0) << code;
    for (int r = 0; r < table.RowCount(); ++r) {
      const TStatDraw& v = table.Row(r).Rec;
      int32_t fact = -1;
      if (v.Count >= 1 && v.Depth > 0) fact = stat->FindNextDraw(v, archive.IndexOfDraw(v.LastDraw) + 1, window.Last, false);
      EXPECT_EQ(table.Cell(r, dscFact), fact < 0 ? "-" : std::to_string(fact)) << code << " " << table.Row(r).ValueText();
      facts += fact >= 0;
    }
  }
  EXPECT_GT(facts, 20);
}

// None of them can be prefetched: asking for the files of their groups builds nothing and takes no time.
TEST(SeriesRules, PrefetchSkipsThem) {
  test::TempDir dir;
  const std::string d = "--data-dir=" + dir.Path();
  ASSERT_EQ(test::RunCli({d, "draws", "add", "1;2;3;4;5;6;7;8", "--number=10", "--date=5 Jan 2017"}), 0);
  std::string out;
  ASSERT_EQ(test::RunCli({d, "prefetch", "--groups=8,9,10"}, &out), 0);
  EXPECT_NE(out.find("Файлов: 0 из"), std::string::npos) << out;
  EXPECT_FALSE(FileExists(dir.File("Prefetchs/Quintar_7x35_GRPV.dfc")));
}

}  // namespace
}  // namespace quintar
