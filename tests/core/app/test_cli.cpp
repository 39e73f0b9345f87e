// The command-line program as outside checks call it.
#include <gtest/gtest.h>

#include "game/drawarchive.h"
#include "testutil.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::RunCli;
using quintar::test::TempDir;

TEST(Cli, ImportListExportRealArchive) {
  std::string csv = test::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is not available";
  TempDir dir;
  std::string dd = "--data-dir=" + dir.Path();
  std::string out, err;
  ASSERT_EQ(RunCli({dd, "draws", "import", csv}, &out, &err), 0) << err;
  EXPECT_EQ(out, "Архив тиражей: 434\n");
  EXPECT_EQ(FileSizeOf(dir.File("Quintar_7x35.ldr")), 10416);
  ASSERT_EQ(RunCli({dd, "draws", "import", csv}, &out), 0);
  EXPECT_EQ(out, "Архив тиражей: 434\n");
  ASSERT_EQ(RunCli({dd, "draws", "export", dir.File("out.csv")}), 0);
  EXPECT_EQ(ReadWholeFile(dir.File("out.csv")), ReadWholeFile(csv));

  ASSERT_EQ(RunCli({dd, "draws", "list"}, &out), 0);
  EXPECT_EQ(out.substr(0, out.find('\n')), "Тираж\t1\t2\t3\t4\t5\t6\t7\tPb\tS\tДата тиража");
  std::string second = out.substr(out.find('\n') + 1);
  EXPECT_EQ(second.substr(0, second.find('\n')), "1577\t9\t13\t15\t16\t26\t30\t35\t7\t144\t6 Aug 2026");
  ASSERT_EQ(RunCli({dd, "draws", "list", "--sorted"}, &out), 0);
  EXPECT_NE(out.find("\n1577\t9\t13\t15\t16\t26\t30\t35\t"), std::string::npos);

  // A trailing partial record is ignored.
  std::string bytes = ReadWholeFile(dir.File("Quintar_7x35.ldr")) + "abcd";
  test::WriteBytes(dir.File("Quintar_7x35.ldr"), bytes);
  ASSERT_EQ(RunCli({dd, "draws", "list"}, &out), 0);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 435);
}

TEST(Cli, AddAndDeleteDraws) {
  TempDir dir;
  std::string dd = "--data-dir=" + dir.Path();
  std::string out, err;
  EXPECT_EQ(RunCli({dd, "draws", "add", "1;2;3;4;5;6;6;1"}, &out, &err), 1);
  EXPECT_EQ(err, "Введена некорректная комбинация!\n");
  ASSERT_EQ(RunCli({dd, "draws", "add", "1;2;3;4;5;6;7;20", "--date=5 Jan 2017"}, &out, &err), 0) << err;
  ASSERT_EQ(RunCli({dd, "draws", "add", "7;6;5;4;3;2;1;2", "--number=10"}, &out, &err), 0) << err;
  ASSERT_EQ(RunCli({dd, "draws", "add", "8;9;10;11;12;13;14;3"}, &out, &err), 0) << err;
  EXPECT_EQ(out, "Архив тиражей: 3\n");
  TDrawArchive a;
  a.LoadFromFile(dir.File("Quintar_7x35.ldr"));
  ASSERT_EQ(a.Count(), 3);
  EXPECT_EQ(a[0].Number, 1);  // NextDrawNumber(0) of an empty archive
  EXPECT_EQ(a[0].Date(), "5 Jan 2017");
  EXPECT_EQ(a[1].Number, 10);
  EXPECT_EQ(a[2].Number, 11);
  EXPECT_FALSE(a[2].Date().empty());
  ASSERT_EQ(RunCli({dd, "draws", "delete", "10", "1"}, &out, &err), 0) << err;
  a.LoadFromFile(dir.File("Quintar_7x35.ldr"));
  ASSERT_EQ(a.Count(), 1);
  EXPECT_EQ(a[0].Number, 11);
  EXPECT_EQ(RunCli({dd, "draws", "delete", "99"}, &out, &err), 1);
  EXPECT_EQ(RunCli({dd, "draws", "add", "1;2;3;4;5;6;7;8", "--date=31 Feb 2020"}, &out, &err), 1);
}

TEST(Cli, UsageErrorsExitWithTwo) {
  TempDir dir;
  std::string dd = "--data-dir=" + dir.Path();
  EXPECT_EQ(RunCli({dd}), 2);
  EXPECT_EQ(RunCli({dd, "nonsense"}), 2);
  EXPECT_EQ(RunCli({dd, "draws", "frobnicate"}), 2);
  EXPECT_EQ(RunCli({dd, "draws", "import"}), 2);
  EXPECT_EQ(RunCli({dd, "draws", "add", "1;2;3;4;5;6;7;8", "--number=x"}), 2);
  std::string out;
  EXPECT_EQ(RunCli({dd, "draws", "import", dir.File("missing.csv")}, &out), 1);
}
