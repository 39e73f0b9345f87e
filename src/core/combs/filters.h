// Filters: a filter narrows a combination list to the combinations that give (keep) or do not give
// (delete) any of a set of selected statistic values. This file holds the pass over the list and the
// pieces the filter commands share; the commands themselves (busy state, undo copy, log line) are the
// session's (app/session_filters.cpp).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/game.h"
#include "stats/customstat.h"

namespace quintar {

// One selected row of a statistic's value table: its value record (only the key takes part in
// filtering) and its caption (the "Значение" text).
struct TSelectedValue {
  TStatDraw Value;
  std::string Caption;
};
using TStatSelection = std::vector<TSelectedValue>;

// The selected rows as a value set and a values text (captions joined with "; "), in row order.
TStatDrawArray SelectionValues(const TStatSelection& rows);
std::string SelectionText(const TStatSelection& rows);
// Rows for the given value records, captioned by the statistic's ValueToText.
TStatSelection SelectionOf(const TCustomStat& stat, const TStatDrawArray& values);

// The rows of a value table whose captions (ValueToText) are the given texts, in the order of the texts;
// each text selects the first row with that caption. A text that names no row is put into *missing
// (the first such text) and the result is empty.
TStatSelection SelectRowsByText(const TCustomStat& stat, const TStatDrawArray& table,
                                const std::vector<std::string>& texts, std::string* missing = nullptr);

// Messages and captions of the filter commands.
inline constexpr const char* kFilterStatus = "Фильтрация комбинаций...";
inline constexpr const char* kFilterNoValues = "В выделенном диапазоне нет значений для фильтра!";
inline constexpr const char* kFilterError = "Ошибка фильтрации комбинаций!";
inline constexpr const char* kCardCaption = "Карта";
inline constexpr const char* kLayoutCaption = "Схема";
inline constexpr const char* kStatFilterIncludeHint =
    "В списке комбинаций оставить комбинации с выделенными характеристиками";
inline constexpr const char* kStatFilterExcludeHint =
    "Из списка комбинаций удалить комбинации с выделенными характеристиками";
inline constexpr const char* kNumberFilterIncludeHint = "В списке комбинаций оставить комбинации с выделенными значениями";
inline constexpr const char* kNumberFilterExcludeHint =
    "Из списка комбинаций удалить комбинации с выделенными  значениями";
inline constexpr const char* kFilterIncludeCaption = "Оставить выделенные";
inline constexpr const char* kFilterExcludeCaption = "Удалить выделенные";

// The reference draw of a filter: the newest draw of the analysis window (newest index minus the draws
// offset), or the oldest draw (0) when the offset reaches beyond the archive. A combination is judged as
// the draw that would follow it.
int FilterReferenceIndex(int newestIndex, int drawsOffset);

// A second statistic object of the same kind as the first, for the second half of a split pass;
// nullptr when none can be made (the pass then runs in one thread).
using TStatCloner = std::function<std::unique_ptr<TCustomStat>()>;

// Filters n combinations from in into out (room for n entries), keeping their order, and returns how
// many it wrote: a combination is written when TestComb answers yes in keep mode, or no in delete mode.
// The statistic is prepared here (LoadDraws(-1, refIndex, sorted) and its lookups of the set). With a
// cloner a long list is shared out between two threads; the result is the one-thread result.
// When TestComb raises, the entries written up to the failing combination are counted in *written (when
// given) and the error passes on.
size_t FilterCombs(TCustomStat& stat, const TStatDrawArray& set, const TComb* in, size_t n, TComb* out,
                   int refIndex, bool sorted, bool deleteFlag, const TStatCloner& cloner = {},
                   size_t* written = nullptr);

// Lists shorter than this are always filtered in one thread.
inline constexpr size_t kFilterSplitMin = 100000;

}  // namespace quintar
