// Results against chance. A rating row (or the stakes of one script test) is set against what pure
// chance gives the same number of stakes: for every match count m, how likely it is that at least as
// many stakes guess m numbers or more, and what money the same stakes would make on average. The archive
// itself is set against independent uniform draws: the frequencies of the 35 numbers, the sums, the even
// counts and the repeats from the previous draw, each with a chi-square test against its exact law.
// Tails are summed exactly in long double; nothing stored or shown elsewhere changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "combs/ratings.h"
#include "combs/stakesfile.h"
#include "game/game.h"

namespace quintar {

// P(X >= k) for X of the binomial law with n trials of probability p: the terms are summed from the
// smaller side, each from its logarithm (no normal approximation).
long double BinomialUpperTail(int64_t n, long double p, int64_t k);
// The regularized upper incomplete gamma function Q(a, x).
long double GammaQ(long double a, long double x);
// P(X >= x) for X of the chi-square law with df degrees of freedom.
long double ChiSquareUpperTail(long double x, int df);
// Four significant digits with the decimal comma ("0,04512", "1,000", "3,210e-07").
std::string PValueText(long double p);

// The figures of one rating row.
struct TMatchTail {
  int Matches = 0;        // m: stakes that guessed m numbers or more
  int64_t Observed = 0;
  double Expected = 0;    // N * P(>= m)
  long double Tail = 1;   // P(at least Observed such stakes by chance)
};
struct TRowSignificance {
  std::string Name;
  int64_t Stakes = 0;
  std::vector<TMatchTail> Tails;  // m = 1..7
  int BestMatches = 0;            // the m of the smallest tail
  long double PValue = 1;         // the smallest tail times the number of tails tried (Holm), at most 1
  int64_t Profit = 0;             // the row's money, 1/10000 units
  double ExpectedProfit = 0;      // the same stakes by chance, money units
  double ProfitDeviation = 0;     // its standard deviation, money units
  std::vector<int64_t> Counts;    // stakes with 0..7 matches
  std::vector<double> ExpectedCounts;
  std::string Verdict;
};
// A row of 7-number stakes with the current cost and prizes.
TRowSignificance RowSignificance(const TRatingRec& row, const TStakePrices& prices);
// The plain-language verdict for a p-value.
std::string SignificanceVerdict(long double p);
inline constexpr const char* kChanceVerdict = "не отличается от случайного угадывания";

// One chi-square test of the archive: categories with their observed and expected counts.
struct TChiSquareTest {
  std::string Caption;
  std::vector<std::string> Categories;
  std::vector<double> Observed, Expected;
  double ChiSquare = 0;
  int Freedom = 0;
  long double PValue = 1;
  std::string Verdict;
};
struct TRandomnessReport {
  int FirstDraw = 0, LastDraw = 0;  // draw numbers of the window
  std::string FirstDate, LastDate;
  int Draws = 0;
  std::vector<TChiSquareTest> Tests;
};
// The window of len draws ending at the archive index last (len <= 0 or beyond the archive: every draw
// up to last). Categories whose expected count is below 5 are merged with their neighbours.
TRandomnessReport ArchiveRandomness(const TDrawsArray& draws, int last, int len);
// The verdict for an archive test.
std::string RandomnessVerdict(long double p);

// The texts the window and the command-line program show (UTF-8): an HTML page with tables and, with
// charts, bar charts as inline SVG; and tab-separated lines with captions.
std::string SignificanceHtml(const std::vector<TRowSignificance>& rows, bool charts = true);
std::string RandomnessHtml(const TRandomnessReport& report, bool charts = true);
std::vector<std::string> SignificanceLines(const TRowSignificance& row);
std::vector<std::string> RandomnessLines(const TRandomnessReport& report);

// The bar charts the window draws: observed against expected counts per category.
struct TReportChart {
  std::string Caption;
  std::vector<std::string> Categories;
  std::vector<double> Observed, Expected;
};
std::vector<TReportChart> SignificanceCharts(const std::vector<TRowSignificance>& rows);
std::vector<TReportChart> RandomnessCharts(const TRandomnessReport& report);

// A row holding the sum of rows (the stakes of several rows, or of one script test).
TRatingRec SumOfRows(const std::vector<TRatingRec>& rows, const std::string& name);
// The checked stakes of the stakes file from the record first on, as one row (a script test's stakes).
TRatingRec StakesRow(TStakesFile& stakes, int first, const std::string& name);
inline constexpr const char* kScriptTestRowName = "Ставки теста сценария";

}  // namespace quintar
