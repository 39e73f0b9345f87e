// Tables: the shift of a table around the ring, the 280-byte record and its file, the table dialog's
// checks, and the commands of the session over a real stakes file (one stake, a test over past draws,
// the refusals that must leave the tables and the stakes in agreement).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "app/session.h"
#include "combs/tables.h"
#include "testutil.h"
#include "util/cp1251.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::MakeDraw;
using quintar::test::ScriptedHost;
using quintar::test::TempDir;

namespace {

TComb C(std::initializer_list<int> nums) {
  TComb c{};
  int i = 0;
  for (int n : nums) c[i++] = static_cast<uint8_t>(n);
  return c;
}

TTableRec Table(const char* name, TComb start, int step, bool fromLast = false) {
  TTableRec t{};
  t.SetName(name);
  t.FromLastDraw = fromLast ? 1 : 0;
  t.Start = fromLast ? TComb{} : start;
  t.Current = t.Start;
  t.Step = step;
  return t;
}

// Two draws, drawn order unsorted: 20 is the newest.
TDrawArchive TwoDraws() {
  TDrawArchive a;
  a.AppendDraw(MakeDraw(19, {30, 2, 17, 8, 25, 11, 34}, 1));
  a.AppendDraw(MakeDraw(20, {7, 1, 6, 2, 5, 3, 4}, 2));
  return a;
}

}  // namespace

TEST(Tables, AdvanceShiftsTheBaseAroundTheRing) {
  const TDrawArchive archive = TwoDraws();
  const struct {
    TComb start;
    int step;
    bool fromLast;
    int offset, times;
    TComb expected;
  } cases[] = {
      {C({1, 2, 3, 4, 5, 6, 7}), 5, false, 0, 1, C({6, 7, 8, 9, 10, 11, 12})},
      {C({1, 2, 3, 4, 5, 6, 7}), 5, false, 0, 5, C({26, 27, 28, 29, 30, 31, 32})},
      {C({1, 2, 3, 4, 5, 6, 7}), 5, false, 0, 6, C({1, 2, 31, 32, 33, 34, 35})},  // 31..37 wrapped and sorted
      {C({1, 2, 3, 4, 5, 6, 7}), -1, false, 0, 1, C({1, 2, 3, 4, 5, 6, 35})},     // 0 becomes 35
      {C({1, 2, 3, 4, 5, 6, 35}), 35, false, 0, 1, C({1, 2, 3, 4, 5, 6, 35})},
      {C({1, 2, 3, 4, 5, 6, 35}), -35, false, 0, 2, C({1, 2, 3, 4, 5, 6, 35})},
      {C({29, 30, 31, 32, 33, 34, 35}), 7, false, 0, 1, C({1, 2, 3, 4, 5, 6, 7})},
      // The previous draw's numbers: step 0 repeats them sorted, whatever the offset's draw is.
      {{}, 0, true, 0, 1, C({1, 2, 3, 4, 5, 6, 7})},
      {{}, 0, true, 1, 3, C({2, 8, 11, 17, 25, 30, 34})},
      {{}, 3, true, 1, 1, C({2, 5, 11, 14, 20, 28, 33})},  // 34 + 3 wraps to 2
      // A reference draw outside the archive is seven zeros: shifted, no combination at all.
      {{}, 0, true, 2, 1, C({0, 0, 0, 0, 0, 0, 0})},
      {{}, 4, true, -1, 1, C({4, 4, 4, 4, 4, 4, 4})},
  };
  for (const auto& c : cases) {
    TTableRec t = Table("t", c.start, c.step, c.fromLast);
    for (int i = 0; i < c.times; ++i) AdvanceTable(t, archive, c.offset);
    EXPECT_EQ(CombToText(t.Current), CombToText(c.expected)) << "step " << c.step << " times " << c.times;
    EXPECT_EQ(t.Stakes, c.times);
    EXPECT_EQ(CombToText(t.Start), CombToText(c.fromLast ? TComb{} : c.start));  // the start never moves
  }
}

TEST(Tables, RecordLayoutFileAndView) {
  TempDir dir;
  TTableRec a = Table("Пять", C({1, 2, 3, 4, 5, 6, 7}), -1);
  AdvanceTable(a, TDrawArchive(), 0);
  TTableRec b = Table("", {}, 35, true);
  b.SetName(std::string(300, 'x'));  // the record holds 255 bytes of the name
  const std::string path = dir.File("t.ltb");
  WriteTablesFile(path, {a, b});
  const std::string bytes = ReadWholeFile(path);
  ASSERT_EQ(bytes.size(), 560u);
  EXPECT_EQ(bytes.substr(0, 5), std::string("\x04") + Utf8ToCp1251("Пять"));
  EXPECT_EQ(bytes.substr(5, 251), std::string(251, '\0'));
  EXPECT_EQ(bytes.substr(256, 1 + 7 + 7 + 1), std::string("\0\1\2\3\4\5\6\7\1\2\3\4\5\6\x23\0", 16));
  EXPECT_EQ(bytes.substr(272, 8), std::string("\xFF\xFF\xFF\xFF\1\0\0\0", 8));
  EXPECT_EQ(static_cast<uint8_t>(bytes[280]), 255);
  EXPECT_EQ(bytes.substr(280 + 256, 16), std::string("\1", 1) + std::string(15, '\0'));
  EXPECT_EQ(bytes.substr(280 + 272, 4), std::string("\x23\0\0\0", 4));

  std::vector<TTableRec> rows;
  ReadTablesFile(path, rows);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(TableCells(rows[0]), (std::vector<std::string>{"Пять", "1;2;3;4;5;6;7", "-1", "1;2;3;4;5;6;35", "1"}));
  EXPECT_EQ(TableCells(rows[1])[1], "0;0;0;0;0;0;0");
  EXPECT_EQ(rows[1].Name(), std::string(255, 'x'));
  EXPECT_EQ(TableCaptions().size(), static_cast<size_t>(kTableCols));

  // A cut record: the whole records before it, then the error.
  test::WriteBytes(path, bytes.substr(0, 280 + 100));
  EXPECT_THROW(ReadTablesFile(path, rows), EQuintar);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Name(), "Пять");
}

TEST(Tables, DialogChecksInTheirOrder) {
  const std::string longName = std::string(255, 'y'), longerName = longName + "z";
  std::vector<TTableRec> rows = {Table("Занято", C({1, 2, 3, 4, 5, 6, 7}), 1),
                                 Table(longName.c_str(), C({1, 2, 3, 4, 5, 6, 7}), 1)};
  const struct {
    const char* name;
    bool fromLast;
    const char* start;
    int step, selected;
    const char* error;
    const char* startAfter;  // the result's start when accepted
  } cases[] = {
      {"Новый", false, "7,6,5,4,3,2,1", 2, 1, "", "1;2;3;4;5;6;7"},
      {"Новый", false, " 35 ; 1;2;3;4;5;6", 2, 1, "", "1;2;3;4;5;6;35"},
      {"Новый", false, "1;2;3", 2, 1, kBadStakeText, nullptr},
      {"Новый", false, "1;2;3;4;5;6;6", 2, 1, kBadStakeText, nullptr},
      {"Новый", false, "1;2;3;4;5;6;36", 2, 1, kBadStakeText, nullptr},
      {"", false, "1;2;3", 2, 1, kBadStakeText, nullptr},  // the combination is checked first
      {"", false, "1;2;3;4;5;6;7", 2, 1, kNoComment, nullptr},
      {"  ", false, "", 2, 0, kNoComment, nullptr},
      {"Занято", false, "1;2;3;4;5;6;7", 2, 1, kTableNameUsed, nullptr},
      {"занято", false, "1;2;3;4;5;6;7", 2, 1, "", "1;2;3;4;5;6;7"},  // exact comparison
      {longerName.c_str(), false, "", 2, 3, kTableNameUsed, nullptr},  // after the cut
      // Several or no combinations: the start field is not read.
      {"Новый", false, "мусор", 2, 3, "", "9;9;9;9;9;9;9"},
      // The previous draw: no start text is read and the start is zeros, also with one combination.
      {"Новый", true, "мусор", 0, 1, "", "0;0;0;0;0;0;0"},
      {"Новый", false, "1;2;3;4;5;6;7", 36, 1, kTableBadStep, nullptr},
  };
  for (const auto& c : cases) {
    TTableDialogInput in;
    in.Name = c.name;
    in.FromLastDraw = c.fromLast;
    in.StartText = c.start;
    in.Step = c.step;
    TTableRec base = Table("base", C({9, 9, 9, 9, 9, 9, 9}), 1);
    base.Stakes = c.selected;
    TTableRec out{};
    EXPECT_EQ(TableDialogAccept(in, base, c.selected, rows, out), c.error) << c.name << " / " << c.start;
    if (!c.startAfter) continue;
    EXPECT_EQ(CombToText(out.Start), c.startAfter) << c.start;
    EXPECT_EQ(out.Step, c.step);
    EXPECT_EQ(out.FromLastDraw, c.fromLast ? 1 : 0);
    EXPECT_EQ(out.Name(), c.name);
  }
  // Renaming keeps the table's own name.
  EXPECT_EQ(TableNameError("Занято", rows, 0), "");
  EXPECT_EQ(TableNameError("Занято", rows, 1), kTableNameUsed);
}

namespace {

struct SessionFixture {
  TempDir dir;
  ScriptedHost host;
  Session s{dir.Path(), host};

  SessionFixture() {
    s.Stats.Config.Cost = 10000;
    s.Stats.Config.Profits = {{7, 10000000}};
    for (int k = 0; k < 6; ++k)
      s.Archive.AppendDraw(MakeDraw(100 + k, {1 + k, 2 + k, 3 + k, 4 + k, 5 + k, 6 + k, 7 + k}, 1));
    for (int k = 0; k < 4; ++k) s.CurrentCombs.Append(C({1 + k, 10, 11, 12, 13, 14, 20 + k}));
    EXPECT_TRUE(s.LoadStakes());
  }
  std::string Add(const char* name, bool fromLast, int step, TRowSelection sel, const char* start = "") {
    TTableDialogInput in;
    in.Name = name;
    in.FromLastDraw = fromLast;
    in.Step = step;
    in.StartText = start;
    return s.Tables.Add(in, sel);
  }
  std::string Stake(int row, int draws = 1, const char* comment = nullptr) {
    TTableStakeDraft draft;
    std::string error = s.Tables.PrepareStake(row, s.DrawsOffset(), draft);
    if (!error.empty()) return error;
    TStakeDialogInput in;
    in.Draw = draft.Stake.Draw;
    in.Numbers = StakeNumbersText(draft.Stake);
    in.Comment = comment ? comment : draft.Stake.Comment();
    in.Draws = draws;
    return s.Tables.StakeAdd(row, draft, in);
  }
  std::string FileBytes() const { return ReadWholeFile(s.Tables.Path()); }
  bool Saw(const std::string& prefix) const {
    return std::any_of(host.messages.begin(), host.messages.end(),
                       [&](const ScriptedHost::Message& m) { return m.text.rfind(prefix, 0) == 0; });
  }
};

}  // namespace

TEST(SessionTables, StakesOfOneTableAndOfATestAreCheckedTableStakes) {
  SessionFixture f;
  Session& s = f.s;
  EXPECT_EQ(f.Add("Ряд", false, 1, {{1, 2}}), "");  // two combinations: "Ряд (2)", "Ряд (3)"
  EXPECT_EQ(f.Add("Один", false, 5, {{0, 0}}, "7;6;5;4;3;2;1"), "");
  EXPECT_EQ(f.Add("Прошлый", true, 0, {}), "");
  EXPECT_EQ(f.Add("Пусто", false, 1, {}), "");  // the fixed start without a combination adds nothing
  ASSERT_EQ(s.Tables.Count(), 4);
  EXPECT_EQ(s.Tables.Cells(0)[0], "Ряд (2)");
  EXPECT_EQ(s.Tables.Cells(1)[3], "3;10;11;12;13;14;22");
  EXPECT_EQ(f.FileBytes().size(), 4u * 280);

  // One stake for 3 draws: the table advances once, the series has its separators.
  s.SetDrawsOffset(1);  // reference draw 104: the stake is for 105, which is in the archive
  EXPECT_EQ(f.Stake(2, 3), "");
  EXPECT_EQ(s.Tables.Cells(2)[3], "6;7;8;9;10;11;12");
  EXPECT_EQ(s.Tables.Cells(2)[4], "1");
  ASSERT_EQ(s.Stakes.Count(), 5);
  const TStakeRec first = s.Stakes.ReadStake(0);
  EXPECT_EQ(first.Kind, skTable);
  EXPECT_EQ(first.Draw, 105);
  EXPECT_EQ(first.Sample, 4);
  EXPECT_EQ(first.Comment(), "Один");
  EXPECT_EQ(NumSetToText(first.Numbers, ";"), "6;7;8;9;10;11;12");
  EXPECT_TRUE(first.Checked);
  EXPECT_EQ(first.Matches.Count, 7);
  EXPECT_EQ(first.Profit, 10000000 - 10000);
  EXPECT_TRUE(s.Stakes.ReadStake(1).IsSeparator());
  EXPECT_EQ(s.Stakes.ReadStake(4).Draw, 107);
  EXPECT_FALSE(s.Stakes.ReadStake(4).Checked);  // draw 107 is still to come
  EXPECT_EQ(s.Ratings.Count(), 1);

  // The dialog's refusals change nothing.
  const std::string before = f.FileBytes();
  EXPECT_EQ(f.Stake(2, 1, " "), kNoComment);
  EXPECT_EQ(f.FileBytes(), before);
  EXPECT_EQ(s.Stakes.Count(), 5);

  // A test over the last 2 draws of "Ряд (3)" and "Прошлый", in list order whatever the selection's.
  s.Tables.StakeTest({3, 1}, 2);
  EXPECT_EQ(s.DrawsOffset(), 1);
  EXPECT_FALSE(s.ViewsSuspended);
  ASSERT_EQ(s.Stakes.Count(), 9);
  const struct {
    int draw;
    const char* numbers;
    const char* comment;
    int matches;
  } expected[] = {{104, "4;11;12;13;14;15;23", "Ряд (3)", 1},  // offset 2: draw 103 is the previous draw
                  {104, "4;5;6;7;8;9;10", "Прошлый", 6},
                  {105, "5;12;13;14;15;16;24", "Ряд (3)", 1},
                  {105, "5;6;7;8;9;10;11", "Прошлый", 6}};
  for (int i = 0; i < 4; ++i) {
    const TStakeRec r = s.Stakes.ReadStake(5 + i);
    EXPECT_EQ(r.Draw, expected[i].draw);
    EXPECT_EQ(NumSetToText(r.Numbers, ";"), expected[i].numbers);
    EXPECT_EQ(r.Comment(), expected[i].comment);
    EXPECT_EQ(r.Matches.Count, expected[i].matches);
    EXPECT_EQ(r.Kind, skTable);
  }
  EXPECT_EQ(s.Tables.Cells(3)[3], "5;6;7;8;9;10;11");
  EXPECT_EQ(s.Tables.Cells(3)[4], "2");
  std::vector<TTableRec> saved;
  ReadTablesFile(s.Tables.Path(), saved);
  EXPECT_EQ(TableCells(saved[1]), s.Tables.Cells(1));
  EXPECT_TRUE(std::find(f.host.statuses.begin(), f.host.statuses.end(), kTablesTestStatus) != f.host.statuses.end());
  EXPECT_FALSE(f.Saw(""));  // no message at all so far
}

TEST(SessionTables, RefusalsKeepTablesAndStakesInAgreement) {
  SessionFixture f;
  Session& s = f.s;
  ASSERT_EQ(f.Add("Прошлый", true, 3, {}), "");
  ASSERT_EQ(f.Add("Один", false, 1, {{0, 0}}, "1;2;3;4;5;6;7"), "");
  const std::string tables = f.FileBytes();

  // Without a draw to shift (an empty archive) the table makes no stake.
  TDrawArchive keep = s.Archive;
  s.Archive.Clear();
  EXPECT_EQ(f.Stake(0), kBadStakeText);
  s.Archive = keep;
  // A tables file that cannot be written: no stake, the table as it was.
  const std::string path = s.Tables.Path();
  std::filesystem::rename(path, path + ".keep");
  std::filesystem::create_directory(path);
  EXPECT_EQ(f.Stake(1), "");
  EXPECT_TRUE(f.Saw(kTablesWriteError));
  EXPECT_EQ(s.Tables.Cells(1)[4], "0");
  EXPECT_EQ(s.Stakes.Count(), 0);
  std::filesystem::remove(path);
  std::filesystem::rename(path + ".keep", path);
  // A closed stakes file: the stake and the test fail, the tables stay where they were.
  s.CloseStakesFile();
  f.host.messages.clear();
  EXPECT_EQ(f.Stake(1), "");
  s.Tables.StakeTest({0, 1}, 3);
  EXPECT_TRUE(f.Saw(kStakesNotOpen));
  EXPECT_EQ(f.FileBytes(), tables);
  EXPECT_EQ(s.Tables.Cells(1)[4], "0");
  ASSERT_TRUE(s.LoadStakes());

  // Deleting a row outside the list deletes nothing; with the question declined neither.
  f.host.messages.clear();
  EXPECT_FALSE(s.Tables.Delete({0, 5}, false));
  EXPECT_EQ(f.host.messages.at(0).text, "Запись со индексом 5 в файле данных не найдена!");
  f.host.answers = {false};
  EXPECT_FALSE(s.Tables.Delete({0}, true));
  EXPECT_EQ(f.host.questions.back().text, "Удалить выделенную запись?");
  EXPECT_EQ(f.FileBytes(), tables);
  // Editing keeps the combinations, choice and stakes; the name must stay unique.
  EXPECT_EQ(s.Tables.Edit(1, "Прошлый", 2), kTableNameUsed);
  EXPECT_EQ(s.Tables.Edit(1, "Один", -7), "");
  EXPECT_EQ(s.Tables.Cells(1), (std::vector<std::string>{"Один", "1;2;3;4;5;6;7", "-7", "1;2;3;4;5;6;7", "0"}));

  // A file cut in its second record: the first stays, and the next save keeps the file beside it.
  const std::string cut = f.FileBytes().substr(0, 280 + 17);
  test::WriteBytes(path, cut);
  f.host.messages.clear();
  EXPECT_FALSE(s.Tables.Load());
  EXPECT_TRUE(f.Saw(std::string(kTablesReadError) + "\r\r"));
  EXPECT_EQ(s.Tables.Count(), 1);
  EXPECT_TRUE(s.Tables.Delete({0}, false));
  EXPECT_EQ(ReadWholeFile(path + ".bak"), cut);
  EXPECT_EQ(FileSizeOf(path), 0);
  // The page hidden: the tables leave memory, the file stays; shown again they are read back.
  ASSERT_EQ(f.Add("Снова", true, 1, {}), "");
  s.Tables.TabTables();
  EXPECT_FALSE(s.Tables.TabShown());
  EXPECT_EQ(s.Tables.Count(), 0);
  EXPECT_FALSE(s.CanTablesAdd());
  EXPECT_EQ(FileSizeOf(path), 280);
  EXPECT_EQ(s.Frm.ReadFormBool(kMainForm, "TabTables", true), false);
  s.Tables.TabTables();
  EXPECT_EQ(s.Tables.Count(), 1);
}
