// Every value the 26 methods give the draws of the real archive, checked against a computation written
// here from the rules (numbers, digits, parities, masks, sums, ranges, history-bound changes, positions,
// bonus); combinations and TestComb likewise; and the command-line listing of the same values.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <numeric>
#include <optional>
#include <random>

#include "game/drawarchive.h"
#include "util/cp1251.h"
#include "util/safefile.h"
#include "util/strutil.h"
#include "stats/statvalues.h"
#include "stattest.h"

namespace quintar {
namespace {

using Nums = std::array<int, 7>;

const std::vector<std::string> kCodes = {"NUMS", "DIGS", "EVEN", "EVNV", "SMAL", "SMLV", "PRIM", "PRMV", "SUMS",
                                         "SUM1", "SUM2", "SUM3", "SUMC", "SUMV", "SUMT", "SUME", "SUMP", "S2T3",
                                         "POS1", "POS2", "POS3", "POS4", "POS5", "POS6", "POS7", "POE1"};

bool Prime(int n) {
  for (int p : {1, 2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31})
    if (n == p) return true;
  return false;
}
int Sum(const Nums& n) {
  int s = 0;
  for (int x : n) s += x;
  return s;
}
int Sign(int v) { return (v > 0) - (v < 0); }

std::string Line(int32_t lo, int32_t hi, const std::string& text, int count = 1) {
  // A 32-bit key value in parts 1-2 (hi = value of parts 3-4).
  auto parts = [](int32_t v) {
    return std::to_string(static_cast<int16_t>(v & 0xFFFF)) + "\t" + std::to_string(static_cast<int16_t>((v >> 16) & 0xFFFF));
  };
  return parts(lo) + "\t" + parts(hi) + "\t" + text + "\t" + std::to_string(count);
}
std::string Printf(const char* fmt, int a, int b = 0, int c = 0) {
  char buf[128];
  std::snprintf(buf, sizeof buf, fmt, a, b, c);
  return buf;
}

// Values of the rules that look only at the seven numbers (and the bonus).
void NumberValues(const std::string& code, const Nums& n, int bonus, bool isComb, std::vector<std::string>& out,
                  std::optional<int>& graph) {
  auto countOf = [&](auto pred) {
    int c = 0;
    for (int x : n) c += pred(x) ? 1 : 0;
    return c;
  };
  auto mask = [&](auto pred, const char* zero, const char* one) {
    int m = 0;
    std::string text;
    for (int x : n) {
      m = m * 2 + (pred(x) ? 1 : 0);
      text += pred(x) ? one : zero;
    }
    out.push_back(Line(m, 0, text + Printf(" (%03d)", m)));
  };
  auto ratio = [&](int k) {
    out.push_back(Line(k, 0, Printf("%d:%d", k, 7 - k)));
    graph = k;
  };
  auto plain = [&](int v) {
    out.push_back(Line(v, 0, std::to_string(v)));
    graph = v;
  };
  if (code == "NUMS") {
    for (int x : n) out.push_back(Line(x, 0, std::to_string(x)));
  } else if (code == "DIGS") {
    std::vector<int> digits;
    for (int x : n) {
      if (x >= 10) digits.push_back(x / 10);
      digits.push_back(x % 10);
    }
    std::vector<std::pair<int, int>> counted;
    for (int d : digits) {
      auto it = std::find_if(counted.begin(), counted.end(), [&](auto& p) { return p.first == d; });
      if (it == counted.end())
        counted.push_back({d, 1});
      else
        ++it->second;
    }
    for (auto [d, c] : counted) out.push_back(Line(d, 0, std::to_string(d), c));
  } else if (code == "EVEN") {
    ratio(countOf([](int x) { return x % 2 == 0; }));
  } else if (code == "SMAL") {
    ratio(countOf([](int x) { return x <= 18; }));
  } else if (code == "PRIM") {
    ratio(countOf(Prime));
  } else if (code == "EVNV") {
    mask([](int x) { return x % 2 == 1; }, "Ч", "н");
  } else if (code == "SMLV") {
    mask([](int x) { return x >= 19; }, "1", "2");
  } else if (code == "PRMV") {
    mask(Prime, "С", "П");
  } else if (code == "SUMS") {
    plain(Sum(n));
  } else if (code == "SUME") {
    int s = 0;
    for (int x : n) s += x % 2 == 0 ? x : 0;
    plain(s);
  } else if (code == "SUMP") {
    int s = 0;
    for (int x : n) s += Prime(x) ? x : 0;
    plain(s);
  } else if (code == "S2T3") {
    int c = 0;
    for (int x = 0; x < 7; ++x)
      for (int y = 0; y < 7; ++y)
        for (int z = y + 1; z < 7; ++z)
          if (x != y && x != z && n[y] + n[z] == n[x]) ++c;
    plain(c);
  } else if (code.rfind("SUM", 0) == 0 && code.size() == 4 && code[3] >= '1' && code[3] <= '3') {
    const int lo[] = {89, 97, 104}, hi[] = {163, 155, 148};
    int r = code[3] - '1', s = Sum(n);
    int v = s >= lo[r] && s <= hi[r] ? 1 : 0;
    out.push_back(Line(v, 0, v ? Printf("%d-%d", lo[r], hi[r]) : "Остальные"));
    graph = v;
  } else if (code.rfind("POS", 0) == 0) {
    plain(n[static_cast<size_t>(code[3] - '1')]);
  } else if (code == "POE1") {
    if (!isComb) plain(bonus);
  }
}

struct RealArchive {
  TDrawArchive archive;
  test::StatBench bench;
  bool ok = false;
  RealArchive() {
    std::string csv = test::SharedDataFile("draws-7x35-import.csv");
    if (csv.empty()) return;
    archive.ImportCsv(csv);
    bench.draws = archive.Draws();
    ok = bench.draws.size() == 434;
  }
  int High() const { return static_cast<int>(bench.draws.size()) - 1; }
  Nums At(int i, bool sorted) const {
    Nums n{};
    if (i < 0 || i > High()) return n;
    for (int k = 0; k < 7; ++k) n[static_cast<size_t>(k)] = bench.draws[static_cast<size_t>(i)].Nums[k];
    if (sorted) std::sort(n.begin(), n.end());
    return n;
  }
  int Bonus(int i) const { return i < 0 || i > High() ? 0 : bench.draws[static_cast<size_t>(i)].Bonus; }

  std::vector<std::string> ExpectedDraw(const std::string& code, int i, int L, bool sorted) const {
    std::vector<std::string> out;
    std::optional<int> graph;
    const Nums n = At(i, sorted);
    const int cur = Sum(n), prev = Sum(At(i - 1, false)), last = Sum(At(L, false));
    if (code == "SUMC") {
      if (prev == last)
        out.push_back(Line(prev, cur,
                           cur < prev ? Printf("- %02d : %d - %d = ", prev - cur, prev, prev - cur) + std::to_string(cur)
                                      : Printf("+%02d : %d + %d = ", cur - prev, prev, cur - prev) + std::to_string(cur)));
      graph = cur - prev;
    } else if (code == "SUMV") {
      if (prev - 19 <= last && last <= prev + 19) {
        int d = cur - prev;
        out.push_back(Line(d, 0, d >= 0 ? Printf("+%02d", d) : Printf("- %02d", -d)));
      }
    } else if (code == "SUMT") {
      if (prev == last) {
        int t = Sign(cur - prev);
        out.push_back(Line(t, 0, t == 0 ? "=" : (t > 0 ? "+" : "-")));
      }
      graph = Sign(cur - prev);
    } else {
      NumberValues(code, n, Bonus(i), false, out, graph);
    }
    if (graph) out.push_back("Число:\t" + std::to_string(*graph));
    return out;
  }

  std::vector<std::string> ExpectedComb(const std::string& code, const Nums& n, int L) const {
    std::vector<std::string> out;
    std::optional<int> graph;
    const int beforeL = Sum(At(L - 1, false));
    if (code == "SUMC")
      graph = Sum(n) - beforeL;
    else if (code == "SUMT")
      graph = Sign(Sum(n) - beforeL);
    else if (code == "POE1")
      graph = Bonus(L);
    else if (code != "SUMV")
      NumberValues(code, n, 0, true, out, graph);
    if (graph) out.push_back("Число:\t" + std::to_string(*graph));
    return out;
  }
};

RealArchive& Real() {
  static RealArchive real;
  return real;
}

TEST(RealArchiveValues, EveryDrawOfEveryMethod) {
  RealArchive& r = Real();
  if (!r.ok) GTEST_SKIP() << "the real archive is not available";
  test::StatBench& b = r.bench;
  for (const auto& code : kCodes) {
    auto stat = b.Make(code);
    ASSERT_TRUE(stat);
    for (int offset : {0, 5, 200, 433}) {
      const int L = r.High() - offset;
      for (bool sorted : {false, true})
        for (int i = 0; i <= r.High(); ++i)
          ASSERT_EQ(DrawValueLines(*stat, i, L, sorted), r.ExpectedDraw(code, i, L, sorted))
              << code << " draw index " << i << " last index " << L << (sorted ? " sorted" : "");
    }
  }
}

TEST(RealArchiveValues, CombinationsOfEveryMethod) {
  RealArchive& r = Real();
  if (!r.ok) GTEST_SKIP() << "the real archive is not available";
  test::StatBench& b = r.bench;
  std::mt19937 rng(5);
  std::vector<int> pool(35);
  std::iota(pool.begin(), pool.end(), 1);
  for (int round = 0; round < 300; ++round) {
    std::shuffle(pool.begin(), pool.end(), rng);
    Nums n;
    std::copy(pool.begin(), pool.begin() + 7, n.begin());
    if (round % 2) std::sort(n.begin(), n.end());
    TComb c{};
    for (int k = 0; k < 7; ++k) c[k] = static_cast<uint8_t>(n[static_cast<size_t>(k)]);
    const int L = r.High() - round % 10;
    for (const auto& code : kCodes) {
      auto stat = b.Make(code);
      ASSERT_EQ(CombValueLines(*stat, c, L, round % 3 == 0), r.ExpectedComb(code, n, L)) << code << " round " << round;
    }
  }
}

// TestComb agrees with the values the combination shows, with and without prepared lookups, and the
// history-bound methods compare with the newest draw of the window.
TEST(RealArchiveValues, TestCombMatchesTheCombinationValues) {
  RealArchive& r = Real();
  if (!r.ok) GTEST_SKIP() << "the real archive is not available";
  test::StatBench& b = r.bench;
  std::mt19937 rng(9);
  std::vector<int> pool(35);
  std::iota(pool.begin(), pool.end(), 1);
  auto randomComb = [&] {
    std::shuffle(pool.begin(), pool.end(), rng);
    TComb c{};
    for (int k = 0; k < 7; ++k) c[k] = static_cast<uint8_t>(pool[static_cast<size_t>(k)]);
    return c;
  };
  const int L = r.High() - 3;
  const int lastSum = Sum(r.At(L, false));
  for (const auto& code : kCodes) {
    if (code == "POE1") continue;
    auto stat = b.Make(code);
    auto prepared = b.Make(code);
    stat->LoadDraws(-1, L, false);
    prepared->LoadDraws(-1, L, false);
    for (int round = 0; round < 400; ++round) {
      // A selection of the values of a few other combinations (one value for the sum ranges).
      TStatDrawArray sel;
      for (int k = 0; k < (code.rfind("SUM", 0) == 0 && std::isdigit(code[3]) ? 1 : 1 + round % 3); ++k) {
        TComb other = randomComb();
        TStatDraw v;
        if (code == "SUMC")
          v.Key = MakeKey32(lastSum, SumOf(other.n));
        else if (code == "SUMV")
          v.Key = MakeKey32(SumOf(other.n) - lastSum);
        else if (code == "SUMT")
          v.Key = MakeKey32(Sign(SumOf(other.n) - lastSum));
        else {
          TStatDrawArray vals = test::StatBench::Values(*stat, other);
          v = vals[static_cast<size_t>(round) % vals.size()];
        }
        sel.push_back(v);
      }
      prepared->PrepareTest(sel);
      TComb c = randomComb();
      bool expected;
      if (code == "SUMC")
        expected = HasKeyPart32(sel, 2, SumOf(c.n));
      else if (code == "SUMV")
        expected = HasKeyPart32(sel, 1, SumOf(c.n) - lastSum);
      else if (code == "SUMT")
        expected = HasKeyPart32(sel, 1, Sign(SumOf(c.n) - lastSum));
      else {
        expected = false;
        for (const auto& v : test::StatBench::Values(*stat, c)) expected = expected || IndexOfKey(sel, v.Key) >= 0;
      }
      ASSERT_EQ(stat->TestComb(c, sel, L, false, false), expected) << code << " round " << round;
      ASSERT_EQ(prepared->TestComb(c, sel, L, false, false), expected) << code << " round " << round;
    }
  }
}

TEST(RealArchiveValues, CommandLineListsTheSameValues) {
  RealArchive& r = Real();
  if (!r.ok) GTEST_SKIP() << "the real archive is not available";
  test::TempDir dir;
  const std::string dataDir = "--data-dir=" + dir.Path();
  ASSERT_EQ(test::RunCli({dataDir, "draws", "import", test::SharedDataFile("draws-7x35-import.csv")}), 0);
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> expected;
  };
  const int high = r.High();
  const int n1500 = r.archive.IndexOfDraw(1500);
  std::vector<Case> cases = {
      {{"values", "SUMC", "--draw=1500", "--offset=3"}, r.ExpectedDraw("SUMC", n1500, high - 3, false)},
      {{"values", "evnv", "--draw=1500", "--sorted"}, r.ExpectedDraw("EVNV", n1500, high, true)},
      {{"values", "SUMV", "--draw=1400", "--offset=10"},
       r.ExpectedDraw("SUMV", r.archive.IndexOfDraw(1400), high - 10, false)},
      {{"values", "SUMT", "--comb=1 2 3 4 5 6 7", "--offset=2"}, r.ExpectedComb("SUMT", {1, 2, 3, 4, 5, 6, 7}, high - 2)},
      {{"values", "POE1", "--comb=1 2 3 4 5 6 7", "--offset=1"}, r.ExpectedComb("POE1", {1, 2, 3, 4, 5, 6, 7}, high - 1)},
  };
  for (auto& c : cases) {
    std::vector<std::string> args = {dataDir};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::string out, err;
    ASSERT_EQ(test::RunCli(args, &out, &err), 0) << c.args[1] << ": " << err;
    std::string expected;
    for (auto& line : c.expected) expected += line + "\n";
    EXPECT_EQ(out, expected) << c.args[1];
  }
}

TEST(StatCommandLine, CatalogueListsEveryMethod) {
  test::TempDir dir;
  // Own names show; the display options of the favourites file do not.
  WriteFileAtomic(dir.File("Quintar_7x35.flt"),
                  Utf8ToCp1251("[FILTERS]\r\nShowGroupName=0\r\nFavorites=SUMS\r\n[STRINGS_RUS]\r\nNUMS=Мои числа\r\n"));
  std::string out, err;
  ASSERT_EQ(test::RunCli({"--data-dir=" + dir.Path(), "catalogue"}, &out, &err), 0) << err;
  auto lines = SplitAny(out, "\n", true);
  ASSERT_EQ(lines.size(), 183u);
  EXPECT_EQ(lines[0], "№\tКод\tНаименование\tГруппа\tВиды");
  EXPECT_EQ(lines[1], "1\tNUMS\t{ num } Мои числа [ N ]\t0\tN");
  EXPECT_EQ(lines[10], "10\tSUM1\t{ sum } Сумма тиража: диапазон 1 (1/3) [ NG ]\t1\tNG");
  EXPECT_EQ(lines[14], "14\tSUMV\t{ sum } Сумма тиража: изменения (диапазон) [ D ]\t1\tD");
  EXPECT_EQ(lines[19], "19\tDIFA\t{ dif } Все разности между соседними позициями [ SN ]\t2\tSN");
  EXPECT_EQ(lines[79], "79\tPOE1\t{ num } Extra (Bonus, Star...) - число (!без фильтра!) [ G ]\t0\tG");
  EXPECT_EQ(lines[182], "182\tSHR3\t{ shr } Метод шинковки 3: (n1+n3+n5+n7)/(n2+n4+n6) [ SNG ]\t12\tSNG");
  EXPECT_EQ(test::RunCli({"--data-dir=" + dir.Path(), "catalogue", "extra"}), 2);
}

TEST(StatCommandLine, ValuesReportsBadRequests) {
  test::TempDir dir;
  const std::string d = "--data-dir=" + dir.Path();
  ASSERT_EQ(test::RunCli({d, "draws", "add", "1;2;3;4;5;6;7;8", "--number=10", "--date=5 Jan 2017"}), 0);
  std::string out, err;
  EXPECT_EQ(test::RunCli({d, "values", "NUMS"}), 2);
  EXPECT_EQ(test::RunCli({d, "values", "--draw=10"}), 2);
  EXPECT_EQ(test::RunCli({d, "values", "NUMS", "--draw=10", "--comb=1 2 3 4 5 6 7"}), 2);
  EXPECT_EQ(test::RunCli({d, "values", "NUMS", "--draw=10", "--offset=-1"}), 2);
  EXPECT_EQ(test::RunCli({d, "values", "NUMS", "--draw=x"}), 2);
  EXPECT_EQ(test::RunCli({d, "values", "NUMS", "--draw=11"}, &out, &err), 1);
  EXPECT_NE(err.find("Тираж № 11 не найден!"), std::string::npos);
  EXPECT_EQ(test::RunCli({d, "values", "KNO2", "--draw=10"}, &out, &err), 1);
  EXPECT_NE(err.find("Неизвестный код статистики: KNO2"), std::string::npos);
  EXPECT_EQ(test::RunCli({d, "values", "NUMS", "--comb=1 2 3"}, &out, &err), 1);
  EXPECT_NE(err.find("Некорректная комбинация: \"1 2 3\"!"), std::string::npos);
  EXPECT_EQ(test::RunCli({d, "values", "NUMS", "--comb=1 2 3 4 5 6 6"}), 1);
  EXPECT_EQ(test::RunCli({d, "values", "NUMS", "--comb=1 2 3 4 5 6 36"}), 1);
  // An offset past the oldest draw leaves an empty window whose reference sum is 0, like the sum before
  // the first draw.
  EXPECT_EQ(test::RunCli({d, "values", "SUMT", "--draw=10", "--offset=4"}, &out), 0);
  EXPECT_EQ(out, "1\t0\t0\t0\t+\t1\nЧисло:\t1\n");
  EXPECT_EQ(test::RunCli({d, "values", "SUME", "--draw=10"}, &out), 0);
  EXPECT_EQ(out, "12\t0\t0\t0\t12\t1\nЧисло:\t12\n");
}

}  // namespace
}  // namespace quintar
