// Matrix statistics (group 4): the numbers 1..35 laid out row by row in a grid of MatrixCols columns; a
// draw is described by the columns and rows its numbers occupy, by which of them are occupied at all
// (a bit pattern) and by numbers that touch vertically or horizontally.
#include <bit>

#include "stats/families/partition.h"
#include "stats/statfactories.h"
#include "stats/statlist.h"
#include "util/format.h"

namespace quintar {

namespace {

// Columns beyond 35 would hold no number: the layout keeps at most 35.
int MatrixColsOf(const TStatList& list) { return std::clamp(list.Config.MatrixCols, 1, MAX_NUMBER); }

// The column and row counts, copied from the catalogue when the object is made.
template <class Base>
class TMatrixBase : public Base {
 public:
  TMatrixBase(const TStatClassInfo& cls, const TStatList& list, int32_t param)
      : Base(cls, list, param), Cols(MatrixColsOf(list)), Rows(CeilDiv(MAX_NUMBER, Cols)) {}
  const int Cols, Rows;
};
using TCustomMatrixStat = TMatrixBase<TCustomNumbersStat>;
using TCustomMatrixGraphStat = TMatrixBase<TCustomGraphStat>;

// A class over the columns (OverRows false) or the rows of the catalogue's matrix.
template <class T, bool OverRows>
std::unique_ptr<TCustomStat> MakeMatrix(const TStatClassInfo& cls, const TStatList& list, int32_t param) {
  const int cols = MatrixColsOf(list);
  return std::make_unique<T>(cls, list, param, OverRows ? RowPartition(cols) : ColumnPartition(cols));
}

// Groups of the member's partition and how many numbers one of them can hold.
template <class Stat>
int GroupsOf(const Stat& s, bool overRows) { return overRows ? s.Rows : s.Cols; }
template <class Stat>
int CapacityOf(const Stat& s, bool overRows) { return overRows ? s.Cols : s.Rows; }

// COLS, ROWS: the column or row of each number.
template <bool OverRows>
class TstColumns final : public TGroupOfNumberKind<TCustomMatrixStat> {
 public:
  using TGroupOfNumberKind::TGroupOfNumberKind;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int g = 1; g <= GroupsOf(*this, OverRows); ++g) ListKey(List, MakeKey(g));
  }
};

// COLV, ROWV: (column or row, how many numbers it holds) for every column or row, "3 x 2".
template <bool OverRows>
class TstColValues final : public TGroupCountKind<TCustomMatrixStat> {
 public:
  using TGroupCountKind::TGroupCountKind;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int g = 1; g <= GroupsOf(*this, OverRows); ++g)
      for (int m = 0; m <= std::min(CapacityOf(*this, OverRows), NUMS_IN_DRAW); ++m) ListKey(List, MakeKey(g, m));
  }
  std::string ValueToText(const TStatDraw& v) const override {
    return Format("%0:d x %1:d", {static_cast<int>(v.Key.Part(1)), static_cast<int>(v.Key.Part(2))});
  }
};

// COLN, ROWN: how many columns or rows hold a number.
template <bool OverRows>
class TstColCount final : public TOccupiedGroupsKind<TCustomMatrixGraphStat> {
 public:
  using TOccupiedGroupsKind::TOccupiedGroupsKind;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int v = 1; v <= std::min(GroupsOf(*this, OverRows), NUMS_IN_DRAW); ++v) ListKey(List, MakeKey(v));
  }
};

// COL%d, ROW%d: how many numbers lie in column or row Param; the list holds 1..capacity.
template <bool OverRows>
class TstColValCnt final : public TCountInGroupKind<TCustomMatrixGraphStat> {
 public:
  using TCountInGroupKind::TCountInGroupKind;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int v = 1; v <= CapacityOf(*this, OverRows); ++v) ListKey(List, MakeKey(v));
  }
};

// COLM, ROWM: which columns or rows hold a number, as a mask with group 1 as the most significant of
// its bits; shown as "10110 (022)". The key holds the mask as a 32-bit value; the 33 to 35 columns of the
// widest matrices (and the 35 rows of a one-column matrix) take the second 32-bit part for the bits above.
template <bool OverRows>
class TstColMask final : public TPartitionKind<TCustomMatrixStat> {
 public:
  using TPartitionKind::TPartitionKind;
  uint64_t MaskOf(const uint8_t* nums) const {
    uint64_t occupied = 0;
    for (int i = 0; i < NUMS_IN_DRAW; ++i) {
      const int g = P.GroupOf(nums[i]);
      if (g >= 1 && g <= P.Count) occupied |= uint64_t{1} << (P.Count - g);
    }
    return occupied;
  }
  static TStatKey KeyOf(uint64_t mask) {
    return MakeKey32(static_cast<int32_t>(static_cast<uint32_t>(mask)), static_cast<int32_t>(mask >> 32));
  }
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    MergeKey(List, KeyOf(MaskOf(CurDraw.Nums)), true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    MergeKey(List, KeyOf(MaskOf(Comb.n)), false);
  }
  void PrepareTest(const TStatDrawArray& Selected) override {
    TCustomStat::PrepareTest(Selected);
    masks_.Build(Selected);
    prepared_.Set(Selected);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    const uint64_t mask = MaskOf(Comb.n);
    if (P.Count > 32) return IndexOfKey(Selected, KeyOf(mask)) >= 0;
    const int32_t m = static_cast<int32_t>(static_cast<uint32_t>(mask));
    if (mask < 512) return SelPart32(Selected, m);
    return prepared_.For(Selected) ? masks_.Has(m) : HasKeyPart32(Selected, 1, m);
  }
  std::string ValueToText(const TStatDraw& v) const override {
    const uint64_t mask = static_cast<uint32_t>(v.Key.Part32(1)) | (uint64_t{static_cast<uint32_t>(v.Key.Part32(2))} << 32);
    std::string text;
    for (int bit = 0; bit < P.Count; ++bit) text = ((mask >> bit) & 1 ? "1" : "0") + text;
    return Format("%s (%.3d)", {text, static_cast<int64_t>(mask)});
  }
  // The first groups-many characters: "1" a set bit, anything else (or nothing) a clear one.
  int32_t TextToKey(std::string_view text) const override {
    uint64_t mask = 0;
    for (int i = 0; i < P.Count; ++i) mask = mask * 2 + (i < static_cast<int>(text.size()) && text[static_cast<size_t>(i)] == '1' ? 1 : 0);
    return static_cast<int32_t>(static_cast<uint32_t>(mask));
  }

 private:
  TPart32Set masks_;
};

// Adjacent numbers: in one column with rows differing by 1 (n and n + cols), or in one row with columns
// differing by 1 (n and n + 1 without a row break).
template <bool OverRows>
bool Adjacent(int a, int b, int cols) {
  const int d = a > b ? a - b : b - a;
  if (OverRows) return d == 1 && RowOf(a, cols) == RowOf(b, cols);
  return d == cols;
}

// The lower numbers of the adjacent pairs of a row of numbers given as bits.
template <bool OverRows>
uint64_t AdjacentLows(uint64_t bits, int cols, uint64_t rowEnds) {
  if (OverRows) return bits & (bits >> 1) & ~rowEnds;
  return bits & (bits >> cols);
}

// The numbers that end a row of the matrix (no number to their right in the same row).
uint64_t RowEnds(int cols) {
  uint64_t b = 0;
  for (int n = 1; n <= MAX_NUMBER; ++n)
    if (ColumnOf(n, cols) == cols) b |= NumberBit(n);
  return b | NumberBit(MAX_NUMBER);
}

// COLA, ROWA: for every column or row holding adjacent numbers, (group, adjacent pairs + 1), in the
// order of the first adjacent pair found in each, "1 x 3".
template <bool OverRows>
class TstColAjacent final : public TPartitionKind<TCustomMatrixStat> {
 public:
  TstColAjacent(const TStatClassInfo& cls, const TStatList& list, int32_t param, const TPartition& p)
      : TPartitionKind(cls, list, param, p), rowEnds_(RowEnds(Cols)) {}
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    Merge(CurDraw.Nums, List, true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    Merge(Comb.n, List, false);
  }
  void PrepareTest(const TStatDrawArray& Selected) override {
    TCustomStat::PrepareTest(Selected);
    for (auto& m : selected_) m = 0;
    for (const auto& v : Selected) {
      const int g = v.Key.Part(1), c = v.Key.Part(2);
      if (P.IsGroup(g) && c >= 2 && c <= NUMS_IN_DRAW) selected_[g] |= static_cast<uint8_t>(1u << c);
    }
    prepared_.Set(Selected);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    if (prepared_.For(Selected)) {
      uint64_t lows = AdjacentLows<OverRows>(NumberBits(Comb.n), Cols, rowEnds_);
      while (lows) {
        const int g = P.Of[std::countr_zero(lows)];
        const int pairs = std::popcount(lows & P.Members[g]);
        if ((selected_[g] >> (pairs + 1)) & 1) return true;
        lows &= ~P.Members[g];
      }
      return false;
    }
    int count = 0;
    TStatSimple pairs[21];
    Pairs(Comb.n, pairs, count);
    for (int k = 0; k < count; ++k)
      if (HasKeyPart32(Selected, 1, MakeKey(pairs[k].Key, pairs[k].Count + 1).Part32(1))) return true;
    return false;
  }
  std::string ValueToText(const TStatDraw& v) const override {
    return Format("%0:d x %1:d", {static_cast<int>(v.Key.Part(1)), static_cast<int>(v.Key.Part(2))});
  }

 private:
  // The groups with adjacent pairs and their pair counts, as AddSimple gathers them over the pairs i < j.
  void Pairs(const uint8_t* nums, TStatSimple* out, int& count) const {
    count = 0;
    for (int i = 0; i < NUMS_IN_DRAW; ++i)
      for (int j = i + 1; j < NUMS_IN_DRAW; ++j) {
        if (!Adjacent<OverRows>(nums[i], nums[j], Cols)) continue;
        const int g = P.GroupOf(nums[i]);
        int k = 0;
        while (k < count && out[k].Key != g) ++k;
        if (k == count) out[count++] = {g, 1};
        else ++out[k].Count;
      }
  }
  void Merge(const uint8_t* nums, TStatDrawArray& List, bool track) {
    int count = 0;
    TStatSimple pairs[21];
    Pairs(nums, pairs, count);
    for (int k = 0; k < count; ++k) MergeKey(List, MakeKey(pairs[k].Key, pairs[k].Count + 1), track);
  }
  uint64_t rowEnds_;
  uint8_t selected_[MAX_NUMBER + 1] = {};  // per group: bit c when (group, c) is selected
};

// COLC, ROWC: how many columns or rows hold adjacent numbers (graph).
template <bool OverRows>
class TstColAjacentCnt final : public TPartitionKind<TCustomMatrixGraphStat> {
 public:
  TstColAjacentCnt(const TStatClassInfo& cls, const TStatList& list, int32_t param, const TPartition& p)
      : TPartitionKind(cls, list, param, p), rowEnds_(RowEnds(Cols)) {}
  int CountOf(const uint8_t* nums) const {
    uint64_t lows = AdjacentLows<OverRows>(NumberBits(nums), Cols, rowEnds_), groups = 0;
    for (; lows; lows &= lows - 1) groups |= uint64_t{1} << P.Of[std::countr_zero(lows)];
    return std::popcount(groups);
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
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    return SelPart1(Selected, CountOf(Comb.n));
  }
  int32_t CombNumber(const TComb& Comb, int, int, bool) override { return CountOf(Comb.n); }

 private:
  uint64_t rowEnds_;
};

// KFM2..KFM4, KRM2..KRM4 and KFS2..KFS4, KRS2..KRS4: columns or rows of k numbers, "1:3:3".
template <int K>
using TstCombColMix = TGroupMixKind<TCustomMatrixStat, K>;
template <int K>
using TstCombColSeq = TGroupSequenceKind<TCustomMatrixStat, K>;

}  // namespace

#define QUINTAR_MATRIX_FACTORY(name, cls, rows)                                                   \
  std::unique_ptr<TCustomStat> New##name(const TStatClassInfo& c, const TStatList& l, int32_t p) { \
    return MakeMatrix<cls, rows>(c, l, p);                                                      \
  }
QUINTAR_MATRIX_FACTORY(TstColumns, TstColumns<false>, false)
QUINTAR_MATRIX_FACTORY(TstRows, TstColumns<true>, true)
QUINTAR_MATRIX_FACTORY(TstColValues, TstColValues<false>, false)
QUINTAR_MATRIX_FACTORY(TstRowValues, TstColValues<true>, true)
QUINTAR_MATRIX_FACTORY(TstColCount, TstColCount<false>, false)
QUINTAR_MATRIX_FACTORY(TstRowCount, TstColCount<true>, true)
QUINTAR_MATRIX_FACTORY(TstColMask, TstColMask<false>, false)
QUINTAR_MATRIX_FACTORY(TstRowMask, TstColMask<true>, true)
QUINTAR_MATRIX_FACTORY(TstColAjacent, TstColAjacent<false>, false)
QUINTAR_MATRIX_FACTORY(TstRowAjacent, TstColAjacent<true>, true)
QUINTAR_MATRIX_FACTORY(TstColAjacentCnt, TstColAjacentCnt<false>, false)
QUINTAR_MATRIX_FACTORY(TstRowAjacentCnt, TstColAjacentCnt<true>, true)
QUINTAR_MATRIX_FACTORY(TstCombColMix2, TstCombColMix<2>, false)
QUINTAR_MATRIX_FACTORY(TstCombColMix3, TstCombColMix<3>, false)
QUINTAR_MATRIX_FACTORY(TstCombColMix4, TstCombColMix<4>, false)
QUINTAR_MATRIX_FACTORY(TstCombColSeq2, TstCombColSeq<2>, false)
QUINTAR_MATRIX_FACTORY(TstCombColSeq3, TstCombColSeq<3>, false)
QUINTAR_MATRIX_FACTORY(TstCombColSeq4, TstCombColSeq<4>, false)
QUINTAR_MATRIX_FACTORY(TstCombRowMix2, TstCombColMix<2>, true)
QUINTAR_MATRIX_FACTORY(TstCombRowMix3, TstCombColMix<3>, true)
QUINTAR_MATRIX_FACTORY(TstCombRowMix4, TstCombColMix<4>, true)
QUINTAR_MATRIX_FACTORY(TstCombRowSeq2, TstCombColSeq<2>, true)
QUINTAR_MATRIX_FACTORY(TstCombRowSeq3, TstCombColSeq<3>, true)
QUINTAR_MATRIX_FACTORY(TstCombRowSeq4, TstCombColSeq<4>, true)
QUINTAR_MATRIX_FACTORY(TstColValCnt, TstColValCnt<false>, false)
QUINTAR_MATRIX_FACTORY(TstRowValCnt, TstColValCnt<true>, true)
#undef QUINTAR_MATRIX_FACTORY

}  // namespace quintar
