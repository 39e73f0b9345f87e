#include "stats/families/partition.h"

#include <algorithm>

namespace quintar {

namespace {

// Fills the lookups from Of and Order.
TPartition Finish(TPartition p) {
  for (auto& i : p.Index) i = -1;
  for (int k = 0; k < p.Count; ++k) p.Index[p.Order[k]] = static_cast<int8_t>(k);
  for (int n = 1; n <= MAX_NUMBER; ++n) p.Members[p.Of[n]] |= NumberBit(n);
  return p;
}

// Groups 1..count in order.
TPartition Numbered(TPartition p, int count) {
  p.Count = std::min(count, MAX_NUMBER);
  for (int g = 1; g <= p.Count; ++g) p.Order[g - 1] = static_cast<uint8_t>(g);
  return Finish(p);
}

}  // namespace

TPartition ChannelPartition(int size) {
  if (size < 1) size = 1;  // the settings never give less; a size of 0 would divide by zero
  TPartition p;
  for (int n = 1; n <= MAX_NUMBER; ++n) p.Of[n] = static_cast<uint8_t>(ChannelOf(n, size));
  return Numbered(p, ChannelOf(MAX_NUMBER, size));
}

TPartition ColumnPartition(int cols) {
  if (cols < 1) cols = 1;
  TPartition p;
  for (int n = 1; n <= MAX_NUMBER; ++n) p.Of[n] = static_cast<uint8_t>(ColumnOf(n, cols));
  return Numbered(p, cols);
}

TPartition RowPartition(int cols) {
  if (cols < 1) cols = 1;
  TPartition p;
  for (int n = 1; n <= MAX_NUMBER; ++n) p.Of[n] = static_cast<uint8_t>(RowOf(n, cols));
  return Numbered(p, GroupCount(1, MAX_NUMBER, cols));
}

TPartition NumberPartition() {
  TPartition p;
  for (int n = 1; n <= MAX_NUMBER; ++n) p.Of[n] = static_cast<uint8_t>(n);
  return Numbered(p, MAX_NUMBER);
}

TPartition SegmentPartition(const uint8_t table[MAX_NUMBER]) {
  TPartition p;
  bool listed[MAX_NUMBER + 1] = {};
  for (int n = 1; n <= MAX_NUMBER; ++n) {
    // Segments are 1..9 (the settings file and the dialog give nothing else).
    const int s = table[n - 1] >= 1 && table[n - 1] <= MAX_NUMBER ? table[n - 1] : 1;
    p.Of[n] = static_cast<uint8_t>(s);
    if (!listed[s]) {
      listed[s] = true;
      p.Order[p.Count++] = static_cast<uint8_t>(s);
    }
  }
  return Finish(p);
}

std::string KeyPartsText(const TStatKey& key, int k) {
  std::string text;
  for (int j = 1; j <= k; ++j) {
    if (j > 1) text += ':';
    text += std::to_string(key.Part(j));
  }
  return text;
}

std::pair<int, int> SegmentRange(const uint8_t table[MAX_NUMBER]) {
  const TPartition p = SegmentPartition(table);
  int lo = 9, hi = 1;
  for (int n = 1; n <= MAX_NUMBER; ++n) {
    lo = std::min<int>(lo, p.Of[n]);
    hi = std::max<int>(hi, p.Of[n]);
  }
  return {lo, hi};
}

}  // namespace quintar
