#include "form.h"

#include <charconv>

#include "online/taggedtext.h"

namespace quintar::catalogue {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Decode(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%') {
      int hi = i + 1 < s.size() ? HexDigit(s[i + 1]) : -1;
      int lo = i + 2 < s.size() ? HexDigit(s[i + 2]) : -1;
      if (hi < 0 || lo < 0) throw Refusal("неверная кодировка запроса (знак % без двух шестнадцатеричных цифр)");
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

Form Form::Parse(std::string_view body) {
  Form f;
  size_t pos = 0;
  while (pos <= body.size()) {
    size_t amp = body.find('&', pos);
    if (amp == std::string_view::npos) amp = body.size();
    std::string_view item = body.substr(pos, amp - pos);
    pos = amp + 1;
    if (item.empty()) continue;
    size_t eq = item.find('=');
    std::string name = Decode(item.substr(0, eq));
    std::string value = eq == std::string_view::npos ? std::string() : Decode(item.substr(eq + 1));
    if (!IsValidUtf8(name) || !IsValidUtf8(value)) throw Refusal("неверная кодировка запроса (не UTF-8)");
    // A field given again counts with its first value; past the first kMaxFields names the rest are ignored
    // (no request has that many), so a body of many tiny fields costs no more memory than its size.
    if (f.items_.size() < kMaxFields && !f.Has(name)) f.items_.emplace_back(std::move(name), std::move(value));
  }
  return f;
}

const std::string* Form::Find(std::string_view name) const {
  for (const auto& [n, v] : items_)
    if (n == name) return &v;
  return nullptr;
}

const std::string& Form::Text(std::string_view name) const {
  const std::string* v = Find(name);
  if (!v) throw Refusal("в запросе нет поля " + std::string(name));
  return *v;
}

std::string Form::Escaped(std::string_view name) const { return quintar::UnescapeText(Text(name)); }

int Form::Int(std::string_view name) const {
  const std::string& v = Text(name);
  std::string_view digits = v;
  if (!digits.empty() && digits[0] == '-') digits.remove_prefix(1);
  int64_t n = 0;
  auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos || ec != std::errc() ||
      end != v.data() + v.size() || n < INT32_MIN || n > INT32_MAX)
    throw Refusal("поле " + std::string(name) + " не целое число");
  return static_cast<int>(n);
}

bool IsValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    int len;
    uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + static_cast<size_t>(len) > s.size()) return false;
    for (int k = 1; k < len; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += static_cast<size_t>(len);
  }
  return true;
}

size_t CharCount(std::string_view s) {
  size_t n = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

bool HasMarkupOrControl(std::string_view s, std::string_view allowed) {
  for (char ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (ch == '<' || ch == '>') return true;
    if ((c < 32 || c == 127) && allowed.find(ch) == std::string_view::npos) return true;
  }
  return false;
}

std::string PlainValue(std::string_view s, std::string_view allowed) {
  std::string out(s);
  for (char& c : out) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '<' || c == '>' || ((u < 32 || u == 127) && allowed.find(c) == std::string_view::npos)) c = '?';
  }
  return out;
}

bool IsStrictBase64(std::string_view s) {
  if (s.size() % 4 != 0) return false;
  size_t pad = 0;
  while (pad < 2 && pad < s.size() && s[s.size() - 1 - pad] == '=') ++pad;
  for (size_t i = 0; i + pad < s.size(); ++i) {
    char c = s[i];
    bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
    if (!ok) return false;
  }
  return true;
}

bool IsValidHwdid(std::string_view s) {
  if (s.empty() || s.size() > 128) return false;
  for (char c : s)
    if (c <= 32 || c >= 127) return false;
  return true;
}

bool IsValidOwnerMail(std::string_view s) {
  size_t at = 0;
  for (char c : s) at += c == '@';
  return !s.empty() && CharCount(s) <= 254 && at == 1 && s.find(' ') == std::string_view::npos &&
         !HasMarkupOrControl(s);
}

size_t CountLines(std::string_view text) {
  size_t n = 0;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++n;
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') ++n;
  return n;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0, i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(text.substr(start, i - start));
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace quintar::catalogue
