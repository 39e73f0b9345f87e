#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "util/strutil.h"

using namespace quintar;

TEST(StrUtil, CaseWithoutRegardToCyrillicCase) {
  EXPECT_TRUE(AnsiSameText("Сценарий FULL", "сЦЕНАРИЙ full"));
  EXPECT_TRUE(AnsiSameText("ёлка", "ЁЛКА"));
  EXPECT_FALSE(AnsiSameText("елка", "ёлка"));
  EXPECT_EQ(AnsiUpperCase("abc абв ё"), "ABC АБВ Ё");
  EXPECT_LT(AnsiCompareText("Ель", "ёж"), 0);  // Ё sorts right after Е
  EXPECT_LT(AnsiCompareText("abc", "ABD"), 0);
}

TEST(StrUtil, NumbersAndDecimalComma) {
  EXPECT_EQ(TryStrToInt("42").value(), 42);
  EXPECT_EQ(TryStrToInt("-7").value(), -7);
  EXPECT_FALSE(TryStrToInt(" 7").has_value());  // StrToInt does not trim
  EXPECT_FALSE(TryStrToInt("7a").has_value());
  EXPECT_FALSE(TryStrToInt("").has_value());
  EXPECT_FALSE(TryStrToInt("99999999999").has_value());
  EXPECT_EQ(TryStrToInt("$1F").value(), 31);
  EXPECT_DOUBLE_EQ(TryStrToFloat("2,5").value(), 2.5);
  EXPECT_DOUBLE_EQ(TryStrToFloat("2.5").value(), 2.5);
  EXPECT_FALSE(TryStrToFloat("2,5,1").has_value());
  EXPECT_EQ(FloatToStr(0.1), "0,1");
  EXPECT_EQ(FloatToStr(100), "100");
  EXPECT_EQ(FloatToFixed(-0.001, 2), "0,00");
  EXPECT_EQ(MoneyToText(-12345), "-1,23");
  EXPECT_EQ(MoneyToText(MoneyFromDouble(100.5)), "100,50");
}

// Fixed decimals are printf's, with the comma and without a negative zero, also where the text is made
// without printf: shares, ratios, halves and values near the rounding edges.
TEST(StrUtil, FixedDecimalsAreThoseOfPrintf) {
  auto reference = [](double v, int decimals) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string s = buf;
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    for (char& c : s)
      if (c == '.') c = ',';
    return s;
  };
  std::mt19937_64 rng(11);
  std::vector<double> values = {0, -0.0, 0.5, 1.5, 2.5, -2.5, 0.125, 0.005, 1e-7, 999999999.5, 1e9, 1e15, -1e20, 42};
  for (int i = 0; i < 20000; ++i) {
    const int a = static_cast<int>(rng() % 100000), b = 1 + static_cast<int>(rng() % 100000);
    values.push_back(a * 100.0 / b);
    values.push_back(static_cast<double>(a) / b - static_cast<double>(rng() % 1000));
    values.push_back((a + 0.5) / std::pow(10.0, static_cast<int>(rng() % 7)));
  }
  for (double v : values)
    for (int decimals : {0, 2, 4, 5, 6, 8}) ASSERT_EQ(FloatToFixed(v, decimals), reference(v, decimals)) << v << " " << decimals;
}

TEST(StrUtil, DelimitedTextLikeThePlatformReader) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitDelimitedText("1144;\"19 Apr 2018\";4;5", ';', '"'), (V{"1144", "19 Apr 2018", "4", "5"}));
  // An unquoted field also ends at a blank.
  EXPECT_EQ(SplitDelimitedText("1;5 Jan 2017;2", ';', '"').size(), 5u);
  EXPECT_EQ(SplitDelimitedText("a;;b;", ';', '"'), (V{"a", "", "b", ""}));
  EXPECT_EQ(SplitDelimitedText("\"say \"\"hi\"\"\";x", ';', '"'), (V{"say \"hi\"", "x"}));
  EXPECT_EQ(SplitDelimitedText("  a ; b  ", ';', '"'), (V{"a", "b"}));
  EXPECT_EQ(SplitDelimitedText("\"open;x", ';', '"'), (V{"open;x"}));
  EXPECT_EQ(QuotedStr("a\"b", '"'), "\"a\"\"b\"");
}
