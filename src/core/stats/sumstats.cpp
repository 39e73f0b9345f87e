// Sum statistics (group 1): the sum of the seven numbers, of the even or prime ones, three central sum
// ranges, sums of two numbers equal to a third, and how the sum changed after past draws whose sum was
// like the newest draw's.
#include <bit>
#include <climits>

#include "stats/customstat.h"
#include "stats/statfactories.h"
#include "stats/statlist.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

namespace {

int Sign(int v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// A plain sum of the numbers, one value per draw: SUMS, SUME, SUMP.
template <int (*SumFn)(const uint8_t*), bool PreList>
class TPlainSumStat final : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    if (PreList)
      for (int s = MinSum; s <= MaxSum; ++s) ListKey(List, MakeKey32(s));
  }
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    MergeKey(List, MakeKey32(SumFn(CurDraw.Nums)), true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    MergeKey(List, MakeKey32(SumFn(Comb.n)), false);
  }
  void FilterBlock(const TComb* in, size_t n, TComb* out, const TStatDrawArray& Selected, int, bool,
                   bool DeleteFlag, size_t& kept) override {
    FilterByValue<256>(in, n, out, DeleteFlag, kept, [](const TComb& c) { return SumFn(c.n); },
                       [&](int v) { return SelPair(Selected, v, 0); });
  }
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    return SelPair(Selected, SumFn(Comb.n), 0);
  }
  int32_t CombNumber(const TComb& Comb, int, int, bool) override { return SumFn(Comb.n); }
};

int SumAll(const uint8_t* n) { return SumOf(n); }
int SumEven(const uint8_t* n) {
  int s = 0;
  for (int i = 0; i < NUMS_IN_DRAW; ++i)
    if (IsEven(n[i])) s += n[i];
  return s;
}
int SumPrime(const uint8_t* n) {
  int s = 0;
  for (int i = 0; i < NUMS_IN_DRAW; ++i)
    if (IsPrime(n[i])) s += n[i];
  return s;
}

// The three central sum ranges (inclusive) and the arguments of their names.
struct TSumRange {
  int Lo, Hi;
  int NameArgs[3];
};
const TSumRange kSumRanges[3] = {{89, 163, {1, 1, 3}}, {97, 155, {2, 1, 2}}, {104, 148, {3, 2, 3}}};

const TSumRange* SumRangeOf(int param) { return param >= 1 && param <= 3 ? &kSumRanges[param - 1] : nullptr; }

// SUM%d: 1 when the sum lies in the range of Param, else 0 ("Остальные").
class TstSumRanges final : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    ListKey(List, MakeKey32(0));
    ListKey(List, MakeKey32(1));
  }
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    MergeKey(List, MakeKey32(Inside(SumOf(CurDraw.Nums))), true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    MergeKey(List, MakeKey32(Inside(SumOf(Comb.n))), false);
  }
  // With the range selected a combination matches when its sum is inside, with only "Остальные"
  // selected when it is outside; a selection holding neither matches nothing.
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    const int inside = Inside(SumOf(Comb.n));
    if (SelPart32(Selected, 1)) return inside == 1;
    if (SelPart32(Selected, 0)) return inside == 0;
    return false;
  }
  int32_t CombNumber(const TComb& Comb, int, int, bool) override { return Inside(SumOf(Comb.n)); }
  std::string ValueToText(const TStatDraw& v) const override {
    const int32_t k = v.Key.Part32(1);
    const TSumRange* r = SumRangeOf(Param);
    if (k == 1 && r) return Format("%d-%d", {r->Lo, r->Hi});
    if (k == 0) return "Остальные";
    return IntToStr(k);
  }

 private:
  int Inside(int sum) const {
    const TSumRange* r = SumRangeOf(Param);
    return r && sum >= r->Lo && sum <= r->Hi ? 1 : 0;
  }
};

// SUMC: for draws that followed a draw with exactly the newest draw's sum, (that sum, the next sum).
class TstSumChange final : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    const int prev = SumOf(GetDraw(DrawIndex - 1, false).Nums);
    if (prev == SumOf(PrevDraw.Nums)) MergeKey(List, MakeKey32(prev, SumOf(CurDraw.Nums)), true);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    return HasKeyPart32(Selected, 2, SumOf(Comb.n));
  }
  int32_t CombNumber(const TComb& Comb, int DrawIndex, int, bool) override {
    return SumOf(Comb.n) - SumOf(GetDraw(DrawIndex - 1, false).Nums);
  }
  std::string ValueToText(const TStatDraw& v) const override {
    const int a = v.Key.Part32(1), b = v.Key.Part32(2);
    if (b < a) return Format("- %0:.2d : %1:d - %0:d = %2:d", {a - b, a, b});
    return Format("+%0:.2d : %1:d + %0:d = %2:d", {b - a, a, b});
  }
};

// Loads draw L for TestComb once per reference index and keeps its sum.
class TReferenceSum {
 public:
  template <class Load>
  int Get(int L, Load load) {
    if (L != index_) {
      sum_ = load();
      index_ = L;
    }
    return sum_;
  }

 private:
  int index_ = INT_MIN;
  int sum_ = 0;
};

// SUMV: the change of the sum after draws whose sum lay within SumStep of the newest draw's sum.
class TstSumChangeSome final : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    const int prev = SumOf(GetDraw(DrawIndex - 1, false).Nums);
    const int last = SumOf(PrevDraw.Nums);
    if (prev - SumStep <= last && last <= prev + SumStep)
      MergeKey(List, MakeKey32(SumOf(CurDraw.Nums) - prev), true);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int LastIndex, bool Sorted, bool) override {
    const int last = ref_.Get(LastIndex, [&] {
      LoadDraws(LastIndex, LastIndex, Sorted);
      return SumOf(CurDraw.Nums);
    });
    return SelPart32(Selected, SumOf(Comb.n) - last);
  }
  std::string ValueToText(const TStatDraw& v) const override {
    const int d = v.Key.Part32(1);
    return d >= 0 ? Format("+%0:.2d", {d}) : Format("- %0:.2d", {-d});
  }

 private:
  TReferenceSum ref_;
};

// SUMT: the direction of the change after draws with exactly the newest draw's sum.
class TstSumTrend final : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int k : {0, 1, -1}) ListKey(List, MakeKey32(k));
  }
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    const int prev = SumOf(GetDraw(DrawIndex - 1, false).Nums);
    if (prev == SumOf(PrevDraw.Nums)) MergeKey(List, MakeKey32(Sign(SumOf(CurDraw.Nums) - prev)), true);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int LastIndex, bool Sorted, bool) override {
    const int last = ref_.Get(LastIndex, [&] {
      PrevDraw = GetDraw(LastIndex, Sorted);
      return SumOf(PrevDraw.Nums);
    });
    return SelPart32(Selected, Sign(SumOf(Comb.n) - last));
  }
  int32_t CombNumber(const TComb& Comb, int DrawIndex, int, bool) override {
    return Sign(SumOf(Comb.n) - SumOf(GetDraw(DrawIndex - 1, false).Nums));
  }
  std::string ValueToText(const TStatDraw& v) const override {
    const int k = v.Key.Part32(1);
    return k == 0 ? "=" : (k > 0 ? "+" : "-");
  }

 private:
  TReferenceSum ref_;
};

// S2T3: how many triples of positions x and y < z (all different) have n[y] + n[z] = n[x].
int SumTriples(const uint8_t* n) {
  uint64_t present = 0;
  for (int i = 0; i < NUMS_IN_DRAW; ++i) present |= uint64_t{1} << (n[i] & 63);
  const bool distinct = std::popcount(present) == NUMS_IN_DRAW && !(present & 1);
  int count = 0;
  if (distinct) {
    // Seven distinct numbers 1..35: a sum of two of them is larger than both, so it can only stand at a
    // third position, and at most one.
    bool valid = true;
    for (int i = 0; i < NUMS_IN_DRAW; ++i) valid = valid && n[i] <= MAX_NUMBER;
    if (valid) {
      for (int y = 0; y < NUMS_IN_DRAW; ++y)
        for (int z = y + 1; z < NUMS_IN_DRAW; ++z) {
          const int s = n[y] + n[z];
          count += s < 64 && ((present >> s) & 1) ? 1 : 0;
        }
      return count;
    }
  }
  for (int x = 0; x < NUMS_IN_DRAW; ++x)
    for (int y = 0; y < NUMS_IN_DRAW; ++y) {
      if (y == x) continue;
      for (int z = y + 1; z < NUMS_IN_DRAW; ++z)
        if (z != x && n[y] + n[z] == n[x]) ++count;
    }
  return count;
}

class TstSum2To3 final : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    MergeKey(List, MakeKey(SumTriples(CurDraw.Nums)), true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    MergeKey(List, MakeKey(SumTriples(Comb.n)), false);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    return SelPart1(Selected, SumTriples(Comb.n));
  }
  int32_t CombNumber(const TComb& Comb, int, int, bool) override { return SumTriples(Comb.n); }
};

template <class T>
std::unique_ptr<TCustomStat> Make(const TStatClassInfo& cls, const TStatList& list, int32_t param) {
  return std::make_unique<T>(cls, list, param);
}

}  // namespace

std::string SumRangeName(const TStatClassInfo& cls, int32_t param) {
  const TSumRange* r = SumRangeOf(param);
  if (!r) return Format(cls.GetName(), {param, 0, 0});
  return Format(cls.GetName(), {r->NameArgs[0], r->NameArgs[1], r->NameArgs[2]});
}

std::unique_ptr<TCustomStat> NewTstSumValues(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TPlainSumStat<SumAll, true>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstSumRanges(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TstSumRanges>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstSumChange(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TstSumChange>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstSumChangeSome(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TstSumChangeSome>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstSumTrend(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TstSumTrend>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstSumEvenValues(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TPlainSumStat<SumEven, false>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstSumPrimeValues(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TPlainSumStat<SumPrime, false>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstSum2To3(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TstSum2To3>(c, l, p);
}

}  // namespace quintar
