#include "online/taggedtext.h"

#include <cmath>
#include <cstring>
#include <ctime>

#include "util/cp1251.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

namespace {

inline unsigned char LowerAscii(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

[[noreturn]] void RaisePairError(std::string_view text, std::string_view startMarker, std::string_view endMarker) {
  std::string shown;
  if (Utf8Length(text) > kPairErrorTextLimit)
    shown = Utf8Left(text, kPairErrorTextLimit) + "...";
  else
    shown = std::string(text);
  throw EPairError(Format("Не удалось найти пару идентификаторов \"%1:s\" - \"%2:s\" в тексте\r\r[%0:s]!",
                          {shown, startMarker, endMarker}));
}

}  // namespace

size_t FindText(std::string_view text, std::string_view marker, size_t from) {
  if (marker.empty() || from > text.size() || text.size() - from < marker.size()) return std::string_view::npos;
  const unsigned char first = LowerAscii(static_cast<unsigned char>(marker[0]));
  const size_t last = text.size() - marker.size();
  for (size_t i = from; i <= last; ++i) {
    if (LowerAscii(static_cast<unsigned char>(text[i])) != first) continue;
    size_t k = 1;
    while (k < marker.size() &&
           LowerAscii(static_cast<unsigned char>(text[i + k])) == LowerAscii(static_cast<unsigned char>(marker[k])))
      ++k;
    if (k == marker.size()) return i;
  }
  return std::string_view::npos;
}

std::string Unquote(std::string_view text) {
  std::string s = Trim(text);
  if (s.size() < 2 || s.front() != '"' || s.back() != '"') return s;
  s = s.substr(1, s.size() - 2);
  // From the last character to the first: a quote that starts the text or follows a non-quote goes.
  for (size_t i = s.size(); i-- > 0;) {
    if (s[i] == '"' && (i == 0 || s[i - 1] != '"')) s.erase(i, 1);
  }
  return s;
}

std::string TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker, int mode) {
  size_t p = FindText(text, startMarker);
  if (p == std::string_view::npos) return "";
  size_t b = p + startMarker.size();
  if (endMarker.empty()) return Unquote(text.substr(b));
  size_t e = FindText(text, endMarker, b);
  if (e == std::string_view::npos) {
    if (mode == bmStrict) RaisePairError(text, startMarker, endMarker);
    if (mode == bmRest) return Unquote(text.substr(b));
    return "";
  }
  return Unquote(text.substr(b, e - b));
}

std::string TakeBetween(std::string& text, std::string_view startMarker, std::string_view endMarker, int mode) {
  size_t p = FindText(text, startMarker);
  if (p == std::string::npos) return "";
  size_t b = p + startMarker.size();
  std::string value;
  if (endMarker.empty()) {
    value = Unquote(std::string_view(text).substr(b));
    text.clear();
    return value;
  }
  size_t e = FindText(text, endMarker, b);
  if (e == std::string::npos) {
    if (mode == bmStrict) RaisePairError(text, startMarker, endMarker);
    if (mode != bmRest) return "";
    value = Unquote(std::string_view(text).substr(b));
    text.clear();
    return value;
  }
  value = Unquote(std::string_view(text).substr(b, e - b));
  text.erase(0, e + endMarker.size());
  return value;
}

std::string TakeBlock(std::string& text, std::string_view marker) {
  size_t p = FindText(text, marker);
  if (p == std::string::npos) return "";
  size_t b = p + marker.size();
  // The next marker is searched from the second character after the first one's end.
  size_t n = FindText(text, marker, b + 1);
  std::string value;
  if (n == std::string::npos) {
    value = Unquote(std::string_view(text).substr(b));
    text.clear();
  } else {
    value = Unquote(std::string_view(text).substr(b, n - b));
    text.erase(0, n);
  }
  return value;
}

std::string EscapeText(std::string_view text) {
  static const char* const kControl[14] = {"\\0", "\\1", "\\2", "\\3", "\\4", "\\5", "\\6",
                                           "\\a", "\\b", "\\t", "\\n", "\\v", "\\f", "\\r"};
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c <= 13)
      out += kControl[c];
    else if (c == 27)
      out += "\\e";
    else if (ch == '"' || ch == '\'' || ch == '?' || ch == '\\') {
      out += '\\';
      out += ch;
    } else {
      out += ch;
    }
  }
  return out;
}

std::string UnescapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    if (ch != '\\' || i + 1 == text.size()) {
      out += ch;
      continue;
    }
    static const char kLetters[] = "abtnvfr";  // codes 7..13
    char next = text[i + 1];
    int code = -1;
    if (next >= '0' && next <= '6')
      code = next - '0';
    else if (const char* p = std::strchr(kLetters, next); p && next)
      code = 7 + static_cast<int>(p - kLetters);
    else if (next == 'e')
      code = 27;
    else if (next == '"' || next == '\'' || next == '?' || next == '\\')
      code = static_cast<unsigned char>(next);
    if (code < 0) {
      out += ch;  // not an escape: the backslash stays, the next character is read on its own
      continue;
    }
    out += static_cast<char>(code);
    ++i;
  }
  return out;
}

namespace {
const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    uint32_t v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                 static_cast<unsigned char>(bytes[i + 2]);
    out += kBase64[(v >> 18) & 63];
    out += kBase64[(v >> 12) & 63];
    out += kBase64[(v >> 6) & 63];
    out += kBase64[v & 63];
  }
  size_t rest = bytes.size() - i;
  if (rest > 0) {
    uint32_t v = static_cast<unsigned char>(bytes[i]) << 16;
    if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kBase64[(v >> 18) & 63];
    out += kBase64[(v >> 12) & 63];
    out += rest == 2 ? kBase64[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string Base64Decode(std::string_view text) {
  int map[256];
  for (int& v : map) v = -1;
  for (int k = 0; k < 64; ++k) map[static_cast<unsigned char>(kBase64[k])] = k;
  std::string out;
  out.reserve(text.size() / 4 * 3);
  uint32_t acc = 0;
  int bits = 0;
  for (char ch : text) {
    int v = map[static_cast<unsigned char>(ch)];
    if (v < 0) continue;  // padding, line breaks and anything else outside the alphabet
    acc = (acc << 6) | static_cast<uint32_t>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((acc >> bits) & 0xFF);
    }
  }
  return out;
}

std::string Utf8ToAnsi(std::string_view text) { return Cp1251ToUtf8(Utf8ToCp1251(text)); }

TDateTime ServiceTimeToLocal(std::string_view text) {
  std::string t(text);
  if (Trim(t).empty()) return 0;
  auto field = [&](size_t pos, size_t len) -> int {
    std::optional<int> v;
    if (pos + len <= t.size()) v = TryStrToInt(t.substr(pos, len));
    if (!v || *v < 0) throw EQuintar(Format("'%s' is not a valid date and time", {t}));
    return *v;
  };
  const int year = field(0, 4), month = field(5, 2), day = field(8, 2);
  const int hour = field(11, 2), minute = field(14, 2), second = field(17, 2);
  TDateTime check;
  if (!TryEncodeDate(year, month, day, check) || hour > 23 || minute > 59 || second > 59)
    throw EQuintar(Format("'%s' is not a valid date and time", {t}));
  std::tm utc{};
  utc.tm_year = year - 1900;
  utc.tm_mon = month - 1;
  utc.tm_mday = day;
  utc.tm_hour = hour;
  utc.tm_min = minute;
  utc.tm_sec = second;
  std::time_t tt = timegm(&utc);
  std::tm lt{};
  localtime_r(&tt, &lt);
  return EncodeDate(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday) +
         (lt.tm_hour * 3600 + lt.tm_min * 60 + lt.tm_sec) / 86400.0;
}

}  // namespace quintar
