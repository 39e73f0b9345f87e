// The statistic value record: what every statistic produces for a draw or a combination, what the
// statistics table shows per row and what a filter selects. A value list holds one record per distinct
// key, in insertion order.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quintar {

static_assert(std::endian::native == std::endian::little, "value keys are laid out little-endian");

// The 8-byte value key. Statistics read it as four int16 parts (1..4), as two int32 parts (1..2; part 1
// covers int16 parts 1 and 2) or as eight bytes (1..8). Two keys are equal when all 8 bytes are.
struct TStatKey {
  uint8_t Bytes[8];

  int16_t Part(int i) const {
    int16_t v;
    std::memcpy(&v, Bytes + 2 * (i - 1), 2);
    return v;
  }
  void SetPart(int i, int v) {
    int16_t x = static_cast<int16_t>(v);
    std::memcpy(Bytes + 2 * (i - 1), &x, 2);
  }
  int32_t Part32(int i) const {
    int32_t v;
    std::memcpy(&v, Bytes + 4 * (i - 1), 4);
    return v;
  }
  void SetPart32(int i, int32_t v) { std::memcpy(Bytes + 4 * (i - 1), &v, 4); }
  uint8_t Byte(int i) const { return Bytes[i - 1]; }
  uint64_t Raw() const {
    uint64_t v;
    std::memcpy(&v, Bytes, 8);
    return v;
  }
  void Clear() { std::memset(Bytes, 0, 8); }
  bool operator==(const TStatKey& o) const { return Raw() == o.Raw(); }
};
static_assert(sizeof(TStatKey) == 8);

// Key from four 16-bit parts, or from two 32-bit parts.
TStatKey MakeKey(int p1, int p2 = 0, int p3 = 0, int p4 = 0);
TStatKey MakeKey32(int32_t p1, int32_t p2 = 0);

struct TStatDraw {
  int32_t LastDraw = 0;    // number of the newest draw showing the value, 0 = never
  int32_t Depth = 0;       // distance of that draw from the end of the window, 1 = newest draw
  int32_t SeenDraw = 0;    // draw number of the occurrence merged last (periods)
  uint16_t MinPeriod = 0;  // smallest distance in draw numbers between two occurrences, 0 = none
  uint16_t MaxPeriod = 0;  // largest such distance, 0 = none
  int32_t Count = 0;
  int32_t Norm = 0;        // expected count from the full set of combinations
  TStatKey Key{};
};
static_assert(sizeof(TStatDraw) == 32);

using TStatDrawArray = std::vector<TStatDraw>;

// Newest draw number in which a value was seen.
struct TLastValue {
  int32_t LastDraw = 0;
  TStatKey Key{};
};
static_assert(sizeof(TLastValue) == 12);

using TLastValueArray = std::vector<TLastValue>;

// Scratch area for a run over consecutive draws: 35 records of three int32, zeroed by the caller before
// the run. Statistics that carry state from one draw to the next keep it here.
struct TStatContext {
  int32_t Items[35][3] = {};
  void Clear() { std::memset(Items, 0, sizeof Items); }
};

// Merges V into List by key. With Track the distance from the occurrence merged before gives the
// periods; the value's newest occurrence is kept (draws are merged oldest first).
void AddStatValue(TStatDrawArray& List, const TStatDraw& V, bool Track);
// The merge of V into the record E that holds V's key.
void MergeStatValue(TStatDraw& E, const TStatDraw& V, bool Track);

// A hash index over one value list for statistics that merge many distinct values (thousands of
// combinations of channels over a window of draws): merging through it gives exactly what AddStatValue
// gives, the same records in the same order, without searching the list. Short lists are merged by
// AddStatValue itself. The index follows the list it merged into last and indexes it anew whenever that
// list was changed by anyone else (its storage, size, first or last key differ).
class TStatIndex {
 public:
  void Merge(TStatDrawArray& List, const TStatDraw& V, bool Track);

 private:
  static constexpr size_t kMinSize = 24;
  bool Follows(const TStatDrawArray& List) const;
  void Rebuild(const TStatDrawArray& List);
  void Insert(uint64_t raw, int32_t index);
  void Remember(const TStatDrawArray& List);
  const TStatDraw* data_ = nullptr;
  size_t size_ = 0;
  uint64_t first_ = 0, last_ = 0;
  std::vector<int32_t> slots_;  // record index or -1; a power of two, more than twice the list
};

// Remembers V's draw as the newest draw of its key: returns V.LastDraw minus the draw stored before, or
// -1 when the key is new.
int32_t UpdateLastValue(TLastValueArray& List, const TStatDraw& V);

// Index of the record with the key, -1 when there is none.
int IndexOfKey(const TStatDrawArray& List, const TStatKey& Key);

// Key lookups; an empty list matches nothing.
bool HasKey(const TStatDrawArray& List, int k1, int k2, int k3, int k4);  // all four 16-bit parts
bool HasKeyPair(const TStatDrawArray& List, int k1, int k3);              // 16-bit parts 1 and 3
bool HasKeyPart(const TStatDrawArray& List, int i, int v);                // 16-bit part i (1..4)
bool HasKeyPart32(const TStatDrawArray& List, int i, int32_t v);          // 32-bit part i (1..2)
bool HasKeyByte(const TStatDrawArray& List, int i, int b);                // byte i (1..8)

}  // namespace quintar
