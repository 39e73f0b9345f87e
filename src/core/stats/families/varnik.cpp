// Characteristic number statistics (group 11): the seven numbers, in the order the row is read, are
// replaced by the six absolute differences of neighbours, then five, and so on until a pair (a, b) is
// left. VNK1 gives d = |b - a|; VNK2 gives a + b when d < 2, else d. VNK3, a filter-only statistic of the
// reference draw L, takes a + b when d = 0, the two results 1 and a + b when d = 1, else d, and offers the
// number f it gives with its multiples below f² (or f³ while f² < 35) down to 2f as candidates for the
// draw after L; in a table that ends before the newest draw the count of each candidate says whether it
// came true in draw L + 1.
#include <cstdlib>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "stats/customstat.h"
#include "stats/statfactories.h"
#include "stats/statlist.h"
#include "stats/tupleset.h"
#include "util/format.h"

namespace quintar {

namespace {

// The characteristic number of a row of seven numbers in mode 0 (VNK1) or 1 (VNK2), as ReduceDiffs gives
// it, without allocating: the filters ask it of every combination. The rows of differences are reduced
// as bytes of one register at a time (numbers and their differences lie in 0..35).
int CharacteristicNumber(const uint8_t* n, int mode) {
  int a, b;
#if defined(__SSE2__)
  uint64_t row = 0;
  std::memcpy(&row, n, NUMS_IN_DRAW);
  __m128i v = _mm_cvtsi64_si128(static_cast<long long>(row));
  for (int len = NUMS_IN_DRAW; len > 2; --len) {
    const __m128i next = _mm_srli_epi64(v, 8);  // byte i + 1 under byte i
    v = _mm_or_si128(_mm_subs_epu8(v, next), _mm_subs_epu8(next, v));
  }
  const uint64_t pair = static_cast<uint64_t>(_mm_cvtsi128_si64(v));
  a = static_cast<int>(pair & 0xFF);
  b = static_cast<int>((pair >> 8) & 0xFF);
#else
  int r[NUMS_IN_DRAW];
  for (int i = 0; i < NUMS_IN_DRAW; ++i) r[i] = n[i];
  for (int len = NUMS_IN_DRAW; len > 2; --len)
    for (int i = 0; i + 1 < len; ++i) r[i] = std::abs(r[i + 1] - r[i]);
  a = r[0];
  b = r[1];
#endif
  const int d = std::abs(b - a);
  return mode == 1 && d < 2 ? a + b : d;
}

// VNK1, VNK2: the characteristic number as a graph value.
class TCustomVarnikGraphStat : public TCustomGraphStat {
 public:
  TCustomVarnikGraphStat(const TStatClassInfo& cls, const TStatList& list, int32_t param, int mode)
      : TCustomGraphStat(cls, list, param), mode_(mode) {}
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    MergeKey(List, MakeKey(CharacteristicNumber(CurDraw.Nums, mode_)), true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    MergeKey(List, MakeKey(CharacteristicNumber(Comb.n, mode_)), false);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    return SelPart1(Selected, CharacteristicNumber(Comb.n, mode_));
  }
  int32_t CombNumber(const TComb& Comb, int, int, bool) override { return CharacteristicNumber(Comb.n, mode_); }

 private:
  const int mode_;
};

class TstVarnik1 final : public TCustomVarnikGraphStat {
 public:
  TstVarnik1(const TStatClassInfo& cls, const TStatList& list, int32_t param) : TCustomVarnikGraphStat(cls, list, param, 0) {}
};

class TstVarnik2 final : public TCustomVarnikGraphStat {
 public:
  TstVarnik2(const TStatClassInfo& cls, const TStatList& list, int32_t param) : TCustomVarnikGraphStat(cls, list, param, 1) {}
};

// VNK3: values only at the reference draw L: its characteristic number f in mode 2, keyed (a + b, 1, 0, 2)
// when the final difference was 1, then the candidates g = f² (f³ while f² < 35) - f, - 2f, ... above f
// that lie in 1..35. Each is merged without periods, with the count 1 when it is a number of draw L + 1.
// A combination matches when one of its numbers is the first key part of a selected value.
class TstVarnik3 final : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    if (CurDraw.Number != PrevDraw.Number || !NumberBits(CurDraw.Nums)) return;
    TByteArray r;
    ReduceDiffs(CurDraw.Nums, NUMS_IN_DRAW, 2, r);
    const uint64_t next = NumberBits(GetDraw(LastIndex + 1, false).Nums);
    auto merge = [&](const TStatKey& key) {
      Value.Count = static_cast<int32_t>((next & NumberBit(key.Part(1))) != 0);
      MergeKey(List, key, false);
    };
    const int f = r.size() == 2 ? r[1] : r[0];
    merge(r.size() == 2 ? MakeKey(f, r[0], 0, 2) : MakeKey(f));
    const int64_t square = static_cast<int64_t>(f) * f;
    for (int64_t g = square >= MAX_NUMBER ? square : square * f; g > f; g -= f)
      if (g >= 1 && g <= MAX_NUMBER) merge(MakeKey(static_cast<int>(g)));
  }
  void PrepareTest(const TStatDrawArray& Selected) override {
    TCustomStat::PrepareTest(Selected);
    keys_.Build(Selected);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    return keys_.AnyOf(Selected, Comb.n);
  }
  // "9", or "9 (1)" for a final difference of 1.
  std::string ValueToText(const TStatDraw& v) const override {
    std::string text = std::to_string(v.Key.Part(1));
    if (v.Key.Part(4) == 2) text += " (" + std::to_string(v.Key.Part(2)) + ")";
    return text;
  }

 private:
  TNumberKeys keys_;
};

}  // namespace

std::unique_ptr<TCustomStat> NewTstVarnik1(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TstVarnik1>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstVarnik2(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TstVarnik2>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstVarnik3(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TstVarnik3>(c, l, p);
}

}  // namespace quintar
