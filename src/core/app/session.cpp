#include "app/session.h"

#include <algorithm>

#include "app/cmdline.h"
#include "stats/configedit.h"
#include "util/filelock.h"
#include "util/format.h"
#include "util/safefile.h"

namespace quintar {

Session::Session(std::string dataDir, IHost& host)
    : dataDir_(IncludeTrailingSlash(dataDir)), host_(&host) {
  Frm = FormSettings(FilePath(".frm"));
  Stats.Draws = &Archive.Draws();
  Stakes.SetPath(FilePath(".lsk"));
  // The statistic descriptions are shipped in "help/" beside the program file, or of the install prefix.
  if (StatPagesFolder().empty()) SetStatPagesFolder(ProgramFilesFolder(CurrentProgramPath()) + "help/");
}

std::string Session::FilePath(std::string_view ext) const { return dataDir_ + kBaseName + std::string(ext); }

void Session::BeginBusy() {
  if (++busy_ == 1) host_->BusyChanged(true);
}

void Session::EndBusy() {
  if (busy_ > 0 && --busy_ == 0) host_->BusyChanged(false);
}

void Session::ShowStatus(const std::string& text) {
  status_ = text;
  panels_[6] = text;
  host_->ShowStatus(text);
}

void Session::SetPanel(int index, const std::string& text) {
  if (index < 0 || index > 6) return;
  panels_[static_cast<size_t>(index)] = text;
  host_->SetPanel(index, text);
}

void Session::ShowFailure(std::string_view resource, const std::exception& e) {
  ShowError(std::string(resource) + "\r\r" + e.what());
}

void Session::ReadFormKeys() {
  IniFile ini = Frm.Open();
  SortedView = ini.ReadBool(kMainForm, "SortedDraws", false);
  ColorDraws = ini.ReadBool(kMainForm, "ColorDraws", true);
  ColorCombs = ini.ReadBool(kMainForm, "ColorCombs", true);
  CombsExclude = std::max(0, ini.ReadInteger(kMainForm, "DrawsExclude", 0));
  ReadRatingsKeys();
  ReadStakesKeys();
  ReadScriptRunKeys();
  ReadDrawsStatKeys();
  Views.ReadKeys();
}

void Session::LoadArchive() {
  const std::string path = FilePath(".ldr");
  if (!FileExists(path)) {
    Archive.Clear();
    return;
  }
  {
    BusyScope busy(*this);
    ShowStatus("Загрузка файла тиражей...");
    try {
      Archive.LoadFromFile(path);
    } catch (const std::exception& e) {
      ShowFailure("Ошибка чтения файла тиражей!", e);
    }
    RefreshDrawsList(true);
    ShowStatus("");
  }
}

bool Session::SaveArchive() {
  bool ok = true;
  {
    BusyScope busy(*this);
    ShowStatus("Сохранение файла тиражей...");
    try {
      Archive.SaveToFile(FilePath(".ldr"));
    } catch (const std::exception& e) {
      ok = false;
      ShowFailure("Ошибка записи в файл тиражей!", e);
    }
    ShowStatus("");
  }
  RefreshDrawsList(true);
  return ok;
}

bool Session::UpdateArchive(const std::function<bool()>& change) {
  const std::string path = FilePath(".ldr");
  try {
    // Another process waits for the lock at most this long; a whole download month is far quicker.
    TFileLock lock(path + ".lock", 30000);
    if (Archive.FileChanged(path)) {
      try {
        Archive.LoadFromFile(path);
      } catch (const std::exception& e) {
        // The archive in memory is not what the file holds: saving it now could drop the other's draws.
        ShowFailure("Ошибка чтения файла тиражей!", e);
        return false;
      }
      RefreshDrawsList(true);
    }
    if (!change()) return false;
    return SaveArchive();
  } catch (const FileError& e) {
    ShowFailure("Ошибка записи в файл тиражей!", e);
    return false;
  }
}

void Session::RefreshDrawsList(bool force) {
  if (drawsOffset_ > 0 && Archive.Count() > 0 && drawsOffset_ >= Archive.Count()) drawsOffset_ = Archive.Count() - 1;
  if (drawsOffset_ < 0) drawsOffset_ = 0;
  NextDrawNums.reset();
  if (drawsOffset_ > 0 && drawsOffset_ < Archive.Count()) {
    const TDraw& d = Archive[Archive.High() - drawsOffset_ + 1];
    for (int i = 0; i < NUMS_IN_DRAW; ++i)
      if (d.Nums[i] >= 1 && d.Nums[i] <= MAX_NUMBER) NextDrawNums.set(d.Nums[i]);
  }
  SetPanel(0, Format("Архив тиражей: %d", {Archive.Count()}));
  SetPanel(1, Format("Следующий тираж: %d", {Archive.NextDrawNumber(drawsOffset_)}));
  SetPanel(2, Archive.NextDrawText(drawsOffset_));
  host_->Changed(force ? Change::DrawsListForce : Change::DrawsList);
}

void Session::RefreshViews(bool force) {
  if (ViewsSuspended) return;
  ComputeDrawsStat(force);
  Views.Refresh(force);
  host_->Changed(Change::Views);
}

void Session::SetDrawsOffset(int offset) {
  if (offset < 0) offset = 0;
  if (Archive.Count() > 0 && offset > Archive.Count() - 1) offset = Archive.Count() - 1;
  if (offset == drawsOffset_) return;
  drawsOffset_ = offset;
  RefreshDrawsList(false);
  RefreshViews(false);
}

std::vector<std::string> Session::DrawListCaptions() {
  return {"Тираж", "1", "2", "3", "4", "5", "6", "7", "Pb", "S", "Дата тиража"};
}

TDraw Session::DrawListDraw(int row) const {
  TDraw d = Archive.DrawFromNewest(row);
  if (SortedView) SortDrawNums(d);
  return d;
}

std::vector<std::string> Session::DrawListCells(int row) const {
  TDraw d = DrawListDraw(row);
  std::vector<std::string> cells;
  cells.reserve(11);
  cells.push_back(std::to_string(d.Number));
  int sum = 0;
  for (int i = 0; i < NUMS_IN_DRAW; ++i) {
    cells.push_back(std::to_string(d.Nums[i]));
    sum += d.Nums[i];
  }
  cells.push_back(std::to_string(d.Bonus));
  cells.push_back(std::to_string(sum));
  cells.push_back(d.Date());
  return cells;
}

std::optional<uint32_t> Session::DrawListCellColor(int row, int column) const {
  if (row < 0 || row >= Archive.Count()) return std::nullopt;
  if (ColorDraws && column >= 1 && column <= NUMS_IN_DRAW)
    return ChannelColor(DrawListDraw(row).Nums[column - 1], ChannelSize());
  if (row == drawsOffset_) return 0xFFAAAAu;
  if (ColorDraws) return 0xFFFFFFu;
  return std::nullopt;
}

bool Session::DrawNumberUsed(int number, int exceptIndex) const {
  for (int i = 0; i < Archive.Count(); ++i)
    if (i != exceptIndex && Archive[i].Number == number) return true;
  return false;
}

TDraw Session::NewDraw() const {
  TDraw d = ZeroDraw();
  d.Number = Archive.NextDrawNumber(0);
  return d;
}

namespace {

constexpr const char* kDrawNumberTaken = "Тираж с номером %d уже есть в архиве!";

}  // namespace

bool Session::DrawsAdd(const TDraw& draw) {
  const bool ok = UpdateArchive([&] {
    TDraw d = draw;
    if (d.Number == 0) d.Number = Archive.NextDrawNumber(0);
    if (d.Number < 1 || d.Number > kMaxDrawNumber) {
      ShowError(kBadDrawNumberText);
      return false;
    }
    if (Archive.IndexOfDraw(d.Number) >= 0) {
      ShowError(Format(kDrawNumberTaken, {d.Number}));
      return false;
    }
    Archive.AppendDraw(d);
    return true;
  });
  if (ok) RefreshViews(false);
  return ok;
}

bool Session::DrawsEdit(int row, const TDraw& d) {
  // The draw is found again by its number once the file was read anew: another process may have changed
  // the archive since the list showed that row.
  const int index = DrawIndexOfRow(row);
  if (index < 0 || index >= Archive.Count()) {
    ShowError(Format("Запись со индексом %d в файле данных не найдена!", {index}));
    return false;
  }
  const int32_t number = Archive[index].Number;
  const bool ok = UpdateArchive([&] {
    if (d.Number < 1 || d.Number > kMaxDrawNumber) {
      ShowError(kBadDrawNumberText);
      return false;
    }
    const int at = Archive.IndexOfDraw(number);
    const int other = Archive.IndexOfDraw(d.Number);
    if (other >= 0 && other != at) {
      ShowError(Format(kDrawNumberTaken, {d.Number}));
      return false;
    }
    try {
      Archive.ReplaceDraw(at, d);
    } catch (const std::exception& e) {
      ShowError(e.what());
      return false;
    }
    return true;
  });
  if (ok) RefreshViews(false);
  return ok;
}

bool Session::DrawsDel(const std::vector<int>& rows) {
  if (rows.empty()) return false;
  if (!host_->Ask(AskKind::Delete, DeleteRowsQuestion(static_cast<int>(rows.size())))) return false;
  // Each row is found again by its draw number: the archive need not be in number order, and another
  // process may have changed it since the list showed those rows.
  std::vector<int> sorted = rows;
  std::sort(sorted.begin(), sorted.end(), std::greater<int>());
  std::vector<int> numbers;
  for (int r : sorted)
    if (r >= 0 && r < Archive.Count()) numbers.push_back(Archive.DrawFromNewest(r).Number);
  UpdateArchive([&] {
    BusyScope busy(*this);
    StatusScope status(*this, "Удаление выделенных тиражей....");
    bool changed = false;
    try {
      for (int number : numbers) {
        const int index = Archive.IndexOfDraw(number);
        if (index < 0) continue;  // deleted by another process meanwhile
        Archive.DeleteDraw(index);
        changed = true;
      }
    } catch (const std::exception& e) {
      ShowError(e.what());
    }
    return changed;
  });
  RefreshDrawsList(false);
  RefreshViews(false);
  return true;
}

int Session::DrawsImport(const std::string& path) {
  int added = -1;
  std::string text;
  {
    BusyScope busy(*this);
    StatusScope status(*this, Format("Импорт тиражей из файла \"%s\"...", {path}));
    try {
      text = CsvFileText(ReadWholeFile(path));
      added = 0;
    } catch (const std::exception& e) {
      ShowError(e.what());
    }
  }
  if (added < 0) return -1;
  const bool ok = UpdateArchive([&] {
    BusyScope busy(*this);
    StatusScope status(*this, Format("Импорт тиражей из файла \"%s\"...", {path}));
    try {
      added = Archive.ImportCsvText(text);
    } catch (const std::exception& e) {
      ShowError(e.what());
      added = -1;
      return false;
    }
    return true;
  });
  return ok ? added : -1;
}

bool Session::DrawsExport(const std::string& path) {
  BusyScope busy(*this);
  ShowStatus(Format("Экспорт тиражей в файл \"%s\"...", {path}));
  bool ok = true;
  try {
    Archive.ExportCsv(path);
  } catch (const std::exception& e) {
    ShowError(e.what());
    ok = false;
  }
  ShowStatus("");
  return ok;
}

void Session::DrawsSorted() {
  SortedView = !SortedView;
  try {
    Frm.WriteFormBool(kMainForm, "SortedDraws", SortedView);
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
  host_->Changed(Change::DrawsListForce);
  RefreshViews(true);
}

void Session::ViewColorDraws() {
  {
    BusyScope busy(*this);
    ColorDraws = !ColorDraws;
    try {
      Frm.WriteFormBool(kMainForm, "ColorDraws", ColorDraws);
    } catch (const std::exception& e) {
      ShowError(e.what());
    }
  }
  host_->Changed(Change::DrawsListForce);
}

// Statistic catalogue ----------------------------------------------------------------------------------

bool Session::ReadSettings() {
  StatusScope status(*this, "Загрузка файла конфигурации...");
  try {
    Stats.ReadSettings(FilePath(".ini"));
  } catch (const std::exception& e) {
    ShowFailure("Ошибка чтения файла конфигурации!", e);
    return false;
  }
  return true;
}

bool Session::WriteSettings() {
  StatusScope status(*this, "Сохранение файла конфигурации...");
  try {
    Stats.WriteSettings(FilePath(".ini"));
  } catch (const std::exception& e) {
    ShowFailure("Ошибка записи в файл конфигурации!", e);
    return false;
  }
  return true;
}

bool Session::WriteShreddingSettings() {
  try {
    Stats.WriteShreddingSettings(FilePath(".ini"));
  } catch (const std::exception& e) {
    ShowFailure("Ошибка записи в файл конфигурации!", e);
    return false;
  }
  return true;
}

bool Session::WriteCombsGenSettings() {
  try {
    Stats.WriteCombsGenSettings(FilePath(".ini"));
  } catch (const std::exception& e) {
    ShowFailure("Ошибка записи в файл конфигурации!", e);
    return false;
  }
  return true;
}

bool Session::LoadStatNames(const std::string& path, bool withFilters) {
  try {
    Stats.LoadStatNames(path, withFilters);
  } catch (const std::exception& e) {
    ShowFailure("Ошибка загрузки списка фильтров!", e);
    return false;
  }
  return true;
}

bool Session::SaveStatNames(const std::string& path, bool withFilters, bool allNames) {
  try {
    Stats.SaveStatNames(path, withFilters, allNames);
  } catch (const std::exception& e) {
    ShowFailure("Ошибка сохранения списка фильтров!", e);
    return false;
  }
  return true;
}

void Session::StartCatalogue() {
  ReadSettings();
  Stats.Draws = &Archive.Draws();
  Stats.BuildCatalogue();
  LoadStatNames(FilePath(".flt"), true);
  RebuildStatLists(false, false);
}

void Session::RebuildStatLists(bool reload, bool keepSelection) {
  if (reload) {
    const std::string flt = FilePath(".flt");
    SaveStatNames(flt, true, false);
    Stats.BuildCatalogue();
    Stats.SetAllFavorite();
    LoadStatNames(flt, true);
  }
  Stats.FillChoosers(DrawsStatChooser, DrawsGraphChooser, keepSelection);
  host_->Changed(Change::Settings);
}

bool Session::EditConfig(const TConfigData& data, TStatGroups* changedGroups) {
  std::string error = ConfigDataError(data);
  if (!error.empty()) {
    ShowError(error);
    return false;
  }
  TStatGroups groups;
  if (data.MatrixCols != Stats.Config.MatrixCols) groups.set(4);
  if (data.ChannelSize != Stats.Config.ChannelSize) groups.set(3);
  if (SegmentsToText(data.MatrixSegments) != SegmentsToText(Stats.Config.MatrixSegments)) groups.set(5);
  Stats.Config = data;
  WriteSettings();
  // Parameter ranges depend on these settings.
  RebuildStatLists(true, true);
  // The prefetch files of the changed groups hold other values now.
  BuildAllPrefetches(false, groups);
  if (changedGroups) *changedGroups = groups;
  RefreshViews(true);
  // The card, the draw list and the combination list colour numbers by channel.
  host_->Changed(Change::DrawsListForce);
  host_->Changed(Change::CombsList);
  return true;
}

}  // namespace quintar
