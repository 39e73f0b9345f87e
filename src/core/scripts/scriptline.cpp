#include "scripts/scriptline.h"

#include <algorithm>
#include <cstdio>

#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

namespace {

struct TListName {
  const char* Keyword;
  const char* Long;
  const char* Short;
};

constexpr TListName kStartCombs[kStartCombsCount] = {
    {"FULL", "Исходный список (рекомендуется для тестов)", "Исходный список"},
    {"EXCL", "Удалить N последних тиражей (для прогнозов)", "Исключить %d тиражей"},
    {"CURR", "Текущий список (для последовательного выполнения)", "Текущий список"},
};

constexpr TListName kResultCombs[kResultCombsCount] = {
    {"RAND", "Выбрать одну случайную комбинацию", "Случайно"},
    {"FIRST", "Выбрать первую комбинацию в списке", "Первая"},
    {"LAST", "Выбрать последнюю комбинацию в списке", "Последняя"},
    {"ALL", "Выбрать все комбинации (не рекомендуется)", "Все"},
    {"SYSA", "Системная игра [вся система]", "Система [все]"},
    {"SYSC", "Системная игра [система * комбинации]", "Система [комб]"},
    {"STOP", "Остановить выполнение сценария", "Остановить"},
    {"SKIP", "Пропустить (игнорировать) эту ставку", "Пропустить"},
    {"NONE", "Не делать ставок (для последовательного выполнения)", "Не делать ставок"},
};

// The three letters of a filter field: sort direction, selection kind, filter mode.
std::string FilterLetters(bool bottomUp, bool multiSelect, bool keepSelected) {
  std::string s;
  s += bottomUp ? 'B' : 'T';
  s += multiSelect ? 'M' : 'S';
  s += keepSelected ? 'F' : 'D';
  return s;
}

template <class Rec>
std::string CoefGroup(const Rec& r) {
  return "#" + CoefToText(r.CoefCount) + ":" + CoefToText(r.CoefDeviation) + ":" + CoefToText(r.CoefLevel) +
         ":" + (r.CoefPercents ? "1" : "0") + ":" + (r.CoefAbs ? "1" : "0");
}

template <class Rec>
std::string ConditionsText(const Rec& r) {
  std::string s = "#" + std::string(LevelModeKeyword(r.LevelMode)) + ":" + r.LevelText + "#" +
                  std::string(StopModeKeyword(r.StopMode)) + ":" + std::to_string(r.StopValue);
  if (r.WeightOverride) s += CoefGroup(r);
  return s;
}

}  // namespace

std::string_view StartCombsKeyword(int type) {
  if (type < 0 || type >= kStartCombsCount) return {};
  return kStartCombs[type].Keyword;
}

std::string_view ResultCombsKeyword(int mode) {
  if (mode < 0 || mode >= kResultCombsCount) return {};
  return kResultCombs[mode].Keyword;
}

std::string StartCombsTypeName(int type, bool longName) {
  if (type < 0 || type >= kStartCombsCount) return kNameError;
  return longName ? kStartCombs[type].Long : kStartCombs[type].Short;
}

std::string ResultCombsModeName(int mode, bool longName) {
  if (mode < 0 || mode >= kResultCombsCount) return kNameError;
  return longName ? kResultCombs[mode].Long : kResultCombs[mode].Short;
}

// Fields ------------------------------------------------------------------------------------------------

std::string NthField(std::string_view text, int n, std::string_view separators) {
  if (n < 1) return {};
  int field = 0;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && separators.find(text[i]) != std::string_view::npos) ++i;
    if (i >= text.size()) break;
    size_t start = i;
    while (i < text.size() && separators.find(text[i]) == std::string_view::npos) ++i;
    if (++field == n) return std::string(text.substr(start, i - start));
  }
  return {};
}

int FieldCount(std::string_view text, std::string_view separators) {
  int count = 0;
  bool inField = false;
  for (char c : text) {
    bool sep = separators.find(c) != std::string_view::npos;
    if (!sep && !inField) ++count;
    inField = !sep;
  }
  return count;
}

std::string BuildScriptLine(std::string_view optionsText, const std::array<std::string, kStepFilters>& filters,
                            std::string_view comment) {
  std::string line(optionsText);
  line += '|';
  for (const std::string& f : filters) {
    line += Trim(f).empty() ? std::string(" ") : f;
    line += '|';
  }
  if (!Trim(comment).empty()) line += comment;
  return line;
}

std::string ScriptLineField(std::string_view line, int n) { return Trim(NthField(line, n, "|")); }

// Options -----------------------------------------------------------------------------------------------

TScriptOptions TextToScriptOptions(std::string_view text) {
  TScriptOptions o;
  const std::string t = Trim(text);
  const std::string word1 = Trim(NthField(t, 1, "#"));
  for (int i = 0; i < kStartCombsCount; ++i)
    if (StartsWithText(word1, kStartCombs[i].Keyword)) {
      o.StartCombsType = static_cast<uint8_t>(i);
      break;
    }
  o.DrawsExclude = TryStrToInt(Trim(NthField(word1, 2, ":"))).value_or(0);

  const std::string word2 = Trim(NthField(t, 2, "#"));
  for (int i = 0; i < kResultCombsCount; ++i)
    if (AnsiSameText(word2, kResultCombs[i].Keyword)) {
      o.ResultCombsMode = static_cast<uint8_t>(i);
      break;
    }

  // The words from the third on, in one pass: a line of many words (script files come from other
  // players) is read in linear time.
  int field = 0;
  for (size_t i = 0; i < t.size();) {
    while (i < t.size() && t[i] == '#') ++i;
    if (i >= t.size()) break;
    const size_t start = i;
    while (i < t.size() && t[i] != '#') ++i;
    if (++field < 3) continue;
    const std::string word = Trim(std::string_view(t).substr(start, i - start));
    if (AnsiSameText(word, "CLR")) o.ClearStakes = true;
    else if (AnsiSameText(word, "NEX")) o.NewOnly = true;
  }
  return o;
}

std::string ScriptOptionsToText(const TScriptOptions& o) {
  std::string s = std::string(StartCombsKeyword(o.StartCombsType)) + ":" + std::to_string(o.DrawsExclude) + "#" +
                  std::string(ResultCombsKeyword(o.ResultCombsMode));
  if (o.ClearStakes) s += "#CLR";
  if (o.NewOnly) s += "#NEX";
  return s;
}

std::string ScriptOptionsToRunText(const TScriptOptions& o) {
  std::string s(StartCombsKeyword(o.StartCombsType));
  if (o.StartCombsType == scEXCL) s += ":" + std::to_string(o.DrawsExclude);
  s += "#";
  s += ResultCombsKeyword(o.ResultCombsMode);
  if (o.NewOnly) s += "#NEX";
  return s;
}

std::string ScriptOptionsCaption(const TScriptOptions& o) {
  std::string s = Format(StartCombsTypeName(o.StartCombsType, false), {o.DrawsExclude});
  s += "; " + ResultCombsModeName(o.ResultCombsMode, false);
  if (o.ClearStakes) s += std::string("; ") + kClearStakesCaption;
  s += std::string("; ") + (o.NewOnly ? kNewOnlyCaption : kAllStakesCaption);
  return s;
}

// Filters -----------------------------------------------------------------------------------------------

std::string CoefToText(double v) {
  std::string s = FloatToStr(v);
  for (char& c : s)
    if (c == ',') c = '.';
  if (s == "-0") s = "0";
  return s;
}

double TextToCoef(std::string_view text) {
  const std::string t = Trim(text);
  // The writer uses an exponent for very large and very small values ("1E-5"); such a text is a number
  // as it stands.
  if (t.find_first_of("eE") != std::string::npos)
    if (auto v = TryStrToFloat(t)) return *v;
  std::string kept;
  for (char c : t)
    if ((c >= '0' && c <= '9') || c == '-') kept += c;
    else if (c == '.' || c == ',') kept += '.';
  return TryStrToFloat(kept).value_or(0.0);
}

TFilterItem TextToFilterItem(std::string_view text, const IStatCodes& codes) {
  TFilterItem item;
  if (Trim(text).empty()) return item;
  item.Active = true;

  // Word 1: the three letters and the sort column.
  const std::string word1 = Trim(NthField(text, 1, "#"));
  item.SortColumn = 1;
  if (word1.size() > 3)
    if (auto v = TryStrToInt(std::string_view(word1).substr(3))) item.SortColumn = *v;
  item.BottomUp = word1.find('B') != std::string::npos;
  item.MultiSelect = word1.find('M') != std::string::npos;
  item.KeepSelected = word1.find('F') != std::string::npos;

  // Word 2: the statistic method and its draws counts.
  item.StatText = NthField(text, 2, "#");
  const std::string word2 = Trim(item.StatText);
  if (!word2.empty()) {
    item.Stat = FindStatCode(codes, word2);
    if (item.Stat >= 0) item.DrawsText = Trim(NthField(word2, 2, ":"));
  }

  // Word 3: the row condition and its values.
  const std::string word3 = Trim(NthField(text, 3, "#"));
  if (!word3.empty())
    for (int i = 0; i < kLevelModeCount; ++i)
      if (StartsWithText(word3, LevelModeKeyword(i))) {
        item.LevelMode = static_cast<uint8_t>(i);
        item.LevelText = Trim(NthField(word3, 2, ":"));
        break;
      }

  // Word 4: the stop condition and its value.
  const std::string word4 = Trim(NthField(text, 4, "#"));
  if (!word4.empty())
    for (int i = 0; i < kStopModeCount; ++i)
      if (StartsWithText(word4, StopModeKeyword(i))) {
        item.StopMode = static_cast<uint8_t>(i);
        item.StopValue = TryStrToInt(Trim(NthField(word4, 2, ":"))).value_or(1);
        break;
      }

  // Word 5: the filter's own weight coefficients.
  const std::string word5 = Trim(NthField(text, 5, "#"));
  if (!word5.empty()) {
    item.WeightOverride = true;
    item.CoefCount = TextToCoef(NthField(word5, 1, ":"));
    item.CoefDeviation = TextToCoef(NthField(word5, 2, ":"));
    item.CoefLevel = TextToCoef(NthField(word5, 3, ":"));
    item.CoefPercents = NthField(word5, 4, ":") == "1";
    item.CoefAbs = NthField(word5, 5, ":") == "1";
  }
  return item;
}

std::string FilterItemToText(const TFilterItem& item, const IStatCodes& codes) {
  if (!item.Active) return {};
  std::string s = FilterLetters(item.BottomUp, item.MultiSelect, item.KeepSelected) + std::to_string(item.SortColumn);
  s += "#";
  if (item.Stat >= 0 && item.Stat < codes.Count()) s += codes.Code(item.Stat) + ":" + item.DrawsText;
  else s += item.StatText;
  return s + ConditionsText(item);
}

std::string FilterPartToText(const TFilterPart& part, const IStatCodes& codes) {
  if (!part.Active) return {};
  std::string s = FilterLetters(part.BottomUp, part.MultiSelect, part.KeepSelected) + "#";
  if (part.Stat >= 0 && part.Stat < codes.Count()) s += codes.Code(part.Stat);
  s += ":" + std::to_string(part.DrawsCount);
  return s + ConditionsText(part);
}

std::string FilterRecToText(const TFilterRec& rec, const IStatCodes& codes) {
  std::string s;
  for (const TFilterPart& p : rec) {
    if (!p.Active) continue;
    if (!s.empty()) s += " + ";
    s += FilterPartToText(p, codes);
  }
  return s;
}

std::string ScriptStakeComment(int line, int variant, std::string_view comment, std::string_view text) {
  std::string s = Format("%.2d.%.3d:", {line, variant}) + " ";
  if (!comment.empty()) {
    s += comment;
    s += ' ';
  }
  s += "@ ";
  s += text;
  return s;
}

// Line editor -------------------------------------------------------------------------------------------

TScriptEditorFields ScriptEditorFields(std::string_view line, int32_t defaultDraws) {
  TScriptEditorFields f;
  f.DrawsCount = defaultDraws;
  if (Trim(line).empty()) return f;
  const TScriptOptions o = TextToScriptOptions(ScriptLineField(line, kOptionsField));
  f.StartCombsType = o.StartCombsType;
  f.DrawsCount = o.DrawsExclude;
  f.ResultCombsMode = o.ResultCombsMode;
  f.ClearStakes = o.ClearStakes;
  f.NewOnly = o.NewOnly;
  for (int i = 0; i < kStepFilters; ++i) f.Filters[static_cast<size_t>(i)] = ScriptLineField(line, kFirstFilterField + i);
  f.Comment = ScriptLineField(line, kCommentField);
  return f;
}

std::string ScriptEditorLine(const TScriptEditorFields& f) {
  TScriptOptions o;
  o.StartCombsType = static_cast<uint8_t>(std::clamp(f.StartCombsType, 0, kStartCombsCount - 1));
  o.DrawsExclude = std::max<int32_t>(0, f.DrawsCount);
  o.ResultCombsMode = static_cast<uint8_t>(std::clamp(f.ResultCombsMode, 0, kResultCombsCount - 1));
  o.ClearStakes = f.ClearStakes;
  o.NewOnly = f.NewOnly;
  // A "|" or a line break typed into a field would move the following fields or split the line, so
  // they are replaced: "|" by "/", line breaks by blanks.
  auto clean = [](std::string s) {
    for (char& c : s)
      if (c == '|') c = '/';
      else if (c == '\r' || c == '\n') c = ' ';
    return s;
  };
  std::array<std::string, kStepFilters> filters;
  for (size_t i = 0; i < filters.size(); ++i) filters[i] = clean(f.Filters[i]);
  return BuildScriptLine(ScriptOptionsToText(o), filters, clean(f.Comment));
}

}  // namespace quintar
