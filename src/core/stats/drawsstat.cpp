#include "stats/drawsstat.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <unordered_map>

#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

namespace {

const char* const kDash = "-";

std::string Fixed(const char* fmt, double v) { return Format(fmt, {v}); }

// Index of every key of a value list.
std::unordered_map<uint64_t, size_t> KeyIndex(const TStatDrawArray& list) {
  std::unordered_map<uint64_t, size_t> index;
  index.reserve(list.size() * 2);
  for (size_t i = 0; i < list.size(); ++i) index.emplace(list[i].Key.Raw(), i);
  return index;
}

// The "Факт" column: for every value seen in the window (Count >= 1, Depth > 0), the number of the first
// draw after its newest occurrence that shows it again, as FindNextDraw finds it; -1 when none does. A
// statistic that keeps no state between draws gives every draw the same values whichever draw a search
// starts from, so one walk over the draws after the oldest such occurrence answers every value at once.
// The periods keep their last values through the walk, which begins at that oldest occurrence itself: a
// value's item then has its exact last draw from the value's own occurrence on, as the value's own search
// would have it. The series are searched value by value.
std::vector<int32_t> NextDraws(TCustomStat& stat, const TStatDrawArray& values,
                               const std::unordered_map<uint64_t, size_t>& index, const TDrawArchive* archive,
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
  TStatDrawArray list;
  TLastValueArray lastValues;
  TStatContext context;
  const bool periods = (stat.GetKinds() & KIND_P) != 0;
  const int start = pending > 0 && periods ? first - 1 : first;
  for (int i = start; pending > 0 && i <= archive->High(); ++i) {
    list.clear();
    if (!periods) lastValues.clear();
    context.Clear();
    stat.DrawValues(i, last, sorted, list, context, lastValues);
    for (const auto& v : list) {
      auto it = index.find(v.Key.Raw());
      if (it == index.end()) continue;
      const size_t r = it->second;
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

std::array<std::string, kDrawsStatColumns> DrawsStatCells(const TStatDraw& v, const std::string& valueText,
                                                          int windowLength, const TStatTotals& totals,
                                                          bool normsAvailable, const TWeightCoefs& weights,
                                                          int32_t fact) {
  std::array<std::string, kDrawsStatColumns> c;
  c[dscValue] = valueText;
  c[dscCount] = IntToStr(v.Count);
  c[dscCountPct] =
      totals.SumCount != 0 ? Fixed("%.5f", v.Count * 100.0 / static_cast<double>(totals.SumCount)) : kDash;
  if (normsAvailable) {
    const int64_t dev = static_cast<int64_t>(v.Count) - v.Norm;
    c[dscNorm] = IntToStr(v.Norm);
    c[dscDeviation] = IntToStr(dev);
    c[dscDeviationPct] = v.Norm != 0 ? Fixed("%.5f", static_cast<double>(dev) * 100.0 / v.Norm)
                                     : Fixed("%.5f", v.Count > 0 ? 100.0 : 0.0);
  } else {
    c[dscNorm] = c[dscDeviation] = c[dscDeviationPct] = kDash;
  }
  if (v.Depth == 0) {
    for (int i = dscDepth; i < kDrawsStatColumns; ++i) c[static_cast<size_t>(i)] = kDash;
    return c;
  }
  const double n = windowLength;
  c[dscDepth] = IntToStr(v.Depth);
  c[dscDepthPct] = totals.MaxDepth != 0 ? Fixed("%.2f", v.Depth * 100.0 / totals.MaxDepth) : kDash;
  c[dscWeight] = Fixed("%.2f", WeightOf(v, weights, totals, normsAvailable));
  c[dscLastDraw] = IntToStr(v.LastDraw);
  if (v.Count < 2) {
    for (int i = dscPeriodMin; i <= dscExpectedPrd; ++i) c[static_cast<size_t>(i)] = kDash;
  } else {
    c[dscPeriodMin] = IntToStr(v.MinPeriod);
    c[dscPeriod] = Fixed("%.4f", n / v.Count);
    c[dscPeriodMax] = IntToStr(v.MaxPeriod);
    c[dscExpectedPrd] = IntToStr(RoundNearest(n / v.Count + v.LastDraw));
  }
  if (v.Count > 0) {
    const double count = v.Count, last = v.LastDraw;
    c[dscExpectedStf] = IntToStr(RoundNearest((count + 1) * last / count));
    c[dscExpectedKrn] = IntToStr(RoundNearest((count + 2) * (last + 1) / (count + 1)));
  } else {
    c[dscExpectedStf] = c[dscExpectedKrn] = kDash;
  }
  if (fact < 0) {
    for (int i = dscFact; i <= dscDiffKrn; ++i) c[static_cast<size_t>(i)] = kDash;
  } else {
    c[dscFact] = IntToStr(fact);
    c[dscDiffPrd] = ExpectedDiffText(c[dscExpectedPrd], c[dscFact]);
    c[dscDiffStf] = ExpectedDiffText(c[dscExpectedStf], c[dscFact]);
    c[dscDiffKrn] = ExpectedDiffText(c[dscExpectedKrn], c[dscFact]);
  }
  return c;
}

namespace {

// A cell prepared for comparing: its number when it reads as one.
struct SortCell {
  std::optional<double> num;
  const std::string* text;
};

SortCell MakeSortCell(const std::string& s) { return {TryStrToFloat(ReplaceAll(s, ",", ".")), &s}; }

int CompareSortCells(const SortCell& a, const SortCell& b) {
  if (a.num && b.num) return *a.num < *b.num ? -1 : (*a.num > *b.num ? 1 : 0);
  const int c = AnsiCompareText(*a.text, *b.text);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

int CompareDrawsStatCells(std::string_view a, std::string_view b) {
  const std::string x(a), y(b);
  return CompareSortCells(MakeSortCell(x), MakeSortCell(y));
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

  const auto index = KeyIndex(values_);
  double scale = 0;
  if (in.Prefetch && in.Prefetch->MaxCount > 0) {
    scale = NormScale(in.Prefetch->MinCount, in.Prefetch->MaxCount, totals_);
    for (const auto& r : in.Prefetch->Records) {
      auto it = index.find(r.Key.Raw());
      if (it != index.end()) values_[it->second].Norm = NormOf(r.Count, scale);
    }
    normsAvailable_ = true;
  }

  const int length = window_.Length();
  const std::vector<int32_t> facts = NextDraws(stat, values_, index, in.Archive, last, in.Sorted);
  rows_.reserve(values_.size());
  for (size_t r = 0; r < values_.size(); ++r) {
    const TStatDraw& v = values_[r];
    TDrawsStatRow row;
    row.Rec = v;
    row.Cells = DrawsStatCells(v, stat.ValueToText(v), length, totals_, normsAvailable_, in.Weights, facts[r]);
    rows_.push_back(std::move(row));
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
        auto it = index.find(r.Key.Raw());
        if (it != index.end()) chart_.Actual.push_back({static_cast<double>(k), static_cast<double>(values_[it->second].Count), label});
      }
    } else {
      TStatDrawArray sorted = values_;
      SortStatValues(sorted);
      int x = 0;
      for (const auto& v : sorted)
        chart_.Actual.push_back({static_cast<double>(++x), static_cast<double>(v.Count), stat.ValueToText(v)});
    }
  }
  Sort();
}

std::array<std::string, 12> TDrawsStat::RowColumnsText(int r) const {
  std::array<std::string, 12> t;
  if (r < 0 || r >= RowCount()) return t;
  const auto& c = Row(r).Cells;
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
  for (const auto& r : rows_) {
    keys.push_back(MakeSortCell(r.Cells[static_cast<size_t>(sortColumn_)]));
    values.push_back(MakeSortCell(r.Cells[dscValue]));
  }
  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), size_t{0});
  const bool desc = sortDescending_;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    int c = CompareSortCells(keys[a], keys[b]);
    if (c == 0) c = CompareSortCells(values[a], values[b]);
    return desc ? c > 0 : c < 0;
  });
  std::vector<TDrawsStatRow> sorted;
  sorted.reserve(n);
  for (size_t i : order) sorted.push_back(std::move(rows_[i]));
  rows_ = std::move(sorted);
}

void TDrawsStat::SetSelected(int r, bool on) {
  if (r >= 0 && r < RowCount()) rows_[static_cast<size_t>(r)].Selected = on;
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
    if (rows_[static_cast<size_t>(i)].Selected) rows.push_back(i);
  return rows;
}

int TDrawsStat::SelectKeys(const TStatDrawArray& keys) {
  const auto index = KeyIndex(keys);
  int n = 0;
  for (auto& r : rows_) {
    r.Selected = index.count(r.Rec.Key.Raw()) > 0;
    n += r.Selected ? 1 : 0;
  }
  return n;
}

TStatDrawArray TDrawsStat::SelectedValues() const {
  TStatDrawArray out;
  for (const auto& r : rows_)
    if (r.Selected) out.push_back(r.Rec);
  return out;
}

std::string TDrawsStat::SelectedValuesText() const {
  std::vector<std::string> texts;
  for (const auto& r : rows_)
    if (r.Selected) texts.push_back(r.ValueText());
  return Join(texts, "; ");
}

}  // namespace quintar
