// Number statistics (group 0): the numbers of a draw, their digits, how many are even, small or prime and
// where they stand, the number at a position and the bonus number.
#include "stats/customstat.h"
#include "stats/statfactories.h"
#include "stats/statlist.h"

namespace quintar {

namespace {

// NUMS: each of the 7 numbers.
class TstValues final : public TCustomValuesStat {
 public:
  using TCustomValuesStat::TCustomValuesStat;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int n = 1; n <= MAX_NUMBER; ++n) ListKey(List, MakeKey(n));
  }
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    for (int i = 0; i < NUMS_IN_DRAW; ++i) MergeKey(List, MakeKey(CurDraw.Nums[i]), true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    for (int i = 0; i < NUMS_IN_DRAW; ++i) MergeKey(List, MakeKey(Comb[i]), false);
  }
  void FilterBlock(const TComb* in, size_t n, TComb* out, const TStatDrawArray& Selected, int LastIndex, bool Sorted,
                   bool DeleteFlag, size_t& kept) override {
    uint64_t selected;
    if (!SelKey1Low(Selected, selected))
      return FilterBlockOf(*this, in, n, out, Selected, LastIndex, Sorted, DeleteFlag, kept);
    uint8_t table[256] = {};
    for (int v = 0; v < 64; ++v) table[v] = (selected >> v) & 1;
    FilterWith(in, n, out, DeleteFlag, kept, [&table](const TComb& c) {
      return (table[c[0]] | table[c[1]] | table[c[2]] | table[c[3]] | table[c[4]] | table[c[5]] | table[c[6]]) != 0;
    });
  }
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    uint64_t selected;
    if (SelKey1Low(Selected, selected)) {
      uint64_t comb = 0;
      for (int i = 0; i < NUMS_IN_DRAW; ++i) comb |= uint64_t{1} << Comb[i];
      return (comb & selected) != 0;
    }
    for (int i = 0; i < NUMS_IN_DRAW; ++i)
      if (SelKey1(Selected, Comb[i])) return true;
    return false;
  }
};

// DIGS: each decimal digit of each number as written (11 gives the digit 1 twice).
class TstDigits final : public TCustomNumbersStat {
 public:
  using TCustomNumbersStat::TCustomNumbersStat;
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    Merge(CurDraw.Nums, List, true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    Merge(Comb.n, List, false);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    for (int i = 0; i < NUMS_IN_DRAW; ++i) {
      const int n = Comb[i];
      if (n >= 10 && SelKey1(Selected, n / 10)) return true;
      if (SelKey1(Selected, n % 10)) return true;
    }
    return false;
  }

 private:
  void Merge(const uint8_t* nums, TStatDrawArray& List, bool track) {
    for (int i = 0; i < NUMS_IN_DRAW; ++i) {
      const int n = nums[i];
      if (n >= 10) MergeKey(List, MakeKey(n / 10), track);
      MergeKey(List, MakeKey(n % 10), track);
    }
  }
};

// Counts of numbers with a property: EVEN, SMAL, PRIM. Values 1..7 are pre-listed; 0 enters the list
// only when it occurs.
template <bool (*Has)(int)>
class TCountStat final : public TCustomRatioStat {
 public:
  using TCustomRatioStat::TCustomRatioStat;
  static int CountOf(const uint8_t* nums) {
    int c = 0;
    for (int i = 0; i < NUMS_IN_DRAW; ++i) c += Has(nums[i]) ? 1 : 0;
    return c;
  }
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int k = 1; k <= NUMS_IN_DRAW; ++k) ListKey(List, MakeKey(k));
  }
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    MergeKey(List, MakeKey(CountOf(CurDraw.Nums)), true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    MergeKey(List, MakeKey(CountOf(Comb.n)), false);
  }
  void FilterBlock(const TComb* in, size_t n, TComb* out, const TStatDrawArray& Selected, int, bool,
                   bool DeleteFlag, size_t& kept) override {
    FilterByValue<NUMS_IN_DRAW + 1>(in, n, out, DeleteFlag, kept, [](const TComb& c) { return CountOf(c.n); },
                                    [&](int v) { return SelPart1(Selected, v); });
  }
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    return SelPart1(Selected, CountOf(Comb.n));
  }
  int32_t CombNumber(const TComb& Comb, int, int, bool) override { return CountOf(Comb.n); }
};

bool EvenNumber(int n) { return IsEven(n); }
bool SmallNumber(int n) { return IsSmall(n); }
bool PrimeNumber(int n) { return IsPrime(n); }
bool OddNumber(int n) { return !IsEven(n); }
bool LargeNumber(int n) { return n >= 19; }

// Masks of numbers with a property in position order: EVNV (odd), SMLV (second half), PRMV (prime).
template <bool (*Has)(int)>
class TMaskStat : public TCustomMaskStat {
 public:
  TMaskStat(const TStatClassInfo& cls, const TStatList& list, int32_t param, const char* zero, const char* one)
      : TCustomMaskStat(cls, list, param), zero_(zero), one_(one) {}
  static int32_t MaskOf(const uint8_t* nums) {
    int32_t m = 0;
    for (int i = 0; i < NUMS_IN_DRAW; ++i) m = (m << 1) + (Has(nums[i]) ? 1 : 0);
    return m;
  }
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    MergeKey(List, MakeKey32(MaskOf(CurDraw.Nums)), true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    MergeKey(List, MakeKey32(MaskOf(Comb.n)), false);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    return SelPart32(Selected, MaskOf(Comb.n));
  }
  std::string ZeroChar() const override { return zero_; }
  std::string OneChar() const override { return one_; }

 private:
  const char* zero_;
  const char* one_;
};

// SMLV lists only the masks that occur: its ListValues does nothing at all.
class TstSmallValues final : public TMaskStat<LargeNumber> {
 public:
  TstSmallValues(const TStatClassInfo& cls, const TStatList& list, int32_t param)
      : TMaskStat(cls, list, param, "1", "2") {}
  void ListValues(int, TStatDrawArray&) override {}
};

// POS%d: the number at position Param.
class TstPosVal final : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int n = 1; n <= MAX_NUMBER; ++n) ListKey(List, MakeKey(n));
  }
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    MergeKey(List, MakeKey(At(CurDraw.Nums)), true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    MergeKey(List, MakeKey(At(Comb.n)), false);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    return SelPart1(Selected, At(Comb.n));
  }
  int32_t CombNumber(const TComb& Comb, int, int, bool) override { return At(Comb.n); }

 private:
  int At(const uint8_t* nums) const { return Param >= 1 && Param <= NUMS_IN_DRAW ? nums[Param - 1] : 0; }
};

// POE%d: the bonus number of a draw. A combination has no bonus, so it shows no value and the statistic
// never selects combinations.
class TstPosExt final : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    MergeKey(List, MakeKey(CurDraw.Bonus), true);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb&, const TStatDrawArray&, int, bool, bool) override { return false; }
  int32_t CombNumber(const TComb&, int DrawIndex, int LastIndex, bool Sorted) override {
    LoadDraws(DrawIndex, LastIndex, Sorted);
    return CurDraw.Bonus;
  }
};

template <class T, class... A>
std::unique_ptr<TCustomStat> Make(const TStatClassInfo& cls, const TStatList& list, int32_t param, A... a) {
  return std::make_unique<T>(cls, list, param, a...);
}

}  // namespace

std::unique_ptr<TCustomStat> NewTstValues(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TstValues>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstDigits(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TstDigits>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstEvenCount(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TCountStat<EvenNumber>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstEvenValues(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TMaskStat<OddNumber>>(c, l, p, "Ч", "н");
}
std::unique_ptr<TCustomStat> NewTstSmallCount(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TCountStat<SmallNumber>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstSmallValues(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TstSmallValues>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstPrimeCount(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TCountStat<PrimeNumber>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstPrimeValues(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TMaskStat<PrimeNumber>>(c, l, p, "С", "П");
}
std::unique_ptr<TCustomStat> NewTstPosVal(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TstPosVal>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstPosExt(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return Make<TstPosExt>(c, l, p);
}

}  // namespace quintar
