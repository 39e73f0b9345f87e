#include "stats/drawsstat.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>

#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

namespace {

const char* const kDash = "-";

// Format("%.Nf") of a value, without parsing the format (tables write tens of thousands of them).
std::string Fixed(int decimals, double v) { return FloatToFixed(v, decimals); }

// Index of every key of a value list: open addressing over a power-of-two table more than twice the list
// (a table of pairs to quadruples has 35,000 keys; a node a key would be one allocation each).
class TKeyIndex {
 public:
  explicit TKeyIndex(const TStatDrawArray& list) {
    size_t size = 16;
    while (size < list.size() * 2 + 1) size <<= 1;
    mask_ = size - 1;
    slots_.assign(size, {0, -1});
    for (size_t i = 0; i < list.size(); ++i) {
      const uint64_t raw = list[i].Key.Raw();
      size_t at = Hash(raw) & mask_;
      while (slots_[at].second >= 0 && slots_[at].first != raw) at = (at + 1) & mask_;
      if (slots_[at].second < 0) slots_[at] = {raw, static_cast<int64_t>(i)};  // the first of equal keys
    }
  }
  // The index of the record with the key, -1 when there is none.
  int64_t Find(uint64_t raw) const {
    for (size_t at = Hash(raw) & mask_;; at = (at + 1) & mask_) {
      if (slots_[at].second < 0) return -1;
      if (slots_[at].first == raw) return slots_[at].second;
    }
  }

 private:
  static size_t Hash(uint64_t k) {
    k ^= k >> 29;
    k *= 0xbf58476d1ce4e5b9ull;
    k ^= k >> 32;
    return static_cast<size_t>(k);
  }
  size_t mask_ = 0;
  std::vector<std::pair<uint64_t, int64_t>> slots_;
};

// The "Факт" column: for every value seen in the window (Count >= 1, Depth > 0), the number of the first
// draw after its newest occurrence that shows it again, as FindNextDraw finds it; -1 when none does. A
// statistic that keeps no state between draws gives every draw the same values whichever draw a search
// starts from, so one walk over the draws after the oldest such occurrence answers every value at once.
// The periods keep their last values through the walk, which begins at that oldest occurrence itself: a
// value's item then has its exact last draw from the value's own occurrence on, as the value's own search
// would have it. The series are searched value by value.
std::vector<int32_t> NextDraws(TCustomStat& stat, const TStatDrawArray& values,
                               const TKeyIndex& index, const TDrawArchive* archive,
                               int last, bool sorted) {
  std::vector<int32_t> facts(values.size(), -1);
  if (!archive) return facts;
  std::vector<int> from(values.size(), -1);
  int first = std::numeric_limits<int>::max();
  size_t pending = 0;
  for (size_t r = 0; r < values.size(); ++r) {
    const TStatDraw& v = values[r];
    if (v.Count < 1 || v.Depth <= 0) continue;
    const int at = archive->IndexOfDraw(v.LastDraw);
    if (at < 0) continue;
    if (stat.StatClass().CarriesContext) {
      facts[r] = stat.FindNextDraw(v, at + 1, last, sorted);
      continue;
    }
    from[r] = at + 1;
    first = std::min(first, at + 1);
    ++pending;
  }
  const bool periods = (stat.GetKinds() & KIND_P) != 0;
  // A value's newest occurrence in the window is its last draw, so no draw of the window after it shows it
  // again: the walk begins after the window (the periods begin at the occurrence, to build their items).
  if (!periods) first = std::max(first, last + 1);
  TStatDrawArray list;
  TLastValueArray lastValues;
  TStatContext context;
  const int start = pending > 0 && periods ? first - 1 : first;
  for (int i = start; pending > 0 && i <= archive->High(); ++i) {
    list.clear();
    if (!periods) lastValues.clear();
    context.Clear();
    stat.DrawValues(i, last, sorted, list, context, lastValues);
    for (const auto& v : list) {
      const int64_t at = index.Find(v.Key.Raw());
      if (at < 0) continue;
      const size_t r = static_cast<size_t>(at);
      if (facts[r] < 0 && from[r] >= 0 && from[r] <= i) {
        facts[r] = v.LastDraw;
        --pending;
      }
    }
  }
  return facts;
}

}  // namespace

const std::array<std::string, kDrawsStatColumns>& DrawsStatCaptions() {
  static const std::array<std::string, kDrawsStatColumns> captions = {
      "Значение",    "Количество", "Кол-во в %", "Норма",      "Отклонение", "Откл-ие в %", "Глубина",
      "Глубина в %", "Вес",        "Посл. тираж", "Период min", "Период",     "Период max",  "Ожд. ПРД",
      "Ожд. СТФ",    "Ожд. КРН",   "Факт",       "+/- ПРД",    "+/- СТФ",    "+/- КРН"};
  return captions;
}

int DrawsStatColumnOf(std::string_view caption) {
  const auto& c = DrawsStatCaptions();
  for (int i = 0; i < kDrawsStatColumns; ++i)
    if (c[static_cast<size_t>(i)] == caption) return i;
  return -1;
}

TDrawsStatWindow DrawsStatWindow(int archiveCount, int drawsOffset, int len) {
  TDrawsStatWindow w;
  w.Last = archiveCount - 1 - drawsOffset;
  const int64_t first = static_cast<int64_t>(w.Last) - std::max(len, 1) + 1;
  w.First = static_cast<int>(std::max<int64_t>(0, first));
  return w;
}

TStatTotals StatTotals(const TStatDrawArray& list) {
  TStatTotals t;
  for (const auto& v : list) {
    t.SumCount += v.Count;
    if (v.Count < t.MinCount) t.MinCount = v.Count;
    if (v.Count > t.MaxCount) t.MaxCount = v.Count;
    if (v.Depth > 0 && v.Depth > t.MaxDepth) t.MaxDepth = v.Depth;
  }
  return t;
}

int CompareStatKeys(const TStatKey& a, const TStatKey& b) {
  for (int i = 1; i <= 4; ++i) {
    const int x = a.Part(i), y = b.Part(i);
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

void SortStatValues(TStatDrawArray& list) {
  std::stable_sort(list.begin(), list.end(),
                   [](const TStatDraw& a, const TStatDraw& b) { return CompareStatKeys(a.Key, b.Key) < 0; });
}

double NormScale(int32_t t0, int32_t t1, const TStatTotals& window) {
  if (t1 <= 0) return 0;
  if (t0 == t1) return (static_cast<double>(window.MinCount) + window.MaxCount) / 2.0 / t1;
  return static_cast<double>(window.MaxCount) / t1;
}

int64_t RoundNearest(double v) { return std::llround(v); }

int32_t NormOf(int32_t fileCount, double scale) {
  const double v = std::round(static_cast<double>(fileCount) * scale);
  if (!(v < 2147483647.0)) return std::numeric_limits<int32_t>::max();
  if (!(v > -2147483648.0)) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

std::string ExpectedDiffText(std::string_view expected, std::string_view fact) {
  auto e = TryStrToInt64(expected);
  auto f = TryStrToInt64(fact);
  if (!e || *e < 0 || !f) return kDash;
  const int64_t d = *e - *f;
  return d > 0 ? "+" + IntToStr(d) : IntToStr(d);
}

double WeightOf(const TStatDraw& v, const TWeightCoefs& w, const TStatTotals& totals, bool normsAvailable) {
  const double dev = normsAvailable ? static_cast<double>(v.Count) - v.Norm : 0.0;
  double c, d, l;
  if (w.UsePercents) {
    c = totals.SumCount != 0 ? v.Count * 100.0 / static_cast<double>(totals.SumCount) : 0.0;
    d = normsAvailable && v.Norm != 0 ? dev * 100.0 / v.Norm : 0.0;
    l = totals.MaxDepth != 0 ? v.Depth * 100.0 / totals.MaxDepth : 0.0;
  } else {
    c = v.Count;
    d = dev;
    l = v.Depth;
  }
  if (w.UseAbsValues) {
    c = std::fabs(c);
    d = std::fabs(d);
    l = std::fabs(l);
  }
  return w.Count * c + w.Deviation * d + w.Level * l;
}

namespace {

// The cells of a value record, columns in order, handed to Put.
template <class Put>
void WriteDrawsStatCells(const TStatDraw& v, std::string_view valueText, int windowLength, const TStatTotals& totals,
                         bool normsAvailable, const TWeightCoefs& weights, int32_t fact, Put put) {
  auto dashes = [&](int count) {
    for (int i = 0; i < count; ++i) put(kDash);
  };
  put(valueText);
  put(IntToStr(v.Count));
  put(totals.SumCount != 0 ? Fixed(5, v.Count * 100.0 / static_cast<double>(totals.SumCount)) : kDash);
  if (normsAvailable) {
    const int64_t dev = static_cast<int64_t>(v.Count) - v.Norm;
    put(IntToStr(v.Norm));
    put(IntToStr(dev));
    put(v.Norm != 0 ? Fixed(5, static_cast<double>(dev) * 100.0 / v.Norm) : Fixed(5, v.Count > 0 ? 100.0 : 0.0));
  } else {
    dashes(3);
  }
  if (v.Depth == 0) return dashes(kDrawsStatColumns - dscDepth);
  const double n = windowLength;
  put(IntToStr(v.Depth));
  put(totals.MaxDepth != 0 ? Fixed(2, v.Depth * 100.0 / totals.MaxDepth) : kDash);
  put(Fixed(2, WeightOf(v, weights, totals, normsAvailable)));
  put(IntToStr(v.LastDraw));
  std::string prd = kDash;
  if (v.Count < 2) {
    dashes(dscExpectedPrd - dscPeriodMin);
  } else {
    put(IntToStr(v.MinPeriod));
    put(Fixed(4, n / v.Count));
    put(IntToStr(v.MaxPeriod));
    prd = IntToStr(RoundNearest(n / v.Count + v.LastDraw));
  }
  put(prd);
  // A value seen with a count of 0 (the candidates of VNK3 that did not come true) has no "Ожд. СТФ": its
  // formula would divide by the count. "Ожд. КРН" divides by the count + 1.
  const double count = v.Count, last = v.LastDraw;
  const std::string stf = v.Count != 0 ? IntToStr(RoundNearest((count + 1) * last / count)) : kDash;
  const std::string krn = IntToStr(RoundNearest((count + 2) * (last + 1) / (count + 1)));
  put(stf);
  put(krn);
  if (fact < 0) return dashes(dscDiffKrn - dscFact + 1);
  const std::string f = IntToStr(fact);
  put(f);
  put(ExpectedDiffText(prd, f));
  put(ExpectedDiffText(stf, f));
  put(ExpectedDiffText(krn, f));
}

}  // namespace

std::array<std::string, kDrawsStatColumns> DrawsStatCells(const TStatDraw& v, const std::string& valueText,
                                                          int windowLength, const TStatTotals& totals,
                                                          bool normsAvailable, const TWeightCoefs& weights,
                                                          int32_t fact) {
  std::array<std::string, kDrawsStatColumns> c;
  size_t k = 0;
  WriteDrawsStatCells(v, valueText, windowLength, totals, normsAvailable, weights, fact,
                      [&](std::string_view text) { c[k++] = text; });
  return c;
}

// TDrawsStatRow ----------------------------------------------------------------------------------------

std::array<std::string, kDrawsStatColumns> TDrawsStatRow::Cells() const {
  std::array<std::string, kDrawsStatColumns> c;
  for (int i = 0; i < kDrawsStatColumns; ++i) c[static_cast<size_t>(i)] = Cell(i);
  return c;
}

void TDrawsStatRow::SetCells(const std::array<std::string, kDrawsStatColumns>& cells) {
  text_.clear();
  cells_ = 0;
  for (const auto& c : cells) AddCell(c);
}

void TDrawsStatRow::AddCell(std::string_view text) {
  if (cells_ >= kDrawsStatColumns) return;
  if (cells_ == 0) text_.reserve(kRowTextReserve);
  text_.append(text);
  ends_[cells_++] = static_cast<uint32_t>(text_.size());
}

void TDrawsStatRow::SetText(std::string_view text, const uint32_t (&ends)[kDrawsStatColumns]) {
  text_.assign(text);
  std::copy(std::begin(ends), std::end(ends), ends_);
  cells_ = kDrawsStatColumns;
}

namespace {

// The cells of one row gathered on the stack and handed to the row in one piece (a table may make
// 700,000 cells); a row longer than the buffer goes on in a string.
class TRowText {
 public:
  void Put(std::string_view t) {
    if (cells_ >= kDrawsStatColumns) return;
    if (long_.empty() && n_ + t.size() <= sizeof buf_) {
      std::memcpy(buf_ + n_, t.data(), t.size());
      n_ += t.size();
    } else {
      if (long_.empty()) long_.assign(buf_, n_);
      long_.append(t);
      n_ = long_.size();
    }
    ends_[cells_++] = static_cast<uint32_t>(n_);
  }
  void MoveTo(TDrawsStatRow& row) {
    while (cells_ < kDrawsStatColumns) ends_[cells_++] = static_cast<uint32_t>(n_);
    row.SetText(long_.empty() ? std::string_view(buf_, n_) : std::string_view(long_), ends_);
    n_ = 0;
    cells_ = 0;
    long_.clear();
  }

 private:
  char buf_[1024];
  size_t n_ = 0;
  int cells_ = 0;
  uint32_t ends_[kDrawsStatColumns] = {};
  std::string long_;
};

// A cell prepared for comparing: its number when it reads as one, and its text. A short text of ASCII
// characters alone (most cells) is kept in upper case in the cell itself, so that sorting tables of tens
// of thousands of rows compares bytes close at hand; upper-case ASCII bytes compare the way
// AnsiCompareText orders such texts. Other texts compare through AnsiCompareText.
struct SortCell {
  std::optional<double> num;
  std::string_view text;
  bool inlined = false;
  uint8_t length = 0;
  // The first 8 upper-case bytes as one big-endian number, zeros after the end: most texts of a table
  // differ within them.
  uint64_t head = 0;
  char upper[22];
};

SortCell MakeSortCell(std::string_view s) {
  SortCell c;
  c.text = s;
  // Whole numbers are read here; texts with a character no number has are none; the rest as the
  // program reads numbers (TryStrToFloat takes "," for ".").
  bool ascii = true, digits = !s.empty(), numeric = true;
  for (size_t k = 0; k < s.size(); ++k) {
    const char ch = s[k];
    ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
    const bool digit = ch >= '0' && ch <= '9';
    digits = digits && (digit || (k == 0 && ch == '-' && s.size() > 1));
    numeric = numeric && (digit || ch == ',' || ch == '.' || ch == '-' || ch == '+' || ch == 'e' || ch == 'E' || ch == ' ');
  }
  if (digits && s.size() <= 15) {
    int64_t v = 0;
    for (char ch : s)
      if (ch != '-') v = v * 10 + (ch - '0');
    c.num = static_cast<double>(s[0] == '-' ? -v : v);
  } else if (numeric) {
    c.num = TryStrToFloat(s);
  }
  if (ascii && s.size() <= sizeof c.upper) {
    c.inlined = true;
    c.length = static_cast<uint8_t>(s.size());
    for (size_t k = 0; k < s.size(); ++k) c.upper[k] = s[k] >= 'a' && s[k] <= 'z' ? static_cast<char>(s[k] - 32) : s[k];
    for (size_t k = 0; k < 8; ++k) c.head = (c.head << 8) | (k < s.size() ? static_cast<unsigned char>(c.upper[k]) : 0u);
  }
  return c;
}

int CompareTexts(const SortCell& a, const SortCell& b) {
  if (!a.inlined || !b.inlined) return AnsiCompareText(a.text, b.text);
  if (a.head != b.head) return a.head < b.head ? -1 : 1;
  // No text holds a zero byte: equal heads mean equal first bytes up to the shorter length.
  const size_t from = std::min<size_t>(8, std::min(a.length, b.length));
  const int c = std::memcmp(a.upper + from, b.upper + from, std::min(a.length, b.length) - from);
  if (c != 0) return c;
  return a.length == b.length ? 0 : (a.length < b.length ? -1 : 1);
}

int CompareSortCells(const SortCell& a, const SortCell& b) {
  if (a.num && b.num) return *a.num < *b.num ? -1 : (*a.num > *b.num ? 1 : 0);
  const int c = CompareTexts(a, b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

int CompareDrawsStatCells(std::string_view a, std::string_view b) {
  return CompareSortCells(MakeSortCell(a), MakeSortCell(b));
}

// TDrawsStat -------------------------------------------------------------------------------------------

std::optional<int> TDrawsStat::ParseDrawsStatLen(std::string_view text) {
  auto v = TryStrToInt64(Trim(text));
  if (!v || *v < kDrawsStatLenMin || *v > kDrawsStatLenMax) return std::nullopt;
  return static_cast<int>(*v);
}

bool TDrawsStat::Remember(const TDrawsStatMemory& now) {
  const bool changed = !(now == Memory);
  Memory = now;
  return changed;
}

void TDrawsStat::Clear() {
  rows_.clear();
  order_.clear();
  values_.clear();
  totals_ = TStatTotals{};
  normsAvailable_ = false;
  window_ = TDrawsStatWindow{};
  chart_.Clear();
  method_ = -1;
}

void TDrawsStat::Compute(const TDrawsStatInput& in) {
  Clear();
  if (!in.Stat) return;
  TCustomStat& stat = *in.Stat;
  window_ = in.Window;
  const int first = window_.First, last = window_.Last;

  stat.ListValues(last, values_);
  if (last >= first) {
    TStatContext context;
    context.Clear();
    TLastValueArray lastValues;
    for (int i = first; i <= last; ++i) stat.DrawValues(i, last, in.Sorted, values_, context, lastValues);
  }
  totals_ = StatTotals(values_);

  const TKeyIndex index(values_);
  double scale = 0;
  if (in.Prefetch && in.Prefetch->MaxCount > 0) {
    scale = NormScale(in.Prefetch->MinCount, in.Prefetch->MaxCount, totals_);
    for (const auto& r : in.Prefetch->Records) {
      const int64_t at = index.Find(r.Key.Raw());
      if (at >= 0) values_[static_cast<size_t>(at)].Norm = NormOf(r.Count, scale);
    }
    normsAvailable_ = true;
  }

  const int length = window_.Length();
  const std::vector<int32_t> facts = NextDraws(stat, values_, index, in.Archive, last, in.Sorted);
  rows_.reserve(values_.size());
  order_.reserve(values_.size());
  TRowText cells;
  for (size_t r = 0; r < values_.size(); ++r) {
    const TStatDraw& v = values_[r];
    TDrawsStatRow& row = rows_.emplace_back();
    row.Rec = v;
    WriteDrawsStatCells(v, stat.ValueToText(v), length, totals_, normsAvailable_, in.Weights, facts[r],
                        [&](std::string_view text) { cells.Put(text); });
    cells.MoveTo(row);
    order_.push_back(static_cast<uint32_t>(r));
  }

  if (values_.size() > 1) {
    chart_.Shown = true;
    if (normsAvailable_) {
      chart_.HasIdeal = in.ShowTotalLine;
      int k = 0;
      for (const auto& r : in.Prefetch->Records) {
        ++k;
        TStatDraw v{};
        v.Key = r.Key;
        const std::string label = stat.ValueToText(v);
        if (chart_.HasIdeal) chart_.Ideal.push_back({static_cast<double>(k), r.Count * scale, label});
        const int64_t at = index.Find(r.Key.Raw());
        if (at >= 0) chart_.Actual.push_back({static_cast<double>(k), static_cast<double>(values_[static_cast<size_t>(at)].Count), label});
      }
    } else {
      // The values in key order (as SortStatValues orders them), labelled with their rows' texts.
      // Keys are distinct; each becomes one number that orders as the four signed parts do.
      std::vector<std::pair<uint64_t, uint32_t>> order(values_.size());
      for (size_t i = 0; i < values_.size(); ++i) {
        uint64_t k = 0;
        for (int part = 1; part <= 4; ++part) k = (k << 16) | (static_cast<uint16_t>(values_[i].Key.Part(part)) ^ 0x8000u);
        order[i] = {k, static_cast<uint32_t>(i)};
      }
      std::sort(order.begin(), order.end());
      chart_.Actual.reserve(order.size());
      int x = 0;
      for (const auto& [k, i] : order)
        chart_.Actual.push_back({static_cast<double>(++x), static_cast<double>(values_[i].Count), std::string(rows_[i].ValueText())});
    }
  }
  Sort();
}

std::array<std::string, 12> TDrawsStat::RowColumnsText(int r) const {
  std::array<std::string, 12> t;
  if (r < 0 || r >= RowCount()) return t;
  const auto c = Row(r).Cells();
  t[0] = c[dscValue];
  t[2] = c[dscCount];
  t[3] = c[dscCountPct];
  t[4] = c[dscDeviation];
  t[5] = c[dscDeviationPct];
  t[6] = c[dscDepth];
  t[7] = c[dscDepthPct];
  t[8] = c[dscWeight];
  t[9] = c[dscPeriodMin];
  t[10] = c[dscPeriod];
  t[11] = c[dscPeriodMax];
  return t;
}

void TDrawsStat::SortBy(int column) {
  if (column < 0 || column >= kDrawsStatColumns) return;
  if (column == sortColumn_)
    sortDescending_ = !sortDescending_;
  else {
    sortColumn_ = column;
    sortDescending_ = false;
  }
  Sort();
}

void TDrawsStat::SetSort(int column, bool descending) {
  if (column >= 0 && column < kDrawsStatColumns) sortColumn_ = column;
  sortDescending_ = descending;
  Sort();
}

void TDrawsStat::Sort() {
  const size_t n = rows_.size();
  if (n < 2) return;
  std::vector<SortCell> keys, values;
  keys.reserve(n);
  values.reserve(n);
  // Keys in table order: a stable sort keeps equal rows as they stand.
  for (uint32_t i : order_) {
    keys.push_back(MakeSortCell(rows_[i].Cell(sortColumn_)));
    values.push_back(MakeSortCell(rows_[i].Cell(dscValue)));
  }
  std::vector<uint32_t> at(n);
  std::iota(at.begin(), at.end(), uint32_t{0});
  const bool desc = sortDescending_;
  std::stable_sort(at.begin(), at.end(), [&](uint32_t a, uint32_t b) {
    int c = CompareSortCells(keys[a], keys[b]);
    if (c == 0) c = CompareSortCells(values[a], values[b]);
    return desc ? c > 0 : c < 0;
  });
  std::vector<uint32_t> order(n);
  for (size_t k = 0; k < n; ++k) order[k] = order_[at[k]];
  order_ = std::move(order);
}

void TDrawsStat::SetSelected(int r, bool on) {
  if (r >= 0 && r < RowCount()) rows_[order_[static_cast<size_t>(r)]].Selected = on;
}

void TDrawsStat::SelectOnly(int r) {
  ClearSelection();
  SetSelected(r, true);
}

void TDrawsStat::SelectAll() {
  for (auto& r : rows_) r.Selected = true;
}

void TDrawsStat::ClearSelection() {
  for (auto& r : rows_) r.Selected = false;
}

int TDrawsStat::SelectedCount() const {
  return static_cast<int>(std::count_if(rows_.begin(), rows_.end(), [](const TDrawsStatRow& r) { return r.Selected; }));
}

std::vector<int> TDrawsStat::SelectedRows() const {
  std::vector<int> rows;
  for (int i = 0; i < RowCount(); ++i)
    if (Row(i).Selected) rows.push_back(i);
  return rows;
}

int TDrawsStat::SelectKeys(const TStatDrawArray& keys) {
  const TKeyIndex index(keys);
  int n = 0;
  for (auto& r : rows_) {
    r.Selected = index.Find(r.Rec.Key.Raw()) >= 0;
    n += r.Selected ? 1 : 0;
  }
  return n;
}

TStatDrawArray TDrawsStat::SelectedValues() const {
  TStatDrawArray out;
  for (uint32_t i : order_)
    if (rows_[i].Selected) out.push_back(rows_[i].Rec);
  return out;
}

std::string TDrawsStat::SelectedValuesText() const {
  std::vector<std::string> texts;
  for (uint32_t i : order_)
    if (rows_[i].Selected) texts.emplace_back(rows_[i].ValueText());
  return Join(texts, "; ");
}

}  // namespace quintar
