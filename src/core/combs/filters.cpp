#include "combs/filters.h"

#include <algorithm>
#include <atomic>
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

void PrepareFilter(TCustomStat& stat, const TStatDrawArray& set, int refIndex, bool sorted) {
  stat.LoadDraws(-1, refIndex, sorted);
  stat.PrepareTest(set);
}

// One stretch of the list through a prepared statistic: writes the kept combinations to out and counts
// them in kept as it goes, so that a failure leaves the count of what was written.
void FilterStretch(TCustomStat& stat, const TStatDrawArray& set, const TComb* in, size_t n, TComb* out,
                   int refIndex, bool sorted, bool deleteFlag, size_t& kept) {
  stat.FilterBlock(in, n, out, set, refIndex, sorted, deleteFlag, kept);
}

// Pieces of the list that the two threads take one at a time.
constexpr size_t kFilterChunk = size_t{1} << 15;

}  // namespace

size_t FilterCombs(TCustomStat& stat, const TStatDrawArray& set, const TComb* in, size_t n, TComb* out,
                   int refIndex, bool sorted, bool deleteFlag, const TStatCloner& cloner, size_t* written) {
  size_t dummy = 0;
  size_t& result = written ? *written : dummy;
  result = 0;
  std::unique_ptr<TCustomStat> second;
  if (cloner && n >= kFilterSplitMin && std::thread::hardware_concurrency() >= 2) second = cloner();
  if (!second) {
    PrepareFilter(stat, set, refIndex, sorted);
    FilterStretch(stat, set, in, n, out, refIndex, sorted, deleteFlag, result);
    return result;
  }

  // The list is cut into chunks: this thread takes them from the front, the worker from the back, until
  // they meet, so that both finish together however the cost of a test varies along the list (the lists
  // are in lexical order, and many tests cost more near the start). The front's entries are written in
  // place from the start of out. The worker writes a chunk's entries at the chunk's own place in out,
  // then moves them to the tail of out, in front of the entries of the chunks after it; a chunk's place
  // always lies above every front entry and at or below the tail. At the end the tail moves down behind
  // the front's entries.
  const size_t chunks = (n + kFilterChunk - 1) / kFilterChunk;
  const auto chunkSize = [&](size_t c) { return std::min(kFilterChunk, n - c * kFilterChunk); };
  std::atomic<size_t> claimed{0};
  std::atomic<bool> frontFailed{false};

  size_t tail = n;                // the worker's entries lie in [tail, n)
  size_t failedChunk = chunks;    // the worker's chunk whose test raised ...
  size_t failedKept = 0;          // ... and the entries it wrote at its place before that
  std::exception_ptr errorB;
  std::thread worker([&] {
    try {
      PrepareFilter(*second, set, refIndex, sorted);
    } catch (...) {
      return;  // the front then takes every chunk; its own preparation answers for the statistic
    }
    for (size_t c = chunks; !frontFailed.load(std::memory_order_relaxed) && claimed.fetch_add(1) < chunks;) {
      --c;
      const size_t begin = c * kFilterChunk;
      size_t k = 0;
      try {
        FilterStretch(*second, set, in + begin, chunkSize(c), out + begin, refIndex, sorted, deleteFlag, k);
      } catch (...) {
        failedChunk = c;
        failedKept = k;
        errorB = std::current_exception();
        return;
      }
      tail -= k;
      std::memmove(out + tail, out + begin, k * sizeof(TComb));
    }
  });

  size_t keptA = 0;
  std::exception_ptr errorA;
  try {
    PrepareFilter(stat, set, refIndex, sorted);
    for (size_t c = 0; claimed.fetch_add(1) < chunks; ++c) {
      size_t k = 0;
      try {
        FilterStretch(stat, set, in + c * kFilterChunk, chunkSize(c), out + keptA, refIndex, sorted, deleteFlag, k);
      } catch (...) {
        keptA += k;
        throw;
      }
      keptA += k;
    }
  } catch (...) {
    errorA = std::current_exception();
    frontFailed = true;
  }
  worker.join();

  if (errorA) {
    result = keptA;
    std::rethrow_exception(errorA);
  }
  if (errorB) {
    // The front took every chunk below the failing one: the entries of that chunk up to the failure
    // follow, and what the worker did above it is dropped, as one thread would have stopped there.
    std::memmove(out + keptA, out + failedChunk * kFilterChunk, failedKept * sizeof(TComb));
    result = keptA + failedKept;
    std::rethrow_exception(errorB);
  }
  const size_t keptB = n - tail;
  if (keptB > 0) std::memmove(out + keptA, out + tail, keptB * sizeof(TComb));
  result = keptA + keptB;
  return result;
}

}  // namespace quintar
