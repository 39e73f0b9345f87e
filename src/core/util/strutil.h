// Small text helpers shared by the whole core: trimming, case-insensitive comparison (Cyrillic included),
// integer and floating-point reading with the Russian decimal comma, splitting and joining.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quintar {

// Removes blanks and control characters (<= ' ') at both ends, as Delphi's Trim does.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// Upper/lower case of UTF-8 text; Latin and Cyrillic letters (the Windows-1251 repertoire) are mapped.
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);
bool AnsiSameText(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);
// Compares with regard to case, letters in alphabetical order (Cyrillic after Latin).
int AnsiCompareStr(std::string_view a, std::string_view b);

bool StartsWithText(std::string_view s, std::string_view prefix);  // ignoring case
bool EndsWithText(std::string_view s, std::string_view suffix);    // ignoring case

// Reads a whole decimal integer (optional sign, optional "$"/"0x" hex as Delphi accepts); blanks around
// the number are not accepted, as with StrToInt.
std::optional<int64_t> TryStrToInt64(std::string_view s);
std::optional<int> TryStrToInt(std::string_view s);
int StrToIntDef(std::string_view s, int def);
int64_t StrToInt64Def(std::string_view s, int64_t def);

// Reads a floating-point number; the decimal separator may be "," or ".".
std::optional<double> TryStrToFloat(std::string_view s);
double StrToFloatDef(std::string_view s, double def);
// Shortest text of a double with up to 15 significant digits and the decimal comma (FloatToStr).
std::string FloatToStr(double v);
// Fixed decimals with the decimal comma (FloatToStrF ffFixed).
std::string FloatToFixed(double v, int decimals);

// Money is kept in 1/10000 units; shown with two decimals and the decimal comma.
std::string MoneyToText(int64_t money);
int64_t MoneyFromDouble(double v);
double MoneyToDouble(int64_t money);
// The money settings (stake cost, prizes) stay within this many units of money either way: a stake of
// 8 numbers costs 8 times the cost, and the profits of a 65,535-draw series of such stakes still add up
// within 64 bits.
inline constexpr double kMaxMoneySetting = 1.0e9;
// a + b, held at the limits of int64_t instead of wrapping round.
inline int64_t AddMoney(int64_t a, int64_t b) {
  int64_t r;
  if (__builtin_add_overflow(a, b, &r)) return b > 0 ? INT64_MAX : INT64_MIN;
  return r;
}

std::string IntToStr(int64_t v);

// Splits at any of the delimiter characters; with skipEmpty, runs of delimiters count as one and
// empty words at the ends are dropped.
std::vector<std::string> SplitAny(std::string_view s, std::string_view delims, bool skipEmpty);
std::string Join(const std::vector<std::string>& parts, std::string_view sep);

// Replaces every occurrence of from by to.
std::string ReplaceAll(std::string s, std::string_view from, std::string_view to);

// Length of UTF-8 text in characters and the first n characters of it.
size_t Utf8Length(std::string_view s);
std::string Utf8Left(std::string_view s, size_t chars);

}  // namespace quintar

namespace quintar {

// Splits a line the way the platform's delimited-text reader does (non-strict): fields end at the
// delimiter, and an unquoted field also ends at a blank or control character; a field starting with the
// quote character runs to the closing quote, with doubled quotes standing for one.
std::vector<std::string> SplitDelimitedText(std::string_view line, char delimiter, char quote);

// Quotes a text with the quote character, doubling quotes inside (AnsiQuotedStr).
std::string QuotedStr(std::string_view s, char quote);

}  // namespace quintar
