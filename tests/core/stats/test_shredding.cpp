// Shredding formulas: the evaluator's language, extended precision, failures that give 0; the 32-bit
// value of the shredding methods; and the command that stores the formulas and rebuilds what they feed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "app/shreddingedit.h"
#include "stats/prefetch.h"
#include "stats/shredding.h"
#include "stattest.h"
#include "util/inifile.h"
#include "util/safefile.h"

namespace quintar {
namespace {

const uint8_t kN[7] = {3, 11, 17, 20, 28, 31, 35};
const uint8_t kP[7] = {2, 4, 6, 8, 10, 12, 14};
const uint8_t kT[7] = {1, 5, 9, 13, 21, 25, 29};
const uint8_t kZero[7] = {};

TEST(ShreddingFormula, ValuesAndFailures) {
  struct Case {
    const char* formula;
    long double value;  // NAN: the evaluation fails
    bool zeroRows = false;
  };
  const Case cases[] = {
      {"(n1+n2+n3)/(n4+n5+n6+n7)", 31.0L / 114.0L},
      {"N1 + P2 * t3", 3 + 4 * 9},  // any case
      {"n11", 31},                  // the number 3 followed by the digit 1
      {"n1n2", 311},
      {"n1.5", 3.5L},
      {"1,5 * 2", 3},  // the decimal comma reads like the point
      {"-2^2", -4},
      {"2^3^2", 512},
      {"2^-1", 0.5L},
      {"-(n1 - n2) * 2", 16},
      {"10 - 4 - 3", 3},
      {"48 / 4 / 2", 6},
      {"sqrt(16) + SQR(3) + Abs(-2)", 15},
      {"int(-2.75) + frac(-2.75)", -2.75L},
      {"trunc(2.9) + round(2.5) + round(3.5)", 8},  // halves go to the even neighbour
      {"sign(-3) + sign(0) + sign(7) + not(0) + not(5)", 1},
      {"log(1000) + ln(exp(2))", 5},  // near: the functions round
      {"arctan(1) * 4", std::atan(1.0L) * 4},
      {"arcsin(1) - arccos(0) + cos(0) + sin(0) + tan(0)", 1},
      {"pn1", 0, true},  // n1 is 3: "p3", a variable of the draw before
      {"pn1", 6},
      {"n1/p1", NAN, true},  // division by zero
      {"1/(n1-n1) * 0", NAN},
      {"ln(n1 - n2)", NAN},  // outside the domain
      {"ln(0)", NAN},
      {"sqrt(-1)", NAN},
      {"arcsin(2)", NAN},
      {"(-8)^(1/3)", NAN},
      {"exp(100000)", NAN},  // overflow
      {"1/exp(100000)", NAN},  // an overflow inside fails even where the result would be finite
      {"n1 +", NAN},  // syntax errors
      {"sin n1", NAN},
      {"foo(1)", NAN},
      {"n8", NAN},
      {"1e5", NAN},
      {"(1", NAN},
      {"1.2.3", NAN},
      {"", NAN},
      {"н1", NAN},
  };
  for (const auto& c : cases) {
    const TShreddingFormula f(c.formula);
    long double v = 0;
    const bool ok = c.zeroRows ? f.Evaluate(kN, kZero, kZero, v) : f.Evaluate(kN, kP, kT, v);
    if (std::isnan(c.value)) {
      EXPECT_FALSE(ok) << c.formula;
      EXPECT_EQ(c.zeroRows ? f.Shred(kN, kZero, kZero, 2) : f.Shred(kN, kP, kT, 2), 0) << c.formula;
    } else {
      EXPECT_TRUE(ok) << c.formula;
      EXPECT_NEAR(static_cast<double>(v), static_cast<double>(c.value), 1e-15 * std::max(1.0L, std::fabs(c.value))) << c.formula;
    }
  }
}

TEST(ShreddingFormula, DigitsAreCutInExtendedPrecision) {
  struct Case {
    const char* formula;
    int digits;
    int32_t value;
  };
  const Case cases[] = {
      {"(n1+n2+n3)/(n4+n5+n6+n7)", 2, 27},
      {"(n1+n2+n3)/(n4+n5+n6+n7)", 3, 271},
      {"(n1+n2+n3)/(n4+n5+n6+n7)", 5, 27192},
      {"29/100", 2, 29},  // 28 in double precision
      {"-7/4", 2, 75},    // the absolute value's fraction
      {"n7", 3, 0},
      {"sqrt(2)", 5, 41421},
      {"0.99999", 5, 99999},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TShreddingFormula(c.formula).Shred(kN, kP, kT, c.digits), c.value) << c.formula << " " << c.digits;
    EXPECT_EQ(EvalShredding(kN, kP, kT, c.digits, c.formula), c.value) << c.formula;
  }
  // "pn1" becomes "p3" at step 1, which step 3 replaces.
  EXPECT_EQ(SubstituteShreddingVariables("N1+p7*t2/pn1", kN, kP, kT), "3+14*5/6");
}

// The values Memoise computes ahead are the ones the evaluation gives, failures included.
TEST(ShreddingFormula, MemoisedValuesAreTheEvaluatedOnes) {
  std::mt19937 rng(3);
  for (const char* f : {kDefaultFormula1, kDefaultFormula2, kDefaultFormula3, "(n1+p1)/(t1+2)", "n1/4",
                        "(n2-n1)*3 - (p1+1)/7", "2/(n1-n2)", "n1^p1", "0.25*(n1+n7)"})
    for (int digits = 1; digits <= 5; ++digits) {
      TShreddingFormula memoised(f), plain(f);
      memoised.Memoise(digits);
      for (int round = 0; round < 2000; ++round) {
        uint8_t rows[3][7];
        for (auto& row : rows)
          for (auto& x : row) x = static_cast<uint8_t>(rng() % 36);
        ASSERT_EQ(memoised.Shred(rows[0], rows[1], rows[2], digits), plain.Shred(rows[0], rows[1], rows[2], digits))
            << f << " " << digits;
      }
    }
}

// 66,666 and 1,130 share their low 16 bits: the value is a 32-bit key, so they stay apart.
TEST(ShreddingStat, FiveDigitValuesStayApart) {
  test::StatBench b;
  b.list.Formula1 = "0.66666";
  b.list.Formula1Digits = 5;
  b.list.BuildCatalogue();
  b.Add({1, 2, 3, 4, 5, 6, 7});
  auto s = b.Make("SHR1");
  TStatDrawArray list = test::StatBench::Values(*s, test::Comb({1, 2, 3, 4, 5, 6, 7}));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Key.Part32(1), 66666);
  EXPECT_EQ(s->ValueToText(list[0]), "66666");
  for (bool prepared : {false, true}) {
    auto t = b.Make("SHR1");
    const TStatDrawArray near = test::Selection({1130}), same = test::Selection({66666});
    if (prepared) t->PrepareTest(near);
    EXPECT_FALSE(t->TestComb(test::Comb({1, 2, 3, 4, 5, 6, 7}), near, 0, false, false));
    if (prepared) t->PrepareTest(same);
    EXPECT_TRUE(t->TestComb(test::Comb({1, 2, 3, 4, 5, 6, 7}), same, 0, false, false));
  }
}

// "Формулы шинковки": the formulas reach the settings file, the catalogue's names and methods, and the
// shredding prefetch files, which are built anew; the other files stay.
TEST(ShreddingCommand, StoresTheFormulasAndRebuildsTheirFiles) {
  test::TempDir dir;
  test::ScriptedHost host;
  Session s(dir.Path(), host);
  s.StartCatalogue();
  s.PrefetchsEnabled = true;
  ForceDirectories(PrefetchFolder(dir.Path()));
  TStatDrawArray one(1);
  one[0].Key = MakeKey(1);
  one[0].Count = 5;
  for (int i = 0; i < s.Stats.Count(); ++i)
    if (s.Stats.IsPrefetchable(i)) WriteFileAtomic(s.PrefetchFileName(i), PrefetchBytes(one));

  TShreddingSettings d = ShreddingSettingsOf(s.Stats);
  EXPECT_EQ(d.Formula[0], kDefaultFormula1);
  EXPECT_EQ(d.Digits[2], 2);
  d.Formula[1] = "n1/4";
  d.Digits[1] = 9;  // kept within 1..5
  EXPECT_TRUE(CanEditShredding(s));
  EditShredding(s, d);
  EXPECT_EQ(s.Stats.Formula2, "n1/4");
  EXPECT_EQ(s.Stats.Formula2Digits, 5);
  IniFile ini(s.FilePath(".ini"));
  EXPECT_EQ(ini.ReadString("SHREDDING", "Formula2", ""), "n1/4");
  EXPECT_EQ(ini.ReadString("SHREDDING", "Formula2Digits", ""), "5");
  const int shr2 = s.Stats.IndexOfCode("SHR2");
  EXPECT_EQ(s.Stats.DisplayName(shr2), "Метод шинковки 2: n1/4");
  // The file holds the new formula's values over all combinations: the fraction of n1 / 4 with 5 digits,
  // 0, 25000, 50000 or 75000 as n1 mod 4 is; C(35 - n1, 6) combinations begin with n1.
  const TPrefetchData data = ReadPrefetchFile(s.PrefetchFileName(shr2));
  ASSERT_EQ(data.Records.size(), 4u);
  for (int k = 0; k < 4; ++k) {
    int64_t expected = 0;
    for (int n1 = 1; n1 <= 29; ++n1)
      if (n1 % 4 == k) expected += CombCount(35 - n1, 6);
    int64_t count = -1;
    for (const auto& r : data.Records)
      if (r.Key.Part32(1) == k * 25000 && r.Key.Part32(2) == 0) count = r.Count;
    EXPECT_EQ(count, expected) << k;
  }
  EXPECT_GT(FileSizeOf(s.PrefetchFileName(s.Stats.IndexOfCode("SHR1"))), 12 * 2);
  EXPECT_EQ(FileSizeOf(s.PrefetchFileName(s.Stats.IndexOfCode("CHAN"))), 12 * 2);  // not a shredding file
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(s.IsIdle());
}

}  // namespace
}  // namespace quintar
