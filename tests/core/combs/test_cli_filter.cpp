// quintar-cli filter as outside checks call it.
#include <gtest/gtest.h>

#include "testutil.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::RunCli;
using quintar::test::TempDir;

TEST(CliFilter, KeepDeleteAndUnknownValues) {
  TempDir dir;
  const std::string dd = "--data-dir=" + dir.Path();
  std::string out, err;
  // The statistics table of an empty archive has no rows to select.
  EXPECT_EQ(RunCli({dd, "filter", "NUMS", "--select=7", "--keep"}, &out, &err), 1);
  ASSERT_EQ(RunCli({dd, "draws", "add", "1;2;3;4;5;6;7;1", "--date=5 Jan 2017"}), 0);
  ASSERT_EQ(RunCli({dd, "filter", "NUMS", "--select=7", "--keep"}, &out, &err), 0) << err;
  EXPECT_EQ(out, "Комбинаций: 1344904\n");
  ASSERT_EQ(RunCli({dd, "filter", "EVEN", "--select=3:4", "--delete"}, &out, &err), 0) << err;
  EXPECT_EQ(out, "Комбинаций: 4643720\n");

  // A text that is no row of the table: a message and a failure.
  EXPECT_EQ(RunCli({dd, "filter", "NUMS", "--select=7;36", "--keep"}, &out, &err), 1);
  EXPECT_EQ(out, "");
  EXPECT_NE(err.find("\"36\""), std::string::npos) << err;
  // Usage errors.
  EXPECT_EQ(RunCli({dd, "filter", "NUMS", "--select=7"}, &out, &err), 2);
  EXPECT_EQ(RunCli({dd, "filter", "NUMS", "--select=7", "--keep", "--delete"}, &out, &err), 2);
  EXPECT_EQ(RunCli({dd, "filter", "NUMS", "--keep"}, &out, &err), 2);
  EXPECT_EQ(RunCli({dd, "filter", "NONE", "--select=7", "--keep"}, &out, &err), 1);
}

TEST(CliFilter, ListFilesAndTheReferenceDraw) {
  TempDir dir;
  const std::string dd = "--data-dir=" + dir.Path();
  std::string out, err;
  const std::string eight = dir.File("eight.lcv"), kept = dir.File("kept.lcv");
  ASSERT_EQ(RunCli({dd, "draws", "add", "1;2;3;4;5;6;7;1", "--date=5 Jan 2017"}), 0);
  ASSERT_EQ(RunCli({dd, "generate", "--mode=2", "--param=1;2;3;4;5;6;7;8", "--out=" + eight}), 0);
  ASSERT_EQ(RunCli({dd, "filter", "NUMS", "--select=8", "--keep", "--in=" + eight, "--out=" + kept}, &out, &err), 0)
      << err;
  EXPECT_EQ(out, "Комбинаций: 7\n");
  const std::string text = ReadWholeFile(kept);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7);
  EXPECT_EQ(text.substr(0, 15), "1;2;3;4;5;6;8\r\n");  // the order of the input stays

  // The sum trend is judged against the newest draw of the window: sums 28 then 224.
  ASSERT_EQ(RunCli({dd, "draws", "add", "29;30;31;32;33;34;35;2", "--date=12 Jan 2017"}), 0);
  ASSERT_EQ(RunCli({dd, "filter", "SUMT", "--select=+", "--keep"}, &out, &err), 0) << err;
  EXPECT_EQ(out, "Комбинаций: 0\n");
  ASSERT_EQ(RunCli({dd, "filter", "SUMT", "--select=+", "--keep", "--offset=1"}, &out, &err), 0) << err;
  EXPECT_EQ(out, "Комбинаций: 6724519\n");
}
