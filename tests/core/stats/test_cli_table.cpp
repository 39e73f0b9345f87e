// quintar-cli stats and prefetch over the real archive, checked cell by cell against a computation of
// the table made here from the draws file alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <set>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>

#include "stats/drawsstat.h"
#include "testutil.h"
#include "util/safefile.h"

namespace quintar {
namespace {

using test::RunCli;
using test::TempDir;

struct Draw {
  int number;
  std::vector<int> nums;
};

// The program's CSV exchange form: Number;"Date";n1;...;n7;bonus.
std::vector<Draw> ReadDraws(const std::string& path) {
  std::vector<Draw> draws;
  std::istringstream in(ReadWholeFile(path));
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream ls(line);
    std::string w;
    while (std::getline(ls, w, ';')) f.push_back(w);
    if (f.size() < 9) continue;
    Draw d{std::stoi(f[0]), {}};
    for (int i = 2; i < 9; ++i) d.nums.push_back(std::stoi(f[static_cast<size_t>(i)]));
    draws.push_back(d);
  }
  return draws;
}

int64_t Choose(int n, int k) {
  if (k < 0 || k > n) return 0;
  int64_t r = 1;
  for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
  return r;
}

// One statistic as the table sees it: the values a draw shows, the values listed before counting, the
// value text and the full-set count of each value.
struct Method {
  std::function<std::vector<int>(const std::vector<int>&)> values;
  std::vector<int> listed;
  std::function<std::string(int)> text;
  std::map<int, int64_t> full;
};

Method Numbers() {
  Method m;
  m.values = [](const std::vector<int>& n) { return n; };
  for (int k = 1; k <= 35; ++k) {
    m.listed.push_back(k);
    m.full[k] = Choose(34, 6);
  }
  m.text = [](int v) { return std::to_string(v); };
  return m;
}

Method EvenCounts() {
  Method m;
  m.values = [](const std::vector<int>& n) {
    return std::vector<int>{static_cast<int>(std::count_if(n.begin(), n.end(), [](int x) { return x % 2 == 0; }))};
  };
  for (int k = 1; k <= 7; ++k) m.listed.push_back(k);
  m.text = [](int v) { return std::to_string(v) + ":" + std::to_string(7 - v); };
  for (int k = 0; k <= 7; ++k) m.full[k] = Choose(17, k) * Choose(18, 7 - k);
  return m;
}

Method Sums() {
  Method m;
  m.values = [](const std::vector<int>& n) {
    int s = 0;
    for (int x : n) s += x;
    return std::vector<int>{s};
  };
  for (int s = 28; s <= 224; ++s) m.listed.push_back(s);
  m.text = [](int v) { return std::to_string(v); };
  // ways[k][s]: k distinct numbers of 1..35 with the sum s.
  std::vector<std::vector<int64_t>> ways(8, std::vector<int64_t>(225, 0));
  ways[0][0] = 1;
  for (int x = 1; x <= 35; ++x)
    for (int k = 7; k >= 1; --k)
      for (int s = 224; s >= x; --s) ways[static_cast<size_t>(k)][static_cast<size_t>(s)] += ways[static_cast<size_t>(k - 1)][static_cast<size_t>(s - x)];
  for (int s = 28; s <= 224; ++s) m.full[s] = ways[7][static_cast<size_t>(s)];
  return m;
}

// How many of the 7 numbers lie in a group of `size` numbers: k of them in C(size, k) * C(35 - size, 7 - k)
// combinations; the table lists 1..listTo.
Method CountInGroup(std::vector<int> group, int listTo) {
  Method m;
  m.values = [group](const std::vector<int>& n) {
    int c = 0;
    for (int x : n) c += std::find(group.begin(), group.end(), x) != group.end() ? 1 : 0;
    return std::vector<int>{c};
  };
  for (int k = 1; k <= listTo; ++k) m.listed.push_back(k);
  m.text = [](int v) { return std::to_string(v); };
  const int size = static_cast<int>(group.size());
  for (int k = 0; k <= std::min(7, size); ++k) m.full[k] = Choose(size, k) * Choose(35 - size, 7 - k);
  return m;
}

// The spread, largest minus smallest number: s in (35 - s) * C(s - 1, 5) combinations; 1..34 listed.
Method Spreads() {
  Method m;
  m.values = [](const std::vector<int>& n) {
    return std::vector<int>{*std::max_element(n.begin(), n.end()) - *std::min_element(n.begin(), n.end())};
  };
  for (int s = 1; s <= 34; ++s) m.listed.push_back(s);
  m.text = [](int v) { return std::to_string(v); };
  for (int s = 6; s <= 34; ++s) m.full[s] = (35 - s) * Choose(s - 1, 5);
  return m;
}

std::string Fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  std::string s = buf;
  std::replace(s.begin(), s.end(), '.', ',');
  return s;
}

std::string Diff(const std::string& expected, int64_t fact) {
  if (expected == "-") return "-";
  const int64_t d = std::stoll(expected) - fact;
  return d > 0 ? "+" + std::to_string(d) : std::to_string(d);
}

using Table = std::vector<std::vector<std::string>>;

Table Expected(const std::vector<Draw>& draws, const Method& m, int len, int offset, bool norms) {
  const int last = static_cast<int>(draws.size()) - 1 - offset;
  const int first = std::max(0, last - len + 1);
  const int n = last - first + 1;
  std::vector<int> order = m.listed;
  std::map<int, std::vector<int>> seen;  // value -> indexes showing it, oldest first
  for (int i = first; i <= last; ++i)
    for (int v : m.values(draws[static_cast<size_t>(i)].nums)) {
      if (std::find(order.begin(), order.end(), v) == order.end()) order.push_back(v);
      seen[v].push_back(i);
    }
  int64_t sum = 0;
  int minCount = INT32_MAX, maxCount = 0, maxDepth = 0;
  for (int v : order) {
    const int c = static_cast<int>(seen[v].size());
    sum += c;
    minCount = std::min(minCount, c);
    maxCount = std::max(maxCount, c);
    if (c) maxDepth = std::max(maxDepth, last - seen[v].back() + 1);
  }
  int64_t t0 = INT64_MAX, t1 = 0;
  for (const auto& [v, c] : m.full) {
    t0 = std::min(t0, c);
    t1 = std::max(t1, c);
  }
  const double scale = t0 == t1 ? (minCount + maxCount) / 2.0 / static_cast<double>(t1) : maxCount / static_cast<double>(t1);

  Table rows;
  for (int v : order) {
    const std::vector<int>& at = seen[v];
    const int count = static_cast<int>(at.size());
    std::vector<std::string> r(20, "-");
    r[0] = m.text(v);
    r[1] = std::to_string(count);
    r[2] = Fixed(count * 100.0 / static_cast<double>(sum), 5);
    const auto full = m.full.find(v);  // a value no combination shows has no record and no norm
    const int64_t norm = norms && full != m.full.end() ? std::llround(static_cast<double>(full->second) * scale) : 0;
    if (norms) {
      r[3] = std::to_string(norm);
      r[4] = std::to_string(count - norm);
      r[5] = Fixed(norm ? (count - norm) * 100.0 / static_cast<double>(norm) : (count > 0 ? 100.0 : 0.0), 5);
    }
    if (count > 0) {
      const int lastAt = at.back();
      const int depth = last - lastAt + 1;
      const int lastDraw = draws[static_cast<size_t>(lastAt)].number;
      r[6] = std::to_string(depth);
      r[7] = Fixed(depth * 100.0 / maxDepth, 2);
      r[8] = Fixed(static_cast<double>(norms ? norm - count : 0) + depth, 2);
      r[9] = std::to_string(lastDraw);
      if (count >= 2) {
        int lo = INT32_MAX, hi = 0;
        for (size_t k = 1; k < at.size(); ++k) {
          const int p = draws[static_cast<size_t>(at[k])].number - draws[static_cast<size_t>(at[k - 1])].number;
          lo = std::min(lo, p);
          hi = std::max(hi, p);
        }
        r[10] = std::to_string(lo);
        r[11] = Fixed(static_cast<double>(n) / count, 4);
        r[12] = std::to_string(hi);
        r[13] = std::to_string(std::llround(static_cast<double>(n) / count + lastDraw));
      }
      r[14] = std::to_string(std::llround((count + 1.0) * lastDraw / count));
      r[15] = std::to_string(std::llround((count + 2.0) * (lastDraw + 1) / (count + 1)));
      for (size_t j = static_cast<size_t>(lastAt) + 1; j < draws.size(); ++j) {
        auto vs = m.values(draws[j].nums);
        if (std::find(vs.begin(), vs.end(), v) != vs.end()) {
          r[16] = std::to_string(draws[j].number);
          r[17] = Diff(r[13], draws[j].number);
          r[18] = Diff(r[14], draws[j].number);
          r[19] = Diff(r[15], draws[j].number);
          break;
        }
      }
    }
    rows.push_back(r);
  }
  // "Количество" ascending, equal counts by the value (as numbers when they are numbers).
  auto key = [](const std::string& s) -> std::optional<double> {
    if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    return std::stod(s);
  };
  std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
    const int ca = std::stoi(a[1]), cb = std::stoi(b[1]);
    if (ca != cb) return ca < cb;
    auto x = key(a[0]), y = key(b[0]);
    if (x && y) return *x < *y;
    return a[0] < b[0];
  });
  return rows;
}

Table Parse(const std::string& out) {
  Table t;
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    size_t start = 0;
    for (;;) {
      size_t tab = line.find('\t', start);
      cells.push_back(line.substr(start, tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    t.push_back(cells);
  }
  return t;
}

// The table of each method over the real archive, with and without norms, against Expected.
void CheckCellByCell(const std::vector<std::pair<std::string, Method>>& methods, const std::string& settings) {
  const std::string csv = test::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is not available";
  const std::vector<Draw> draws = ReadDraws(csv);
  ASSERT_EQ(draws.size(), 434u);
  TempDir dir;
  const std::string dd = "--data-dir=" + dir.Path();
  if (!settings.empty()) test::WriteBytes(dir.File("Quintar_7x35.ini"), settings);
  ASSERT_EQ(RunCli({dd, "draws", "import", csv}), 0);
  for (const auto& [code, method] : methods)
    for (int offset : {0, 5})
      for (bool prefetch : {false, true}) {
        SCOPED_TRACE(code + " offset " + std::to_string(offset) + (prefetch ? " prefetch" : ""));
        std::vector<std::string> args = {dd, "stats", code, "--len=100", "--offset=" + std::to_string(offset)};
        if (prefetch) args.push_back("--prefetch");
        std::string out, err;
        ASSERT_EQ(RunCli(args, &out, &err), 0) << err;
        Table got = Parse(out);
        ASSERT_FALSE(got.empty());
        EXPECT_EQ(got[0][0], "Значение");
        EXPECT_EQ(got[0][19], "+/- КРН");
        got.erase(got.begin());
        const Table want = Expected(draws, method, 100, offset, prefetch);
        ASSERT_EQ(got.size(), want.size());
        for (size_t r = 0; r < want.size(); ++r) {
          ASSERT_EQ(got[r].size(), 20u) << r;
          for (size_t c = 0; c < 20; ++c) EXPECT_EQ(got[r][c], want[r][c]) << "row " << r << " (" << want[r][0] << ") column " << c;
        }
        // Without held-back draws there is nothing to compare the forecasts with.
        if (offset == 0) {
          for (const auto& row : got) EXPECT_EQ(row[16], "-");
        }
      }
}

TEST(CliStats, RealArchiveCellByCell) {
  CheckCellByCell({{"NUMS", Numbers()}, {"EVEN", EvenCounts()}, {"SUMS", Sums()}, {"DIFD", Spreads()}}, "");
  const std::string csv = test::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is not available";
  TempDir dir;
  const std::string dd = "--data-dir=" + dir.Path();
  ASSERT_EQ(RunCli({dd, "draws", "import", csv}), 0);
  // NUMS over 100 draws: 35 rows whose counts sum to 700.
  std::string out;
  ASSERT_EQ(RunCli({dd, "stats", "NUMS", "--len=100"}, &out), 0);
  Table t = Parse(out);
  ASSERT_EQ(t.size(), 36u);
  int total = 0;
  for (size_t r = 1; r < t.size(); ++r) total += std::stoi(t[r][1]);
  EXPECT_EQ(total, 700);
}

// Channels of 6 and a matrix of 8 columns, from the settings file: channel 6 holds 31..35, row 5 holds
// 33..35, column 8 holds 8, 16, 24, 32.
TEST(CliStats, SettingsFileShapesTheGroups) {
  CheckCellByCell({{"CHN6", CountInGroup({31, 32, 33, 34, 35}, 6)},
                   {"ROW5", CountInGroup({33, 34, 35}, 8)},
                   {"COL8", CountInGroup({8, 16, 24, 32}, 5)}},
                  "[GLOBAL]\r\nChannelSize=6\r\nMatrixCols=8\r\n");
}

// The catalogue, values and filter commands with the settings file's channels of 6, 8 matrix columns and
// a segment table of the ids 9, 1 and 3 only.
TEST(CliFamilies, CatalogueValuesAndFilterFollowTheSettings) {
  const std::string csv = test::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is not available";
  TempDir dir;
  const std::string dd = "--data-dir=" + dir.Path();
  test::WriteBytes(dir.File("Quintar_7x35.ini"),
                   "[GLOBAL]\r\nChannelSize=6\r\nMatrixCols=8\r\nMatrixSegments=99999111111111111111333333333333333\r\n");
  ASSERT_EQ(RunCli({dd, "draws", "import", csv}), 0);
  std::string out;
  ASSERT_EQ(RunCli({dd, "catalogue"}, &out), 0);
  std::vector<std::string> indexed;
  for (const auto& row : Parse(out)) {
    if (row.size() < 5) continue;
    const std::string& code = row[1];
    if ((code.rfind("CHN", 0) == 0 || code.rfind("COL", 0) == 0 || code.rfind("ROW", 0) == 0 || code.rfind("SGM", 0) == 0) &&
        std::isdigit(static_cast<unsigned char>(code.back())))
      indexed.push_back(code + "/" + row[3] + "/" + row[4]);
  }
  EXPECT_EQ(indexed, (std::vector<std::string>{"CHN1/3/NG", "CHN2/3/NG", "CHN3/3/NG", "CHN4/3/NG", "CHN5/3/NG", "CHN6/3/NG",
                                               "COL1/4/NG", "COL2/4/NG", "COL3/4/NG", "COL4/4/NG", "COL5/4/NG", "COL6/4/NG",
                                               "COL7/4/NG", "COL8/4/NG", "ROW1/4/NG", "ROW2/4/NG", "ROW3/4/NG", "ROW4/4/NG",
                                               "ROW5/4/NG", "SGM1/5/NG", "SGM2/5/NG", "SGM3/5/NG", "SGM4/5/NG", "SGM5/5/NG",
                                               "SGM6/5/NG", "SGM7/5/NG", "SGM8/5/NG", "SGM9/5/NG"}));
  // Draw 1577: 9 13 15 16 26 30 35.
  ASSERT_EQ(RunCli({dd, "values", "CHNV", "--draw=1577"}, &out), 0);
  EXPECT_EQ(out, "1\t0\t0\t0\t01 [1-6] x 0\t1\n2\t1\t0\t0\t02 [7-12] x 1\t1\n3\t3\t0\t0\t03 [13-18] x 3\t1\n"
                 "4\t0\t0\t0\t04 [19-24] x 0\t1\n5\t2\t0\t0\t05 [25-30] x 2\t1\n6\t1\t0\t0\t06 [31-36] x 1\t1\n");
  ASSERT_EQ(RunCli({dd, "values", "SGMV", "--draw=1577"}, &out), 0);
  EXPECT_EQ(out, "9\t0\t0\t0\t9 x 0\t1\n1\t4\t0\t0\t1 x 4\t1\n3\t3\t0\t0\t3 x 3\t1\n");
  ASSERT_EQ(RunCli({dd, "values", "COLM", "--draw=1577"}, &out), 0);
  EXPECT_EQ(out, "239\t0\t0\t0\t11101111 (239)\t1\n");  // every column but the fourth
  // No number of 1..6: C(29, 7) combinations.
  ASSERT_EQ(RunCli({dd, "filter", "CHN1", "--select=0", "--keep"}, &out), 0);
  EXPECT_EQ(out, "Комбинаций: " + std::to_string(Choose(29, 7)) + "\n");
  ASSERT_EQ(RunCli({dd, "filter", "CHN1", "--select=0", "--delete"}, &out), 0);
  EXPECT_EQ(out, "Комбинаций: " + std::to_string(6724520 - Choose(29, 7)) + "\n");
  // The most repeated gap of an ascending combination occurs twice: counted here over all of them.
  int64_t twice = 0;
  std::vector<int> c(7);
  for (c[0] = 1; c[0] <= 29; ++c[0])
    for (c[1] = c[0] + 1; c[1] <= 30; ++c[1])
      for (c[2] = c[1] + 1; c[2] <= 31; ++c[2])
        for (c[3] = c[2] + 1; c[3] <= 32; ++c[3])
          for (c[4] = c[3] + 1; c[4] <= 33; ++c[4])
            for (c[5] = c[4] + 1; c[5] <= 34; ++c[5])
              for (c[6] = c[5] + 1; c[6] <= 35; ++c[6]) {
                int times[35] = {}, most = 0;
                for (int k = 0; k < 6; ++k) most = std::max(most, ++times[c[k + 1] - c[k]]);
                twice += most == 2;
              }
  ASSERT_EQ(RunCli({dd, "filter", "DIFK", "--select=2", "--keep"}, &out), 0);
  EXPECT_EQ(out, "Комбинаций: " + std::to_string(twice) + "\n");
}

// The repeats, pairs and characteristic numbers through quintar-cli on the real archive: a filter judges a
// combination as the draw after the reference draw (the newest but the offset), so the counts of kept
// combinations follow from the numbers of the draws before it.
TEST(CliFamilies, HistoryBoundFiltersJudgeTheDrawAfterTheReference) {
  const std::string csv = test::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is not available";
  std::vector<Draw> draws = ReadDraws(csv);
  std::sort(draws.begin(), draws.end(), [](const Draw& a, const Draw& b) { return a.number < b.number; });
  TempDir dir;
  const std::string dd = "--data-dir=" + dir.Path();
  ASSERT_EQ(RunCli({dd, "draws", "import", csv}), 0);
  const int high = static_cast<int>(draws.size()) - 1;
  auto set = [&](int index) { return std::set<int>(draws[static_cast<size_t>(index)].nums.begin(), draws[static_cast<size_t>(index)].nums.end()); };
  auto moved = [](const std::set<int>& s, int by) {
    std::set<int> out;
    for (int n : s) out.insert(by > 0 ? (n + by > 35 ? n + by - 35 : n + by) : (n + by < 1 ? n + by + 35 : n + by));
    return out;
  };
  // Combinations holding exactly k of w given numbers, for the selected k.
  auto exactly = [](size_t w, std::vector<int> ks) {
    int64_t n = 0;
    for (int k : ks) n += Choose(static_cast<int>(w), k) * Choose(35 - static_cast<int>(w), 7 - k);
    return n;
  };
  auto kept = [&](std::vector<std::string> args) {
    std::string out, err;
    args.insert(args.begin(), dd);
    EXPECT_EQ(RunCli(args, &out, &err), 0) << err;
    return out;
  };
  auto count = [](int64_t n) { return "Комбинаций: " + std::to_string(n) + "\n"; };
  for (int offset : {0, 5}) {
    const int L = high - offset;
    const std::string off = "--offset=" + std::to_string(offset);
    const std::set<int> last = set(L), before = set(L - 1);
    std::set<int> both, onlyLast;
    for (int n : last) (before.count(n) ? both : onlyLast).insert(n);
    EXPECT_EQ(kept({"filter", "RPC2", "--select=0", "--keep", off}), count(exactly(7, {0})));
    EXPECT_EQ(kept({"filter", "RPC2", "--select=1;2", "--keep", off}), count(exactly(7, {1, 2})));
    EXPECT_EQ(kept({"filter", "PRC2O3", "--select=1", "--delete", off}), count(6724520 - exactly(set(L - 3).size(), {1})));
    EXPECT_EQ(kept({"filter", "PRC-1", "--select=1", "--keep", off}), count(exactly(moved(last, -1).size(), {1})));
    // Against draws L and L - 1.
    EXPECT_EQ(kept({"filter", "RPC3", "--select=0", "--keep", off}), count(exactly(both.size(), {0})));
    EXPECT_EQ(kept({"filter", "PRB2", "--select=1;2", "--keep", off}), count(exactly(onlyLast.size(), {1, 2})));
    // The candidates of PRV+1 are the reference draw's numbers moved up by one.
    std::string texts;
    for (int n : moved(last, 1)) texts += (texts.empty() ? "" : ";") + std::to_string(n);
    EXPECT_EQ(kept({"filter", "PRV+1", "--select=" + texts, "--keep", off}), count(6724520 - Choose(28, 7)));
  }
  // Draw 1577 (9 13 15 16 26 30 35) after draw 1576 (18 20 22 26 31 34 35) repeats 26 and 35.
  EXPECT_EQ(kept({"values", "RPV2", "--draw=1577"}), "26\t0\t0\t0\t26\t1\n35\t0\t0\t0\t35\t1\n");
  EXPECT_EQ(kept({"filter", "KNM2", "--select=26:35", "--keep", "--sorted"}), count(Choose(33, 5)));
  // VNK3 at the draw 1572 (6 12 17 22 24 30 32), whose rows end in (0, 1): "1 (1)", and 1 came in draw 1573.
  const std::string table = kept({"stats", "VNK3", "--offset=5"});
  EXPECT_NE(table.find("\n1 (1)\t1\t100,00000\t"), std::string::npos) << table;
  EXPECT_EQ(kept({"filter", "VNK3", "--select=1 (1)", "--keep", "--offset=5"}), count(6724520 - Choose(34, 7)));
  // At the newest draw nothing follows: counts of 0, no "Ожд. СТФ", and "Ожд. КРН" of 2 x (1577 + 1).
  const std::string newest = kept({"stats", "VNK3"});
  EXPECT_NE(newest.find("\t1577\t-\t-\t-\t-\t-\t3156\t-\t-\t-\t-\n"), std::string::npos) << newest;
}

TEST(CliStats, SortOptionsAndErrors) {
  const std::string csv = test::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is not available";
  TempDir dir;
  const std::string dd = "--data-dir=" + dir.Path();
  ASSERT_EQ(RunCli({dd, "draws", "import", csv}), 0);
  std::string byName, byIndex, err;
  ASSERT_EQ(RunCli({dd, "stats", "SUMS", "--len=50", "--sort=Глубина", "--desc"}, &byName), 0);
  ASSERT_EQ(RunCli({dd, "stats", "SUMS", "--len=50", "--sort=6", "--desc"}, &byIndex), 0);
  EXPECT_EQ(byName, byIndex);
  Table t = Parse(byName);
  ASSERT_GT(t.size(), 2u);
  // Descending: the deepest value first, the dashes of values not seen last.
  EXPECT_NE(t[1][6], "-");
  EXPECT_EQ(t.back()[6], "-");
  EXPECT_EQ(RunCli({dd, "stats", "SUMS", "--sort=Нет"}, nullptr, &err), 2);
  EXPECT_EQ(RunCli({dd, "stats", "SUMS", "--len=0"}, nullptr, &err), 2);
  EXPECT_EQ(RunCli({dd, "stats", "XXXX"}, nullptr, &err), 1);
}

TEST(CliPrefetch, BuildsTheFilesOfTheAskedGroupsOnly) {
  TempDir dir;
  const std::string dd = "--data-dir=" + dir.Path();
  std::string out;
  // Prefetching is off and nothing forces it: no file.
  ASSERT_EQ(RunCli({dd, "prefetch"}, &out), 0);
  EXPECT_EQ(out.rfind("Файлов: 0 из ", 0), 0u) << out;
  EXPECT_EQ(RunCli({dd, "prefetch", "--groups=x"}), 2);
}

}  // namespace
}  // namespace quintar

namespace quintar {
namespace {

// The repeats, the pairs to quadruples and the characteristic numbers worked out here from the draws
// file alone, for quintar-cli to agree with.
class NewFamilies {
 public:
  explicit NewFamilies(std::vector<Draw> draws) : draws_(std::move(draws)) {
    std::sort(draws_.begin(), draws_.end(), [](const Draw& a, const Draw& b) { return a.number < b.number; });
  }
  int High() const { return static_cast<int>(draws_.size()) - 1; }
  int Number(int i) const { return draws_[static_cast<size_t>(i)].number; }

  // The numbers of draw j as loaded; none outside the archive.
  std::vector<int> Row(int j, bool sorted) const {
    if (j < 0 || j > High()) return {};
    std::vector<int> r = draws_[static_cast<size_t>(j)].nums;
    if (sorted) std::sort(r.begin(), r.end());
    return r;
  }
  bool In(int x, int j) const {
    const auto r = Row(j, false);
    return std::find(r.begin(), r.end(), x) != r.end();
  }
  static int Moved(int y, int s) { return (y + s + 34) % 35 + 1; }

  // (text, count) of every value draw i gives with the reference draw L, in the order they are merged.
  std::vector<std::pair<std::string, int>> Values(const std::string& code, int i, int L, bool sorted) const {
    std::vector<std::pair<std::string, int>> out;
    auto add = [&](const std::string& t, int count = 1) { out.emplace_back(t, count); };
    int s = 0, g = 0;
    const bool counts = Repeat(code, s, g);
    if (g > 0) {
      int n = 0;
      for (int y : Row(i - g, sorted)) {
        const int x = Moved(y, s);
        if (!In(x, i)) continue;
        ++n;
        if (!counts && In(y, L)) add(std::to_string(x));
      }
      if (counts) add(std::to_string(n));
    } else if (code == "RPV3" || code == "PRL2" || code == "RPC3" || code == "PRB2") {
      const bool two = code == "PRL2" || code == "PRB2";
      int n = 0;
      for (int x : Row(i, sorted)) {
        if (!In(x, i - 1) || In(x, i - 2) != !two) continue;
        ++n;
        if ((code == "RPV3" || code == "PRL2") && In(x, L)) add(std::to_string(x));
      }
      if (code == "RPC3" || code == "PRB2") add(std::to_string(n));
    } else if (code.rfind("KN", 0) == 0) {
      const std::vector<int> r = Row(i, sorted);
      const int k = code[3] - '0';
      auto join = [&](const std::vector<int>& pos) {
        std::string t;
        for (int p : pos) t += (t.empty() ? "" : ":") + std::to_string(r[static_cast<size_t>(p)]);
        return t;
      };
      if (code[2] == 'M') {
        std::vector<int> pos(static_cast<size_t>(k));
        std::function<void(int, int)> choose = [&](int from, int depth) {
          if (depth == k) return add(join(pos));
          for (int p = from; p < 7; ++p) {
            pos[static_cast<size_t>(depth)] = p;
            choose(p + 1, depth + 1);
          }
        };
        choose(0, 0);
      } else {
        const int start = code[2] == 'P' ? code[4] - '1' : 0, end = code[2] == 'P' ? start : 7 - k;
        for (int p = start; p <= end; ++p) {
          std::vector<int> pos;
          for (int j = 0; j < k; ++j) pos.push_back(p + j);
          add(join(pos));
        }
      }
    } else if (code == "VNK1" || code == "VNK2") {
      const auto [a, b] = LastPair(Row(i, sorted));
      const int d = std::abs(b - a);
      add(std::to_string(code == "VNK2" && d < 2 ? a + b : d));
    } else if (code == "VNK3" && i == L) {
      const auto [a, b] = LastPair(Row(i, sorted));
      const int d = std::abs(b - a), f = d == 0 || d == 1 ? a + b : d;
      add(std::to_string(f) + (d == 1 ? " (1)" : ""), In(f, L + 1));
      const int top = f * f >= 35 ? f * f : f * f * f;
      for (int m = top; m > f; m -= f)
        if (m <= 35) add(std::to_string(m), In(m, L + 1));
    }
    return out;
  }

  // What the table lists before counting.
  std::vector<std::string> Listed(const std::string& code, int L) const {
    std::vector<std::string> out;
    int s = 0, g = 0;
    const bool counts = Repeat(code, s, g) || code == "RPC3" || code == "PRB2";
    if (counts) {
      for (int k = 1; k <= 7; ++k) out.push_back(std::to_string(k));
    } else if (g > 0 || code == "RPV3" || code == "PRL2") {
      for (int y : Row(L, false)) out.push_back(std::to_string(Moved(y, s)));
    }
    return out;
  }

  // Text -> count, last draw, period min and max as the table shows them, over draws first..L.
  std::map<std::string, std::vector<std::string>> Table(const std::string& code, int len, int L, bool sorted) const {
    struct Acc {
      int count = 0, last = 0, seen = 0, pmin = 0, pmax = 0;
      bool depth = false;
    };
    std::map<std::string, Acc> acc;
    for (const auto& t : Listed(code, L)) acc[t];
    for (int i = std::max(0, L - len + 1); i <= L; ++i)
      for (const auto& [t, c] : Values(code, i, L, sorted)) {
        Acc& a = acc[t];
        if (a.seen > 0 && code != "VNK3") {
          const int d = Number(i) - a.seen;
          a.pmin = a.pmin == 0 ? d : std::min(a.pmin, d);
          a.pmax = std::max(a.pmax, d);
        }
        a.count += c;
        a.last = a.seen = Number(i);
        a.depth = true;
      }
    std::map<std::string, std::vector<std::string>> out;
    for (const auto& [t, a] : acc) {
      const bool periods = a.depth && a.count >= 2;
      out[t] = {std::to_string(a.count), a.depth ? std::to_string(a.last) : "-", periods ? std::to_string(a.pmin) : "-",
                periods ? std::to_string(a.pmax) : "-"};
    }
    return out;
  }

  // How many of the 6,724,520 ascending combinations, judged as the draw after L, show a selected value.
  int64_t Kept(const std::string& code, const std::vector<std::string>& texts, int L) const {
    std::vector<std::vector<int>> sel;
    for (const auto& t : texts) {
      std::vector<int> parts;
      std::stringstream ss(t);
      std::string w;
      while (std::getline(ss, w, ':')) parts.push_back(std::stoi(w));
      sel.push_back(parts);
    }
    std::set<int> firsts;
    for (const auto& p : sel) firsts.insert(p[0]);
    int s = 0, g = 0;
    const bool counts = Repeat(code, s, g);
    auto exactly = [&](const std::set<int>& w) {
      int64_t n = 0;
      for (int k : firsts) n += Choose(static_cast<int>(w.size()), k) * Choose(35 - static_cast<int>(w.size()), 7 - k);
      return n;
    };
    if (counts) {
      std::set<int> w;
      for (int y : Row(L + 1 - g, false)) w.insert(Moved(y, s));
      return exactly(w);
    }
    if (code == "RPC3" || code == "PRB2") {
      std::set<int> w;
      for (int x : Row(L, false))
        if (In(x, L - 1) == (code == "RPC3")) w.insert(x);
      return exactly(w);
    }
    if (code == "VNK1" || code == "VNK2") {
      const auto& hist = CharacteristicNumbers()[code == "VNK2"];
      int64_t n = 0;
      for (int v : firsts) n += v >= 0 && v < 64 ? hist[static_cast<size_t>(v)] : 0;
      return n;
    }
    if (code.rfind("KN", 0) != 0)  // a number of the combination is selected
      return Choose(35, 7) - Choose(35 - static_cast<int>(firsts.size()), 7);
    // An ascending combination shows only ascending tuples; a tuple at positions p .. p + k - 1 leaves p
    // numbers below its first and 7 - k - p above its last.
    std::set<std::vector<int>> tuples;
    for (const auto& t : sel)
      if (std::is_sorted(t.begin(), t.end()) && std::adjacent_find(t.begin(), t.end()) == t.end()) tuples.insert(t);
    const int k = code[3] - '0';
    auto at = [&](const std::vector<int>& t, int p) { return Choose(t.front() - 1, p) * Choose(35 - t.back(), 7 - k - p); };
    int64_t n = 0;
    if (code[2] == 'P') {  // one position: the tuples exclude each other
      for (const auto& t : tuples) n += at(t, code[4] - '1');
    } else if (code[2] == 'S') {  // one tuple selected
      EXPECT_LE(sel.size(), 1u);
      for (const auto& t : tuples)
        for (int p = 0; p <= 7 - k; ++p) n += at(t, p);
    } else {  // any of the tuples among the numbers: inclusion and exclusion
      const std::vector<std::vector<int>> list(tuples.begin(), tuples.end());
      for (size_t m = 1; m < (size_t{1} << list.size()); ++m) {
        std::set<int> numbers;
        for (size_t j = 0; j < list.size(); ++j)
          if (m >> j & 1) numbers.insert(list[j].begin(), list[j].end());
        const int64_t both = Choose(35 - static_cast<int>(numbers.size()), 7 - static_cast<int>(numbers.size()));
        n += std::popcount(m) % 2 ? both : -both;
      }
    }
    return n;
  }

 private:
  // The repeats of two draws: shift s and gap g; true for the counts.
  static bool Repeat(const std::string& code, int& s, int& g) {
    static const std::map<std::string, std::pair<int, int>> values = {
        {"RPV2", {0, 1}},  {"PRV2O1", {0, 2}}, {"PRV2O2", {0, 3}}, {"PRV2O3", {0, 4}},
        {"PRV+1", {1, 1}}, {"PRV-1", {-1, 1}}, {"PRV+2", {2, 1}},  {"PRV-2", {-2, 1}}};
    static const std::map<std::string, std::pair<int, int>> counts = {
        {"RPC2", {0, 1}},  {"RPO1", {0, 2}},   {"PRC2O2", {0, 3}}, {"PRC2O3", {0, 4}},
        {"PRC+1", {1, 1}}, {"PRC-1", {-1, 1}}, {"PRC+2", {2, 1}},  {"PRC-2", {-2, 1}}};
    for (const auto* table : {&values, &counts}) {
      auto it = table->find(code);
      if (it != table->end()) {
        s = it->second.first;
        g = it->second.second;
        return table == &counts;
      }
    }
    s = g = 0;
    return false;
  }
  static std::pair<int, int> LastPair(std::vector<int> r) {
    while (r.size() > 2) {
      for (size_t k = 0; k + 1 < r.size(); ++k) r[k] = std::abs(r[k + 1] - r[k]);
      r.pop_back();
    }
    return {r[0], r[1]};
  }
  // How many ascending combinations have each characteristic number, VNK1 and VNK2.
  static const std::array<std::array<int64_t, 64>, 2>& CharacteristicNumbers() {
    static const std::array<std::array<int64_t, 64>, 2> hist = [] {
      std::array<std::array<int64_t, 64>, 2> h{};
      int c[7];
      for (c[0] = 1; c[0] <= 29; ++c[0])
        for (c[1] = c[0] + 1; c[1] <= 30; ++c[1])
          for (c[2] = c[1] + 1; c[2] <= 31; ++c[2])
            for (c[3] = c[2] + 1; c[3] <= 32; ++c[3])
              for (c[4] = c[3] + 1; c[4] <= 33; ++c[4])
                for (c[5] = c[4] + 1; c[5] <= 34; ++c[5])
                  for (c[6] = c[5] + 1; c[6] <= 35; ++c[6]) {
                    int r[7];
                    std::copy(c, c + 7, r);
                    for (int len = 7; len > 2; --len)
                      for (int j = 0; j + 1 < len; ++j) r[j] = std::abs(r[j + 1] - r[j]);
                    const int d = std::abs(r[1] - r[0]);
                    ++h[0][static_cast<size_t>(d)];
                    ++h[1][static_cast<size_t>(d < 2 ? r[0] + r[1] : d)];
                  }
      return h;
    }();
    return hist;
  }
  std::vector<Draw> draws_;
};

// Every method of the repeats, the pairs to quadruples and the characteristic numbers on the real archive
// at offsets 0 and 5, drawn order and sorted: the values of a draw, the table's counts, last draws and
// periods, and the count of combinations a filter keeps.
TEST(CliFamilies, RepeatsPairsAndCharacteristicAgreeWithAWorkingOutFromTheDraws) {
  const std::string csv = test::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is not available";
  const NewFamilies f(ReadDraws(csv));
  TempDir dir;
  const std::string dd = "--data-dir=" + dir.Path();
  ASSERT_EQ(RunCli({dd, "draws", "import", csv}), 0);
  std::vector<std::string> codes = {"RPV2", "RPV3", "PRL2", "PRV2O1", "PRV2O2", "PRV2O3", "PRV+1", "PRV-1", "PRV+2",
                                    "PRV-2", "RPC2", "RPC3", "PRB2", "RPO1", "PRC2O2", "PRC2O3", "PRC+1", "PRC-1",
                                    "PRC+2", "PRC-2", "KNM2", "KNM3", "KNM4", "KNS2", "KNS3", "KNS4", "VNK1", "VNK2", "VNK3"};
  for (int k = 2; k <= 4; ++k)
    for (int p = 1; p <= 8 - k; ++p) codes.push_back("KNP" + std::to_string(k) + std::to_string(p));
  const int len = 120;
  auto run = [&](std::vector<std::string> args) {
    std::string out, err;
    args.insert(args.begin(), dd);
    EXPECT_EQ(RunCli(args, &out, &err), 0) << err;
    return out;
  };
  for (const std::string& code : codes)
    for (int offset : {0, 5})
      for (bool sorted : {false, true}) {
        SCOPED_TRACE(code + " offset " + std::to_string(offset) + (sorted ? " sorted" : ""));
        const int L = f.High() - offset;
        std::vector<std::string> common = {"--offset=" + std::to_string(offset)};
        if (sorted) common.push_back("--sorted");
        // The values of the reference draw, of the draw before it and of the oldest draw.
        for (int i : {L, L - 1, 0}) {
          std::vector<std::string> args = {"values", code, "--draw=" + std::to_string(f.Number(i))};
          args.insert(args.end(), common.begin(), common.end());
          std::vector<std::pair<std::string, int>> got, want;
          for (const auto& row : Parse(run(args)))
            if (row.size() == 6) got.emplace_back(row[4], std::stoi(row[5]));
          for (const auto& [t, c] : f.Values(code, i, L, sorted)) {
            auto it = std::find_if(want.begin(), want.end(), [&](const auto& w) { return w.first == t; });
            if (it == want.end())
              want.emplace_back(t, c);
            else
              it->second += c;
          }
          EXPECT_EQ(got, want) << "draw " << f.Number(i);
        }
        std::vector<std::string> args = {"stats", code, "--len=" + std::to_string(len)};
        args.insert(args.end(), common.begin(), common.end());
        Table rows = Parse(run(args));
        ASSERT_GT(rows.size(), 1u);
        rows.erase(rows.begin());
        std::map<std::string, std::vector<std::string>> got;
        for (const auto& r : rows) {
          ASSERT_EQ(r.size(), 20u);
          got[r[dscValue]] = {r[dscCount], r[dscLastDraw], r[dscPeriodMin], r[dscPeriodMax]};
        }
        EXPECT_EQ(got, f.Table(code, len, L, sorted));
        // The filter by the three most frequent values: drawn order at offset 0, sorted at offset 5.
        if (sorted != (offset == 5)) continue;
        std::vector<std::string> texts;
        const size_t wanted = code.rfind("KNS", 0) == 0 ? 1 : 3;
        for (size_t r = rows.size(); r-- > 0 && texts.size() < wanted;) texts.push_back(rows[r][dscValue]);
        std::string select;
        for (const auto& t : texts) select += (select.empty() ? "" : ";") + t;
        args = {"filter", code, "--select=" + select, "--keep", "--len=" + std::to_string(len)};
        args.insert(args.end(), common.begin(), common.end());
        EXPECT_EQ(run(args), "Комбинаций: " + std::to_string(f.Kept(code, texts, L)) + "\n") << select;
      }
}

}  // namespace
}  // namespace quintar
