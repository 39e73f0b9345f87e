// Delphi-style Format for the program's texts: "%d", "%s", "%.2d" (zero-padded to 2 digits), "%0:s"
// (argument by index), "%-10s", "%.5f", "%x", "%e", "%g", "%n", "%m", "%%". Floating-point output uses the
// decimal comma of the Russian interface. A mismatched argument raises FormatError.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

namespace quintar {

class FmtArg {
 public:
  FmtArg(int v) : v_(static_cast<int64_t>(v)) {}
  FmtArg(unsigned v) : v_(static_cast<int64_t>(v)) {}
  FmtArg(long v) : v_(static_cast<int64_t>(v)) {}
  FmtArg(long long v) : v_(static_cast<int64_t>(v)) {}
  FmtArg(unsigned long v) : v_(static_cast<int64_t>(v)) {}
  FmtArg(unsigned long long v) : v_(static_cast<int64_t>(v)) {}
  FmtArg(double v) : v_(v) {}
  FmtArg(const char* v) : v_(std::string(v)) {}
  FmtArg(std::string v) : v_(std::move(v)) {}
  FmtArg(std::string_view v) : v_(std::string(v)) {}
  const std::variant<int64_t, double, std::string>& value() const { return v_; }

 private:
  std::variant<int64_t, double, std::string> v_;
};

struct FormatError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string Format(std::string_view fmt, std::initializer_list<FmtArg> args);

}  // namespace quintar
