#include "util/format.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "util/strutil.h"

namespace quintar {

namespace {

std::string Pad(std::string s, int width, bool left) {
  if (width <= 0) return s;
  size_t len = Utf8Length(s);
  if (len >= static_cast<size_t>(width)) return s;
  std::string pad(static_cast<size_t>(width) - len, ' ');
  return left ? s + pad : pad + s;
}

std::string Thousands(const std::string& digits) {
  // Groups the integer part with the Russian thousands separator (no-break space).
  std::string out;
  int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    out += digits[static_cast<size_t>(i)];
    int rest = n - i - 1;
    if (rest > 0 && rest % 3 == 0) out += "\xC2\xA0";
  }
  return out;
}

}  // namespace

std::string Format(std::string_view fmt, std::initializer_list<FmtArg> argList) {
  std::vector<const FmtArg*> args;
  for (const FmtArg& a : argList) args.push_back(&a);
  std::string out;
  size_t next = 0;
  size_t i = 0;
  while (i < fmt.size()) {
    char c = fmt[i];
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    ++i;
    if (i < fmt.size() && fmt[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    // %[index:][-][width][.prec]type
    auto readNum = [&](int& v) -> bool {
      if (i < fmt.size() && fmt[i] == '*') {
        if (next >= args.size()) throw FormatError("Format: missing argument");
        auto* p = std::get_if<int64_t>(&args[next]->value());
        if (!p) throw FormatError("Format: '*' needs an integer");
        v = static_cast<int>(*p);
        ++next;
        ++i;
        return true;
      }
      size_t s = i;
      v = 0;
      while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') v = v * 10 + (fmt[i++] - '0');
      return i > s;
    };
    int num = 0;
    bool left = false;
    int width = -1, prec = -1;
    size_t save = i;
    if (readNum(num) && i < fmt.size() && fmt[i] == ':') {
      next = static_cast<size_t>(num);
      ++i;
    } else {
      i = save;
    }
    if (i < fmt.size() && fmt[i] == '-') {
      left = true;
      ++i;
    }
    int w;
    if (readNum(w)) width = w;
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      int p;
      prec = readNum(p) ? p : 0;
    }
    if (i >= fmt.size()) throw FormatError("Format: incomplete specifier");
    char type = static_cast<char>(fmt[i] | 0x20);
    ++i;
    if (next >= args.size()) throw FormatError("Format: missing argument");
    const auto& v = args[next++]->value();
    std::string piece;
    switch (type) {
      case 'd':
      case 'u': {
        auto* p = std::get_if<int64_t>(&v);
        if (!p) throw FormatError("Format: %d needs an integer");
        int64_t x = *p;
        unsigned long long mag =
            x < 0 ? static_cast<unsigned long long>(-(x + 1)) + 1ULL : static_cast<unsigned long long>(x);
        std::string digits = std::to_string(mag);
        if (prec > 0 && static_cast<int>(digits.size()) < prec) digits.insert(0, prec - digits.size(), '0');
        piece = (x < 0 ? "-" : "") + digits;
        break;
      }
      case 'x': {
        auto* p = std::get_if<int64_t>(&v);
        if (!p) throw FormatError("Format: %x needs an integer");
        char buf[32];
        std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(*p));
        piece = buf;
        if (prec > 0 && static_cast<int>(piece.size()) < prec) piece.insert(0, prec - piece.size(), '0');
        break;
      }
      case 's': {
        if (auto* p = std::get_if<std::string>(&v))
          piece = *p;
        else
          throw FormatError("Format: %s needs a text");
        if (prec >= 0) piece = Utf8Left(piece, static_cast<size_t>(prec));
        break;
      }
      case 'f':
      case 'e':
      case 'g':
      case 'n':
      case 'm': {
        double x;
        if (auto* p = std::get_if<double>(&v))
          x = *p;
        else
          throw FormatError("Format: floating-point specifier needs a number");
        if (type == 'f') {
          piece = FloatToFixed(x, prec < 0 ? 2 : prec);
        } else if (type == 'n' || type == 'm') {
          std::string s = FloatToFixed(std::fabs(x), prec < 0 ? 2 : prec);
          size_t comma = s.find(',');
          std::string ip = comma == std::string::npos ? s : s.substr(0, comma);
          std::string fp = comma == std::string::npos ? "" : s.substr(comma);
          piece = (x < 0 && s.find_first_not_of("0,") != std::string::npos ? "-" : "") + Thousands(ip) + fp;
        } else if (type == 'e') {
          char buf[64];
          std::snprintf(buf, sizeof buf, "%.*E", prec < 0 ? 14 : (prec > 0 ? prec - 1 : 0), x);
          piece = ReplaceAll(buf, ".", ",");
        } else {
          char buf[64];
          std::snprintf(buf, sizeof buf, "%.*G", prec < 0 ? 15 : prec, x);
          piece = ReplaceAll(buf, ".", ",");
        }
        break;
      }
      default:
        throw FormatError(std::string("Format: unknown specifier %") + type);
    }
    out += Pad(piece, width, left);
  }
  return out;
}

}  // namespace quintar
