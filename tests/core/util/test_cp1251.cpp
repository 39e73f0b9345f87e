#include <gtest/gtest.h>

#include "util/cp1251.h"

using namespace quintar;

TEST(Cp1251, RoundTripsCyrillicAndAscii) {
  const std::string text = "Архив тиражей: 434; Ёжик ёлка №5 «кавычки» — тире";
  std::string bytes = Utf8ToCp1251(text);
  EXPECT_EQ(bytes.size(), 49u);  // one byte per character
  EXPECT_EQ(Cp1251ToUtf8(bytes), text);
  EXPECT_EQ(static_cast<unsigned char>(Utf8ToCp1251("А")[0]), 0xC0);
  EXPECT_EQ(static_cast<unsigned char>(Utf8ToCp1251("я")[0]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(Utf8ToCp1251("Ё")[0]), 0xA8);
  EXPECT_EQ(static_cast<unsigned char>(Utf8ToCp1251("№")[0]), 0xB9);
}

TEST(Cp1251, CharactersWithoutCounterpartBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("a中b€"), std::string("a?b\x88"));
  EXPECT_EQ(Utf8ToCp1251("\xFF\xFEok"), "??ok");  // invalid UTF-8 bytes
  EXPECT_EQ(Cp1251ToUtf8("\x98"), "?");            // the one unassigned byte
}
