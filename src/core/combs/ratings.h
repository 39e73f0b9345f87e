// The rating: the results of checked stakes summed per comment. Every stake source writes a comment that
// names how the stake was made, so one row measures one way of choosing numbers: how many of its stakes
// were checked, how many numbers they guessed, how they spread over 0..7 matches, the money they made and
// how that compares with pure chance. Rows live in "Quintar_7x35.lrt" (304-byte records without header,
// in the view's sort order) and outlive the stakes they came from until the rating is recomputed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "combs/graphdata.h"
#include "combs/stakesfile.h"
#include "game/game.h"

namespace quintar {

#pragma pack(push, 1)
struct TRatingRec {
  uint8_t NameLen;  // short string in Windows-1251: the stake comment
  char NameChars[255];
  int32_t Stakes;                       // checked stakes counted
  int32_t Guessed;                      // sum of their match counts
  int32_t Counts[NUMS_IN_DRAW + 1];     // stakes with 0, 1, ..., 7 matches
  int64_t Profit;                       // sum of their profits, money in 1/10000 units

  std::string Name() const;             // UTF-8
  void SetName(std::string_view text);  // UTF-8, cut to 255 characters
};
#pragma pack(pop)

static_assert(sizeof(TRatingRec) == 304);
static_assert(offsetof(TRatingRec, Stakes) == 256);
static_assert(offsetof(TRatingRec, Guessed) == 260);
static_assert(offsetof(TRatingRec, Counts) == 264);
static_assert(offsetof(TRatingRec, Profit) == 296);

constexpr int kRatingRecSize = static_cast<int>(sizeof(TRatingRec));
using TRatingsArray = std::vector<TRatingRec>;

// A zeroed row with the name.
TRatingRec MakeRatingRec(std::string_view name);

// The chance of i matches for one 7-number stake: Q(i) = C(7, i) * C(28, 7 - i) combinations share exactly
// i numbers with a draw, p(i) = Q(i) / 6,724,520. Computed once, on first use.
struct TMatchChances {
  int64_t Q[NUMS_IN_DRAW + 1];
  double P[NUMS_IN_DRAW + 1];
};
const TMatchChances& MatchChances();

// The view's columns: name, stakes, guessed, average, profit, average profit, counts "0".."7", "E0".."E7".
constexpr int kRatingCols = 22;
constexpr int kRatingFirstCountCol = 6;
constexpr int kRatingFirstEffCol = 14;
std::vector<std::string> RatingCaptions();

// What the efficiency columns show ("RatingsEffMode").
enum TRatingsEffMode : int {
  remExpected = 0,  // expected match counts: round(N * p(i))
  remAbsolute = 1,  // c * 100 / N - p(i) * 100, percentage points
  remRelative = 2,  // c * 100 / (N * p(i)), actual as a percentage of expected
};
constexpr int kRatingsEffModeDefault = remAbsolute;
constexpr int kRatingsEffModes = 3;
// Caption of the command that selects the mode.
const char* RatingsEffModeCaption(int mode);
inline constexpr const char* kRatingsEffMenuCaption = "Эффективность (столбцы E0..n)";

// The average profit, rounded to 1/10000 (0 without stakes).
int64_t RatingAverageProfit(const TRatingRec& r);
// A row whose numbers contradict each other (negative stakes or counts, counts that do not add up to the
// stakes or to the guessed numbers) cannot be shown: its caption reads "# bad data #".
bool RatingRowBad(const TRatingRec& r);
inline constexpr const char* kRatingBadData = "# bad data #";
// The cell text of a row as the view shows it; every cell is empty when the row has no stakes.
std::string RatingCell(const TRatingRec& r, int col, int mode);
std::vector<std::string> RatingCells(const TRatingRec& r, int mode);
// "Рейтинг: %d", the status bar text with the row count.
std::string RatingsCountText(int rows);

// Compares two rows by a column: negative when a comes first in ascending order, 0 when the column does
// not order them (rows without stakes, efficiency columns, equal values).
int CompareRatings(const TRatingRec& a, const TRatingRec& b, int col);

// The rows in memory, with a lookup of names without regard to case for folding.
class TRatings {
 public:
  const TRatingsArray& Rows() const { return rows_; }
  int Count() const { return static_cast<int>(rows_.size()); }
  bool Empty() const { return rows_.empty(); }
  const TRatingRec& operator[](int i) const { return rows_[static_cast<size_t>(i)]; }
  void Clear();
  void Append(const TRatingRec& r);

  // Folds one checked stake in: the row whose name equals the comment without regard to case gets one
  // more stake, its matches and its profit; without such a row a new one is appended. Stakes that are
  // not checked (matches below 0) or claim more than 7 matches are left out. Returns whether it folded.
  bool AddToRating(const TStakeRec& stake);
  // Adds a row's counts and profit to the row of the same name (without regard to case), or appends it.
  void FoldRow(const TRatingRec& row);

  // Sorts by a column (0..21), ascending or descending. Rows that the column orders keep their relative
  // order when they compare equal; rows without stakes go last. The efficiency columns order nothing.
  void Sort(int col, bool descending);

  // Reads the ratings file, replacing the rows. A trailing part of a record or a read failure raises
  // EQuintar; the whole records read before it stay.
  void LoadFromFile(const std::string& path);
  // Rewrites the ratings file with all rows through a temporary file and rename.
  void SaveToFile(const std::string& path) const;
  // Called when the new file is written, just before it replaces the old one (tests interrupt a save
  // there).
  std::function<void()> BeforeReplace;

 private:
  int FindRow(std::string_view rawName);  // Windows-1251 bytes
  int RowFor(std::string_view rawName);   // the row of that name, appended when missing
  void Forget();

  TRatingsArray rows_;
  std::unordered_map<std::string, int> index_;  // upper-case name -> first row of that name
  bool indexValid_ = false;
  // The last comment folded (its bytes) and its row: stakes of one source come in runs.
  std::string lastComment_;
  int lastRow_ = -1;
};

// Empties the rating and folds in every checked stake of the file with a draw number >= 0. A failure
// passes on; the rows folded so far stay.
void RebuildRating(TStakesFile& file, TRatings& ratings);

// The CSV export: the header with the 22 captions in double quotes, then per row the name in double
// quotes, stakes, guessed, average ("%.3f"), profit and average profit ("%.2f") and the eight counts;
// fields separated by ";", lines ending in CR LF, decimal comma. The text is UTF-8; the file is written
// in Windows-1251 through a temporary file and rename.
std::string RatingsCsvText(const TRatingsArray& rows);
void ExportRatingsCsv(const std::string& path, const TRatingsArray& rows);
inline constexpr const char* kRatingsCsvFilter = "CSV-файлы (*.csv)|*.csv";
inline constexpr const char* kRatingsCsvExt = "csv";

// Turns a row name back into the script line that made its stakes. A script stake's comment is
// "<step>.<variant>: <line comment> @ <header> + <filter> + ...": the part before the first "@" becomes the
// line's comment, the header and the filters its fields. Refused (nullopt) unless the header begins with a
// starting-list keyword and at least one filter field is given.
std::optional<std::string> RatingToScriptLine(std::string_view name);
inline constexpr const char* kRatingToScriptRefused = "Строку\r\r%s\r\rневозможно добавить в сценарий!";

// The match-distribution chart of the selected rows: the series "Нормальные значения" with the counts
// chance gives the largest of their stake counts, then one series per row with its counts of 0..7 matches.
TGraphData RatingsGraphOverlap(const TRatingsArray& rows, const std::vector<int>& selected);
// The matches or the profits of the stakes with the given comments (without regard to case) over the last
// 100 draws of checked stakes, one series per comment. Raises EQuintar(kGraphNoDraws) without names or
// with fewer than two such draws; a failure of the stakes file passes on.
TGraphData StakesGraphOverlap(TStakesFile& file, const std::vector<std::string>& names);
TGraphData StakesGraphProfits(TStakesFile& file, const std::vector<std::string>& names);
constexpr int kStakesGraphDraws = 100;
inline constexpr const char* kNormalSeriesName = "Нормальные значения";
inline constexpr uint32_t kNormalSeriesColor = 0x808080;

// Captions and hints of the rating commands.
inline constexpr const char* kRatingsRefreshCaption = "Обновить рейтинг";
inline constexpr const char* kRatingsRefreshButton = "Пересчитать рейтинг по текущим данным";
inline constexpr const char* kRatingsExportCaption = "Экспорт рейтинга в CSV-файл";
inline constexpr const char* kRatingsXlsExportCaption = "Экспорт рейтинга в Microsoft Excel";
inline constexpr const char* kRatingsToScriptCaption = "Добавить в сценарий";
inline constexpr const char* kRatingsGraphOverlapCaption = "Количество совпадений";
inline constexpr const char* kStakesGraphOverlapCaption = "График совпадений ставок";
inline constexpr const char* kStakesGraphProfitsCaption = "График профита ставок";
inline constexpr const char* kRatingsGraphOverlapHint = "График количества совпадений для выделенных строк рейтинга";
inline constexpr const char* kStakesGraphOverlapHint = "График количества совпадений для всех ставок по тиражам";
inline constexpr const char* kStakesGraphProfitsHint = "График профита для всех ставок по тиражам";
inline constexpr const char* kRatingsPageCaption = "Рейтинг";

// Status texts, questions and failures.
inline constexpr const char* kRatingsLoadStatus = "Загрузка файла рейтинга...";
inline constexpr const char* kRatingsSaveStatus = "Сохранение файла рейтинга...";
inline constexpr const char* kRatingsSortStatus = "Сортировка рейтинга...";
inline constexpr const char* kRatingsRefreshStatus = "Обновление рейтинга...";
inline constexpr const char* kRatingsExportStatus = "Экспорт в CSV-файл...";
inline constexpr const char* kRatingsToScriptStatus = "Генерация новых строк в сценарии...";
inline constexpr const char* kRatingsRefreshQuestion =
    "Пересчитать рейтинг только по текущим ставкам?\r\rНакопленные ранее данные по удаленным ставкам будут "
    "потеряны.";
inline constexpr const char* kRatingsReadError = "Ошибка чтения файла рейтинга!";
inline constexpr const char* kRatingsWriteError = "Ошибка записи в файл рейтинга!";
inline constexpr const char* kRatingsRefreshError = "Ошибка обновления рейтинга!";
inline constexpr const char* kFileWriteError = "Ошибка записи в файл \"%s\"!\r\r%s";

// The view's initial sort: column 3 (the average), descending.
constexpr int kRatingsDefaultSortColumn = 3;

}  // namespace quintar
