// The stakes file: record layout, appending series, checking, rewriting, exclusive use.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "combs/stakelogs.h"
#include "combs/stakesfile.h"
#include "testutil.h"
#include "util/cp1251.h"
#include "util/safefile.h"
#include "util/strutil.h"

using namespace quintar;
using quintar::test::MakeDraw;
using quintar::test::TempDir;

namespace {

TStakePrices Prices(double cost, std::initializer_list<std::pair<int, double>> prizes) {
  TStakePrices p;
  p.Cost = MoneyFromDouble(cost);
  for (auto [m, v] : prizes) p.Profits.push_back({static_cast<uint8_t>(m), MoneyFromDouble(v)});
  return p;
}

TStakeRec Stake(int draw, std::initializer_list<int> nums, const std::string& comment = kManualStakeComment,
                int64_t profit = -10000) {
  TComb c{};
  int i = 0;
  for (int n : nums) c[i++] = static_cast<uint8_t>(n);
  TStakeRec r = MakeStakeRecord(draw, 1000, &c, [profit](int, int) { return profit; });
  r.SetComment(comment);
  return r;
}

std::vector<int> Draws(TStakesFile& f) {
  std::vector<int> out;
  f.ForEachStake([&](int, const TStakeRec& r) { out.push_back(r.Draw); });
  return out;
}

// Runs fn in a child process and returns its exit code.
template <class F>
int InChild(F fn) {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(fn());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(StakeRecord, BytesFollowTheRecordTable) {
  TempDir dir;
  TStakesFile f(dir.File("Quintar_7x35.lsk"));
  f.OpenStakes();
  TStakeRec r = Stake(1577, {35, 1, 9, 13, 15, 16, 26}, "Тест", -15000);
  r.Kind = skScript;
  r.Sample = 0x01020304;
  f.AddStake(r, 1);
  f.CloseStakes();
  std::string bytes = ReadWholeFile(dir.File("Quintar_7x35.lsk"));
  ASSERT_EQ(bytes.size(), 312u);
  std::string want(312, '\0');
  want[0] = 2;                                   // version
  want[1] = 3;                                   // kind
  want[4] = '\x29'; want[5] = '\x06';            // draw 1577 = 0x0629
  want[8] = 0;                                   // not checked
  want[12] = 4; want[13] = 3; want[14] = 2; want[15] = 1;  // sample size
  want[16] = 7;                                  // number count
  const char nums[] = {1, 9, 13, 15, 16, 26, 35};  // ascending
  std::memcpy(&want[20], nums, 7);
  want[36] = want[37] = want[38] = want[39] = '\xff';  // matches -1
  int64_t profit = -15000;
  std::memcpy(&want[48], &profit, 8);
  std::string comment = Utf8ToCp1251("Тест");
  want[56] = static_cast<char>(comment.size());
  std::memcpy(&want[57], comment.data(), comment.size());
  EXPECT_EQ(bytes, want);

  TStakeRec sep = SeparatorStake();
  std::string s(reinterpret_cast<const char*>(&sep), 312);
  std::string wantSep(312, '\0');
  wantSep[0] = 2;
  for (int i : {4, 5, 6, 7, 36, 37, 38, 39}) wantSep[i] = '\xff';
  EXPECT_EQ(s, wantSep);

  // A comment is cut to 255 characters of the code page.
  r.SetComment(std::string(300, 'x'));
  EXPECT_EQ(r.CommentLen, 255);
  EXPECT_EQ(r.Comment(), std::string(255, 'x'));
}

TEST(StakesFile, SeriesOfDrawsAreSeparated) {
  TempDir dir;
  TStakesFile f(dir.File("s.lsk"));
  f.OpenStakes();
  // Into an empty file: no separator before the first copy.
  f.AddStake(Stake(10, {1, 2, 3, 4, 5, 6, 7}), 2);
  EXPECT_EQ(Draws(f), (std::vector<int>{10, -1, 11}));
  f.ClearStakes();
  f.AddStake(Stake(5, {1, 2, 3, 4, 5, 6, 7}), 1);
  f.AddStake(Stake(20, {1, 2, 3, 4, 5, 6, 7}), 3);
  EXPECT_EQ(Draws(f), (std::vector<int>{5, -1, 20, -1, 21, -1, 22}));
  for (int i : {1, 3, 5}) EXPECT_TRUE(f.ReadStake(i).IsSeparator());
  // One draw never adds a separator; a file ending in a separator gets no second one.
  f.AddStake(Stake(30, {1, 2, 3, 4, 5, 6, 7}), 1);
  f.AppendStakeSeparator();
  f.AppendStakeSeparator();
  f.AddStake(Stake(40, {1, 2, 3, 4, 5, 6, 7}), 2);
  EXPECT_EQ(Draws(f), (std::vector<int>{5, -1, 20, -1, 21, -1, 22, 30, -1, 40, -1, 41}));

  // A checked stake and a series running past the largest draw number are refused; nothing is written.
  TStakeRec checked = Stake(50, {1, 2, 3, 4, 5, 6, 7});
  checked.Checked = 1;
  try {
    f.AddStake(checked, 1);
    FAIL();
  } catch (const EStakesFile& e) {
    EXPECT_EQ(e.FullText(), "Ошибка добавления записи в файл ставок!\r\rДобавление в конец файла уже проверенной ставки!");
  }
  EXPECT_THROW(f.AddStake(Stake(2147483600, {1, 2, 3, 4, 5, 6, 7}), 100), EStakesFile);
  EXPECT_EQ(f.Count(), 12);
  EXPECT_EQ(FileSizeOf(dir.File("s.lsk")), 12 * 312);
}

TEST(StakesFile, ReadingOnDemandAndLookups) {
  TempDir dir;
  TStakesFile f(dir.File("s.lsk"));
  try {
    f.ReadStake(0);
    FAIL();
  } catch (const EStakesFile& e) {
    EXPECT_EQ(e.FullText(), "Файл ставок не открыт!");
  }
  f.OpenStakes();
  for (int d = 1; d <= 5; ++d) f.AddStake(Stake(d, {1, 2, 3, 4, 5, 6, d + 6}), 1);
  EXPECT_EQ(f.ReadStake(-1).Draw, 5);
  EXPECT_EQ(f.ReadStake(1).Draw, 2);
  try {
    f.ReadStake(5);
    FAIL();
  } catch (const EStakesFile& e) {
    EXPECT_EQ(e.FullText(), "Ошибка чтения записи из файла ставок!\r\rЗапись со индексом 5 в файле данных не найдена!");
  }
  TNumSet n{7, {1, 2, 3, 4, 5, 6, 9, 0}};
  EXPECT_TRUE(f.FindStake(3, n));
  EXPECT_FALSE(f.FindStake(4, n));
  n.Count = 6;
  EXPECT_FALSE(f.FindStake(3, n));
}

TEST(StakesFile, CheckingStoresResultMatchesAndProfit) {
  TempDir dir;
  TDrawArchive archive;
  archive.AppendDraw(MakeDraw(100, {30, 2, 14, 4, 5, 6, 20}, 3));
  TStakePrices prices = Prices(1.0, {{6, 1000.0}, {3, 5.0}});
  TStakesFile f(dir.File("Quintar_7x35.lsk"));
  f.OpenStakes();
  f.AddStake(MakeStakeRecord(100, 5, nullptr, prices.Fn()), 1);  // no numbers: never checked
  TComb six{{2, 4, 5, 6, 14, 20, 33}}, three{{1, 2, 3, 4, 5, 7, 8}}, later{{2, 4, 5, 6, 14, 20, 30}};
  TStakeRec a = MakeStakeRecord(100, 5, &six, prices.Fn());
  EXPECT_EQ(a.Profit, -10000);  // a new stake starts with -cost
  f.AddStake(a, 1);
  f.AddStake(MakeStakeRecord(100, 5, &six, prices.Fn()), 1);
  f.AddStake(MakeStakeRecord(100, 5, &three, prices.Fn()), 1);
  f.AddStake(MakeStakeRecord(101, 5, &later, prices.Fn()), 1);
  f.AppendStakeSeparator();

  std::vector<int> checkedIndexes;
  std::vector<std::string> statuses;
  TStakeLogs logs(dir.File("Quintar_7x35"));
  TStakeCheckHooks hooks;
  hooks.Result = prices.Fn();
  hooks.Checked = [&](const TStakeRec& r) { checkedIndexes.push_back(r.Matches.Count); };
  hooks.Status = [&](const std::string& s) { statuses.push_back(s); };
  hooks.Logs = &logs;
  f.ReadStake(1);  // cached before the check
  ASSERT_TRUE(f.CheckStakes(archive, hooks));
  EXPECT_EQ(checkedIndexes, (std::vector<int>{6, 6, 3}));
  EXPECT_EQ(statuses.front(), "Проверка результатов ставок...");
  EXPECT_EQ(statuses.back(), "Проверка результатов ставок ( завершено 100 % )...");

  TStakeRec r = f.ReadStake(1);  // the cache was forgotten
  EXPECT_EQ(r.Checked, 1);
  EXPECT_EQ(std::vector<uint8_t>(r.DrawNums, r.DrawNums + 7), (std::vector<uint8_t>{30, 2, 14, 4, 5, 6, 20}));
  EXPECT_EQ(r.Matches.Count, 6);
  EXPECT_EQ(std::vector<uint8_t>(r.Matches.Nums, r.Matches.Nums + 8), (std::vector<uint8_t>{2, 4, 5, 6, 14, 20, 0, 0}));
  EXPECT_EQ(r.Profit, 9990000);  // 999.00
  EXPECT_EQ(f.ReadStake(2).Profit, 9990000);
  EXPECT_EQ(f.ReadStake(3).Profit, 40000);  // 3 matches: 5.00 - 1.00
  EXPECT_EQ(f.ReadStake(0).Checked, 0);
  TStakeRec waiting = f.ReadStake(4);
  EXPECT_EQ(waiting.Checked, 0);
  EXPECT_EQ(waiting.Matches.Count, -1);
  EXPECT_EQ(waiting.Profit, -10000);

  // Both 6-match stakes went to the log for 6 matches.
  std::string six6 = ReadWholeFile(dir.File("Quintar_7x35-6.log"));
  EXPECT_EQ(std::count(six6.begin(), six6.end(), '\n'), 2);
  EXPECT_NE(six6.find(Utf8ToCp1251(". Совпадений: 6. Профит: 999,00.\r\n")), std::string::npos);
  EXPECT_TRUE(FileExists(dir.File("Quintar_7x35-3.log")));

  // Nothing more to check until the draw arrives; then the waiting stake is checked.
  checkedIndexes.clear();
  EXPECT_FALSE(f.CheckStakes(archive, hooks));
  EXPECT_TRUE(checkedIndexes.empty());
  archive.AppendDraw(MakeDraw(101, {1, 2, 3, 4, 5, 6, 7}, 3));
  EXPECT_TRUE(f.CheckStakes(archive, hooks));
  EXPECT_EQ(checkedIndexes, (std::vector<int>{4}));
  EXPECT_EQ(f.ReadStake(4).Profit, -10000);
  EXPECT_EQ(f.ReadStake(5).Checked, 0);  // separators are never checked
}

TEST(StakesFile, CheckingGoesOnWhenALogCannotBeWritten) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.File("Quintar_7x35-7.log").c_str(), 0755), 0);
  TDrawArchive archive;
  archive.AppendDraw(MakeDraw(9, {1, 2, 3, 4, 5, 6, 7}, 3));
  TStakesFile f(dir.File("Quintar_7x35.lsk"));
  f.OpenStakes();
  for (int i = 0; i < 3; ++i) f.AddStake(Stake(9, {1, 2, 3, 4, 5, 6, 7}), 1);
  TStakeLogs logs(dir.File("Quintar_7x35"));
  std::vector<std::string> failures;
  TStakeCheckHooks hooks;
  hooks.Result = Prices(1, {}).Fn();
  hooks.Logs = &logs;
  hooks.LogFailure = [&](const std::string& s) { failures.push_back(s); };
  EXPECT_TRUE(f.CheckStakes(archive, hooks));
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].rfind("Ошибка записи в файл \"" + dir.File("Quintar_7x35-7.log") + "\"!\r\r", 0), 0u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(f.ReadStake(i).Checked, 1);
}

TEST(StakesFile, FailingRatingsHookKeepsTheStakesCheckedSoFar) {
  TempDir dir;
  TDrawArchive archive;
  archive.AppendDraw(MakeDraw(9, {1, 2, 3, 4, 5, 6, 7}, 3));
  TStakesFile f(dir.File("s.lsk"));
  f.OpenStakes();
  for (int i = 0; i < 3; ++i) f.AddStake(Stake(9, {1, 2, 3, 4, 5, 6, 7}), 1);
  int calls = 0;
  TStakeCheckHooks hooks;
  hooks.Result = Prices(1, {}).Fn();
  hooks.Checked = [&](const TStakeRec&) {
    if (++calls == 2) throw EQuintar("ratings broke");
  };
  try {
    f.CheckStakes(archive, hooks);
    FAIL();
  } catch (const EStakesFile& e) {
    EXPECT_EQ(e.FullText(), "Ошибка проверки ставок!\r\rratings broke");
  }
  // The hook hears of stakes once they are written back; it still hears of the ones after the refusal.
  EXPECT_EQ(calls, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(f.ReadStake(i).Checked, 1);
}

TEST(StakesFile, DeleteByConditionAndRows) {
  TempDir dir;
  TStakesFile f(dir.File("s.lsk"));
  f.OpenStakes();
  // Checked with 0 and 2 matches, unchecked, a separator, checked with 7 matches.
  TStakeRec c0 = Stake(7, {1, 2, 3, 4, 5, 6, 7}), c2 = c0, un = c0, c7 = c0;
  c0.Checked = c2.Checked = c7.Checked = 1;
  c0.Matches.Count = 0;
  c2.Matches.Count = 2;
  c7.Matches.Count = 7;
  TStakeRec sep = SeparatorStake();
  std::string bytes;
  for (const TStakeRec* r : {&c0, &c2, &un, &sep, &c7}) bytes.append(reinterpret_cast<const char*>(r), 312);
  f.CloseStakes();
  test::WriteBytes(dir.File("s.lsk"), bytes);
  f.OpenStakes();

  auto deleteWhere = [&](int cond, int value) {
    f.RewriteStakes([&](int, const TStakeRec& r) { return !StakeFilterDeletes(r, cond, value); });
    std::vector<int> m;
    f.ForEachStake([&](int, const TStakeRec& r) { m.push_back(r.IsSeparator() ? 99 : r.Matches.Count); });
    return m;
  };
  EXPECT_EQ(StakeFilterConditions().size(), 5u);
  EXPECT_EQ(StakeFilterConditions()[3], "Менее [ < ]");
  // "less than 0" deletes no checked stake but every unchecked one; the separator stays.
  EXPECT_EQ(deleteWhere(3, 0), (std::vector<int>{0, 2, 99, 7}));
  EXPECT_EQ(deleteWhere(1, 2), (std::vector<int>{0, 2, 99}));
  EXPECT_EQ(deleteWhere(0, 0), (std::vector<int>{2, 99}));
  EXPECT_EQ(deleteWhere(4, 7), (std::vector<int>{99}));

  // Deleting grid rows 2..3 keeps the records whose row (index + 1) lies outside them.
  f.ClearStakes();
  for (int d = 1; d <= 5; ++d) f.AddStake(Stake(d, {1, 2, 3, 4, 5, 6, 7}), 1);
  f.RewriteStakes([](int index, const TStakeRec&) { return index + 1 < 2 || index + 1 > 3; });
  EXPECT_EQ(Draws(f), (std::vector<int>{1, 4, 5}));
  EXPECT_FALSE(FileExists(f.TempPath()));
  EXPECT_EQ(f.TempPath(), dir.File("s.~tmp"));
}

TEST(StakesFile, OldVersionFilesAreEmptiedAtLoad) {
  TempDir dir;
  const std::string path = dir.File("Quintar_7x35.lsk");
  std::vector<std::string> warnings;
  auto warn = [&](const std::string& w) { warnings.push_back(w); };
  {
    test::WriteBytes(path, std::string(313, '\2'));
    TStakesFile f(path);
    EXPECT_TRUE(f.LoadStakes(warn));
    EXPECT_EQ(f.Count(), 0);
  }
  EXPECT_EQ(FileSizeOf(path), 0);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0], "Обнаружен файл ставок устаревшей версии - имеющиеся в файле ставки будут удалены!");
  {
    std::string rec(312, '\0');
    rec[0] = 1;  // version 1
    test::WriteBytes(path, rec);
    TStakesFile f(path);
    EXPECT_TRUE(f.LoadStakes(warn));
  }
  EXPECT_EQ(warnings.size(), 2u);
  {
    TStakeRec r = Stake(3, {1, 2, 3, 4, 5, 6, 7});
    test::WriteBytes(path, std::string(reinterpret_cast<const char*>(&r), 312));
    TStakesFile f(path);
    EXPECT_FALSE(f.LoadStakes(warn));
    EXPECT_EQ(f.Count(), 1);
  }
  {
    TStakesFile f(dir.File("missing/Quintar_7x35.lsk"));
    try {
      f.LoadStakes(warn);
      FAIL();
    } catch (const EStakesFile& e) {
      EXPECT_EQ(e.Resource(), "Ошибка чтения файла ставок!");
    }
    EXPECT_FALSE(f.IsOpen());
  }
  EXPECT_EQ(warnings.size(), 2u);
}

TEST(StakesFile, SecondProcessIsRefused) {
  TempDir dir;
  const std::string path = dir.File("Quintar_7x35.lsk");
  TStakesFile f(path);
  f.OpenStakes();
  f.AddStake(Stake(1, {1, 2, 3, 4, 5, 6, 7}), 1);
  auto tryOpen = [&] {
    TStakesFile other(path);
    try {
      other.OpenStakes();
      return 0;
    } catch (const EStakesFile& e) {
      return e.Resource() == kStakesReadError ? 3 : 4;
    }
  };
  EXPECT_EQ(InChild(tryOpen), 3);
  // The lock goes with the file that a rewrite renames into place.
  f.RewriteStakes([](int, const TStakeRec&) { return true; });
  EXPECT_EQ(InChild(tryOpen), 3);
  f.AddStake(Stake(2, {1, 2, 3, 4, 5, 6, 7}), 1);
  EXPECT_EQ(f.Count(), 2);
  f.CloseStakes();
  EXPECT_EQ(InChild(tryOpen), 0);
  EXPECT_EQ(FileSizeOf(path), 2 * 312);
}

TEST(StakesFile, RewriteInterruptedBeforeTheRenameKeepsTheOldFile) {
  TempDir dir;
  const std::string path = dir.File("Quintar_7x35.lsk");
  {
    TStakesFile f(path);
    f.OpenStakes();
    for (int d = 1; d <= 10000; ++d) f.AddStake(Stake(d, {1, 2, 3, 4, 5, 6, 7}), 1);
  }
  const std::string before = ReadWholeFile(path);
  // The process dies while copying the kept records, or with the new file complete just before it
  // replaces the old one: either way the stakes file is the old one, whole.
  int rc = InChild([&] {
    TStakesFile f(path);
    f.OpenStakes();
    f.RewriteStakes([](int index, const TStakeRec&) {
      if (index == 9000) ::_exit(7);
      return index % 2 == 0;
    });
    return 0;
  });
  EXPECT_EQ(rc, 7);
  EXPECT_EQ(ReadWholeFile(path), before);
  rc = InChild([&] {
    TStakesFile f(path);
    f.OpenStakes();
    f.BeforeReplace = [] { ::_exit(8); };
    f.RewriteStakes([](int index, const TStakeRec&) { return index % 2 == 0; });
    return 0;
  });
  EXPECT_EQ(rc, 8);
  EXPECT_EQ(ReadWholeFile(path), before);
  EXPECT_EQ(FileSizeOf(dir.File("Quintar_7x35.~tmp")), 5000 * 312);
  EXPECT_TRUE(FileExists(dir.File("Quintar_7x35.~tmp")));  // the leftover is replaced by the next rewrite

  TStakesFile f(path);
  f.OpenStakes();
  // A failing rule leaves the file as it was and removes the temporary file.
  try {
    f.RewriteStakes([](int index, const TStakeRec&) -> bool {
      if (index == 5000) throw EQuintar("stop");
      return false;
    });
    FAIL();
  } catch (const EStakesFile& e) {
    EXPECT_EQ(e.FullText(), "Ошибка удаления записи из файла ставок!\r\rstop");
  }
  EXPECT_EQ(ReadWholeFile(path), before);
  EXPECT_FALSE(FileExists(dir.File("Quintar_7x35.~tmp")));
  EXPECT_EQ(f.Count(), 10000);

  f.RewriteStakes([](int index, const TStakeRec&) { return index >= 9998; });
  EXPECT_EQ(Draws(f), (std::vector<int>{9999, 10000}));
  EXPECT_EQ(FileSizeOf(path), 2 * 312);
}

TEST(StakesFile, FailedAppendLeavesWholeRecords) {
  TempDir dir;
  const std::string path = dir.File("s.lsk");
  TStakesFile f(path);
  f.OpenStakes();
  f.AddStake(Stake(1, {1, 2, 3, 4, 5, 6, 7}), 1);
  // A damaged tail (a partial record, as a crash halfway through an append leaves it) is cut off when the
  // file is opened, the file as it was kept beside it.
  {
    FILE* raw = std::fopen(path.c_str(), "ab");
    std::fputs("junk", raw);
    std::fclose(raw);
  }
  f.CloseStakes();
  f.OpenStakes();
  EXPECT_EQ(f.FileSize(), 312);
  EXPECT_EQ(FileSizeOf(path + ".bak"), 316);
  f.AddStake(Stake(2, {1, 2, 3, 4, 5, 6, 7}), 1);
  EXPECT_EQ(FileSizeOf(path), 624);
  EXPECT_EQ(Draws(f), (std::vector<int>{1, 2}));
}

TEST(StakesFile, LastDrawsStartForTheRatingCharts) {
  TempDir dir;
  TStakesFile f(dir.File("s.lsk"));
  f.OpenStakes();
  std::string bytes;
  // Draws 1,1,2,(unchecked 3),3,4 checked.
  for (int d : {1, 1, 2, -3, 3, 4}) {
    TStakeRec r = Stake(d < 0 ? -d : d, {1, 2, 3, 4, 5, 6, 7});
    if (d > 0) {
      r.Checked = 1;
      r.Matches.Count = 1;
    }
    bytes.append(reinterpret_cast<const char*>(&r), 312);
  }
  f.CloseStakes();
  test::WriteBytes(dir.File("s.lsk"), bytes);
  f.OpenStakes();
  TLastDrawsStart s = f.FindLastDrawsStart(2);
  EXPECT_EQ(s.Index, 3);  // after the last record of draw 2
  EXPECT_EQ(s.Draws, 2);
  s = f.FindLastDrawsStart(100);
  EXPECT_EQ(s.Index, 0);
  EXPECT_EQ(s.Draws, 4);
}

TEST(StakesFile, RealArchiveStakeForTheNewestDrawIsCheckedAtOnce) {
  std::string csv = test::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive is not available";
  TDrawArchive archive;
  archive.ImportCsv(csv);
  ASSERT_EQ(archive.NextDrawNumber(0), 1578);
  TempDir dir;
  TStakesFile f(dir.File("Quintar_7x35.lsk"));
  f.OpenStakes();
  TStakePrices prices = Prices(2.5, {{2, 1.0}, {3, 10.0}, {4, 100.0}});
  TStakeRec r = Stake(1577, {9, 13, 15, 1, 2, 3, 4});
  r.Profit = prices.StakeResult(7, -1);
  f.AddStake(r, 2);  // 1577 and 1578
  TStakeCheckHooks hooks;
  hooks.Result = prices.Fn();
  EXPECT_TRUE(f.CheckStakes(archive, hooks));
  TStakeRec a = f.ReadStake(0), b = f.ReadStake(2);
  EXPECT_EQ(a.Checked, 1);
  const TDraw& d = archive[archive.IndexOfDraw(1577)];
  EXPECT_EQ(std::memcmp(a.DrawNums, d.Nums, 7), 0);
  EXPECT_EQ(a.Matches.Count, 3);
  EXPECT_EQ(a.Profit, 75000);  // 10.00 - 2.50
  EXPECT_EQ(b.Draw, 1578);
  EXPECT_EQ(b.Checked, 0);
  EXPECT_EQ(b.Profit, -25000);
}

TEST(StakePrices, ProfitFromCostAndPrizes) {
  TStakePrices p = Prices(1.5, {{3, 10.0}, {3, 99.0}});
  EXPECT_EQ(p.StakeResult(7, 3), 85000);   // the first entry for 3 matches
  EXPECT_EQ(p.StakeResult(7, 2), -15000);
  EXPECT_EQ(p.StakeResult(7, -1), -15000);  // not checked: no prize
  EXPECT_EQ(p.StakeResult(8, 3), 100000 - 8 * 15000);
  EXPECT_EQ(p.StakeResult(0, -1), -15000);
}
