// A small archive with a catalogue over it, for the statistic tests.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "stats/statlist.h"
#include "testutil.h"

namespace quintar::test {

struct StatBench {
  TDrawsArray draws;
  TStatList list;

  StatBench() {
    list.Draws = &draws;
    list.BuildCatalogue();
  }
  // Appends a draw numbered 100, 101, ...
  void Add(std::initializer_list<int> nums, int bonus = 1) {
    draws.push_back(MakeDraw(100 + static_cast<int>(draws.size()), nums, bonus));
  }
  std::unique_ptr<TCustomStat> Make(const std::string& code) {
    int i = list.IndexOfCode(code);
    EXPECT_GE(i, 0) << code;
    return i >= 0 ? list.CreateStat(i) : nullptr;
  }
  // The statistics table's run over the window first..last.
  static TStatDrawArray Table(TCustomStat& s, int first, int last, bool sorted = false) {
    TStatDrawArray list;
    TStatContext context;
    TLastValueArray lastValues;
    s.ListValues(last, list);
    for (int i = first; i <= last; ++i) s.DrawValues(i, last, sorted, list, context, lastValues);
    return list;
  }
  static TStatDrawArray Values(TCustomStat& s, const TComb& comb) {
    TStatDrawArray list;
    s.CombValues(comb, list);
    return list;
  }
};

inline TComb Comb(std::initializer_list<int> nums) {
  TComb c{};
  int i = 0;
  for (int n : nums) c[i++] = static_cast<uint8_t>(n);
  return c;
}

// The selection holding the given values of 32-bit key part 1.
inline TStatDrawArray Selection(std::initializer_list<int32_t> keys) {
  TStatDrawArray s;
  for (int32_t k : keys) {
    TStatDraw v;
    v.Key = MakeKey32(k);
    s.push_back(v);
  }
  return s;
}

inline std::vector<int> KeysOf(const TStatDrawArray& list) {
  std::vector<int> keys;
  for (const auto& v : list) keys.push_back(v.Key.Part32(1));
  return keys;
}

inline std::vector<int> CountsOf(const TStatDrawArray& list) {
  std::vector<int> counts;
  for (const auto& v : list) counts.push_back(v.Count);
  return counts;
}

}  // namespace quintar::test
