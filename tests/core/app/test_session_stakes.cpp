// The stakes of the session: the add, delete and check commands with their questions and messages, the
// logs, the start-up opening with its validity rule and the exclusive use of the file; quintar-cli stakes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

#include "app/session.h"
#include "combs/stakelogs.h"
#include "combs/stakesview.h"
#include "testutil.h"
#include "util/cp1251.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::MakeDraw;
using quintar::test::RunCli;
using quintar::test::ScriptedHost;
using quintar::test::TempDir;

namespace {

struct Fixture {
  TempDir dir;
  ScriptedHost host;
  Session s{dir.Path(), host};

  Fixture() {
    s.Stats.Config.Cost = 10000;  // 1.00
    s.Stats.Config.Profits = {{6, 10000000}, {3, 50000}};  // 6: 1000.00, 3: 5.00
    s.Archive.AppendDraw(MakeDraw(10, {1, 2, 3, 4, 5, 6, 7}, 1));
    EXPECT_TRUE(s.LoadStakes());
  }
  TStakeDialogInput Input(const std::string& nums, int draw, int draws = 1, const std::string& comment = "c") {
    TStakeDialogInput in;
    in.Numbers = nums;
    in.Draw = draw;
    in.Draws = draws;
    in.Comment = comment;
    return in;
  }
  std::string Add(const std::string& nums, int draw, int draws = 1, const std::string& comment = "c") {
    return s.StakeAdd(Input(nums, draw, draws, comment), s.NewStake(-1));
  }
  std::vector<int32_t> Draws() {
    std::vector<int32_t> out;
    s.Stakes.ForEachStake([&](int, const TStakeRec& r) { out.push_back(r.Draw); });
    return out;
  }
  bool SawMessage(const std::string& text) const {
    return std::any_of(host.messages.begin(), host.messages.end(),
                       [&](const ScriptedHost::Message& m) { return m.text == text; });
  }
};

std::string ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

}  // namespace

TEST(SessionStakes, SeriesOfDrawsAreSeparatedAndOneDrawIsNot) {
  Fixture f;
  EXPECT_EQ(f.Add("20;21;22;23;24;25;26", 11), "");
  EXPECT_EQ(f.Add("20;21;22;23;24;25;26", 11), "");  // one draw: no separator between single stakes
  EXPECT_EQ(f.Add("26;25;24;23;22;21;20", 12, 3), "");
  EXPECT_EQ(f.Draws(), (std::vector<int32_t>{11, 11, -1, 12, -1, 13, -1, 14}));
  // The numbers are stored ascending; the grid scrolls to the new last row; "Ставок: %d".
  EXPECT_EQ(f.s.Stakes.ReadStake(3).Numbers.Nums[0], 20);
  EXPECT_TRUE(f.s.TakeStakesScroll());
  EXPECT_FALSE(f.s.TakeStakesScroll());
  EXPECT_EQ(f.host.panels[4], "Ставок: 8");
}

TEST(SessionStakes, DialogChecksAddNothing) {
  Fixture f;
  EXPECT_EQ(f.Add("1;2;3;4;5;6", 11), kBadStakeText);
  EXPECT_EQ(f.Add("1;2;3;4;5;6;36", 11), kBadStakeText);
  EXPECT_EQ(f.Add("1;2;3;4;5;6;6", 11), kBadStakeText);
  EXPECT_EQ(f.Add("1;2;3;4;5;6;7", 11, 1, "  "), kNoComment);
  EXPECT_EQ(f.Add("1, 2 ;3;4;5;6;7", 11, 1, "x"), "");
  EXPECT_EQ(f.s.Stakes.Count(), 1);
  // The multi-stake dialog checks its comment.
  f.s.CurrentCombs.Append(TComb{1, 2, 3, 4, 5, 6, 7});
  EXPECT_EQ(f.s.StakeAddMulti(nullptr, 11, 1, ""), kNoComment);
  EXPECT_EQ(f.s.Stakes.Count(), 1);
}

TEST(SessionStakes, CheckingComputesProfitFoldsTheRatingAndWritesLogs) {
  Fixture f;
  f.s.StakesLogEnabled = true;
  // Two stakes with 6 matches (prize 1000.00, cost 1.00), one with 3, one for a draw not in the archive.
  EXPECT_EQ(f.Add("1;2;3;4;5;6;30", 10, 1, "шесть"), "");
  EXPECT_EQ(f.Add("1;2;3;4;5;7;30", 10, 1, "шесть"), "");
  EXPECT_EQ(f.Add("1;2;3;31;32;33;34", 10, 1, "три"), "");
  EXPECT_EQ(f.Add("1;2;3;4;5;6;7", 11, 1, "позже"), "");
  for (int i = 0; i < 2; ++i) {
    TStakeRec r = f.s.Stakes.ReadStake(i);
    EXPECT_EQ(r.Checked, 1);
    EXPECT_EQ(r.Matches.Count, 6);
    EXPECT_EQ(r.Profit, 9990000);  // 999.00
  }
  EXPECT_EQ(f.s.Stakes.ReadStake(2).Profit, 40000);
  TStakeRec later = f.s.Stakes.ReadStake(3);
  EXPECT_EQ(later.Checked, 0);
  EXPECT_EQ(later.Profit, -10000);
  EXPECT_EQ(StakeGridCell(later, 7), "-1,00");

  // The rating got every checked stake once and was saved.
  ASSERT_EQ(f.s.Ratings.Count(), 2);
  EXPECT_TRUE(FileExists(f.dir.File("Quintar_7x35.lrt")));

  // Log lines: one file per match count, CR LF, Windows-1251.
  const std::string six = Cp1251ToUtf8(ReadAll(f.dir.File("Quintar_7x35-6.log")));
  const std::regex line(
      R"(\d{4}\.\d{2}\.\d{2} \d{2}:\d{2}:\d{2}: Тираж № 10\. Ставка: "шесть" \[1;2;3;4;5;\d+;30\] \{0\}\. )"
      R"(Результаты тиража: \[1;2;3;4;5;6;7\]\. Совпадений: 6\. Профит: 999[.,]00\.\r\n)");
  std::smatch m;
  std::string rest = six;
  int lines = 0;
  while (std::regex_search(rest, m, line) && m.position(0) == 0) {
    ++lines;
    rest = m.suffix();
  }
  EXPECT_EQ(lines, 2) << six;
  EXPECT_TRUE(rest.empty());
  EXPECT_TRUE(FileExists(f.dir.File("Quintar_7x35-3.log")));

  // The draw arrives: the waiting stake is checked by the download's last step.
  f.s.Archive.AppendDraw(MakeDraw(11, {1, 2, 3, 4, 5, 6, 8}, 1));
  f.s.CheckStakesAfterDownload();
  later = f.s.Stakes.ReadStake(3);
  EXPECT_EQ(later.Matches.Count, 6);
  EXPECT_EQ(later.Profit, 9990000);
  EXPECT_EQ(f.s.Ratings.Count(), 3);

  // Deleting the logs, then finding none.
  f.s.LogStakesDelete();
  EXPECT_EQ(f.host.messages.back().kind, MsgKind::Information);
  EXPECT_FALSE(FileExists(f.dir.File("Quintar_7x35-6.log")));
  f.s.LogStakesDelete();
  EXPECT_EQ(f.host.messages.back().text, kNoStakeLogs);
}

TEST(SessionStakes, DeletingByConditionRowsAndAll) {
  Fixture f;
  EXPECT_EQ(f.Add("1;2;3;31;32;33;34", 10), "");       // 3 matches
  EXPECT_EQ(f.Add("20;21;22;23;24;25;26", 10), "");    // 0 matches
  EXPECT_EQ(f.Add("20;21;22;23;24;25;26", 20, 2), "");  // unchecked, with separators
  EXPECT_EQ(f.Draws(), (std::vector<int32_t>{10, 10, -1, 20, -1, 21}));
  // "Менее [ < ]" 0: no checked stake goes, every unchecked one does; separators stay.
  EXPECT_TRUE(f.s.StakeFilter(3, 0));
  EXPECT_EQ(f.Draws(), (std::vector<int32_t>{10, 10, -1, -1}));
  // "Равно [ = ]" 3.
  EXPECT_TRUE(f.s.StakeFilter(0, 3));
  EXPECT_EQ(f.Draws(), (std::vector<int32_t>{10, -1, -1}));

  // Rows: the question names the count; "no" keeps everything.
  f.host.answers = {false};
  EXPECT_FALSE(f.s.StakeDel(0, 1));
  EXPECT_EQ(f.host.questions.back().kind, AskKind::Delete);
  EXPECT_EQ(f.host.questions.back().text, "Удалить все выделенные записи (всего будет удалено 2 записи(ей))?");
  EXPECT_EQ(f.s.Stakes.Count(), 3);
  EXPECT_TRUE(f.s.StakeDel(1, 1));
  EXPECT_EQ(f.host.questions.back().text, "Удалить выделенную запись?");
  EXPECT_EQ(f.Draws(), (std::vector<int32_t>{10, -1}));
  EXPECT_FALSE(f.s.CanStakeDel(2));

  // All: the delete question, then the rating's own question (answered no: the rating stays).
  const int rated = f.s.Ratings.Count();
  ASSERT_GT(rated, 0);
  f.host.answers = {true, false};
  EXPECT_TRUE(f.s.StakeClear());
  EXPECT_EQ(f.s.Stakes.Count(), 0);
  EXPECT_EQ(f.host.questions.back().text, kRatingsRefreshQuestion);
  EXPECT_EQ(f.s.Ratings.Count(), rated);
  EXPECT_TRUE(f.s.StakesOpen());
}

TEST(SessionStakes, OldVersionFileIsEmptiedAtStartUp) {
  TempDir dir;
  test::WriteBytes(dir.File("Quintar_7x35.lsk"), std::string(313, '\2'));
  ScriptedHost host;
  Session s(dir.Path(), host);
  EXPECT_TRUE(s.LoadStakes());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].kind, MsgKind::Warning);
  EXPECT_EQ(host.messages[0].text, kStakesOldVersion);
  EXPECT_EQ(s.Stakes.FileSize(), 0);
  EXPECT_EQ(host.panels[4], "Ставок: 0");
  // What the file held is kept beside it.
  EXPECT_EQ(FileSizeOf(dir.File("Quintar_7x35.lsk.bak")), 313);
  EXPECT_EQ(std::count(host.statuses.begin(), host.statuses.end(), kStakesLoadStatus), 1);
}

TEST(SessionStakes, SecondCopyOnTheSameFolderIsRefused) {
  Fixture first;
  ScriptedHost host;
  Session second(first.dir.Path(), host);
  EXPECT_FALSE(second.LoadStakesExclusive());
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].text.rfind(std::string(kStakesReadError) + "\r\r", 0), 0u);
  EXPECT_EQ(host.messages[1].text, kStakesExclusiveAccess);
  EXPECT_FALSE(second.StakesOpen());
  EXPECT_FALSE(second.CanStakeAdd());
  // The command-line program is refused too.
  std::string out, err;
  EXPECT_EQ(RunCli({"--data-dir=" + first.dir.Path(), "stakes", "list"}, &out, &err), 1);
  EXPECT_NE(err.find("Невозможно получить монопольный доступ"), std::string::npos);
  // Once the first copy closes the file, the second one opens it.
  first.s.CloseStakesFile();
  EXPECT_TRUE(second.LoadStakes());
}

TEST(SessionStakes, EnablingRulesAndSwitches) {
  Fixture f;
  EXPECT_TRUE(f.s.CanStakeAdd());
  EXPECT_FALSE(f.s.CanStakeAddRandom());
  EXPECT_FALSE(f.s.CanStakeAddAll());
  EXPECT_FALSE(f.s.CanStakeAddSelected(0));
  f.s.CurrentCombs.Append(TComb{1, 2, 3, 4, 5, 6, 7});
  f.s.CurrentCombs.Append(TComb{8, 9, 10, 11, 12, 13, 14});
  EXPECT_TRUE(f.s.CanStakeAddRandom());
  EXPECT_EQ(f.s.NewStake(1).Numbers.Nums[0], 8);
  EXPECT_EQ(f.s.NewStake(1).Draw, 11);
  EXPECT_EQ(f.s.NewStake(1).Sample, 2);
  {
    BusyScope busy(f.s);
    EXPECT_FALSE(f.s.CanStakeAdd());
    EXPECT_FALSE(f.s.CanLogStakes());
  }
  // The multi-stake dialog: one stake per selected combination, with the dialog's draw and comment.
  TRowSelection sel{{1, 1}};
  EXPECT_EQ(f.s.StakeAddMulti(&sel, 10, 1, "мульти"), "");
  EXPECT_EQ(f.s.StakeAddMulti(nullptr, 30, 1, "все"), "");
  ASSERT_EQ(f.s.Stakes.Count(), 3);
  EXPECT_EQ(f.s.Stakes.ReadStake(0).Comment(), "мульти");
  EXPECT_EQ(f.s.Stakes.ReadStake(0).Checked, 1);
  EXPECT_EQ(f.s.Stakes.ReadStake(2).Numbers.Nums[0], 8);

  // The switches are stored at once.
  f.s.LogStakes();
  f.s.StakesScroll();
  f.s.StakesCheckLine();
  ScriptedHost h2;
  Session other(f.dir.Path(), h2);
  other.ReadFormKeys();
  EXPECT_TRUE(other.StakesLogEnabled);
  EXPECT_FALSE(other.StakesScrollEnabled);
  EXPECT_FALSE(other.StakesCheckOnLine);
}

TEST(CliStakes, RealArchiveStakeIsCheckedAtOnceAndTheNextWaits) {
  std::string csv = test::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is not available";
  TempDir dir;
  const std::string dd = "--data-dir=" + dir.Path();
  ASSERT_EQ(RunCli({dd, "draws", "import", csv}), 0);
  test::WriteBytes(dir.File("Quintar_7x35.ini"),
                   "[STAKES]\r\nCost=2.5\r\nProfits=2\r\nProfit_0_Overlap=3\r\nProfit_0_Profit=10\r\n"
                   "Profit_1_Overlap=2\r\nProfit_1_Profit=1\r\n");
  std::string out, err;
  ASSERT_EQ(RunCli({dd, "stakes", "add", "9;13;15;1;2;3;4", "--draw=1577"}, &out, &err), 0) << err;
  EXPECT_EQ(out, "1577\tВручную\t1;2;3;4;9;13;15\t0\t9;13;15;16;26;30;35\t3\t9 13 15\t7,50\tСтавка \"вручную\"\n"
                 "Ставок: 1\n");
  // Without --draw the stake is for the next draw, 1578, and waits.
  ASSERT_EQ(RunCli({dd, "stakes", "add", "9,13,15,1,2,3,4", "--comment=позже"}, &out, &err), 0) << err;
  EXPECT_EQ(out, "1578\tВручную\t1;2;3;4;9;13;15\t0\t\t\t\t-2,50\tпозже\nСтавок: 2\n");
  EXPECT_EQ(RunCli({dd, "stakes", "add", "1;2;3;4;5;6"}, &out, &err), 1);
  EXPECT_NE(err.find(kBadStakeText), std::string::npos);
  ASSERT_EQ(RunCli({dd, "stakes", "add", "1;2;3;4;5;6;7", "--draws=2", "--comment=ряд"}, &out, &err), 0);

  ASSERT_EQ(RunCli({dd, "stakes", "list"}, &out, &err), 0);
  std::istringstream lines(out);
  std::string header;
  std::getline(lines, header);
  EXPECT_EQ(header, "№ тиража\tВид ставки\tМоя ставка\tВыборка\tРезультаты тиража\tСовпадений\tСовпадения\t"
                    "Профит\tКомментарий");
  EXPECT_NE(out.find("\t\t\t\t\t\t\t\t\n1578\tВручную\t1;2;3;4;5;6;7"), std::string::npos);

  // "less than 0" removes the waiting stakes and keeps the checked one and the separators.
  ASSERT_EQ(RunCli({dd, "stakes", "delete", "--condition=3", "--value=0"}, &out, &err), 0) << err;
  EXPECT_EQ(out, "Ставок: 3\n");
  EXPECT_EQ(RunCli({dd, "stakes", "delete", "--condition=5", "--value=0"}, &out, &err), 2);
  ASSERT_EQ(RunCli({dd, "stakes", "check"}, &out, &err), 0) << err;
  ASSERT_EQ(RunCli({dd, "stakes", "clear"}, &out, &err), 0) << err;
  EXPECT_EQ(out, "Ставок: 0\n");
  ASSERT_EQ(RunCli({dd, "ratings", "list"}, &out, &err), 0);
  EXPECT_NE(out.find("Ставка \"вручную\"\t1\t3"), std::string::npos);  // the rating question was answered no
}
