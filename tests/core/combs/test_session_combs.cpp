// The combination list commands of the session: undo rules, filter log lines, files, clipboard, buffer.
#include <gtest/gtest.h>

#include "app/session.h"
#include "combs/combsgen.h"
#include "testutil.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::MakeDraw;
using quintar::test::ScriptedHost;
using quintar::test::TempDir;

namespace {

TComb Comb(std::initializer_list<int> nums) {
  TComb c{};
  int i = 0;
  for (int n : nums) c.n[i++] = static_cast<uint8_t>(n);
  return c;
}

// The 8 combinations of the numbers 1..8, in ascending order.
const TCombsGenParams kEight = MakeGenParams(kGenModeOnly, "1;2;3;4;5;6;7;8");

bool Saw(const ScriptedHost& h, const std::string& status) {
  return std::find(h.statuses.begin(), h.statuses.end(), status) != h.statuses.end();
}

std::vector<TComb> Items(const TCombsList& l) { return std::vector<TComb>(l.begin(), l.end()); }

struct Fixture {
  TempDir dir;
  ScriptedHost host;
  Session s{dir.Path(), host};
};

}  // namespace

TEST(SessionCombs, GenerationEmptiesUndoLogAndBuffer) {
  Fixture f;
  Session& s = f.s;
  s.ReserveCombsLists();
  EXPECT_GE(s.PreviousCombs.Capacity(), size_t{COMBS_TOTAL});
  s.CombsGen(kEight);
  EXPECT_EQ(s.CurrentCombs.Count(), 8);
  EXPECT_EQ(f.host.panels[3], "Комбинаций: 8");
  EXPECT_FALSE(s.CanCombsUndo());
  EXPECT_TRUE(Saw(f.host, "Создание файла отката..."));
  EXPECT_TRUE(Saw(f.host, "Генерация возможных комбинаций..."));
  EXPECT_EQ(f.host.statuses.back(), "");
  EXPECT_TRUE(s.IsIdle());
  EXPECT_EQ(f.host.busyChanges.back(), false);

  s.CombsDelSelected({{1, 2}, {5, 5}});
  EXPECT_EQ(s.CurrentCombs.Count(), 5);
  ASSERT_TRUE(s.StoreCombsBuffer(0, 3));
  EXPECT_EQ(s.CombsBuffer.Count(), 5);

  s.CombsGen(kEight);
  EXPECT_EQ(s.CurrentCombs.Count(), 8);
  EXPECT_TRUE(s.FilterLog.Empty());
  EXPECT_FALSE(s.CanCombsUndo());
  EXPECT_EQ(s.CombsBuffer.Count(), 0);  // emptied, the key stays
  EXPECT_EQ(s.CombsBuffer.Key, (TCombsBufferKey{0, 3}));
  EXPECT_FALSE(s.LoadCombsBuffer(0, 3));
  EXPECT_TRUE(f.host.messages.empty());
}

TEST(SessionCombs, DeleteSelectedAndOneLevelOfUndo) {
  Fixture f;
  Session& s = f.s;
  s.CombsGen(kEight);
  const auto eight = Items(s.CurrentCombs);
  EXPECT_FALSE(s.CanCombsDelSelected(0));
  s.CombsDelSelected({});
  EXPECT_EQ(s.CurrentCombs.Count(), 8);

  s.CombsDelSelected({{7, 7}, {0, 1}, {20, 30}});
  ASSERT_EQ(s.CurrentCombs.Count(), 5);
  EXPECT_EQ(s.CurrentCombs[0], eight[2]);
  EXPECT_EQ(s.CurrentCombs[4], eight[6]);
  ASSERT_EQ(s.FilterLog.Count(), 1);
  EXPECT_EQ(s.FilterLog[0].Caption, "Выделенные комбинации");
  EXPECT_EQ(s.FilterLog[0].Values, "3");
  EXPECT_EQ(s.FilterLog[0].Count, 5);
  EXPECT_EQ(s.FilterLog[0].Mark, TFilterMark::Delete);
  EXPECT_EQ(s.FilterLog.Cells(0), (std::vector<std::string>{"Выделенные комбинации", "3", "5"}));

  s.CombsDelSelected({{0, 0}});
  EXPECT_EQ(s.CurrentCombs.Count(), 4);
  ASSERT_TRUE(s.CanCombsUndo());
  s.CombsUndo();
  EXPECT_TRUE(Saw(f.host, "Отмена изменений..."));
  EXPECT_EQ(s.CurrentCombs.Count(), 5);  // the state before the last change only
  EXPECT_EQ(s.FilterLog.Count(), 1);
  EXPECT_EQ(f.host.panels[3], "Комбинаций: 5");
  EXPECT_FALSE(s.CanCombsUndo());
  s.CombsUndo();  // disabled: nothing happens
  EXPECT_EQ(s.CurrentCombs.Count(), 5);
  EXPECT_EQ(s.FilterLog.Count(), 1);

  // A busy session enables no list command.
  BusyScope busy(s);
  EXPECT_FALSE(s.CanCombsGen());
  EXPECT_FALSE(s.CanCombsSave());
  EXPECT_FALSE(s.CanCombsDelSelected(1));
  EXPECT_FALSE(s.CanCombsPaste(true));
}

TEST(SessionCombs, ExcludeTheLastDrawsAtTheDrawsOffset) {
  Fixture f;
  Session& s = f.s;
  s.CombsGen(kEight);
  EXPECT_FALSE(s.CanCombsDelExists(1));  // no draws
  s.Archive.AppendDraw(MakeDraw(10, {1, 2, 3, 4, 5, 6, 7}, 1));
  s.Archive.AppendDraw(MakeDraw(11, {8, 7, 6, 5, 4, 3, 2}, 2));
  EXPECT_FALSE(s.CanCombsDelExists(0));
  ASSERT_TRUE(s.CanCombsDelExists(1));

  s.CombsDelExists(1);
  ASSERT_EQ(s.CurrentCombs.Count(), 7);
  EXPECT_EQ(s.CurrentCombs[6], Comb({1, 3, 4, 5, 6, 7, 8}));  // 2..8 is gone
  EXPECT_TRUE(Saw(f.host, "Удаление из списка комбинаций 1 последних тиражей..."));
  EXPECT_TRUE(Saw(f.host, "Удаление из списка комбинаций 1 последних тиражей ( завершено 0 % )..."));
  ASSERT_EQ(s.FilterLog.Count(), 1);
  EXPECT_EQ(s.FilterLog.Cells(0), (std::vector<std::string>{"Последние тиражи", "1", "7"}));
  EXPECT_EQ(s.FilterLog[0].Mark, TFilterMark::Delete);
  s.CombsUndo();
  EXPECT_EQ(s.CurrentCombs.Count(), 8);
  EXPECT_TRUE(s.FilterLog.Empty());

  s.SetDrawsOffset(1);
  s.CombsDelExists(1);
  ASSERT_EQ(s.CurrentCombs.Count(), 7);
  EXPECT_EQ(s.CurrentCombs[0], Comb({1, 2, 3, 4, 5, 6, 8}));

  // Enter in the field: a count within its bounds runs the command.
  s.SetDrawsOffset(0);
  EXPECT_FALSE(s.CombsExcludeEnter("x"));
  EXPECT_FALSE(s.CombsExcludeEnter("-1"));
  EXPECT_FALSE(s.CombsExcludeEnter("2147483648"));
  EXPECT_FALSE(s.CombsExcludeEnter("0"));
  EXPECT_TRUE(s.CombsExcludeEnter(" 2 "));
  EXPECT_EQ(s.CombsExclude, 2);
  EXPECT_EQ(s.CurrentCombs.Count(), 6);
  EXPECT_EQ(s.FilterLog.Count(), 2);
  EXPECT_TRUE(f.host.messages.empty());
}

TEST(SessionCombs, OpenAndSaveListFiles) {
  Fixture f;
  Session& s = f.s;
  const std::string good = f.dir.File("good.lcv");
  test::WriteBytes(good, "1;2;3;4;5;6;7\r\n\r\n1;2;3;4;5;6;7;8\r\n9;x;11;12;13;14;15\r\n9;10;11;12;13;14;15\r\n");
  s.CombsGen(kEight);
  s.CombsDelSelected({{0, 0}});
  ASSERT_TRUE(s.CombsOpen(good));
  EXPECT_TRUE(Saw(f.host, "Загрузка файла \"" + good + "\"..."));
  ASSERT_EQ(s.CurrentCombs.Count(), 2);
  EXPECT_EQ(s.CurrentCombs[1], Comb({9, 10, 11, 12, 13, 14, 15}));
  EXPECT_FALSE(s.CanCombsUndo());
  EXPECT_TRUE(s.FilterLog.Empty());

  // A file that cannot be read: the message, the list as it was, its log kept, nothing to undo.
  s.CombsDelSelected({{0, 0}});
  const std::string missing = f.dir.File("missing.lcv");
  EXPECT_FALSE(s.CombsOpen(missing));
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].kind, MsgKind::Error);
  EXPECT_EQ(f.host.messages[0].text.rfind("Ошибка чтения файла \"" + missing + "\"!\r\r", 0), 0u);
  ASSERT_EQ(s.CurrentCombs.Count(), 1);
  EXPECT_EQ(s.FilterLog.Count(), 1);
  EXPECT_FALSE(s.CanCombsUndo());
  EXPECT_EQ(f.host.panels[3], "Комбинаций: 1");

  const std::string out = f.dir.File("out.lcv");
  ASSERT_TRUE(s.CombsSave(out));
  EXPECT_TRUE(Saw(f.host, "Сохранение файла \"" + out + "\"..."));
  EXPECT_EQ(ReadWholeFile(out), "9;10;11;12;13;14;15\r\n");
  const std::string bad = f.dir.File("no/folder.lcv");
  EXPECT_FALSE(s.CombsSave(bad));
  ASSERT_EQ(f.host.messages.size(), 2u);
  EXPECT_EQ(f.host.messages[1].text.rfind("Ошибка записи в файл \"" + bad + "\"!\r\r", 0), 0u);

  // The generator's file mode reads the same way; a missing file shows only the reader's message.
  s.CombsGen(MakeGenParams(kGenModeFile, good));
  EXPECT_EQ(s.CurrentCombs.Count(), 2);
  s.CombsGen(MakeGenParams(kGenModeFile, missing));
  EXPECT_EQ(s.CurrentCombs.Count(), 0);
  ASSERT_EQ(f.host.messages.size(), 3u);
  EXPECT_EQ(f.host.messages[2].text.rfind("Ошибка чтения файла", 0), 0u);
  EXPECT_FALSE(s.CanCombsSave());
}

TEST(SessionCombs, CopyAndPaste) {
  Fixture f;
  Session& s = f.s;
  s.CombsGen(kEight);
  EXPECT_EQ(s.CombsCopy({{7, 7}, {0, 0}}), "01 02 03 04 05 06 07\n02 03 04 05 06 07 08\n");
  EXPECT_EQ(s.CombsSelectAll().front().Last, 7);

  s.CombsDelSelected({{0, 0}});
  const auto before = Items(s.CurrentCombs);
  // The third line is not a combination: the list stays as it was and nothing can be undone.
  EXPECT_FALSE(s.CombsPaste("1 2 3 4 5 6 7\r\n8-9-10-11-12-13-14\r\nx y\r\n"));
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].kind, MsgKind::Error);
  EXPECT_EQ(f.host.messages[0].text, "Некорректная комбинация: \"x y\"!");
  EXPECT_EQ(Items(s.CurrentCombs), before);
  EXPECT_EQ(s.FilterLog.Count(), 1);
  EXPECT_FALSE(s.CanCombsUndo());

  ASSERT_TRUE(s.CombsPaste("1 2 3 4 5 6 7\n08|09|10|11|12|13|14\n"));
  ASSERT_EQ(s.CurrentCombs.Count(), 2);
  EXPECT_EQ(s.CurrentCombs[1], Comb({8, 9, 10, 11, 12, 13, 14}));
  EXPECT_TRUE(s.FilterLog.Empty());
  EXPECT_FALSE(s.CanCombsUndo());
  EXPECT_EQ(f.host.panels[3], "Комбинаций: 2");
  EXPECT_FALSE(s.CombsPaste(""));
  EXPECT_EQ(s.CurrentCombs.Count(), 2);
  EXPECT_FALSE(s.CanCombsPaste(false));
}

TEST(SessionCombs, BufferKeys) {
  Fixture f;
  Session& s = f.s;
  EXPECT_EQ(s.CombsBuffer.Key, (TCombsBufferKey{-1, -1}));
  s.CombsGen(kEight);
  EXPECT_FALSE(s.LoadCombsBuffer(-1, -1));  // the initial key with an empty buffer
  ASSERT_TRUE(s.StoreCombsBuffer(0, 5));
  EXPECT_TRUE(Saw(f.host, "Создание буфера комбинаций..."));
  s.CombsDelSelected({{0, 3}});
  f.host.statuses.clear();
  ASSERT_TRUE(s.StoreCombsBuffer(0, 5));  // same key: the buffer keeps its copy
  EXPECT_TRUE(f.host.statuses.empty());
  EXPECT_EQ(s.CombsBuffer.Count(), 8);

  EXPECT_FALSE(s.LoadCombsBuffer(1, 5));
  EXPECT_FALSE(s.LoadCombsBuffer(0, 4));
  EXPECT_EQ(s.CurrentCombs.Count(), 4);
  ASSERT_TRUE(s.LoadCombsBuffer(0, 5));
  EXPECT_TRUE(Saw(f.host, "Загрузка буфера комбинаций..."));
  EXPECT_EQ(s.CurrentCombs.Count(), 8);
  EXPECT_EQ(f.host.panels[3], "Комбинаций: 8");

  s.CombsDelSelected({{0, 0}});
  ASSERT_TRUE(s.StoreCombsBuffer(1, 5));  // another key: a new copy
  EXPECT_EQ(s.CombsBuffer.Count(), 7);
  s.ResetCombsBuffer();
  EXPECT_EQ(s.CombsBuffer.Key, (TCombsBufferKey{-1, -1}));
  EXPECT_FALSE(s.LoadCombsBuffer(1, 5));
}

TEST(SessionCombs, DistinctNumbersAndSearchInTheArchive) {
  Fixture f;
  Session& s = f.s;
  s.CombsGen(kEight);
  EXPECT_EQ(s.CombsCheckNums(), 8);
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].kind, MsgKind::Information);
  EXPECT_EQ(f.host.messages[0].text, "В текущем списке комбинаций содержится 8 уникальных номеров");

  // 1..7 came out 30 times, in different orders; only 26 draws are listed, newest first.
  for (int i = 0; i < 30; ++i) {
    TDraw d = MakeDraw(100 + 2 * i, {7, 6, 5, 4, 3, 2, 1}, 1 + i % 20, "5 Jan 2017");
    std::rotate(d.Nums, d.Nums + i % 7, d.Nums + NUMS_IN_DRAW);
    s.Archive.AppendDraw(d);
    s.Archive.AppendDraw(MakeDraw(101 + 2 * i, {1, 2, 3, 4, 5, 6, 9}, 1));
  }
  EXPECT_FALSE(s.CanCombsFindInDraws(-1));
  EXPECT_FALSE(s.CanCombsFindInDraws(8));
  ASSERT_TRUE(s.CanCombsFindInDraws(0));
  auto lines = s.CombsFindInDraws(0);
  ASSERT_EQ(lines.size(), 26u);
  EXPECT_EQ(lines[0].rfind("Тираж № 158 от 5 Jan 2017, значения: ", 0), 0u);
  EXPECT_EQ(lines[25].rfind("Тираж № 108 от", 0), 0u);
  EXPECT_TRUE(Saw(f.host, "Поиск по архиву тиражей..."));
  ASSERT_EQ(f.host.messages.size(), 2u);
  EXPECT_EQ(f.host.messages[1].text.rfind("Выделенная комбинация найдена в следующих тиражах:\r\r" + lines[0] + "\r", 0), 0u);

  EXPECT_TRUE(s.CombsFindInDraws(7).empty());  // 2..8
  EXPECT_EQ(f.host.messages.back().text, "Выделенная комбинация не найдена архиве тиражей!");
}

TEST(SessionCombs, ViewRowsAndStoredSwitches) {
  Fixture f;
  Session& s = f.s;
  s.CombsGen(kEight);
  EXPECT_EQ(Session::CombsListCaptions().front(), "№ п.п.");
  EXPECT_EQ(s.CombsListCells(7), (std::vector<std::string>{"8", "2", "3", "4", "5", "6", "7", "8", "35"}));

  EXPECT_TRUE(s.ColorCombs);
  s.ViewColorCombs();
  EXPECT_FALSE(s.ColorCombs);
  EXPECT_FALSE(s.Frm.ReadFormBool(kMainForm, "ColorCombs", true));
  s.Frm.WriteFormInt(kMainForm, "DrawsExclude", 12);
  Session other(f.dir.Path(), f.host);
  other.ReadFormKeys();
  EXPECT_FALSE(other.ColorCombs);
  EXPECT_EQ(other.CombsExclude, 12);
}
