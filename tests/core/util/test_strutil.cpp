#include <gtest/gtest.h>

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
