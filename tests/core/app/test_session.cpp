#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/session.h"
#include "testutil.h"
#include "util/inifile.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::MakeDraw;
using quintar::test::ScriptedHost;
using quintar::test::TempDir;

namespace {
void Fill(Session& s, std::initializer_list<int> numbers) {
  int k = 0;
  for (int n : numbers) s.Archive.AppendDraw(MakeDraw(n, {1 + k, 2 + k, 3 + k, 4 + k, 5 + k, 6 + k, 7 + k++}, 1));
  s.SaveArchive();
}
}  // namespace

TEST(Session, BusyCounterAndStatus) {
  TempDir dir;
  ScriptedHost host;
  Session s(dir.Path(), host);
  EXPECT_TRUE(s.IsIdle());
  s.BeginBusy();
  s.BeginBusy();
  EXPECT_FALSE(s.IsIdle());
  s.EndBusy();
  s.EndBusy();
  s.EndBusy();  // never below zero
  EXPECT_EQ(s.BusyCount(), 0);
  EXPECT_EQ(host.busyChanges, (std::vector<bool>{true, false}));
  {
    BusyScope b(s);
    EXPECT_FALSE(s.CanDrawsAdd());
  }
  EXPECT_TRUE(s.CanDrawsAdd());
  s.ShowStatus("Работа...");
  EXPECT_EQ(s.PanelText(6), "Работа...");
  s.ShowFailure("Ошибка чтения файла тиражей!", EQuintar("disk on fire"));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].kind, MsgKind::Error);
  EXPECT_EQ(host.messages[0].text, "Ошибка чтения файла тиражей!\r\rdisk on fire");
  EXPECT_STREQ(MsgCaption(MsgKind::Attention), "Внимание!");
}

TEST(Session, EmptyArchivePanelsAndFilePaths) {
  TempDir dir;
  ScriptedHost host;
  Session s(dir.Path(), host);
  s.LoadArchive();
  s.RefreshDrawsList(true);
  EXPECT_EQ(host.panels[0], "Архив тиражей: 0");
  EXPECT_EQ(host.panels[1], "Следующий тираж: 1");
  EXPECT_EQ(s.NewDraw().Number, 1);
  EXPECT_EQ(s.FilePath(".ldr"), dir.Path() + "Quintar_7x35.ldr");
  EXPECT_FALSE(s.CanDrawsExport());
}

TEST(Session, OffsetMovesTheWindowAndThePanels) {
  TempDir dir;
  ScriptedHost host;
  Session s(dir.Path(), host);
  Fill(s, {1, 2, 3, 4});
  s.SetDrawsOffset(2);
  EXPECT_EQ(s.LastIndex(), 1);
  EXPECT_EQ(host.panels[1], "Следующий тираж: 3");
  EXPECT_EQ(host.panels[2], "3;4;5;6;7;8;9");
  EXPECT_TRUE(s.NextDrawNums.test(3));
  EXPECT_FALSE(s.NextDrawNums.test(2));
  s.SetDrawsOffset(10);  // clamped to count - 1
  EXPECT_EQ(s.DrawsOffset(), 3);
  EXPECT_EQ(host.panels[2], "2;3;4;5;6;7;8");
  s.SetDrawsOffset(0);
  EXPECT_EQ(host.panels[2], "");
  EXPECT_FALSE(s.NextDrawNums.any());
}

TEST(Session, DeletingSelectedRowsOfAnArchiveOutOfOrder) {
  TempDir dir;
  ScriptedHost host;
  Session s(dir.Path(), host);
  Fill(s, {5, 9, 2, 7, 1});
  // Rows are newest first: row 0 = 1, row 1 = 7, row 2 = 2, row 3 = 9, row 4 = 5.
  host.answers = {false};
  EXPECT_FALSE(s.DrawsDel({1, 3}));
  EXPECT_EQ(s.Archive.Count(), 5);
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0].kind, AskKind::Delete);
  EXPECT_EQ(host.questions[0].text, "Удалить все выделенные записи (всего будет удалено 2 записи(ей))?");
  EXPECT_TRUE(s.DrawsDel({3, 1}));
  ASSERT_EQ(s.Archive.Count(), 3);
  EXPECT_EQ(s.Archive[0].Number, 5);
  EXPECT_EQ(s.Archive[1].Number, 2);
  EXPECT_EQ(s.Archive[2].Number, 1);
  // Saved at once.
  TDrawArchive disk;
  disk.LoadFromFile(s.FilePath(".ldr"));
  EXPECT_EQ(disk.Count(), 3);
  EXPECT_TRUE(s.DrawsDel({0}));
  EXPECT_EQ(host.questions.back().text, "Удалить выделенную запись?");
  EXPECT_EQ(s.Archive.Count(), 2);
}

TEST(Session, EditReplacesTheDrawOfTheRow) {
  TempDir dir;
  ScriptedHost host;
  Session s(dir.Path(), host);
  Fill(s, {1, 2, 3});
  s.DrawsEdit(0, MakeDraw(33, {7, 6, 5, 4, 3, 2, 1}, 9));
  EXPECT_EQ(s.Archive[2].Number, 33);
  EXPECT_EQ(s.DrawListCells(0)[1], "7");
  s.SortedView = true;
  EXPECT_EQ(s.DrawListCells(0)[1], "1");
  EXPECT_EQ(s.DrawListCells(0)[9], "28");
}

TEST(Session, ViewSwitchesAreWrittenAtOnce) {
  TempDir dir;
  ScriptedHost host;
  Session s(dir.Path(), host);
  s.ReadFormKeys();
  EXPECT_FALSE(s.SortedView);
  EXPECT_TRUE(s.ColorDraws);
  s.DrawsSorted();
  s.ViewColorDraws();
  IniFile frm(dir.File("Quintar_7x35.frm"));
  EXPECT_EQ(frm.ReadString("TFormMain", "SortedDraws", ""), "1");
  EXPECT_EQ(frm.ReadString("TFormMain", "ColorDraws", ""), "0");
  Session again(dir.Path(), host);
  again.ReadFormKeys();
  EXPECT_TRUE(again.SortedView);
  EXPECT_FALSE(again.ColorDraws);
}

TEST(Session, UnreadableArchiveShowsTheReadError) {
  TempDir dir;
  ScriptedHost host;
  Session s(dir.Path(), host);
  test::WriteBytes(s.FilePath(".ldr"), std::string(48, '\0'));
  ASSERT_EQ(::chmod(s.FilePath(".ldr").c_str(), 0), 0);
  if (::access(s.FilePath(".ldr").c_str(), R_OK) == 0) GTEST_SKIP() << "running with permission to read anything";
  s.LoadArchive();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text.rfind("Ошибка чтения файла тиражей!\r\r", 0), 0u);
  EXPECT_EQ(s.Archive.Count(), 2);  // sized from the file, records not read stay zero
  EXPECT_EQ(s.BusyCount(), 0);
}

TEST(Session, FailedSaveKeepsTheOldFile) {
  TempDir dir;
  ScriptedHost host;
  Session s(dir.Path(), host);
  Fill(s, {1, 2});
  std::string before = ReadWholeFile(s.FilePath(".ldr"));
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);
  s.Archive.AppendDraw(MakeDraw(3, {1, 2, 3, 4, 5, 6, 7}, 1));
  s.SaveArchive();
  ::chmod(dir.Path().c_str(), 0755);
  if (host.messages.empty()) GTEST_SKIP() << "running with permission to write anywhere";
  EXPECT_EQ(host.messages[0].text.rfind("Ошибка записи в файл тиражей!\r\r", 0), 0u);
  EXPECT_EQ(ReadWholeFile(s.FilePath(".ldr")), before);
}
