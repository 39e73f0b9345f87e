// The statistic object model: TCustomStat and its five base kinds. A statistic object is made from a
// catalogue entry (class and parameter) for one computation, reads the draw archive through the
// catalogue's reference and owns nothing.
//
// How callers drive a statistic:
//  - statistics table over the window F..L: ListValues(L, list); zero a TStatContext; DrawValues(i, L, ...)
//    for i = F..L, oldest first;
//  - filter: LoadDraws(-1, L, Sorted) once, optionally PrepareTest(selected), then TestComb per
//    combination (TestComb never allocates);
//  - graphs: DrawNumber per draw for graph classes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>

#include "game/game.h"
#include "stats/statdraw.h"
#include "stats/statregistry.h"

namespace quintar {

// Fast answers to the key lookups of TestComb for one prepared selection. Values of 16-bit part 1 (or of
// 32-bit part 1) within -512..511 are answered from bit tables; anything else falls back to a scan.
class TKeyLookup {
 public:
  void Build(const TStatDrawArray& list);
  void Reset() { data_ = nullptr; size_ = 0; }
  // The lookup answers for this list (the one it was built from, unchanged in place).
  bool For(const TStatDrawArray& list) const { return data_ != nullptr && list.data() == data_ && list.size() == size_; }
  // Inline: the filters ask them for every combination. Values outside the tables' range are looked up in
  // the list itself; the tables only hold in-range values.
  bool Key1(const TStatDrawArray& list, int v) const {  // HasKey(list, v, 0, 0, 0)
    return static_cast<int16_t>(v) == v && In(v) ? Test(key1_, v) : HasKey(list, v, 0, 0, 0);
  }
  // The keys (v, 0, 0, 0) with v in 0..63 as bit v: a whole combination tested with one AND.
  uint64_t Key1Low() const { return key1_[static_cast<size_t>(-kLo) / 64]; }
  bool Pair(const TStatDrawArray& list, int v, int k3) const {  // HasKeyPair(list, v, k3)
    if (k3 == 0 && static_cast<int16_t>(v) == v && In(v)) return Test(pair0_, v);
    return HasKeyPair(list, v, k3);
  }
  bool Part1(const TStatDrawArray& list, int v) const {  // HasKeyPart(list, 1, v)
    return static_cast<int16_t>(v) == v && In(v) ? Test(part1_, v) : HasKeyPart(list, 1, v);
  }
  bool Part32(const TStatDrawArray& list, int32_t v) const {  // HasKeyPart32(list, 1, v)
    return In(v) ? Test(part32_, v) : HasKeyPart32(list, 1, v);
  }

 private:
  static constexpr int kLo = -512, kBits = 1024;
  static bool In(int v) { return v >= kLo && v < kLo + kBits; }
  static bool Test(const uint64_t* t, int v) { return (t[(v - kLo) >> 6] >> ((v - kLo) & 63)) & 1; }
  static void Set(uint64_t* t, int v) { t[(v - kLo) >> 6] |= uint64_t{1} << ((v - kLo) & 63); }
  const TStatDraw* data_ = nullptr;
  size_t size_ = 0;
  uint64_t key1_[kBits / 64] = {};    // key (v, 0, 0, 0)
  uint64_t pair0_[kBits / 64] = {};   // part 1 = v and part 3 = 0
  uint64_t part1_[kBits / 64] = {};   // part 1 = v
  uint64_t part32_[kBits / 64] = {};  // 32-bit part 1 = v
};

class TCustomStat {
 public:
  TCustomStat(const TStatClassInfo& cls, const TStatList& list, int32_t param);
  virtual ~TCustomStat() = default;
  TCustomStat(const TCustomStat&) = delete;
  TCustomStat& operator=(const TCustomStat&) = delete;

  // The class of the object and its class-level answers.
  const TStatClassInfo& StatClass() const { return *class_; }
  std::string GetCode() const { return class_->GetCode(); }
  std::string GetName() const { return class_->GetName(); }
  std::string GetListCode() const { return class_->GetListCode(); }
  uint8_t GetGroup() const { return class_->GetGroup(); }
  uint8_t GetKinds() const { return class_->GetKinds(); }
  uint8_t GetKindsEx() const { return class_->GetKindsEx(); }
  bool IsGraph() const { return class_->IsGraph(); }
  bool AllowsValueList() const { return class_->AllowsValueList(); }
  std::string GetTitle() const { return class_->NameOf(Param); }

  virtual std::string ValueToText(const TStatDraw& v) const = 0;
  // The text read as an integer, 0 when it is none.
  virtual int32_t TextToKey(std::string_view text) const;
  int32_t TextToKeyChecked(std::string_view text) const { return AllowsValueList() ? TextToKey(text) : 0; }

  // Pre-lists the values of a known finite domain with Count 0; the default only clears Value.
  virtual void ListValues(int LastIndex, TStatDrawArray& List);
  virtual void LoadDraws(int DrawIndex, int PrevIndex, bool Sorted);
  // Values a combination would show, merged without period tracking.
  virtual void CombValues(const TComb& Comb, TStatDrawArray& List);
  // Values of draw DrawIndex merged with period tracking. Overrides run this base part first: it loads
  // the draws and fills Value's draw number, depth and count.
  virtual void DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& List, TStatContext& Context,
                          TLastValueArray& LastValues);
  // Draw number of the first draw at or after FromIndex (up to the newest draw) that shows V, or -1.
  virtual int32_t FindNextDraw(const TStatDraw& V, int FromIndex, int LastIndex, bool Sorted);
  // Optional, once per filter run: prepares fast lookups of the selected keys for TestComb. TestComb
  // gives the same answers without it; prepare again after changing the selection.
  virtual void PrepareTest(const TStatDrawArray& Selected) { lookup_.Build(Selected); }
  // True when the combination yields a value whose key is in Selected.
  virtual bool TestComb(const TComb& Comb, const TStatDrawArray& Selected, int LastIndex, bool Sorted,
                        bool DeleteFlag) = 0;

  // Writes to out, in order, the combinations of in[0..n) for which TestComb answers keep (true in
  // keep mode, false in delete mode), counting them in kept as it goes (kept holds the count written when
  // TestComb raises). Classes that declare QUINTAR_FILTER_BLOCK run the same TestComb without a virtual
  // call per combination.
  virtual void FilterBlock(const TComb* in, size_t n, TComb* out, const TStatDrawArray& Selected, int LastIndex,
                           bool Sorted, bool DeleteFlag, size_t& kept);

  // A copy of draw Index (numbers sorted when Sorted); all zeros outside the archive.
  TDraw GetDraw(int Index, bool Sorted) const;

  int32_t Param;
  const TDrawsArray* Draws;
  TDraw CurDraw;
  TDraw PrevDraw;
  TStatDraw Value;

 protected:
  // Value with the key, merged into the list (through the object's index once the list is long).
  void MergeKey(TStatDrawArray& List, const TStatKey& key, bool track) {
    Value.Key = key;
    index_.Merge(List, Value, track);
  }
  // Pre-lists the key with Count 0.
  void ListKey(TStatDrawArray& List, const TStatKey& key);
  // Lookups over the selection, from the prepared tables when they belong to it.
  // The selected keys (v, 0, 0, 0), v in 0..63, as bit v, when a lookup was prepared for s.
  bool SelKey1Low(const TStatDrawArray& s, uint64_t& mask) const {
    if (!lookup_.For(s)) return false;
    mask = lookup_.Key1Low();
    return true;
  }
  bool SelKey1(const TStatDrawArray& s, int v) const { return lookup_.For(s) ? lookup_.Key1(s, v) : HasKey(s, v, 0, 0, 0); }
  bool SelPair(const TStatDrawArray& s, int v, int k3) const {
    return lookup_.For(s) ? lookup_.Pair(s, v, k3) : HasKeyPair(s, v, k3);
  }
  bool SelPart1(const TStatDrawArray& s, int v) const { return lookup_.For(s) ? lookup_.Part1(s, v) : HasKeyPart(s, 1, v); }
  bool SelPart32(const TStatDrawArray& s, int32_t v) const {
    return lookup_.For(s) ? lookup_.Part32(s, v) : HasKeyPart32(s, 1, v);
  }

 private:
  const TStatClassInfo* class_;
  TKeyLookup lookup_;
  TStatIndex index_;
};

// The loop of FilterBlock over a statistic's own TestComb, called by its class name so that the call is
// direct; used only when S is the object's own class (a subclass may answer TestComb differently).
template <class S>
void FilterBlockOf(S& stat, const TComb* in, size_t n, TComb* out, const TStatDrawArray& Selected, int LastIndex,
                   bool Sorted, bool DeleteFlag, size_t& kept) {
  const bool keep = !DeleteFlag;
  size_t k = 0;
  try {
    for (size_t i = 0; i < n; ++i)
      if (stat.S::TestComb(in[i], Selected, LastIndex, Sorted, DeleteFlag) == keep) out[k++] = in[i];
  } catch (...) {
    kept = k;
    throw;
  }
  kept = k;
}

// A filter whose test is a function of one value a combination gives: keep when test(combination) is
// true in keep mode, false in delete mode. The test holds what it needs in its own copy, so the loop keeps
// it in registers.
template <class Test>
void FilterWith(const TComb* in, size_t n, TComb* out, bool DeleteFlag, size_t& kept, Test test) {
  const bool keep = !DeleteFlag;
  size_t k = 0;
  for (size_t i = 0; i < n; ++i)
    if (test(in[i]) == keep) out[k++] = in[i];
  kept = k;
}

// The same for a TestComb that is sel(value(combination)) with values mostly in 0..Range-1: sel is asked
// once for each of those values, and a combination costs one look-up (other values ask sel).
template <int Range, class Value, class Sel>
void FilterByValue(const TComb* in, size_t n, TComb* out, bool DeleteFlag, size_t& kept, Value value, Sel sel) {
  bool answer[Range];
  for (int v = 0; v < Range; ++v) answer[v] = sel(v);
  FilterWith(in, n, out, DeleteFlag, kept, [&answer, value, sel](const TComb& c) {
    const int v = value(c);
    return v >= 0 && v < Range ? answer[v] : sel(v);
  });
}

// Declared in a class beside its TestComb: the filter loop calls that TestComb directly.
#define QUINTAR_FILTER_BLOCK                                                                                  \
  void FilterBlock(const TComb* in, size_t n, TComb* out, const TStatDrawArray& Selected, int LastIndex,     \
                   bool Sorted, bool DeleteFlag, size_t& kept) override {                                    \
    using Self = std::remove_cv_t<std::remove_reference_t<decltype(*this)>>;                                  \
    if (typeid(*this) == typeid(Self))                                                                        \
      FilterBlockOf<Self>(*this, in, n, out, Selected, LastIndex, Sorted, DeleteFlag, kept);                  \
    else                                                                                                      \
      TCustomStat::FilterBlock(in, n, out, Selected, LastIndex, Sorted, DeleteFlag, kept);                    \
  }

// Graph statistics: one number per draw or combination.
class TCustomGraphStat : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  std::string ValueToText(const TStatDraw& v) const override;  // key part 1 as an integer
  virtual int32_t CombNumber(const TComb& Comb, int DrawIndex, int LastIndex, bool Sorted) = 0;
  // CombNumber of the 7 main numbers of draw DrawIndex.
  virtual int32_t DrawNumber(int DrawIndex, int LastIndex, bool Sorted);
};

// Values that are main numbers.
class TCustomValuesStat : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  std::string ValueToText(const TStatDraw& v) const override;
};

// Values that are plain integers.
class TCustomNumbersStat : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  std::string ValueToText(const TStatDraw& v) const override;
};

// A count k of seven written as the ratio k:(7-k).
class TCustomRatioStat : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;
  std::string ValueToText(const TStatDraw& v) const override;
  int32_t TextToKey(std::string_view text) const override;  // the integer before the first ":"
};

// A 7-bit mask of the seven numbers in position order: the first number is bit 6, the seventh bit 0.
class TCustomMaskStat : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  void ListValues(int LastIndex, TStatDrawArray& List) override;  // the 128 masks
  std::string ValueToText(const TStatDraw& v) const override;    // e.g. нннЧЧнн (115)
  int32_t TextToKey(std::string_view text) const override;
  virtual std::string ZeroChar() const = 0;
  virtual std::string OneChar() const = 0;
};

// The graph view of a statistic object, nullptr for other statistics.
inline TCustomGraphStat* AsGraphStat(TCustomStat* s) { return dynamic_cast<TCustomGraphStat*>(s); }

// Sum of the 7 numbers of a combination or draw.
inline int SumOf(const uint8_t* n) {
  int s = 0;
  for (int i = 0; i < NUMS_IN_DRAW; ++i) s += n[i];
  return s;
}

}  // namespace quintar
