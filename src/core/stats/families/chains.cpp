// Chain statistics (group 10): transitions from one draw to the next of a number, a channel, a segment
// or a count, written from -> to (two draws) or first-second -> to (three draws). A transition is counted
// only when its starting part equals the matching part of the latest draw of the window (of the latest
// two for three draws), so the table shows what followed, in the past, the situation the latest draw left;
// the values to select are the possible continuations, and a filter keeps (or deletes) the combinations
// that contain a selected continuation.
//
// Notation: i is the draw evaluated, L the window's latest draw, P = draw i - 1, Q = draw i - 2,
// R = draw L - 1; f(x) is the number itself, its channel or its segment.
#include "stats/families/partition.h"
#include "stats/statfactories.h"
#include "stats/statlist.h"
#include "util/format.h"

namespace quintar {

namespace {

enum class TChainKind : uint8_t {
  All2,    // every qualifying number of P, followed by every number of i (position not considered)
  Pos2,    // position by position, two draws
  Pos3,    // position by position, three draws
  Count2,  // how many numbers lie in group N, two draws
  Count3,  // the same over three draws
  Inside,  // a number of P that is also one of L, followed by the numbers of i in its channel
};

enum class TChainText : uint8_t { Plain, TwoDigits };

struct TChainRule {
  TChainKind Kind;
  TChainText Text;
  bool OnePosition = false;  // the position Param only
  int InsideMode = 0;        // Inside: 0 all, 1 successful only, 2 failed only, 3 counts
};

int ChannelSizeOf(const TStatList& list) { return list.Config.ChannelSize >= 1 ? list.Config.ChannelSize : 1; }

class TCustomChainStat : public TCustomStat {
 public:
  TCustomChainStat(const TStatClassInfo& cls, const TStatList& list, int32_t param, const TPartition& f,
                   const TChainRule& rule, int countLimit)
      : TCustomStat(cls, list, param), F(f), rule_(rule), countLimit_(countLimit) {}

  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    if (rule_.Kind != TChainKind::Count2 && rule_.Kind != TChainKind::Count3) return;
    const int a = CountIn(GetDraw(LastIndex, false));
    // Channels list every count 0..channel size after the latest draw's; segments only 0.
    for (int m = 0; m <= countLimit_; ++m) {
      if (rule_.Kind == TChainKind::Count2)
        ListKey(List, MakeKey(a, m));
      else
        ListKey(List, MakeKey(CountIn(GetDraw(LastIndex - 1, false)), a, m));
    }
  }

  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    const TChainKind kind = rule_.Kind;
    const bool unsortedP = kind == TChainKind::Count2 || kind == TChainKind::Count3 || kind == TChainKind::Inside;
    const TDraw P = GetDraw(DrawIndex - 1, unsortedP ? false : Sorted);
    if (P.Number <= 0) return;
    const bool three = kind == TChainKind::Pos3 || kind == TChainKind::Count3;
    TDraw Q{}, R{};
    if (three) {
      Q = GetDraw(DrawIndex - 2, Sorted);
      if (Q.Number <= 0) return;
      R = GetDraw(LastIndex - 1, Sorted);
    }
    const TDraw& I = CurDraw;
    const TDraw& L = PrevDraw;
    auto f = [&](int x) { return F.GroupOf(x); };
    switch (kind) {
      case TChainKind::All2: {
        uint64_t latest = 0;
        for (int k = 0; k < NUMS_IN_DRAW; ++k) latest |= uint64_t{1} << f(L.Nums[k]);
        for (int p = 0; p < NUMS_IN_DRAW; ++p) {
          const int from = f(P.Nums[p]);
          if (from == 0 || !((latest >> from) & 1)) continue;
          for (int q = 0; q < NUMS_IN_DRAW; ++q) MergeKey(List, MakeKey(from, f(I.Nums[q])), true);
        }
        break;
      }
      case TChainKind::Pos2:
        for (int p = FirstPosition(); p <= LastPosition(); ++p)
          if (f(P.Nums[p]) == f(L.Nums[p])) MergeKey(List, MakeKey(f(P.Nums[p]), f(I.Nums[p])), true);
        break;
      case TChainKind::Pos3:
        for (int p = FirstPosition(); p <= LastPosition(); ++p)
          if (f(P.Nums[p]) == f(L.Nums[p]) && f(Q.Nums[p]) == f(R.Nums[p]))
            MergeKey(List, MakeKey(f(Q.Nums[p]), f(P.Nums[p]), f(I.Nums[p])), true);
        break;
      case TChainKind::Count2:
        if (CountIn(P) == CountIn(L)) MergeKey(List, MakeKey(CountIn(P), CountIn(I)), true);
        break;
      case TChainKind::Count3:
        if (CountIn(P) == CountIn(L) && CountIn(Q) == CountIn(R))
          MergeKey(List, MakeKey(CountIn(Q), CountIn(P), CountIn(I)), true);
        break;
      case TChainKind::Inside:
        Inside(P, List);
        break;
    }
  }

  void PrepareTest(const TStatDrawArray& Selected) override {
    TCustomStat::PrepareTest(Selected);
    numbers_ = 0;
    counts_ = 0;
    insideFor_ = kNoIndex;
    const int part = TargetPart();
    for (const auto& v : Selected) {
      const int target = v.Key.Part(part);
      if (rule_.Kind == TChainKind::Count2 || rule_.Kind == TChainKind::Count3) {
        if (target >= 0 && target <= NUMS_IN_DRAW) counts_ |= 1u << target;
      } else if (rule_.Kind != TChainKind::Inside) {
        for (int n = 1; n <= MAX_NUMBER; ++n)
          if (F.GroupOf(n) == target) numbers_ |= NumberBit(n);
      }
    }
    prepared_.Set(Selected);
  }

  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int LastIndex, bool, bool) override {
    const bool prepared = prepared_.For(Selected);
    switch (rule_.Kind) {
      case TChainKind::Count2:
      case TChainKind::Count3: {
        const int c = CountIn(Comb.n);
        return prepared ? ((counts_ >> c) & 1) != 0 : HasKeyPart(Selected, TargetPart(), c);
      }
      case TChainKind::Inside:
        if (prepared) {
          if (insideFor_ != LastIndex) {
            numbers_ = InsideNumbers(Selected, LastIndex);
            insideFor_ = LastIndex;
          }
          return (NumberBits(Comb.n) & numbers_) != 0;
        }
        return InsideMatches(Comb, Selected, LastIndex);
      default:
        if (prepared) return (NumberBits(Comb.n) & numbers_) != 0;
        for (int k = 0; k < NUMS_IN_DRAW; ++k)
          if (HasKeyPart(Selected, TargetPart(), F.GroupOf(Comb[k]))) return true;
        return false;
    }
  }

  std::string ValueToText(const TStatDraw& v) const override {
    const int a = v.Key.Part(1), b = v.Key.Part(2), c = v.Key.Part(3);
    const bool three = rule_.Kind == TChainKind::Pos3 || rule_.Kind == TChainKind::Count3;
    if (rule_.Text == TChainText::TwoDigits)
      return three ? Format("%.2d-%.2d -> %.2d", {a, b, c}) : Format("%.2d -> %.2d", {a, b});
    return three ? Format("%d-%d -> %d", {a, b, c}) : Format("%d -> %d", {a, b});
  }

 private:
  static constexpr int kNoIndex = -2147483647 - 1;

  // Positions 0..6 of the numbers walked; one position N = Param for the indexed members.
  int FirstPosition() const { return rule_.OnePosition ? std::clamp(Param, 1, NUMS_IN_DRAW) - 1 : 0; }
  int LastPosition() const { return rule_.OnePosition ? std::clamp(Param, 1, NUMS_IN_DRAW) - 1 : NUMS_IN_DRAW - 1; }
  // The key part that holds the continuation.
  int TargetPart() const {
    return rule_.Kind == TChainKind::Pos3 || rule_.Kind == TChainKind::Count3 ? 3 : 2;
  }
  // How many of the numbers lie in group N = Param.
  int CountIn(const uint8_t* nums) const {
    int c = 0;
    for (int k = 0; k < NUMS_IN_DRAW; ++k) c += nums[k] != 0 && F.GroupOf(nums[k]) == Param ? 1 : 0;
    return c;
  }
  int CountIn(const TDraw& d) const { return CountIn(d.Nums); }

  // Every number x of P (drawn order) that the latest draw shows too: x -> y for the numbers y of draw i
  // in x's channel, x -> 0 when there is none, or x -> how many there are.
  void Inside(const TDraw& P, TStatDrawArray& List) {
    const int m = rule_.InsideMode;
    for (int p = 0; p < NUMS_IN_DRAW; ++p) {
      const int x = P.Nums[p];
      if (!DrawHasNumber(x, PrevDraw)) continue;
      int to = 0;
      bool any = false;
      for (int q = 0; q < NUMS_IN_DRAW; ++q) {
        const int y = CurDraw.Nums[q];
        if (F.GroupOf(y) != F.GroupOf(x)) continue;
        any = true;
        if (m == 3) {
          ++to;
        } else {
          to = y;
          if (m != 2) MergeKey(List, MakeKey(x, y), true);
        }
      }
      if (m == 3 || (m != 1 && !any)) MergeKey(List, MakeKey(x, m == 3 ? to : 0), true);
    }
  }
  // A record (x, y) matches when x is a number of the latest draw and y one of the combination; a count
  // or a failed transition (x, 0) matches any number of the combination in x's channel.
  bool InsideRecordMatches(const TStatDraw& v, int x, int y) const {
    if (v.Key.Part(1) != x) return false;
    if (rule_.InsideMode == 3 || (x != 0 && v.Key.Part(2) == 0)) return F.GroupOf(y) == F.GroupOf(x);
    return v.Key.Part(2) == y;
  }
  bool InsideMatches(const TComb& Comb, const TStatDrawArray& Selected, int LastIndex) const {
    const TDraw latest = GetDraw(LastIndex, false);
    for (int k = 0; k < NUMS_IN_DRAW; ++k) {
      const int x = latest.Nums[k];
      if (x == 0) continue;  // no latest draw
      for (int j = 0; j < NUMS_IN_DRAW; ++j)
        for (const auto& v : Selected)
          if (InsideRecordMatches(v, x, Comb[j])) return true;
    }
    return false;
  }
  uint64_t InsideNumbers(const TStatDrawArray& Selected, int LastIndex) const {
    const TDraw latest = GetDraw(LastIndex, false);
    uint64_t numbers = 0;
    for (int k = 0; k < NUMS_IN_DRAW; ++k) {
      const int x = latest.Nums[k];
      if (x == 0) continue;
      for (const auto& v : Selected)
        for (int y = 1; y <= MAX_NUMBER; ++y)
          if (InsideRecordMatches(v, x, y)) numbers |= NumberBit(y);
    }
    return numbers;
  }

  const TPartition F;
  const TChainRule rule_;
  const int countLimit_;     // the counts 0..limit the count chains list beforehand
  TPreparedFor prepared_;
  uint64_t numbers_ = 0;     // the numbers that give a selected continuation
  uint32_t counts_ = 0;      // the selected counts as bits
  int insideFor_ = kNoIndex;  // the latest draw the inside chains' numbers were found for
};

std::unique_ptr<TCustomStat> Numbers(const TStatClassInfo& c, const TStatList& l, int32_t p, TChainRule rule) {
  return std::make_unique<TCustomChainStat>(c, l, p, NumberPartition(), rule, 0);
}
std::unique_ptr<TCustomStat> Channels(const TStatClassInfo& c, const TStatList& l, int32_t p, TChainRule rule) {
  return std::make_unique<TCustomChainStat>(c, l, p, ChannelPartition(ChannelSizeOf(l)), rule, ChannelSizeOf(l));
}
std::unique_ptr<TCustomStat> Segments(const TStatClassInfo& c, const TStatList& l, int32_t p, TChainRule rule) {
  return std::make_unique<TCustomChainStat>(c, l, p, SegmentPartition(l.Config.MatrixSegments), rule, 0);
}

using K = TChainKind;
constexpr TChainText kPlain = TChainText::Plain, kTwo = TChainText::TwoDigits;

}  // namespace

#define QUINTAR_CHAIN_FACTORY(name, family, ...)                                                   \
  std::unique_ptr<TCustomStat> New##name(const TStatClassInfo& c, const TStatList& l, int32_t p) { \
    return family(c, l, p, TChainRule{__VA_ARGS__});                                              \
  }
QUINTAR_CHAIN_FACTORY(TstChain2DrawsAll, Numbers, K::All2, kPlain)
QUINTAR_CHAIN_FACTORY(TstChain2DrawsPos, Numbers, K::Pos2, kPlain)
QUINTAR_CHAIN_FACTORY(TstChain2Pos, Numbers, K::Pos2, kPlain, true)
QUINTAR_CHAIN_FACTORY(TstChain3DrawsPos, Numbers, K::Pos3, kPlain)
QUINTAR_CHAIN_FACTORY(TstChain3Pos, Numbers, K::Pos3, kPlain, true)
QUINTAR_CHAIN_FACTORY(TstChain2ChannelsAll, Channels, K::All2, kTwo)
QUINTAR_CHAIN_FACTORY(TstChain2ChannelsPos, Channels, K::Pos2, kTwo)
QUINTAR_CHAIN_FACTORY(TstChain2Channel, Channels, K::Pos2, kTwo, true)
QUINTAR_CHAIN_FACTORY(TstChain3ChannelsPos, Channels, K::Pos3, kTwo)
QUINTAR_CHAIN_FACTORY(TstChain3Channel, Channels, K::Pos3, kTwo, true)
QUINTAR_CHAIN_FACTORY(TstChain2CnlCnt, Channels, K::Count2, kPlain)
QUINTAR_CHAIN_FACTORY(TstChain3CnlCnt, Channels, K::Count3, kPlain)
QUINTAR_CHAIN_FACTORY(TstChainChannels2InsideAll, Channels, K::Inside, kTwo, false, 0)
QUINTAR_CHAIN_FACTORY(TstChainChannels2InsideSuc, Channels, K::Inside, kTwo, false, 1)
QUINTAR_CHAIN_FACTORY(TstChainChannels2InsideBad, Channels, K::Inside, kTwo, false, 2)
QUINTAR_CHAIN_FACTORY(TstChainChannels2InsideCnt, Channels, K::Inside, kPlain, false, 3)
QUINTAR_CHAIN_FACTORY(TstChain2SegmentsAll, Segments, K::All2, kPlain)
QUINTAR_CHAIN_FACTORY(TstChain2SegmentsPos, Segments, K::Pos2, kPlain)
QUINTAR_CHAIN_FACTORY(TstChain2Segment, Segments, K::Pos2, kPlain, true)
QUINTAR_CHAIN_FACTORY(TstChain3SegmentsPos, Segments, K::Pos3, kPlain)
QUINTAR_CHAIN_FACTORY(TstChain3Segment, Segments, K::Pos3, kPlain, true)
QUINTAR_CHAIN_FACTORY(TstChain2SgmCnt, Segments, K::Count2, kPlain)
QUINTAR_CHAIN_FACTORY(TstChain3SgmCnt, Segments, K::Count3, kPlain)
#undef QUINTAR_CHAIN_FACTORY

}  // namespace quintar
