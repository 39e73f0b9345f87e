#include <gtest/gtest.h>

#include "game/game.h"

using namespace quintar;

class DrawDates : public ::testing::Test {
 protected:
  void SetUp() override { InstallDrawDateHooks(); }
};

TEST_F(DrawDates, FormatterWritesDayMonthYear) {
  EXPECT_EQ(DrawDateToText(EncodeDate(2021, 12, 25)), "25 Dec 2021");
  EXPECT_EQ(DrawDateToText(EncodeDate(2017, 1, 5)), "5 Jan 2017");
  EXPECT_EQ(DrawDateToText(EncodeDate(2017, 1, 5) + 0.75), "5 Jan 2017");  // no time of day
  EXPECT_EQ(DrawDateToText(0), "");
  EXPECT_EQ(DrawDateToText(-3), "");
}

TEST_F(DrawDates, ParserReadsFixedPositionsIgnoringCase) {
  EXPECT_EQ(TextToDrawDate("5 jan 2017"), EncodeDate(2017, 1, 5));
  EXPECT_EQ(TextToDrawDate("  25 DEC 2021 "), EncodeDate(2021, 12, 25));
  EXPECT_EQ(TextToDrawDate("29 Feb 2024"), EncodeDate(2024, 2, 29));
  EXPECT_EQ(TextToDrawDate(""), 0);
  EXPECT_EQ(TextToDrawDate("   "), 0);
  EXPECT_THROW(TextToDrawDate("29 Feb 2023"), EQuintar);
  EXPECT_THROW(TextToDrawDate("5 Foo 2017"), EQuintar);
  EXPECT_THROW(TextToDrawDate("2017-01-05"), EQuintar);
  EXPECT_THROW(TextToDrawDate("Jan 2017"), EQuintar);
}

TEST_F(DrawDates, IntegerDatesAndMonthPages) {
  EXPECT_EQ(DateToInt(EncodeDate(2013, 3, 1)), 20130301);
  EXPECT_EQ(IntToDate(20211225), EncodeDate(2021, 12, 25));
  EXPECT_EQ(DateToInt(EncodeDate(2020, 12, 31) + 1), 20210101);
  EXPECT_EQ(DateToInt(EncodeDate(1899, 12, 30)), 18991230);
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);  // the day count starts there
  EXPECT_EQ(MonthPageName(201703), "march-2017");
  EXPECT_EQ(MonthPageName(202612), "december-2026");
  EXPECT_EQ(MonthPageName(202613), "error-2026");
}

TEST(DrawDatesWithoutHooks, FallBackToThePlatformPattern) {
  SetDateHooks(nullptr, nullptr);
  EXPECT_EQ(DrawDateToText(EncodeDate(2017, 1, 5)), "05 Jan 2017");
  InstallDrawDateHooks();
}
