// Tables ("Регуляры"): rules that make one stake per draw by shifting a combination around the ring 1..35
// by a fixed step. The base of the next stake is the table's current combination, or the numbers of the
// previous draw. Tables live in "Quintar_7x35.ltb" (280-byte records without header, in list order,
// little-endian), which is read and rewritten only while the page "Регуляры" is shown; their stakes are
// of kind 2 with the table's name as the comment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "combs/combslist.h"
#include "combs/stakesfile.h"
#include "game/drawarchive.h"
#include "game/game.h"

namespace quintar {

class Session;

#pragma pack(push, 1)
struct TTableRec {
  uint8_t NameLen;      // short string in Windows-1251; also the comment of the stakes made
  char NameChars[255];
  uint8_t FromLastDraw;  // 1: the base of the next stake is the previous draw's numbers
  TComb Start;           // ascending; zeros for a table based on the previous draw
  TComb Current;         // the numbers of the last stake made (at first the start combination)
  uint8_t Reserved;
  int32_t Step;          // -35..35
  int32_t Stakes;        // stakes made

  std::string Name() const;             // UTF-8
  void SetName(std::string_view text);  // UTF-8, cut to 255 bytes of Windows-1251
  std::string_view RawName() const { return {NameChars, NameLen}; }
};
#pragma pack(pop)

static_assert(sizeof(TTableRec) == 280);
static_assert(offsetof(TTableRec, FromLastDraw) == 256);
static_assert(offsetof(TTableRec, Start) == 257);
static_assert(offsetof(TTableRec, Current) == 264);
static_assert(offsetof(TTableRec, Reserved) == 271);
static_assert(offsetof(TTableRec, Step) == 272);
static_assert(offsetof(TTableRec, Stakes) == 276);

constexpr int kTableRecSize = static_cast<int>(sizeof(TTableRec));
constexpr int kTableStepMin = -35;
constexpr int kTableStepMax = 35;
inline constexpr const char* kTableDefaultName = "Регулярная ставка";

// The base of the next stake (the reference draw's numbers in drawn order, or the current combination)
// shifted by the step, sorted, stored as the current combination; one stake more. A reference draw
// outside the archive gives a base of seven zeros.
void AdvanceTable(TTableRec& t, const TDrawArchive& archive, int offset);

// The view lvTables.
constexpr int kTableCols = 5;
std::vector<std::string> TableCaptions();
std::vector<std::string> TableCells(const TTableRec& t);

// The tables file: whole records in order; a trailing part of a record or a read failure raises EQuintar
// with the whole records read before it in rows.
void ReadTablesFile(const std::string& path, std::vector<TTableRec>& rows);
void WriteTablesFile(const std::string& path, const std::vector<TTableRec>& rows);

// What the table dialog collected.
struct TTableDialogInput {
  std::string Name = kTableDefaultName;  // edComment
  bool FromLastDraw = false;             // rbUseLastDraw (else rbUseMyComb)
  std::string StartText;                 // edCombStart
  int Step = 1;                          // edStep
};

// The table dialog's OK for a new table: with the fixed start and exactly one selected combination the
// start text must be seven different numbers 1..35; the name must not be empty nor carried by a table
// of rows. Returns the error text, or "" with out made from base: name, choice, step and (fixed start,
// one combination) the sorted start; a table based on the previous draw starts from zeros.
std::string TableDialogAccept(const TTableDialogInput& in, const TTableRec& base, int selected,
                              const std::vector<TTableRec>& rows, TTableRec& out);
// The name checks alone; the table at index self (-1: none) may keep its name.
std::string TableNameError(std::string_view name, const std::vector<TTableRec>& rows, int self);

inline constexpr const char* kTablesLoadStatus = "Загрузка файла регулярных ставок...";
inline constexpr const char* kTablesSaveStatus = "Сохранение файла регулярных ставок...";
inline constexpr const char* kTablesAddStatus = "Создание регулярных ставок...";
inline constexpr const char* kTablesDeleteStatus = "Удаление регулярных ставок...";
inline constexpr const char* kTablesTestStatus = "Создание ставок по регулярным табличным ставкам...";
inline constexpr const char* kTablesReadError = "Ошибка чтения файла регулярных ставок!";
inline constexpr const char* kTablesWriteError = "Ошибка записи в файл регулярных ставок!";
inline constexpr const char* kTableNameUsed =
    "Запись с таким комментарией уже присутствует в списке!\rВыберите другой комментарий.";
inline constexpr const char* kTableBadStep = "Шаг должен быть от -35 до 35!";
inline constexpr const char* kTableSelectedCombs = "{...Выделенные комбинации...}";
inline constexpr const char* kTablesTabKey = "TabTables";

// A stake of a table before it is confirmed: the advanced copy of the table and its stake record.
struct TTableStakeDraft {
  TTableRec Table{};
  TStakeRec Stake{};
};

// The tables of the session and the commands of the page "Регуляры". Each enabling rule includes the
// idle state and the page being shown.
class TTables {
 public:
  explicit TTables(Session& s) : s_(s) {}
  TTables(const TTables&) = delete;
  TTables& operator=(const TTables&) = delete;

  int Count() const { return static_cast<int>(rows_.size()); }
  const TTableRec& operator[](int i) const { return rows_[static_cast<size_t>(i)]; }
  const std::vector<TTableRec>& Rows() const { return rows_; }
  std::string Path() const;
  std::vector<std::string> Cells(int row) const;

  // The page is shown ("TabTables"): only then are the tables in memory and the file read and written.
  bool TabShown() const { return tabShown_; }
  void ReadTabKey();
  // Start-up and showing the page: reads the file when the page is shown and the file exists. False after
  // the read error; the records read so far stay, and the next save keeps the file as it was beside it.
  bool Load();
  // Rewrites the file with every table; false after the write error (memory keeps the tables).
  bool Save();
  // Drops the tables from memory (the file stays).
  void Release();

  bool CanTabTables() const;
  // Shows or hides the page: stores "TabTables"; showing reads the file, hiding drops the tables.
  void TabTables();

  bool CanAdd() const;
  // The record the table dialog starts from: the default name, step 1, the number of selected
  // combinations in the stakes field and, with exactly one, that combination as the start.
  TTableRec NewTable(const TRowSelection& combs) const;
  // The dialog's OK: its error text (the dialog stays open), or "" once the tables are added and saved:
  // one table for the previous-draw choice or one selected combination, else one per selected
  // combination in list order named "<name> (<position>)".
  std::string Add(const TTableDialogInput& in, const TRowSelection& combs);
  // Name and step of an existing table; its combinations, choice and stakes stay.
  std::string Edit(int row, const std::string& name, int step);

  bool CanDel(int selected) const;
  // Deletes the rows (after the question when ask), from the last to the first; a row outside the list
  // is refused with its index and nothing is deleted. Answers whether the rows went.
  bool Delete(const std::vector<int>& rows, bool ask);

  bool CanStakeAdd(int current) const;
  // The advanced copy of the row and its stake for the draw after the reference draw at offset; the
  // error text instead when the shifted base is not seven different numbers 1..35.
  std::string PrepareStake(int row, int offset, TTableStakeDraft& draft) const;
  // The stake dialog's OK: its error text, or "" once the copy replaced the table, the file was saved
  // and the stake added for in.Draws draws and checked. A failed save or a stake that could not be
  // added leaves the table as it was.
  std::string StakeAdd(int row, const TTableStakeDraft& draft, const TStakeDialogInput& in);

  bool CanStakeTest(int selected) const;
  // The test count question: 1 .. draws - 1, initially 10.
  int TestsMax() const;
  // For t = tests down to 1, every selected table in list order makes its stake for the draw after the
  // draw at offset t, with the views frozen; then the file is saved and the stakes checked.
  void StakeTest(const std::vector<int>& rows, int tests);

 private:
  TStakeRec MakeStake(const TTableRec& advanced, int draw) const;
  void Changed();
  Session& s_;
  std::vector<TTableRec> rows_;
  bool tabShown_ = true;
  bool partial_ = false;  // the file could not be read whole
};

}  // namespace quintar
