// Script lines and their one-line text form. A line is the options field, seven filter fields and a
// comment, separated by "|":
//   EXCL:5#RAND|TSD1#SUMS:100#LMV:5#SF:1| | | | | | |my comment
// The options field names the starting list and what becomes of the result; a filter field names a
// statistic method by its code, the draws its table is computed over, the row condition and the stop
// condition, and optionally the filter's own weight coefficients. An empty line separates groups of
// lines and does nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "combs/filterrecs.h"

namespace quintar {

// Starting list of a line.
enum TStartCombsType : uint8_t { scFULL, scEXCL, scCURR };
inline constexpr int kStartCombsCount = 3;

// What becomes a stake when more than one combination is left.
enum TResultCombsMode : uint8_t { rmRAND, rmFIRST, rmLAST, rmALL, rmSYSA, rmSYSC, rmSTOP, rmSKIP, rmNONE };
inline constexpr int kResultCombsCount = 9;

struct TScriptOptions {
  int32_t DrawsExclude = 0;        // last draws whose combinations EXCL removes
  uint8_t StartCombsType = scFULL;
  uint8_t ResultCombsMode = rmRAND;
  bool ClearStakes = false;        // CLR
  bool NewOnly = false;            // NEX

  bool operator==(const TScriptOptions&) const = default;
};

// Keywords of the text form; "" outside the table.
std::string_view StartCombsKeyword(int type);
std::string_view ResultCombsKeyword(int mode);
// Long names fill the line editor's lists, short ones the script list; kNameError outside the table.
// The short EXCL name holds "%d" for the number of draws.
std::string StartCombsTypeName(int type, bool longName);
std::string ResultCombsModeName(int mode, bool longName);

inline constexpr const char* kClearStakesCaption = "Удалить ставки";
inline constexpr const char* kNewOnlyCaption = "Только новые ставки";
inline constexpr const char* kAllStakesCaption = "Все создаваемые ставки";

// Fields of a text cut at any of the separator characters: runs of separators count as one and there
// are no empty fields. Fields count from 1; a field beyond the last is "".
std::string NthField(std::string_view text, int n, std::string_view separators);
int FieldCount(std::string_view text, std::string_view separators);

// Fields of a script line.
inline constexpr int kOptionsField = 1;
inline constexpr int kFirstFilterField = 2;
inline constexpr int kCommentField = 9;

// The line: the options text, "|", each of the seven filter texts (a blank for an empty one) followed
// by "|", then the comment when it is not blank.
std::string BuildScriptLine(std::string_view optionsText, const std::array<std::string, kStepFilters>& filters,
                            std::string_view comment);
// Field n of a line split at "|", trimmed: 1 the options, 2..8 the filters, 9 the comment.
std::string ScriptLineField(std::string_view line, int n);

TScriptOptions TextToScriptOptions(std::string_view text);
// Editor form: FULL:0#RAND, EXCL:5#ALL#CLR#NEX.
std::string ScriptOptionsToText(const TScriptOptions& o);
// Run form used in logs and stake comments: FULL#RAND, EXCL:5#ALL#NEX (never CLR).
std::string ScriptOptionsToRunText(const TScriptOptions& o);
// The script list's column text: "Исключить 5 тиражей; Все; Удалить ставки; Только новые ставки".
std::string ScriptOptionsCaption(const TScriptOptions& o);

// A filter field read into a record; a blank text gives an empty, inactive record.
TFilterItem TextToFilterItem(std::string_view text, const IStatCodes& codes);
// The filter field of a record ("TSD1#SUMS:100#LMV:5#SF:1"); "" for an inactive record.
std::string FilterItemToText(const TFilterItem& item, const IStatCodes& codes);
// One variant ("TSD#SUMS:100#LMV:5#SF:1"); "" for an inactive part.
std::string FilterPartToText(const TFilterPart& part, const IStatCodes& codes);
// The active parts joined with " + ".
std::string FilterRecToText(const TFilterRec& rec, const IStatCodes& codes);

// A coefficient as the text form writes it: up to 15 significant digits, "." as decimal point.
std::string CoefToText(double v);
// A coefficient as the text form reads it; 0 when the text holds no number.
double TextToCoef(std::string_view text);

// The comment of a stake a script makes: "03.002: my comment @ EXCL:5#RAND + TSD#SUMS:100#LMV:5#SF:1"
// (line number from 1, variant number, the line's comment, the options and filters text).
std::string ScriptStakeComment(int line, int variant, std::string_view comment, std::string_view text);

// The line editor ("Элемент сценария") ---------------------------------------------------------------

inline constexpr const char* kScriptEditorCaption = "Элемент сценария";
inline constexpr const char* kNewLineCaption = "Создание новой строки";
inline constexpr const char* kEditLineCaption = "Редактирование строки";

struct TScriptEditorFields {
  int StartCombsType = scFULL;   // list of the long starting-list names
  int32_t DrawsCount = 0;        // "Кол-во тиражей:", 0 .. 2147483647
  int ResultCombsMode = rmRAND;  // list of the long result names
  bool ClearStakes = false;      // "Удалить все ставки перед выполнением (накопление только рейтинга)"
  bool NewOnly = false;          // "Только новые ставки (пропускать те ставки, которые уже есть в списке)"
  std::array<std::string, kStepFilters> Filters;  // "Фильтр 1:" .. "Фильтр 7:", as typed
  std::string Comment;           // "Комментарии:"
};

// The fields for a line; an empty line leaves everything empty and the draws count at the default.
TScriptEditorFields ScriptEditorFields(std::string_view line, int32_t defaultDraws);
// The line the editor makes on OK (the draws count is written whatever the starting list).
std::string ScriptEditorLine(const TScriptEditorFields& f);

}  // namespace quintar
