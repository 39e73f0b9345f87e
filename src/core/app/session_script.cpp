// The script list of the session: its files, its commands and the script status bar.
#include <algorithm>

#include "app/session.h"
#include "scripts/scriptfile.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

static_assert(kScriptPanels == 5, "the session keeps five script panel texts");

void Session::ScriptChanged() {
  SetScriptPanel(spLines, ScriptLinesText(static_cast<int>(ScriptLines.size())));
  host_->Changed(Change::Script);
  host_->Changed(Change::Actions);
}

void Session::LoadScript() {
  if (FileExists(ScriptFilePath())) LoadScriptFile(ScriptFilePath(), false);
  else ScriptChanged();
}

bool Session::LoadScriptFile(const std::string& path, bool append) {
  bool ok = true;
  {
    BusyScope busy(*this);
    StatusScope status(*this, Format(kScriptLoading, {path}));
    try {
      std::vector<std::string> lines = ReadScriptFile(path);
      if (append) AppendScriptLines(ScriptLines, lines);
      else ScriptLines = std::move(lines);
    } catch (const std::exception& e) {
      ShowError(Format(kScriptReadError, {path, e.what()}));
      ok = false;
    }
  }
  ScriptChanged();
  return ok;
}

bool Session::SaveScriptFile(const std::string& path) {
  BusyScope busy(*this);
  StatusScope status(*this, Format(kScriptSaving, {path}));
  try {
    WriteScriptFile(path, ScriptLines);
  } catch (const std::exception& e) {
    ShowError(Format(kScriptWriteError, {path, e.what()}));
    return false;
  }
  return true;
}

bool Session::SaveScript() {
  bool ok = SaveScriptFile(ScriptFilePath());
  ScriptChanged();
  return ok;
}

int Session::AddScriptLine(const std::string& text) {
  ScriptLines.push_back(CleanScriptLine(text));
  SaveScript();
  return static_cast<int>(ScriptLines.size()) - 1;
}

std::vector<std::string> Session::ScriptListCells(int row) const {
  if (row < 0 || row >= static_cast<int>(ScriptLines.size())) return std::vector<std::string>(2 + kStepFilters);
  return quintar::ScriptListCells(ScriptLines[static_cast<size_t>(row)], StatCodes());
}

void Session::SetScriptPanel(int index, const std::string& text) {
  if (index < 0 || index >= kScriptPanels) return;
  scriptPanels_[static_cast<size_t>(index)] = text;
  host_->SetScriptPanel(index, text);
  host_->ProcessEvents();
}

void Session::ShowScriptStatus(int line, const std::string& text) {
  SetScriptPanel(spCycle, ScriptCycleText(ScriptCycle));
  SetScriptPanel(spLine, ScriptLineText(line));
  SetScriptPanel(spStakes, ScriptStakesText(ScriptStakeCount));
  SetScriptPanel(spText, text);
}

void Session::ShowScriptStakes() { SetScriptPanel(spStakes, ScriptStakesText(ScriptStakeCount)); }

// Commands ----------------------------------------------------------------------------------------------

bool Session::ScriptOpen(const std::string& path) {
  if (!LoadScriptFile(path, false)) return false;
  SaveScript();
  return true;
}

bool Session::ScriptSave(const std::string& path) { return SaveScriptFile(path); }

bool Session::ScriptLoad(const std::string& path) {
  if (!LoadScriptFile(path, true)) return false;
  SaveScript();
  return true;
}

int Session::ScriptAdd(const std::string& line) { return AddScriptLine(line); }

int Session::ScriptEmpty() { return AddScriptLine(""); }

bool Session::CanScriptClone(int selected) const {
  return IsIdle() && selected >= 0 && selected < static_cast<int>(ScriptLines.size()) &&
         !Trim(ScriptLines[static_cast<size_t>(selected)]).empty();
}

int Session::ScriptClone(const std::string& line) { return AddScriptLine(line); }

bool Session::ScriptEdit(int index, const std::string& line) {
  if (index < 0 || index >= static_cast<int>(ScriptLines.size())) {
    ShowError(Format(kScriptLineGone, {index + 1}));
    return false;
  }
  ScriptLines[static_cast<size_t>(index)] = CleanScriptLine(line);
  SaveScript();
  return true;
}

bool Session::ScriptDel(const std::vector<int>& rows) {
  std::vector<int> sorted;
  for (int r : rows)
    if (r >= 0 && r < static_cast<int>(ScriptLines.size())) sorted.push_back(r);
  std::sort(sorted.begin(), sorted.end(), std::greater<int>());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  if (sorted.empty()) return false;
  if (!host_->Ask(AskKind::Delete, DeleteRowsQuestion(static_cast<int>(sorted.size())))) return false;
  {
    BusyScope busy(*this);
    StatusScope status(*this, "Удаление строк...");
    for (int r : sorted) ScriptLines.erase(ScriptLines.begin() + r);
  }
  SaveScript();
  return true;
}

bool Session::ScriptClr() {
  if (ScriptLines.empty()) return false;
  if (!host_->Ask(AskKind::Delete, DeleteRowsQuestion(static_cast<int>(ScriptLines.size())))) return false;
  ScriptLines.clear();
  SaveScript();
  return true;
}

bool Session::CanScriptUp(int selected) const {
  return IsIdle() && selected > 0 && selected < static_cast<int>(ScriptLines.size());
}

int Session::ScriptUp(int index) {
  if (!CanScriptUp(index)) return -1;
  std::swap(ScriptLines[static_cast<size_t>(index)], ScriptLines[static_cast<size_t>(index - 1)]);
  SaveScript();
  return index - 1;
}

bool Session::CanScriptDown(int selected) const {
  return IsIdle() && selected >= 0 && selected + 1 < static_cast<int>(ScriptLines.size());
}

int Session::ScriptDown(int index) {
  if (!CanScriptDown(index)) return -1;
  std::swap(ScriptLines[static_cast<size_t>(index)], ScriptLines[static_cast<size_t>(index + 1)]);
  SaveScript();
  return index + 1;
}

}  // namespace quintar
