// quintar-cli ratings: list, refresh and export as outside checks call them.
#include <gtest/gtest.h>

#include "combs/ratings.h"
#include "combs/stakesfile.h"
#include "game/drawarchive.h"
#include "testutil.h"
#include "util/cp1251.h"
#include "util/safefile.h"
#include "util/strutil.h"

using namespace quintar;
using quintar::test::MakeDraw;
using quintar::test::RunCli;
using quintar::test::TempDir;

namespace {

// A data folder with an archive of one draw and three checked stakes of two comments.
void MakeData(const TempDir& dir) {
  TDrawArchive archive;
  archive.AppendDraw(MakeDraw(10, {1, 2, 3, 4, 5, 6, 7}, 1, "5 Jan 2017"));
  archive.SaveToFile(dir.File("Quintar_7x35.ldr"));
  TStakesFile stakes(dir.File("Quintar_7x35.lsk"));
  stakes.OpenStakes();
  TStakePrices prices;
  prices.Cost = 10000;
  prices.Profits = {{3, 50000}};
  auto add = [&](std::initializer_list<int> nums, const char* comment) {
    TComb c{};
    int i = 0;
    for (int n : nums) c[i++] = static_cast<uint8_t>(n);
    TStakeRec r = MakeStakeRecord(10, 100, &c, prices.Fn(), skScript);
    r.SetComment(comment);
    stakes.AddStake(r, 1);
  };
  add({1, 2, 3, 20, 21, 22, 23}, "01.000: @ FULL#RAND + TSD#SUMS:100#LNO:#SF:1");
  add({1, 20, 21, 22, 23, 24, 25}, "01.000: @ FULL#RAND + TSD#SUMS:100#LNO:#SF:1");
  add({30, 31, 32, 33, 34, 35, 29}, "Ставка \"вручную\"");
  TStakeCheckHooks hooks;
  hooks.Result = prices.Fn();
  stakes.CheckStakes(archive, hooks);
  stakes.CloseStakes();
}

std::vector<std::string> Lines(const std::string& out) { return SplitAny(out, "\n", true); }

}  // namespace

TEST(CliRatings, RefreshListExport) {
  TempDir dir;
  MakeData(dir);
  const std::string dd = "--data-dir=" + dir.Path();
  std::string out, err;

  // No ratings file yet: the header alone.
  ASSERT_EQ(RunCli({dd, "ratings", "list"}, &out, &err), 0) << err;
  EXPECT_EQ(out, Join(RatingCaptions(), "\t") + "\n");
  EXPECT_EQ(RunCli({dd, "ratings", "export", dir.File("r.csv")}, &out, &err), 1);
  EXPECT_EQ(err, "Рейтинг пуст.\n");

  ASSERT_EQ(RunCli({dd, "ratings", "refresh"}, &out, &err), 0) << err;
  EXPECT_EQ(out, "Рейтинг: 2\n");
  EXPECT_EQ(FileSizeOf(dir.File("Quintar_7x35.lrt")), 2 * 304);

  ASSERT_EQ(RunCli({dd, "ratings", "list"}, &out, &err), 0) << err;
  auto lines = Lines(out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], Join(RatingCaptions(), "\t"));
  // Average 2 of the script line before 0 of the manual stakes; E columns in percentage points.
  EXPECT_EQ(lines[1],
            "01.000: @ FULL#RAND + TSD#SUMS:100#LNO:#SF:1\t2\t4\t2,000\t3,00\t1,50\t0\t1\t0\t1\t0\t0\t0\t0\t"
            "-17,608%\t10,783%\t-30,692%\t39,343%\t-1,705%\t-0,118%\t-0,003%\t0,000%");
  EXPECT_EQ(lines[2].substr(0, lines[2].find('\t')), "Ставка \"вручную\"");

  ASSERT_EQ(RunCli({dd, "ratings", "list", "--mode=0"}, &out, &err), 0) << err;
  auto cells = SplitAny(Lines(out)[1], "\t", false);
  ASSERT_EQ(cells.size(), 22u);
  EXPECT_EQ(Join(std::vector<std::string>(cells.begin() + 14, cells.end()), " "), "0 1 1 0 0 0 0 0");
  ASSERT_EQ(RunCli({dd, "ratings", "list", "--mode=2"}, &out, &err), 0) << err;
  EXPECT_NE(Lines(out)[1].find("\t0,000%\t127,495%\t"), std::string::npos);
  EXPECT_EQ(RunCli({dd, "ratings", "list", "--mode=3"}, &out, &err), 2);
  EXPECT_EQ(RunCli({dd, "ratings", "list", "--mode=x"}, &out, &err), 2);
  EXPECT_EQ(RunCli({dd, "ratings", "sort"}, &out, &err), 2);
  EXPECT_EQ(RunCli({dd, "ratings"}, &out, &err), 2);

  ASSERT_EQ(RunCli({dd, "ratings", "export", dir.File("r.csv")}, &out, &err), 0) << err;
  const auto csv = Lines(Cp1251ToUtf8(ReadWholeFile(dir.File("r.csv"))));
  ASSERT_EQ(csv.size(), 3u);
  EXPECT_EQ(csv[1], "\"01.000: @ FULL#RAND + TSD#SUMS:100#LNO:#SF:1\";2;4;2,000;3,00;1,50;0;1;0;1;0;0;0;0\r");
  EXPECT_EQ(csv[2], "\"Ставка \"\"вручную\"\"\";1;0;0,000;-1,00;-1,00;1;0;0;0;0;0;0;0\r");
  EXPECT_EQ(RunCli({dd, "ratings", "export"}, &out, &err), 2);

  // A damaged ratings file is reported by the listing and replaced by a refresh.
  test::WriteBytes(dir.File("Quintar_7x35.lrt"), std::string(305, '\0'));
  EXPECT_EQ(RunCli({dd, "ratings", "list"}, &out, &err), 1);
  EXPECT_EQ(err.rfind("Ошибка чтения файла рейтинга!", 0), 0u);
  ASSERT_EQ(RunCli({dd, "ratings", "refresh"}, &out, &err), 0) << err;
  EXPECT_EQ(out, "Рейтинг: 2\n");

  // The refresh reads the stakes file, which a running program holds: reported, nothing changed.
  TStakesFile held(dir.File("Quintar_7x35.lsk"));
  held.OpenStakes();
  EXPECT_EQ(RunCli({dd, "ratings", "refresh"}, &out, &err), 1);
  EXPECT_EQ(err.rfind("Ошибка чтения файла ставок!", 0), 0u);
  EXPECT_EQ(FileSizeOf(dir.File("Quintar_7x35.lrt")), 2 * 304);
}

TEST(CliRatings, RefreshLeavesAStakesFileOfAnotherFormatAlone) {
  TempDir dir;
  test::WriteBytes(dir.File("Quintar_7x35.lsk"), std::string(313, 'x'));
  std::string out, err;
  EXPECT_EQ(RunCli({"--data-dir=" + dir.Path(), "ratings", "refresh"}, &out, &err), 1);
  EXPECT_EQ(FileSizeOf(dir.File("Quintar_7x35.lsk")), 313);
}
