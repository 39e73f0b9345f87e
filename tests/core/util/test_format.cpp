#include <gtest/gtest.h>

#include "util/format.h"

using namespace quintar;

TEST(Format, DelphiSpecifiers) {
  EXPECT_EQ(Format("Архив тиражей: %d", {434}), "Архив тиражей: 434");
  EXPECT_EQ(Format("%.2d %.2d", {3, 35}), "03 35");
  EXPECT_EQ(Format("%.2d", {-3}), "-03");
  EXPECT_EQ(Format("%s_%s.lng", {"/opt/Q", "ENU"}), "/opt/Q_ENU.lng");
  EXPECT_EQ(Format("%1:s-%0:s-%s", {"a", "b"}), "b-a-b");
  EXPECT_EQ(Format("%.5f", {1.0 / 3}), "0,33333");
  EXPECT_EQ(Format("%.2f%%", {12.5}), "12,50%");
  EXPECT_EQ(Format("[%5d][%-5d][%-4s]", {42, 42, "ab"}), "[   42][42   ][ab  ]");
  EXPECT_EQ(Format("%.3s", {"абвгд"}), "абв");  // precision counts characters, not bytes
  EXPECT_EQ(Format("%x", {255}), "FF");
  EXPECT_EQ(Format("%n", {1234567.891}), "1\u00A0234\u00A0567,89");
}

TEST(Format, MismatchedArgumentsRaise) {
  EXPECT_THROW(Format("%d", {"text"}), FormatError);
  EXPECT_THROW(Format("%s %s", {"one"}), FormatError);
  EXPECT_THROW(Format("%f", {1}), FormatError);
}
