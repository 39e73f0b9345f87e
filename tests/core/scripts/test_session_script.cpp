// The script list of the session: its working file after every change, the exchange files, the commands
// with their enabling rules, questions and messages, and the script status bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/session.h"
#include "scripts/scriptfile.h"
#include "testutil.h"
#include "util/cp1251.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::ScriptedHost;
using quintar::test::TempDir;
using quintar::test::WriteBytes;

namespace {

const std::string kLine1 = "EXCL:5#RAND|TSD1#SUMS:100#LMV:5#SF:1| | | | | | |первая";
const std::string kLine2 = "FULL:0#ALL| | | | | | | |";
const std::string kLine3 = "CURR:0#NONE#CLR|BMF2#NUMS:10#LNO:#SF:1| | | | | | |третья";

struct Fixture {
  Fixture() : s(dir.Path(), host) {}
  std::string WorkFile() const { return s.ScriptFilePath(); }
  std::vector<std::string> WorkLines() const { return ReadScriptFile(WorkFile()); }
  TempDir dir;
  ScriptedHost host;
  Session s;
};

}  // namespace

TEST(SessionScript, EveryChangeRewritesTheWorkingFile) {
  Fixture f;
  Session& s = f.s;
  s.LoadScript();  // no working file yet: an empty script
  EXPECT_TRUE(s.ScriptLines.empty());
  EXPECT_EQ(s.ScriptPanelText(spLines), "Строк: 0");
  EXPECT_FALSE(FileExists(f.WorkFile()));

  EXPECT_EQ(s.ScriptAdd(kLine1), 0);
  EXPECT_EQ(s.ScriptAdd(kLine2), 1);
  EXPECT_EQ(s.ScriptEmpty(), 2);
  EXPECT_EQ(s.ScriptClone(kLine3), 3);
  EXPECT_EQ(f.WorkLines(), (std::vector<std::string>{kLine1, kLine2, "", kLine3}));
  // Windows-1251 with CR LF after every line.
  EXPECT_EQ(ReadWholeFile(f.WorkFile()), Utf8ToCp1251(kLine1 + "\r\n" + kLine2 + "\r\n\r\n" + kLine3 + "\r\n"));
  EXPECT_EQ(s.ScriptPanelText(spLines), "Строк: 4");
  EXPECT_EQ(f.host.changes.back(), Change::Actions);

  EXPECT_TRUE(s.ScriptEdit(1, "FULL:0#FIRST| | | | | | | |\r\nзамена"));
  EXPECT_EQ(s.ScriptLines[1], "FULL:0#FIRST| | | | | | | |  замена");  // a line break cannot split the line

  EXPECT_EQ(s.ScriptUp(3), 2);
  EXPECT_EQ(s.ScriptDown(0), 1);
  EXPECT_EQ(f.WorkLines(), (std::vector<std::string>{s.ScriptLines[0], kLine1, kLine3, ""}));

  // The working file is read back at the next start.
  ScriptedHost host2;
  Session again(f.dir.Path(), host2);
  again.LoadScript();
  EXPECT_EQ(again.ScriptLines, s.ScriptLines);
  EXPECT_EQ(again.ScriptPanelText(spLines), "Строк: 4");
}

TEST(SessionScript, EnablingRules) {
  Fixture f;
  Session& s = f.s;
  EXPECT_TRUE(s.CanScriptOpen());
  EXPECT_TRUE(s.CanScriptLoad());
  EXPECT_TRUE(s.CanScriptAdd());
  EXPECT_FALSE(s.CanScriptSave());
  EXPECT_FALSE(s.CanScriptEmpty());
  EXPECT_FALSE(s.CanScriptClr());
  EXPECT_FALSE(s.CanScriptDel(0));
  EXPECT_FALSE(s.CanScriptClone(-1));
  EXPECT_FALSE(s.CanScriptEdit(0));

  s.ScriptAdd(kLine1);
  s.ScriptEmpty();
  s.ScriptAdd(kLine2);
  EXPECT_TRUE(s.CanScriptSave());
  EXPECT_TRUE(s.CanScriptEmpty());
  EXPECT_TRUE(s.CanScriptClr());
  EXPECT_TRUE(s.CanScriptDel(1));
  EXPECT_TRUE(s.CanScriptClone(0));
  EXPECT_TRUE(s.CanScriptEdit(2));
  EXPECT_FALSE(s.CanScriptClone(1));  // a separator has nothing to clone or edit
  EXPECT_FALSE(s.CanScriptEdit(1));
  EXPECT_FALSE(s.CanScriptEdit(3));
  EXPECT_FALSE(s.CanScriptUp(0));
  EXPECT_TRUE(s.CanScriptUp(1));
  EXPECT_TRUE(s.CanScriptDown(1));
  EXPECT_FALSE(s.CanScriptDown(2));
  EXPECT_FALSE(s.CanScriptUp(-1));
  EXPECT_FALSE(s.CanScriptDown(-1));
  EXPECT_EQ(s.ScriptUp(0), -1);
  EXPECT_EQ(s.ScriptDown(2), -1);

  // A long operation under way disables every command.
  BusyScope busy(s);
  EXPECT_FALSE(s.CanScriptOpen());
  EXPECT_FALSE(s.CanScriptLoad());
  EXPECT_FALSE(s.CanScriptAdd());
  EXPECT_FALSE(s.CanScriptSave());
  EXPECT_FALSE(s.CanScriptEmpty());
  EXPECT_FALSE(s.CanScriptClr());
  EXPECT_FALSE(s.CanScriptDel(1));
  EXPECT_FALSE(s.CanScriptClone(0));
  EXPECT_FALSE(s.CanScriptEdit(0));
  EXPECT_FALSE(s.CanScriptUp(1));
  EXPECT_FALSE(s.CanScriptDown(0));
}

TEST(SessionScript, DeletingAsksFirst) {
  Fixture f;
  Session& s = f.s;
  for (const std::string& l : {kLine1, kLine2, kLine3}) s.ScriptAdd(l);

  f.host.answers = {false};
  EXPECT_FALSE(s.ScriptDel({0, 2}));
  EXPECT_EQ(s.ScriptLines.size(), 3u);
  ASSERT_EQ(f.host.questions.size(), 1u);
  EXPECT_EQ(f.host.questions[0].kind, AskKind::Delete);
  EXPECT_EQ(f.host.questions[0].text, DeleteRowsQuestion(2));

  f.host.statuses.clear();
  EXPECT_TRUE(s.ScriptDel({2, 0, 2}));  // in any order, a row given twice counts once
  EXPECT_EQ(f.host.questions.back().text, DeleteRowsQuestion(2));
  EXPECT_EQ(s.ScriptLines, (std::vector<std::string>{kLine2}));
  EXPECT_EQ(f.WorkLines(), s.ScriptLines);
  EXPECT_NE(std::find(f.host.statuses.begin(), f.host.statuses.end(), "Удаление строк..."), f.host.statuses.end());
  EXPECT_TRUE(s.IsIdle());

  EXPECT_TRUE(s.ScriptDel({0}));
  EXPECT_EQ(f.host.questions.back().text, "Удалить выделенную запись?");
  EXPECT_FALSE(s.ScriptDel({5}));  // gone rows: nothing to ask

  for (const std::string& l : {kLine1, kLine2, kLine3}) s.ScriptAdd(l);
  f.host.answers = {false};
  EXPECT_FALSE(s.ScriptClr());
  EXPECT_EQ(f.host.questions.back().text, DeleteRowsQuestion(3));
  EXPECT_TRUE(s.ScriptClr());
  EXPECT_TRUE(s.ScriptLines.empty());
  EXPECT_TRUE(f.WorkLines().empty());
  EXPECT_EQ(s.ScriptPanelText(spLines), "Строк: 0");
}

TEST(SessionScript, ExchangeFilesOpenSaveAndAppend) {
  Fixture f;
  Session& s = f.s;
  for (const std::string& l : {kLine1, kLine2}) s.ScriptAdd(l);
  const std::string saved = f.dir.File("saved.lsc");
  EXPECT_TRUE(s.ScriptSave(saved));
  EXPECT_EQ(ReadScriptFile(saved), s.ScriptLines);
  EXPECT_NE(std::find(f.host.statuses.begin(), f.host.statuses.end(), "Сохранение файла \"" + saved + "\"..."),
            f.host.statuses.end());

  // Appending to a script whose last line is not a separator puts one in between.
  EXPECT_TRUE(s.ScriptLoad(saved));
  EXPECT_EQ(s.ScriptLines, (std::vector<std::string>{kLine1, kLine2, "", kLine1, kLine2}));
  EXPECT_EQ(f.WorkLines(), s.ScriptLines);
  EXPECT_EQ(s.ScriptPanelText(spLines), "Строк: 5");

  // Opening replaces the script and saves the working file.
  WriteBytes(f.dir.File("other.lsc"), Utf8ToCp1251(kLine3 + "\n" + kLine1));  // LF ends, no last end
  EXPECT_TRUE(s.ScriptOpen(f.dir.File("other.lsc")));
  EXPECT_EQ(s.ScriptLines, (std::vector<std::string>{kLine3, kLine1}));
  EXPECT_EQ(f.WorkLines(), s.ScriptLines);

  // Appending to an empty script just loads the file.
  s.ScriptClr();
  EXPECT_TRUE(s.ScriptLoad(saved));
  EXPECT_EQ(s.ScriptLines, (std::vector<std::string>{kLine1, kLine2}));
  EXPECT_TRUE(f.host.messages.empty());
  EXPECT_TRUE(s.IsIdle());
}

TEST(SessionScript, FileErrorsKeepTheScript) {
  Fixture f;
  Session& s = f.s;
  for (const std::string& l : {kLine1, kLine2}) s.ScriptAdd(l);
  const std::vector<std::string> before = s.ScriptLines;

  const std::string missing = f.dir.File("missing.lsc");
  EXPECT_FALSE(s.ScriptOpen(missing));
  EXPECT_FALSE(s.ScriptLoad(missing));
  EXPECT_EQ(s.ScriptLines, before);
  EXPECT_EQ(f.WorkLines(), before);
  ASSERT_EQ(f.host.messages.size(), 2u);
  EXPECT_EQ(f.host.messages[0].kind, MsgKind::Error);
  EXPECT_EQ(f.host.messages[0].text.rfind("Ошибка чтения файла \"" + missing + "\"!\r\r", 0), 0u);

  // A folder in the way of the file cannot be written.
  const std::string blocked = f.dir.File("blocked.lsc");
  std::filesystem::create_directories(blocked);
  EXPECT_FALSE(s.ScriptSave(blocked));
  ASSERT_EQ(f.host.messages.size(), 3u);
  EXPECT_EQ(f.host.messages[2].text.rfind("Ошибка записи в файл \"" + blocked + "\"!\r\r", 0), 0u);
  EXPECT_TRUE(s.IsIdle());

  // Replacing a line that is gone.
  EXPECT_FALSE(s.ScriptEdit(7, kLine3));
  EXPECT_EQ(f.host.messages.back().text, "Запись со индексом 8 в файле данных не найдена!");
  EXPECT_EQ(s.ScriptLines, before);
}

TEST(SessionScript, ListCellsAndStatusPanels) {
  Fixture f;
  Session& s = f.s;
  s.ScriptAdd(kLine1);
  s.ScriptEmpty();
  const std::vector<std::string> cells = s.ScriptListCells(0);
  ASSERT_EQ(cells.size(), 9u);
  EXPECT_EQ(cells[0], "первая");
  EXPECT_EQ(cells[1], "Исключить 5 тиражей; Случайно; Все создаваемые ставки");
  // Without a catalogue the statistic code is written back as it was read.
  EXPECT_EQ(cells[2], "TSD1#SUMS:100#LMV:5#SF:1");
  EXPECT_EQ(cells[3], "");
  EXPECT_EQ(s.ScriptListCells(1), std::vector<std::string>(9));
  EXPECT_EQ(s.ScriptListCells(9), std::vector<std::string>(9));

  s.ScriptCycle = 2;
  s.ScriptStakeCount = 17;
  const int before = f.host.processEvents;
  s.ShowScriptStatus(3, "Фильтр 1 из 4: TSD#SUMS:100#LMV:5#SF:1");
  EXPECT_EQ(s.ScriptPanelText(spCycle), "Цикл: 2");
  EXPECT_EQ(s.ScriptPanelText(spLine), "Строка: 3");
  EXPECT_EQ(s.ScriptPanelText(spStakes), "Ставок: 17");
  EXPECT_EQ(s.ScriptPanelText(spText), "Фильтр 1 из 4: TSD#SUMS:100#LMV:5#SF:1");
  EXPECT_GE(f.host.processEvents - before, 4);  // every panel update lets the interface breathe
}
