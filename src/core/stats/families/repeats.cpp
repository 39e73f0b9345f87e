// Repeat statistics (group 7): numbers that come back from one draw to a later one. Draw i is compared
// with the draw G draws before it (G = 1..4), whose numbers may be moved by S = -2..+2 on the ring 1..35
// (35 + 1 = 1, 1 - 1 = 35), or with the two draws before it. The value statistics give the repeating
// numbers that belong to the reference draw L (moved by S), the count statistics how many numbers repeat.
// L is the newest draw of the table's window; a filter judges a combination as the draw after L. A draw
// outside the archive has no numbers: nothing repeats from it.
#include <bit>
#include <climits>

#include "stats/customstat.h"
#include "stats/statfactories.h"
#include "stats/statlist.h"
#include "stats/tupleset.h"

namespace quintar {

namespace {

bool IsNumber(int n) { return n >= 1 && n <= MAX_NUMBER; }

// The numbers of a draw moved by s, position by position; 0 where the draw has no number.
void ShiftedNumbers(const TDraw& d, int s, uint8_t out[NUMS_IN_DRAW]) {
  for (int k = 0; k < NUMS_IN_DRAW; ++k)
    out[k] = static_cast<uint8_t>(IsNumber(d.Nums[k]) ? ShiftNumber(d.Nums[k], s) : 0);
}

// A lookup of TestComb made from the reference draw once per reference index; LoadDraws forgets it.
template <class T>
class TReference {
 public:
  template <class Load>
  const T& Get(int L, Load load) {
    if (L != index_) {
      value_ = load();
      index_ = L;
    }
    return value_;
  }
  void Forget() { index_ = INT_MIN; }

 private:
  int index_ = INT_MIN;
  T value_{};
};

// The value statistics: the repeating numbers. A combination matches when one of its numbers is selected.
class TRepValuesBase : public TCustomValuesStat {
 public:
  using TCustomValuesStat::TCustomValuesStat;
  void PrepareTest(const TStatDrawArray& Selected) override {
    TCustomStat::PrepareTest(Selected);
    keys_.Build(Selected);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    return keys_.AnyOf(Selected, Comb.n);
  }

 protected:
  // The candidates: the numbers of draw L in drawn order, moved by s.
  void ListReference(int LastIndex, TStatDrawArray& List, int s) {
    TCustomStat::ListValues(LastIndex, List);
    uint8_t x[NUMS_IN_DRAW];
    ShiftedNumbers(GetDraw(LastIndex, false), s, x);
    for (uint8_t n : x)
      if (n) ListKey(List, MakeKey(n));
  }

 private:
  TNumberKeys keys_;
};

// The count statistics: one count 0..7 a draw; the table lists 1..7.
class TRepCountBase : public TCustomNumbersStat {
 public:
  using TCustomNumbersStat::TCustomNumbersStat;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int c = 1; c <= NUMS_IN_DRAW; ++c) ListKey(List, MakeKey(c));
  }
};

// Two draws, G apart, the earlier one's numbers moved by S: the numbers y of draw i - G (in the order
// the draw is read) that belong to draw L and whose moved number x is a number of draw i give x.
template <int S, int G>
class TCustomRepValues2Stat final : public TRepValuesBase {
 public:
  using TRepValuesBase::TRepValuesBase;
  static constexpr int RepeatShift() { return S; }
  static constexpr int RepeatGap() { return G; }
  void ListValues(int LastIndex, TStatDrawArray& List) override { ListReference(LastIndex, List, S); }
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    const TDraw earlier = GetDraw(DrawIndex - G, Sorted);
    const uint64_t latest = NumberBits(PrevDraw.Nums), drawn = NumberBits(CurDraw.Nums);
    for (uint8_t y : earlier.Nums) {
      if (!(NumberBit(y) & latest)) continue;
      const int x = ShiftNumber(y, S);
      if (NumberBit(x) & drawn) MergeKey(List, MakeKey(x), true);
    }
  }
};

// How many numbers y of draw i - G have their moved number in draw i. A combination, judged as draw
// L + 1, is compared with draw L + 1 - G (draw L itself for G = 1).
template <int S, int G>
class TCustomRepCount2Stat final : public TRepCountBase {
 public:
  using TRepCountBase::TRepCountBase;
  static constexpr int RepeatShift() { return S; }
  static constexpr int RepeatGap() { return G; }
  void LoadDraws(int DrawIndex, int PrevIndex, bool Sorted) override {
    TCustomStat::LoadDraws(DrawIndex, PrevIndex, Sorted);
    earlier_.Forget();
  }
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    MergeKey(List, MakeKey(Count(GetDraw(DrawIndex - G, Sorted), NumberBits(CurDraw.Nums))), true);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int LastIndex, bool, bool) override {
    const TMoved& moved = earlier_.Get(LastIndex, [&] {
      TMoved m;
      ShiftedNumbers(GetDraw(LastIndex + 1 - G, false), S, m.n);
      return m;
    });
    const uint64_t c = NumberBits(Comb.n);
    int count = 0;
    for (uint8_t x : moved.n) count += static_cast<int>((c >> x) & 1);  // a missing number is 0: no bit
    return SelPart1(Selected, count);
  }

 private:
  struct TMoved {
    uint8_t n[NUMS_IN_DRAW];
  };
  static int Count(const TDraw& earlier, uint64_t drawn) {
    uint8_t x[NUMS_IN_DRAW];
    ShiftedNumbers(earlier, S, x);
    int count = 0;
    for (uint8_t n : x) count += static_cast<int>((drawn >> n) & 1);
    return count;
  }
  TReference<TMoved> earlier_;
};

// Whether a number of draw i takes part: it is in draw i - 1 and, for a run of exactly two draws, not in
// draw i - 2, else also in draw i - 2.
template <bool ExactlyTwo>
uint64_t Runs(uint64_t before1, uint64_t before2) {
  return ExactlyTwo ? before1 & ~before2 : before1 & before2;
}

// RPV3, PRL2: the numbers x of draw i, in the order the draw is read, that belong to draw L and repeat
// in draws i - 1 and i - 2 (RPV3), or in draw i - 1 but not i - 2 (PRL2).
template <bool ExactlyTwo>
class TRepValues3Stat final : public TRepValuesBase {
 public:
  using TRepValuesBase::TRepValuesBase;
  void ListValues(int LastIndex, TStatDrawArray& List) override { ListReference(LastIndex, List, 0); }
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    const uint64_t wanted = NumberBits(PrevDraw.Nums) & Runs<ExactlyTwo>(NumberBits(GetDraw(DrawIndex - 1, false).Nums),
                                                                          NumberBits(GetDraw(DrawIndex - 2, false).Nums));
    for (uint8_t x : CurDraw.Nums)
      if (NumberBit(x) & wanted) MergeKey(List, MakeKey(x), true);
  }
};

// RPC3, PRB2: how many numbers of draw i repeat in draws i - 1 and i - 2 (RPC3), or in draw i - 1 but
// not i - 2 (PRB2). A combination is judged as draw L + 1: against draws L and L - 1.
template <bool ExactlyTwo>
class TRepCount3Stat final : public TRepCountBase {
 public:
  using TRepCountBase::TRepCountBase;
  void LoadDraws(int DrawIndex, int PrevIndex, bool Sorted) override {
    TCustomStat::LoadDraws(DrawIndex, PrevIndex, Sorted);
    wanted_.Forget();
  }
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    const uint64_t wanted = Wanted(DrawIndex);
    int count = 0;
    for (uint8_t x : CurDraw.Nums) count += (NumberBit(x) & wanted) ? 1 : 0;
    MergeKey(List, MakeKey(count), true);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int LastIndex, bool, bool) override {
    const uint64_t wanted = wanted_.Get(LastIndex, [&] { return Wanted(LastIndex + 1); });
    return SelPart1(Selected, std::popcount(NumberBits(Comb.n) & wanted));
  }

 private:
  // The numbers that count for draw i.
  uint64_t Wanted(int i) const {
    return Runs<ExactlyTwo>(NumberBits(GetDraw(i - 1, false).Nums), NumberBits(GetDraw(i - 2, false).Nums));
  }
  TReference<uint64_t> wanted_;
};

// The members, in catalogue order.
using TstRepValues2 = TCustomRepValues2Stat<0, 1>;
using TstRepValues3 = TRepValues3Stat<false>;
using TstRepValues2B3 = TRepValues3Stat<true>;
using TstRepValues2over1 = TCustomRepValues2Stat<0, 2>;
using TstRepValues2over2 = TCustomRepValues2Stat<0, 3>;
using TstRepValues2over3 = TCustomRepValues2Stat<0, 4>;
using TstRepValues2P1 = TCustomRepValues2Stat<1, 1>;
using TstRepValues2N1 = TCustomRepValues2Stat<-1, 1>;
using TstRepValues2P2 = TCustomRepValues2Stat<2, 1>;
using TstRepValues2N2 = TCustomRepValues2Stat<-2, 1>;
using TstRepCount2 = TCustomRepCount2Stat<0, 1>;
using TstRepCount3 = TRepCount3Stat<false>;
using TstRepCount2B3 = TRepCount3Stat<true>;
using TstRepCount2over1 = TCustomRepCount2Stat<0, 2>;
using TstRepCount2over2 = TCustomRepCount2Stat<0, 3>;
using TstRepCount2over3 = TCustomRepCount2Stat<0, 4>;
using TstRepCount2P1 = TCustomRepCount2Stat<1, 1>;
using TstRepCount2N1 = TCustomRepCount2Stat<-1, 1>;
using TstRepCount2P2 = TCustomRepCount2Stat<2, 1>;
using TstRepCount2N2 = TCustomRepCount2Stat<-2, 1>;

}  // namespace

#define QUINTAR_REPEATS_FACTORY(name)                                                              \
  std::unique_ptr<TCustomStat> New##name(const TStatClassInfo& c, const TStatList& l, int32_t p) { \
    return std::make_unique<name>(c, l, p);                                                        \
  }
QUINTAR_REPEATS_FACTORY(TstRepValues2)
QUINTAR_REPEATS_FACTORY(TstRepValues3)
QUINTAR_REPEATS_FACTORY(TstRepValues2B3)
QUINTAR_REPEATS_FACTORY(TstRepValues2over1)
QUINTAR_REPEATS_FACTORY(TstRepValues2over2)
QUINTAR_REPEATS_FACTORY(TstRepValues2over3)
QUINTAR_REPEATS_FACTORY(TstRepValues2P1)
QUINTAR_REPEATS_FACTORY(TstRepValues2N1)
QUINTAR_REPEATS_FACTORY(TstRepValues2P2)
QUINTAR_REPEATS_FACTORY(TstRepValues2N2)
QUINTAR_REPEATS_FACTORY(TstRepCount2)
QUINTAR_REPEATS_FACTORY(TstRepCount3)
QUINTAR_REPEATS_FACTORY(TstRepCount2B3)
QUINTAR_REPEATS_FACTORY(TstRepCount2over1)
QUINTAR_REPEATS_FACTORY(TstRepCount2over2)
QUINTAR_REPEATS_FACTORY(TstRepCount2over3)
QUINTAR_REPEATS_FACTORY(TstRepCount2P1)
QUINTAR_REPEATS_FACTORY(TstRepCount2N1)
QUINTAR_REPEATS_FACTORY(TstRepCount2P2)
QUINTAR_REPEATS_FACTORY(TstRepCount2N2)
#undef QUINTAR_REPEATS_FACTORY

}  // namespace quintar
