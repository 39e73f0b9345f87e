// Combination value statistics (group 0): groups of 2, 3 or 4 numbers of a draw taken as one value, the
// numbers themselves in position order ("5:17:30"): every choice of k positions (KNM), every run of k
// adjacent positions (KNS), the k positions from position N on (KNP), and the runs of k neighbours of the
// ascending order (KNO, complete but not offered). KNM and KNS are the mix and sequence kinds of the
// partition families over the partition in which every number is its own group. A combination by
// itself adds no values; the filter finds its sub-combinations in the selection through a bit table of
// the selected tuples prepared once per filter.
#include "stats/families/partition.h"
#include "stats/statfactories.h"
#include "stats/statlist.h"

namespace quintar {

namespace {

// The base of the members: values are the numbers of the key up to its first 0 part, joined by ":".
class TCustomCombValuesStat : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  std::string ValueToText(const TStatDraw& v) const override {
    int k = 0;
    while (k < 4 && v.Key.Part(k + 1) != 0) ++k;
    return KeyPartsText(v.Key, k);
  }
};

template <class T>
std::unique_ptr<TCustomStat> MakeCombValues(const TStatClassInfo& cls, const TStatList& list, int32_t param) {
  return std::make_unique<T>(cls, list, param, NumberPartition());
}

// KNM k, KNS k.
template <int K>
using TstCombValMix = TGroupMixKind<TCustomCombValuesStat, K>;
template <int K>
using TstCombValSeq = TGroupSequenceKind<TCustomCombValuesStat, K>;

// KNP k N: the one value of the numbers at positions N .. N + K - 1 (N = Param).
template <int K>
class TstCombValPos final : public TPartitionKind<TCustomCombValuesStat> {
 public:
  using TPartitionKind::TPartitionKind;
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    if (Valid()) MergeKey(List, KeyOf(CurDraw.Nums), true);
  }
  void PrepareTest(const TStatDrawArray& Selected) override {
    TCustomStat::PrepareTest(Selected);
    tuples_.Build(P, Selected);
    prepared_.Set(Selected);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    if (!Valid()) return false;
    if (prepared_.For(Selected)) {
      int64_t index = 0;
      bool numbers = true;
      for (int j = 0; j < K && numbers; ++j) {
        const int c = P.Index[P.GroupOf(Comb[Param - 1 + j])];
        numbers = c >= 0;
        index = index * tuples_.Set().Size() + c;
      }
      if (numbers) return tuples_.Set().Has(K, index);
    }
    return IndexOfKey(Selected, KeyOf(Comb.n)) >= 0;
  }
  std::string ValueToText(const TStatDraw& v) const override { return KeyPartsText(v.Key, K); }

 private:
  bool Valid() const { return Param >= 1 && Param + K - 1 <= NUMS_IN_DRAW; }
  TStatKey KeyOf(const uint8_t* n) const {
    int parts[4] = {0, 0, 0, 0};
    for (int j = 0; j < K; ++j) parts[j] = n[Param - 1 + j];
    return MakeKey(parts[0], parts[1], parts[2], parts[3]);
  }
  TGroupTuples<K> tuples_;
};

// KNO k: the runs of k adjacent numbers of the ascending order, whatever order the draw is read in.
template <int K>
class TstCombValSort final : public TGroupSequenceKind<TCustomCombValuesStat, K> {
 public:
  using Base = TGroupSequenceKind<TCustomCombValuesStat, K>;
  using Base::Base;
  void LoadDraws(int DrawIndex, int PrevIndex, bool) override { TCustomStat::LoadDraws(DrawIndex, PrevIndex, true); }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int LastIndex, bool Sorted, bool DeleteFlag) override {
    TComb sorted = Comb;
    SortComb(sorted);
    return Base::TestComb(sorted, Selected, LastIndex, Sorted, DeleteFlag);
  }
};

}  // namespace

#define QUINTAR_COMBVALUES_FACTORY(name, cls)                                                      \
  std::unique_ptr<TCustomStat> New##name(const TStatClassInfo& c, const TStatList& l, int32_t p) { \
    return MakeCombValues<cls>(c, l, p);                                                           \
  }
QUINTAR_COMBVALUES_FACTORY(TstCombValMix2, TstCombValMix<2>)
QUINTAR_COMBVALUES_FACTORY(TstCombValMix3, TstCombValMix<3>)
QUINTAR_COMBVALUES_FACTORY(TstCombValMix4, TstCombValMix<4>)
QUINTAR_COMBVALUES_FACTORY(TstCombValSeq2, TstCombValSeq<2>)
QUINTAR_COMBVALUES_FACTORY(TstCombValSeq3, TstCombValSeq<3>)
QUINTAR_COMBVALUES_FACTORY(TstCombValSeq4, TstCombValSeq<4>)
QUINTAR_COMBVALUES_FACTORY(TstCombValPos2, TstCombValPos<2>)
QUINTAR_COMBVALUES_FACTORY(TstCombValPos3, TstCombValPos<3>)
QUINTAR_COMBVALUES_FACTORY(TstCombValPos4, TstCombValPos<4>)
QUINTAR_COMBVALUES_FACTORY(TstCombValSort2, TstCombValSort<2>)
QUINTAR_COMBVALUES_FACTORY(TstCombValSort3, TstCombValSort<3>)
QUINTAR_COMBVALUES_FACTORY(TstCombValSort4, TstCombValSort<4>)
#undef QUINTAR_COMBVALUES_FACTORY

}  // namespace quintar
