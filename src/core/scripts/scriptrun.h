// The parts of a script run that stand on their own: expanding a line's filters into all their concrete
// variants, reading a statistics table row and deciding whether it qualifies or stops the walk, and the
// run log "ScriptLog_<time>.txt". The run itself drives the session (app/session_scriptrun.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "combs/filterrecs.h"
#include "game/game.h"

namespace quintar {

// How a test spreads its passes: Threads 0 uses the cores there are (at most 4), 1 runs every pass on
// the caller's thread, n > 1 that many workers. RAND draws from one stream per offset made from Seed (0:
// a new seed for every run), so that a seeded test gives the same stakes on one core and on several.
struct TScriptRunSettings {
  int Threads = 0;
  uint64_t Seed = 0;
};
// The run's seed: Seed, or a random one when it is 0.
uint64_t ScriptRunSeed(const TScriptRunSettings& settings);

// One row of the statistics table read as texts.
struct TStatValues {
  std::string Value;         // the row's caption, the statistic value as text
  int32_t ValueKey = 0;      // the key of that value as the statistic reads it from text
  std::string Count;         // "Количество"
  std::string CountPct;      // "Кол-во в %"
  std::string Deviation;     // "Отклонение"
  std::string DeviationPct;  // "Откл-ие в %"
  std::string Depth;         // "Глубина"
  std::string DepthPct;      // "Глубина в %"
  std::string Weight;        // "Вес"
  std::string PeriodMin;     // "Период min"
  std::string Period;        // "Период"
  std::string PeriodMax;     // "Период max"
};

// The row from the 12 texts the statistics table gives for scripts: [0] value, [1] unused, then count,
// count %, deviation, deviation %, depth, depth %, weight, period min, period, period max.
TStatValues StatValuesFromTexts(const std::vector<std::string>& texts, int32_t valueKey);

// Texts of the run -----------------------------------------------------------------------------------

inline constexpr const char* kScriptRunStatus = "Выполнение сценария...";
inline constexpr const char* kScriptDoneStatus = "Сценарий завершен!";
inline constexpr const char* kBuildVariantsText = "Создание всех вариантов фильтров...";
inline constexpr const char* kBuildVariantsProgress = "Создание всех вариантов фильтров ( %d )...";
inline constexpr const char* kVariantsBuiltText = "Создано %d вариантов фильтров.";
inline constexpr const char* kBadFilterText = "Некорректное описание фильтра: %s!";
inline constexpr const char* kTooManyVariants =
    "Вы задали слишком много вариантов фильтров - программа не сможет обработать их все!\rПожалуйста, "
    "уменьшите в каждом из фильтров количество вариантов длины выборки и глубины, а затем повторите попытку.";
inline constexpr const char* kStatNotListed =
    "Метод расчета статистики \"%s\" на найден!\r%s\r\rВозможно, Вы отключили данных метод расчета либо "
    "использовали сценарий от другой модификации программы.";
inline constexpr const char* kStatUnknown = "Метод расчета статистики не найден в каталоге: %s!";
inline constexpr const char* kScriptStopQuestion = "Остановить выполнение сценария?";
inline constexpr const char* kScriptStopped =
    "Выполнение сценария прервано, т.к. после применения всех фильтров в списке комбинаций их осталось более "
    "одной: %d!\r\rФильтры: %s";
inline constexpr const char* kTestsCaption = "Количество тестов";
inline constexpr const char* kTestsLabel = "Укажите количество тестов:";
inline constexpr const char* kTestsHint =
    "Укажите количество последних тиражей, на которых будет производится тестирование";
inline constexpr int kTestsDefault = 10;
inline constexpr const char* kLogWriteError = "Ошибка записи журнала: %s!";
inline constexpr const char* kLogsNotFound = "Файлы журналов не найдены!";
inline constexpr const char* kLogsSearchStatus = "Поиск файлов журналов...";

// Log lines.
inline constexpr const char* kLogRunStart =
    "### ЗАПУСК СЦЕНАРИЯ ##########################################################################";
inline constexpr const char* kLogRunEnd =
    "### ЗАВЕРШЕНИЕ СЦЕНАРИЯ ######################################################################";
inline constexpr const char* kLogRunBroken =
    "### ВЫПОЛНЕНИЕ СЦЕНАРИЯ ПРЕРВАНО #############################################################";
inline constexpr const char* kLogOffsetBanner =
    "=== Выполнение сценария для смещения %.6d ==================================================";
inline constexpr const char* kLogLineBanner = "Выполнение строки %.3d: \"%s\"";
inline constexpr const char* kLogVariantBanner = "Применение набора фильтров %.3d: \"%s\"";
inline constexpr const char* kLogNoFilters = "{ERROR} Фильтры не применялись!";
inline constexpr const char* kLogStartList = "Создание начального списка комбинаций...";
inline constexpr const char* kLogCombsCount = "Количество комбинаций в списке: %d";
inline constexpr const char* kLogComputeStat = "Анализ тиражей и расчет статистики \"%s\" для выборки в %d тиражей...";
inline constexpr const char* kLogRow = "< [%s] кол-во: %s (%s %%), отклонение: %s (%s %%), глубина: %s (%s %%), вес: %s >";
inline constexpr const char* kLogSelectRow = "Шаг %.3d. Выделение строки: ";
inline constexpr const char* kLogKeep = "Оставляем выделенные значения...";
inline constexpr const char* kLogDelete = "Удаляем выделенные значения...";
inline constexpr const char* kLogRollBack = "{UNDO} Откат изменений...";
inline constexpr const char* kLogStakeMode = "{*} Добавление ставки, режим: \"%s\"";
inline constexpr const char* kLogScriptStopped = "{!} Сценарий остановлен!";
inline constexpr const char* kLogStakeSkipped = "{-} Ставка игнорирована!";
inline constexpr const char* kLogStakeExists =
    "{-} Ставка на тираж %d не добавлена, так как уже имеется в списке ставок: [%s]";
inline constexpr const char* kLogStakeAdded = "{+} Ставка на тираж %d добавлена в список ставок: [%s]";
inline constexpr const char* kLogSystemError = "{#} Системная игра для %d чисел [ОШИБКА]: \"%s\"";
inline constexpr const char* kLogSystemAll = "{#} Системная игра для %d чисел [все система]: загружен файл \"%s\"";
inline constexpr const char* kLogSystemComb =
    "{#} Системная игра для %d чисел [система * комбинации]: загружен файл \"%s\"";
inline constexpr const char* kVariantStatus = "Фильтр %d из %d: %s";
// Ruler lines of the log.
std::string LogRuler(char c);  // 94 characters

// A row as the log shows it.
std::string StatValuesLogText(const TStatValues& row);

// Variants -------------------------------------------------------------------------------------------

// More variants than this are refused before any is built, as if memory had run out: their nodes
// (about 800 bytes each) would take most of a computer's memory, and the system would end the program
// rather than report the failure.
inline constexpr int64_t kMaxFilterVariants = 1'000'000;

struct TVariantHooks {
  std::function<bool()> Stopped;                  // polled before every draws count and level value
  std::function<void(int64_t count)> Progress;    // on every 1000th variant
};

// Expands the line's filters (items 1..n, none inactive) into every variant, filter 1 varying slowest.
// A filter whose draws or level values give no integer raises EQuintar "Некорректное описание фильтра";
// running out of memory (or more than kMaxFilterVariants variants) raises std::bad_alloc. What was
// appended stays.
void BuildFilterVariants(const std::vector<TFilterItem>& items, const IStatCodes& codes, TFilterVarList& list,
                         const TVariantHooks& hooks);

// Row and stop conditions ----------------------------------------------------------------------------

// Whether a row qualifies for the part's condition. A condition value that must be an integer and is
// not raises EQuintar; so does a list item that is not a number. A list condition never picks a row
// whose cell holds no value ("" or "-").
bool RowQualifies(const TFilterPart& part, const TStatValues& row);

// Whether the walk stops before looking at this row (SV, SP, ST; SC is the caller's, in single-row mode).
// steps: the step counter s.
bool RowStops(const TFilterPart& part, const TStatValues& row, int steps);

// A cell read as an integer, def when it is not one.
int64_t CellInt(std::string_view cell, int64_t def);
// A cell read as a number as the table writes it ("," or "." as decimal mark), def when it is not one.
double CellNum(std::string_view cell, double def);

// Run log --------------------------------------------------------------------------------------------

// "ScriptLog_yyyy-mm-dd-hh-nn-ss.txt" in the folder for a local time.
std::string ScriptLogFileName(const std::string& dir, TDateTime time);
// The log files of a folder ("ScriptLog_*.txt"), full paths in name order.
std::vector<std::string> FindScriptLogs(const std::string& dir);
// Appends one entry "[yyyy-mm-dd hh:nn:ss]: text" CR LF in code page 1251, creating the file when
// missing; raises EQuintar with the system's text on failure.
void AppendScriptLog(const std::string& path, std::string_view text, TDateTime time);

}  // namespace quintar
