// quintar-cli tables as outside checks call it: one data folder driven through every subcommand in turn,
// with the list printed after each change, the stakes made, and every refusal leaving both files alone.
#include <gtest/gtest.h>

#include "combs/stakesfile.h"
#include "combs/tables.h"
#include "game/drawarchive.h"
#include "testutil.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::MakeDraw;
using quintar::test::RunCli;
using quintar::test::TempDir;

namespace {

const std::string kHeader = "Комментарий\tСтартовая комбинация\tШаг\tТекущая комбинация\tСтавок\n";

std::string FileOrEmpty(const std::string& path) { return FileExists(path) ? ReadWholeFile(path) : std::string(); }

}  // namespace

TEST(CliTables, EverySubcommandAsTheContractWritesIt) {
  TempDir dir;
  TDrawArchive archive;  // draw 100 + k has the numbers 1 + k .. 7 + k
  for (int k = 0; k < 6; ++k)
    archive.AppendDraw(MakeDraw(100 + k, {1 + k, 2 + k, 3 + k, 4 + k, 5 + k, 6 + k, 7 + k}, 1));
  archive.SaveToFile(dir.File("Quintar_7x35.ldr"));
  test::WriteBytes(dir.File("Quintar_7x35.ini"),
                   "[STAKES]\r\nCost=2\r\nProfits=1\r\nProfit_0_Overlap=7\r\nProfit_0_Profit=1000\r\n");
  const std::string list = dir.File("list.lcv");
  test::WriteBytes(list, "1;2;3;4;5;6;7\r\n30;2;17;8;25;11;34\r\n5;6;7;8;9;10;11\r\n");
  const std::string in = "--in=" + list;

  const std::string five = "Пять\t1;2;3;4;5;6;7\t5\t1;2;3;4;5;6;7\t0\n";
  const std::string last = "Регулярная ставка\t0;0;0;0;0;0;0\t0\t0;0;0;0;0;0;0\t0\n";
  const std::string rows = "Ряд (1)\t1;2;3;4;5;6;7\t1\t1;2;3;4;5;6;7\t0\nРяд (3)\t1;2;3;4;5;6;9\t1\t1;2;3;4;5;6;9\t0\n";
  const std::string fromFile = "Из файла\t2;8;11;17;25;30;34\t1\t2;8;11;17;25;30;34\t0\n";
  const std::string renamed =
      "Ряд первый\t1;2;3;4;5;6;7\t-1\t1;2;3;4;5;6;7\t0\nРяд (3)\t1;2;3;4;5;6;9\t1\t1;2;3;4;5;6;9\t0\n";
  const std::string five1 = "Пять\t1;2;3;4;5;6;7\t5\t6;7;8;9;10;11;12\t1\n";
  const std::string last1 = "Регулярная ставка\t0;0;0;0;0;0;0\t0\t6;7;8;9;10;11;12\t1\n";
  const std::string five3 = "Пять\t1;2;3;4;5;6;7\t5\t16;17;18;19;20;21;22\t3\n";
  const std::string last3 = "Регулярная ставка\t0;0;0;0;0;0;0\t0\t5;6;7;8;9;10;11\t3\n";
  const char* const kUsed = "Запись с таким комментарией уже присутствует в списке!\nВыберите другой комментарий.\n";

  const struct {
    std::vector<std::string> args;
    int rc;
    std::string out;   // the whole standard output (ignored for usage errors, which must print nothing)
    std::string err;   // the beginning of standard error
  } steps[] = {
      {{"list"}, 0, kHeader, ""},
      {{"add", "--comb=1;2;3;4;5;6;7", "--step=5", "--name=Пять"}, 0, kHeader + five, ""},
      {{"add", "--last-draw", "--step=0"}, 0, kHeader + five + last, ""},
      // The typed name is checked even when it only starts the names of several tables.
      {{"add", "--rows=3,1"}, 1, "", kUsed},
      {{"add", "--rows=3,1,3", "--name=Ряд"}, 0, kHeader + five + last + rows, ""},
      // One row of a list file: that combination in the start field, sorted, the name as typed.
      {{"add", "--rows=2", in, "--name=Из файла"}, 0, kHeader + five + last + rows + fromFile, ""},
      {{"add", "--comb=1;2;3"}, 1, "", "Введена некорректная комбинация!\n"},
      {{"add", "--comb=1;2;3;4;5;6;7", "--name="}, 1, "", "Необходимо ввести комментарий!\n"},
      {{"add", "--last-draw", "--name=Пять"}, 1, "", kUsed},
      {{"add", "--last-draw", "--step=36"}, 2, "", ""},
      {{"add", "--last-draw", "--step=x"}, 2, "", ""},
      {{"add", "--last-draw", "--comb=1;2;3;4;5;6;7"}, 2, "", ""},
      {{"add", "--last-draw", in}, 2, "", ""},
      {{"add"}, 2, "", ""},
      {{"add", "--rows=0"}, 2, "", ""},
      {{"add", "--rows=4", in}, 2, "", ""},
      {{"add", "--rows=2,a", in}, 2, "", ""},
      {{"edit", "3", "--name=Пять"}, 1, "", kUsed},
      {{"edit", "9", "--name=Новое"}, 2, "", ""},
      {{"edit", "3", "--step=-36"}, 2, "", ""},
      {{"edit", "4", "--name=Ряд (3)"}, 0, kHeader + five + last + rows + fromFile, ""},
      {{"edit", "3", "--name=Ряд первый", "--step=-1"}, 0, kHeader + five + last + renamed + fromFile, ""},
      // One stake at offset 1: for draw 105, checked at once (7 matches).
      {{"stake", "1", "--offset=1", "--comment=мой"},
       0,
       kHeader + five1 + last + renamed + fromFile + "Ставок: 1\n",
       ""},
      {{"stake", "1", "--comment="}, 1, "", "Необходимо ввести комментарий!\n"},
      {{"stake", "2", "--offset=6"}, 2, "", ""},
      {{"stake", "2", "--draws=0"}, 2, "", ""},
      {{"stake", "2", "--draws=65536"}, 2, "", ""},
      {{"stake", "2", "--draw=0"}, 2, "", ""},
      {{"stake", "9"}, 2, "", ""},
      {{"stake"}, 2, "", ""},
      {{"stake", "2", in}, 0, kHeader + five1 + last1 + renamed + fromFile + "Ставок: 2\n", ""},
      // A test over the last 2 draws, the rows in list order whatever their order here.
      {{"test", "2", "1", "--tests=2"}, 0, kHeader + five3 + last3 + renamed + fromFile + "Ставок: 6\n", ""},
      {{"test", "1", "--tests=6"}, 2, "", ""},
      {{"test", "1", "--tests=0"}, 2, "", ""},
      {{"test", "6"}, 2, "", ""},
      {{"test"}, 2, "", ""},
      {{"delete", "2", "9"}, 1, "", "Запись со индексом 8 в файле данных не найдена!\n"},
      {{"delete", "0"}, 1, "", "Запись со индексом -1 в файле данных не найдена!\n"},
      {{"delete", "x"}, 2, "", ""},
      {{"delete"}, 2, "", ""},
      {{"delete", "5", "2", "5"}, 0, kHeader + five3 + renamed, ""},
      {{"list", "x"}, 2, "", ""},
      {{"sort"}, 2, "", ""},
  };
  const std::string ltb = dir.File("Quintar_7x35.ltb"), lsk = dir.File("Quintar_7x35.lsk");
  for (const auto& step : steps) {
    std::vector<std::string> args = {"--data-dir=" + dir.Path(), "tables"};
    args.insert(args.end(), step.args.begin(), step.args.end());
    const std::string tablesBefore = FileOrEmpty(ltb), stakesBefore = FileOrEmpty(lsk);
    std::string out, err;
    const std::string what = step.args.empty() ? "" : step.args[0] + (step.args.size() > 1 ? " " + step.args[1] : "");
    EXPECT_EQ(RunCli(args, &out, &err), step.rc) << what << ": " << err;
    if (step.rc == 2) {
      EXPECT_EQ(out, "") << what;
    } else {
      EXPECT_EQ(out, step.out) << what;
      EXPECT_EQ(err.substr(0, step.err.size()), step.err) << what;
    }
    if (step.rc != 0 || step.args[0] == "list") {
      EXPECT_EQ(FileOrEmpty(ltb), tablesBefore) << what;
      EXPECT_EQ(FileOrEmpty(lsk), stakesBefore) << what;
    }
  }

  // The stakes: kind 2, the table's name (or the comment given) and the list's count as sample size.
  TStakesFile stakes(lsk);
  stakes.OpenStakes();
  ASSERT_EQ(stakes.Count(), 6);
  const struct {
    int draw, sample, matches;
    const char* numbers;
    const char* comment;
  } expected[] = {{105, 0, 7, "6;7;8;9;10;11;12", "мой"},
                  {106, 3, -1, "6;7;8;9;10;11;12", "Регулярная ставка"},
                  {104, 0, 1, "11;12;13;14;15;16;17", "Пять"},
                  {104, 0, 6, "4;5;6;7;8;9;10", "Регулярная ставка"},
                  {105, 0, 0, "16;17;18;19;20;21;22", "Пять"},
                  {105, 0, 6, "5;6;7;8;9;10;11", "Регулярная ставка"}};
  for (int i = 0; i < 6; ++i) {
    const TStakeRec r = stakes.ReadStake(i);
    EXPECT_EQ(r.Kind, skTable);
    EXPECT_EQ(r.Draw, expected[i].draw) << i;
    EXPECT_EQ(r.Sample, expected[i].sample) << i;
    EXPECT_EQ(r.Matches.Count, expected[i].matches) << i;
    EXPECT_EQ(NumSetToText(r.Numbers, ";"), expected[i].numbers) << i;
    EXPECT_EQ(r.Comment(), expected[i].comment) << i;
  }
  EXPECT_EQ(stakes.ReadStake(0).Profit, 10000000 - 20000);
  EXPECT_EQ(stakes.ReadStake(1).Profit, -20000);
  stakes.CloseStakes();

  // A series of draws: one table advance, the stakes separated.
  std::string out, err;
  ASSERT_EQ(RunCli({"--data-dir=" + dir.Path(), "tables", "stake", "2", "--draws=3", "--draw=200"}, &out, &err), 0)
      << err;
  EXPECT_NE(out.find("Ряд первый\t1;2;3;4;5;6;7\t-1\t1;2;3;4;5;6;35\t1\n"), std::string::npos);
  EXPECT_TRUE(out.ends_with("\nСтавок: 12\n")) << out;  // separator, 200, separator, 201, separator, 202

  // A file cut inside a record: the list shows the whole records and reports the error; no command
  // changes anything then.
  test::WriteBytes(ltb, ReadWholeFile(ltb).substr(0, 280 + 10));
  const std::string cut = ReadWholeFile(ltb);
  EXPECT_EQ(RunCli({"--data-dir=" + dir.Path(), "tables", "list"}, &out, &err), 1);
  EXPECT_EQ(out, kHeader + five3);
  EXPECT_EQ(err.rfind("Ошибка чтения файла регулярных ставок!", 0), 0u) << err;
  EXPECT_EQ(RunCli({"--data-dir=" + dir.Path(), "tables", "add", "--last-draw", "--name=Новая"}, &out, &err), 1);
  EXPECT_EQ(RunCli({"--data-dir=" + dir.Path(), "tables", "delete", "1"}, &out, &err), 1);
  EXPECT_EQ(ReadWholeFile(ltb), cut);

  // The stakes file held by a running program: the stake is refused, the table stays.
  test::WriteBytes(ltb, cut.substr(0, 280));
  TStakesFile held(lsk);
  held.OpenStakes();
  EXPECT_EQ(RunCli({"--data-dir=" + dir.Path(), "tables", "stake", "1"}, &out, &err), 1);
  EXPECT_EQ(err.rfind("Ошибка чтения файла ставок!", 0), 0u) << err;
  EXPECT_EQ(ReadWholeFile(ltb), cut.substr(0, 280));
}
