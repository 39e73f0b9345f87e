#include "combs/tables.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "app/session.h"
#include "util/cp1251.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

std::string TTableRec::Name() const {
  return Cp1251ToUtf8(std::string_view(NameChars, std::min<size_t>(NameLen, sizeof NameChars)));
}

void TTableRec::SetName(std::string_view text) {
  std::string cp = Utf8ToCp1251(text);
  if (cp.size() > sizeof NameChars) cp.resize(sizeof NameChars);
  std::memset(NameChars, 0, sizeof NameChars);
  std::memcpy(NameChars, cp.data(), cp.size());
  NameLen = static_cast<uint8_t>(cp.size());
}

void AdvanceTable(TTableRec& t, const TDrawArchive& archive, int offset) {
  TComb base{};
  if (t.FromLastDraw) {
    const int index = archive.High() - offset;
    if (offset >= 0 && index >= 0 && index < archive.Count()) base = CombOf(archive[index]);
  } else {
    base = t.Current;
  }
  ShiftComb(base, t.Step, t.Current);
  SortComb(t.Current);
  ++t.Stakes;
}

std::vector<std::string> TableCaptions() {
  return {"Комментарий", "Стартовая комбинация", "Шаг", "Текущая комбинация", "Ставок"};
}

std::vector<std::string> TableCells(const TTableRec& t) {
  return {t.Name(), CombToText(t.Start), IntToStr(t.Step), CombToText(t.Current), IntToStr(t.Stakes)};
}

void ReadTablesFile(const std::string& path, std::vector<TTableRec>& rows) {
  rows.clear();
  const std::string bytes = ReadWholeFile(path);
  const size_t whole = bytes.size() / sizeof(TTableRec);
  rows.resize(whole);
  if (whole > 0) std::memcpy(rows.data(), bytes.data(), whole * sizeof(TTableRec));
  if (bytes.size() % sizeof(TTableRec) != 0)
    throw EQuintar(Format("Размер файла \"%s\" (%d байт) не кратен размеру записи (%d байт).",
                          {path, static_cast<int64_t>(bytes.size()), kTableRecSize}));
}

void WriteTablesFile(const std::string& path, const std::vector<TTableRec>& rows) {
  AtomicFileWriter w(path);
  if (!rows.empty()) w.Write(rows.data(), rows.size() * sizeof(TTableRec));
  w.Commit();
}

std::string TableNameError(std::string_view name, const std::vector<TTableRec>& rows, int self) {
  if (Trim(name).empty()) return kNoComment;
  TTableRec probe{};
  probe.SetName(name);
  for (size_t i = 0; i < rows.size(); ++i)
    if (static_cast<int>(i) != self && rows[i].RawName() == probe.RawName()) return kTableNameUsed;
  return "";
}

std::string TableDialogAccept(const TTableDialogInput& in, const TTableRec& base, int selected,
                              const std::vector<TTableRec>& rows, TTableRec& out) {
  TNumSet start{};
  const bool oneComb = !in.FromLastDraw && selected == 1;
  if (oneComb && !StakeTextToNumbers(in.StartText, start)) return kBadStakeText;
  std::string error = TableNameError(in.Name, rows, -1);
  if (!error.empty()) return error;
  if (in.Step < kTableStepMin || in.Step > kTableStepMax) return kTableBadStep;
  out = base;
  out.SetName(in.Name);
  out.FromLastDraw = in.FromLastDraw ? 1 : 0;
  out.Step = in.Step;
  if (in.FromLastDraw) {
    out.Start = TComb{};
  } else if (oneComb) {
    std::memcpy(out.Start.n, start.Nums, NUMS_IN_DRAW);
  }
  return "";
}

// The tables of the session -----------------------------------------------------------------------------

namespace {

std::string FailureText(const std::exception& e, const char* resource) {
  if (auto* se = dynamic_cast<const EStakesFile*>(&e)) return se->FullText();
  return std::string(resource) + "\r\r" + e.what();
}

// Where a file that could not be read whole is kept before it is first rewritten: "<file>.bak", or the
// first free "<file>.bak.N" (an earlier copy may hold the only copy of other tables).
std::string FreeBackupPath(const std::string& path) {
  std::string backup = path + ".bak";
  for (int n = 1; FileExists(backup) && n < 1000; ++n) backup = path + ".bak." + std::to_string(n);
  return backup;
}

}  // namespace

std::string TTables::Path() const { return s_.FilePath(".ltb"); }

std::vector<std::string> TTables::Cells(int row) const {
  if (row < 0 || row >= Count()) return std::vector<std::string>(kTableCols);
  return TableCells(rows_[static_cast<size_t>(row)]);
}

void TTables::Changed() {
  s_.Host().Changed(Change::Tables);
  s_.Host().Changed(Change::Actions);
}

void TTables::ReadTabKey() { tabShown_ = s_.Frm.ReadFormBool(kMainForm, kTablesTabKey, true); }

bool TTables::Load() {
  rows_.clear();
  partial_ = false;
  bool whole = true;
  const std::string path = Path();
  if (tabShown_ && FileExists(path)) {
    BusyScope busy(s_);
    StatusScope status(s_, kTablesLoadStatus);
    try {
      ReadTablesFile(path, rows_);
    } catch (const std::exception& e) {
      whole = false;
      partial_ = true;
      s_.ShowFailure(kTablesReadError, e);
    }
  }
  Changed();
  return whole;
}

bool TTables::Save() {
  BusyScope busy(s_);
  StatusScope status(s_, kTablesSaveStatus);
  const std::string path = Path();
  try {
    if (partial_ && FileExists(path)) WriteFileAtomic(FreeBackupPath(path), ReadWholeFile(path));
    partial_ = false;
    WriteTablesFile(path, rows_);
  } catch (const std::exception& e) {
    s_.ShowFailure(kTablesWriteError, e);
    return false;
  }
  return true;
}

void TTables::Release() {
  rows_.clear();
  rows_.shrink_to_fit();
  partial_ = false;
  Changed();
}

bool TTables::CanTabTables() const { return s_.IsIdle(); }

void TTables::TabTables() {
  if (!CanTabTables()) return;
  tabShown_ = !tabShown_;
  try {
    s_.Frm.WriteFormBool(kMainForm, kTablesTabKey, tabShown_);
  } catch (const std::exception& e) {
    s_.ShowError(e.what());
  }
  if (tabShown_)
    Load();
  else
    Release();
}

bool TTables::CanAdd() const { return s_.IsIdle() && tabShown_; }

TTableRec TTables::NewTable(const TRowSelection& combs) const {
  TTableRec t{};
  t.SetName(kTableDefaultName);
  t.Step = 1;
  const TRowSelection sel = NormalizeSelection(combs, s_.CurrentCombs.Count());
  t.Stakes = SelectedRowCount(sel, s_.CurrentCombs.Count());
  if (t.Stakes == 1) t.Start = s_.CurrentCombs[sel.front().First];
  return t;
}

std::string TTables::Add(const TTableDialogInput& in, const TRowSelection& combs) {
  if (!CanAdd()) return "";
  const TTableRec base = NewTable(combs);
  TTableRec rec{};
  const std::string error = TableDialogAccept(in, base, base.Stakes, rows_, rec);
  if (!error.empty()) return error;
  bool added = false;
  {
    BusyScope busy(s_);
    StatusScope status(s_, kTablesAddStatus);
    try {
      if (rec.FromLastDraw || base.Stakes == 1) {
        rec.Stakes = 0;
        rec.Current = rec.Start;
        rows_.push_back(rec);
        added = true;
      } else {
        const std::string name = in.Name;
        for (const TRowRange& r : NormalizeSelection(combs, s_.CurrentCombs.Count())) {
          for (int row = r.First; row <= r.Last; ++row) {
            TTableRec t = rec;
            t.SetName(name + Format(" (%d)", {row + 1}));
            t.Start = s_.CurrentCombs[row];
            SortComb(t.Start);
            t.Current = t.Start;
            t.Stakes = 0;
            rows_.push_back(t);
            added = true;
          }
        }
      }
    } catch (const std::exception& e) {
      // Out of memory for a huge selection: the tables made so far stay and are saved.
      s_.ShowError(e.what());
    }
    if (added) Save();
  }
  Changed();
  return "";
}

std::string TTables::Edit(int row, const std::string& name, int step) {
  if (!CanAdd() || row < 0 || row >= Count()) return "";
  std::string error = TableNameError(name, rows_, row);
  if (!error.empty()) return error;
  if (step < kTableStepMin || step > kTableStepMax) return kTableBadStep;
  TTableRec& t = rows_[static_cast<size_t>(row)];
  const TTableRec old = t;
  t.SetName(name);
  t.Step = step;
  if (!Save()) t = old;
  Changed();
  return "";
}

bool TTables::CanDel(int selected) const { return s_.IsIdle() && tabShown_ && selected > 0; }

bool TTables::Delete(const std::vector<int>& rows, bool ask) {
  if (!CanDel(static_cast<int>(rows.size()))) return false;
  std::vector<int> sorted = rows;
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
    if (*it < 0 || *it >= Count()) {
      s_.ShowError(Format(kStakeIndexNotFound, {*it}));
      return false;
    }
  }
  if (ask && !s_.Host().Ask(AskKind::Delete, DeleteRowsQuestion(static_cast<int>(sorted.size())))) return false;
  {
    BusyScope busy(s_);
    StatusScope status(s_, kTablesDeleteStatus);
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) rows_.erase(rows_.begin() + *it);
    Save();
  }
  Changed();
  return true;
}

bool TTables::CanStakeAdd(int current) const {
  return s_.IsIdle() && tabShown_ && current >= 0 && current < Count();
}

TStakeRec TTables::MakeStake(const TTableRec& advanced, int draw) const {
  TStakeRec rec = MakeStakeRecord(draw, s_.CurrentCombs.Count(), &advanced.Current, s_.StakePrices().Fn(), skTable);
  rec.SetComment(advanced.Name());
  return rec;
}

std::string TTables::PrepareStake(int row, int offset, TTableStakeDraft& draft) const {
  if (row < 0 || row >= Count()) return Format(kStakeIndexNotFound, {row});
  draft.Table = rows_[static_cast<size_t>(row)];
  AdvanceTable(draft.Table, s_.Archive, offset);
  // A base outside the archive (seven zeros) or a damaged record shifts into no combination at all.
  if (!IsValidComb(draft.Table.Current)) return kBadStakeText;
  draft.Stake = MakeStake(draft.Table, s_.Archive.NextDrawNumber(offset));
  return "";
}

std::string TTables::StakeAdd(int row, const TTableStakeDraft& draft, const TStakeDialogInput& in) {
  TStakeRec rec{};
  std::string error = StakeDialogAccept(in, draft.Stake, rec);
  if (!error.empty()) return error;
  if (row < 0 || row >= Count()) return Format(kStakeIndexNotFound, {row});
  TTableRec& t = rows_[static_cast<size_t>(row)];
  const TTableRec old = t;
  t = draft.Table;
  // The table and its stakes stay in agreement: without a saved table no stake is made.
  if (!Save()) {
    t = old;
    Changed();
    return "";
  }
  bool ok = true;
  {
    BusyScope busy(s_);
    StatusScope status(s_, kStakeCreateStatus);
    const int before = s_.Stakes.IsOpen() ? s_.Stakes.Count() : 0;
    try {
      s_.Stakes.AddStake(rec, in.Draws);
    } catch (const std::exception& e) {
      ok = false;
      s_.ShowError(FailureText(e, kStakeAddError));
      // Nothing was appended: the table did not make a stake.
      if (!s_.Stakes.IsOpen() || s_.Stakes.Count() == before) {
        t = old;
        Save();
      }
    }
  }
  if (ok) s_.CheckStakes();
  s_.UpdateStakesView(ok);
  Changed();
  return "";
}

bool TTables::CanStakeTest(int selected) const { return s_.IsIdle() && tabShown_ && selected > 0; }

int TTables::TestsMax() const { return std::max(1, s_.Archive.Count() - 1); }

void TTables::StakeTest(const std::vector<int>& rows, int tests) {
  if (!CanStakeTest(static_cast<int>(rows.size()))) return;
  tests = std::min(tests, s_.Archive.Count() - 1);
  std::vector<int> sorted;
  for (int r : rows)
    if (r >= 0 && r < Count()) sorted.push_back(r);
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  if (tests < 1 || sorted.empty()) return;
  bool ok = true;
  {
    BusyScope busy(s_);
    StatusScope status(s_, kTablesTestStatus);
    const bool suspended = s_.ViewsSuspended;
    s_.ViewsSuspended = true;
    const int offset = s_.DrawsOffset();
    auto lastShown = std::chrono::steady_clock::now();
    try {
      for (int t = tests; t >= 1; --t) {
        s_.SetDrawsOffset(t);
        const int draw = s_.Archive.NextDrawNumber(t);
        for (int row : sorted) {
          TTableRec copy = rows_[static_cast<size_t>(row)];
          AdvanceTable(copy, s_.Archive, t);
          if (!IsValidComb(copy.Current)) throw EQuintar(kBadStakeText);
          s_.Stakes.AddStake(MakeStake(copy, draw), 1);
          rows_[static_cast<size_t>(row)] = copy;
        }
        // The interface stays alive during a long test.
        const auto now = std::chrono::steady_clock::now();
        if (now - lastShown > std::chrono::milliseconds(200)) {
          lastShown = now;
          s_.Host().ProcessEvents();
        }
      }
    } catch (const EStakesFile& e) {
      ok = false;
      s_.ShowError(e.FullText());
    } catch (const std::exception& e) {
      ok = false;
      s_.ShowError(e.what());
    }
    s_.SetDrawsOffset(offset);
    Save();
    if (ok) s_.CheckStakes();
    s_.ViewsSuspended = suspended;
  }
  s_.RefreshViews(false);
  s_.UpdateStakesView(ok);
  Changed();
}

}  // namespace quintar
