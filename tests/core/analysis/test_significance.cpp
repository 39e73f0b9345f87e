// Results against chance: the exact tails against brute-force sums, p-values of uniform archives spread
// evenly over many seeds, a biased archive flagged, and the command-line figures on the real archive.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "analysis/significance.h"
#include "game/drawarchive.h"
#include "testutil.h"
#include "util/safefile.h"

namespace quintar {
namespace {

// P(X >= k) as a plain sum of every term, in long double.
long double BruteTail(int n, long double p, int k) {
  long double sum = 0;
  for (int j = k; j <= n; ++j) {
    long double c = 1;
    for (int i = 0; i < j; ++i) c = c * (n - i) / (i + 1);
    sum += c * std::pow(p, j) * std::pow(1 - p, n - j);
  }
  return sum;
}

// Seeded uniform draws: every draw seven different numbers out of 35.
TDrawsArray UniformDraws(unsigned seed, int count, int forced = 0) {
  std::mt19937 rng(seed);
  TDrawsArray draws;
  for (int t = 0; t < count; ++t) {
    std::vector<int> all(MAX_NUMBER);
    for (int i = 0; i < MAX_NUMBER; ++i) all[static_cast<size_t>(i)] = i + 1;
    std::shuffle(all.begin(), all.end(), rng);
    if (forced && std::find(all.begin(), all.begin() + 7, forced) == all.begin() + 7) all[0] = forced;
    TDraw d = ZeroDraw();
    d.Number = t + 1;
    for (int i = 0; i < NUMS_IN_DRAW; ++i) d.Nums[i] = static_cast<uint8_t>(all[static_cast<size_t>(i)]);
    draws.push_back(d);
  }
  return draws;
}

// The Kolmogorov-Smirnov distance of a sample from the uniform law on 0..1.
double KsDistance(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  double d = 0;
  const double n = static_cast<double>(v.size());
  for (size_t i = 0; i < v.size(); ++i)
    d = std::max({d, v[i] - static_cast<double>(i) / n, static_cast<double>(i + 1) / n - v[i]});
  return d;
}

}  // namespace

TEST(Significance, ExactTailsAgreeWithBruteForce) {
  struct Case {
    int n;
    long double p;
    int k;
  };
  for (const Case& c : {Case{10, 0.3L, 0}, Case{10, 0.3L, 3}, Case{10, 0.3L, 10}, Case{40, 0.01L, 2},
                        Case{60, 0.824L, 40}, Case{60, 0.824L, 55}, Case{200, 0.0175L, 9}, Case{1, 0.5L, 2}}) {
    SCOPED_TRACE(c.n * 1000 + c.k);
    const long double brute = BruteTail(c.n, c.p, c.k);
    EXPECT_NEAR(static_cast<double>(BinomialUpperTail(c.n, c.p, c.k) / std::max(brute, 1e-300L)), brute > 0 ? 1.0 : 0.0,
                1e-12);
  }
  // Far in the tail, where a normal approximation would be off by orders of magnitude.
  const long double tiny = BinomialUpperTail(400, 114660.0L / 6724520, 40);
  EXPECT_NEAR(static_cast<double>(tiny / BruteTail(400, 114660.0L / 6724520, 40)), 1.0, 1e-12);
  // Chi-square tails: df 2 is exp(-x/2); df 1 at 3.841 is 0.05.
  EXPECT_NEAR(static_cast<double>(ChiSquareUpperTail(5, 2)), std::exp(-2.5), 1e-15);
  EXPECT_NEAR(static_cast<double>(ChiSquareUpperTail(3.841459, 1)), 0.05, 1e-7);
  EXPECT_NEAR(static_cast<double>(ChiSquareUpperTail(60, 34)), 0.00387272486860413, 1e-15);
  EXPECT_EQ(PValueText(0.0451234L), "0,04512");
  EXPECT_EQ(PValueText(1), "1,000");
}

TEST(Significance, RatingRowAgainstChance) {
  // 400 stakes of which nine guessed 4 numbers: chance gives 5.5 such stakes on average.
  TRatingRec row = MakeRatingRec("01.000: строка @ FULL#RAND");
  const int counts[8] = {70, 140, 130, 51, 9, 0, 0, 0};
  for (int i = 0; i < 8; ++i) {
    row.Counts[i] = counts[i];
    row.Stakes += counts[i];
    row.Guessed += i * counts[i];
  }
  TStakePrices prices;
  prices.Cost = 10000;  // 1,00 a stake
  prices.Profits = {{3, 50000}, {4, 1000000}};
  row.Profit = 51 * 50000 + 9 * 1000000 - 400 * 10000;
  const TRowSignificance r = RowSignificance(row, prices);
  ASSERT_EQ(r.Tails.size(), 7u);
  EXPECT_EQ(r.Tails[3].Observed, 9);
  EXPECT_NEAR(r.Tails[3].Expected, 400.0 * 122795 / 6724520, 1e-9);
  EXPECT_NEAR(static_cast<double>(r.Tails[3].Tail), static_cast<double>(BruteTail(400, 122795.0L / 6724520, 9)), 1e-15);
  EXPECT_NEAR(static_cast<double>(r.Tails[3].Tail), 0.3105, 5e-5);
  EXPECT_EQ(r.BestMatches, 2);  // 190 stakes of 2 or more against 172.7: 0.04529
  EXPECT_NEAR(static_cast<double>(r.PValue), 7 * 0.04529, 5e-4);
  EXPECT_EQ(r.Verdict, kChanceVerdict);
  const double mean = (716625 * 5.0 + 114660 * 100.0) / 6724520 - 1;
  EXPECT_NEAR(r.ExpectedProfit, 400 * mean, 1e-9);
  EXPECT_GT(r.ProfitDeviation, 0);
  // Far better than chance: twenty stakes of 4 matches.
  row.Counts[0] -= 11;
  row.Counts[4] += 11;
  const TRowSignificance better = RowSignificance(row, prices);
  EXPECT_EQ(better.BestMatches, 4);
  EXPECT_NEAR(static_cast<double>(better.PValue), 7 * 6.422e-5, 1e-7);
  EXPECT_NE(better.Verdict.find("лучше случайного угадывания"), std::string::npos);
}

TEST(Significance, UniformArchivesGiveUniformPValuesAndABiasOneIsFlagged) {
  std::vector<std::vector<double>> p(4);
  for (unsigned seed = 1; seed <= 200; ++seed) {
    const TDrawsArray draws = UniformDraws(seed, 434);
    const TRandomnessReport r = ArchiveRandomness(draws, static_cast<int>(draws.size()) - 1, 0);
    ASSERT_EQ(r.Tests.size(), 4u);
    for (size_t t = 0; t < 4; ++t) p[t].push_back(static_cast<double>(r.Tests[t].PValue));
  }
  // The 1% critical distance of the Kolmogorov-Smirnov law for 200 values is 1.628 / sqrt(200).
  for (size_t t = 0; t < 4; ++t) EXPECT_LT(KsDistance(p[t]), 1.628 / std::sqrt(200.0)) << t;

  const TDrawsArray biased = UniformDraws(7, 434, 17);
  const TRandomnessReport r = ArchiveRandomness(biased, 433, 200);
  EXPECT_EQ(r.Draws, 200);
  EXPECT_EQ(r.FirstDraw, 235);
  EXPECT_LT(r.Tests[0].PValue, 1e-10L);
  EXPECT_NE(r.Tests[0].Verdict.find("сильное отклонение"), std::string::npos);
}

TEST(Significance, CommandLineFiguresOnTheRealArchive) {
  const std::string csv = test::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is not available";
  test::TempDir dir;
  const std::string dd = "--data-dir=" + dir.Path();
  ASSERT_EQ(test::RunCli({dd, "draws", "import", csv}), 0);
  std::string out;
  ASSERT_EQ(test::RunCli({dd, "archive", "randomness", "--len=434", "--html=" + dir.File("r.html")}, &out), 0);
  // The figures an independent computation gives for these 434 draws.
  EXPECT_NE(out.find("Тиражей\t434\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Частоты чисел 1..35\t25,651\t34\t0,8478\t"), std::string::npos) << out;
  EXPECT_NE(out.find("Количество чётных чисел\t1,896\t5\t0,8633\t"), std::string::npos) << out;
  EXPECT_NE(out.find("Повторы чисел предыдущего тиража\t8,063\t4\t0,08930\t"), std::string::npos) << out;
  EXPECT_NE(ReadWholeFile(dir.File("r.html")).find("<svg"), std::string::npos);
  EXPECT_EQ(test::RunCli({dd, "ratings", "significance"}), 1);  // no rating yet
  EXPECT_EQ(test::RunCli({dd, "archive", "randomness", "--offset=434"}), 2);
}

}  // namespace quintar
