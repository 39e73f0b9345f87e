// The combination list, its undo copy, the script runner's buffer and the list commands of the session.
#include <algorithm>
#include <new>

#include "app/session.h"
#include "combs/combsgen.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

namespace {

constexpr const char* kPleaseWait = "Подождите пожалуйста...";

// The text of a failure that has no message of its own for the person.
std::string FailureText(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e)) return "Недостаточно памяти";
  return e.what();
}

// Shows a status text only when asked to, and clears it at the end.
class OptionalStatus {
 public:
  OptionalStatus(Session& s, bool show, const char* text) : s_(s), show_(show) {
    if (show_) s_.ShowStatus(text);
  }
  ~OptionalStatus() {
    if (show_) s_.ShowStatus("");
  }
  OptionalStatus(const OptionalStatus&) = delete;
  OptionalStatus& operator=(const OptionalStatus&) = delete;

 private:
  Session& s_;
  bool show_;
};

}  // namespace

void Session::ReserveCombsLists() {
  CurrentCombs.Reserve(COMBS_TOTAL);
  PreviousCombs.Reserve(COMBS_TOTAL);
  CombsBuffer.Reserve(COMBS_TOTAL);
  (void)MatchChances();  // the chance tables of the rating are computed once, here at start-up
}

void Session::SaveUndo(bool show) {
  OptionalStatus status(*this, show, "Создание файла отката...");
  try {
    PreviousCombs.CopyFrom(CurrentCombs);
  } catch (...) {
    PreviousCombs.Clear();
    throw;
  }
}

void Session::RestoreUndo(bool show) {
  {
    OptionalStatus status(*this, show, "Отмена изменений...");
    try {
      CurrentCombs.CopyFrom(PreviousCombs);
    } catch (...) {
      CurrentCombs.Clear();
      UpdateCombsView();
      throw;
    }
    PreviousCombs.Clear();
  }
  UpdateCombsView();
}

void Session::UpdateCombsView() {
  SetPanel(3, Format("Комбинаций: %d", {CurrentCombs.Count()}));
  host_->Changed(Change::CombsList);
  host_->Changed(Change::Actions);
}

bool Session::StoreCombsBuffer(int drawsOffset, int excluded) {
  const TCombsBufferKey key{drawsOffset, excluded};
  if (CombsBuffer.Key == key) return true;
  StatusScope status(*this, "Создание буфера комбинаций...");
  try {
    CombsBuffer.Key = key;
    CombsBuffer.CopyFrom(CurrentCombs);
  } catch (const std::exception& e) {
    // A buffer that could not be filled must not claim the key.
    CombsBuffer.Reset();
    ShowFailure("Ошибка создания буфера комбинаций!", std::runtime_error(FailureText(e)));
    return false;
  }
  return true;
}

bool Session::LoadCombsBuffer(int drawsOffset, int excluded) {
  if (!(CombsBuffer.Key == TCombsBufferKey{drawsOffset, excluded}) || CombsBuffer.Empty()) return false;
  {
    StatusScope status(*this, "Загрузка буфера комбинаций...");
    try {
      CurrentCombs.CopyFrom(CombsBuffer);  // leaves the list as it was when it fails
    } catch (const std::exception& e) {
      ShowFailure("Ошибка загрузки буфера комбинаций!", std::runtime_error(FailureText(e)));
      return false;
    }
  }
  UpdateCombsView();
  return true;
}

void Session::ResetCombsBuffer() { CombsBuffer.Reset(); }

bool Session::ReadCombsFile(const std::string& path) {
  CurrentCombs.Clear();
  try {
    AppendCombsFile(path, CurrentCombs);
  } catch (const std::exception& e) {
    ShowError(Format("Ошибка чтения файла \"%s\"!\r\r%s", {path, FailureText(e)}));
    return false;
  }
  return true;
}

bool Session::WriteCombsFile(const std::string& path) {
  try {
    SaveCombsFile(path, CurrentCombs);
  } catch (const std::exception& e) {
    ShowError(Format("Ошибка записи в файл \"%s\"!\r\r%s", {path, FailureText(e)}));
    return false;
  }
  return true;
}

void Session::GenerateCombs(bool show, const TCombsGenParams& params) {
  auto fill = [&] {
    if (params.Mode == kGenModeFile) {
      ReadCombsFile(params.Params);  // shows its own message and keeps what it read
    } else {
      quintar::GenerateCombs(params.Mode, GenNumbersFromText(params.Params), CurrentCombs);
    }
  };
  if (!show) {
    fill();
    return;
  }
  BusyScope busy(*this);
  StatusScope status(*this, "Генерация возможных комбинаций...");
  bool failed = false;
  try {
    CurrentCombs.Clear();
    fill();
    PreviousCombs.Reserve(static_cast<size_t>(CurrentCombs.Count()));
    CombsBuffer.Reserve(static_cast<size_t>(CurrentCombs.Count()));
  } catch (const std::exception& e) {
    ShowFailure("Ошибка генерации файла комбинаций!", std::runtime_error(FailureText(e)));
    failed = true;
  }
  ClearFilterLog();
  // After a failure the list before the generation can still be brought back.
  if (!failed) PreviousCombs.Clear();
  CombsBuffer.Clear();
  UpdateCombsView();
}

void Session::ExcludeLastDraws(int n) {
  BusyScope busy(*this);
  StatusScope status(*this, ExcludeStatusText(n));
  try {
    quintar::ExcludeLastDraws(Archive, DrawsOffset(), n, PreviousCombs, CurrentCombs,
                              [this](const std::string& text) { ShowStatus(text); });
  } catch (...) {
    UpdateCombsView();
    throw;
  }
  AddFilterLog(kLogLastDraws, std::to_string(n), CurrentCombs.Count(), TFilterMark::Delete);
  UpdateCombsView();
}

void Session::AddFilterLog(std::string caption, std::string values, int count, TFilterMark mark) {
  FilterLog.Add(std::move(caption), std::move(values), count, mark);
  host_->Changed(Change::FilterLog);
}

void Session::ClearFilterLog() {
  FilterLog.Clear();
  host_->Changed(Change::FilterLog);
}

void Session::RemoveLastFilterLog() {
  FilterLog.RemoveLast();
  host_->Changed(Change::FilterLog);
}

std::vector<std::string> Session::CombsListCaptions() {
  return {"№ п.п.", "1", "2", "3", "4", "5", "6", "7", "S"};
}

std::vector<std::string> Session::CombsListCells(int row) const {
  const TComb& c = CurrentCombs[row];
  std::vector<std::string> cells;
  cells.reserve(9);
  cells.push_back(std::to_string(row + 1));
  int sum = 0;
  for (int i = 0; i < NUMS_IN_DRAW; ++i) {
    cells.push_back(std::to_string(c.n[i]));
    sum += c.n[i];
  }
  cells.push_back(std::to_string(sum));
  return cells;
}

std::optional<uint32_t> Session::CombsListCellColor(int row, int column) const {
  if (!ColorCombs || row < 0 || row >= CurrentCombs.Count()) return std::nullopt;
  if (column >= 1 && column <= NUMS_IN_DRAW) return ChannelColor(CurrentCombs[row].n[column - 1], ChannelSize());
  return 0xFFFFFFu;
}

void Session::CombsGen(const TCombsGenParams& params) {
  if (!CanCombsGen()) return;
  try {
    BusyScope busy(*this);
    SaveUndo(true);
  } catch (const std::exception& e) {
    ShowError(FailureText(e));
    return;
  }
  GenerateCombs(true, params);
}

void Session::CombsDelExists(int n) {
  if (!CanCombsDelExists(n)) return;
  try {
    BusyScope busy(*this);
    SaveUndo(true);
    ExcludeLastDraws(n);
  } catch (const std::exception& e) {
    ShowError(FailureText(e));
  }
}

bool Session::CombsExcludeEnter(const std::string& text) {
  auto v = TryStrToInt64(Trim(text));
  if (!v || *v < 0 || *v > 2147483647) return false;
  CombsExclude = static_cast<int>(*v);
  if (!CanCombsDelExists(CombsExclude)) return false;
  CombsDelExists(CombsExclude);
  return true;
}

bool Session::CombsOpen(const std::string& path) {
  if (!CanCombsOpen()) return false;
  BusyScope busy(*this);
  try {
    SaveUndo(true);
  } catch (const std::exception& e) {
    ShowError(FailureText(e));
    return false;
  }
  bool ok;
  {
    StatusScope status(*this, Format("Загрузка файла \"%s\"...", {path}));
    ok = ReadCombsFile(path);
  }
  bool restored = false;
  if (!ok) {
    try {
      RestoreUndo(false);
      restored = true;
    } catch (const std::exception& e) {
      ShowError(FailureText(e));
    }
  }
  PreviousCombs.Clear();
  // The list brought back after a failed read keeps the log that describes it.
  if (!restored) ClearFilterLog();
  UpdateCombsView();
  return ok;
}

bool Session::CombsSave(const std::string& path) {
  if (!CanCombsSave()) return false;
  BusyScope busy(*this);
  StatusScope status(*this, Format("Сохранение файла \"%s\"...", {path}));
  return WriteCombsFile(path);
}

std::string Session::CombsCopy(const TRowSelection& sel) {
  BusyScope busy(*this);
  StatusScope status(*this, kPleaseWait);
  return CombsClipboardText(CurrentCombs, sel);
}

bool Session::CombsPaste(const std::string& text) {
  if (!IsIdle()) return false;
  BusyScope busy(*this);
  StatusScope status(*this, kPleaseWait);
  const std::vector<std::string> lines = SplitTextLines(text);
  if (lines.empty()) return false;
  try {
    SaveUndo(false);
  } catch (const std::exception& e) {
    ShowError(FailureText(e));
    return false;
  }
  bool ok = true;
  try {
    CurrentCombs.SetCount(static_cast<int>(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) TextToComb(lines[i], CurrentCombs[static_cast<int>(i)]);
  } catch (const std::exception& e) {
    ok = false;
    ShowError(FailureText(e));
    try {
      RestoreUndo(false);
    } catch (const std::exception& e2) {
      ShowError(FailureText(e2));
      ClearFilterLog();
    }
  }
  if (ok) ClearFilterLog();
  PreviousCombs.Clear();
  UpdateCombsView();
  return ok;
}

TRowSelection Session::CombsSelectAll() {
  if (CurrentCombs.Empty()) return {};
  StatusScope status(*this, kPleaseWait);
  return {TRowRange{0, CurrentCombs.Count() - 1}};
}

void Session::CombsUndo() {
  if (!CanCombsUndo()) return;
  BusyScope busy(*this);
  try {
    RestoreUndo(true);
    RemoveLastFilterLog();
  } catch (const std::exception& e) {
    ShowError(FailureText(e));
    ClearFilterLog();
  }
}

void Session::CombsDelSelected(const TRowSelection& sel) {
  const TRowSelection rows = NormalizeSelection(sel, CurrentCombs.Count());
  int selected = 0;
  for (const TRowRange& r : rows) selected += r.Last - r.First + 1;
  if (!CanCombsDelSelected(selected)) return;
  BusyScope busy(*this);
  try {
    SaveUndo(true);
  } catch (const std::exception& e) {
    ShowError(FailureText(e));
    return;
  }
  {
    StatusScope status(*this, "Удаление выделенных комбинаций...");
    const TComb* in = PreviousCombs.Data();
    const int total = PreviousCombs.Count();
    CurrentCombs.Clear();
    TComb* out = CurrentCombs.Tail(static_cast<size_t>(total - selected));
    int from = 0;
    size_t kept = 0;
    for (const TRowRange& r : rows) {
      out = std::copy(in + from, in + r.First, out);
      kept += static_cast<size_t>(r.First - from);
      from = r.Last + 1;
    }
    std::copy(in + from, in + total, out);
    kept += static_cast<size_t>(total - from);
    CurrentCombs.Commit(kept);
    AddFilterLog(kLogSelectedCombs, std::to_string(selected), CurrentCombs.Count(), TFilterMark::Delete);
  }
  UpdateCombsView();
}

int Session::CombsCheckNums() {
  int n;
  {
    BusyScope busy(*this);
    StatusScope status(*this, kPleaseWait);
    n = CountDistinct(reinterpret_cast<const uint8_t*>(CurrentCombs.Data()), CurrentCombs.Count());
  }
  ShowInfo(Format("В текущем списке комбинаций содержится %d уникальных номеров", {n}));
  return n;
}

std::vector<std::string> Session::CombsFindInDraws(int row) {
  std::vector<std::string> lines;
  if (!CanCombsFindInDraws(row)) return lines;
  {
    BusyScope busy(*this);
    StatusScope status(*this, "Поиск по архиву тиражей...");
    const uint64_t key = NumbersKey(CurrentCombs[row].n);
    for (int i = Archive.High(); i >= 0 && lines.size() <= 25; --i)
      if (NumbersKey(Archive[i].Nums) == key) lines.push_back(DrawInfoText(Archive[i]));
  }
  if (lines.empty())
    ShowInfo("Выделенная комбинация не найдена архиве тиражей!");
  else
    ShowInfo("Выделенная комбинация найдена в следующих тиражах:\r\r" + Join(lines, "\r"));
  return lines;
}

void Session::ViewColorCombs() {
  if (!CanViewColorCombs()) return;
  {
    BusyScope busy(*this);
    ColorCombs = !ColorCombs;
    try {
      Frm.WriteFormBool(kMainForm, "ColorCombs", ColorCombs);
    } catch (const std::exception& e) {
      ShowError(e.what());
    }
  }
  host_->Changed(Change::CombsList);
}

}  // namespace quintar
