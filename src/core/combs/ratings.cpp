#include "combs/ratings.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <numeric>

#include "combs/stakesview.h"
#include "util/cp1251.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

// Records ---------------------------------------------------------------------------------------------

std::string TRatingRec::Name() const {
  return Cp1251ToUtf8(std::string_view(NameChars, std::min<size_t>(NameLen, sizeof NameChars)));
}

void TRatingRec::SetName(std::string_view text) {
  std::string cp = Utf8ToCp1251(text);
  if (cp.size() > sizeof NameChars) cp.resize(sizeof NameChars);
  std::memset(NameChars, 0, sizeof NameChars);
  std::memcpy(NameChars, cp.data(), cp.size());
  NameLen = static_cast<uint8_t>(cp.size());
}

TRatingRec MakeRatingRec(std::string_view name) {
  TRatingRec r;
  std::memset(&r, 0, sizeof r);
  r.SetName(name);
  return r;
}

// Chances ---------------------------------------------------------------------------------------------

const TMatchChances& MatchChances() {
  static const TMatchChances chances = [] {
    TMatchChances c{};
    for (int i = 0; i <= NUMS_IN_DRAW; ++i) {
      c.Q[i] = CombCountByHits(MAX_NUMBER, NUMS_IN_DRAW, i);
      c.P[i] = static_cast<double>(c.Q[i]) / static_cast<double>(COMBS_TOTAL);
    }
    return c;
  }();
  return chances;
}

// The view --------------------------------------------------------------------------------------------

std::vector<std::string> RatingCaptions() {
  std::vector<std::string> c = {"Комментарий", "Ставок", "Угадано", "Среднее", "Профит", "Ср. профит"};
  for (int i = 0; i <= NUMS_IN_DRAW; ++i) c.push_back(std::to_string(i));
  for (int i = 0; i <= NUMS_IN_DRAW; ++i) c.push_back("E" + std::to_string(i));
  return c;
}

const char* RatingsEffModeCaption(int mode) {
  switch (mode) {
    case remExpected: return "Ожидаемые значения совпадений";
    case remAbsolute: return "Абсолютные значения эффективности";
    case remRelative: return "Относительные значения эффективности";
    default: return "";
  }
}

int64_t RatingAverageProfit(const TRatingRec& r) {
  if (r.Stakes == 0) return 0;
  return std::llround(static_cast<long double>(r.Profit) / static_cast<long double>(r.Stakes));
}

bool RatingRowBad(const TRatingRec& r) {
  if (r.Stakes < 0) return true;
  int64_t stakes = 0, guessed = 0;
  for (int i = 0; i <= NUMS_IN_DRAW; ++i) {
    if (r.Counts[i] < 0) return true;
    stakes += r.Counts[i];
    guessed += static_cast<int64_t>(i) * r.Counts[i];
  }
  return stakes != r.Stakes || guessed != r.Guessed;
}

namespace {

std::string Average(const TRatingRec& r) {
  return Format("%.3f", {static_cast<double>(r.Guessed) / static_cast<double>(r.Stakes)});
}

std::string Money(int64_t money) { return Format("%.2f", {MoneyToDouble(money)}); }

std::string Efficiency(const TRatingRec& r, int i, int mode) {
  const double n = r.Stakes;
  const double p = MatchChances().P[i];
  const double c = r.Counts[i];
  switch (mode) {
    case remExpected: return Format("%.d", {static_cast<int64_t>(std::llround(n * p))});
    case remRelative: return Format("%.3f%%", {c * 100.0 / (n * p)});
    default: return Format("%.3f%%", {c * 100.0 / n - p * 100.0});
  }
}

}  // namespace

std::string RatingCell(const TRatingRec& r, int col, int mode) {
  if (r.Stakes == 0 || col < 0 || col >= kRatingCols) return "";
  if (RatingRowBad(r)) return col == 0 ? kRatingBadData : "";
  switch (col) {
    case 0: return r.Name();
    case 1: return IntToStr(r.Stakes);
    case 2: return IntToStr(r.Guessed);
    case 3: return Average(r);
    case 4: return Money(r.Profit);
    case 5: return Money(RatingAverageProfit(r));
    default: break;
  }
  if (col < kRatingFirstEffCol) return IntToStr(r.Counts[col - kRatingFirstCountCol]);
  return Efficiency(r, col - kRatingFirstEffCol, mode);
}

std::vector<std::string> RatingCells(const TRatingRec& r, int mode) {
  std::vector<std::string> cells;
  cells.reserve(kRatingCols);
  for (int c = 0; c < kRatingCols; ++c) cells.push_back(RatingCell(r, c, mode));
  return cells;
}

std::string RatingsCountText(int rows) { return Format("Рейтинг: %d", {rows}); }

// Sorting ---------------------------------------------------------------------------------------------

namespace {

template <class T>
int Sign(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// The comparison of two rows that both have stakes. The averages and profits are compared exactly: rows
// whose values differ by less than the view shows may come in either order, so the exact order is one of
// the orders allowed, and unlike a rounded difference it is transitive.
int CompareValues(const TRatingRec& a, const TRatingRec& b, int col, const std::string* nameA,
                  const std::string* nameB) {
  switch (col) {
    case 0:
      if (nameA && nameB) return AnsiCompareStr(*nameA, *nameB);
      return AnsiCompareStr(a.Name(), b.Name());
    case 1: return Sign(a.Stakes, b.Stakes);
    case 2: return Sign(a.Guessed, b.Guessed);
    case 3:
      return Sign(static_cast<long double>(a.Guessed) / a.Stakes, static_cast<long double>(b.Guessed) / b.Stakes);
    case 4: return Sign(a.Profit, b.Profit);
    case 5: return Sign(RatingAverageProfit(a), RatingAverageProfit(b));
    default:
      if (col >= kRatingFirstCountCol && col < kRatingFirstEffCol)
        return Sign(a.Counts[col - kRatingFirstCountCol], b.Counts[col - kRatingFirstCountCol]);
      return 0;
  }
}

}  // namespace

int CompareRatings(const TRatingRec& a, const TRatingRec& b, int col) {
  if (a.Stakes == 0 || b.Stakes == 0) return 0;
  return CompareValues(a, b, col, nullptr, nullptr);
}

void TRatings::Sort(int col, bool descending) {
  // The efficiency columns order nothing, so sorting by them changes nothing.
  if (col < 0 || col >= kRatingFirstEffCol || rows_.size() < 2) return;
  std::vector<int> order(rows_.size());
  std::iota(order.begin(), order.end(), 0);
  std::vector<std::string> names;
  if (col == 0) {
    names.reserve(rows_.size());
    for (const auto& r : rows_) names.push_back(r.Name());
  }
  // Rows without stakes compare equal with every row; kept together at the end they leave the others a
  // consistent order.
  auto withStakes = std::stable_partition(order.begin(), order.end(),
                                          [&](int i) { return rows_[static_cast<size_t>(i)].Stakes != 0; });
  std::stable_sort(order.begin(), withStakes, [&](int x, int y) {
    const auto ix = static_cast<size_t>(x), iy = static_cast<size_t>(y);
    const int c = CompareValues(rows_[ix], rows_[iy], col, col == 0 ? &names[ix] : nullptr,
                                col == 0 ? &names[iy] : nullptr);
    return descending ? c > 0 : c < 0;
  });
  TRatingsArray sorted;
  sorted.reserve(rows_.size());
  for (int i : order) sorted.push_back(rows_[static_cast<size_t>(i)]);
  rows_.swap(sorted);
  Forget();
}

// Folding ---------------------------------------------------------------------------------------------

void TRatings::Forget() {
  index_.clear();
  indexValid_ = false;
  lastComment_.clear();
  lastRow_ = -1;
}

void TRatings::Clear() {
  rows_.clear();
  Forget();
}

void TRatings::Append(const TRatingRec& r) {
  rows_.push_back(r);
  Forget();
}

namespace {
std::string_view RawComment(const TStakeRec& s) {
  return std::string_view(s.CommentChars, std::min<size_t>(s.CommentLen, sizeof s.CommentChars));
}
std::string_view RawName(const TRatingRec& r) {
  return std::string_view(r.NameChars, std::min<size_t>(r.NameLen, sizeof r.NameChars));
}
std::string NameKey(std::string_view cp1251) { return AnsiUpperCase(Cp1251ToUtf8(cp1251)); }
}  // namespace

int TRatings::FindRow(std::string_view raw) {
  if (lastRow_ >= 0 && raw == lastComment_) return lastRow_;
  if (!indexValid_) {
    index_.clear();
    for (size_t i = 0; i < rows_.size(); ++i) index_.emplace(NameKey(RawName(rows_[i])), static_cast<int>(i));
    indexValid_ = true;
  }
  auto it = index_.find(NameKey(raw));
  return it == index_.end() ? -1 : it->second;
}

int TRatings::RowFor(std::string_view raw) {
  int row = FindRow(raw);
  if (row < 0) {
    TRatingRec r;
    std::memset(&r, 0, sizeof r);
    r.NameLen = static_cast<uint8_t>(std::min(raw.size(), sizeof r.NameChars));
    std::memcpy(r.NameChars, raw.data(), r.NameLen);
    rows_.push_back(r);
    row = static_cast<int>(rows_.size()) - 1;
    if (indexValid_) index_.emplace(NameKey(RawName(r)), row);
  }
  lastComment_.assign(raw);
  lastRow_ = row;
  return row;
}

bool TRatings::AddToRating(const TStakeRec& stake) {
  const int m = stake.Matches.Count;
  if (m < 0 || m > NUMS_IN_DRAW) return false;
  TRatingRec& r = rows_[static_cast<size_t>(RowFor(RawComment(stake)))];
  // A row at the limit of its counters takes no more stakes rather than wrapping round.
  if (r.Stakes == INT32_MAX || r.Guessed > INT32_MAX - m || r.Counts[m] == INT32_MAX) return false;
  ++r.Stakes;
  r.Guessed += m;
  ++r.Counts[m];
  r.Profit = AddMoney(r.Profit, stake.Profit);
  return true;
}

void TRatings::FoldRow(const TRatingRec& delta) {
  TRatingRec& r = rows_[static_cast<size_t>(RowFor(RawName(delta)))];
  auto add = [](int32_t& to, int32_t v) {
    const int64_t sum = static_cast<int64_t>(to) + v;
    to = static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
  };
  add(r.Stakes, delta.Stakes);
  add(r.Guessed, delta.Guessed);
  for (int m = 0; m <= NUMS_IN_DRAW; ++m) add(r.Counts[m], delta.Counts[m]);
  r.Profit = AddMoney(r.Profit, delta.Profit);
}

void RebuildRating(TStakesFile& file, TRatings& ratings) {
  ratings.Clear();
  file.ForEachStake([&](int, const TStakeRec& r) {
    if (r.Draw >= 0 && r.Checked) ratings.AddToRating(r);
  });
}

// The file --------------------------------------------------------------------------------------------

void TRatings::LoadFromFile(const std::string& path) {
  Clear();
  const std::string bytes = ReadWholeFile(path);
  const size_t whole = bytes.size() / sizeof(TRatingRec);
  rows_.resize(whole);
  if (whole > 0) std::memcpy(rows_.data(), bytes.data(), whole * sizeof(TRatingRec));
  if (bytes.size() % sizeof(TRatingRec) != 0)
    throw EQuintar(Format("Размер файла \"%s\" (%d байт) не кратен размеру записи рейтинга (%d байта).",
                          {path, static_cast<int64_t>(bytes.size()), kRatingRecSize}));
}

void TRatings::SaveToFile(const std::string& path) const {
  AtomicFileWriter w(path);
  if (!rows_.empty()) w.Write(rows_.data(), rows_.size() * sizeof(TRatingRec));
  if (BeforeReplace) BeforeReplace();
  w.Commit();
}

// CSV -------------------------------------------------------------------------------------------------

std::string RatingsCsvText(const TRatingsArray& rows) {
  std::string out;
  std::vector<std::string> header;
  for (const auto& c : RatingCaptions()) header.push_back(QuotedStr(c, '"'));
  out += Join(header, ";") + "\r\n";
  for (const auto& r : rows) {
    std::vector<std::string> f;
    f.reserve(14);
    f.push_back(QuotedStr(r.Name(), '"'));
    f.push_back(IntToStr(r.Stakes));
    f.push_back(IntToStr(r.Guessed));
    // A row without stakes has no averages.
    f.push_back(r.Stakes != 0 ? Average(r) : "");
    f.push_back(Money(r.Profit));
    f.push_back(r.Stakes != 0 ? Money(RatingAverageProfit(r)) : "");
    for (int i = 0; i <= NUMS_IN_DRAW; ++i) f.push_back(IntToStr(r.Counts[i]));
    out += Join(f, ";") + "\r\n";
  }
  return out;
}

void ExportRatingsCsv(const std::string& path, const TRatingsArray& rows) {
  WriteFileAtomic(path, Utf8ToCp1251(RatingsCsvText(rows)));
}

// Back into the script ----------------------------------------------------------------------------------

namespace {

// Fields of a text cut at a separator: maximal runs of other characters, so empty fields do not exist.
std::vector<std::string_view> Fields(std::string_view s, char sep) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && s[i] == sep) ++i;
    const size_t start = i;
    while (i < s.size() && s[i] != sep) ++i;
    if (i > start) out.push_back(s.substr(start, i - start));
  }
  return out;
}

// A step header starts with the keyword of its starting list (FULL, EXCL or CURR, any case).
bool StepHeaderKnown(std::string_view header) {
  const auto words = Fields(header, '#');
  if (words.empty()) return false;
  const std::string first = Trim(words[0]);
  for (const char* key : {"FULL", "EXCL", "CURR"})
    if (StartsWithText(first, key)) return true;
  return false;
}

}  // namespace

std::optional<std::string> RatingToScriptLine(std::string_view name) {
  std::string comment, rest;
  const size_t at = name.find('@');
  if (at == std::string_view::npos) {
    rest = Trim(name);
  } else {
    comment = Trim(name.substr(0, at));
    rest = Trim(name.substr(at + 1));
  }
  std::string line = ReplaceAll(rest, " + ", "|");
  while (Fields(line, '|').size() <= 7) line += "| ";
  line += "|";
  line += comment;
  const auto fields = Fields(line, '|');
  if (!StepHeaderKnown(fields[0])) return std::nullopt;
  for (size_t f = 1; f < fields.size() && f <= 7; ++f)
    if (!Trim(fields[f]).empty()) return line;
  return std::nullopt;
}

// Charts ----------------------------------------------------------------------------------------------

TGraphData RatingsGraphOverlap(const TRatingsArray& rows, const std::vector<int>& selected) {
  TGraphData g;
  g.Caption = kRatingsGraphOverlapHint;
  std::vector<const TRatingRec*> chosen;
  int32_t most = 0;
  for (int i : selected)
    if (i >= 0 && i < static_cast<int>(rows.size())) {
      chosen.push_back(&rows[static_cast<size_t>(i)]);
      most = std::max(most, rows[static_cast<size_t>(i)].Stakes);
    }
  if (chosen.empty()) return g;
  const TMatchChances& ch = MatchChances();
  for (int i = 0; i <= NUMS_IN_DRAW; ++i)
    g.AddGraphPoint(i, kNormalSeriesName,
                    static_cast<double>(ch.Q[i]) * most / static_cast<double>(COMBS_TOTAL), true, false,
                    kNormalSeriesColor);
  for (const TRatingRec* r : chosen) {
    const std::string name = r->Name();
    for (int i = 0; i <= NUMS_IN_DRAW; ++i) g.AddGraphPoint(i, name, r->Counts[i], true, false, 0);
  }
  return g;
}

namespace {

TGraphData StakesGraphByDraw(TStakesFile& file, const std::vector<std::string>& names, bool profits) {
  if (names.empty()) throw EQuintar(kGraphNoDraws);
  const TLastDrawsStart start = file.FindLastDrawsStart(kStakesGraphDraws);
  if (start.Draws < 2) throw EQuintar(kGraphNoDraws);
  std::unordered_map<std::string, std::string> byKey;  // upper-case comment -> series name
  for (const auto& n : names) byKey.emplace(AnsiUpperCase(n), n);
  TGraphData g;
  g.Caption = profits ? kStakesGraphProfitsHint : kStakesGraphOverlapHint;
  std::string lastRaw;
  const std::string* lastSeries = nullptr;
  bool haveLast = false;
  file.ForEachStake(
      [&](int, const TStakeRec& r) {
        if (!r.Checked || r.Draw <= 0 || r.Matches.Count < 0) return;
        const std::string_view raw = RawComment(r);
        if (!haveLast || raw != lastRaw) {
          auto it = byKey.find(NameKey(raw));
          lastSeries = it == byKey.end() ? nullptr : &it->second;
          lastRaw.assign(raw);
          haveLast = true;
        }
        if (!lastSeries) return;
        const double y = profits ? MoneyToDouble(r.Profit) : static_cast<double>(r.Matches.Count);
        g.AddGraphPoint(r.Draw, *lastSeries, y, true, true, 0);
      },
      start.Index);
  return g;
}

}  // namespace

TGraphData StakesGraphOverlap(TStakesFile& file, const std::vector<std::string>& names) {
  return StakesGraphByDraw(file, names, false);
}

TGraphData StakesGraphProfits(TStakesFile& file, const std::vector<std::string>& names) {
  return StakesGraphByDraw(file, names, true);
}

}  // namespace quintar
