// The requests' bodies: application/x-www-form-urlencoded forms of UTF-8 values, and the checks every value
// goes through before a request is served.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quintar::catalogue {

// A request the service refuses; the text goes back in the answer's error row, so it never holds "<" or ">"
// and never tells whether a private script exists.
struct Refusal : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Form {
 public:
  static constexpr size_t kMaxFields = 64;
  // Splits at "&", decodes "+" and "%XX" in names and values. A "%" without two hexadecimal digits after it,
  // or a value that is not valid UTF-8, refuses the request.
  static Form Parse(std::string_view body);

  // The first value of a field, or nullptr when the field is missing.
  const std::string* Find(std::string_view name) const;
  bool Has(std::string_view name) const { return Find(name) != nullptr; }
  // A field that must be there, as sent.
  const std::string& Text(std::string_view name) const;
  // A field that must be there and is escaped: the text it stands for.
  std::string Escaped(std::string_view name) const;
  // A field that must be a decimal integer within int32 (an optional leading "-").
  int Int(std::string_view name) const;

 private:
  std::vector<std::pair<std::string, std::string>> items_;
};

bool IsValidUtf8(std::string_view s);
// Length in characters (code points) of valid UTF-8.
size_t CharCount(std::string_view s);
// Whether the text holds "<", ">" or a control character (the ones in allowed excepted).
bool HasMarkupOrControl(std::string_view s, std::string_view allowed = {});
// A stored value as it goes back without Base64: "<", ">" and control characters (but those in allowed)
// become "?". The checks keep them out; this holds for whatever a database may hold.
std::string PlainValue(std::string_view s, std::string_view allowed = {});
// Whether the text is valid Base64 of RFC 4648: whole groups of four, "=" only as padding at the end.
bool IsStrictBase64(std::string_view s);
// A machine id: 1..128 printable ASCII characters without blanks.
bool IsValidHwdid(std::string_view s);
// An owner's e-mail (trimmed): 1..254 characters, one "@", no blanks, markers or control characters.
bool IsValidOwnerMail(std::string_view s);
// Lines of a text split at CR LF, LF or CR; a line end at the very end adds no line.
std::vector<std::string_view> SplitLines(std::string_view text);
size_t CountLines(std::string_view text);  // as many as SplitLines gives, without making them

}  // namespace quintar::catalogue
