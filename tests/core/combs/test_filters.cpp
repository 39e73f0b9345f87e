// Statistic and number filters over the combination list: the counts over the full list, the order of
// what is kept, the reference draw, the log lines, undo, and the commands' rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "app/session.h"
#include "combs/combsgen.h"
#include "combs/filters.h"
#include "testutil.h"

using namespace quintar;
using quintar::test::MakeDraw;
using quintar::test::ScriptedHost;
using quintar::test::TempDir;

namespace {

struct Fixture {
  TempDir dir;
  ScriptedHost host;
  Session s{dir.Path(), host};

  Fixture() {
    s.Stats.Draws = &s.Archive.Draws();
    s.Stats.BuildCatalogue();
    s.RebuildStatLists(false, false);
  }
  void Generate(int mode = kGenModeFull, const std::string& param = "") {
    s.CombsGen(MakeGenParams(mode, param));
  }
  // Chooses the method in the statistics view.
  void Choose(const std::string& code) {
    const int m = s.Stats.IndexOfCode(code);
    ASSERT_GE(m, 0) << code;
    auto& ch = s.DrawsStatChooser;
    auto it = std::find(ch.Methods.begin(), ch.Methods.end(), m);
    ASSERT_NE(it, ch.Methods.end()) << code;
    ch.ItemIndex = static_cast<int>(it - ch.Methods.begin());
  }
  // The rows of the chosen statistic's pre-listed values whose captions are the texts.
  TStatSelection Rows(const std::vector<std::string>& texts) {
    auto stat = s.Stats.CreateSelectedStat(s.DrawsStatChooser);
    TStatDrawArray table;
    stat->ListValues(s.LastIndex(), table);
    std::string missing;
    TStatSelection rows = SelectRowsByText(*stat, table, texts, &missing);
    EXPECT_EQ(missing, "");
    return rows;
  }
  std::string ChosenText() const { return s.DrawsStatChooser.Items[static_cast<size_t>(s.DrawsStatChooser.ItemIndex)]; }
};

// Number of 7-number combinations of 1..35 with the sum, counted by a table over the numbers.
long long CombsWithSum(int sum) {
  // ways[k][t]: subsets of the numbers seen so far with k members summing to t.
  static long long ways[8][300];
  std::memset(ways, 0, sizeof ways);
  ways[0][0] = 1;
  for (int n = 1; n <= 35; ++n)
    for (int k = 7; k >= 1; --k)
      for (int t = 299; t >= n; --t) ways[k][t] += ways[k - 1][t - n];
  return ways[7][sum];
}

TStatDraw Number(int n) {
  TStatDraw v;
  v.Key = MakeKey(n);
  return v;
}

}  // namespace

TEST(Filters, FullListCountsUndoAndOneThreadOrder) {
  Fixture f;
  Session& s = f.s;
  s.ReserveCombsLists();
  f.Generate();
  ASSERT_EQ(s.CurrentCombs.Count(), COMBS_TOTAL);

  // Keep the combinations holding 7.
  f.Choose("NUMS");
  s.StatFilter_Include(f.Rows({"7"}));
  EXPECT_EQ(s.CurrentCombs.Count(), 1344904);
  ASSERT_EQ(s.FilterLog.Count(), 1);
  EXPECT_EQ(s.FilterLog[0].Caption, f.ChosenText());
  EXPECT_EQ(s.FilterLog[0].Values, "7");
  EXPECT_EQ(s.FilterLog[0].Count, 1344904);
  EXPECT_EQ(s.FilterLog[0].Mark, TFilterMark::Keep);
  EXPECT_EQ(f.host.panels[3], "Комбинаций: 1344904");
  EXPECT_TRUE(std::all_of(s.CurrentCombs.begin(), s.CurrentCombs.end(), [](const TComb& c) {
    return std::find(c.n, c.n + NUMS_IN_DRAW, 7) != c.n + NUMS_IN_DRAW;
  }));
  EXPECT_TRUE(s.IsIdle());
  EXPECT_EQ(f.host.statuses.back(), "");
  EXPECT_NE(std::find(f.host.statuses.begin(), f.host.statuses.end(), "Фильтрация комбинаций..."),
            f.host.statuses.end());

  // Undo brings the full list back and takes the log line away.
  ASSERT_TRUE(s.CanCombsUndo());
  s.CombsUndo();
  EXPECT_EQ(s.CurrentCombs.Count(), COMBS_TOTAL);
  EXPECT_EQ(s.FilterLog.Count(), 0);

  // Delete three even numbers of seven.
  f.Choose("EVEN");
  s.StatFilter_Exclude(f.Rows({"3:4"}));
  EXPECT_EQ(s.CurrentCombs.Count(), 4643720);
  EXPECT_EQ(s.FilterLog[0].Values, "3:4");
  EXPECT_EQ(s.FilterLog[0].Mark, TFilterMark::Delete);
  s.CombsUndo();

  // Keep two sums; the split pass and the one-thread pass give the same list in the same order.
  f.Choose("SUMS");
  const TStatSelection sums = f.Rows({"126", "127"});
  s.StatFilter_Include(sums);
  const int expected = static_cast<int>(CombsWithSum(126) + CombsWithSum(127));
  EXPECT_EQ(s.CurrentCombs.Count(), expected);
  EXPECT_EQ(s.FilterLog[0].Values, "126; 127");
  std::vector<TComb> split(s.CurrentCombs.begin(), s.CurrentCombs.end());
  s.CombsUndo();
  s.FilterSplit = false;
  s.StatFilter_Include(sums);
  ASSERT_EQ(s.CurrentCombs.Count(), expected);
  EXPECT_EQ(std::memcmp(split.data(), s.CurrentCombs.Data(), split.size() * sizeof(TComb)), 0);
  EXPECT_TRUE(std::is_sorted(split.begin(), split.end(), [](const TComb& a, const TComb& b) {
    return std::memcmp(a.n, b.n, NUMS_IN_DRAW) < 0;
  }));
}

TEST(Filters, NoMatchEmptiesTheListAndEveryRowDeletesAll) {
  Fixture f;
  Session& s = f.s;
  f.Generate(kGenModeOnly, "1;2;3;4;5;6;7;8;9;10");
  ASSERT_EQ(s.CurrentCombs.Count(), 120);

  // A sum no combination of 1..10 gives.
  f.Choose("SUMS");
  s.StatFilter_Include(f.Rows({"200"}));
  EXPECT_EQ(s.CurrentCombs.Count(), 0);
  ASSERT_EQ(s.FilterLog.Count(), 1);
  EXPECT_EQ(s.FilterLog[0].Count, 0);
  EXPECT_FALSE(s.CanStatFilter(1));  // the list is empty now
  s.CombsUndo();
  EXPECT_EQ(s.CurrentCombs.Count(), 120);
  EXPECT_EQ(s.FilterLog.Count(), 0);

  // Deleting with every row of the numbers statistic leaves nothing.
  f.Choose("NUMS");
  std::vector<std::string> all;
  for (int n = 1; n <= MAX_NUMBER; ++n) all.push_back(std::to_string(n));
  s.StatFilter_Exclude(f.Rows(all));
  EXPECT_EQ(s.CurrentCombs.Count(), 0);
  EXPECT_EQ(s.FilterLog[0].Mark, TFilterMark::Delete);
}

TEST(Filters, RulesAndNothingSelected) {
  Fixture f;
  Session& s = f.s;
  EXPECT_FALSE(s.CanStatFilter(1));  // empty list
  f.Generate(kGenModeOnly, "1;2;3;4;5;6;7;8");
  EXPECT_TRUE(s.CanStatFilter(1));
  EXPECT_FALSE(s.CanStatFilter(0));
  s.BeginBusy();
  EXPECT_FALSE(s.CanStatFilter(1));
  EXPECT_FALSE(s.CanFiltersReset());
  EXPECT_FALSE(s.CanFiltersManager());
  s.EndBusy();

  // Called without rows: nothing changes, nothing to undo.
  f.Choose("NUMS");
  s.StatFilter_Include({});
  EXPECT_EQ(s.CurrentCombs.Count(), 8);
  EXPECT_FALSE(s.CanCombsUndo());
  s.SaveUndo(false);
  s.ApplyStatFilter(nullptr, false, {});
  EXPECT_EQ(s.CurrentCombs.Count(), 8);
  EXPECT_EQ(s.FilterLog.Count(), 0);

  // An empty undo copy: the list ends empty and nothing is logged.
  s.PreviousCombs.Clear();
  s.ApplyStatFilter(nullptr, false, f.Rows({"1"}));
  EXPECT_EQ(s.CurrentCombs.Count(), 0);
  EXPECT_EQ(s.FilterLog.Count(), 0);
  EXPECT_TRUE(s.IsIdle());

  // No statistic chosen: the error is shown, the list is as before, the state is idle.
  f.Generate(kGenModeOnly, "1;2;3;4;5;6;7;8");
  s.DrawsStatChooser.ItemIndex = -1;
  TStatSelection one{{Number(1), "1"}};
  s.StatFilter_Include(one);
  ASSERT_FALSE(f.host.messages.empty());
  EXPECT_EQ(f.host.messages.back().text, "Не выбран метод расчета статистики (cb: cbDrawsStatType)!");
  EXPECT_EQ(s.CurrentCombs.Count(), 8);
  EXPECT_TRUE(s.IsIdle());
  EXPECT_EQ(f.host.statuses.back(), "");
}

// Statistics that need the previous draw judge a combination against the reference draw: the newest draw
// of the window, or the oldest draw when the offset reaches beyond the archive.
TEST(Filters, ReferenceDrawFollowsTheOffset) {
  Fixture f;
  Session& s = f.s;
  s.Archive.AppendDraw(MakeDraw(1, {1, 2, 3, 4, 5, 6, 7}, 1));         // sum 28
  s.Archive.AppendDraw(MakeDraw(2, {29, 30, 31, 32, 33, 34, 35}, 2));  // sum 224
  s.Archive.AppendDraw(MakeDraw(3, {10, 11, 12, 13, 14, 15, 16}, 3));  // sum 91
  EXPECT_EQ(FilterReferenceIndex(2, 0), 2);
  EXPECT_EQ(FilterReferenceIndex(2, 5), 0);
  EXPECT_EQ(FilterReferenceIndex(-1, 0), 0);

  f.Generate(kGenModeOnly, "1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20");
  const int total = s.CurrentCombs.Count();
  auto countAbove = [&](int sum) {
    int n = 0;
    for (const TComb& c : s.PreviousCombs)
      if (SumOf(c.n) > sum) ++n;
    return n;
  };
  f.Choose("SUMT");
  const TStatSelection up{{[] {
                             TStatDraw v;
                             v.Key = MakeKey32(1);
                             return v;
                           }(),
                           "+"}};
  struct Case {
    int offset, refSum;
  };
  for (Case c : {Case{0, 91}, Case{1, 224}, Case{2, 28}, Case{7, 28}}) {
    s.SetDrawsOffset(c.offset);
    s.StatFilter_Include(up);
    EXPECT_EQ(s.CurrentCombs.Count(), countAbove(c.refSum)) << c.offset;
    s.CombsUndo();
    ASSERT_EQ(s.CurrentCombs.Count(), total);
  }
}

TEST(Filters, NumberFilter) {
  Fixture f;
  Session& s = f.s;
  f.Generate(kGenModeOnly, "1;2;3;4;5;6;7;8;9");  // 36 combinations
  s.SaveUndo(false);
  try {
    s.ApplyNumberFilter({}, false, kCardCaption, "");
    ADD_FAILURE() << "an empty set must raise";
  } catch (const EQuintar& e) {
    EXPECT_STREQ(e.what(), "В выделенном диапазоне нет значений для фильтра!");
  }
  EXPECT_EQ(s.CurrentCombs.Count(), 36);
  EXPECT_TRUE(s.CanCombsUndo());
  EXPECT_TRUE(s.IsIdle());

  // Keep 5, 6 or 7: seven of nine numbers miss only two, so every combination holds one of them.
  s.ApplyNumberFilter({Number(5), Number(6), Number(7)}, false, kCardCaption, "5; 6; 7");
  EXPECT_EQ(s.CurrentCombs.Count(), 36);
  // Delete 8 and 9: only 1..7 is left.
  s.SaveUndo(false);
  s.ApplyNumberFilter({Number(8), Number(9)}, true, kLayoutCaption, "8; 9");
  ASSERT_EQ(s.CurrentCombs.Count(), 1);
  const TComb low{{1, 2, 3, 4, 5, 6, 7}};
  EXPECT_EQ(std::memcmp(s.CurrentCombs[0].n, low.n, NUMS_IN_DRAW), 0);
  ASSERT_EQ(s.FilterLog.Count(), 2);
  EXPECT_EQ(s.FilterLog[0].Caption, "Карта");
  EXPECT_EQ(s.FilterLog[1].Caption, "Схема");
  EXPECT_EQ(s.FilterLog[1].Values, "8; 9");
  EXPECT_EQ(s.FilterLog[1].Mark, TFilterMark::Delete);
}

TEST(Filters, SelectRowsByText) {
  Fixture f;
  auto stat = f.s.Stats.CreateStat(f.s.Stats.IndexOfCode("EVEN"));
  TStatDrawArray table;
  stat->ListValues(-1, table);
  std::string missing;
  TStatSelection rows = SelectRowsByText(*stat, table, {"5:2", "1:6"}, &missing);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].Value.Key.Part(1), 5);
  EXPECT_EQ(SelectionText(rows), "5:2; 1:6");
  EXPECT_TRUE(SelectRowsByText(*stat, table, {"5:2", "9:9"}, &missing).empty());
  EXPECT_EQ(missing, "9:9");
}

TEST(Filters, FavouritesResetAsksFirst) {
  Fixture f;
  Session& s = f.s;
  s.Stats.ApplyFavorites("NUMS,SUMS");
  f.host.answers = {false};
  EXPECT_FALSE(s.FiltersReset());
  ASSERT_EQ(f.host.questions.size(), 1u);
  EXPECT_EQ(f.host.questions[0].kind, AskKind::ConfirmNo);
  EXPECT_EQ(f.host.questions[0].text, "Вы действительно хотите сбросить список избранных фильтров?");
  EXPECT_FALSE(s.Stats.ShowAll);

  s.Stats.Methods[0].Caption = "Мои числа";
  EXPECT_TRUE(s.FiltersReset());
  EXPECT_TRUE(s.Stats.ShowAll);
  EXPECT_EQ(s.DrawsStatChooser.ItemIndex, 0);
  EXPECT_EQ(s.Stats.Methods[0].Caption, "Мои числа");  // own names stay
  // The favourites file now says: every method.
  TStatList other;
  other.BuildCatalogue();
  other.ApplyFavorites("NUMS");
  other.LoadStatNames(s.FilePath(".flt"), true);
  EXPECT_TRUE(other.ShowAll);
  EXPECT_EQ(other.Methods[0].Caption, "Мои числа");
}

namespace {

// A test that keeps two of five combinations and raises at one chosen combination.
class TFailingStat : public TCustomStat {
 public:
  TFailingStat(const TStatClassInfo& cls, const TStatList& list, const TComb* failAt)
      : TCustomStat(cls, list, 0), failAt_(failAt) {}
  std::string ValueToText(const TStatDraw&) const override { return ""; }
  bool TestComb(const TComb& c, const TStatDrawArray&, int, bool, bool) override {
    if (failAt_ && c == *failAt_) throw EQuintar("сбой");
    return (c[0] * 7 + c[3] * 3 + c[6]) % 5 < 2;
  }

 private:
  const TComb* failAt_;
};

}  // namespace

// Two threads give the one-thread result, also when a test raises: the entries written before the failing
// combination, wherever along the list it lies (in the front's share, the worker's, or none).
TEST(Filters, TwoThreadsWriteWhatOneThreadWritesUpToAFailure) {
  TCombsList all;
  GenerateCombs(kGenModeFull, {}, all);
  const size_t n = 400000;  // a dozen chunks
  TStatList list;
  list.BuildCatalogue();
  const TStatClassInfo& cls = list.StatClass(0);
  for (const size_t failAt : {n, size_t{5}, size_t{40000}, n / 2, n - 3}) {
    SCOPED_TRACE(failAt);
    const TComb* bad = failAt < n ? &all.Data()[failAt] : nullptr;
    auto run = [&](bool split, std::vector<TComb>& out, bool& raised) {
      out.assign(n, TComb{});
      TFailingStat stat(cls, list, bad);
      TStatCloner cloner;
      if (split) cloner = [&] { return std::make_unique<TFailingStat>(cls, list, bad); };
      size_t written = 0;
      raised = false;
      try {
        FilterCombs(stat, {}, all.Data(), n, out.data(), 0, false, false, cloner, &written);
      } catch (const EQuintar&) {
        raised = true;
      }
      out.resize(written);
    };
    std::vector<TComb> one, two;
    bool raisedOne = false, raisedTwo = false;
    run(false, one, raisedOne);
    run(true, two, raisedTwo);
    EXPECT_EQ(raisedOne, bad != nullptr);
    EXPECT_EQ(raisedTwo, raisedOne);
    ASSERT_EQ(two.size(), one.size());
    EXPECT_TRUE(one == two);
  }
}

// The filter loop of each class (direct calls, selections worked out once per pass) keeps exactly what
// TestComb keeps, in order, for selections of values that occur, in keep and delete mode.
TEST(Filters, BlockLoopsAnswerAsTestComb) {
  const std::string csv = quintar::test::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is missing";
  Fixture f;
  ASSERT_EQ(f.s.DrawsImport(csv), 434);
  TCombsList all;
  GenerateCombs(kGenModeFull, {}, all);
  std::vector<TComb> sample;  // every fifth combination: runs of neighbours and jumps between them
  for (int i = 0; i < all.Count(); i += 5) sample.push_back(all[i]);
  const int ref = FilterReferenceIndex(f.s.Archive.High(), 3);
  for (const char* code : {"NUMS", "DIGS", "EVEN", "SMAL", "PRIM", "EVNV", "SUMS", "SUM1", "SUM2", "POS3", "DIFA",
                           "S2T3", "SEQL", "CHAN", "KCM2", "COLS", "KNM2", "RPV2", "PRV+1", "VNK1"}) {
    SCOPED_TRACE(code);
    const int m = f.s.Stats.IndexOfCode(code);
    ASSERT_GE(m, 0);
    auto stat = f.s.Stats.CreateStat(m);
    // Every other value of the window's last 30 draws, as the selection.
    TStatDrawArray values, set;
    TStatContext context{};
    TLastValueArray last;
    for (int i = ref - 29; i <= ref; ++i) stat->DrawValues(i, ref, false, values, context, last);
    for (size_t i = 0; i < values.size(); i += 2) set.push_back(values[i]);
    ASSERT_FALSE(set.empty());
    stat->LoadDraws(-1, ref, false);
    for (bool deleteFlag : {false, true}) {
      std::vector<TComb> byTest, byBlock(sample.size());
      stat->PrepareTest(set);
      for (const TComb& c : sample)
        if (stat->TestComb(c, set, ref, false, deleteFlag) != deleteFlag) byTest.push_back(c);
      const size_t kept = FilterCombs(*stat, set, sample.data(), sample.size(), byBlock.data(), ref, false, deleteFlag);
      ASSERT_EQ(kept, byTest.size()) << deleteFlag;
      EXPECT_EQ(std::memcmp(byBlock.data(), byTest.data(), kept * sizeof(TComb)), 0) << deleteFlag;
      EXPECT_GT(kept, 0u);
    }
  }
}
