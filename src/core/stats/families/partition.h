// Number partitions: a rule that puts every number 1..35 into a small group (channels, matrix columns or
// rows, segments), and the six kinds of statistic that every partition family offers over it:
//  - group of number: 7 values a draw, the group of each number;
//  - group count: one value per group of the partition, (group, how many numbers it holds);
//  - occupied groups: how many different groups the numbers fall into (graph);
//  - count in group N: how many numbers fall into group N (graph, one method per group);
//  - group mix of k: the groups of every k of the 7 numbers, in position order;
//  - group sequence of k: the groups of every k adjacent numbers, in position order.
// A family (channels.cpp, matrix.cpp, segments.cpp, combvalues.cpp) gives the partition and derives its
// classes from these kinds, adding its own value lists and texts. The kinds are templates over the family's base class.
#pragma once

#include <bit>
#include <cstdint>
#include <string>

#include "stats/customstat.h"
#include "stats/tupleset.h"

namespace quintar {

struct TPartition {
  uint8_t Of[MAX_NUMBER + 1] = {};        // group of number n; Of[0] = 0 (a draw without numbers)
  uint8_t Order[MAX_NUMBER] = {};         // the groups in the order the family lists them
  int Count = 0;                          // how many groups Order holds
  int8_t Index[MAX_NUMBER + 1] = {};      // position of group g in Order, -1 when g is no group
  uint64_t Members[MAX_NUMBER + 1] = {};  // the numbers of group g as bits (NumberBits)

  int GroupOf(int n) const { return n >= 0 && n <= MAX_NUMBER ? Of[n] : 0; }
  bool IsGroup(int g) const { return g >= 0 && g <= MAX_NUMBER && Index[g] >= 0; }
};

// Channels of `size` consecutive numbers: group ChannelOf(n, size), groups 1..ChannelOf(35, size).
TPartition ChannelPartition(int size);
// Matrix of `cols` columns laid out row by row: groups 1..cols (columns) or 1..rows (rows).
TPartition ColumnPartition(int cols);
TPartition RowPartition(int cols);
// Segment table: entry n-1 is the segment of number n; groups in the order they first occur.
TPartition SegmentPartition(const uint8_t table[MAX_NUMBER]);
// Every number its own group: group n = n, groups 1..35 (pairs to quadruples of the numbers themselves).
TPartition NumberPartition();

// A key's first k 16-bit parts joined by ":" ("2:5:5").
std::string KeyPartsText(const TStatKey& key, int k);

// The smallest and largest segment of the table, found from 9 and 1 widened over the 35 entries
// (entries outside 1..9 read as segment 1, as SegmentPartition reads them).
std::pair<int, int> SegmentRange(const uint8_t table[MAX_NUMBER]);

// The partition every kind works over, fixed when the object is made.
template <class Base>
class TPartitionKind : public Base {
 public:
  TPartitionKind(const TStatClassInfo& cls, const TStatList& list, int32_t param, const TPartition& p)
      : Base(cls, list, param), P(p) {}

 protected:
  TPartition P;
  TPreparedFor prepared_;
};

#define QUINTAR_DRAW_VALUES_ARGS                                                                      \
  int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray &List, TStatContext &Context, \
      TLastValueArray &LastValues

// Group of number: one value per number, in position order.
template <class Base>
class TGroupOfNumberKind : public TPartitionKind<Base> {
 public:
  using TPartitionKind<Base>::TPartitionKind;
  void DrawValues(QUINTAR_DRAW_VALUES_ARGS) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    for (int i = 0; i < NUMS_IN_DRAW; ++i) this->MergeKey(List, MakeKey(this->P.GroupOf(this->CurDraw.Nums[i])), true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    for (int i = 0; i < NUMS_IN_DRAW; ++i) this->MergeKey(List, MakeKey(this->P.GroupOf(Comb[i])), false);
  }
  void PrepareTest(const TStatDrawArray& Selected) override {
    TCustomStat::PrepareTest(Selected);
    numbers_ = 0;
    for (const auto& v : Selected)
      if (this->P.IsGroup(v.Key.Part(1))) numbers_ |= this->P.Members[v.Key.Part(1)];
    this->prepared_.Set(Selected);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    if (this->prepared_.For(Selected)) return (NumberBits(Comb.n) & numbers_) != 0;
    for (int i = 0; i < NUMS_IN_DRAW; ++i)
      if (HasKeyPart(Selected, 1, this->P.GroupOf(Comb[i]))) return true;
    return false;
  }

 private:
  uint64_t numbers_ = 0;  // the numbers of the selected groups
};

// Group count: (group, count) for every group of the partition in its order, empty groups included.
template <class Base>
class TGroupCountKind : public TPartitionKind<Base> {
 public:
  using TPartitionKind<Base>::TPartitionKind;
  void DrawValues(QUINTAR_DRAW_VALUES_ARGS) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    Merge(this->CurDraw.Nums, List, true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    Merge(Comb.n, List, false);
  }
  void PrepareTest(const TStatDrawArray& Selected) override {
    TCustomStat::PrepareTest(Selected);
    for (auto& m : counts_) m = 0;
    for (const auto& v : Selected) {
      const int g = v.Key.Part(1), c = v.Key.Part(2);
      if (this->P.IsGroup(g) && c >= 0 && c <= NUMS_IN_DRAW) counts_[g] |= static_cast<uint8_t>(1u << c);
    }
    relevant_ = 0;
    for (int k = 0; k < this->P.Count; ++k)
      if (counts_[this->P.Order[k]]) groups_[relevant_++] = this->P.Order[k];
    this->prepared_.Set(Selected);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    if (this->prepared_.For(Selected)) {
      const uint64_t b = NumberBits(Comb.n);
      for (int k = 0; k < relevant_; ++k) {
        const int g = groups_[k];
        if ((counts_[g] >> std::popcount(b & this->P.Members[g])) & 1) return true;
      }
      return false;
    }
    int count[MAX_NUMBER + 1] = {};
    for (int i = 0; i < NUMS_IN_DRAW; ++i) ++count[this->P.GroupOf(Comb[i])];
    for (int k = 0; k < this->P.Count; ++k) {
      const int g = this->P.Order[k];
      if (HasKeyPart32(Selected, 1, MakeKey(g, count[g]).Part32(1))) return true;
    }
    return false;
  }

 private:
  void Merge(const uint8_t* nums, TStatDrawArray& List, bool track) {
    int count[MAX_NUMBER + 1] = {};
    for (int i = 0; i < NUMS_IN_DRAW; ++i) ++count[this->P.GroupOf(nums[i])];
    for (int k = 0; k < this->P.Count; ++k) {
      const int g = this->P.Order[k];
      this->MergeKey(List, MakeKey(g, count[g]), track);
    }
  }
  uint8_t counts_[MAX_NUMBER + 1] = {};  // per group: bit c when (group, c) is selected
  uint8_t groups_[MAX_NUMBER] = {};      // the groups with a selected count
  int relevant_ = 0;
};

// Occupied groups (graph): the number of different groups among the 7 numbers.
template <class Base>
class TOccupiedGroupsKind : public TPartitionKind<Base> {
 public:
  using TPartitionKind<Base>::TPartitionKind;
  int Occupied(const uint8_t* nums) const {
    uint64_t groups = 0;
    for (int i = 0; i < NUMS_IN_DRAW; ++i) groups |= uint64_t{1} << this->P.GroupOf(nums[i]);
    return std::popcount(groups);
  }
  void DrawValues(QUINTAR_DRAW_VALUES_ARGS) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    this->MergeKey(List, MakeKey(Occupied(this->CurDraw.Nums)), true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    this->MergeKey(List, MakeKey(Occupied(Comb.n)), false);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    return this->SelPart1(Selected, Occupied(Comb.n));
  }
  int32_t CombNumber(const TComb& Comb, int, int, bool) override { return Occupied(Comb.n); }
};

// Count in group N = Param (graph): how many of the 7 numbers lie in group N.
template <class Base>
class TCountInGroupKind : public TPartitionKind<Base> {
 public:
  using TPartitionKind<Base>::TPartitionKind;
  int CountIn(const uint8_t* nums) const {
    int c = 0;
    for (int i = 0; i < NUMS_IN_DRAW; ++i) c += this->P.GroupOf(nums[i]) == this->Param ? 1 : 0;
    return c;
  }
  void DrawValues(QUINTAR_DRAW_VALUES_ARGS) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    this->MergeKey(List, MakeKey(CountIn(this->CurDraw.Nums)), true);
  }
  void CombValues(const TComb& Comb, TStatDrawArray& List) override {
    TCustomStat::CombValues(Comb, List);
    this->MergeKey(List, MakeKey(CountIn(Comb.n)), false);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    return this->SelPart1(Selected, CountIn(Comb.n));
  }
  int32_t CombNumber(const TComb& Comb, int, int, bool) override { return CountIn(Comb.n); }
};

// The lookup of the mix and sequence kinds: selected tuples of K groups, by their positions in the
// partition's order.
template <int K>
class TGroupTuples {
 public:
  void Build(const TPartition& p, const TStatDrawArray& selected) {
    set_.Build(K, p.Count > 0 ? p.Count : 1);
    for (const auto& v : selected) {
      // A tuple of K groups of the partition, the parts beyond K being 0; anything else never matches.
      int c[4] = {0, 0, 0, 0};
      bool ok = true;
      for (int j = 0; j < 4 && ok; ++j) {
        const int part = v.Key.Part(j + 1);
        if (j >= K)
          ok = part == 0;
        else if ((ok = p.IsGroup(part)))
          c[j] = p.Index[part];
      }
      if (ok) set_.Add(c);
    }
  }
  // Positions in the order of the groups of the 7 numbers; false when a number has no group.
  static bool Positions(const TPartition& p, const TComb& comb, int* c) {
    for (int i = 0; i < NUMS_IN_DRAW; ++i) {
      c[i] = p.Index[p.GroupOf(comb[i])];
      if (c[i] < 0) return false;
    }
    return true;
  }
  const TTupleSet& Set() const { return set_; }

 private:
  TTupleSet set_;
};

// Group mix of K: the groups of every choice of K positions p1 < ... < pK, in lexicographic order.
template <class Base, int K>
class TGroupMixKind : public TPartitionKind<Base> {
 public:
  using TPartitionKind<Base>::TPartitionKind;
  void DrawValues(QUINTAR_DRAW_VALUES_ARGS) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    int g[NUMS_IN_DRAW];
    for (int i = 0; i < NUMS_IN_DRAW; ++i) g[i] = this->P.GroupOf(this->CurDraw.Nums[i]);
    ForEachChoice(g, [&](const int* parts) {
      this->MergeKey(List, MakeKey(parts[0], parts[1], parts[2], parts[3]), true);
      return false;
    });
  }
  // CombValues is the base's: a combination adds no values.
  void PrepareTest(const TStatDrawArray& Selected) override {
    TCustomStat::PrepareTest(Selected);
    tuples_.Build(this->P, Selected);
    this->prepared_.Set(Selected);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    int c[NUMS_IN_DRAW];
    if (this->prepared_.For(Selected) && TGroupTuples<K>::Positions(this->P, Comb, c)) return Prepared(c);
    int g[NUMS_IN_DRAW];
    for (int i = 0; i < NUMS_IN_DRAW; ++i) g[i] = this->P.GroupOf(Comb[i]);
    return ForEachChoice(g, [&](const int* parts) { return HasKey(Selected, parts[0], parts[1], parts[2], parts[3]); });
  }
  std::string ValueToText(const TStatDraw& v) const override { return KeyPartsText(v.Key, K); }

 private:
  // Calls f with the 4 key parts of every choice in order until it returns true.
  template <class F>
  static bool ForEachChoice(const int* g, F f) {
    int parts[4] = {0, 0, 0, 0};
    for (int a = 0; a < NUMS_IN_DRAW; ++a) {
      parts[0] = g[a];
      for (int b = a + 1; b < NUMS_IN_DRAW; ++b) {
        parts[1] = g[b];
        if constexpr (K == 2) {
          if (f(parts)) return true;
        } else {
          for (int d = b + 1; d < NUMS_IN_DRAW; ++d) {
            parts[2] = g[d];
            if constexpr (K == 3) {
              if (f(parts)) return true;
            } else {
              for (int e = d + 1; e < NUMS_IN_DRAW; ++e) {
                parts[3] = g[e];
                if (f(parts)) return true;
              }
            }
          }
        }
      }
    }
    return false;
  }
  // The choices walked with every prefix checked first: a prefix no selected tuple has ends its branch.
  bool Prepared(const int* c) const {
    const TTupleSet& s = tuples_.Set();
    const int64_t n = s.Size();
    for (int a = 0; a <= NUMS_IN_DRAW - K; ++a) {
      const int64_t i1 = c[a];
      if (!s.Has(1, i1)) continue;
      for (int b = a + 1; b <= NUMS_IN_DRAW - K + 1; ++b) {
        const int64_t i2 = i1 * n + c[b];
        if (!s.Has(2, i2)) continue;
        if constexpr (K == 2) {
          return true;
        } else {
          for (int d = b + 1; d <= NUMS_IN_DRAW - K + 2; ++d) {
            const int64_t i3 = i2 * n + c[d];
            if (!s.Has(3, i3)) continue;
            if constexpr (K == 3) {
              return true;
            } else {
              for (int e = d + 1; e < NUMS_IN_DRAW; ++e)
                if (s.Has(4, i3 * n + c[e])) return true;
            }
          }
        }
      }
    }
    return false;
  }
  TGroupTuples<K> tuples_;
};

// Group sequence of K: the groups of the K adjacent positions p..p+K-1, p = 1..8-K in order.
template <class Base, int K>
class TGroupSequenceKind : public TPartitionKind<Base> {
 public:
  using TPartitionKind<Base>::TPartitionKind;
  void DrawValues(QUINTAR_DRAW_VALUES_ARGS) override {
    TCustomStat::DrawValues(DrawIndex, LastIndex, Sorted, List, Context, LastValues);
    for (int p = 0; p + K <= NUMS_IN_DRAW; ++p) this->MergeKey(List, WindowKey(this->CurDraw.Nums, p), true);
  }
  // CombValues is the base's: a combination adds no values.
  void PrepareTest(const TStatDrawArray& Selected) override {
    TCustomStat::PrepareTest(Selected);
    tuples_.Build(this->P, Selected);
    this->prepared_.Set(Selected);
  }
  QUINTAR_FILTER_BLOCK
  bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int, bool, bool) override {
    int c[NUMS_IN_DRAW];
    if (this->prepared_.For(Selected) && TGroupTuples<K>::Positions(this->P, Comb, c)) {
      const TTupleSet& s = tuples_.Set();
      const int64_t n = s.Size();
      for (int p = 0; p + K <= NUMS_IN_DRAW; ++p) {
        int64_t index = c[p];
        int l = 1;
        while (l < K && s.Has(l, index)) index = index * n + c[p + l++];
        if (l == K && s.Has(K, index)) return true;
      }
      return false;
    }
    for (int p = 0; p + K <= NUMS_IN_DRAW; ++p) {
      const TStatKey k = WindowKey(Comb.n, p);
      if (IndexOfKey(Selected, k) >= 0) return true;
    }
    return false;
  }
  std::string ValueToText(const TStatDraw& v) const override { return KeyPartsText(v.Key, K); }

 private:
  TStatKey WindowKey(const uint8_t* nums, int p) const {
    int parts[4] = {0, 0, 0, 0};
    for (int j = 0; j < K; ++j) parts[j] = this->P.GroupOf(nums[p + j]);
    return MakeKey(parts[0], parts[1], parts[2], parts[3]);
  }
  TGroupTuples<K> tuples_;
};

#undef QUINTAR_DRAW_VALUES_ARGS

}  // namespace quintar
