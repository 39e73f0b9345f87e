// The families of differences, sequences, channels, matrix, segments and shredding formulas, driven
// through the class table. Per family a table of draws (in drawn order, read as drawn or sorted) with the
// values, texts and numbers they give under the settings the case names; then the rules every method of
// these groups keeps under several settings: a combination's values are those of the same numbers drawn,
// TestComb (with and without prepared lookups) answers whether one of them is selected, graph numbers
// are the values.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "game/drawarchive.h"
#include "stats/drawsstat.h"
#include "stats/statvalues.h"
#include "stattest.h"

namespace quintar {
namespace {

using test::Comb;
using test::StatBench;

struct Settings {
  int channel = 5;
  int cols = 5;
  const char* segments = "";
  const char* formula = kDefaultFormula1;
  int digits = 2;
};

void Apply(const Settings& s, TStatList& list) {
  list.Config.ChannelSize = s.channel;
  list.Config.MatrixCols = s.cols;
  SegmentsFromText(s.segments, list.Config.MatrixSegments);
  list.Formula1 = s.formula;
  list.Formula1Digits = static_cast<uint8_t>(s.digits);
  list.BuildCatalogue();
}

// A value line as quintar-cli values prints it: the four key parts, the text and the count.
std::string V(std::vector<int> key, const std::string& text, int count = 1) {
  key.resize(4);
  std::string line;
  for (int k : key) line += std::to_string(k) + "\t";
  return line + text + "\t" + std::to_string(count);
}
std::string N(int number) { return "Число:\t" + std::to_string(number); }

struct Case {
  const char* code;
  std::vector<int> draw;  // in drawn order
  bool sorted;
  std::vector<std::string> lines;
  Settings settings = {};
  std::vector<std::vector<int>> before = {};  // draws before it, oldest first
};

void RunCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    StatBench b;
    Apply(c.settings, b.list);
    auto add = [&](const std::vector<int>& nums) {
      TDraw d = test::MakeDraw(100 + static_cast<int>(b.draws.size()), {}, 1);
      for (int k = 0; k < 7; ++k) d.Nums[k] = static_cast<uint8_t>(nums[static_cast<size_t>(k)]);
      b.draws.push_back(d);
    };
    for (const auto& d : c.before) add(d);
    add(c.draw);
    auto stat = b.Make(c.code);
    ASSERT_TRUE(stat) << c.code;
    const int i = static_cast<int>(b.draws.size()) - 1;
    EXPECT_EQ(DrawValueLines(*stat, i, i, c.sorted), c.lines) << c.code << (c.sorted ? " sorted" : "");
  }
}

TEST(FamilyValues, Differences) {
  const std::vector<int> rising = {1, 2, 3, 4, 5, 6, 7}, falling = {7, 1, 6, 2, 5, 3, 4};
  RunCases({
      {"DIFA", rising, false, {V({1}, "1", 6)}},
      {"DIFA", falling, false, {V({6}, "6"), V({5}, "5"), V({4}, "4"), V({3}, "3"), V({2}, "2"), V({1}, "1")}},
      {"DIFA", falling, true, {V({1}, "1", 6)}},
      {"DIFM", falling, false, {V({6}, "6"), N(6)}},
      {"DIFM", falling, true, {V({1}, "1"), N(1)}},
      {"DIFD", falling, false, {V({6}, "6"), N(6)}},
      {"DIFO", rising, false, {V({1, 6}, "1 x 6")}},
      {"DIFO", {1, 4, 7, 12, 20, 21, 30}, false,
       {V({3, 2}, "3 x 2"), V({5, 1}, "5 x 1"), V({8, 1}, "8 x 1"), V({1, 1}, "1 x 1"), V({9, 1}, "9 x 1")}},
      {"DIFK", rising, false, {V({6}, "6"), N(6)}},
      {"DIFK", falling, false, {V({1}, "1"), N(1)}},
      {"KDS2", rising, false, {V({1, 1}, "1:1", 5)}},
      {"KDS3", {3, 7, 18, 20, 27, 30, 35}, false,
       {V({4, 11, 2}, "4:11:2"), V({11, 2, 7}, "11:2:7"), V({2, 7, 3}, "2:7:3"), V({7, 3, 5}, "7:3:5")}},
      {"KDS4", {35, 30, 27, 20, 18, 7, 3}, false,
       {V({5, 3, 7, 2}, "5:3:7:2"), V({3, 7, 2, 11}, "3:7:2:11"), V({7, 2, 11, 4}, "7:2:11:4")}},
  });
}

TEST(FamilyValues, Sequences) {
  RunCases({
      {"SEQL", {1, 2, 3, 10, 20, 21, 30}, false, {V({3}, "3"), V({1}, "1", 2), V({2}, "2")}},
      {"SEQS", {1, 2, 3, 10, 20, 21, 30}, false, {V({2}, "2"), N(2)}},
      {"LENS", {1, 2, 3, 10, 20, 21, 30}, false, {V({3}, "3"), N(3)}},
      {"SEQL", {1, 3, 5, 7, 9, 11, 13}, false, {V({1}, "1", 7)}},
      {"SEQS", {1, 3, 5, 7, 9, 11, 13}, false, {V({0}, "0"), N(0)}},
      {"LENS", {1, 3, 5, 7, 9, 11, 13}, false, {V({1}, "1"), N(0)}},  // the graph gives 0, not 1
      // 5 4 3 falls: three runs of 1 for the values, one run of 3 for the graphs.
      {"SEQS", {5, 4, 3, 10, 20, 21, 30}, false, {V({1}, "1"), N(2)}},
      {"LENS", {5, 4, 3, 10, 20, 21, 30}, false, {V({2}, "2"), N(3)}},
      {"SEQS", {5, 4, 3, 10, 20, 21, 30}, true, {V({2}, "2"), N(2)}},
      {"SEQL", {5, 4, 3, 10, 20, 21, 30}, true, {V({3}, "3"), V({1}, "1", 2), V({2}, "2")}},
  });
}

TEST(FamilyValues, Channels) {
  const std::vector<int> drawn = {35, 3, 27, 4, 12, 13, 14};  // sorted: 3 4 12 13 14 27 35
  const Settings six{6}, one{35};
  RunCases({
      {"CHAN", drawn, true, {V({1}, "01 [1-5]", 2), V({3}, "03 [11-15]", 3), V({6}, "06 [26-30]"), V({7}, "07 [31-35]")}},
      {"CHNV", drawn, false,
       {V({1, 2}, "01 [1-5] x 2"), V({2, 0}, "02 [6-10] x 0"), V({3, 3}, "03 [11-15] x 3"), V({4, 0}, "04 [16-20] x 0"),
        V({5, 0}, "05 [21-25] x 0"), V({6, 1}, "06 [26-30] x 1"), V({7, 1}, "07 [31-35] x 1")}},
      {"CHNC", drawn, false, {V({4}, "4"), N(4)}},
      {"CHN3", drawn, false, {V({3}, "3"), N(3)}},
      {"CHN2", drawn, false, {V({0}, "0"), N(0)}},
      {"KCS2", drawn, true, {V({1, 1}, "1:1"), V({1, 3}, "1:3"), V({3, 3}, "3:3", 2), V({3, 6}, "3:6"), V({6, 7}, "6:7")}},
      // Drawn order: 3:1 and 1:3 are different values.
      {"KCS2", drawn, false, {V({7, 1}, "7:1"), V({1, 6}, "1:6"), V({6, 1}, "6:1"), V({1, 3}, "1:3"), V({3, 3}, "3:3", 2)}},
      {"KCM2", drawn, true,
       {V({1, 1}, "1:1"), V({1, 3}, "1:3", 6), V({1, 6}, "1:6", 2), V({1, 7}, "1:7", 2), V({3, 3}, "3:3", 3),
        V({3, 6}, "3:6", 3), V({3, 7}, "3:7", 3), V({6, 7}, "6:7")}},
      {"KCS4", drawn, true, {V({1, 1, 3, 3}, "1:1:3:3"), V({1, 3, 3, 3}, "1:3:3:3"), V({3, 3, 3, 6}, "3:3:3:6"), V({3, 3, 6, 7}, "3:3:6:7")}},
      // Channels of 6: the sixth holds 31..35 and reads 06 [31-36].
      {"CHAN", drawn, true, {V({1}, "01 [1-6]", 2), V({2}, "02 [7-12]"), V({3}, "03 [13-18]", 2), V({5}, "05 [25-30]"), V({6}, "06 [31-36]")}, six},
      {"CHN6", drawn, false, {V({1}, "1"), N(1)}, six},
      // One channel of 35.
      {"CHAN", drawn, false, {V({1}, "01 [1-35]", 7)}, one},
      {"CHNV", drawn, false, {V({1, 7}, "01 [1-35] x 7")}, one},
      {"CHNC", drawn, false, {V({1}, "1"), N(1)}, one},
      {"CHN1", drawn, false, {V({7}, "7"), N(7)}, one},
  });
}

TEST(FamilyValues, Matrix) {
  const Settings eight{5, 8}, seven{5, 7}, single{5, 1};
  RunCases({
      // One column: 1, 6, 11 are one run of 3; 28 and 33 a run of 2.
      {"COLA", {1, 6, 11, 20, 24, 28, 33}, false, {V({1, 3}, "1 x 3"), V({3, 2}, "3 x 2")}},
      {"COLC", {1, 6, 11, 20, 24, 28, 33}, false, {V({2}, "2"), N(2)}},
      // Two separate runs of 2 in column 1 add up to 3.
      {"COLA", {1, 6, 16, 21, 3, 9, 35}, false, {V({1, 3}, "1 x 3")}},
      {"COLC", {1, 6, 16, 21, 3, 9, 35}, false, {V({1}, "1"), N(1)}},
      // 5 ends row 1, so 5 and 6 do not touch; 6 and 7 do.
      {"ROWA", {5, 6, 7, 13, 20, 26, 35}, false, {V({2, 2}, "2 x 2")}},
      {"ROWC", {5, 6, 7, 13, 20, 26, 35}, false, {V({1}, "1"), N(1)}},
      {"COLC", {1, 3, 5, 7, 9, 13, 19}, false, {V({0}, "0"), N(0)}},
      {"COLA", {1, 3, 5, 7, 9, 13, 19}, false, {}},
      {"COLM", {1, 3, 4, 8, 9, 11, 13}, false, {V({22}, "10110 (022)")}},
      {"COLS", {13, 1, 3, 4, 8, 9, 11}, false, {V({3}, "3", 3), V({1}, "1", 2), V({4}, "4", 2)}},
      {"COLV", {1, 3, 4, 8, 9, 11, 13}, false,
       {V({1, 2}, "1 x 2"), V({2, 0}, "2 x 0"), V({3, 3}, "3 x 3"), V({4, 2}, "4 x 2"), V({5, 0}, "5 x 0")}},
      {"ROWN", {1, 3, 4, 8, 9, 11, 13}, false, {V({3}, "3"), N(3)}},
      {"KRS3", {13, 1, 3, 4, 8, 9, 11}, false, {V({3, 1, 1}, "3:1:1"), V({1, 1, 1}, "1:1:1"), V({1, 1, 2}, "1:1:2"), V({1, 2, 2}, "1:2:2"), V({2, 2, 3}, "2:2:3")}},
      {"KFM2", {1, 2, 6, 7, 11, 12, 35}, true,
       {V({1, 2}, "1:2", 6), V({1, 1}, "1:1", 3), V({1, 5}, "1:5", 3), V({2, 1}, "2:1", 3), V({2, 2}, "2:2", 3), V({2, 5}, "2:5", 3)}},
      // Seven columns, five rows: rows 1 and 5 only.
      {"ROWM", {1, 2, 3, 29, 30, 31, 35}, false, {V({17}, "10001 (017)")}, seven},
      // Eight columns: the last row holds 33..35 only.
      {"ROWA", {32, 33, 34, 35, 1, 10, 20}, false, {V({5, 3}, "5 x 3")}, eight},
      {"ROW5", {32, 33, 34, 35, 1, 10, 20}, false, {V({3}, "3"), N(3)}, eight},
      {"ROWV", {32, 33, 34, 35, 1, 10, 20}, false,
       {V({1, 1}, "1 x 1"), V({2, 1}, "2 x 1"), V({3, 1}, "3 x 1"), V({4, 1}, "4 x 1"), V({5, 3}, "5 x 3")}, eight},
      {"COLA", {1, 9, 17, 25, 33, 8, 16}, false, {V({1, 5}, "1 x 5"), V({8, 2}, "8 x 2")}, eight},
      {"COL8", {1, 9, 17, 25, 33, 8, 16}, false, {V({2}, "2"), N(2)}, eight},
      {"COLM", {1, 9, 17, 25, 33, 8, 16}, false, {V({129}, "10000001 (129)")}, eight},
      // One column: every number in column 1, each in its own row.
      {"COLM", {1, 9, 17, 25, 33, 8, 16}, false, {V({1}, "1 (001)")}, single},
      {"COLS", {1, 9, 17, 25, 33, 8, 16}, false, {V({1}, "1", 7)}, single},
      {"ROWS", {9, 1, 17, 25, 33, 8, 16}, true, {V({1}, "1"), V({8}, "8"), V({9}, "9"), V({16}, "16"), V({17}, "17"), V({25}, "25"), V({33}, "33")}, single},
  });
}

TEST(FamilyValues, Segments) {
  // Numbers 1..12 in segment 1, 13..24 in 2, 25..35 in 3.
  const Settings thirds{5, 5, "11111111111122222222222233333333333"};
  // Only segments 9, 1 and 3, first seen in that order: 1..5 are 9, 6..20 are 1, 21..35 are 3.
  const Settings gaps{5, 5, "99999111111111111111333333333333333"};
  const std::vector<int> drawn = {33, 5, 27, 9, 14, 30, 20};  // sorted: 5 9 14 20 27 30 33
  RunCases({
      {"SGMS", drawn, true, {V({1}, "1", 2), V({2}, "2", 2), V({3}, "3", 3)}, thirds},
      {"SGMV", drawn, false, {V({1, 2}, "1 x 2"), V({2, 2}, "2 x 2"), V({3, 3}, "3 x 3")}, thirds},
      {"SGMC", drawn, false, {V({3}, "3"), N(3)}, thirds},
      {"SGM2", drawn, false, {V({2}, "2"), N(2)}, thirds},
      {"KGS2", drawn, true, {V({1, 1}, "1:1"), V({1, 2}, "1:2"), V({2, 2}, "2:2"), V({2, 3}, "2:3"), V({3, 3}, "3:3", 2)}, thirds},
      {"SGMV", drawn, false, {V({9, 1}, "9 x 1"), V({1, 3}, "1 x 3"), V({3, 3}, "3 x 3")}, gaps},
      {"SGMS", drawn, false, {V({3}, "3", 3), V({9}, "9"), V({1}, "1", 3)}, gaps},
      {"SGM4", drawn, false, {V({0}, "0"), N(0)}, gaps},
      {"SGM9", drawn, false, {V({1}, "1"), N(1)}, gaps},
      {"KGM2", {1, 2, 3, 4, 5, 6, 7}, false, {V({9, 9}, "9:9", 10), V({9, 1}, "9:1", 10), V({1, 1}, "1:1")}, gaps},
      {"SGMS", drawn, false, {V({1}, "1", 7)}},  // the default table: one segment
  });
}

TEST(FamilyValues, Shredding) {
  const std::vector<int> draw = {3, 11, 17, 20, 28, 31, 35};
  Settings three, five, quarter, previous, huge;
  three.digits = 3;
  five.digits = 5;
  quarter.formula = "N1/P1 + t2";  // upper-case variables are variables too
  previous.formula = "n1/p1";
  huge.formula = "0.99999";
  huge.digits = 5;
  RunCases({
      {"SHR1", draw, false, {V({27}, "27"), N(27)}},  // 31 / 114 = 0.27193
      {"SHR1", draw, false, {V({271}, "271"), N(271)}, three},
      {"SHR1", draw, false, {V({27192}, "27192"), N(27192)}, five},
      {"SHR1", {35, 31, 28, 20, 17, 11, 3}, false, {V({84}, "84"), N(84)}},  // 94 / 51 = 1.84313
      {"SHR1", {35, 31, 28, 20, 17, 11, 3}, true, {V({27}, "27"), N(27)}},
      // The draws before, sorted as the draw is: 3 / 12 + 2 = 2.25.
      {"SHR1", draw, true, {V({25}, "25"), N(25)}, quarter, {{9, 5, 2, 8, 1, 4, 6}, {30, 12, 14, 16, 18, 20, 22}}},
      // No draw before the first: p1 = 0 divides by zero, which gives 0.
      {"SHR1", draw, false, {V({0}, "0"), N(0)}, previous},
      // 99,999 is kept whole in the key's first 32-bit part.
      {"SHR1", draw, false, {V({-31073, 1}, "99999"), N(99999)}, huge},
  });
}

TEST(FamilyValues, PairsToQuadruples) {
  const std::vector<int> drawn = {22, 3, 34, 8, 30, 15, 21};  // sorted: 3 8 15 21 22 30 34
  RunCases({
      {"KNS2", drawn, true, {V({3, 8}, "3:8"), V({8, 15}, "8:15"), V({15, 21}, "15:21"), V({21, 22}, "21:22"), V({22, 30}, "22:30"), V({30, 34}, "30:34")}},
      {"KNP35", drawn, true, {V({22, 30, 34}, "22:30:34")}},
      // Drawn order: the keys keep the positions, so 22:3 is not 3:22.
      {"KNP21", drawn, false, {V({22, 3}, "22:3")}},
      {"KNP44", drawn, false, {V({8, 30, 15, 21}, "8:30:15:21")}},
      {"KNS4", drawn, false, {V({22, 3, 34, 8}, "22:3:34:8"), V({3, 34, 8, 30}, "3:34:8:30"), V({34, 8, 30, 15}, "34:8:30:15"), V({8, 30, 15, 21}, "8:30:15:21")}},
      {"KNM2", {5, 17, 2, 9, 30, 31, 1}, false,
       {V({5, 17}, "5:17"), V({5, 2}, "5:2"), V({5, 9}, "5:9"), V({5, 30}, "5:30"), V({5, 31}, "5:31"), V({5, 1}, "5:1"), V({17, 2}, "17:2"),
        V({17, 9}, "17:9"), V({17, 30}, "17:30"), V({17, 31}, "17:31"), V({17, 1}, "17:1"), V({2, 9}, "2:9"), V({2, 30}, "2:30"), V({2, 31}, "2:31"),
        V({2, 1}, "2:1"), V({9, 30}, "9:30"), V({9, 31}, "9:31"), V({9, 1}, "9:1"), V({30, 31}, "30:31"), V({30, 1}, "30:1"), V({31, 1}, "31:1")}},
  });
  StatBench b;
  b.Add({22, 3, 34, 8, 30, 15, 21});
  for (bool sorted : {false, true}) {
    const auto lines = DrawValueLines(*b.Make("KNM4"), 0, 0, sorted);
    ASSERT_EQ(lines.size(), 35u);
    EXPECT_EQ(lines.front(), sorted ? V({3, 8, 15, 21}, "3:8:15:21") : V({22, 3, 34, 8}, "22:3:34:8"));
    EXPECT_EQ(lines.back(), sorted ? V({21, 22, 30, 34}, "21:22:30:34") : V({8, 30, 15, 21}, "8:30:15:21"));
  }
  // KNO: not offered, but complete: the runs of the ascending order, however the draw is read; a
  // combination in any order is tested in ascending order.
  for (bool sorted : {false, true}) {
    const TStatClassInfo* cls = FindStatClass("TstCombValSort3");
    auto kno = cls->Factory(*cls, b.list, 0);
    EXPECT_EQ(DrawValueLines(*kno, 0, 0, sorted), (std::vector<std::string>{V({3, 8, 15}, "3:8:15"), V({8, 15, 21}, "8:15:21"),
                                                                           V({15, 21, 22}, "15:21:22"), V({21, 22, 30}, "21:22:30"),
                                                                           V({22, 30, 34}, "22:30:34")}));
    TStatDrawArray sel = StatBench::Values(*kno, Comb({1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(sel.empty());
    TStatDraw v;
    v.Key = MakeKey(21, 22, 30);
    sel.push_back(v);
    EXPECT_TRUE(kno->TestComb(Comb({30, 1, 22, 5, 21, 9, 35}), sel, 0, false, false));
    EXPECT_FALSE(kno->TestComb(Comb({30, 1, 22, 5, 21, 25, 35}), sel, 0, false, false));
  }
}

TEST(FamilyValues, CharacteristicNumber) {
  const std::vector<int> drawn = {22, 3, 34, 8, 30, 15, 21};  // sorted 3 8 15 21 22 30 34 ends in (1, 1)
  RunCases({
      {"VNK1", drawn, true, {V({0}, "0"), N(0)}},
      {"VNK2", drawn, true, {V({2}, "2"), N(2)}},
      {"VNK3", drawn, true, {V({2}, "2", 0), V({8}, "8", 0), V({6}, "6", 0), V({4}, "4", 0)}},  // no draw after it
      // Drawn order: 19 31 26 22 15 6, 12 5 4 7 9, ... down to (4, 1).
      {"VNK1", drawn, false, {V({3}, "3"), N(3)}},
      {"VNK3", drawn, false,
       {V({3}, "3", 0), V({27}, "27", 0), V({24}, "24", 0), V({21}, "21", 0), V({18}, "18", 0), V({15}, "15", 0), V({12}, "12", 0),
        V({9}, "9", 0), V({6}, "6", 0)}},
      {"VNK1", {1, 2, 3, 4, 5, 6, 7}, false, {V({0}, "0"), N(0)}},
      {"VNK2", {1, 2, 3, 4, 5, 6, 7}, false, {V({0}, "0"), N(0)}},
      {"VNK3", {1, 2, 3, 4, 5, 6, 7}, false, {V({0}, "0", 0)}},
      // A final pair (0, 1).
      {"VNK1", {1, 2, 3, 4, 5, 6, 8}, false, {V({1}, "1"), N(1)}},
      {"VNK2", {1, 2, 3, 4, 5, 6, 8}, false, {V({1}, "1"), N(1)}},
      {"VNK3", {1, 2, 3, 4, 5, 6, 8}, false, {V({1, 1, 0, 2}, "1 (1)", 0)}},
      // A final pair (1, 2): 3 (1), then 27, 24, ..., 6.
      {"VNK2", {3, 11, 17, 20, 28, 31, 35}, false, {V({3}, "3"), N(3)}},
  });
  // The candidates of the newest draw of a window that ends one draw before the archive's end count 1
  // when they came true in that draw; the table shows no "Ожд. СТФ" for a count of 0.
  StatBench b;
  b.Add({3, 11, 17, 20, 28, 31, 35});
  b.Add({3, 6, 9, 12, 13, 14, 15});
  auto vnk3 = b.Make("VNK3");
  EXPECT_EQ(DrawValueLines(*vnk3, 0, 0, false),
            (std::vector<std::string>{V({3, 1, 0, 2}, "3 (1)"), V({27}, "27", 0), V({24}, "24", 0), V({21}, "21", 0), V({18}, "18", 0),
                                      V({15}, "15"), V({12}, "12"), V({9}, "9"), V({6}, "6")}));
  EXPECT_TRUE(DrawValueLines(*vnk3, 0, 1, false).empty());  // only the reference draw gives values
  TDrawArchive archive;
  for (const auto& d : b.draws) archive.AppendDraw(d);
  TDrawsStat table;
  TDrawsStatInput in;
  in.Stat = vnk3.get();
  in.Archive = &archive;
  in.Window = DrawsStatWindow(archive.Count(), 1, 1000);
  table.Compute(in);
  ASSERT_EQ(table.RowCount(), 9);
  for (int r = 0; r < table.RowCount(); ++r) {
    const auto& row = table.Row(r);
    EXPECT_EQ(row.Cell(dscLastDraw), "100");
    EXPECT_EQ(row.Cell(dscExpectedStf), row.Rec.Count ? "200" : "-") << row.ValueText();
    EXPECT_EQ(row.Cell(dscExpectedKrn), row.Rec.Count ? "152" : "202") << row.ValueText();  // 3 * 101 / 2; 2 * 101 / 1
    EXPECT_EQ(row.Cell(dscFact), "-");
  }
  // The numbers the filters compute without allocating are those of ReduceDiffs, in any order.
  std::mt19937 rng(3);
  std::vector<int> pool(35);
  std::iota(pool.begin(), pool.end(), 1);
  auto* vnk1 = AsGraphStat(b.Make("VNK1").release());
  auto* vnk2 = AsGraphStat(b.Make("VNK2").release());
  std::unique_ptr<TCustomGraphStat> own1(vnk1), own2(vnk2);
  for (int round = 0; round < 2000; ++round) {
    std::shuffle(pool.begin(), pool.end(), rng);
    TComb c{};
    for (int k = 0; k < 7; ++k) c[k] = static_cast<uint8_t>(pool[static_cast<size_t>(k)]);
    if (round % 2) SortComb(c);
    TByteArray r0, r1;
    ReduceDiffs(c.n, 7, 0, r0);
    ReduceDiffs(c.n, 7, 1, r1);
    ASSERT_EQ(vnk1->CombNumber(c, 0, 0, false), r0[0]);
    ASSERT_EQ(vnk2->CombNumber(c, 0, 0, false), r1[0]);
  }
}

// Repeats between the draws of a small archive: the draw evaluated, the reference draw L (the newest of
// the window) and the lines the values command prints.
TEST(FamilyValues, Repeats) {
  struct RepCase {
    const char* code;
    std::vector<std::vector<int>> draws;  // oldest first, numbered 100, 101, ...
    int at, last;
    bool sorted;
    std::vector<std::string> lines;
  };
  const std::vector<std::vector<int>> pair = {{12, 2, 11, 1, 10, 9, 8}, {1, 2, 3, 4, 5, 6, 7}};
  // 35 + 1 = 1 and 1 - 1 = 35 between two draws.
  const std::vector<std::vector<int>> ring = {{35, 1, 10, 20, 22, 24, 26}, {1, 35, 2, 11, 21, 23, 25}};
  const std::vector<std::vector<int>> five = {{1, 2, 3, 4, 5, 6, 7},     {8, 9, 10, 11, 12, 13, 14}, {1, 2, 3, 15, 16, 17, 18},
                                              {1, 8, 15, 19, 20, 21, 22}, {1, 2, 8, 9, 14, 16, 30}};
  const RepCase cases[] = {
      {"RPV2", pair, 1, 1, false, {V({2}, "2"), V({1}, "1")}},  // in the order of the earlier draw
      {"RPV2", pair, 1, 1, true, {V({1}, "1"), V({2}, "2")}},
      {"RPC2", pair, 1, 1, false, {V({2}, "2")}},
      {"PRV+1", pair, 1, 1, true, {V({2}, "2"), V({3}, "3")}},
      {"PRC+1", pair, 1, 1, false, {V({2}, "2")}},
      // The oldest draw: nothing before it repeats.
      {"RPV2", pair, 0, 1, false, {}},
      {"PRV-2", pair, 0, 1, false, {}},
      {"RPC2", pair, 0, 1, false, {V({0}, "0")}},
      {"PRC-2", pair, 0, 1, false, {V({0}, "0")}},
      {"PRV+1", ring, 1, 1, false, {V({1}, "1"), V({2}, "2")}},
      {"PRV-1", ring, 1, 1, false, {V({35}, "35")}},
      {"PRC+1", ring, 1, 1, false, {V({6}, "6")}},
      {"PRC-1", ring, 1, 1, false, {V({4}, "4")}},
      {"PRC+2", ring, 1, 1, false, {V({1}, "1")}},
      {"PRC-2", ring, 1, 1, false, {V({0}, "0")}},
      // Gaps of 1, 2 and 3 draws reach before the archive at its start.
      {"RPO1", five, 1, 4, false, {V({0}, "0")}},
      {"RPO1", five, 2, 4, false, {V({3}, "3")}},
      {"PRC2O2", five, 2, 4, false, {V({0}, "0")}},
      {"PRC2O2", five, 3, 4, false, {V({1}, "1")}},
      {"PRC2O3", five, 3, 4, false, {V({0}, "0")}},
      {"PRC2O3", five, 4, 4, false, {V({2}, "2")}},
      {"PRV2O1", five, 2, 4, false, {V({1}, "1"), V({2}, "2")}},
      {"PRV2O3", five, 3, 4, false, {}},
      {"PRV2O3", five, 4, 4, false, {V({1}, "1"), V({2}, "2")}},
      // Only numbers of the reference draw: 15 repeats in draw 103 but is not in draw 104.
      {"RPV2", five, 3, 4, false, {V({1}, "1")}},
      {"RPV2", five, 3, 3, false, {V({1}, "1"), V({15}, "15")}},
      // Three draws while only two exist.
      {"RPC3", pair, 1, 1, false, {V({0}, "0")}},
      {"PRB2", pair, 1, 1, false, {V({2}, "2")}},
      {"RPV3", pair, 1, 1, false, {}},
      {"PRL2", pair, 1, 1, false, {V({1}, "1"), V({2}, "2")}},
      {"RPC3", five, 4, 4, false, {V({1}, "1")}},
      {"PRB2", five, 4, 4, false, {V({1}, "1")}},
      {"RPV3", five, 4, 4, false, {V({1}, "1")}},
      {"PRL2", five, 4, 4, false, {V({8}, "8")}},
      {"RPV3", five, 3, 4, false, {}},
      {"PRL2", five, 3, 4, false, {V({1}, "1")}},
  };
  for (const RepCase& c : cases) {
    StatBench b;
    for (const auto& d : c.draws) b.Add({d[0], d[1], d[2], d[3], d[4], d[5], d[6]});
    auto stat = b.Make(c.code);
    ASSERT_TRUE(stat);
    EXPECT_EQ(DrawValueLines(*stat, c.at, c.last, c.sorted), c.lines) << c.code << " at " << c.at << " of " << c.last;
  }
  // What the table offers before counting: the reference draw's numbers in drawn order, moved; counts 1..7.
  StatBench b;
  for (const auto& d : ring) b.Add({d[0], d[1], d[2], d[3], d[4], d[5], d[6]});
  auto listed = [&](const char* code, int last) {
    TStatDrawArray list;
    b.Make(code)->ListValues(last, list);
    return test::KeysOf(list);
  };
  EXPECT_EQ(listed("PRV-1", 1), (std::vector<int>{35, 34, 1, 10, 20, 22, 24}));
  EXPECT_EQ(listed("PRV+2", 1), (std::vector<int>{3, 2, 4, 13, 23, 25, 27}));
  EXPECT_EQ(listed("RPV3", 0), (std::vector<int>{35, 1, 10, 20, 22, 24, 26}));
  EXPECT_EQ(listed("PRC2O3", 1), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_TRUE(listed("RPV2", -1).empty());
}

// What the table lists before any draw is counted.
TEST(FamilyValues, PreListedValues) {
  struct ListCase {
    const char* code;
    Settings settings;
    size_t count;
    const char* first;
    const char* last;
  };
  const ListCase cases[] = {
      {"DIFA", {}, 34, "1", "34"},
      {"DIFK", {}, 6, "1", "6"},
      {"SEQS", {}, 4, "0", "3"},
      {"CHAN", {}, 7, "01 [1-5]", "07 [31-35]"},
      {"CHNV", {6}, 6 * 7, "01 [1-6] x 0", "06 [31-36] x 6"},
      {"CHNC", {}, 5, "1", "5"},  // bounded by the channel size: 6 and 7 enter only when drawn
      {"CHN2", {6}, 6, "1", "6"},
      {"CHN1", {35}, 35, "1", "35"},
      {"COLV", {5, 8}, 8 * 6, "1 x 0", "8 x 5"},
      {"ROWV", {5, 8}, 5 * 8, "1 x 0", "5 x 7"},
      {"ROWS", {5, 8}, 5, "1", "5"},
      {"ROWN", {5, 8}, 5, "1", "5"},
      {"COL3", {5, 8}, 5, "1", "5"},
      {"ROW2", {5, 8}, 8, "1", "8"},
      {"SGMS", {5, 5, "99999111111111111111333333333333333"}, 3, "9", "3"},
  };
  for (const auto& c : cases) {
    StatBench b;
    Apply(c.settings, b.list);
    auto stat = b.Make(c.code);
    ASSERT_TRUE(stat);
    TStatDrawArray list;
    stat->ListValues(-1, list);
    ASSERT_EQ(list.size(), c.count) << c.code;
    EXPECT_EQ(stat->ValueToText(list.front()), c.first) << c.code;
    EXPECT_EQ(stat->ValueToText(list.back()), c.last) << c.code;
    for (const auto& v : list) EXPECT_EQ(v.Count, 0) << c.code;
  }
  // Without a value list: the mix and sequence kinds, SGMV, SGMC, SGM%d, DIFO, KDS, COLM, COLA, COLC.
  for (const char* code : {"KCM2", "KCS4", "KFM3", "KRS2", "KGM4", "SGMV", "SGMC", "SGM1", "DIFO", "KDS3", "COLM", "ROWA", "COLC", "SHR1"}) {
    StatBench b;
    TStatDrawArray list;
    b.Make(code)->ListValues(-1, list);
    EXPECT_TRUE(list.empty()) << code;
  }
}

// Periods of values merged several times from one draw: DIFA tracks only a draw's first gap, CHAN every
// number (zero periods between the numbers of one channel in one draw).
TEST(FamilyValues, PeriodsOfRepeatedValues) {
  StatBench b;
  b.Add({1, 2, 3, 4, 5, 6, 7});
  b.Add({1, 2, 3, 4, 5, 6, 7});
  TStatDrawArray difa = StatBench::Table(*b.Make("DIFA"), 0, 1);
  EXPECT_EQ(difa[0].Count, 12);
  EXPECT_EQ(difa[0].MinPeriod, 1);
  EXPECT_EQ(difa[0].MaxPeriod, 1);
  EXPECT_EQ(difa[0].LastDraw, 101);
  b.draws.clear();
  b.Add({1, 2, 3, 10, 20, 30, 35});
  b.Add({11, 1, 12, 2, 13, 20, 35});
  TStatDrawArray chan = StatBench::Table(*b.Make("CHAN"), 0, 1);
  EXPECT_EQ(chan[0].Count, 5);
  EXPECT_EQ(chan[0].MinPeriod, 0);  // the last merge of draw 101 met the one before it in the same draw
  EXPECT_EQ(chan[0].MaxPeriod, 1);
  EXPECT_EQ(chan[0].Depth, 1);
}

// The parameter ranges follow the settings.
TEST(FamilyValues, ParameterRangesFollowTheSettings) {
  auto codes = [](const Settings& s, const char* prefix) {
    StatBench b;
    Apply(s, b.list);
    std::vector<std::string> out;
    for (int i = 0; i < b.list.Count(); ++i) {
      const std::string c = b.list.CodeOf(i);
      if (c.rfind(prefix, 0) == 0 && c.size() <= std::string(prefix).size() + 1 && std::isdigit(static_cast<unsigned char>(c.back())))
        out.push_back(c);
    }
    return out;
  };
  using L = std::vector<std::string>;
  EXPECT_EQ(codes({6}, "CHN"), (L{"CHN1", "CHN2", "CHN3", "CHN4", "CHN5", "CHN6"}));
  EXPECT_EQ(codes({35}, "CHN"), (L{"CHN1"}));
  EXPECT_EQ(codes({5, 8}, "COL"), (L{"COL1", "COL2", "COL3", "COL4", "COL5", "COL6", "COL7", "COL8"}));
  EXPECT_EQ(codes({5, 8}, "ROW"), (L{"ROW1", "ROW2", "ROW3", "ROW4", "ROW5"}));
  EXPECT_EQ(codes({5, 5, "99999111111111111111333333333333333"}, "SGM"),
            (L{"SGM1", "SGM2", "SGM3", "SGM4", "SGM5", "SGM6", "SGM7", "SGM8", "SGM9"}));
  EXPECT_EQ(codes({}, "SGM"), (L{"SGM1"}));
  EXPECT_EQ(codes({}, "SHR"), (L{"SHR1", "SHR2", "SHR3"}));
}

// The rules every method of these groups keeps, under several settings, over random draws and
// combinations in random order.
TEST(FamilyRules, CombinationsTestsAndGraphsAgreeWithTheDrawValues) {
  const Settings variants[] = {{}, {6}, {35}, {2, 8}, {5, 1, "99999111111111111111333333333333333"}, {5, 12, "", kDefaultFormula1, 5},
                               {5, 33, "12345678912345678912345678912345678", "sqrt(n1*p2+t3)/ln(n7)", 5}};
  std::mt19937 rng(17);
  std::vector<int> pool(35);
  std::iota(pool.begin(), pool.end(), 1);
  auto randomRow = [&] {
    std::shuffle(pool.begin(), pool.end(), rng);
    TComb c{};
    for (int k = 0; k < 7; ++k) c[k] = static_cast<uint8_t>(pool[static_cast<size_t>(k)]);
    if (rng() % 2) SortComb(c);
    return c;
  };
  int methods = 0;
  for (const Settings& settings : variants) {
    StatBench b;
    Apply(settings, b.list);
    for (int i = 0; i < 40; ++i) {
      const TComb c = randomRow();
      b.Add({c[0], c[1], c[2], c[3], c[4], c[5], c[6]});
    }
    const int L = static_cast<int>(b.draws.size()) - 1;
    // The values of a row drawn as the draw after L (the draw a filter judges a combination as).
    auto drawn = [&](TCustomStat& s, const TComb& c) {
      b.Add({c[0], c[1], c[2], c[3], c[4], c[5], c[6]});
      TStatDrawArray list;
      TStatContext context;
      TLastValueArray last;
      s.DrawValues(L + 1, L + 1, false, list, context, last);
      int32_t number = 0;
      if (auto* g = AsGraphStat(&s)) number = g->DrawNumber(L + 1, L + 1, false);
      b.draws.pop_back();
      return std::make_pair(list, number);
    };
    for (int m = 0; m < b.list.Count(); ++m) {
      const TStatClassInfo& cls = b.list.StatClass(m);
      const int group = cls.GetGroup();
      // The families of one draw's numbers: differences to shredding, the pairs to quadruples of group 0
      // and the characteristic numbers of group 11.
      if (cls.GetKinds() & (KIND_D | KIND_P) || (group < 2 && (cls.No < 63 || cls.No > 74))) continue;
      ++methods;
      const std::string code = b.list.CodeOf(m);
      auto stat = b.list.CreateStat(m);
      auto prepared = b.list.CreateStat(m);
      const bool mixOrSequence = cls.GetKinds() == KIND_S && group != 2;  // KNP included
      for (int round = 0; round < 150; ++round) {
        const TComb c = randomRow();
        const auto [values, number] = drawn(*stat, c);
        // A combination shows what the same numbers show drawn (as a lone draw for the formulas); the
        // mix and sequence kinds give combinations no values.
        TStatDrawArray combValues = StatBench::Values(*stat, c);
        if (mixOrSequence) {
          EXPECT_TRUE(combValues.empty()) << code;
        } else if (group != 12) {
          ASSERT_EQ(combValues.size(), values.size()) << code;
          for (size_t k = 0; k < values.size(); ++k) {
            EXPECT_EQ(combValues[k].Key, values[k].Key) << code;
            EXPECT_EQ(combValues[k].Count, values[k].Count) << code;
          }
        }
        // Graph numbers are the value, except the sequences' (they read falling runs too).
        if (cls.IsGraph() && code != "SEQS" && code != "LENS") {
          ASSERT_EQ(values.size(), 1u) << code;
          EXPECT_EQ(number, values[0].Key.Part32(1)) << code;
          EXPECT_EQ(AsGraphStat(stat.get())->CombNumber(c, L + 1, L + 1, false), number) << code;
        }
        // A selection of the values of other rows, now and then with one of this row's values.
        TStatDrawArray sel;
        for (int k = 0; k < 1 + round % 4; ++k) {
          const auto other = drawn(*stat, randomRow()).first;
          if (!other.empty()) sel.push_back(other[static_cast<size_t>(rng() % other.size())]);
        }
        if (round % 3 == 0 && !values.empty()) sel.push_back(values[static_cast<size_t>(rng() % values.size())]);
        bool expected = false;
        for (const auto& v : values) expected = expected || IndexOfKey(sel, v.Key) >= 0;
        stat->LoadDraws(-1, L, false);
        prepared->LoadDraws(-1, L, false);
        prepared->PrepareTest(sel);
        ASSERT_EQ(stat->TestComb(c, sel, L, false, false), expected) << code << " round " << round;
        ASSERT_EQ(prepared->TestComb(c, sel, L, false, false), expected) << code << " round " << round << " prepared";
      }
    }
  }
  // 76 methods with the default settings; channels of 6 and 35 drop CHN7 and CHN2..CHN7; channels of 2
  // with 8 columns give CHN1..CHN18, COL1..COL8, ROW1..ROW5; one column and segments 1..9 give COL1,
  // ROW1..ROW35, SGM1..SGM9; 12 columns give COL1..COL12, ROW1..ROW3; 33 columns give COL1..COL33,
  // ROW1..ROW2, SGM1..SGM9.
  // Each setting adds the 21 pairs to quadruples (KNM, KNS, KNP) and VNK1, VNK2.
  EXPECT_EQ(methods, 76 + 75 + 70 + 88 + 108 + 79 + 107 + 7 * 23);
}

// The history-bound statistics in a filter judge a combination as the draw after the reference draw L
// (here the newest draw but five): a count statistic matches when the count the combination gives drawn
// there is selected; a value statistic when one of its numbers is a selected value, which for the two
// draws in a row, shifted or not, is when its repeats from draw L are selected. Unprepared and prepared.
TEST(FamilyRules, HistoryBoundFiltersJudgeTheDrawAfterTheReference) {
  std::mt19937 rng(29);
  std::vector<int> pool(35);
  std::iota(pool.begin(), pool.end(), 1);
  auto randomRow = [&] {
    std::shuffle(pool.begin(), pool.end(), rng);
    TComb c{};
    for (int k = 0; k < 7; ++k) c[k] = static_cast<uint8_t>(pool[static_cast<size_t>(k)]);
    return c;
  };
  StatBench b;
  // Few numbers, so that draws share many: 1..12 and a few others.
  for (int i = 0; i < 30; ++i) {
    std::vector<int> row(pool.begin(), pool.end());
    std::shuffle(row.begin(), row.begin() + 12, rng);
    if (i % 3 == 0) std::shuffle(row.begin(), row.end(), rng);
    b.Add({row[0], row[1], row[2], row[3], row[4], row[5], row[6]});
  }
  const int L = static_cast<int>(b.draws.size()) - 1 - 5;
  int methods = 0;
  for (int m = 0; m < b.list.Count(); ++m) {
    const TStatClassInfo& cls = b.list.StatClass(m);
    if (cls.GetGroup() != 7 && cls.No != 142) continue;
    ++methods;
    const std::string code = b.list.CodeOf(m);
    auto stat = b.list.CreateStat(m);
    auto prepared = b.list.CreateStat(m);
    const bool counts = dynamic_cast<TCustomNumbersStat*>(stat.get()) != nullptr;
    const bool lastDrawOnly = cls.No >= 43 && cls.No <= 52 && cls.No != 44 && cls.No != 45 &&
                              cls.No != 46 && cls.No != 47 && cls.No != 48;  // RPV2, PRV+1 .. PRV-2
    // The values a table over the window offers: the pre-listed ones, or VNK3's of draw L.
    TStatDrawArray candidates;
    stat->ListValues(L, candidates);
    if (candidates.empty()) candidates = StatBench::Table(*stat, L, L);
    for (int round = 0; round < 300; ++round) {
      TComb c = randomRow();
      if (round % 2) SortComb(c);
      // The combination drawn after draw L.
      const TDraw kept = b.draws[static_cast<size_t>(L + 1)];
      for (int k = 0; k < 7; ++k) b.draws[static_cast<size_t>(L + 1)].Nums[k] = c[k];
      TStatDrawArray drawn;
      TStatContext context;
      TLastValueArray last;
      stat->DrawValues(L + 1, L, false, drawn, context, last);
      b.draws[static_cast<size_t>(L + 1)] = kept;
      TStatDrawArray sel;
      if (counts) {
        sel = test::Selection({static_cast<int32_t>(rng() % 8)});
        if (round % 4 == 0) sel.push_back(drawn.at(0));
      } else {
        for (const auto& v : candidates)
          if (rng() % 3 == 0) sel.push_back(v);
      }
      bool expected = false;
      if (counts || lastDrawOnly) {
        for (const auto& v : drawn) expected = expected || IndexOfKey(sel, v.Key) >= 0;
      }
      if (!counts) {
        bool any = false;
        for (int k = 0; k < 7; ++k) any = any || HasKeyPart(sel, 1, c[k]);
        if (lastDrawOnly) {
          ASSERT_EQ(any, expected) << code;
        }
        expected = any;
      }
      stat->LoadDraws(-1, L, false);
      prepared->LoadDraws(-1, L, false);
      prepared->PrepareTest(sel);
      ASSERT_EQ(stat->TestComb(c, sel, L, false, false), expected) << code << " round " << round;
      ASSERT_EQ(prepared->TestComb(c, sel, L, false, false), expected) << code << " round " << round << " prepared";
    }
  }
  EXPECT_EQ(methods, 21);
}

// The table's "Факт" column, found for all rows in one walk over the draws, is what FindNextDraw finds
// for each row: the window ends 30 draws before the newest.
TEST(FamilyRules, NextDrawColumnIsFindNextDraw) {
  TDrawArchive archive = MakeDemoArchive(300, 3);
  TStatList list;
  list.Draws = &archive.Draws();
  list.BuildCatalogue();
  const TDrawsStatWindow window = DrawsStatWindow(archive.Count(), 30, 200);
  int checked = 0;
  for (const char* code : {"DIFA", "DIFO", "KDS3", "CHNV", "KCM3", "COLA", "ROWM", "SGMS", "SEQL", "SHR1", "NUMS", "SUMC"}) {
    auto stat = list.CreateStat(list.IndexOfCode(code));
    TDrawsStat table;
    TDrawsStatInput in;
    in.Stat = stat.get();
    in.Archive = &archive;
    in.Window = window;
    table.Compute(in);
    for (int r = 0; r < table.RowCount(); ++r) {
      const TStatDraw& v = table.Row(r).Rec;
      int32_t fact = -1;
      if (v.Count >= 1 && v.Depth > 0) fact = stat->FindNextDraw(v, archive.IndexOfDraw(v.LastDraw) + 1, window.Last, false);
      EXPECT_EQ(table.Cell(r, dscFact), fact < 0 ? "-" : std::to_string(fact)) << code << " " << table.Row(r).ValueText();
      checked += fact >= 0;
    }
  }
  EXPECT_GT(checked, 400);
}

}  // namespace
}  // namespace quintar
