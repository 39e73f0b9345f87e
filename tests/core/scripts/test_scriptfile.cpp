// Script files and the script list commands of the session, with real files in a temporary folder.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "app/session.h"
#include "scripts/scriptfile.h"
#include "scripts/scriptline.h"
#include "testutil.h"
#include "util/cp1251.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::ScriptedHost;
using quintar::test::TempDir;
using quintar::test::WriteBytes;

namespace {

struct Fixture {
  TempDir dir;
  ScriptedHost host;
  Session s{dir.Path(), host};
  std::string WorkFile() const { return ReadWholeFile(s.ScriptFilePath()); }
};

const std::string kLine1 = "FULL:0#FIRST| | | | | | | |";
const std::string kLine2 = "EXCL:5#RAND|TSD1#SUMS:100#LMV:5#SF:1| | | | | | |комментарий";

}  // namespace

TEST(ScriptFile, LineEndsAndCodePage) {
  EXPECT_EQ(ScriptTextLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(ScriptTextLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(ScriptTextLines("").empty());

  const std::vector<std::string> lines = {kLine1, "", kLine2};
  const std::string text = ScriptFileText(lines);
  EXPECT_EQ(text, Utf8ToCp1251(kLine1 + "\r\n\r\n" + kLine2 + "\r\n"));
  EXPECT_EQ(ScriptTextLines(text), lines);
}

TEST(ScriptFile, AppendingAddsOneSeparator) {
  std::vector<std::string> script;
  AppendScriptLines(script, {"a", "b"});
  EXPECT_EQ(script, (std::vector<std::string>{"a", "b"}));
  AppendScriptLines(script, {"c"});
  EXPECT_EQ(script, (std::vector<std::string>{"a", "b", "", "c"}));
  script.push_back("");
  AppendScriptLines(script, {"d"});
  EXPECT_EQ(script, (std::vector<std::string>{"a", "b", "", "c", "", "d"}));
  AppendScriptLines(script, {});
  EXPECT_EQ(script.size(), 6u);
}

TEST(ScriptFile, ListRows) {
  EXPECT_EQ(ScriptListCaptions(), (std::vector<std::string>{"Комментарии", "Опции", "Фильтр 1", "Фильтр 2", "Фильтр 3",
                                                            "Фильтр 4", "Фильтр 5", "Фильтр 6", "Фильтр 7"}));
  const TStatCodeList codes = {"NUMS", "SUMS"};
  std::vector<std::string> cells = ScriptListCells("excl:5#all#clr| tsd#sums:100#lmv:5 | | | | | |x#y|note", codes);
  ASSERT_EQ(cells.size(), 9u);
  EXPECT_EQ(cells[0], "note");
  EXPECT_EQ(cells[1], "Исключить 5 тиражей; Все; Удалить ставки; Все создаваемые ставки");
  EXPECT_EQ(cells[2], "TSD1#SUMS:100#LMV:5#SF:0");
  EXPECT_EQ(cells[3], "");
  EXPECT_EQ(cells[8], "TSD1#y#LNO:#SF:0");
  EXPECT_EQ(ScriptListCells("", codes), std::vector<std::string>(9));
}

TEST(ScriptFile, StatusBar) {
  Fixture f;
  f.s.ScriptCycle = 3;
  f.s.ScriptStakeCount = 8;
  f.s.ShowScriptStatus(2, ScriptVariantText(2, 36, "TSD#SUMS:10#LMV:1#SF:1"));
  EXPECT_EQ(f.s.ScriptPanelText(spCycle), "Цикл: 3");
  EXPECT_EQ(f.s.ScriptPanelText(spLine), "Строка: 2");
  EXPECT_EQ(f.s.ScriptPanelText(spStakes), "Ставок: 8");
  EXPECT_EQ(f.s.ScriptPanelText(spText), "Фильтр 2 из 36: TSD#SUMS:10#LMV:1#SF:1");
}

TEST(ScriptSession, WorkingFileFollowsEveryChange) {
  Fixture f;
  Session& s = f.s;
  s.LoadScript();  // no working file yet
  EXPECT_TRUE(s.ScriptLines.empty());
  EXPECT_EQ(s.ScriptPanelText(spLines), "Строк: 0");
  EXPECT_TRUE(s.CanScriptAdd());
  EXPECT_FALSE(s.CanScriptEmpty());
  EXPECT_FALSE(s.CanScriptSave());
  EXPECT_FALSE(s.CanScriptClr());

  EXPECT_EQ(s.ScriptAdd(kLine1), 0);
  EXPECT_EQ(s.ScriptEmpty(), 1);
  EXPECT_EQ(s.ScriptClone(kLine2), 2);
  EXPECT_EQ(f.WorkFile(), Utf8ToCp1251(kLine1 + "\r\n\r\n" + kLine2 + "\r\n"));
  EXPECT_EQ(s.ScriptPanelText(spLines), "Строк: 3");
  EXPECT_EQ(f.host.statuses.back(), "");
  EXPECT_TRUE(s.IsIdle());

  // Clone and edit need a selected line that is not a separator.
  EXPECT_TRUE(s.CanScriptClone(0));
  EXPECT_FALSE(s.CanScriptClone(1));
  EXPECT_FALSE(s.CanScriptEdit(-1));
  EXPECT_FALSE(s.CanScriptEdit(3));
  EXPECT_TRUE(s.ScriptEdit(0, "CURR:0#NONE| | | | | | | |"));
  EXPECT_EQ(s.ScriptLines[0], "CURR:0#NONE| | | | | | | |");

  // A line break inside a line would split it in the file.
  EXPECT_EQ(s.AddScriptLine("FULL:0#ALL| | | | | | | |a\r\nb"), 3);
  EXPECT_EQ(s.ScriptLines[3], "FULL:0#ALL| | | | | | | |a  b");

  // Moving lines.
  EXPECT_FALSE(s.CanScriptUp(0));
  EXPECT_FALSE(s.CanScriptDown(3));
  EXPECT_EQ(s.ScriptUp(0), -1);
  EXPECT_EQ(s.ScriptDown(0), 1);
  EXPECT_EQ(s.ScriptLines[1], "CURR:0#NONE| | | | | | | |");
  EXPECT_EQ(s.ScriptUp(3), 2);
  EXPECT_EQ(s.ScriptLines[2], "FULL:0#ALL| | | | | | | |a  b");

  // The working file is read back as the same list.
  Session again(f.dir.Path(), f.host);
  again.LoadScript();
  EXPECT_EQ(again.ScriptLines, s.ScriptLines);

  // Nothing runs while busy.
  s.BeginBusy();
  EXPECT_FALSE(s.CanScriptAdd() || s.CanScriptOpen() || s.CanScriptLoad() || s.CanScriptSave() ||
               s.CanScriptClone(0) || s.CanScriptDel(1) || s.CanScriptDown(0));
  s.EndBusy();
}

TEST(ScriptSession, EditingAGoneLineChangesNothing) {
  Fixture f;
  f.s.ScriptAdd(kLine1);
  EXPECT_FALSE(f.s.ScriptEdit(4, kLine2));
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].kind, MsgKind::Error);
  EXPECT_EQ(f.host.messages[0].text, "Запись со индексом 5 в файле данных не найдена!");
  EXPECT_EQ(f.s.ScriptLines, std::vector<std::string>{kLine1});
}

TEST(ScriptSession, DeleteAsksFirst) {
  Fixture f;
  Session& s = f.s;
  for (int i = 0; i < 5; ++i) s.ScriptAdd("FULL:" + std::to_string(i) + "#RAND| | | | | | | |");

  f.host.answers = {false};
  EXPECT_FALSE(s.ScriptDel({1, 3}));
  EXPECT_EQ(s.ScriptLines.size(), 5u);
  ASSERT_EQ(f.host.questions.size(), 1u);
  EXPECT_EQ(f.host.questions[0].kind, AskKind::Delete);
  EXPECT_EQ(f.host.questions[0].text, DeleteRowsQuestion(2));

  EXPECT_TRUE(s.ScriptDel({3, 1, 3, 9}));  // duplicates and rows that are gone do not count
  EXPECT_EQ(f.host.questions[1].text, DeleteRowsQuestion(2));
  EXPECT_EQ(s.ScriptLines, (std::vector<std::string>{"FULL:0#RAND| | | | | | | |", "FULL:2#RAND| | | | | | | |",
                                                     "FULL:4#RAND| | | | | | | |"}));
  EXPECT_NE(std::find(f.host.statuses.begin(), f.host.statuses.end(), "Удаление строк..."), f.host.statuses.end());
  EXPECT_EQ(ScriptTextLines(f.WorkFile()), s.ScriptLines);

  f.host.answers = {false};
  EXPECT_FALSE(s.ScriptClr());
  EXPECT_EQ(f.host.questions.back().text, DeleteRowsQuestion(3));
  EXPECT_EQ(s.ScriptLines.size(), 3u);
  EXPECT_TRUE(s.ScriptClr());
  EXPECT_TRUE(s.ScriptLines.empty());
  EXPECT_EQ(f.WorkFile(), "");
  EXPECT_EQ(s.ScriptPanelText(spLines), "Строк: 0");
}

TEST(ScriptSession, OpenLoadAndSaveExchangeFiles) {
  Fixture f;
  Session& s = f.s;
  const std::string a = f.dir.File("a.lsc");
  WriteBytes(a, Utf8ToCp1251(kLine2) + "\r\n" + kLine1);  // no line end after the last line

  // Appending to an empty list just loads the file.
  EXPECT_TRUE(s.ScriptLoad(a));
  EXPECT_EQ(s.ScriptLines, (std::vector<std::string>{kLine2, kLine1}));
  EXPECT_NE(std::find(f.host.statuses.begin(), f.host.statuses.end(), "Загрузка файла \"" + a + "\"..."),
            f.host.statuses.end());
  EXPECT_EQ(s.ScriptPanelText(spLines), "Строк: 2");

  // Appending to a list ending in a line inserts one separator.
  EXPECT_TRUE(s.ScriptLoad(a));
  EXPECT_EQ(s.ScriptLines, (std::vector<std::string>{kLine2, kLine1, "", kLine2, kLine1}));
  EXPECT_EQ(ScriptTextLines(f.WorkFile()), s.ScriptLines);

  // Saving writes the exchange file; opening replaces the list.
  const std::string b = f.dir.File("b.lsc");
  EXPECT_TRUE(s.ScriptSave(b));
  EXPECT_EQ(ReadWholeFile(b), f.WorkFile());
  WriteBytes(a, "CURR:0#NONE| | | | | | | |\r\n");
  EXPECT_TRUE(s.ScriptOpen(a));
  EXPECT_EQ(s.ScriptLines, std::vector<std::string>{"CURR:0#NONE| | | | | | | |"});
  EXPECT_EQ(f.WorkFile(), "CURR:0#NONE| | | | | | | |\r\n");
  EXPECT_TRUE(f.host.messages.empty());
}

TEST(ScriptSession, FileErrorsLeaveTheListAlone) {
  Fixture f;
  Session& s = f.s;
  s.ScriptAdd(kLine1);
  const std::string missing = f.dir.File("missing.lsc");
  EXPECT_FALSE(s.ScriptOpen(missing));
  EXPECT_FALSE(s.ScriptLoad(missing));
  ASSERT_EQ(f.host.messages.size(), 2u);
  EXPECT_EQ(f.host.messages[0].kind, MsgKind::Error);
  EXPECT_EQ(f.host.messages[0].text.rfind("Ошибка чтения файла \"" + missing + "\"!\r\r", 0), 0u);
  EXPECT_EQ(s.ScriptLines, std::vector<std::string>{kLine1});

  const std::string bad = f.dir.File("nodir/x.lsc");
  EXPECT_FALSE(s.ScriptSave(bad));
  EXPECT_EQ(f.host.messages.back().text.rfind("Ошибка записи в файл \"" + bad + "\"!\r\r", 0), 0u);
  EXPECT_FALSE(FileExists(bad));
  EXPECT_TRUE(s.IsIdle());

  // A working file that cannot be rewritten keeps its old content (not checkable as the superuser).
  const std::string before = f.WorkFile();
  ASSERT_EQ(::chmod(f.dir.Path().c_str(), 0500), 0);
  bool writable = true;
  try {
    WriteFileAtomic(f.dir.File("probe"), "x");
  } catch (const FileError&) {
    writable = false;
  }
  if (!writable) {
    s.ScriptAdd(kLine2);
    EXPECT_EQ(f.host.messages.back().text.rfind("Ошибка записи в файл \"" + s.ScriptFilePath() + "\"!", 0), 0u);
    EXPECT_EQ(f.WorkFile(), before);
  }
  ::chmod(f.dir.Path().c_str(), 0700);
}
