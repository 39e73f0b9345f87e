// quintar-cli tables ...: the tables of the page "Регуляры" and their stakes, as the desktop program makes
// them. The tables file is read at the start of every command; rows count from 1 in list order.
#include <algorithm>
#include <climits>

#include "cli.h"
#include "combs/combsgen.h"
#include "combs/stakesview.h"
#include "combs/tables.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar::cli {

namespace {

// A list of positive integers "2,4,5"; anything else is a usage error.
std::vector<int> PositiveList(const std::string& text, const std::string& what) {
  std::vector<int> out;
  for (const std::string& word : SplitAny(text, ",", false)) {
    auto v = TryStrToInt(Trim(word));
    if (!v || *v < 1) throw UsageError(what + ": нужны номера строк от 1: " + text);
    out.push_back(*v);
  }
  if (out.empty()) throw UsageError(what + ": не заданы номера строк");
  return out;
}

// The integer of an option within its field's range, or the default; outside it is a usage error.
int RangeOption(const Args& a, const std::string& name, int def, int min, int max) {
  const int v = IntOption(a, name, def);
  if (v < min || v > max) throw UsageError(Format("--%s: от %d до %d", {name, min, max}));
  return v;
}

// The rows of the command line (1-based, each within the list) as 0-based indexes.
std::vector<int> TableRows(const std::vector<std::string>& words, int count, const char* command) {
  if (words.empty()) throw UsageError(std::string(command) + ": нужен номер строки");
  std::vector<int> rows;
  for (const std::string& w : words) {
    auto v = TryStrToInt(Trim(w));
    if (!v) throw UsageError(std::string(command) + ": номер строки не число: " + w);
    if (*v < 1 || *v > count)
      throw UsageError(Format("%s: строки %d нет в списке регулярных ставок (строк: %d)", {command, *v, count}));
    rows.push_back(*v - 1);
  }
  return rows;
}

void PrintList(const Session& s) {
  PrintLine(Join(TableCaptions(), "\t"));
  for (int r = 0; r < s.Tables.Count(); ++r) PrintLine(Join(s.Tables.Cells(r), "\t"));
}

// Reads the tables file; false after the read error (nothing is changed then).
bool LoadTables(Context& c) {
  c.session.ViewsSuspended = true;  // the command-line program shows no views
  return c.session.Tables.Load() && c.host.errors == 0;
}

int Done(Context& c) { return c.host.errors ? kFailed : kOk; }

int List(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("tables list: лишние аргументы");
  const bool whole = LoadTables(c);
  PrintList(c.session);
  return whole ? Done(c) : kFailed;
}

}  // namespace

bool TablesViewList(Context& c, TViewList& v) {
  if (!LoadTables(c)) return false;
  Session& s = c.session;
  v.Captions = TableCaptions();
  v.RowCount = s.Tables.Count();
  v.Cells = [&s](int r, std::vector<std::string>& cells) { cells = s.Tables.Cells(r); };
  return true;
}

namespace {

int Add(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("tables add: лишние аргументы");
  const bool byComb = c.args.Has("comb"), byRows = c.args.Has("rows"), byDraw = c.args.Has("last-draw");
  if (int(byComb) + int(byRows) + int(byDraw) != 1)
    throw UsageError("tables add: нужен один из ключей --comb, --rows или --last-draw");
  if (c.args.Has("in") && !byRows) throw UsageError("tables add: --in только вместе с --rows");
  TTableDialogInput in;
  in.Name = c.args.Get("name").value_or(kTableDefaultName);
  in.Step = RangeOption(c.args, "step", 1, kTableStepMin, kTableStepMax);
  in.FromLastDraw = byDraw;
  std::vector<int> positions;
  if (byRows) positions = PositiveList(*c.args.Get("rows"), "--rows");
  const auto file = c.args.Get("in");
  if (file && file->empty()) throw UsageError("--in: нужно имя файла");

  Session& s = c.session;
  if (!LoadTables(c)) return kFailed;
  TRowSelection sel;
  if (byComb) {
    // One combination selected, the text typed over it in the start field.
    s.CurrentCombs.Clear();
    s.CurrentCombs.Append(TComb{{1, 2, 3, 4, 5, 6, 7}});
    sel.push_back({0, 0});
    in.StartText = *c.args.Get("comb");
  } else if (byRows) {
    if (file) {
      if (!s.ReadCombsFile(*file)) return kFailed;
    } else {
      s.GenerateCombs(false, MakeGenParams(kGenModeFull, ""));
    }
    for (int p : positions) {
      if (p > s.CurrentCombs.Count())
        throw UsageError(Format("--rows: строки %d нет в списке комбинаций (строк: %d)", {p, s.CurrentCombs.Count()}));
      sel.push_back({p - 1, p - 1});
    }
    const TRowSelection rows = NormalizeSelection(sel, s.CurrentCombs.Count());
    if (SelectedRowCount(rows, s.CurrentCombs.Count()) == 1) in.StartText = CombToText(s.CurrentCombs[rows[0].First]);
  }
  const std::string error = s.Tables.Add(in, sel);
  if (!error.empty()) {
    s.ShowError(error);
    return kFailed;
  }
  PrintList(s);
  return Done(c);
}

int Edit(Context& c) {
  if (c.args.positional.size() != 1) throw UsageError("tables edit: нужен один номер строки");
  const bool hasStep = c.args.Has("step");
  const int step = RangeOption(c.args, "step", 1, kTableStepMin, kTableStepMax);
  Session& s = c.session;
  if (!LoadTables(c)) return kFailed;
  const int row = TableRows(c.args.positional, s.Tables.Count(), "tables edit").front();
  const TTableRec& t = s.Tables[row];
  const std::string error =
      s.Tables.Edit(row, c.args.Get("name").value_or(t.Name()), hasStep ? step : t.Step);
  if (!error.empty()) {
    s.ShowError(error);
    return kFailed;
  }
  PrintList(s);
  return Done(c);
}

int Delete(Context& c) {
  if (c.args.positional.empty()) throw UsageError("tables delete: нужны номера строк");
  std::vector<int> rows;
  for (const std::string& w : c.args.positional) {
    auto v = TryStrToInt(Trim(w));
    if (!v) throw UsageError("tables delete: номер строки не число: " + w);
    rows.push_back(*v - 1);
  }
  Session& s = c.session;
  if (!LoadTables(c)) return kFailed;
  if (!s.Tables.Delete(rows, false)) return kFailed;
  PrintList(s);
  return Done(c);
}

// The archive, the settings and the window keys the stakes need; then, once every option has been
// checked, the stakes file and the rating.
bool LoadForStakes(Context& c) {
  Session& s = c.session;
  s.LoadArchive();
  s.ReadSettings();
  s.ReadFormKeys();
  return c.host.errors == 0;
}

bool OpenStakesAndRating(Context& c) {
  Session& s = c.session;
  if (!OpenStakes(s)) return false;
  s.LoadRating(false);
  return c.host.errors == 0;
}

bool ReadSampleList(Context& c) {
  const auto file = c.args.Get("in");
  if (!file) return true;
  if (file->empty()) throw UsageError("--in: нужно имя файла");
  return c.session.ReadCombsFile(*file);
}

int Finish(Context& c) {
  Session& s = c.session;
  PrintList(s);
  PrintLine(StakesCountText(s.Stakes.Count()));
  s.CloseStakesFile();
  return Done(c);
}

int Stake(Context& c) {
  if (c.args.positional.size() != 1) throw UsageError("tables stake: нужен один номер строки");
  const int draws = RangeOption(c.args, "draws", 1, 1, kMaxStakeDraws);
  if (c.args.Has("draw")) RangeOption(c.args, "draw", 1, 1, INT_MAX);
  Session& s = c.session;
  if (!LoadForStakes(c)) return kFailed;
  const int offset = RangeOption(c.args, "offset", 0, 0, std::max(0, s.Archive.Count() - 1));
  if (!LoadTables(c)) return kFailed;
  const int row = TableRows(c.args.positional, s.Tables.Count(), "tables stake").front();
  if (!ReadSampleList(c)) return kFailed;
  if (!OpenStakesAndRating(c)) return kFailed;
  s.SetDrawsOffset(offset);

  TTableStakeDraft draft;
  std::string error = s.Tables.PrepareStake(row, s.DrawsOffset(), draft);
  if (error.empty()) {
    TStakeDialogInput in;
    in.Draw = IntOption(c.args, "draw", draft.Stake.Draw);
    in.Numbers = StakeNumbersText(draft.Stake);
    in.Comment = c.args.Get("comment").value_or(draft.Stake.Comment());
    in.Draws = draws;
    error = s.Tables.StakeAdd(row, draft, in);
  }
  if (!error.empty()) {
    s.ShowError(error);
    s.CloseStakesFile();
    return kFailed;
  }
  return Finish(c);
}

int Test(Context& c) {
  Session& s = c.session;
  if (c.args.positional.empty()) throw UsageError("tables test: нужны номера строк");
  if (!LoadForStakes(c)) return kFailed;
  const int max = s.Archive.Count() - 1;
  if (max < 1) throw UsageError("tables test: для теста в архиве нужно не менее двух тиражей");
  const int tests = RangeOption(c.args, "tests", std::min(10, max), 1, max);
  if (!LoadTables(c)) return kFailed;
  const std::vector<int> rows = TableRows(c.args.positional, s.Tables.Count(), "tables test");
  if (!ReadSampleList(c)) return kFailed;
  if (!OpenStakesAndRating(c)) return kFailed;
  s.Tables.StakeTest(rows, tests);
  return Finish(c);
}

}  // namespace

int RunTables(Context& c) {
  if (c.args.positional.empty()) throw UsageError("tables: нужна подкоманда");
  std::string sub = c.args.positional.front();
  c.args.positional.erase(c.args.positional.begin());
  if (sub == "list") return List(c);
  if (sub == "add") return Add(c);
  if (sub == "edit") return Edit(c);
  if (sub == "delete") return Delete(c);
  if (sub == "stake") return Stake(c);
  if (sub == "test") return Test(c);
  throw UsageError("tables: неизвестная подкоманда " + sub);
}

}  // namespace quintar::cli
