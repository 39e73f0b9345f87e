// Fast lookups of selected values for TestComb, prepared once per filter: bit tables over small integer
// components. TestComb asks them millions of times, so they never allocate after Build.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "stats/statdraw.h"

namespace quintar {

// Remembers which selection a prepared lookup was built from (the list, unchanged in place).
class TPreparedFor {
 public:
  void Set(const TStatDrawArray& list) {
    set_ = true;
    data_ = list.data();
    size_ = list.size();
  }
  void Reset() { set_ = false; }
  // An empty selection answers like any other empty one: nothing matches.
  bool For(const TStatDrawArray& list) const { return set_ && list.data() == data_ && list.size() == size_; }

 private:
  bool set_ = false;
  const TStatDraw* data_ = nullptr;
  size_t size_ = 0;
};

// The 32-bit first key parts of a selection, for values beyond the small tables of TKeyLookup (the five
// digits of a shredding formula, the masks of a wide matrix).
class TPart32Set {
 public:
  void Build(const TStatDrawArray& list) {
    values_.clear();
    for (const auto& v : list) values_.push_back(v.Key.Part32(1));
    std::sort(values_.begin(), values_.end());
    values_.erase(std::unique(values_.begin(), values_.end()), values_.end());
  }
  bool Has(int32_t v) const { return std::binary_search(values_.begin(), values_.end(), v); }

 private:
  std::vector<int32_t> values_;
};

// Selected tuples of K components (K = 1..4), each component 0..Size-1, with every prefix of a selected
// tuple marked as well: a test that walks the components left to right stops at the first prefix that
// no selected tuple has. The index of a prefix of length L is c1*Size^(L-1) + ... + cL.
class TTupleSet {
 public:
  void Build(int k, int size) {
    k_ = k;
    size_ = size;
    int64_t n = 1;
    for (int l = 0; l < 4; ++l) {
      n *= size;
      if (l < k)
        bits_[l].assign(static_cast<size_t>((n + 63) / 64), 0);
      else
        bits_[l].clear();
    }
  }
  // A tuple of k components in 0..Size-1.
  void Add(const int* c) {
    int64_t index = 0;
    for (int l = 0; l < k_; ++l) {
      index = index * size_ + c[l];
      bits_[l][static_cast<size_t>(index >> 6)] |= uint64_t{1} << (index & 63);
    }
  }
  int Size() const { return size_; }
  // Whether a selected tuple begins with the prefix of the given length (1..k) and index.
  bool Has(int length, int64_t index) const {
    return (bits_[length - 1][static_cast<size_t>(index >> 6)] >> (index & 63)) & 1;
  }

 private:
  int k_ = 0, size_ = 1;
  std::vector<uint64_t> bits_[4];
};

// The numbers of a row as bits 1..35 of a 64-bit mask; numbers outside 1..35 give no bit.
inline uint64_t NumberBit(int n) { return n >= 1 && n <= 35 ? uint64_t{1} << n : 0; }
inline uint64_t NumberBits(const uint8_t* n) {
  uint64_t b = 0;
  for (int i = 0; i < 7; ++i) b |= NumberBit(n[i]);
  return b;
}

// The numbers 1..35 that a selection holds as 16-bit key part 1, for the statistics whose values are
// numbers and whose filter asks whether one of a combination's numbers is selected: one AND once prepared.
class TNumberKeys {
 public:
  void Build(const TStatDrawArray& list) {
    bits_ = 0;
    for (const auto& v : list) bits_ |= NumberBit(v.Key.Part(1));
    prepared_.Set(list);
  }
  // Whether one of the 7 numbers is the part 1 of a selected record.
  bool AnyOf(const TStatDrawArray& list, const uint8_t* n) const {
    if (prepared_.For(list)) return (NumberBits(n) & bits_) != 0;
    for (int i = 0; i < 7; ++i)
      if (HasKeyPart(list, 1, n[i])) return true;
    return false;
  }

 private:
  uint64_t bits_ = 0;
  TPreparedFor prepared_;
};

}  // namespace quintar
