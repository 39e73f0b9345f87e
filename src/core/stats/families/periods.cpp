// Period statistics (group 9): how many draws pass between two occurrences of a number, a channel or a
// segment (the item). A value is (item, period), the period a difference of draw numbers; the run's list
// of last values remembers the newest draw of every item. A filter on selected periods keeps the
// combinations whose items would come back after exactly the selected gap, taking the combination as the
// draw after the window's newest (the delete filter removes those that would not).
#include <algorithm>

#include "stats/families/partition.h"
#include "stats/statfactories.h"
#include "stats/statlist.h"
#include "util/format.h"

namespace quintar {

namespace {

enum class TItemText { Plain, TwoDigits };

class TCustomPeriodsStat : public TCustomStat {
 public:
  TCustomPeriodsStat(const TStatClassInfo& cls, const TStatList& list, int32_t param, const TPartition& items,
                     TItemText text)
      : TCustomStat(cls, list, param), items_(items), text_(text) {}

  int ItemOf(int n) const { return items_.GroupOf(n); }

  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    TStatDraw seen;
    seen.LastDraw = CurDraw.Number;
    for (int k = 0; k < NUMS_IN_DRAW; ++k) {
      const int t = ItemOf(CurDraw.Nums[k]);
      if (t == 0) continue;  // a draw without numbers
      seen.Key = MakeKey(t);
      // The second number of one channel or segment in a draw finds period 0 and adds nothing.
      const int32_t period = UpdateLastValue(LastValues, seen);
      if (period > 0) MergeKey(List, MakeKey(t, period), true);
    }
  }

  // The next draw that shows the period V again. The search keeps its last values from draw to draw and
  // begins at the draw before FromIndex, V's own occurrence of the item, so the item's periods after it
  // are those the table would count.
  int32_t FindNextDraw(const TStatDraw& V, int FromIndex, int LastIndex, bool Sorted) override {
    const int newest = Draws ? static_cast<int>(Draws->size()) - 1 : -1;
    if (FromIndex > newest) return -1;
    if (FromIndex < 0) FromIndex = 0;
    TStatContext context;
    TLastValueArray lastValues;
    TStatDrawArray list;
    for (int i = std::max(FromIndex - 1, 0); i <= newest; ++i) {
      list.clear();
      DrawValues(i, LastIndex, Sorted, list, context, lastValues);
      if (i < FromIndex) continue;
      const int k = IndexOfKey(list, V.Key);
      if (k >= 0) return list[static_cast<size_t>(k)].LastDraw;
    }
    return -1;
  }

  void PrepareTest(const TStatDrawArray& Selected) override {
    TCustomStat::PrepareTest(Selected);
    prepared_.Set(Selected);
    masksFor_ = kNoIndex;
  }
  // For every selected (item, P) of a number's item: did the item occur in draw L - P + 1, the draw
  // P - 1 before the newest? Keeping, a record matches when it did; deleting, when it did not.
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int LastIndex, bool, bool DeleteFlag) override {
    if (prepared_.For(Selected)) {
      if (masksFor_ != LastIndex) BuildMasks(Selected, LastIndex);
      return (NumberBits(Comb.n) & masks_[DeleteFlag ? 1 : 0]) != 0;
    }
    for (int k = 0; k < NUMS_IN_DRAW; ++k)
      if (Matches(ItemOf(Comb[k]), Selected, LastIndex, DeleteFlag)) return true;
    return false;
  }

  // "9 x 4", "07 x 3" for channels.
  std::string ValueToText(const TStatDraw& v) const override {
    const int item = v.Key.Part(1), period = v.Key.Part(2);
    return text_ == TItemText::TwoDigits ? Format("%.2d x %d", {item, period}) : Format("%d x %d", {item, period});
  }

 private:
  static constexpr int kNoIndex = -2147483647 - 1;

  bool Matches(int t, const TStatDrawArray& Selected, int LastIndex, bool DeleteFlag) const {
    for (const auto& v : Selected) {
      if (v.Key.Part(1) != t) continue;
      const TDraw d = GetDraw(LastIndex - v.Key.Part(2) + 1, false);  // outside the archive: no numbers
      bool occurred = false;
      for (int k = 0; k < NUMS_IN_DRAW && !occurred; ++k) occurred = d.Nums[k] != 0 && ItemOf(d.Nums[k]) == t;
      if (occurred != DeleteFlag) return true;
    }
    return false;
  }
  // The numbers whose item matches some record, keeping and deleting, for the window ending at LastIndex.
  void BuildMasks(const TStatDrawArray& Selected, int LastIndex) {
    masks_[0] = masks_[1] = 0;
    for (int n = 1; n <= MAX_NUMBER; ++n) {
      if (Matches(ItemOf(n), Selected, LastIndex, false)) masks_[0] |= NumberBit(n);
      if (Matches(ItemOf(n), Selected, LastIndex, true)) masks_[1] |= NumberBit(n);
    }
    masksFor_ = LastIndex;
  }

  TPartition items_;
  TItemText text_;
  TPreparedFor prepared_;
  int masksFor_ = kNoIndex;  // the LastIndex the masks were built for
  uint64_t masks_[2] = {};   // [0] keeping, [1] deleting
};

int ChannelSizeOf(const TStatList& list) { return list.Config.ChannelSize >= 1 ? list.Config.ChannelSize : 1; }

}  // namespace

std::unique_ptr<TCustomStat> NewTstNumPeriods(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TCustomPeriodsStat>(c, l, p, NumberPartition(), TItemText::Plain);
}
std::unique_ptr<TCustomStat> NewTstChnPeriods(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TCustomPeriodsStat>(c, l, p, ChannelPartition(ChannelSizeOf(l)), TItemText::TwoDigits);
}
std::unique_ptr<TCustomStat> NewTstSgmPeriods(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TCustomPeriodsStat>(c, l, p, SegmentPartition(l.Config.MatrixSegments), TItemText::Plain);
}

}  // namespace quintar
