#include <gtest/gtest.h>

#include "game/drawarchive.h"
#include "testutil.h"
#include "util/cp1251.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::MakeDraw;
using quintar::test::TempDir;

TEST(DrawCsv, ExportLineForm) {
  TDrawArchive a;
  a.AppendDraw(MakeDraw(1042, {3, 11, 17, 20, 28, 31, 35}, 7, "5 Jan 2017"));
  a.AppendDraw(MakeDraw(1043, {1, 2, 3, 4, 5, 6, 7}, 8, "a\"b"));
  EXPECT_EQ(a.ExportCsvText(), "1042;\"5 Jan 2017\";3;11;17;20;28;31;35;7\r\n1043;\"a\"\"b\";1;2;3;4;5;6;7;8\r\n");
}

TEST(DrawCsv, ImportRules) {
  TDrawArchive a;
  const char* text =
      "1;\"5 Jan 2017\";1;2;3;4;5;6;7;8\r\n"   // 10 fields
      "   \r\n"                                // blank: skipped
      "2;5 Jan 2017;1;2;3;4;5;6;7;8\r\n"       // unquoted date: 12 fields, skipped
      "\"12 Jan 2017\";9;10;11;12;13;14;15;3\n" // 9 fields: number = count + 1 = 2
      "1;\"dup\";1;2;3;4;5;6;7;8\r\n"          // number present: skipped silently
      "0;\"zero\";1;2;3;4;5;6;7;8\r\n"         // number 0: skipped
      "7;\"19 Jan 2017 and more\";x;99;3;4;5;6;7;77\r\n"  // no range check, non-numbers 0, date cut
      "8;\"\";1;2;3;4;5;6;7\r\n";              // 9 fields: date "" and number count+1, fields shifted
  int added = a.ImportCsvText(text);
  ASSERT_EQ(added, 4);
  EXPECT_EQ(a[0].Number, 1);
  EXPECT_EQ(a[1].Number, 2);
  EXPECT_EQ(a[1].Date(), "12 Jan 2017");
  EXPECT_EQ(a[1].Nums[6], 15);
  EXPECT_EQ(a[1].Bonus, 3);
  EXPECT_EQ(a[2].Number, 7);
  EXPECT_EQ(a[2].Date(), "19 Jan 2017");
  EXPECT_EQ(a[2].Nums[0], 0);
  EXPECT_EQ(a[2].Nums[1], 99);
  EXPECT_EQ(a[2].Bonus, 77);
  EXPECT_EQ(a[3].Number, 4);  // 9 fields: the date field is "8"
  EXPECT_EQ(a[3].Date(), "8");
  EXPECT_EQ(a.ImportCsvText(text), 2);  // the 9-field lines get new count-based numbers again
}

TEST(DrawCsv, ExportThenImportAddsNothing) {
  TempDir dir;
  TDrawArchive a;
  for (int i = 1; i <= 5; ++i) a.AppendDraw(MakeDraw(i, {i, 2 + i, 3 + i, 4 + i, 5 + i, 6 + i, 30}, i, "5 Jan 2017"));
  a.ExportCsv(dir.File("x.csv"));
  EXPECT_EQ(a.ImportCsv(dir.File("x.csv")), 0);
  TDrawArchive b;
  EXPECT_EQ(b.ImportCsv(dir.File("x.csv")), 5);
  EXPECT_EQ(b.ExportCsvText(), a.ExportCsvText());
  EXPECT_THROW(b.ImportCsv(dir.File("missing.csv")), FileError);
}

TEST(DrawCsv, RealArchiveRoundTripsByteForByte) {
  std::string csv = test::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is not available";
  TempDir dir;
  TDrawArchive a;
  EXPECT_EQ(a.ImportCsv(csv), 434);
  EXPECT_EQ(a[0].Number, 1144);
  EXPECT_EQ(a[433].Number, 1577);
  a.SaveToFile(dir.File("Quintar_7x35.ldr"));
  EXPECT_EQ(FileSizeOf(dir.File("Quintar_7x35.ldr")), 10416);
  a.ExportCsv(dir.File("out.csv"));
  EXPECT_EQ(ReadWholeFile(dir.File("out.csv")), ReadWholeFile(csv));
}
