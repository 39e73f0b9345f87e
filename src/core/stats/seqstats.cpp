// Sequence statistics (group 6): runs of consecutive numbers inside one row. A run is a maximal stretch of
// neighbouring positions in which each number is exactly 1 greater than the one before it; a number in
// no longer run is a run of length 1. Positions follow the row's order (a draw as drawn or sorted, a
// combination as stored), so 3 4 5 is one run of 3 and 5 4 3 three runs of 1.
#include <algorithm>

#include "stats/customstat.h"
#include "stats/statfactories.h"
#include "stats/statlist.h"

namespace quintar {

namespace {

// The run lengths of a row from left to right. With bothWays, neighbours that differ by 1 in either
// direction continue a run (the graphs' reading).
int RunsOf(const uint8_t* n, int* lengths, bool bothWays) {
  int count = 0, length = 1;
  for (int k = 1; k < NUMS_IN_DRAW; ++k) {
    const int d = n[k] - n[k - 1];
    if (d == 1 || (bothWays && d == -1)) {
      ++length;
    } else {
      lengths[count++] = length;
      length = 1;
    }
  }
  lengths[count++] = length;
  return count;
}

int LongRuns(const uint8_t* n, bool bothWays) {
  int lengths[NUMS_IN_DRAW];
  const int count = RunsOf(n, lengths, bothWays);
  return static_cast<int>(std::count_if(lengths, lengths + count, [](int l) { return l >= 2; }));
}

int LongestRun(const uint8_t* n, bool bothWays) {
  int lengths[NUMS_IN_DRAW];
  const int count = RunsOf(n, lengths, bothWays);
  return *std::max_element(lengths, lengths + count);
}

// SEQL: the length of every run, one merge per run (each tracking periods).
class TstSequenceLen final : public TCustomNumbersStat {
 public:
  using TCustomNumbersStat::TCustomNumbersStat;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int l = 1; l <= NUMS_IN_DRAW; ++l) ListKey(List, MakeKey(l));
  }
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
    int lengths[NUMS_IN_DRAW];
    const int count = RunsOf(Comb.n, lengths, false);
    for (int i = 0; i < count; ++i)
      if (SelPart1(Selected, lengths[i])) return true;
    return false;
  }

 private:
  void Merge(const uint8_t* n, TStatDrawArray& List, bool track) {
    int lengths[NUMS_IN_DRAW];
    const int count = RunsOf(n, lengths, false);
    for (int i = 0; i < count; ++i) MergeKey(List, MakeKey(lengths[i]), track);
  }
};

// SEQS (runs of 2 or more, 0..3) and LENS (the longest run, 1..7). Their graph numbers read neighbours
// that differ by 1 in either direction as consecutive; LENS's graph gives 0 when no neighbours do.
template <int (*ValueOf)(const uint8_t*, bool), int ListLo, bool ZeroWithoutRun>
class TRunsStat final : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;
  void ListValues(int LastIndex, TStatDrawArray& List) override {
    TCustomStat::ListValues(LastIndex, List);
    for (int v = ListLo; v <= (ListLo == 0 ? 3 : NUMS_IN_DRAW); ++v) ListKey(List, MakeKey(v));
  }
  void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                  TLastValueArray& LastValues) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    MergeKey(List, MakeKey(ValueOf(CurDraw.Nums, false)), true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    MergeKey(List, MakeKey(ValueOf(Comb.n, false)), false);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    return SelPart1(Selected, ValueOf(Comb.n, false));
  }
  int32_t CombNumber(const TComb& Comb, int, int, bool) override {
    const int v = ValueOf(Comb.n, true);
    return ZeroWithoutRun && v == 1 ? 0 : v;
  }
};

}  // namespace

std::unique_ptr<TCustomStat> NewTstSequenceLen(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TstSequenceLen>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstSequenceCnt(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TRunsStat<LongRuns, 0, false>>(c, l, p);
}
std::unique_ptr<TCustomStat> NewTstSequenceLenMax(const TStatClassInfo& c, const TStatList& l, int32_t p) {
  return std::make_unique<TRunsStat<LongestRun, 1, true>>(c, l, p);
}

}  // namespace quintar
