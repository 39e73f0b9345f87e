// Making a combination list from nothing: every 7-of-35 combination in ascending lexicographic order,
// or those that fit the user's numbers; and removing from a list the combinations that came out in the
// last draws.
#pragma once

#include <bitset>
#include <functional>
#include <string>
#include <string_view>

#include "combs/combslist.h"
#include "combs/genparams.h"
#include "game/drawarchive.h"

namespace quintar {

// Generation modes, in the order of the generation dialog's list.
inline constexpr int kGenModeFull = 0;      // every combination
inline constexpr int kGenModeAny = 1;       // at least one of the user's numbers
inline constexpr int kGenModeOnly = 2;      // only the user's numbers
inline constexpr int kGenModeNone = 3;      // none of the user's numbers
inline constexpr int kGenModeFile = 4;      // a list file named by the parameter
inline constexpr int kGenModeCount = 5;
extern const char* const kGenModeCaptions[kGenModeCount];
inline constexpr size_t kGenParamsMaxChars = 255;

// The user's numbers: words at "," and ";", each trimmed and read as a decimal integer (a word that is
// not a number counts as 0); values 0..255 enter the set, others are left out.
using TGenNumbers = std::bitset<256>;
TGenNumbers GenNumbersFromText(std::string_view text);

// What the generation dialog returns: the mode and the parameter text cut to 255 characters.
TCombsGenParams MakeGenParams(int mode, std::string_view text);

// Empties the list and appends, in ascending lexicographic order, every combination that passes the
// mode's test against the numbers (modes 1..3; any other mode keeps every combination; mode 4 is read
// from its file by the caller).
void GenerateCombs(int mode, const TGenNumbers& nums, TCombsList& list);

// The seven numbers of a row sorted and packed: rows with the same numbers in any order give the same key.
uint64_t NumbersKey(const uint8_t* n);

// The draws whose combinations ExcludeLastDraws removes: indices First..Last of the archive (empty when
// First > Last), ending at the newest draw minus the draws offset.
struct TDrawWindow {
  int First = 0;
  int Last = -1;
  bool Empty() const { return First > Last; }
  int Count() const { return Empty() ? 0 : Last - First + 1; }
};
TDrawWindow LastDrawsWindow(int drawCount, int drawsOffset, int n);

std::string ExcludeStatusText(int n);
std::string ExcludeProgressText(int n, double percent);

// Rebuilds `to` from `from` in order, leaving out every combination whose seven numbers (in any order)
// are the main numbers of a draw of the window of the last n draws. Shows the progress texts through
// status every max(1, count / 100) combinations, starting with the first. from and to are different lists.
void ExcludeLastDraws(const TDrawArchive& archive, int drawsOffset, int n, const TCombsList& from,
                      TCombsList& to, const std::function<void(const std::string&)>& status);

// The same as ExcludeLastDraws when `full` holds every combination in ascending lexicographic order (what
// GenerateCombs makes in mode kGenModeFull): each draw's combination is found by its place in that order
// and the rest is copied in runs. When `full` is not that list (a draw's place holds another combination),
// it falls back to ExcludeLastDraws.
void ExcludeLastDrawsFromFull(const TDrawArchive& archive, int drawsOffset, int n, const TCombsList& full,
                              TCombsList& to);

}  // namespace quintar
