// Reading values out of the texts the web services answer with, by searching for marker strings (XML-like
// tags of the catalogue service, JSON fragments of the results pages), and the text encodings used on the
// way: escaping of free text, Base64, service UTF-8 and service times.
//
// Every search compares ASCII letters without regard to case and all other bytes exactly. A found value is
// trimmed of blanks and control characters at both ends and then unquoted (Unquote).
#pragma once

#include <string>
#include <string_view>

#include "game/game.h"

namespace quintar {

// The pair error: the start marker is there but its end marker is not.
struct EPairError : EQuintar {
  using EQuintar::EQuintar;
};

// The pair error's text quotes the searched text; a longer text is cut to this many characters and "...".
inline constexpr size_t kPairErrorTextLimit = 300;

// What to do when the start marker is found and the end marker is not.
enum TBetweenMode {
  bmStrict = 0,  // raise EPairError
  bmEmpty = 1,   // give an empty value
  bmRest = 2,    // give the rest of the text
};

// Position of the first occurrence of marker in text at or after from, ignoring ASCII case; npos if none.
size_t FindText(std::string_view text, std::string_view marker, size_t from = 0);

// Trims, then removes one pair of enclosing double quotes and turns doubled quotes inside into one.
std::string Unquote(std::string_view text);

// The value between the first start marker and the first end marker after it (to the end of the text when
// the end marker is empty). No start marker: an empty value in every mode.
std::string TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker, int mode);
// The same value; in addition the text loses everything from its start through the end of the end marker
// (through its end when the end marker is empty, or missing in mode 2).
std::string TakeBetween(std::string& text, std::string_view startMarker, std::string_view endMarker, int mode);
// The value from just after the first marker to just before the next one (or to the end); the text then
// begins with that next marker, or is empty.
std::string TakeBlock(std::string& text, std::string_view marker);

// Escapes free text sent to the catalogue service: codes 0..13 and 27 become "\0".."\6", "\a", "\b", "\t",
// "\n", "\v", "\f", "\r", "\e"; double quote, apostrophe, question mark and backslash get a backslash.
std::string EscapeText(std::string_view text);
// The exact inverse of EscapeText (the catalogue service reads the escaped fields with it): each of the
// escapes above gives back its character; any other backslash stays as it is.
std::string UnescapeText(std::string_view text);

// Base64 of RFC 4648 with "=" padding; decoding skips every character outside the alphabet.
std::string Base64Encode(std::string_view bytes);
std::string Base64Decode(std::string_view text);

// A value a service sent in UTF-8, as the interface holds it: characters the interface code page
// (Windows-1251) lacks become "?", and so do bytes that are not valid UTF-8.
std::string Utf8ToAnsi(std::string_view text);

// "yyyy-mm-dd hh:nn:ss" in UTC to local time by the system's time zone rules; "" gives 0. Fields that are
// not numbers raise EQuintar.
TDateTime ServiceTimeToLocal(std::string_view text);

}  // namespace quintar
