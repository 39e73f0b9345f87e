#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "online/taggedtext.h"

using namespace quintar;

TEST(TaggedText, TextBetweenMatchesMarkersIgnoringCaseAndTrimsAndUnquotes) {
  EXPECT_EQ(TextBetween("A<ID>5</id>B", "<id>", "</id>", 0), "5");
  EXPECT_EQ(TextBetween("<name>  \"Иван \"\"Грозный\"\"\" \r\n</name>", "<name>", "</name>", 0), "Иван \"Грозный\"");
  // The end marker is searched after the start marker only.
  EXPECT_EQ(TextBetween("</v>x<v>7</v>", "<v>", "</v>", 0), "7");
  // Empty end marker: to the end of the text.
  EXPECT_EQ(TextBetween("key: value ", "key:", "", 0), "value");
  // Non-ASCII bytes are compared exactly: "Ж" and "ж" differ.
  EXPECT_EQ(TextBetween("<ж>1</ж>", "<Ж>", "</Ж>", 0), "");
}

TEST(TaggedText, MissingMarkersByMode) {
  EXPECT_EQ(TextBetween("x<id>5", "<id>", "</id>", 2), "5");
  EXPECT_EQ(TextBetween("x<id>5", "<id>", "</id>", 1), "");
  for (int mode : {0, 1, 2}) EXPECT_EQ(TextBetween("no markers", "<id>", "</id>", mode), "");
  try {
    TextBetween("x<id>5", "<id>", "</id>", 0);
    FAIL() << "no pair error";
  } catch (const EPairError& e) {
    EXPECT_STREQ(e.what(), "Не удалось найти пару идентификаторов \"<id>\" - \"</id>\" в тексте\r\r[x<id>5]!");
  }
  // A long text is quoted only in part.
  std::string longText = "<a>" + std::string(5000, 'z');
  try {
    TextBetween(longText, "<a>", "</a>", 0);
    FAIL() << "no pair error";
  } catch (const EPairError& e) {
    std::string msg = e.what();
    EXPECT_LT(msg.size(), 500u);
    EXPECT_NE(msg.find("zzz...]!"), std::string::npos);
  }
}

TEST(TaggedText, TakeBetweenConsumesThroughTheEndMarker) {
  std::string t = "<row><a>1</a></row><row><a>2</a></row>tail";
  EXPECT_EQ(TakeBetween(t, "<row>", "</row>", 0), "<a>1</a>");
  EXPECT_EQ(t, "<row><a>2</a></row>tail");
  EXPECT_EQ(TakeBetween(t, "<ROW>", "</ROW>", 0), "<a>2</a>");
  EXPECT_EQ(t, "tail");
  EXPECT_EQ(TakeBetween(t, "<row>", "</row>", 0), "");  // no start marker: unchanged
  EXPECT_EQ(t, "tail");

  std::string open = "a<row>rest";
  EXPECT_THROW(TakeBetween(open, "<row>", "</row>", 0), EPairError);
  EXPECT_EQ(open, "a<row>rest");
  EXPECT_EQ(TakeBetween(open, "<row>", "</row>", 1), "");
  EXPECT_EQ(open, "a<row>rest");
  EXPECT_EQ(TakeBetween(open, "<row>", "</row>", 2), "rest");
  EXPECT_EQ(open, "");

  std::string toEnd = "x:1,y:2";
  EXPECT_EQ(TakeBetween(toEnd, "y:", "", 0), "2");
  EXPECT_EQ(toEnd, "");
}

TEST(TaggedText, TakeBlockLeavesTheNextMarker) {
  std::string t = "\"drawNo\":1,x,\"drawNo\":2,y";
  EXPECT_EQ(TakeBlock(t, "\"drawNo\""), ":1,x,");
  EXPECT_EQ(t, "\"drawNo\":2,y");
  EXPECT_EQ(TakeBlock(t, "\"drawNo\""), ":2,y");
  EXPECT_EQ(t, "");
  EXPECT_EQ(TakeBlock(t, "\"drawNo\""), "");

  std::string none = "nothing here";
  EXPECT_EQ(TakeBlock(none, "#"), "");
  EXPECT_EQ(none, "nothing here");
  // The next marker is searched from the second character after the first one's end.
  std::string tight = "ab##c#d";
  EXPECT_EQ(TakeBlock(tight, "#"), "#c");
  EXPECT_EQ(tight, "#d");
}

TEST(TaggedText, Unquote) {
  EXPECT_EQ(Unquote(" \"a\"\"b\" "), "a\"b");
  EXPECT_EQ(Unquote("abc\""), "abc\"");
  EXPECT_EQ(Unquote("\""), "\"");
  EXPECT_EQ(Unquote("\"\""), "");
  EXPECT_EQ(Unquote("\"x\"y\""), "xy");
}

TEST(TaggedText, EscapeText) {
  EXPECT_EQ(EscapeText("\n'"), "\\n\\'");
  std::string all;
  for (int c = 0; c <= 13; ++c) all += static_cast<char>(c);
  all += '\x1b';
  EXPECT_EQ(EscapeText(all), "\\0\\1\\2\\3\\4\\5\\6\\a\\b\\t\\n\\v\\f\\r\\e");
  EXPECT_EQ(EscapeText("Да? \"1\\2\""), "Да\\? \\\"1\\\\2\\\"");
  EXPECT_EQ(EscapeText(std::string(1, '\x0e')), std::string(1, '\x0e'));
  // UnescapeText gives back every text EscapeText made; a backslash that starts no escape stays.
  std::string bytes;
  for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
  for (const std::string& text : {all, bytes, std::string("Да? \"1\\2\"\\"), std::string("\\n\\\\")})
    EXPECT_EQ(UnescapeText(EscapeText(text)), text);
  EXPECT_EQ(UnescapeText("a\\x\\7\\"), "a\\x\\7\\");
  EXPECT_EQ(UnescapeText("\\\\n"), "\\n");
}

TEST(TaggedText, Base64) {
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("f"), "Zg==");
  EXPECT_EQ(Base64Encode("fo"), "Zm8=");
  EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
  std::string bytes;
  for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
  EXPECT_EQ(Base64Decode(Base64Encode(bytes)), bytes);
  // Line breaks, blanks and other characters outside the alphabet are skipped.
  EXPECT_EQ(Base64Decode("Zm9v\r\nYm\tFy!"), "foobar");
  EXPECT_EQ(Base64Decode("Zm8="), "fo");
}

TEST(TaggedText, Utf8ToAnsiKeepsTheInterfaceRepertoire) {
  EXPECT_EQ(Utf8ToAnsi("Тираж № 5 — €"), "Тираж № 5 — €");
  EXPECT_EQ(Utf8ToAnsi("抽選 ok"), "?? ok");
  EXPECT_EQ(Utf8ToAnsi(std::string("a\xff") + "b"), "a?b");
}

TEST(TaggedText, ServiceTimeToLocal) {
  const char* old = std::getenv("TZ");
  std::string saved = old ? old : "";
  setenv("TZ", "MSK-3", 1);
  tzset();
  TDateTime t = ServiceTimeToLocal("2020-01-02 03:04:05");
  EXPECT_EQ(DateToInt(t), 20200102);
  EXPECT_NEAR((t - std::floor(t)) * 86400.0, 6 * 3600 + 4 * 60 + 5, 0.01);
  // Across midnight into the next day (and year).
  EXPECT_EQ(DateToInt(ServiceTimeToLocal("2020-12-31 22:30:00")), 20210101);
  EXPECT_EQ(ServiceTimeToLocal(""), 0);
  EXPECT_THROW(ServiceTimeToLocal("2020-xx-02 03:04:05"), EQuintar);
  EXPECT_THROW(ServiceTimeToLocal("2020-01-02"), EQuintar);
  EXPECT_THROW(ServiceTimeToLocal("2020-02-30 00:00:00"), EQuintar);
  if (old)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}
