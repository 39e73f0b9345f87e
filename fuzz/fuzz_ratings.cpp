// The ratings file: 304-byte rows read as they are, shown, sorted by every column and exported.
#include "combs/ratings.h"
#include "fuzzutil.h"

using namespace quintar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TRatings r;
  try {
    r.LoadFromFile(fuzz::InputFile("Quintar_7x35.lrt", data, size));
  } catch (const std::exception&) {
  }
  for (int i = 0; i < r.Count(); ++i)
    for (int mode = 0; mode < kRatingsEffModes; ++mode) (void)RatingCells(r[i], mode);
  for (int col = 0; col < kRatingCols; ++col) r.Sort(col, col % 2 == 1);
  (void)RatingsCsvText(r.Rows());
  for (int i = 0; i < r.Count(); ++i) (void)RatingToScriptLine(r[i].Name());
  return 0;
}
