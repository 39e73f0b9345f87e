// quintar-cli generate as outside checks call it.
#include <gtest/gtest.h>

#include "game/drawarchive.h"
#include "testutil.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::RunCli;
using quintar::test::TempDir;

TEST(CliGenerate, CountsOfEveryMode) {
  TempDir dir;
  std::string dd = "--data-dir=" + dir.Path();
  std::string out, err;
  ASSERT_EQ(RunCli({dd, "generate"}, &out, &err), 0) << err;
  EXPECT_EQ(out, "Комбинаций: 6724520\n");
  ASSERT_EQ(RunCli({dd, "generate", "--mode=1", "--param=1"}, &out), 0);
  EXPECT_EQ(out, "Комбинаций: 1344904\n");
  ASSERT_EQ(RunCli({dd, "generate", "--mode=3", "--param=1"}, &out), 0);
  EXPECT_EQ(out, "Комбинаций: 5379616\n");

  const std::string lcv = dir.File("eight.lcv");
  ASSERT_EQ(RunCli({dd, "generate", "--mode=2", "--param=1;2;3;4;5;6;7;8", "--out=" + lcv}, &out), 0);
  EXPECT_EQ(out, "Комбинаций: 8\n");
  const std::string text = ReadWholeFile(lcv);
  EXPECT_EQ(text.substr(0, 30), "1;2;3;4;5;6;7\r\n1;2;3;4;5;6;8\r\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8);
  ASSERT_EQ(RunCli({dd, "generate", "--mode=4", "--param=" + lcv}, &out), 0);
  EXPECT_EQ(out, "Комбинаций: 8\n");
}

TEST(CliGenerate, ExcludeTheLastDrawsOfTheRealArchive) {
  std::string csv = test::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is not available";
  TempDir dir;
  std::string dd = "--data-dir=" + dir.Path();
  std::string out, err;
  ASSERT_EQ(RunCli({dd, "draws", "import", csv}), 0);
  ASSERT_EQ(RunCli({dd, "generate", "--exclude=434"}, &out, &err), 0) << err;
  EXPECT_EQ(out, "Комбинаций: 6724520\nКомбинаций: 6724086\n");

  // The draw 5 before the newest, in reverse order, goes; another combination stays.
  TDrawArchive a;
  a.LoadFromFile(dir.File("Quintar_7x35.ldr"));
  TDraw d = a.DrawFromNewest(5);
  std::string line;
  for (int i = NUMS_IN_DRAW - 1; i >= 0; --i) line += std::to_string(d.Nums[i]) + (i ? ";" : "\r\n");
  const std::string in = dir.File("in.lcv"), result = dir.File("out.lcv");
  test::WriteBytes(in, "1;2;3;4;5;6;7\r\n" + line);
  ASSERT_EQ(RunCli({dd, "generate", "--mode=4", "--param=" + in, "--exclude=1", "--offset=5", "--out=" + result}, &out,
                   &err),
            0)
      << err;
  EXPECT_EQ(out, "Комбинаций: 2\nКомбинаций: 1\n");
  EXPECT_EQ(ReadWholeFile(result), "1;2;3;4;5;6;7\r\n");
  ASSERT_EQ(RunCli({dd, "generate", "--mode=4", "--param=" + in, "--exclude=1", "--offset=4"}, &out), 0);
  EXPECT_EQ(out, "Комбинаций: 2\nКомбинаций: 2\n");
}

TEST(CliGenerate, ErrorsAndUsage) {
  TempDir dir;
  std::string dd = "--data-dir=" + dir.Path();
  std::string out, err;
  EXPECT_EQ(RunCli({dd, "generate", "--mode=x"}), 2);
  EXPECT_EQ(RunCli({dd, "generate", "--mode=-1"}), 2);
  EXPECT_EQ(RunCli({dd, "generate", "--exclude=-1"}), 2);
  EXPECT_EQ(RunCli({dd, "generate", "--offset=x"}), 2);
  EXPECT_EQ(RunCli({dd, "generate", "extra"}), 2);
  EXPECT_EQ(RunCli({dd, "generate", "--mode=2", "--param=1", "--exclude=3"}, &out, &err), 1);
  EXPECT_EQ(out, "Комбинаций: 0\n");
  EXPECT_EQ(err, "Архив тиражей пуст.\n");
  const std::string missing = dir.File("missing.lcv");
  EXPECT_EQ(RunCli({dd, "generate", "--mode=4", "--param=" + missing}, &out, &err), 1);
  EXPECT_EQ(out, "Комбинаций: 0\n");
  EXPECT_EQ(err.rfind("Ошибка чтения файла \"" + missing + "\"!\n\n", 0), 0u);
  EXPECT_EQ(RunCli({dd, "generate", "--mode=2", "--param=1;2;3;4;5;6;7", "--out=" + dir.File("no/x.lcv")}, &out, &err),
            1);
  EXPECT_EQ(err.rfind("Ошибка записи в файл", 0), 0u);
}
