#include "game/game.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>

#include "util/cp1251.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

const int MinSum = SumUp(1, NUMS_IN_DRAW);
const int MaxSum = SumDown(MAX_NUMBER, NUMS_IN_DRAW);
const int SumStep = (MaxSum - MinSum) / 10;

std::string TDraw::Date() const {
  int len = DateLen > 11 ? 11 : DateLen;
  return Cp1251ToUtf8(std::string_view(DateChars, static_cast<size_t>(len)));
}

void TDraw::SetDate(std::string_view text) {
  std::string b = Utf8ToCp1251(text);
  if (b.size() > 11) b.resize(11);
  std::memset(DateChars, 0, sizeof DateChars);
  std::memcpy(DateChars, b.data(), b.size());
  DateLen = static_cast<uint8_t>(b.size());
}

TDraw ZeroDraw() {
  TDraw d;
  std::memset(&d, 0, sizeof d);
  return d;
}

TComb CombOf(const TDraw& d) {
  TComb c;
  std::memcpy(c.n, d.Nums, NUMS_IN_DRAW);
  return c;
}

bool IsPrime(int n) {
  switch (n) {
    case 1: case 2: case 3: case 5: case 7: case 11: case 13: case 17: case 19: case 23: case 29: case 31:
      return true;
    default:
      return false;
  }
}

int CeilDiv(int a, int b) { return a / b + (a % b != 0 ? 1 : 0); }

int GroupCount(int lo, int hi, int size) { return lo != 0 ? CeilDiv(hi - lo + 1, size) : CeilDiv(hi, size); }

uint32_t ChannelColor(int n, int size) {
  static const uint32_t kColors[19] = {0xAAFFAA, 0xFFFFAA, 0xAAFFFF, 0xFFAAAA, 0xAAAAFF, 0xFFD5AA, 0xD5AAFF,
                                       0xD4D4D4, 0xAAD5FF, 0xFFAAD5, 0xD5FFD5, 0xFFFFD5, 0xD5FFFF, 0xFFD5D5,
                                       0xD5D5FF, 0xFFEAD5, 0xEAD5FF, 0xE9E9E9, 0xD5EAFF};
  if (n < 1 || n > MAX_NUMBER || size < 1) return 0xFF0000;
  int g = ChannelOf(n, size);
  int idx = g <= 19 ? g : g - 19;
  return kColors[idx - 1];
}

namespace {
int64_t Round(long double v) { return static_cast<int64_t>(std::llround(v)); }

long double FactorialL(int n) {
  long double r = 1;
  for (int i = 2; i <= n; ++i) r *= i;
  return r;
}
long double RisingL(int a, int k) {
  long double r = 1;
  for (int i = 0; i < k; ++i) r *= a + i;
  return r;
}
long double FallingL(int a, int k) {
  long double r = 1;
  for (int i = 0; i < k; ++i) r *= a - i;
  return r;
}
}  // namespace

int64_t Factorial(uint8_t n) { return Round(FactorialL(n)); }
int64_t RisingProduct(int a, int k) { return Round(RisingL(a, k)); }
int64_t FallingProduct(int a, int k) { return Round(FallingL(a, k)); }

int64_t CombCount(int n, int k) {
  if (k >= n) return 1;
  return Round(FactorialL(n) / (FactorialL(n - k) * FactorialL(k)));
}

int64_t CombCountByHits(int n, int k, int m) {
  if (m >= n) return 1;
  return Round((FallingL(k, m) / RisingL(1, m)) * (FallingL(n - k, k - m) / RisingL(1, k - m)));
}

int SumUp(int a, int k) {
  int s = 0;
  for (int i = 0; i < k; ++i) s += a + i;
  return s;
}

int SumDown(int a, int k) {
  int s = 0;
  for (int i = 0; i < k; ++i) s += a - i;
  return s;
}

int ShiftNumber(int n, int k) {
  if (k == 0) return n;
  int r = n + k;
  if (k > 0 && r > MAX_NUMBER) r -= MAX_NUMBER;
  if (k < 0 && r <= 0) r += MAX_NUMBER;
  return r;
}

void ShiftComb(const TComb& comb, int k, TComb& out) {
  for (int i = 0; i < NUMS_IN_DRAW; ++i) out.n[i] = static_cast<uint8_t>(ShiftNumber(comb.n[i], k));
}

bool DrawHasNumber(int n, const TDraw& d) {
  for (int i = 0; i < NUMS_IN_DRAW; ++i)
    if (d.Nums[i] == n) return true;
  return false;
}

bool CombHasNumber(int n, const TComb& c) {
  for (int i = 0; i < NUMS_IN_DRAW; ++i)
    if (c.n[i] == n) return true;
  return false;
}

bool DrawHasGroup(int g, const TDraw& d, int size) {
  for (int i = 0; i < NUMS_IN_DRAW; ++i)
    if (CeilDiv(d.Nums[i], size) == g) return true;
  return false;
}

bool DrawHasMapped(int v, const TDraw& d, const uint8_t table[MAX_NUMBER]) {
  for (int i = 0; i < NUMS_IN_DRAW; ++i) {
    int x = d.Nums[i];
    if (x >= 1 && x <= MAX_NUMBER && table[x - 1] == v) return true;
  }
  return false;
}

bool ByteListHas(uint8_t v, const TByteArray& list) {
  for (uint8_t x : list)
    if (x == v) return true;
  return false;
}

void ByteListAddUnique(uint8_t v, TByteArray& list) {
  if (!ByteListHas(v, list)) list.push_back(v);
}

void ByteListAdd(uint8_t v, TByteArray& list) { list.push_back(v); }

int CountMatches(const uint8_t* a, const uint8_t* b) {
  int n = 0;
  for (int i = 0; i < NUMS_IN_DRAW; ++i)
    for (int j = 0; j < NUMS_IN_DRAW; ++j)
      if (a[i] == b[j]) ++n;
  return n;
}

void CommonNumbers(const TDraw& d, const TNumSet& set, TNumSet& out) {
  std::memset(&out, 0, sizeof out);
  for (int i = 0; i < NUMS_IN_DRAW; ++i)
    for (int j = 0; j < set.Count && j < 8; ++j)
      if (d.Nums[i] == set.Nums[j]) {
        if (out.Count < 8) out.Nums[out.Count++] = d.Nums[i];
        break;
      }
  SortNumSet(out);
}

bool SameNumSet(const TNumSet& a, const TNumSet& b) {
  if (a.Count != b.Count) return false;
  for (int i = 0; i < a.Count && i < 8; ++i) {
    bool found = false;
    for (int j = 0; j < b.Count && j < 8; ++j)
      if (a.Nums[i] == b.Nums[j]) {
        found = true;
        break;
      }
    if (!found) return false;
  }
  return true;
}

int CountDistinct(const uint8_t* combs, int n) {
  if (n <= 0) return 0;
  bool seen[256] = {};
  int count = 0;
  for (int r = 0; r < n; ++r)
    for (int i = 0; i < NUMS_IN_DRAW; ++i) {
      uint8_t v = combs[r * NUMS_IN_DRAW + i];
      if (!seen[v]) {
        seen[v] = true;
        if (++count >= MAX_NUMBER) return MAX_NUMBER;
      }
    }
  return count;
}

void CollectDistinct(const uint8_t* combs, int n, TByteArray& out) {
  out.clear();
  for (int r = 0; r < n; ++r)
    for (int i = 0; i < NUMS_IN_DRAW; ++i) {
      ByteListAddUnique(combs[r * NUMS_IN_DRAW + i], out);
      if (out.size() >= MAX_NUMBER) return;
    }
}

TNumSet NumSetOf(const TComb& c) {
  TNumSet s;
  std::memset(&s, 0, sizeof s);
  s.Count = NUMS_IN_DRAW;
  std::memcpy(s.Nums, c.n, NUMS_IN_DRAW);
  return s;
}

void SortBytes(uint8_t* p, int n) {
  for (int i = 1; i < n; ++i) {
    uint8_t v = p[i];
    int j = i - 1;
    while (j >= 0 && p[j] > v) {
      p[j + 1] = p[j];
      --j;
    }
    p[j + 1] = v;
  }
}

void SortComb(TComb& c) { SortBytes(c.n, NUMS_IN_DRAW); }
void SortDrawNums(TDraw& d) { SortBytes(d.Nums, NUMS_IN_DRAW); }
void SortNumSet(TNumSet& s) { SortBytes(s.Nums, s.Count < 0 ? 0 : (s.Count > 8 ? 8 : s.Count)); }

void SortIntsDesc(TIntArray& list) {
  for (size_t i = 1; i < list.size(); ++i) {
    int32_t v = list[i];
    size_t j = i;
    while (j > 0 && list[j - 1] < v) {
      list[j] = list[j - 1];
      --j;
    }
    list[j] = v;
  }
}

void SortSimple(TStatSimpleArray& list) {
  if (list.size() < 2) return;
  for (size_t i = 1; i < list.size(); ++i) {
    TStatSimple v = list[i];
    size_t j = i;
    while (j > 0 && list[j - 1].Key > v.Key) {
      list[j] = list[j - 1];
      --j;
    }
    list[j] = v;
  }
}

void AddSimple(TStatSimpleArray& list, int32_t key, int32_t inc) {
  for (auto& e : list)
    if (e.Key == key) {
      if (inc > 0) e.Count += inc;
      return;
    }
  list.push_back({key, inc});
}

void AddProfitDraw(TProfitDrawArray& list, int32_t draw, int64_t profit) {
  for (auto& e : list)
    if (e.Draw == draw) {
      e.Profit = AddMoney(e.Profit, profit);
      return;
    }
  list.push_back({draw, profit});
}

int NumberFromText(std::string_view s) { return StrToIntDef(Trim(s), 0); }

std::string CombToText(const TComb& c) {
  std::string s;
  for (int i = 0; i < NUMS_IN_DRAW; ++i) {
    if (i) s += ';';
    s += std::to_string(c.n[i]);
  }
  return s;
}

std::string CombToDisplay(const TComb& c) {
  std::string s;
  for (int i = 0; i < NUMS_IN_DRAW; ++i) {
    if (i) s += ' ';
    if (c.n[i] < 10) s += '0';
    s += std::to_string(c.n[i]);
  }
  return s;
}

std::string NumSetToText(const TNumSet& set, std::string_view sep) {
  std::string s;
  for (int i = 0; i < set.Count && i < 8; ++i) {
    if (i) s += sep;
    s += std::to_string(set.Nums[i]);
  }
  return s;
}

void TextToComb(std::string_view text, TComb& out) {
  std::memset(out.n, 0, sizeof out.n);
  auto words = SplitAny(text, "\t ,-.:;|", true);
  if (words.size() != NUMS_IN_DRAW)
    throw EQuintar(Format("Некорректная комбинация: \"%s\"!", {std::string(text)}));
  for (int i = 0; i < NUMS_IN_DRAW; ++i) {
    const int v = NumberFromText(words[static_cast<size_t>(i)]);
    out.n[i] = static_cast<uint8_t>(v >= 1 && v <= MAX_NUMBER ? v : 0);
  }
  // Every combination of a list is seven different numbers 1..35: the filters and stakes rely on it.
  if (!IsValidComb(out)) throw EQuintar(Format("Некорректная комбинация: \"%s\"!", {std::string(text)}));
}

bool IsValidComb(const TComb& c) {
  uint64_t seen = 0;
  for (int i = 0; i < NUMS_IN_DRAW; ++i) {
    if (c.n[i] < 1 || c.n[i] > MAX_NUMBER || (seen >> c.n[i] & 1)) return false;
    seen |= uint64_t{1} << c.n[i];
  }
  return true;
}

std::string DrawInfoText(const TDraw& d) {
  std::string values;
  for (int i = 0; i < NUMS_IN_DRAW; ++i) {
    if (i) values += ';';
    values += std::to_string(d.Nums[i]);
  }
  values += " e:" + std::to_string(d.Bonus);
  return Format("Тираж № %d от %s, значения: %s", {d.Number, d.Date(), values});
}

TIntArray IntListFromText(std::string_view text) {
  TIntArray out;
  bool ok = true;
  for (const auto& w : SplitAny(text, ",;", false)) {
    auto v = TryStrToInt(Trim(w));
    if (!v) {
      ok = false;
      break;
    }
    out.push_back(*v);
  }
  if (ok) return out;
  out.clear();
  // Stepped range a-b;s: the first "-" that is not the first character ends a.
  size_t dash = text.find('-', 1);
  if (text.empty() || dash == std::string_view::npos) return out;
  std::string_view rest = text.substr(dash + 1);
  size_t sep = rest.find_first_of(";,");
  if (sep == std::string_view::npos) return out;
  auto a = TryStrToInt(Trim(text.substr(0, dash)));
  auto b = TryStrToInt(Trim(rest.substr(0, sep)));
  auto s = TryStrToInt(Trim(rest.substr(sep + 1)));
  if (!a || !b || !s || *s == 0) return out;
  int64_t n = (static_cast<int64_t>(*b) - *a) / *s + 1;
  for (int64_t i = 0; i < n && i < 1000000; ++i) out.push_back(static_cast<int32_t>(*a + i * *s));
  return out;
}

std::string IntListToText(const TIntArray& list, std::string_view sep) {
  std::string s;
  for (size_t i = 0; i < list.size(); ++i) {
    if (i) s += sep;
    s += std::to_string(list[i]);
  }
  return s;
}

std::string StakeKindName(int kind) {
  switch (kind) {
    case 1: return "Вручную";
    case 2: return "Регуляр";
    case 3: return "Сценарий";
    case 4: return "Система";
    default: return "";
  }
}

// Dates ----------------------------------------------------------------------------------------------

namespace {

const char* const kMonthAbbr[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kMonthName[12] = {"january", "february", "march",     "april",   "may",      "june",
                                    "july",    "august",   "september", "october", "november", "december"};

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int DaysInMonth(int y, int m) {
  static const int d[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : d[m - 1];
}

// Days from civil date (proleptic Gregorian), 1970-01-01 = 0.
int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t yy = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

constexpr int64_t kDelphiEpochOffset = 25569;  // 1970-01-01 as a Delphi day number

TDateFormatter g_formatter;
TDateParser g_parser;

}  // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
  out = static_cast<double>(DaysFromCivil(year, month, day) + kDelphiEpochOffset);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d)) throw EQuintar("Invalid argument to date encode");
  return d;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
  CivilFromDays(static_cast<int64_t>(std::floor(date)) - kDelphiEpochOffset, year, month, day);
}

int DateToInt(TDateTime date) {
  int y, m, d;
  DecodeDate(date, y, m, d);
  return y * 10000 + m * 100 + d;
}

TDateTime IntToDate(int v) { return EncodeDate(v / 10000, (v % 10000) / 100, v % 100); }

TDateTime Now() {
  std::time_t t = std::time(nullptr);
  std::tm lt{};
  localtime_r(&t, &lt);
  TDateTime d = EncodeDate(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday);
  return d + (lt.tm_hour * 3600 + lt.tm_min * 60 + lt.tm_sec) / 86400.0;
}

TDateTime Today() { return std::floor(Now()); }

std::string FormatDrawDate(TDateTime date) {
  int y, m, d;
  DecodeDate(date, y, m, d);
  return std::to_string(d) + " " + kMonthAbbr[m - 1] + " " + std::to_string(y);
}

TDateTime ParseDrawDate(std::string_view text) {
  std::string t(text);
  auto fail = [&]() -> TDateTime { throw EQuintar(Format("'%s' is not a valid date", {t})); };
  int len = static_cast<int>(t.size());
  if (len < 10) return fail();
  // 1-based: day 1..len-9, month len-7..len-5, year the last 4 characters.
  auto day = TryStrToInt(t.substr(0, static_cast<size_t>(len - 9)));
  std::string mon = t.substr(static_cast<size_t>(len - 8), 3);
  auto year = TryStrToInt(t.substr(static_cast<size_t>(len - 4), 4));
  int month = 0;
  for (int i = 0; i < 12; ++i)
    if (AnsiSameText(mon, kMonthAbbr[i])) month = i + 1;
  TDateTime out;
  if (!day || !year || month == 0 || !TryEncodeDate(*year, month, *day, out)) return fail();
  return out;
}

void InstallDrawDateHooks() { SetDateHooks(FormatDrawDate, ParseDrawDate); }

void SetDateHooks(TDateFormatter formatter, TDateParser parser) {
  g_formatter = std::move(formatter);
  g_parser = std::move(parser);
}

std::string DrawDateToText(TDateTime date) {
  if (date <= 0) return "";
  if (g_formatter) return g_formatter(date);
  // Platform pattern "dd MMM yyyy".
  int y, m, d;
  DecodeDate(date, y, m, d);
  return Format("%.2d %s %d", {d, kMonthAbbr[m - 1], y});
}

TDateTime TextToDrawDate(std::string_view text) {
  std::string t = Trim(text);
  if (t.empty()) return 0;
  if (g_parser) return g_parser(t);
  return ParseDrawDate(t);
}

std::string MonthPageName(int v) {
  int year = v / 100, month = v % 100;
  std::string name = month >= 1 && month <= 12 ? kMonthName[month - 1] : "error";
  return name + "-" + std::to_string(year);
}

void ReduceDiffs(const uint8_t* row, int count, int mode, TByteArray& out) {
  out.clear();
  if (count <= 0) return;
  std::vector<int> r(row, row + count);
  if (count == 1) {
    out.push_back(static_cast<uint8_t>(r[0]));
    return;
  }
  while (r.size() > 2) {
    std::vector<int> n;
    for (size_t i = 0; i + 1 < r.size(); ++i) n.push_back(std::abs(r[i + 1] - r[i]));
    r.swap(n);
  }
  int d = std::abs(r[1] - r[0]);
  if (mode == 1) {
    out.push_back(static_cast<uint8_t>(d < 2 ? r[0] + r[1] : d));
  } else if (mode == 2) {
    if (d == 0) d = r[0] + r[1];
    if (d == 1) {
      out.push_back(1);
      out.push_back(static_cast<uint8_t>(r[0] + r[1]));
    } else {
      out.push_back(static_cast<uint8_t>(d));
    }
  } else {
    out.push_back(static_cast<uint8_t>(d));
  }
}

}  // namespace quintar
