// Shredding statistics (group 12): SHR1..SHR3 evaluate the catalogue's formulas 1..3 over the numbers of
// a draw (n) and of the two draws before it (p, t) and keep the chosen count of decimal digits of the
// result. The value can reach 99,999 with 5 digits, so it is kept as the key's first 32-bit part.
#include "stats/customstat.h"
#include "stats/shredding.h"
#include "stats/statfactories.h"
#include "stats/statlist.h"
#include "stats/tupleset.h"
#include "util/strutil.h"

namespace quintar {

namespace {

const uint8_t kNoNumbers[NUMS_IN_DRAW] = {};

class TstShreddingStat final : public TCustomGraphStat {
 public:
  TstShreddingStat(const TStatClassInfo& cls, const TStatList& list, int32_t param)
      : TCustomGraphStat(cls, list, param), Digits(list.FormulaDigitsOf(param)), Formula(list.FormulaOf(param)),
        formula_(Formula) {
    formula_.Memoise(Digits);
  }

  const int32_t Digits;
  const std::string Formula;

  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    const TDraw p = GetDraw(DrawIndex - 1, Sorted), t = GetDraw(DrawIndex - 2, Sorted);
    MergeKey(List, MakeKey32(formula_.Shred(CurDraw.Nums, p.Nums, t.Nums, Digits)), true);
  }
  // A combination stands alone: the draws before it are all zero.
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    MergeKey(List, MakeKey32(formula_.Shred(Comb.n, kNoNumbers, kNoNumbers, Digits)), false);
  }
  // A combination of draw DrawIndex follows draws DrawIndex - 1 and DrawIndex - 2.
  int32_t CombNumber(const TComb& Comb, int DrawIndex, int, bool Sorted) override {
    const TDraw p = GetDraw(DrawIndex - 1, Sorted), t = GetDraw(DrawIndex - 2, Sorted);
    return formula_.Shred(Comb.n, p.Nums, t.Nums, Digits);
  }
  // A filtered combination follows the newest draw of the window, L, and the draw before it.
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int LastIndex, bool Sorted, bool) override {
    if (!loaded_ || LastIndex != refIndex_ || Sorted != refSorted_) {
      refP_ = GetDraw(LastIndex, Sorted);
      refT_ = GetDraw(LastIndex - 1, Sorted);
      refIndex_ = LastIndex;
      refSorted_ = Sorted;
      loaded_ = true;
    }
    const int32_t v = formula_.Shred(Comb.n, refP_.Nums, refT_.Nums, Digits);
    return prepared_.For(Selected) ? values_.Has(v) : HasKeyPart32(Selected, 1, v);
  }
  void PrepareTest(const TStatDrawArray& Selected) override {
    TCustomStat::PrepareTest(Selected);
    values_.Build(Selected);
    prepared_.Set(Selected);
  }
  // A filter run starts here: the draws TestComb compares with are read again.
  void LoadDraws(int DrawIndex, int PrevIndex, bool Sorted) override {
    TCustomStat::LoadDraws(DrawIndex, PrevIndex, Sorted);
    loaded_ = false;
  }
  std::string ValueToText(const TStatDraw& v) const override { return IntToStr(v.Key.Part32(1)); }

 private:
  TShreddingFormula formula_;
  TPart32Set values_;
  TPreparedFor prepared_;
  bool loaded_ = false;  // the draws TestComb compares with, for refIndex_ and refSorted_
  int refIndex_ = 0;
  bool refSorted_ = false;
  TDraw refP_ = ZeroDraw(), refT_ = ZeroDraw();
};

}  // namespace

std::unique_ptr<TCustomStat> NewTstShreddingStat(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TstShreddingStat>(c, l, p);
}

}  // namespace quintar
