// Difference statistics (group 2): the gaps |n(k+1) - n(k)| between neighbouring positions of a row,
// the largest of them, the spread between the smallest and the largest number, repeated gaps and runs of
// 2 to 4 consecutive gaps. All but the spread follow the order of the row: a draw as drawn or sorted (the
// sorted-view switch), a combination as stored.
#include <algorithm>
#include <bit>

#include "stats/customstat.h"
#include "stats/statfactories.h"
#include "stats/statlist.h"
#include "stats/tupleset.h"
#include "util/format.h"

namespace quintar {

namespace {

constexpr int kGaps = NUMS_IN_DRAW - 1;
constexpr int kMaxGap = MAX_NUMBER - 1;

void GapsOf(const uint8_t* n, int* d) {
  for (int k = 0; k < kGaps; ++k) d[k] = n[k + 1] > n[k] ? n[k + 1] - n[k] : n[k] - n[k + 1];
}

// The distinct gaps of a row in first-seen order with how many of the six gaps equal each.
struct TSameGaps {
  int Gap[kGaps];
  int Times[kGaps];
  int Count = 0;
  explicit TSameGaps(const uint8_t* n) {
    int d[kGaps];
    GapsOf(n, d);
    for (int k = 0; k < kGaps; ++k) {
      int i = 0;
      while (i < Count && Gap[i] != d[k]) ++i;
      if (i == Count) {
        Gap[Count] = d[k];
        Times[Count++] = 1;
      } else {
        ++Times[i];
      }
    }
  }
  int MostTimes() const {
    int m = 0;
    for (int i = 0; i < Count; ++i) m = std::max(m, Times[i]);
    return m;
  }
};

// The same counts for TestComb, as bit sets of the gaps: At[m - 1] holds the gaps seen at least m times.
struct TGapLevels {
  uint64_t At[kGaps] = {};
  explicit TGapLevels(const uint8_t* n) {
    int d[kGaps];
    GapsOf(n, d);
    for (int k = 0; k < kGaps; ++k) {
      const uint64_t b = d[k] <= 63 ? uint64_t{1} << d[k] : 0;
      for (int m = kGaps - 1; m > 0; --m) At[m] |= At[m - 1] & b;
      At[0] |= b;
    }
  }
  int MostTimes() const {
    int m = 0;
    while (m < kGaps && At[m]) ++m;
    return m;
  }
  int TimesOf(int gap) const {
    int m = 0;
    while (m < kGaps && ((At[m] >> gap) & 1)) ++m;
    return m;
  }
};

// DIFA: each of the six gaps; only the first of a draw's merges tracks periods.
class TstDiffTotal final : public TCustomNumbersStat {
 public:
  using TCustomNumbersStat::TCustomNumbersStat;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int g = 1; g <= kMaxGap; ++g) ListKey(List, MakeKey(g));
  }
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    int d[kGaps];
    GapsOf(CurDraw.Nums, d);
    for (int k = 0; k < kGaps; ++k) MergeKey(List, MakeKey(d[k]), k == 0);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    int d[kGaps];
    GapsOf(Comb.n, d);
    for (int k = 0; k < kGaps; ++k) MergeKey(List, MakeKey(d[k]), false);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    int d[kGaps];
    GapsOf(Comb.n, d);
    for (int k = 0; k < kGaps; ++k)
      if (SelPart1(Selected, d[k])) return true;
    return false;
  }
};

// One number of a row, as a graph: DIFM (largest gap), DIFD (spread), DIFK (most repeated gap).
template <int (*ValueOf)(const uint8_t*), int ListLo, int ListHi>
class TDiffNumberStat final : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int v = ListLo; v <= ListHi; ++v) ListKey(List, MakeKey(v));
  }
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    MergeKey(List, MakeKey(ValueOf(CurDraw.Nums)), true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    MergeKey(List, MakeKey(ValueOf(Comb.n)), false);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    return SelPart1(Selected, ValueOf(Comb.n));
  }
  int32_t CombNumber(const TComb& Comb, int, int, bool) override { return ValueOf(Comb.n); }
};

int LargestGap(const uint8_t* n) {
  int d[kGaps];
  GapsOf(n, d);
  int m = 0;
  for (int k = 0; k < kGaps; ++k) m = std::max(m, d[k]);
  return m;
}

int Spread(const uint8_t* n) {
  int lo = n[0], hi = n[0];
  for (int i = 1; i < NUMS_IN_DRAW; ++i) {
    lo = std::min(lo, static_cast<int>(n[i]));
    hi = std::max(hi, static_cast<int>(n[i]));
  }
  return hi - lo;
}

int MostRepeatedGap(const uint8_t* n) { return TGapLevels(n).MostTimes(); }

// DIFO: one value per distinct gap, (gap, how many of the six gaps equal it), "3 x 2".
class TstDiffSame final : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    const TSameGaps s(CurDraw.Nums);
    for (int i = 0; i < s.Count; ++i) MergeKey(List, MakeKey(s.Gap[i], s.Times[i]), true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    const TSameGaps s(Comb.n);
    for (int i = 0; i < s.Count; ++i) MergeKey(List, MakeKey(s.Gap[i], s.Times[i]), false);
  }
  void PrepareTest(const TStatDrawArray& Selected) override {
    TCustomStat::PrepareTest(Selected);
    for (auto& m : selected_) m = 0;
    for (const auto& v : Selected) {
      const int g = v.Key.Part(1), m = v.Key.Part(2);
      if (g >= 0 && g <= kMaxGap && m >= 1 && m <= kGaps && v.Key.Part(3) == 0 && v.Key.Part(4) == 0)
        selected_[g] |= static_cast<uint8_t>(1u << m);
    }
    selectedGaps_ = 0;
    for (int g = 0; g <= kMaxGap; ++g)
      if (selected_[g]) selectedGaps_ |= uint64_t{1} << g;
    prepared_.Set(Selected);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    if (prepared_.For(Selected)) {
      const TGapLevels levels(Comb.n);
      for (uint64_t gaps = levels.At[0] & selectedGaps_; gaps; gaps &= gaps - 1) {
        const int g = std::countr_zero(gaps);
        if ((selected_[g] >> levels.TimesOf(g)) & 1) return true;
      }
      return false;
    }
    const TSameGaps s(Comb.n);
    for (int i = 0; i < s.Count; ++i)
      if (HasKey(Selected, s.Gap[i], s.Times[i], 0, 0)) return true;
    return false;
  }
  std::string ValueToText(const TStatDraw& v) const override {
    return Format("%0:d x %1:d", {static_cast<int>(v.Key.Part(1)), static_cast<int>(v.Key.Part(2))});
  }

 private:
  uint8_t selected_[kMaxGap + 1] = {};  // per gap: bit m when (gap, m) is selected
  uint64_t selectedGaps_ = 0;           // the gaps with a selected multiplicity
  TPreparedFor prepared_;
};

// KDS2..KDS4: windows of K consecutive gaps (d(k), ..., d(k+K-1)), "4:11:2"; a draw tracks periods on
// its first window only.
template <int K>
class TstCombDiffSeq final : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  static constexpr int kWindows = kGaps - K + 1;
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    int d[kGaps];
    GapsOf(CurDraw.Nums, d);
    for (int w = 0; w < kWindows; ++w) MergeKey(List, WindowKey(d, w), w == 0);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    int d[kGaps];
    GapsOf(Comb.n, d);
    for (int w = 0; w < kWindows; ++w) MergeKey(List, WindowKey(d, w), false);
  }
  void PrepareTest(const TStatDrawArray& Selected) override {
    TCustomStat::PrepareTest(Selected);
    tuples_.Build(K, kMaxGap + 1);
    for (const auto& v : Selected) {
      int c[4];
      bool ok = true;
      for (int j = 0; j < 4 && ok; ++j) {
        c[j] = v.Key.Part(j + 1);
        ok = j < K ? c[j] >= 0 && c[j] <= kMaxGap : c[j] == 0;
      }
      if (ok) tuples_.Add(c);
    }
    prepared_.Set(Selected);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    int d[kGaps];
    GapsOf(Comb.n, d);
    if (prepared_.For(Selected)) {
      for (int w = 0; w < kWindows; ++w) {
        int64_t index = d[w];
        int l = 1;
        while (l < K && tuples_.Has(l, index)) index = index * (kMaxGap + 1) + d[w + l++];
        if (l == K && tuples_.Has(K, index)) return true;
      }
      return false;
    }
    for (int w = 0; w < kWindows; ++w)
      if (IndexOfKey(Selected, WindowKey(d, w)) >= 0) return true;
    return false;
  }
  std::string ValueToText(const TStatDraw& v) const override {
    std::string text;
    for (int j = 1; j <= K; ++j) text += (j > 1 ? ":" : "") + std::to_string(v.Key.Part(j));
    return text;
  }

 private:
  static TStatKey WindowKey(const int* d, int w) {
    int parts[4] = {0, 0, 0, 0};
    for (int j = 0; j < K; ++j) parts[j] = d[w + j];
    return MakeKey(parts[0], parts[1], parts[2], parts[3]);
  }
  TTupleSet tuples_;
  TPreparedFor prepared_;
};

}  // namespace

std::unique_ptr<TCustomStat> NewTstDiffTotal(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TstDiffTotal>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstDiffMax(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TDiffNumberStat<LargestGap, 1, kMaxGap>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstMinMaxDiffs(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TDiffNumberStat<Spread, 1, kMaxGap>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstDiffSame(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TstDiffSame>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstDiffSameCnt(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TDiffNumberStat<MostRepeatedGap, 1, kGaps>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstCombDiffSeq2(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TstCombDiffSeq<2>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstCombDiffSeq3(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TstCombDiffSeq<3>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstCombDiffSeq4(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TstCombDiffSeq<4>>(c, l, p);
}

}  // namespace quintar
