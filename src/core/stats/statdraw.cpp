#include "stats/statdraw.h"

#include <cstdlib>
#include <limits>

namespace quintar {

TStatKey MakeKey(int p1, int p2, int p3, int p4) {
  TStatKey k{};
  k.SetPart(1, p1);
  k.SetPart(2, p2);
  k.SetPart(3, p3);
  k.SetPart(4, p4);
  return k;
}

TStatKey MakeKey32(int32_t p1, int32_t p2) {
  TStatKey k{};
  k.SetPart32(1, p1);
  k.SetPart32(2, p2);
  return k;
}

int IndexOfKey(const TStatDrawArray& List, const TStatKey& Key) {
  const uint64_t raw = Key.Raw();
  for (size_t i = 0; i < List.size(); ++i)
    if (List[i].Key.Raw() == raw) return static_cast<int>(i);
  return -1;
}

void AddStatValue(TStatDrawArray& List, const TStatDraw& V, bool Track) {
  int i = IndexOfKey(List, V.Key);
  if (i < 0) {
    List.push_back(V);
    List.back().Norm = 0;
    return;
  }
  MergeStatValue(List[static_cast<size_t>(i)], V, Track);
}

void MergeStatValue(TStatDraw& E, const TStatDraw& V, bool Track) {
  E.Count += V.Count;
  if (E.Depth == 0 || (V.Depth > 0 && V.Depth <= E.Depth)) {
    E.LastDraw = V.LastDraw;
    E.Depth = V.Depth;
  }
  if (Track && V.LastDraw > 0 && E.SeenDraw > 0) {
    // Periods are differences of draw numbers; the record holds them in 16 bits, so a larger distance
    // is kept as the largest one that fits instead of wrapping round.
    int64_t d = std::llabs(static_cast<int64_t>(E.SeenDraw) - V.LastDraw);
    const int64_t cap = std::numeric_limits<uint16_t>::max();
    uint16_t p = static_cast<uint16_t>(d > cap ? cap : d);
    if (p < E.MinPeriod || E.MinPeriod == 0) E.MinPeriod = p;
    if (p > E.MaxPeriod || E.MaxPeriod == 0) E.MaxPeriod = p;
  }
  E.SeenDraw = V.LastDraw;
}

// TStatIndex ---------------------------------------------------------------------------------------------

namespace {
inline size_t SlotOf(uint64_t raw, size_t mask) {
  return static_cast<size_t>((raw * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}
}  // namespace

bool TStatIndex::Follows(const TStatDrawArray& List) const {
  return data_ == List.data() && size_ == List.size() && List.front().Key.Raw() == first_ &&
         List.back().Key.Raw() == last_;
}

void TStatIndex::Remember(const TStatDrawArray& List) {
  data_ = List.data();
  size_ = List.size();
  first_ = List.front().Key.Raw();
  last_ = List.back().Key.Raw();
}

void TStatIndex::Insert(uint64_t raw, int32_t index) {
  const size_t mask = slots_.size() - 1;
  size_t s = SlotOf(raw, mask);
  while (slots_[s] >= 0) s = (s + 1) & mask;
  slots_[s] = index;
}

void TStatIndex::Rebuild(const TStatDrawArray& List) {
  size_t cap = 64;
  while (cap < List.size() * 3) cap *= 2;
  slots_.assign(cap, -1);
  for (size_t i = 0; i < List.size(); ++i) Insert(List[i].Key.Raw(), static_cast<int32_t>(i));
  Remember(List);
}

void TStatIndex::Merge(TStatDrawArray& List, const TStatDraw& V, bool Track) {
  if (List.size() < kMinSize) {
    AddStatValue(List, V, Track);
    data_ = nullptr;
    return;
  }
  if (!Follows(List)) Rebuild(List);
  const uint64_t raw = V.Key.Raw();
  const size_t mask = slots_.size() - 1;
  for (size_t s = SlotOf(raw, mask);; s = (s + 1) & mask) {
    const int32_t i = slots_[s];
    if (i < 0) break;
    if (List[static_cast<size_t>(i)].Key.Raw() == raw) {
      MergeStatValue(List[static_cast<size_t>(i)], V, Track);
      return;
    }
  }
  List.push_back(V);
  List.back().Norm = 0;
  if (List.size() * 2 > slots_.size()) {
    Rebuild(List);
    return;
  }
  Insert(raw, static_cast<int32_t>(List.size() - 1));
  Remember(List);
}

int32_t UpdateLastValue(TLastValueArray& List, const TStatDraw& V) {
  const uint64_t raw = V.Key.Raw();
  for (auto& e : List)
    if (e.Key.Raw() == raw) {
      int32_t d = V.LastDraw - e.LastDraw;
      e.LastDraw = V.LastDraw;
      return d;
    }
  List.push_back({V.LastDraw, V.Key});
  return -1;
}

bool HasKey(const TStatDrawArray& List, int k1, int k2, int k3, int k4) {
  return IndexOfKey(List, MakeKey(k1, k2, k3, k4)) >= 0;
}

bool HasKeyPair(const TStatDrawArray& List, int k1, int k3) {
  const int16_t a = static_cast<int16_t>(k1), c = static_cast<int16_t>(k3);
  for (const auto& e : List)
    if (e.Key.Part(1) == a && e.Key.Part(3) == c) return true;
  return false;
}

bool HasKeyPart(const TStatDrawArray& List, int i, int v) {
  if (i < 1 || i > 4) return false;
  const int16_t x = static_cast<int16_t>(v);
  for (const auto& e : List)
    if (e.Key.Part(i) == x) return true;
  return false;
}

bool HasKeyPart32(const TStatDrawArray& List, int i, int32_t v) {
  if (i < 1 || i > 2) return false;
  for (const auto& e : List)
    if (e.Key.Part32(i) == v) return true;
  return false;
}

bool HasKeyByte(const TStatDrawArray& List, int i, int b) {
  if (i < 1 || i > 8) return false;
  const uint8_t x = static_cast<uint8_t>(b);
  for (const auto& e : List)
    if (e.Key.Byte(i) == x) return true;
  return false;
}

}  // namespace quintar
