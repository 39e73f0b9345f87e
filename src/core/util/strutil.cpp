#include "util/strutil.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "util/cp1251.h"

namespace quintar {

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

std::string TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(0, e));
}

namespace {

char32_t UpperCp(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0x0430 && c <= 0x044F) return c - 0x20;
  if (c >= 0x0450 && c <= 0x045F) return c - 0x50;  // ё, ђ, ... -> Ё, Ђ, ...
  if (c == 0x0491) return 0x0490;
  return c;
}

char32_t LowerCp(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;
  if (c >= 0x0400 && c <= 0x040F) return c + 0x50;
  if (c == 0x0490) return 0x0491;
  return c;
}

template <typename F>
std::string MapCase(std::string_view s, F f) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) AppendUtf8(out, f(DecodeUtf8(s, i)));
  return out;
}

// Sort weight of a code point for alphabetical comparison: Cyrillic Ё sorts right after Е.
double Weight(char32_t c) {
  if (c == 0x0401) return 0x0415 + 0.5;
  if (c == 0x0451) return 0x0435 + 0.5;
  return static_cast<double>(c);
}

}  // namespace

std::string AnsiUpperCase(std::string_view s) { return MapCase(s, UpperCp); }
std::string AnsiLowerCase(std::string_view s) { return MapCase(s, LowerCp); }

int AnsiCompareText(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    double x = Weight(UpperCp(DecodeUtf8(a, i)));
    double y = Weight(UpperCp(DecodeUtf8(b, j)));
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

int AnsiCompareStr(std::string_view a, std::string_view b) {
  // Alphabetical first, then lower case before upper case for otherwise equal texts.
  int r = AnsiCompareText(a, b);
  if (r != 0) return r;
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    char32_t x = DecodeUtf8(a, i), y = DecodeUtf8(b, j);
    if (x != y) return LowerCp(x) == x ? -1 : 1;
  }
  return 0;
}

bool AnsiSameText(std::string_view a, std::string_view b) {
  if (a.size() == b.size()) {
    bool same = true;
    for (size_t k = 0; k < a.size(); ++k)
      if (a[k] != b[k]) {
        same = false;
        break;
      }
    if (same) return true;
  }
  return AnsiCompareText(a, b) == 0;
}

bool StartsWithText(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  return AnsiSameText(s.substr(0, prefix.size()), prefix);
}

bool EndsWithText(std::string_view s, std::string_view suffix) {
  if (s.size() < suffix.size()) return false;
  return AnsiSameText(s.substr(s.size() - suffix.size()), suffix);
}

std::optional<int64_t> TryStrToInt64(std::string_view s) {
  if (s.empty()) return std::nullopt;
  size_t i = 0;
  bool neg = false;
  if (s[i] == '-' || s[i] == '+') {
    neg = s[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return std::nullopt;
  unsigned long long v = 0;
  const unsigned long long limit = neg ? 9223372036854775808ULL : 9223372036854775807ULL;
  for (; i < s.size(); ++i) {
    char c = s[i];
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return std::nullopt;
    if (v > (limit - d) / base) return std::nullopt;
    v = v * base + d;
  }
  if (neg) return v == 9223372036854775808ULL ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(v);
  return static_cast<int64_t>(v);
}

std::optional<int> TryStrToInt(std::string_view s) {
  auto v = TryStrToInt64(s);
  if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(*v);
}

int StrToIntDef(std::string_view s, int def) {
  auto v = TryStrToInt(s);
  return v ? *v : def;
}

int64_t StrToInt64Def(std::string_view s, int64_t def) {
  auto v = TryStrToInt64(s);
  return v ? *v : def;
}

std::optional<double> TryStrToFloat(std::string_view s) {
  std::string t = Trim(s);
  if (t.empty()) return std::nullopt;
  for (char& c : t)
    if (c == ',') c = '.';
  for (char c : t)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return std::nullopt;
  char* end = nullptr;
  double v = std::strtod(t.c_str(), &end);
  if (end != t.c_str() + t.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

double StrToFloatDef(std::string_view s, double def) {
  auto v = TryStrToFloat(s);
  return v ? *v : def;
}

namespace {
std::string Comma(std::string s) {
  for (char& c : s)
    if (c == '.') c = ',';
  return s;
}
}  // namespace

std::string FloatToStr(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  std::string s = buf;
  // Delphi writes 1E20 style exponents without "+" and leading zeros.
  size_t e = s.find('e');
  if (e != std::string::npos) {
    std::string mant = s.substr(0, e);
    int ex = std::atoi(s.c_str() + e + 1);
    s = mant + "E" + std::to_string(ex);
  }
  return Comma(s);
}

namespace {

// The text of v with the given decimals when its rounding is plain: |v| x 10^decimals below 10^9 and not
// within 10^-6 of a half, where the double product rounds the way printf rounds v itself. Else nothing.
bool PlainFixed(double v, int decimals, std::string& out) {
  static const double kScale[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
  if (decimals < 0 || decimals > 6 || !(std::fabs(v) < 1e9)) return false;
  const double x = std::fabs(v) * kScale[decimals];
  if (!(x < 1e9)) return false;
  const double whole = std::floor(x);
  const double frac = x - whole;
  if (std::fabs(frac - 0.5) <= 1e-6) return false;
  uint64_t r = static_cast<uint64_t>(whole) + (frac > 0.5 ? 1 : 0);
  const bool negative = v < 0 && r != 0;  // no negative zero
  char buf[32];
  char* const end = buf + sizeof buf;
  char* p = end;
  for (int i = 0; i < decimals; ++i, r /= 10) *--p = static_cast<char>('0' + r % 10);
  if (decimals > 0) *--p = ',';
  do {
    *--p = static_cast<char>('0' + r % 10);
    r /= 10;
  } while (r);
  if (negative) *--p = '-';
  out.assign(p, end);
  return true;
}

}  // namespace

std::string FloatToFixed(double v, int decimals) {
  // The statistics table writes tens of thousands of these: printf only where the rounding needs it.
  std::string plain;
  if (PlainFixed(v, decimals, plain)) return plain;
  char buf[384];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  std::string s = buf;
  if (s == "-0" || (s.size() > 1 && s[0] == '-' && s.find_first_not_of("-0.,") == std::string::npos))
    s.erase(0, 1);  // no negative zero
  return Comma(s);
}

std::string MoneyToText(int64_t money) { return FloatToFixed(MoneyToDouble(money), 2); }

int64_t MoneyFromDouble(double v) { return static_cast<int64_t>(std::llround(v * 10000.0)); }

double MoneyToDouble(int64_t money) { return static_cast<double>(money) / 10000.0; }

std::string IntToStr(int64_t v) { return std::to_string(v); }

std::vector<std::string> SplitAny(std::string_view s, std::string_view delims, bool skipEmpty) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : s) {
    if (delims.find(c) != std::string_view::npos) {
      if (!skipEmpty || !cur.empty()) out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!skipEmpty || !cur.empty()) out.push_back(cur);
  return out;
}

std::string Join(const std::vector<std::string>& parts, std::string_view sep) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out += sep;
    out += parts[i];
  }
  return out;
}

std::string ReplaceAll(std::string s, std::string_view from, std::string_view to) {
  if (from.empty()) return s;
  size_t pos = 0;
  while ((pos = s.find(from, pos)) != std::string::npos) {
    s.replace(pos, from.size(), to);
    pos += to.size();
  }
  return s;
}

size_t Utf8Length(std::string_view s) {
  size_t n = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

std::string Utf8Left(std::string_view s, size_t chars) {
  size_t i = 0, n = 0;
  while (i < s.size() && n < chars) {
    DecodeUtf8(s, i);
    ++n;
  }
  return std::string(s.substr(0, i));
}

}  // namespace quintar

namespace quintar {

std::vector<std::string> SplitDelimitedText(std::string_view s, char delimiter, char quote) {
  std::vector<std::string> out;
  // The text ends at its first NUL, as a C string would: the reader never stops on a byte it cannot pass.
  s = s.substr(0, s.find('\0'));
  size_t p = 0, n = s.size();
  auto blank = [&](size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    return c >= 1 && c <= ' ';
  };
  while (p < n && blank(p)) ++p;
  while (p < n) {
    std::string field;
    if (s[p] == quote) {
      ++p;
      while (p < n) {
        if (s[p] == quote) {
          if (p + 1 < n && s[p + 1] == quote) {
            field += quote;
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        field += s[p++];
      }
    } else {
      size_t b = p;
      while (p < n && static_cast<unsigned char>(s[p]) > ' ' && s[p] != delimiter) ++p;
      field.assign(s.substr(b, p - b));
    }
    out.push_back(std::move(field));
    while (p < n && blank(p)) ++p;
    if (p < n && s[p] == delimiter) {
      if (p + 1 == n) out.emplace_back();
      do {
        ++p;
      } while (p < n && blank(p));
    }
  }
  return out;
}

std::string QuotedStr(std::string_view s, char quote) {
  std::string out(1, quote);
  for (char c : s) {
    if (c == quote) out += quote;
    out += c;
  }
  out += quote;
  return out;
}

}  // namespace quintar
