// The stakes file "Quintar_7x35.lsk": a flat sequence of 312-byte stake records without header, in the
// order the stakes were added (record i at byte 312 * i, little-endian). The file stays open and locked
// against other processes for as long as the program runs; records are appended, rewritten in place when
// they get checked, or removed by copying the kept ones to "Quintar_7x35.~tmp" and renaming it over the
// stakes file. Large files are never loaded whole: rows are read on demand through a one-record cache,
// and checking and rewriting stream the file in blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "game/drawarchive.h"
#include "game/game.h"

namespace quintar {

constexpr uint8_t kStakeVersion = 2;

// Kinds of stakes; 0 is the separator (an empty row between series).
enum TStakeKind : uint8_t {
  skSeparator = 0,
  skManual = 1,  // "Вручную"
  skTable = 2,   // "Регуляр"
  skScript = 3,  // "Сценарий"
  skSystem = 4,  // "Система"
};

#pragma pack(push, 1)
struct TStakeRec {
  uint8_t Version;            // always 2
  uint8_t Kind;               // TStakeKind
  uint8_t Reserved1[2];
  int32_t Draw;               // number of the draw the stake is for; -1 in a separator
  uint8_t Checked;            // 0 not yet checked, 1 checked
  uint8_t Reserved2[3];
  int32_t Sample;             // count of the combination list when the stake was made
  TNumSet Numbers;            // the stake's numbers, ascending (7 for every stake the program makes)
  uint8_t DrawNums[NUMS_IN_DRAW];  // the draw's main numbers in drawn order; zero until checked
  uint8_t Reserved3;
  TNumSet Matches;            // Count = matched numbers (-1 until checked), Nums = them ascending
  int64_t Profit;             // money in 1/10000 units
  uint8_t CommentLen;         // short string in Windows-1251
  char CommentChars[255];

  std::string Comment() const;            // UTF-8
  void SetComment(std::string_view text);  // UTF-8, cut to 255 characters
  bool IsSeparator() const { return Kind == skSeparator; }
};
#pragma pack(pop)

static_assert(sizeof(TStakeRec) == 312);
static_assert(offsetof(TStakeRec, Kind) == 1);
static_assert(offsetof(TStakeRec, Draw) == 4);
static_assert(offsetof(TStakeRec, Checked) == 8);
static_assert(offsetof(TStakeRec, Sample) == 12);
static_assert(offsetof(TStakeRec, Numbers) == 16);
static_assert(offsetof(TStakeRec, DrawNums) == 28);
static_assert(offsetof(TStakeRec, Matches) == 36);
static_assert(offsetof(TStakeRec, Profit) == 48);
static_assert(offsetof(TStakeRec, CommentLen) == 56);

constexpr int kStakeRecSize = static_cast<int>(sizeof(TStakeRec));

// A zeroed record: version 2, kind 0, draw -1, matches -1.
TStakeRec EmptyStake();
// The record that separates series of stakes.
inline TStakeRec SeparatorStake() { return EmptyStake(); }

// The profit of a stake from its number count and match count (-1 when not checked), in 1/10000 units.
using TStakeResultFn = std::function<int64_t(int numbers, int matches)>;

// Cost of one 7-number combination and the prize list, as the settings hold them.
struct TStakePrize {
  uint8_t Overlap;
  int64_t Profit;
};
struct TStakePrices {
  int64_t Cost = 0;
  std::vector<TStakePrize> Profits;
  // prize(m) - round(cost * C(n, 7)), C(n, 7) taken as 1 for n <= 7; no prize unless m >= 0.
  int64_t StakeResult(int numbers, int matches) const;
  TStakeResultFn Fn() const {
    return [p = *this](int n, int m) { return p.StakeResult(n, m); };
  }
};

inline constexpr const char* kManualStakeComment = "Ставка \"вручную\"";

// A new stake as every add command makes it: the given kind, draw and sample size, the combination's
// numbers (none without a combination), not checked, the default comment and the cost part of the profit.
TStakeRec MakeStakeRecord(int draw, int sample, const TComb* comb, const TStakeResultFn& result,
                          uint8_t kind = skManual);

// Texts of the failures; every failure of the stakes file carries one of them as its resource text.
inline constexpr const char* kStakesReadError = "Ошибка чтения файла ставок!";
inline constexpr const char* kStakesWriteError = "Ошибка записи в файл ставок!";
inline constexpr const char* kStakeReadError = "Ошибка чтения записи из файла ставок!";
inline constexpr const char* kStakeAddError = "Ошибка добавления записи в файл ставок!";
inline constexpr const char* kStakeFindError = "Ошибка поиска записи в файле ставок!";
inline constexpr const char* kStakeFindDrawError = "Ошибка поиска записи по номеру тиража в файле ставок!";
inline constexpr const char* kStakesCheckError = "Ошибка проверки ставок!";
inline constexpr const char* kStakeDeleteError = "Ошибка удаления записи из файла ставок!";
inline constexpr const char* kStakesRenameError = "Ошибка переименования / удаления временного файла ставок %s!";
inline constexpr const char* kStakesNotOpen = "Файл ставок не открыт!";
inline constexpr const char* kStakeCheckedAppend = "Добавление в конец файла уже проверенной ставки!";
inline constexpr const char* kStakeIndexNotFound = "Запись со индексом %d в файле данных не найдена!";
inline constexpr const char* kStakesOldVersion =
    "Обнаружен файл ставок устаревшей версии - имеющиеся в файле ставки будут удалены!";
inline constexpr const char* kStakesExclusiveAccess =
    "Невозможно получить монопольный доступ к файлам данных!\r\rВозможные причины данной ошибки: \r\r"
    "1) Вы пытаетесь запустить вторую копию программы из одного и того же каталога. Корректная работа "
    "нескольких копий программы возможна только из разных каталогов.\r\r"
    "2) Для программы нет прав на запись в том каталоге, где она расположена. Например: в Windows 7 и выше "
    "по умолчанию запрещена запись в c:\\Program Files.\r\rПрограмма будет закрыта!";

// Status texts of the stake operations.
inline constexpr const char* kStakesLoadStatus = "Загрузка файла ставок...";
inline constexpr const char* kStakesSaveStatus = "Сохранение файла ставок...";
inline constexpr const char* kStakesCheckStatus = "Проверка результатов ставок...";
inline constexpr const char* kStakesCheckProgress = "Проверка результатов ставок ( завершено %.0f %% )...";
inline constexpr const char* kStakeCreateStatus = "Создание ставки...";
inline constexpr const char* kStakesCreateStatus = "Создание ставок...";
inline constexpr const char* kStakesDeleteStatus = "Удаление ставок...";

// A failure of the stakes file: what() is the system's (or the rule's) own text, Resource() the text
// naming what failed. FullText() is the error box text "<resource>\r\r<detail>".
class EStakesFile : public EQuintar {
 public:
  EStakesFile(std::string resource, const std::string& detail, bool lockHeld = false)
      : EQuintar(detail), resource_(std::move(resource)), lockHeld_(lockHeld) {}
  const std::string& Resource() const { return resource_; }
  std::string FullText() const { return resource_.empty() ? what() : resource_ + "\r\r" + what(); }
  // The file is held by another process (another copy of the program in the same folder).
  bool LockHeld() const { return lockHeld_; }

 private:
  std::string resource_;
  bool lockHeld_;
};

class TStakeLogs;

// What checking needs from the rest of the program.
struct TStakeCheckHooks {
  TStakeResultFn Result;                                 // required
  // Each newly checked stake (the ratings), once its block is written back to the file.
  std::function<void(const TStakeRec&)> Checked;
  // Before a block goes back to the file: its newly checked records (index, record). With this hook set a
  // failed write of the block still offers its stakes to Checked: the hook has journaled them, and the
  // journal writes them again at the next open.
  std::function<void(const std::vector<std::pair<int32_t, TStakeRec>>&)> BeforeWrite;
  std::function<void(const std::string&)> Status;        // status texts
  TStakeLogs* Logs = nullptr;                            // set when stake logging is on
  // A log line could not be written (the full error text). Reported once per check; logging stops for
  // the rest of that check while the stakes go on being checked.
  std::function<void(const std::string&)> LogFailure;
};

// Where the last draws of checked stakes begin (walking the file backwards).
struct TLastDrawsStart {
  int Index = 0;   // the record to read forward from
  int Draws = 0;   // how many distinct draws were counted (at most the number asked for)
};

class TStakesFile {
 public:
  TStakesFile() = default;
  explicit TStakesFile(std::string path) : path_(std::move(path)) {}
  ~TStakesFile();
  TStakesFile(const TStakesFile&) = delete;
  TStakesFile& operator=(const TStakesFile&) = delete;

  const std::string& Path() const { return path_; }
  void SetPath(std::string path);
  // The temporary file of a rewrite: the stakes file name with the extension ".~tmp".
  std::string TempPath() const;

  // Opens the file (creating it when missing) for reading and writing and takes an exclusive lock on it;
  // another process holding it makes this fail. When already open, only forgets the cached record.
  // An append that a crash cut short is undone first: a series whose append never finished is cut back
  // to where it began, a trailing part of a record is cut off; the file as it was is kept in BackupPath().
  void OpenStakes();
  // The note an interrupted append leaves beside the file while a series of records is appended: the
  // file's size before it.
  std::string AppendNotePath() const;
  // The pending records of an unfinished check's journal (see checkjournal.h) are written into the file
  // again where they differ, each only over the record of the same draw and numbers. Done by every open;
  // raises on a failed write, else true: the file holds the journal's records.
  bool ApplyCheckJournal();
  // Writes everything to disk and closes the file (kStakesWriteError on failure).
  void CloseStakes();
  bool IsOpen() const { return fd_ >= 0; }

  // Records in the file, separators included.
  int Count() const;
  int64_t FileSize() const { return size_; }
  // A non-empty file whose size is not a multiple of 312 or whose first record is not version 2.
  bool IsOldVersion();
  // Start-up: opens the file; an old-version file is copied whole to BackupPath(), reported through warn
  // and emptied; when the copy cannot be made the file is left as it is and the failure raised. Returns
  // true when the file was emptied.
  bool LoadStakes(const std::function<void(const std::string&)>& warn);
  std::string BackupPath() const;

  // Reads record index (negative counts from the end: -1 is the last). The last record read is cached
  // and reused until the file is reopened.
  TStakeRec ReadStake(int index);
  // Appends a stake for draws consecutive draws: with draws >= 2 every copy (draw, draw + 1, ...) is
  // preceded by a separator unless the file is empty or already ends in one. A checked record is refused.
  // A failed write leaves the file at its last whole record.
  void AddStake(const TStakeRec& rec, int draws);
  // Appends a separator when the file is not empty and its last record is for a draw above 0.
  void AppendStakeSeparator();
  // Whether a record for that draw with exactly those numbers exists.
  bool FindStake(int32_t draw, const TNumSet& numbers);
  // Checks every unchecked stake whose draw is in the archive; returns whether any record changed.
  // Records checked before a failure stay checked.
  bool CheckStakes(const TDrawArchive& archive, const TStakeCheckHooks& hooks);
  // Keeps the records keep() accepts: they are copied to the temporary file, which is then renamed over
  // the stakes file; the old file stays whole until that rename.
  using TKeepRule = std::function<bool(int index, const TStakeRec& rec)>;
  void RewriteStakes(const TKeepRule& keep);
  // Called when the new file of a rewrite is complete, just before it replaces the stakes file (tests
  // interrupt a rewrite there).
  std::function<void()> BeforeReplace;
  // Deletes every record (the file is truncated to 0 bytes).
  void ClearStakes();

  // Streams the records from index first on, in file order.
  void ForEachStake(const std::function<void(int index, const TStakeRec& rec)>& fn, int first = 0);
  // Walks back from the last record over checked stakes (draw > 0, matches >= 0) counting distinct draws
  // as their number changes; stops at the (draws + 1)-th draw and starts after it.
  TLastDrawsStart FindLastDrawsStart(int draws);

 private:
  void RequireOpen() const;
  void ForgetCache() { cacheIndex_ = -1; }
  void ReadAt(int64_t offset, void* buf, size_t size) const;
  void WriteAt(int64_t offset, const void* buf, size_t size) const;
  void AppendRecords(const std::vector<TStakeRec>& recs);
  // Copies the whole file to BackupPath() (or, when that exists, to the first free BackupPath() + ".N")
  // through a temporary file: complete and on disk, or raised.
  void WriteBackup();
  void RepairInterruptedAppend();
  int32_t LastDraw();

  std::string path_;
  int fd_ = -1;
  int64_t size_ = 0;
  int cacheIndex_ = -1;
  TStakeRec cache_{};
};

// The delete-by-condition dialog: its comparisons and the rule. Separators are always kept; an unchecked
// stake compares with its match count -1, so "less than" conditions delete it.
std::vector<std::string> StakeFilterConditions();
bool StakeFilterDeletes(const TStakeRec& rec, int condition, int value);

// The stake dialog's check of its numbers text: split at "," and ";", trimmed, exactly 7 distinct numbers
// 1..35. Fills numbers (ascending) when it passes.
bool StakeTextToNumbers(std::string_view text, TNumSet& numbers);
inline constexpr const char* kBadStakeText = "Введена некорректная комбинация!";
inline constexpr const char* kNoComment = "Необходимо ввести комментарий!";
inline constexpr const char* kBadDrawNumber = "Номер тиража должен быть от 1 до 2147483647!";
inline constexpr const char* kBadDrawsCount = "Количество тиражей должно быть от 1 до 65535!";
inline constexpr int kMaxStakeDraws = 65535;
// Sum of the numbers typed so far (the dialog's display-only field); words that are not numbers add 0.
int StakeTextSum(std::string_view text);

// What the stake dialog collected.
struct TStakeDialogInput {
  int Draw = 1;
  std::string Numbers;  // "n1;...;n7"
  std::string Comment;
  int Draws = 1;
};
// The stake dialog's OK: checks in the dialog's order and returns the error text, or "" with out set to
// base with the dialog's draw, comment and numbers.
std::string StakeDialogAccept(const TStakeDialogInput& in, const TStakeRec& base, TStakeRec& out);
// The multi-stake dialog's OK: the error text or "".
std::string MultiStakeDialogCheck(int draw, int draws, std::string_view comment);
// The text the stake dialog shows for a record's numbers.
std::string StakeNumbersText(const TStakeRec& rec);

}  // namespace quintar
