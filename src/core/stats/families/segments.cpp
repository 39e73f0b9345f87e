// Segment statistics (group 5): the user's own division of 1..35 drawn on the matrix, every number given
// a segment digit 1..9 (MatrixSegments); numbers with the same digit form one segment.
#include <cstring>

#include "stats/families/partition.h"
#include "stats/statfactories.h"
#include "stats/statlist.h"
#include "util/format.h"

namespace quintar {

namespace {

// The segment table, copied from the catalogue when the object is made.
template <class Base>
class TSegmentsBase : public Base {
 public:
  TSegmentsBase(const TStatClassInfo& cls, const TStatList& list, int32_t param) : Base(cls, list, param) {
    std::memcpy(Segments, list.Config.MatrixSegments, sizeof Segments);
  }
  uint8_t Segments[MAX_NUMBER];
};
using TCustomSegmentsStat = TSegmentsBase<TCustomNumbersStat>;
using TCustomSegmentsGraphStat = TSegmentsBase<TCustomGraphStat>;

template <class T>
std::unique_ptr<TCustomStat> MakeSegments(const TStatClassInfo& cls, const TStatList& list, int32_t param) {
  return std::make_unique<T>(cls, list, param, SegmentPartition(list.Config.MatrixSegments));
}

// SGMS: the segment of each number; the list holds every segment of the table once, in the order the
// numbers 1..35 first give it.
class TstSegments final : public TGroupOfNumberKind<TCustomSegmentsStat> {
 public:
  using TGroupOfNumberKind::TGroupOfNumberKind;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int n = 1; n <= MAX_NUMBER; ++n) ListKey(List, MakeKey(P.Of[n]));
  }
};

// SGMV: (segment, how many numbers it holds) for every segment of the table, "4 x 2".
class TstSegmValues final : public TGroupCountKind<TCustomSegmentsStat> {
 public:
  using TGroupCountKind::TGroupCountKind;
  std::string ValueToText(const TStatDraw& v) const override {
    return Format("%0:d x %1:d", {static_cast<int>(v.Key.Part(1)), static_cast<int>(v.Key.Part(2))});
  }
};

// SGMC: how many segments hold a number. SGM%d: how many numbers lie in segment Param.
using TstSegmCount = TOccupiedGroupsKind<TCustomSegmentsGraphStat>;
using TstSgmValCnt = TCountInGroupKind<TCustomSegmentsGraphStat>;

// KGM2..KGM4, KGS2..KGS4: segments of k numbers, "1:2:2".
template <int K>
using TstCombSegmMix = TGroupMixKind<TCustomSegmentsStat, K>;
template <int K>
using TstCombSegmSeq = TGroupSequenceKind<TCustomSegmentsStat, K>;

}  // namespace

#define QUINTAR_SEGMENTS_FACTORY(name, cls)                                                       \
  std::unique_ptr<TCustomStat> New##name(const TStatClassInfo& c, const TStatList& l, int32_t p) { \
    return MakeSegments<cls>(c, l, p);                                                          \
  }
QUINTAR_SEGMENTS_FACTORY(TstSegments, TstSegments)
QUINTAR_SEGMENTS_FACTORY(TstSegmValues, TstSegmValues)
QUINTAR_SEGMENTS_FACTORY(TstSegmCount, TstSegmCount)
QUINTAR_SEGMENTS_FACTORY(TstCombSegmMix2, TstCombSegmMix<2>)
QUINTAR_SEGMENTS_FACTORY(TstCombSegmMix3, TstCombSegmMix<3>)
QUINTAR_SEGMENTS_FACTORY(TstCombSegmMix4, TstCombSegmMix<4>)
QUINTAR_SEGMENTS_FACTORY(TstCombSegmSeq2, TstCombSegmSeq<2>)
QUINTAR_SEGMENTS_FACTORY(TstCombSegmSeq3, TstCombSegmSeq<3>)
QUINTAR_SEGMENTS_FACTORY(TstCombSegmSeq4, TstCombSegmSeq<4>)
QUINTAR_SEGMENTS_FACTORY(TstSgmValCnt, TstSgmValCnt)
#undef QUINTAR_SEGMENTS_FACTORY

}  // namespace quintar
