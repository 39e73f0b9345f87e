// Stake log lines, their files and deleting them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <regex>

#include "combs/stakelogs.h"
#include "testutil.h"
#include "util/cp1251.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::TempDir;

namespace {
TStakeRec Checked(int matches, int64_t profit) {
  TStakeRec r = EmptyStake();
  r.Kind = skManual;
  r.Draw = 1577;
  r.Checked = 1;
  r.Sample = 6724520;
  r.Numbers = {7, {1, 9, 13, 15, 16, 26, 35, 0}};
  const uint8_t drawn[7] = {35, 9, 13, 15, 16, 26, 30};
  std::memcpy(r.DrawNums, drawn, 7);
  r.Matches = {matches, {9, 13, 15, 16, 26, 35, 0, 0}};
  r.Profit = profit;
  r.SetComment("Ставка \"вручную\"");
  return r;
}
}  // namespace

TEST(StakeLogs, LineForm) {
  EXPECT_EQ(StakeLogLine(Checked(6, 9990000), "2026.08.07 09:05:03"),
            "2026.08.07 09:05:03: Тираж № 1577. Ставка: \"Ставка \"вручную\"\" [1;9;13;15;16;26;35] {6724520}. "
            "Результаты тиража: [35;9;13;15;16;26;30]. Совпадений: 6. Профит: 999,00.");
  EXPECT_NE(StakeLogLine(Checked(0, -15000), "x").find("Профит: -1,50."), std::string::npos);
  std::string stamp = StakeLogStamp(std::time(nullptr));
  EXPECT_TRUE(std::regex_match(stamp, std::regex(R"(\d{4}\.\d{2}\.\d{2} \d{2}:\d{2}:\d{2})"))) << stamp;
}

TEST(StakeLogs, FilesPerMatchCountInCodePageWithCrLf) {
  TempDir dir;
  {
    TStakeLogs logs(dir.File("Quintar_7x35"));
    logs.Write(Checked(6, 9990000), 0);
    logs.Write(Checked(6, 9990000), 0);
    logs.Write(Checked(2, -10000), 0);
    logs.Flush();
  }
  {
    TStakeLogs logs(dir.File("Quintar_7x35"));  // appends to what is there
    logs.Write(Checked(2, -10000), 0);
  }
  std::string six = ReadWholeFile(dir.File("Quintar_7x35-6.log"));
  std::string line = Utf8ToCp1251(StakeLogLine(Checked(6, 9990000), StakeLogStamp(0))) + "\r\n";
  EXPECT_EQ(six, line + line);
  std::string two = ReadWholeFile(dir.File("Quintar_7x35-2.log"));
  EXPECT_EQ(std::count(two.begin(), two.end(), '\n'), 2);
}

TEST(StakeLogs, FileOverTheSizeLimitIsStartedAnew) {
  TempDir dir;
  // Sparse files: one byte over the limit, and exactly at it.
  test::WriteBytes(dir.File("Quintar_7x35-1.log"), "");
  test::WriteBytes(dir.File("Quintar_7x35-2.log"), "");
  ASSERT_EQ(::truncate(dir.File("Quintar_7x35-1.log").c_str(), kStakeLogMaxSize + 1), 0);
  ASSERT_EQ(::truncate(dir.File("Quintar_7x35-2.log").c_str(), kStakeLogMaxSize), 0);
  {
    TStakeLogs logs(dir.File("Quintar_7x35"));
    logs.Write(Checked(1, 0), 0);
    logs.Write(Checked(2, 0), 0);
  }
  std::string line = Utf8ToCp1251(StakeLogLine(Checked(1, 0), StakeLogStamp(0))) + "\r\n";
  EXPECT_EQ(ReadWholeFile(dir.File("Quintar_7x35-1.log")), line);
  EXPECT_GT(FileSizeOf(dir.File("Quintar_7x35-2.log")), kStakeLogMaxSize);
}

TEST(StakeLogs, FindingAndDeletingTheLogs) {
  TempDir dir;
  EXPECT_TRUE(FindStakeLogs(dir.Path(), "Quintar_7x35").empty());
  for (const char* name : {"Quintar_7x35-0.log", "Quintar_7x35-7.log", "Quintar_7x35-x.log", "Quintar_7x35.log",
                           "Quintar_7x35-1.txt", "Other-1.log"})
    test::WriteBytes(dir.File(name), "x");
  auto found = FindStakeLogs(dir.Path(), "Quintar_7x35");
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0], dir.File("Quintar_7x35-0.log"));
  TStakeLogsDeletion del = DeleteStakeLogs(found);
  EXPECT_TRUE(del.Ok());
  EXPECT_EQ(del.Deleted, 3);
  EXPECT_EQ(del.Summary(), "Удалено файлов журналов: 3.");
  EXPECT_TRUE(FindStakeLogs(dir.Path(), "Quintar_7x35").empty());
  EXPECT_TRUE(FileExists(dir.File("Quintar_7x35.log")));
  EXPECT_TRUE(FileExists(dir.File("Other-1.log")));
}
