#include "stats/prefetch.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "game/game.h"
#include "stats/customstat.h"
#include "stats/drawsstat.h"
#include "util/format.h"
#include "util/safefile.h"

namespace quintar {

std::string PrefetchFolder(const std::string& dataDir) {
  return IncludeTrailingSlash(IncludeTrailingSlash(dataDir) + kPrefetchFolder);
}

std::string PrefetchFileName(const std::string& dataDir, std::string_view baseName, std::string_view code) {
  return PrefetchFolder(dataDir) + Format("%s_%s.dfc", {baseName, code});
}

std::string PrefetchBytes(const TStatDrawArray& sortedList) {
  std::string bytes;
  bytes.reserve((sortedList.size() + 1) * kPrefetchRecordSize);
  auto put32 = [&](int32_t v) {
    char b[4];
    std::memcpy(b, &v, 4);
    bytes.append(b, 4);
  };
  for (const auto& v : sortedList) {
    bytes.append(reinterpret_cast<const char*>(v.Key.Bytes), 8);
    put32(v.Count);
  }
  const TStatTotals t = StatTotals(sortedList);
  put32(t.MinCount);
  put32(t.MaxCount);
  put32(0);
  return bytes;
}

TPrefetchData ReadPrefetchFile(const std::string& path) {
  const std::string bytes = ReadWholeFile(path);
  if (bytes.size() < kPrefetchRecordSize || bytes.size() % kPrefetchRecordSize != 0)
    throw FileError(Format("Некорректный размер файла: %d байт", {static_cast<int64_t>(bytes.size())}));
  auto get32 = [&](size_t at) {
    int32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  };
  TPrefetchData d;
  const size_t records = bytes.size() / kPrefetchRecordSize - 1;
  d.Records.resize(records);
  for (size_t i = 0; i < records; ++i) {
    const size_t at = i * kPrefetchRecordSize;
    std::memcpy(d.Records[i].Key.Bytes, bytes.data() + at, 8);
    d.Records[i].Count = get32(at + 8);
  }
  const size_t trailer = records * kPrefetchRecordSize;
  d.MinCount = get32(trailer);
  d.MaxCount = get32(trailer + 4);
  return d;
}

bool PrefetchFileUsable(const std::string& path) { return FileSizeOf(path) > 0; }

namespace {

// Counts of one worker. Keys whose 32-bit part 1 is small and part 2 is 0 (most statistics) are counted
// in a plain array; the others through a hash index.
struct Tally {
  static constexpr int kLo = -512, kSize = 2048;
  int64_t small[kSize] = {};
  bool smallSeen[kSize] = {};
  std::unordered_map<uint64_t, size_t> index;
  TStatDrawArray list;
  void Add(const TStatDraw& v) {
    const int32_t p1 = v.Key.Part32(1);
    if (v.Key.Part32(2) == 0 && p1 >= kLo && p1 < kLo + kSize) {
      small[p1 - kLo] += v.Count;
      smallSeen[p1 - kLo] = true;
      return;
    }
    AddToList(v.Key, v.Count);
  }
  void AddToList(const TStatKey& key, int64_t count) {
    auto [it, fresh] = index.emplace(key.Raw(), list.size());
    if (fresh) {
      TStatDraw r{};
      r.Key = key;
      r.Count = static_cast<int32_t>(count);
      list.push_back(r);
    } else {
      list[it->second].Count += static_cast<int32_t>(count);
    }
  }
  // Moves the array's counts into the list.
  void Flush() {
    for (int i = 0; i < kSize; ++i)
      if (smallSeen[i]) {
        AddToList(MakeKey32(i + kLo), small[i]);
        small[i] = 0;
        smallSeen[i] = false;
      }
  }
};

// The pairs of first two numbers, each a slice of the full set in ascending order.
struct Slice {
  int a, b;
  int64_t size;
};

std::vector<Slice> Slices() {
  std::vector<Slice> s;
  for (int a = 1; a <= MAX_NUMBER - NUMS_IN_DRAW + 1; ++a)
    for (int b = a + 1; b <= MAX_NUMBER - NUMS_IN_DRAW + 2; ++b)
      s.push_back({a, b, CombCount(MAX_NUMBER - b, NUMS_IN_DRAW - 2)});
  return s;
}

// CombValues of every combination of the slice into the tally; returns how many combinations.
int64_t RunSlice(const Slice& sl, TCustomStat& stat, TStatDrawArray& scratch, Tally& tally) {
  TComb c;
  c[0] = static_cast<uint8_t>(sl.a);
  c[1] = static_cast<uint8_t>(sl.b);
  int64_t n = 0;
  for (int x3 = sl.b + 1; x3 <= MAX_NUMBER - 4; ++x3) {
    c[2] = static_cast<uint8_t>(x3);
    for (int x4 = x3 + 1; x4 <= MAX_NUMBER - 3; ++x4) {
      c[3] = static_cast<uint8_t>(x4);
      for (int x5 = x4 + 1; x5 <= MAX_NUMBER - 2; ++x5) {
        c[4] = static_cast<uint8_t>(x5);
        for (int x6 = x5 + 1; x6 <= MAX_NUMBER - 1; ++x6) {
          c[5] = static_cast<uint8_t>(x6);
          for (int x7 = x6 + 1; x7 <= MAX_NUMBER; ++x7) {
            c[6] = static_cast<uint8_t>(x7);
            scratch.clear();
            stat.CombValues(c, scratch);
            for (const auto& v : scratch) tally.Add(v);
            ++n;
          }
        }
      }
    }
  }
  return n;
}

}  // namespace

TStatDrawArray FullSetValues(const TStatMaker& makeStat, int threads,
                             const std::function<void(int64_t, int64_t)>& progress) {
  const std::vector<Slice> slices = Slices();
  const int64_t total = CombCount(MAX_NUMBER, NUMS_IN_DRAW);
  threads = std::max(1, std::min(threads, 8));

  std::atomic<size_t> next{0};
  std::atomic<int64_t> done{0};
  std::atomic<bool> failed{false};
  std::vector<Tally> tallies(static_cast<size_t>(threads));
  std::exception_ptr error;
  std::mutex errorLock;

  // Objects are made on the calling thread: the catalogue is not touched by the workers.
  std::vector<std::unique_ptr<TCustomStat>> stats;
  for (int t = 0; t < threads; ++t) stats.push_back(makeStat());

  auto work = [&](int t) {
    try {
      TStatDrawArray scratch;
      for (;;) {
        if (failed.load()) return;
        const size_t k = next.fetch_add(1);
        if (k >= slices.size()) return;
        done += RunSlice(slices[k], *stats[static_cast<size_t>(t)], scratch, tallies[static_cast<size_t>(t)]);
      }
    } catch (...) {
      std::lock_guard<std::mutex> lock(errorLock);
      if (!error) error = std::current_exception();
      failed = true;
    }
  };

  progress(0, total);
  if (threads == 1) {
    TStatDrawArray scratch;
    for (const auto& sl : slices) {
      done += RunSlice(sl, *stats[0], scratch, tallies[0]);
      progress(done.load(), total);
    }
  } else {
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t) workers.emplace_back(work, t);
    // The calling thread works too, reporting progress between its slices.
    TStatDrawArray scratch;
    for (;;) {
      if (failed.load()) break;
      const size_t k = next.fetch_add(1);
      if (k >= slices.size()) break;
      try {
        done += RunSlice(slices[k], *stats[0], scratch, tallies[0]);
      } catch (...) {
        std::lock_guard<std::mutex> lock(errorLock);
        if (!error) error = std::current_exception();
        failed = true;
      }
      progress(done.load(), total);
    }
    for (auto& w : workers) w.join();
  }
  if (error) std::rethrow_exception(error);

  for (auto& t : tallies) t.Flush();
  Tally& all = tallies[0];
  for (size_t t = 1; t < tallies.size(); ++t)
    for (const auto& v : tallies[t].list) all.AddToList(v.Key, v.Count);
  progress(total, total);
  SortStatValues(all.list);
  return std::move(all.list);
}

}  // namespace quintar
