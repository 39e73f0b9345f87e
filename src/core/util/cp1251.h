// Windows-1251 <-> UTF-8. Files the program shares with its users keep Windows-1251 text; in memory every
// text is UTF-8. Characters with no counterpart become "?".
#pragma once

#include <string>
#include <string_view>

namespace quintar {

std::string Cp1251ToUtf8(std::string_view s);
std::string Utf8ToCp1251(std::string_view s);

// Decodes one UTF-8 code point at s[i], advancing i; invalid bytes give 0xFFFD and advance by one.
char32_t DecodeUtf8(std::string_view s, size_t& i);
void AppendUtf8(std::string& out, char32_t cp);

// Maps one code point to its Windows-1251 byte, or -1 when it has none.
int UnicodeToCp1251(char32_t cp);
char32_t Cp1251ToUnicode(unsigned char b);

}  // namespace quintar
