// Group and pause statistics (group 8): for a number, a channel or a segment (an item), a group is a run
// of consecutive draws that show the item and a pause a run that do not. A value is (item, run length);
// only items of the latest draw of the window are recorded, so the table tells how long the runs of the
// items the next draw may repeat have been.
//
// The run of every item lives in the run's Context (one record per item: length, number and depth of the
// run's last draw), which the caller zeroes before the first draw: a run that began before the window
// counts only its draws inside it.
#include "stats/families/partition.h"
#include "stats/statfactories.h"
#include "stats/statlist.h"
#include "util/format.h"

namespace quintar {

namespace {

// A record of the run table.
struct TSeriesRun {
  int32_t& RunLength;
  int32_t& RunLastDraw;
  int32_t& RunDepth;
  explicit TSeriesRun(int32_t (&r)[3]) : RunLength(r[0]), RunLastDraw(r[1]), RunDepth(r[2]) {}
};

enum class TItemText { Plain, TwoDigits };

class TCustomSerialStat : public TCustomStat {
 public:
  TCustomSerialStat(const TStatClassInfo& cls, const TStatList& list, int32_t param, const TPartition& items,
                    int firstItem, int lastItem, uint8_t seriesMode, TItemText text)
      : TCustomStat(cls, list, param),
        SeriesMode(seriesMode),
        // The run table has a record for the items 1..35 only.
        FirstItem(std::max(firstItem, 1)),
        LastItem(std::min(lastItem, MAX_NUMBER)),
        items_(items),
        text_(text) {}

  const uint8_t SeriesMode;  // 1: groups (runs of presence), 0: pauses (runs of absence)
  const int32_t FirstItem, LastItem;

  int ItemOf(int n) const { return items_.GroupOf(n); }
  // The items of a draw as bits (bit t for item t).
  uint64_t ItemsOf(const TDraw& d) const {
    uint64_t b = 0;
    for (int k = 0; k < NUMS_IN_DRAW; ++k) b |= uint64_t{1} << ItemOf(d.Nums[k]);
    return b & ~uint64_t{1};  // a draw without numbers has no item 0
  }

  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    const uint64_t present = ItemsOf(CurDraw), reference = ItemsOf(PrevDraw);
    for (int t = FirstItem; t <= LastItem; ++t) {
      TSeriesRun r(Context.Items[t - 1]);
      const bool inReference = (reference >> t) & 1;
      if ((((present >> t) & 1) != 0) == (SeriesMode == 1)) {
        ++r.RunLength;
        r.RunLastDraw = CurDraw.Number;
        r.RunDepth = LastIndex - DrawIndex + 1;
        if (DrawIndex == LastIndex && inReference) Record(List, t, r);
      } else {
        if (r.RunLength > 0 && inReference) Record(List, t, r);
        r.RunLength = r.RunLastDraw = r.RunDepth = 0;
      }
    }
  }

  void PrepareTest(const TStatDrawArray& Selected) override {
    TCustomStat::PrepareTest(Selected);
    numbers_ = 0;
    for (int n = 1; n <= MAX_NUMBER; ++n)
      if (HasKeyPart(Selected, 1, ItemOf(n))) numbers_ |= NumberBit(n);
    prepared_.Set(Selected);
  }
  // True when the item of one of the numbers is selected.
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    if (prepared_.For(Selected)) return (NumberBits(Comb.n) & numbers_) != 0;
    for (int k = 0; k < NUMS_IN_DRAW; ++k)
      if (HasKeyPart(Selected, 1, ItemOf(Comb[k]))) return true;
    return false;
  }

  // "17 x 3", "04 x 2" for channels.
  std::string ValueToText(const TStatDraw& v) const override {
    const int item = v.Key.Part(1), length = v.Key.Part(2);
    return text_ == TItemText::TwoDigits ? Format("%.2d x %d", {item, length}) : Format("%d x %d", {item, length});
  }

 private:
  void Record(TStatDrawArray& List, int t, const TSeriesRun& r) {
    Value.Depth = r.RunDepth;
    Value.LastDraw = r.RunLastDraw;
    Value.SeenDraw = r.RunLastDraw;
    MergeKey(List, MakeKey(t, r.RunLength), true);
  }

  TPartition items_;
  TItemText text_;
  TPreparedFor prepared_;
  uint64_t numbers_ = 0;  // the numbers whose item is selected
};

int ChannelSizeOf(const TStatList& list) { return list.Config.ChannelSize >= 1 ? list.Config.ChannelSize : 1; }

template <uint8_t Mode>
std::unique_ptr<TCustomStat> MakeNumbers(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TCustomSerialStat>(c, l, p, NumberPartition(), 1, MAX_NUMBER, Mode, TItemText::Plain);
}
template <uint8_t Mode>
std::unique_ptr<TCustomStat> MakeChannels(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  const int size = ChannelSizeOf(l);
  return std::make_unique<TCustomSerialStat>(c, l, p, ChannelPartition(size), 1, CeilDiv(MAX_NUMBER, size), Mode,
                                             TItemText::TwoDigits);
}
template <uint8_t Mode>
std::unique_ptr<TCustomStat> MakeSegments(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  const auto [lo, hi] = SegmentRange(l.Config.MatrixSegments);
  return std::make_unique<TCustomSerialStat>(c, l, p, SegmentPartition(l.Config.MatrixSegments), lo, hi, Mode,
                                             TItemText::Plain);
}

}  // namespace

std::unique_ptr<TCustomStat> NewTstNumGroups(const TStatClassInfo& c, const TStatList& l, int32_t p) { return MakeNumbers<1>(c, l, p); }
std::unique_ptr<TCustomStat> NewTstNumPauses(const TStatClassInfo& c, const TStatList& l, int32_t p) { return MakeNumbers<0>(c, l, p); }
std::unique_ptr<TCustomStat> NewTstChnGroups(const TStatClassInfo& c, const TStatList& l, int32_t p) { return MakeChannels<1>(c, l, p); }
std::unique_ptr<TCustomStat> NewTstChnPauses(const TStatClassInfo& c, const TStatList& l, int32_t p) { return MakeChannels<0>(c, l, p); }
std::unique_ptr<TCustomStat> NewTstSgmGroups(const TStatClassInfo& c, const TStatList& l, int32_t p) { return MakeSegments<1>(c, l, p); }
std::unique_ptr<TCustomStat> NewTstSgmPauses(const TStatClassInfo& c, const TStatList& l, int32_t p) { return MakeSegments<0>(c, l, p); }

}  // namespace quintar
