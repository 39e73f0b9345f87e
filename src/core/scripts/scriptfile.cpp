#include "scripts/scriptfile.h"

#include "combs/combslist.h"
#include "scripts/scriptline.h"
#include "util/cp1251.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

std::vector<std::string> ScriptTextLines(std::string_view fileText) {
  std::vector<std::string> lines = SplitTextLines(fileText);
  for (std::string& l : lines) l = Cp1251ToUtf8(l);
  return lines;
}

std::string ScriptFileText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) {
    text += Utf8ToCp1251(l);
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> ReadScriptFile(const std::string& path) { return ScriptTextLines(ReadWholeFile(path)); }

void WriteScriptFile(const std::string& path, const std::vector<std::string>& lines) {
  WriteFileAtomic(path, ScriptFileText(lines));
}

void AppendScriptLines(std::vector<std::string>& script, const std::vector<std::string>& added) {
  if (added.empty()) return;
  if (!script.empty() && !script.back().empty()) script.emplace_back();
  script.insert(script.end(), added.begin(), added.end());
}

std::string CleanScriptLine(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  return s;
}

std::vector<std::string> ScriptListCaptions() {
  std::vector<std::string> c = {"Комментарии", "Опции"};
  for (int i = 1; i <= kStepFilters; ++i) c.push_back(Format("Фильтр %d", {i}));
  return c;
}

std::vector<std::string> ScriptListCells(std::string_view line, const IStatCodes& codes) {
  std::vector<std::string> cells(2 + kStepFilters);
  if (Trim(line).empty()) return cells;
  cells[0] = ScriptLineField(line, kCommentField);
  cells[1] = ScriptOptionsCaption(TextToScriptOptions(ScriptLineField(line, kOptionsField)));
  for (int i = 0; i < kStepFilters; ++i)
    cells[static_cast<size_t>(2 + i)] =
        FilterItemToText(TextToFilterItem(ScriptLineField(line, kFirstFilterField + i), codes), codes);
  return cells;
}

std::string ScriptLinesText(int lines) { return Format("Строк: %d", {lines}); }
std::string ScriptCycleText(int cycle) { return Format("Цикл: %d", {cycle}); }
std::string ScriptLineText(int line) { return Format("Строка: %d", {line}); }
std::string ScriptStakesText(int stakes) { return Format("Ставок: %d", {stakes}); }

std::string ScriptVariantText(int variant, int variants, std::string_view filters) {
  return Format("Фильтр %d из %d: %s", {variant, variants, filters});
}

}  // namespace quintar
