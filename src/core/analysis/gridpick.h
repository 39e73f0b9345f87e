// A rectangle of selected grid cells and the set of numbers 1..35 a number filter takes from it (the card
// and layout views).
#pragma once

#include <string>

#include "stats/statdraw.h"

namespace quintar {

// Grid columns Left..Right and rows Top..Bottom, inclusive, as the grid counts them (row 0 is the
// caption row, column 0 the first column).
struct TGridRect {
  int Left = 0, Top = 0, Right = -1, Bottom = -1;
  bool Empty() const { return Right < Left || Bottom < Top; }
  bool operator==(const TGridRect&) const = default;
};

// The numbers of a selection as a number filter takes them: one value record per number (the key's first
// part is the number, the rest zero), in the order met, and their texts joined with "; ".
struct TNumberPick {
  TStatDrawArray Numbers;
  std::string Text;
  bool Empty() const { return Numbers.empty(); }
  // Adds the word's number (a word that is no number gives 0) unless it is in the set already.
  void Add(const std::string& word);
};

}  // namespace quintar
