#include "combs/filterrecs.h"

#include <algorithm>
#include <new>

#include "game/game.h"
#include "util/strutil.h"

namespace quintar {

namespace {

struct TModeName {
  const char* Keyword;
  const char* Caption;
};

constexpr TModeName kLevelModes[kLevelModeCount] = {
    {"LNO", "Весь список (без условий)"},
    {"LMV", "\"Глубина\": не менее заданного значения"},
    {"LMP", "\"Глубина\": не менее заданного процента"},
    {"LLV", "\"Глубина\": не более заданного значения"},
    {"LLP", "\"Глубина\": не более заданного процента"},
    {"LDV", "\"Глубина\": из заданного списка значений"},
    {"LDP", "\"Глубина\": из заданного списка процентов"},
    {"DMV", "\"Отклонение\": не менее заданного значения"},
    {"DMP", "\"Отклонение\": не менее заданного процента"},
    {"DLV", "\"Отклонение\": не более заданного значения"},
    {"DLP", "\"Отклонение\": не более заданного процента"},
    {"DDV", "\"Отклонение\": из заданного списка значений"},
    {"DDP", "\"Отклонение\": из заданного списка процентов"},
    {"CMV", "\"Количество\": не менее заданного значения"},
    {"CMP", "\"Количество\": не менее заданного процента"},
    {"CLV", "\"Количество\": не более заданного значения"},
    {"CLP", "\"Количество\": не более заданного процента"},
    {"CDV", "\"Количество\": из заданного списка значений"},
    {"CDP", "\"Количество\": из заданного списка процентов"},
    {"WMV", "\"Вес\": не менее заданного значения"},
    {"WLV", "\"Вес\": не более заданного значения"},
    {"WDV", "\"Вес\": из заданного списка значений"},
    {"PIM", "\"Период min\": не менее заданного значения"},
    {"PIL", "\"Период min\": не более заданного значения"},
    {"PIR", "\"Период min\": из заданного списка значений"},
    {"PAM", "\"Период\": не менее заданного значения"},
    {"PAL", "\"Период\": не более заданного значения"},
    {"PAR", "\"Период\": из заданного списка значений"},
    {"PXM", "\"Период max\": не менее заданного значения"},
    {"PXL", "\"Период max\": не более заданного значения"},
    {"PXR", "\"Период max\": из заданного списка значений"},
    {"LVA", "\"Значения\": из заданного списка значений"},
};

constexpr TModeName kStopModes[kStopModeCount] = {
    {"SF", "Обработать все записи"},
    {"SC", "Количеству оставшихся комбинаций"},
    {"SZ", "Пока список не будет пуст и откатить на шаг"},
    {"ST", "Количеству шагов"},
    {"SV", "Значению в списке статистики"},
    {"SP", "Процентному соотношению в списке статистики"},
};

}  // namespace

int FindStatCode(const IStatCodes& codes, std::string_view field) {
  const int n = codes.Count();
  // A code written out in full wins over a shorter code that is only its prefix (CHN10 over CHN1).
  const std::string head = Trim(field.substr(0, std::min(field.find(':'), field.size())));
  if (!head.empty())
    for (int i = 0; i < n; ++i)
      if (AnsiSameText(codes.Code(i), head)) return i;
  for (int i = 0; i < n; ++i) {
    const std::string code = codes.Code(i);
    if (!code.empty() && StartsWithText(field, code)) return i;
  }
  return -1;
}

std::string_view LevelModeKeyword(int mode) {
  if (mode < 0 || mode >= kLevelModeCount) return {};
  return kLevelModes[mode].Keyword;
}

std::string_view StopModeKeyword(int mode) {
  if (mode < 0 || mode >= kStopModeCount) return {};
  return kStopModes[mode].Keyword;
}

std::string LevelModeName(int mode) {
  if (mode < 0 || mode >= kLevelModeCount) return kNameError;
  return kLevelModes[mode].Caption;
}

std::string StopModeName(int mode) {
  if (mode < 0 || mode >= kStopModeCount) return kNameError;
  return kStopModes[mode].Caption;
}

bool LevelModeIsList(int mode) {
  switch (mode) {
    case lmLDV: case lmLDP: case lmDDV: case lmDDP: case lmCDV: case lmCDP: case lmWDV: case lmPIR:
    case lmPAR: case lmPXR: case lmLVA:
      return true;
    default:
      return false;
  }
}

// Variant list ------------------------------------------------------------------------------------------

void TFilterVarList::Append(const TFilterRec& rec) {
  auto* node = new TFilterVar{rec, nullptr};
  if (tail_) tail_->NextVariant = node;
  else head_ = node;
  tail_ = node;
  ++count_;
}

bool TFilterVarList::TakeFirst(TFilterRec& rec) {
  if (!head_) return false;
  TFilterVar* node = head_;
  head_ = node->NextVariant;
  if (!head_) tail_ = nullptr;
  --count_;
  rec = std::move(node->Filters);
  delete node;
  return true;
}

void TFilterVarList::Clear() {
  // Freed one by one: a list of millions of variants must not recurse.
  while (head_) {
    TFilterVar* next = head_->NextVariant;
    delete head_;
    head_ = next;
  }
  tail_ = nullptr;
  count_ = 0;
}

// Filter editor -----------------------------------------------------------------------------------------

TFilterEditorFields FilterEditorFields(const TFilterItem& item, int chosenStat, int drawsCount,
                                       const TWeightCoefs& global) {
  TFilterEditorFields f;
  f.Stat = chosenStat;
  f.DrawsLen = std::to_string(drawsCount);
  f.CoefCount = global.Count;
  f.CoefDeviation = global.Deviation;
  f.CoefLevel = global.Level;
  f.CoefPercents = global.UsePercents;
  f.CoefAbs = global.UseAbsValues;
  if (!item.Active) return f;

  f.Stat = item.Stat;
  if (!item.DrawsText.empty()) f.DrawsLen = item.DrawsText;
  f.SortOrder = item.SortColumn;
  f.Direction = item.BottomUp ? 1 : 0;
  f.FilterMode = item.KeepSelected ? 1 : 0;
  f.MultiSelect = item.MultiSelect;
  f.LevelMode = item.LevelMode < kLevelModeCount ? int{item.LevelMode} : int{lmLNO};
  if (!item.LevelText.empty()) f.LevelValue = item.LevelText;
  f.CDLOverride = item.WeightOverride;
  if (item.WeightOverride) {
    f.CoefCount = item.CoefCount;
    f.CoefDeviation = item.CoefDeviation;
    f.CoefLevel = item.CoefLevel;
    f.CoefPercents = item.CoefPercents;
    f.CoefAbs = item.CoefAbs;
  }
  f.StopMode = item.StopMode < kStopModeCount ? int{item.StopMode} : int{smSF};
  // The spin field holds 1 .. 2147483647; a filter read without a stop value shows 1.
  f.StopValue = std::max<int32_t>(1, item.StopValue);
  return f;
}

bool FilterEditorAcceptsChar(char32_t ch) {
  return (ch >= U'0' && ch <= U'9') || ch == U',' || ch == U'-' || ch == U';' || ch < 32 || ch == 127;
}

TFilterEditorCheck CheckFilterEditor(const TFilterEditorFields& f, bool statReadsValues) {
  // A draws count below 1 can make no statistics table, so every value must be at least 1.
  const TIntArray draws = IntListFromText(f.DrawsLen);
  if (draws.empty() || std::any_of(draws.begin(), draws.end(), [](int32_t v) { return v < 1; }))
    return {TFilterEditorField::DrawsLen, kBadRangeMessage};
  if (f.LevelMode > 0) {
    if (f.LevelMode == lmLVA && !statReadsValues) return {TFilterEditorField::LevelMode, kNoValueListMessage};
    if (IntListFromText(f.LevelValue).empty()) return {TFilterEditorField::LevelValue, kBadRangeMessage};
  }
  if (f.MultiSelect && f.StopMode == smSC) return {TFilterEditorField::StopMode, kMultiSelectStopMessage};
  return {};
}

TFilterItem FilterEditorResult(const TFilterEditorFields& f, const TFilterItem& original) {
  TFilterItem r;
  r.Active = true;
  r.StatText = original.StatText;
  r.Stat = f.Stat;
  r.DrawsText = Trim(f.DrawsLen);
  r.SortColumn = f.SortOrder;
  r.BottomUp = f.Direction == 1;
  r.MultiSelect = f.MultiSelect;
  r.KeepSelected = f.FilterMode == 1;
  r.LevelMode = static_cast<uint8_t>(std::clamp(f.LevelMode, 0, kLevelModeCount - 1));
  r.LevelText = Trim(f.LevelValue);
  r.WeightOverride = f.CDLOverride;
  r.CoefCount = f.CoefCount;
  r.CoefDeviation = f.CoefDeviation;
  r.CoefLevel = f.CoefLevel;
  r.CoefPercents = f.CoefPercents;
  r.CoefAbs = f.CoefAbs;
  r.StopMode = static_cast<uint8_t>(std::clamp(f.StopMode, 0, kStopModeCount - 1));
  r.StopValue = std::clamp<int32_t>(f.StopValue, 1, kMaxStopValue);
  return r;
}

}  // namespace quintar
