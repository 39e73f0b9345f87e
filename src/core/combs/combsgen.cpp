#include "combs/combsgen.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

const char* const kGenModeCaptions[kGenModeCount] = {
    "Полный список (все возможные для данного лото варианты)",
    "Мои числа - должно присутствовать любое из указанных",
    "Мои числа - комбинации только из списка указанных",
    "Мои числа - исключить комбинации с любым из указанных",
    "Загрузить список из заранее подготовленного CSV-файла",
};

TGenNumbers GenNumbersFromText(std::string_view text) {
  TGenNumbers set;
  for (const std::string& w : SplitAny(text, ",;", false)) {
    int v = NumberFromText(w);
    if (v >= 0 && v <= 255) set.set(static_cast<size_t>(v));
  }
  return set;
}

TCombsGenParams MakeGenParams(int mode, std::string_view text) {
  TCombsGenParams p;
  p.Mode = mode >= 0 && mode <= 255 ? static_cast<uint8_t>(mode) : 0;
  p.Params = Utf8Left(text, kGenParamsMaxChars);
  return p;
}

namespace {

// The nested enumeration of 7 ascending numbers from 1..35; pass() sees the numbers as a bit mask.
// Returns how many combinations were written.
template <class Pass>
size_t Enumerate(TComb* out, Pass pass) {
  TComb* p = out;
  TComb c;
  for (int a = 1; a <= MAX_NUMBER - 6; ++a) {
    c.n[0] = static_cast<uint8_t>(a);
    const uint64_t ma = uint64_t{1} << a;
    for (int b = a + 1; b <= MAX_NUMBER - 5; ++b) {
      c.n[1] = static_cast<uint8_t>(b);
      const uint64_t mb = ma | uint64_t{1} << b;
      for (int d3 = b + 1; d3 <= MAX_NUMBER - 4; ++d3) {
        c.n[2] = static_cast<uint8_t>(d3);
        const uint64_t mc = mb | uint64_t{1} << d3;
        for (int d = d3 + 1; d <= MAX_NUMBER - 3; ++d) {
          c.n[3] = static_cast<uint8_t>(d);
          const uint64_t md = mc | uint64_t{1} << d;
          for (int e = d + 1; e <= MAX_NUMBER - 2; ++e) {
            c.n[4] = static_cast<uint8_t>(e);
            const uint64_t me = md | uint64_t{1} << e;
            for (int f = e + 1; f <= MAX_NUMBER - 1; ++f) {
              c.n[5] = static_cast<uint8_t>(f);
              const uint64_t mf = me | uint64_t{1} << f;
              for (int g = f + 1; g <= MAX_NUMBER; ++g) {
                c.n[6] = static_cast<uint8_t>(g);
                if (pass(mf | uint64_t{1} << g)) *p++ = c;
              }
            }
          }
        }
      }
    }
  }
  return static_cast<size_t>(p - out);
}

}  // namespace

void GenerateCombs(int mode, const TGenNumbers& nums, TCombsList& list) {
  uint64_t set = 0;
  for (int n = 1; n <= MAX_NUMBER; ++n)
    if (nums.test(static_cast<size_t>(n))) set |= uint64_t{1} << n;
  list.Clear();
  // Room for the whole enumeration up front; a list reserved at start-up does not move.
  TComb* out = list.Tail(COMBS_TOTAL);
  size_t made;
  switch (mode) {
    case kGenModeAny:
      made = Enumerate(out, [set](uint64_t m) { return (m & set) != 0; });
      break;
    case kGenModeOnly:
      made = Enumerate(out, [set](uint64_t m) { return (m & ~set) == 0; });
      break;
    case kGenModeNone:
      made = Enumerate(out, [set](uint64_t m) { return (m & set) == 0; });
      break;
    default:
      made = Enumerate(out, [](uint64_t) { return true; });
      break;
  }
  list.Commit(made);
}

uint64_t NumbersKey(const uint8_t* n) {
  uint8_t s[NUMS_IN_DRAW];
  std::copy(n, n + NUMS_IN_DRAW, s);
  std::sort(s, s + NUMS_IN_DRAW);
  uint64_t k = 0;
  for (uint8_t v : s) k = k << 8 | v;
  return k;
}

TDrawWindow LastDrawsWindow(int drawCount, int drawsOffset, int n) {
  TDrawWindow w;
  const int64_t newest = int64_t{drawCount} - 1 - drawsOffset;
  if (n <= 0 || newest < 0) return w;
  w.First = static_cast<int>(std::max<int64_t>(0, newest - n + 1));
  w.Last = static_cast<int>(newest);
  return w;
}

std::string ExcludeStatusText(int n) {
  return Format("Удаление из списка комбинаций %d последних тиражей...", {n});
}

std::string ExcludeProgressText(int n, double percent) {
  return Format("Удаление из списка комбинаций %d последних тиражей ( завершено %.0f %% )...", {n, percent});
}

namespace {

// The numbers of a row as a bit mask; a number outside 1..35 sets bit 63.
struct TMaskTable {
  uint64_t bit[256];
  TMaskTable() {
    for (int v = 0; v < 256; ++v) bit[v] = v >= 1 && v <= MAX_NUMBER ? uint64_t{1} << v : uint64_t{1} << 63;
  }
};
const TMaskTable kMask;

// A fixed pseudo-random 16-bit value per byte value; the XOR of a row's seven values does not depend on
// the order of its numbers.
struct TFilterHash {
  uint16_t value[256];
  TFilterHash() {
    uint64_t x = 0x2545F4914F6CDD1Dull;
    for (uint16_t& v : value) {
      x ^= x << 13;
      x ^= x >> 7;
      x ^= x << 17;
      v = static_cast<uint16_t>(x >> 24);
    }
  }
};
const TFilterHash kFilterHash;

inline uint64_t MaskOf(const uint8_t* n) {
  return kMask.bit[n[0]] | kMask.bit[n[1]] | kMask.bit[n[2]] | kMask.bit[n[3]] | kMask.bit[n[4]] |
         kMask.bit[n[5]] | kMask.bit[n[6]];
}

// The draws of the window by the mask of their numbers. A mask of seven bits below 63 can only come
// from seven distinct valid numbers, so such a hit is a match; rows with repeated or invalid numbers
// are compared as sorted multisets.
class TDrawSet {
 public:
  explicit TDrawSet(const std::vector<const TDraw*>& draws) {
    for (const TDraw* d : draws) entries_.push_back({MaskOf(d->Nums), NumbersKey(d->Nums)});
    std::sort(entries_.begin(), entries_.end(),
              [](const Entry& a, const Entry& b) { return a.mask != b.mask ? a.mask < b.mask : a.key < b.key; });
    size_t size = 16;
    while (size < entries_.size() * 4) size <<= 1;
    shift_ = 64 - std::countr_zero(size);
    slots_.assign(size, Slot{0, 0});
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (i > 0 && entries_[i].mask == entries_[i - 1].mask) continue;
      size_t h = Hash(entries_[i].mask);
      while (slots_[h].mask != 0) h = (h + 1) & (size - 1);
      slots_[h] = {entries_[i].mask, static_cast<uint32_t>(i)};
    }
    for (const TDraw* d : draws) {
      const uint32_t f = FilterIndex(d->Nums);
      filter_[f >> 6] |= uint64_t{1} << (f & 63);
    }
    sizeMask_ = size - 1;
  }

  // False when no draw of the set can have these numbers; most rows are answered here, by a filter of
  // 65,536 bits indexed by an order-independent hash of the seven numbers.
  bool MayContain(const uint8_t* n) const {
    const uint32_t f = FilterIndex(n);
    return ((filter_[f >> 6] >> (f & 63)) & 1) != 0;
  }

  bool Contains(const uint8_t* n) const {
    const uint64_t m = MaskOf(n);
    size_t h = Hash(m);
    for (;;) {
      const Slot& s = slots_[h];
      if (s.mask == 0) return false;
      if (s.mask == m) break;
      h = (h + 1) & sizeMask_;
    }
    if (std::popcount(m) == NUMS_IN_DRAW && (m >> 63) == 0) return true;
    const uint64_t key = NumbersKey(n);
    for (size_t i = slots_[h].first; i < entries_.size() && entries_[i].mask == m; ++i)
      if (entries_[i].key == key) return true;
    return false;
  }

  bool Empty() const { return entries_.empty(); }

 private:
  struct Entry {
    uint64_t mask, key;
  };
  struct Slot {
    uint64_t mask;  // never 0 for a row of seven bytes
    uint32_t first;
  };
  static uint32_t FilterIndex(const uint8_t* n) {
    const uint16_t* r = kFilterHash.value;
    return static_cast<uint32_t>(r[n[0]] ^ r[n[1]] ^ r[n[2]] ^ r[n[3]] ^ r[n[4]] ^ r[n[5]] ^ r[n[6]]);
  }
  size_t Hash(uint64_t m) const { return static_cast<size_t>((m * 0x9E3779B97F4A7C15ull) >> shift_); }
  std::vector<Entry> entries_;
  std::vector<Slot> slots_;
  uint64_t filter_[1024] = {};
  int shift_ = 60;
  size_t sizeMask_ = 15;
};

}  // namespace

void ExcludeLastDraws(const TDrawArchive& archive, int drawsOffset, int n, const TCombsList& from,
                      TCombsList& to, const std::function<void(const std::string&)>& status) {
  const TDrawWindow w = LastDrawsWindow(archive.Count(), drawsOffset, n);
  std::vector<const TDraw*> draws;
  for (int i = w.First; i <= w.Last; ++i) draws.push_back(&archive[i]);
  const TDrawSet set(draws);

  to.Clear();
  const int total = from.Count();
  TComb* out = to.Tail(static_cast<size_t>(total));
  const TComb* in = from.Data();
  const int step = std::max(1, total / 100);
  size_t kept = 0;
  for (int start = 0; start < total; start += step) {
    if (status) status(ExcludeProgressText(n, start * 100.0 / total));
    const int stop = std::min(total, start + step);
    if (set.Empty()) {
      std::copy(in + start, in + stop, out + kept);
      kept += static_cast<size_t>(stop - start);
      continue;
    }
    for (int i = start; i < stop; ++i)
      if (!set.MayContain(in[i].n) || !set.Contains(in[i].n)) out[kept++] = in[i];
  }
  to.Commit(kept);
}

namespace {

// Place of seven ascending numbers 1..35 among all combinations in ascending lexicographic order.
size_t LexPlace(const uint8_t* c) {
  static const auto binom = [] {
    std::vector<std::vector<size_t>> b(MAX_NUMBER + 1, std::vector<size_t>(NUMS_IN_DRAW + 1, 0));
    for (int m = 0; m <= MAX_NUMBER; ++m) {
      b[m][0] = 1;
      for (int k = 1; k <= NUMS_IN_DRAW && k <= m; ++k) b[m][k] = b[m - 1][k - 1] + (k <= m - 1 ? b[m - 1][k] : 0);
    }
    return b;
  }();
  size_t place = 0;
  int prev = 0;
  for (int i = 0; i < NUMS_IN_DRAW; ++i) {
    // The combinations that agree before position i and hold a smaller number there come first.
    for (int v = prev + 1; v < c[i]; ++v) place += binom[MAX_NUMBER - v][NUMS_IN_DRAW - 1 - i];
    prev = c[i];
  }
  return place;
}

}  // namespace

void ExcludeLastDrawsFromFull(const TDrawArchive& archive, int drawsOffset, int n, const TCombsList& full,
                              TCombsList& to) {
  auto fallBack = [&] { ExcludeLastDraws(archive, drawsOffset, n, full, to, {}); };
  if (full.Count() != COMBS_TOTAL) return fallBack();
  const TDrawWindow w = LastDrawsWindow(archive.Count(), drawsOffset, n);
  std::vector<size_t> places;
  for (int i = w.First; i <= w.Last; ++i) {
    uint8_t s[NUMS_IN_DRAW];
    std::copy(archive[i].Nums, archive[i].Nums + NUMS_IN_DRAW, s);
    std::sort(s, s + NUMS_IN_DRAW);
    // Only seven different numbers 1..35 can be a combination of the list.
    bool valid = s[0] >= 1 && s[NUMS_IN_DRAW - 1] <= MAX_NUMBER;
    for (int k = 1; k < NUMS_IN_DRAW && valid; ++k) valid = s[k] > s[k - 1];
    if (!valid) continue;
    const size_t place = LexPlace(s);
    if (!std::equal(s, s + NUMS_IN_DRAW, full[static_cast<int>(place)].n)) return fallBack();
    places.push_back(place);
  }
  std::sort(places.begin(), places.end());
  places.erase(std::unique(places.begin(), places.end()), places.end());
  to.Clear();
  TComb* out = to.Tail(full.Count() - places.size());
  size_t from = 0;
  for (size_t place : places) {
    out = std::copy(full.Data() + from, full.Data() + place, out);
    from = place + 1;
  }
  std::copy(full.Data() + from, full.Data() + full.Count(), out);
  to.Commit(full.Count() - places.size());
}

}  // namespace quintar
