// quintar-cli details, graphs, card, layout, repeats and sumdist as outside checks call them: on the real
// archive under non-default settings (channel size 3, 7 matrix columns, other window lengths and colour
// switches), each output compared line by line with a reading of the rules computed here on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <set>

#include "game/drawarchive.h"
#include "testutil.h"
#include "util/cp1251.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::RunCli;
using quintar::test::TempDir;

namespace {

using Lines = std::vector<std::string>;

std::string Join(const Lines& cells, const std::string& sep) {
  std::string s;
  for (size_t i = 0; i < cells.size(); ++i) s += (i ? sep : "") + cells[i];
  return s;
}

// Output lines with trailing empty cells dropped (the output may omit them).
Lines Split(const std::string& out) {
  Lines lines;
  size_t start = 0;
  while (start < out.size()) {
    size_t end = out.find('\n', start);
    if (end == std::string::npos) end = out.size();
    std::string line = out.substr(start, end - start);
    while (!line.empty() && line.back() == '\t') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

Lines Trimmed(Lines lines) {
  for (auto& l : lines)
    while (!l.empty() && l.back() == '\t') l.pop_back();
  return lines;
}

std::string Hex(uint32_t rgb) {
  char b[16];
  std::snprintf(b, sizeof b, "#%06X", rgb & 0xFFFFFF);
  return b;
}

int SumOf(const uint8_t* n) {
  int s = 0;
  for (int i = 0; i < 7; ++i) s += n[i];
  return s;
}

std::string Fixed4(double v) {
  char b[64];
  std::snprintf(b, sizeof b, "%.4f", v);
  std::string s = b;
  std::replace(s.begin(), s.end(), '.', ',');
  return s;
}

// The data folder: the real archive, the catalogue settings and the window settings of the run.
class ViewsCli : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    csv_ = test::SharedDataFile("draws-7x35-import.csv");
    if (csv_.empty()) return;
    dir_ = new TempDir;
    ASSERT_EQ(RunCli({Dd(), "draws", "import", csv_}), 0);
    test::WriteBytes(dir_->File("Quintar_7x35.ini"), "[GLOBAL]\r\nChannelSize=3\r\nMatrixCols=7\r\n");
    test::WriteBytes(dir_->File("Quintar_7x35.frm"),
                     "[TFormMain]\r\nDrawsGraphLen=40\r\nLayoutLen=12\r\nLayoutCompareLen1=20\r\nLayoutGradient=0\r\n"
                     "ColorCard=2\r\nColorCardSequences=1\r\n[TFormRepeats]\r\nDrawsLength=25\r\nDrawsDeep=15\r\n");
    test::WriteBytes(dir_->File("Quintar_7x35.flt"), Utf8ToCp1251("[STRINGS_RUS]\r\nDIFD=Размах тиража\r\n"));
    archive_ = new TDrawArchive;
    archive_->LoadFromFile(dir_->File("Quintar_7x35.ldr"));
  }
  static void TearDownTestSuite() {
    delete archive_;
    delete dir_;
    archive_ = nullptr;
    dir_ = nullptr;
  }
  void SetUp() override {
    if (csv_.empty()) GTEST_SKIP() << "the real archive is not available";
  }
  static std::string Dd() { return "--data-dir=" + dir_->Path(); }
  static const TDraw& D(int i) { return (*archive_)[i]; }
  static int N() { return archive_->Count(); }
  static std::set<int> NumsOf(const TDraw& d) { return std::set<int>(d.Nums, d.Nums + 7); }
  static Lines Run(Lines args, int* rc = nullptr) {
    args.insert(args.begin(), Dd());
    std::string out, err;
    const int code = RunCli(args, &out, &err);
    if (rc)
      *rc = code;
    else
      EXPECT_EQ(code, 0) << Join(args, " ") << ": " << err;
    return Split(out);
  }

  // The card, newest draw first (cells 1..36 as colours when asked).
  static Lines Card(bool colors, bool channels, bool sequences, int channelSize) {
    Lines lines;
    Lines caption{""};
    for (int n = 1; n <= 35; ++n) caption.push_back(std::to_string(n));
    caption.push_back("E");
    lines.push_back(Join(caption, "\t"));
    auto has = [&](int row, int n) { return row >= 0 && row < N() && NumsOf(D(N() - 1 - row)).count(n) > 0; };
    for (int row = 0; row < N(); ++row) {
      const TDraw& d = D(N() - 1 - row);
      Lines cells{std::to_string(d.Number)};
      for (int n = 1; n <= 35; ++n) {
        if (!colors) {
          cells.push_back(has(row, n) ? std::to_string(n) : "");
          continue;
        }
        std::string c = channels ? Hex(ChannelColor(n, channelSize)) : "";
        if (sequences && has(row, n)) {
          const bool rep = has(row - 1, n) || has(row + 1, n);
          const bool nb = (n > 1 && has(row, n - 1)) || (n < 35 && has(row, n + 1));
          if (rep && nb) c = "#FFFF00";
          else if (rep) c = "#00FF00";
          else if (nb) c = "#00FFFF";
        }
        cells.push_back(c);
      }
      cells.push_back(colors ? "" : std::to_string(d.Bonus));
      lines.push_back(Join(cells, "\t"));
    }
    return Trimmed(lines);
  }

  struct Rec {
    int n, count, last;
  };
  static std::vector<Rec> Records(int len, int offset) {
    const int ref = N() - 1 - offset, first = std::max(0, ref - len + 1);
    std::vector<Rec> recs;
    for (int i = ref; i >= first; --i)
      for (int k = 0; k < 7; ++k) {
        auto it = std::find_if(recs.begin(), recs.end(), [&](const Rec& r) { return r.n == D(i).Nums[k]; });
        if (it != recs.end())
          ++it->count;
        else
          recs.push_back({D(i).Nums[k], 1, D(i).Number});
      }
    return recs;
  }

  // The scheme as cells (row 0 and column 0 the headers).
  static std::vector<Lines> Scheme(int len, int offset) {
    const auto recs = Records(len, offset);
    std::set<int, std::greater<>> counts, lasts;
    for (const Rec& r : recs) counts.insert(r.count), lasts.insert(r.last);
    const std::vector<int> cs(counts.begin(), counts.end()), ls(lasts.begin(), lasts.end());
    std::set<int> next;
    if (offset >= 1) next = NumsOf(D(N() - offset));
    std::vector<Lines> grid(cs.size() + 1, Lines(ls.size() + 1));
    for (size_t c = 0; c < ls.size(); ++c) grid[0][c + 1] = std::to_string(ls[c]);
    for (size_t r = 0; r < cs.size(); ++r) grid[r + 1][0] = std::to_string(cs[r]);
    for (const Rec& rec : recs) {
      const size_t r = 1 + static_cast<size_t>(std::find(cs.begin(), cs.end(), rec.count) - cs.begin());
      const size_t c = 1 + static_cast<size_t>(std::find(ls.begin(), ls.end(), rec.last) - ls.begin());
      std::string& cell = grid[r][c];
      const std::string t = next.count(rec.n) ? "[" + std::to_string(rec.n) + "]" : std::to_string(rec.n);
      cell += (cell.empty() ? "" : ", ") + t;
    }
    return grid;
  }

  static Lines SchemeLines(int len, int offset, const bool* gradient) {
    auto grid = Scheme(len, offset);
    const double R = static_cast<double>(grid.size()), K = static_cast<double>(grid[0].size());
    auto band = [](int i) { return i >= 1 && i <= 95 && (i - 1) % 10 < 5; };
    Lines lines;
    for (size_t r = 0; r < grid.size(); ++r) {
      Lines cells = grid[r];
      for (size_t c = 1; gradient && r >= 1 && c < cells.size(); ++c) {
        if (cells[c].find('[') != std::string::npos) {
          cells[c] = "#00FF00";
        } else if (*gradient) {
          const auto red = static_cast<uint32_t>(std::lround(255 - 155.0 * r / R));
          const auto green = static_cast<uint32_t>(std::lround(255 - 155.0 * c / K));
          const auto blue = static_cast<uint32_t>(std::lround(100 + 155.0 * r / R));
          cells[c] = Hex(red << 16 | green << 8 | blue);
        } else {
          cells[c] = band(static_cast<int>(r)) != band(static_cast<int>(c)) ? "#FFEAEA" : "#EAFFEA";
        }
      }
      lines.push_back(Join(cells, "\t"));
    }
    return Trimmed(lines);
  }

  // The numbers a filter takes from scheme cells: columns left to right, rows top to bottom.
  static std::vector<std::string> SchemeWords(int len, int offset, int left, int top, int right, int bottom) {
    const auto grid = Scheme(len, offset);
    std::vector<std::string> words;
    for (int c = left; c <= right; ++c)
      for (int r = top; r <= bottom; ++r) {
        std::string cell = grid[static_cast<size_t>(r)][static_cast<size_t>(c)];
        cell.erase(std::remove_if(cell.begin(), cell.end(), [](char ch) { return ch == '[' || ch == ']' || ch == ' '; }),
                   cell.end());
        size_t start = 0;
        while (!cell.empty() && start <= cell.size()) {
          size_t end = cell.find(',', start);
          if (end == std::string::npos) end = cell.size();
          const std::string w = cell.substr(start, end - start);
          if (std::find(words.begin(), words.end(), w) == words.end()) words.push_back(w);
          start = end + 1;
        }
      }
    return words;
  }


  static Lines Repeats(int len, int deep, bool chart) {
    struct Row {
      int draw, m, count;
      Lines list;
    };
    std::vector<Row> rows;
    int maxM = 0;
    for (int d = N() - 1; d >= std::max(0, N() - len); --d) {
      const size_t start = rows.size();
      for (int k = d - 1; k >= std::max(0, d - deep); --k) {
        const auto a = NumsOf(D(d)), b = NumsOf(D(k));
        const int m = static_cast<int>(std::count_if(a.begin(), a.end(), [&](int n) { return b.count(n) > 0; }));
        maxM = std::max(maxM, m);
        if (m == 0) continue;
        auto it = std::find_if(rows.begin() + static_cast<std::ptrdiff_t>(start), rows.end(),
                               [&](const Row& r) { return r.m == m; });
        if (it == rows.end()) rows.push_back({D(d).Number, m, 1, {std::to_string(D(k).Number)}});
        else ++it->count, it->list.push_back(std::to_string(D(k).Number));
      }
    }
    Lines lines;
    if (!chart) {
      lines.push_back("Тираж\tСовпадений\tКол-во повторов\tСписок тиражей");
      for (const Row& r : rows)
        lines.push_back(Join({std::to_string(r.draw), std::to_string(r.m), std::to_string(r.count), Join(r.list, " ")}, "\t"));
      return lines;
    }
    lines.push_back("Серия\tТираж\tКол-во повторов");
    for (int m = 1; m <= maxM; ++m) {
      const std::string title = "Совпадений: " + std::to_string(m);
      bool any = false;
      for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        if (it->m == m) {
          any = true;
          lines.push_back(title + "\t" + std::to_string(it->draw) + "\t" + std::to_string(it->count));
        }
      if (!any) lines.push_back(title);
    }
    return lines;
  }

  static Lines SumDist() {
    std::map<int, int64_t> theory;
    for (int a = 1; a <= 35; ++a)
      for (int b = a + 1; b <= 35; ++b)
        for (int c = b + 1; c <= 35; ++c)
          for (int d = c + 1; d <= 35; ++d)
            for (int e = d + 1; e <= 35; ++e)
              for (int f = e + 1; f <= 35; ++f)
                for (int g = f + 1; g <= 35; ++g) ++theory[a + b + c + d + e + f + g];
    std::map<int, int> actual;
    for (int i = 0; i < N(); ++i) ++actual[SumOf(D(i).Nums)];
    int64_t tmax = 0, tmin = INT64_MAX;
    int amax = 0;
    for (const auto& [s, n] : theory) tmax = std::max(tmax, n), tmin = std::min(tmin, n);
    for (const auto& [s, n] : actual) amax = std::max(amax, n);
    EXPECT_EQ(theory.size(), 197u);
    EXPECT_EQ(tmax, 108108);
    const int64_t levels[3] = {tmin + (tmax - tmin + 1) / 3, tmin + (tmax - tmin + 1) / 2, tmin + 2 * (tmax - tmin + 1) / 3};
    const char* bounds[3] = {"1 (от 1/3 и выше по оси Y) - суммы 89-163", "2 (от 1/2 и выше по оси Y) - суммы 97-155",
                             "3 (от 2/3 и выше по оси Y) - суммы 104-148"};
    Lines lines{std::string("Сумма\tКомбинаций\tФактическое распределение сумм (по тиражам)\t") +
                "Теоретическое распределение сумм (по комбинациям)\tДиапазон " + bounds[0] + "\tДиапазон " + bounds[1] +
                "\tДиапазон " + bounds[2]};
    auto scaled = [&](int64_t v) { return Fixed4(static_cast<double>(v) / static_cast<double>(tmax) * amax); };
    for (const auto& [s, n] : theory)
      lines.push_back(Join({std::to_string(s), std::to_string(n), actual.count(s) ? std::to_string(actual[s]) : "",
                            scaled(n), scaled(levels[0]), scaled(levels[1]), scaled(levels[2])},
                           "\t"));
    return lines;
  }

  static inline std::string csv_;
  static inline TempDir* dir_ = nullptr;
  static inline TDrawArchive* archive_ = nullptr;
};

int64_t WithAnyOf(size_t k) { return CombCount(35, 7) - CombCount(35 - static_cast<int>(k), 7); }

TEST_F(ViewsCli, EveryViewPrintsWhatTheRulesGive) {
  struct Case {
    Lines args;
    std::function<Lines()> expected;
  };
  const bool on = true, off = false;
  const std::vector<Case> cases = {
      // Card: "ColorCard=2" reads as on; the options override the settings for the run.
      {{"card"}, [] { return Card(false, false, false, 3); }},
      {{"card", "--colors"}, [] { return Card(true, true, true, 3); }},
      {{"card", "--colors", "--color-card=0"}, [] { return Card(true, false, true, 3); }},
      {{"card", "--colors", "--color-sequences=0"}, [] { return Card(true, true, false, 3); }},
      // Layout: the stored length 12, its gradient off (checkerboard), the option on.
      {{"layout"}, [] { return SchemeLines(12, 0, nullptr); }},
      {{"layout", "--offset=1", "--len=30", "--colors"}, [&] { return SchemeLines(30, 1, &off); }},
      {{"layout", "--offset=3", "--len=9", "--colors", "--gradient=1"}, [&] { return SchemeLines(9, 3, &on); }},
      {{"layout", "--offset=433", "--len=5"}, [] { return SchemeLines(5, 433, nullptr); }},
      {{"layout", "compare", "--offset=2", "--len3=7", "--len5=1000"},
       [] {
         Lines lines;
         const int lens[5] = {20, 100, 7, 300, 1000};
         for (int i = 0; i < 5; ++i) {
           if (i) lines.push_back("");
           const int ref = N() - 3, first = std::max(0, ref - lens[i] + 1);
           lines.push_back("Кол-во\t" + std::to_string(D(first).Number) + " - " + std::to_string(D(ref).Number));
           std::vector<std::pair<int, Lines>> rows;
           for (const Rec& r : Records(lens[i], 2)) {
             auto it = std::find_if(rows.begin(), rows.end(), [&](const auto& x) { return x.first == r.count; });
             if (it == rows.end()) rows.push_back({r.count, {std::to_string(r.n)}});
             else it->second.push_back(std::to_string(r.n));
           }
           for (const auto& [count, nums] : rows) lines.push_back(std::to_string(count) + "\t" + Join(nums, ", "));
         }
         return lines;
       }},
      // Graphs: the stored window of 40 draws, then a window of 25 ending three draws back, with marks.
      {{"graphs", "EVEN"},
       [] {
         Lines lines{"Тираж\tКоличество четных чисел в тираже (Ч:Н)\tСреднее значение\t"
                     "Наиболее часто встречающееся значение"};
         std::vector<int> v;
         for (int i = N() - 40; i < N(); ++i) v.push_back(static_cast<int>(std::count_if(
                                                 D(i).Nums, D(i).Nums + 7, [](int n) { return n % 2 == 0; })));
         std::map<int, int> count;
         int mode = v[0], sum = 0;
         for (int x : v) sum += x, ++count[x];
         for (int x : v)
           if (count[x] > count[mode]) mode = x;
         for (int i = 0; i < 40; ++i)
           lines.push_back(std::to_string(D(N() - 40 + i).Number) + "\t" + std::to_string(v[static_cast<size_t>(i)]) +
                           "\t" + Fixed4(sum / 40.0) + "\t" + std::to_string(mode));
         return lines;
       }},
      {{"graphs", "SUMS", "--len=25", "--offset=3", "--marks"},
       [] {
         Lines lines{"Тираж\tСумма тиража: все значения\tСреднее значение\tНаиболее часто встречающееся значение\tМетка"};
         std::vector<int> v;
         for (int i = N() - 28; i < N() - 3; ++i) v.push_back(SumOf(D(i).Nums));
         std::map<int, int> count;
         int mode = v[0], sum = 0;
         for (int x : v) sum += x, ++count[x];
         for (int x : v)
           if (count[x] > count[mode]) mode = x;
         for (int i = 0; i < 25; ++i) {
           const std::string x = std::to_string(v[static_cast<size_t>(i)]);
           lines.push_back(std::to_string(D(N() - 28 + i).Number) + "\t" + x + "\t" + Fixed4(sum / 25.0) + "\t" +
                           std::to_string(mode) + "\t" + x);
         }
         return lines;
       }},
      // Repeats: the stored window 25 and depth 15, then a window of 3 with depth 40, and its chart.
      {{"repeats"}, [] { return Repeats(25, 15, false); }},
      {{"repeats", "--len=3", "--deep=40"}, [] { return Repeats(3, 40, false); }},
      {{"repeats", "--len=60", "--deep=5", "--chart"}, [] { return Repeats(60, 5, true); }},
      {{"sumdist"}, [] { return SumDist(); }},
  };
  for (const Case& c : cases) {
    const Lines got = Run(c.args);
    const Lines want = c.expected();
    ASSERT_EQ(got.size(), want.size()) << Join(c.args, " ");
    for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], want[i]) << Join(c.args, " ") << ", line " << i;
  }
}

}  // namespace

namespace {

// The details window's text: the properties of every graph statistic, then the card of the chosen width.
TEST_F(ViewsCli, DetailsOfADrawAndACombination) {
  const TDraw& newest = D(N() - 1);
  const auto nums = NumsOf(newest);
  auto card = [](const std::set<int>& ns, int cols, bool colors) {
    Lines lines{"Количество столбцов:\t" + std::to_string(cols)};
    for (int r = 0; r < GroupCount(1, 35, cols); ++r) {
      Lines cells;
      for (int c = 0; c < cols; ++c) {
        const int n = r * cols + c + 1;
        cells.push_back(n > 35 ? "" : colors ? Hex(ChannelColor(n, 3)) : ns.count(n) ? std::to_string(n) : "");
      }
      lines.push_back(Join(cells, "\t"));
    }
    return Trimmed(lines);
  };
  auto value = [](const Lines& lines, const std::string& caption) {
    for (const auto& l : lines)
      if (l.rfind(caption + "\t", 0) == 0) return l.substr(caption.size() + 1);
    return std::string("(none)");
  };
  // One line per graph statistic of the catalogue (kind "G"); with channel size 3 and 7 columns the
  // catalogue has 12 channels, 7 columns and 5 rows.
  size_t props = 0;
  for (const std::string& line : Run({"catalogue"})) {
    const size_t tab = line.rfind('\t');
    props += tab != std::string::npos && line.find('G', tab) != std::string::npos;
  }
  EXPECT_GE(props, 20u + 3 + 7 + 1 + 12 + 7 + 5 + 1 + 3);
  Lines out = Run({"details", "--draw=" + std::to_string(newest.Number)});
  ASSERT_EQ(out.size(), 1 + 2 + props + 1 + 6);
  EXPECT_EQ(out[0], "Свойство\tЗначение");
  EXPECT_EQ(out[1], "Номер тиража:\t" + std::to_string(newest.Number));
  EXPECT_EQ(out[2], "Дата тиража:\t" + newest.Date());
  EXPECT_EQ(value(out, "Сумма тиража: все значения"), std::to_string(SumOf(newest.Nums)));
  EXPECT_EQ(value(out, "Количество чисел в 12 канале"), std::to_string(nums.count(34) + nums.count(35)));
  int col7 = 0;
  for (int n : nums) col7 += (n - 1) % 7 == 6;
  EXPECT_EQ(value(out, "Количество чисел в 7 столбце матрицы"), std::to_string(col7));
  EXPECT_NE(value(out, "Метод шинковки 1: (n1+n2+n3)/(n4+n5+n6+n7)"), "(none)");
  EXPECT_EQ(value(out, "Количество чисел в 1 списке"), "(none)");  // NUMS is no graph statistic
  EXPECT_EQ(out[3 + props], "");
  EXPECT_EQ(Lines(out.begin() + static_cast<std::ptrdiff_t>(4 + props), out.end()), card(nums, 7, false));

  // A combination in typed order: no number or date; 8 columns leave the last cells without colour.
  out = Run({"details", "--comb=35 01 12 02 20 03 04", "--offset=5", "--cols=8", "--colors", "--sorted"});
  ASSERT_EQ(out.size(), 1 + props + 1 + 6);
  EXPECT_EQ(value(out, "Сумма тиража: все значения"), "77");
  EXPECT_EQ(Lines(out.begin() + static_cast<std::ptrdiff_t>(2 + props), out.end()), card({}, 8, true));

  int rc = 0;
  Run({"details", "--comb=1 2 3 4 5 6 6"}, &rc);
  EXPECT_EQ(rc, 1);
  Run({"details", "--draw=99999"}, &rc);
  EXPECT_EQ(rc, 1);
  for (const Lines& bad : std::vector<Lines>{{"details"},
                                             {"details", "--draw=1577", "--comb=1 2 3 4 5 6 7"},
                                             {"details", "--draw=1577", "--cols=36"},
                                             {"details", "--draw=1577", "--offset=434"},
                                             {"graphs", "SUMS", "--len=0"},
                                             {"layout", "--offset=-1"},
                                             {"repeats", "--deep=x"},
                                             {"card", "--color-card=2"}}) {
    EXPECT_TRUE(Run(bad, &rc).empty()) << Join(bad, " ");
    EXPECT_EQ(rc, 2) << Join(bad, " ");
  }
  // The series title is the display name: an own name, a shredding method with its formula; the details
  // window keeps the statistic's own title.
  EXPECT_EQ(Run({"graphs", "DIFD", "--len=1"})[0].rfind("Тираж\tРазмах тиража\t", 0), 0u);
  EXPECT_EQ(Run({"graphs", "SHR1", "--len=1"})[0].rfind("Тираж\tМетод шинковки 1: (n1+n2+n3)/(n4+n5+n6+n7)\t", 0), 0u);
  EXPECT_NE(value(out, "Разность между минимальным и максимальным числом"), "(none)");
  Run({"graphs", "NUMS"}, &rc);  // not a graph statistic
  EXPECT_EQ(rc, 1);
}

// The card and layout filters on the full list and on a list file, and their refusals.
TEST_F(ViewsCli, CardAndLayoutFiltersKeepAndDelete) {
  std::set<int> two = NumsOf(D(N() - 1));
  for (int n : NumsOf(D(N() - 2))) two.insert(n);
  Lines texts;
  for (int n : two) texts.push_back(std::to_string(n));  // columns left to right: ascending
  const std::string values = Join(texts, "; ");
  const std::string caption = "Примененные фильтры\tЗначения\tКомбинаций";
  const int64_t kept = WithAnyOf(two.size());
  EXPECT_EQ(Run({"card", "filter", "--cols=1-35", "--rows=1-2", "--keep"}),
            (Lines{caption, "Карта\t" + values + "\t" + std::to_string(kept), "Комбинаций: " + std::to_string(kept)}));
  const int64_t left = CombCount(35, 7) - kept;
  EXPECT_EQ(Run({"card", "filter", "--cols=35-1", "--rows=2-1", "--delete"}),
            (Lines{caption, "Карта\t" + values + "\t" + std::to_string(left), "Комбинаций: " + std::to_string(left)}));

  // A list file: the kept combinations in list order, in the list file form.
  const std::string in = dir_->File("in.lcv"), out = dir_->File("out.lcv");
  const int a = *two.begin();
  int b = 1;
  while (two.count(b)) ++b;  // a number of neither draw
  const Lines combs = {"1;2;3;4;5;6;7",        "29;30;31;32;33;34;35", "8;9;10;11;12;13;14",
                       "15;16;17;18;19;20;21", "22;23;24;25;26;27;28", "35;7;14;21;28;1;2"};
  std::string list, expected;
  int expectedCount = 0;
  for (const std::string& c : combs) {
    list += c + "\r\n";
    if ((";" + c + ";").find(";" + std::to_string(a) + ";") == std::string::npos) {
      expected += c + "\r\n";
      ++expectedCount;
    }
  }
  test::WriteBytes(in, list);
  const std::string col = std::to_string(a);
  // Row 1 or 2 holds a; the two rows give only a when the column is a's.
  const Lines got = Run({"card", "filter", "--cols=" + col, "--rows=1-2", "--delete", "--in=" + in, "--out=" + out});
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[1], "Карта\t" + col + "\t" + std::to_string(expectedCount));
  EXPECT_EQ(ReadWholeFile(out), expected);

  int rc = 0;
  Lines printed = Run({"card", "filter", "--cols=0-3", "--rows=1", "--keep"}, &rc);
  EXPECT_EQ(rc, 1);
  Run({"card", "filter", "--cols=30-36", "--rows=1", "--keep"}, &rc);
  EXPECT_EQ(rc, 1);
  // No number in the selection: nothing printed, no list written.
  std::remove(out.c_str());
  printed = Run({"card", "filter", "--cols=" + std::to_string(b), "--rows=1-2", "--keep", "--out=" + out}, &rc);
  EXPECT_EQ(rc, 1);
  EXPECT_TRUE(printed.empty());
  EXPECT_FALSE(FileExists(out));
  test::WriteBytes(dir_->File("empty.lcv"), "");
  Run({"card", "filter", "--cols=1-35", "--rows=1", "--keep", "--in=" + dir_->File("empty.lcv")}, &rc);
  EXPECT_EQ(rc, 1);
  for (const Lines& bad : std::vector<Lines>{{"card", "filter", "--cols=1-37", "--rows=1", "--keep"},
                                             {"card", "filter", "--cols=1", "--rows=0-1", "--keep"},
                                             {"card", "filter", "--cols=1", "--rows=435", "--keep"},
                                             {"card", "filter", "--cols=1", "--rows=1"},
                                             {"layout", "filter", "--cols=0-1", "--rows=1", "--keep"},
                                             {"layout", "filter", "--cols=1", "--rows=0", "--keep"},
                                             {"layout", "filter", "--cols=1", "--rows=99", "--delete"}}) {
    EXPECT_TRUE(Run(bad, &rc).empty()) << Join(bad, " ");
    EXPECT_EQ(rc, 2) << Join(bad, " ");
  }

  // The layout: the first two columns of the scheme over 10 draws ending one draw back (brackets dropped).
  const auto grid = Scheme(10, 1);
  const int rows = static_cast<int>(grid.size()) - 1;
  const auto words = SchemeWords(10, 1, 1, 1, 2, rows);
  const int64_t layoutKept = WithAnyOf(words.size());
  EXPECT_EQ(Run({"layout", "filter", "--cols=1-2", "--rows=1-" + std::to_string(rows), "--keep", "--len=10",
                 "--offset=1"}),
            (Lines{caption, "Схема\t" + Join(words, "; ") + "\t" + std::to_string(layoutKept),
                   "Комбинаций: " + std::to_string(layoutKept)}));
}

}  // namespace
