// Channel statistics (group 3): where the seven numbers fall when 1..35 is cut into channels of
// ChannelSize consecutive numbers (channel 1 = 1..s, channel 2 = s+1..2s, ...).
#include "stats/families/partition.h"
#include "stats/statfactories.h"
#include "stats/statlist.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

namespace {

int ChannelSizeOf(const TStatList& list) { return list.Config.ChannelSize >= 1 ? list.Config.ChannelSize : 1; }

// "02 [6-10]": the channel with its first and last number; the last is not clipped at 35.
std::string ChannelText(int c, int size) {
  return Format("%.2d [%s-%s]", {c, IntToStr(static_cast<int64_t>(size) * (c - 1) + 1), IntToStr(static_cast<int64_t>(size) * c)});
}

// The channel size, copied from the catalogue when the object is made.
template <class Base>
class TChannelsBase : public Base {
 public:
  TChannelsBase(const TStatClassInfo& cls, const TStatList& list, int32_t param)
      : Base(cls, list, param), ChannelSize(ChannelSizeOf(list)) {}
  const int ChannelSize;
};
using TCustomChannelsStat = TChannelsBase<TCustomNumbersStat>;
using TCustomChannelsGraphStat = TChannelsBase<TCustomGraphStat>;

// Makes a channel class over the partition of the catalogue's channel size.
template <class T>
std::unique_ptr<TCustomStat> MakeChannels(const TStatClassInfo& cls, const TStatList& list, int32_t param) {
  return std::make_unique<T>(cls, list, param, ChannelPartition(ChannelSizeOf(list)));
}

// CHAN: the channel of each number.
class TstChannels final : public TGroupOfNumberKind<TCustomChannelsStat> {
 public:
  using TGroupOfNumberKind::TGroupOfNumberKind;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int n = 1; n <= MAX_NUMBER; ++n) ListKey(List, MakeKey(P.Of[n]));
  }
  std::string ValueToText(const TStatDraw& v) const override { return ChannelText(v.Key.Part(1), ChannelSize); }
  // The first word: "02 [6-10]" gives 2.
  int32_t TextToKey(std::string_view text) const override {
    auto words = SplitAny(Trim(text), " ", true);
    return words.empty() ? 0 : StrToIntDef(words[0], 0);
  }
};

// CHNV: (channel, how many numbers it holds) for every channel.
class TstChanValues final : public TGroupCountKind<TCustomChannelsStat> {
 public:
  using TGroupCountKind::TGroupCountKind;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int k = 0; k < P.Count; ++k)
      for (int m = 0; m <= std::min(ChannelSize, NUMS_IN_DRAW); ++m) ListKey(List, MakeKey(P.Order[k], m));
  }
  std::string ValueToText(const TStatDraw& v) const override {
    return Format("%0:s x %1:d", {ChannelText(v.Key.Part(1), ChannelSize), static_cast<int>(v.Key.Part(2))});
  }
};

// CHNC: how many channels the numbers fall into. The list holds 1..min(s, 7): bounded by the channel
// size, not by the channel count.
class TstChanCount final : public TOccupiedGroupsKind<TCustomChannelsGraphStat> {
 public:
  using TOccupiedGroupsKind::TOccupiedGroupsKind;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int v = 1; v <= std::min(ChannelSize, NUMS_IN_DRAW); ++v) ListKey(List, MakeKey(v));
  }
};

// KCM2..KCM4, KCS2..KCS4: channels of k numbers, "1:1:4".
template <int K>
using TstCombChnMix = TGroupMixKind<TCustomChannelsStat, K>;
template <int K>
using TstCombChnSeq = TGroupSequenceKind<TCustomChannelsStat, K>;

// CHN%d: how many numbers lie in channel Param; the list holds 1..s.
class TstChnValCnt final : public TCountInGroupKind<TCustomChannelsGraphStat> {
 public:
  using TCountInGroupKind::TCountInGroupKind;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int v = 1; v <= ChannelSize; ++v) ListKey(List, MakeKey(v));
  }
};

}  // namespace

std::unique_ptr<TCustomStat> NewTstChannels(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return MakeChannels<TstChannels>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstChanValues(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return MakeChannels<TstChanValues>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstChanCount(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return MakeChannels<TstChanCount>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstCombChnMix2(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return MakeChannels<TstCombChnMix<2>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstCombChnMix3(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return MakeChannels<TstCombChnMix<3>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstCombChnMix4(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return MakeChannels<TstCombChnMix<4>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstCombChnSeq2(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return MakeChannels<TstCombChnSeq<2>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstCombChnSeq3(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return MakeChannels<TstCombChnSeq<3>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstCombChnSeq4(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return MakeChannels<TstCombChnSeq<4>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstChnValCnt(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return MakeChannels<TstChnValCnt>(c, l, p);
}

}  // namespace quintar
