// Coefficients of the weight column of the statistics table; the catalogue settings keep the program-wide
// ones and a filter may carry its own.
#pragma once

namespace quintar {

// Coefficients of the statistics table's weight column.
struct TWeightCoefs {
  double Count = 0;
  double Deviation = -1;
  double Level = 1;
  bool UsePercents = false;
  bool UseAbsValues = false;
  bool operator==(const TWeightCoefs&) const = default;
};

}  // namespace quintar
