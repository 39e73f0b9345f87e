#include "combs/filters.h"

#include <cstring>
#include <exception>
#include <thread>

#include "util/strutil.h"

namespace quintar {

TStatDrawArray SelectionValues(const TStatSelection& rows) {
  TStatDrawArray set;
  set.reserve(rows.size());
  for (const auto& r : rows) set.push_back(r.Value);
  return set;
}

std::string SelectionText(const TStatSelection& rows) {
  std::string text;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (i > 0) text += "; ";
    text += rows[i].Caption;
  }
  return text;
}

TStatSelection SelectionOf(const TCustomStat& stat, const TStatDrawArray& values) {
  TStatSelection rows;
  rows.reserve(values.size());
  for (const auto& v : values) rows.push_back({v, stat.ValueToText(v)});
  return rows;
}

TStatSelection SelectRowsByText(const TCustomStat& stat, const TStatDrawArray& table,
                                const std::vector<std::string>& texts, std::string* missing) {
  TStatSelection rows;
  for (const auto& text : texts) {
    bool found = false;
    for (const auto& v : table) {
      std::string caption = stat.ValueToText(v);
      if (caption == text) {
        rows.push_back({v, std::move(caption)});
        found = true;
        break;
      }
    }
    if (!found) {
      if (missing) *missing = text;
      return {};
    }
  }
  return rows;
}

int FilterReferenceIndex(int newestIndex, int drawsOffset) {
  const int ref = newestIndex - drawsOffset;
  return ref < 0 ? 0 : ref;
}

namespace {

// One thread's share: writes the kept combinations to out and counts them in kept as it goes, so that a
// failure leaves the count of what was written.
void FilterRange(TCustomStat& stat, const TStatDrawArray& set, const TComb* in, size_t n, TComb* out, int refIndex,
                 bool sorted, bool deleteFlag, size_t& kept) {
  stat.LoadDraws(-1, refIndex, sorted);
  stat.PrepareTest(set);
  stat.FilterBlock(in, n, out, set, refIndex, sorted, deleteFlag, kept);
}

}  // namespace

size_t FilterCombs(TCustomStat& stat, const TStatDrawArray& set, const TComb* in, size_t n, TComb* out,
                   int refIndex, bool sorted, bool deleteFlag, const TStatCloner& cloner, size_t* written) {
  size_t dummy = 0;
  size_t& result = written ? *written : dummy;
  result = 0;
  std::unique_ptr<TCustomStat> second;
  if (cloner && n >= kFilterSplitMin && std::thread::hardware_concurrency() >= 2) second = cloner();
  if (!second) {
    FilterRange(stat, set, in, n, out, refIndex, sorted, deleteFlag, result);
    return result;
  }

  // Two halves at once: the first writes from the start of out, the second from the middle (its own
  // entries can never reach beyond its half); the second half's entries then move down behind the first's.
  const size_t half = n / 2;
  size_t keptA = 0, keptB = 0;
  std::exception_ptr errorB;
  std::thread worker([&] {
    try {
      FilterRange(*second, set, in + half, n - half, out + half, refIndex, sorted, deleteFlag, keptB);
    } catch (...) {
      errorB = std::current_exception();
    }
  });
  std::exception_ptr errorA;
  try {
    FilterRange(stat, set, in, half, out, refIndex, sorted, deleteFlag, keptA);
  } catch (...) {
    errorA = std::current_exception();
  }
  worker.join();
  if (errorA) {
    result = keptA;
    std::rethrow_exception(errorA);
  }
  if (keptB > 0) std::memmove(out + keptA, out + half, keptB * sizeof(TComb));
  result = keptA + keptB;
  if (errorB) std::rethrow_exception(errorB);
  return result;
}

}  // namespace quintar
