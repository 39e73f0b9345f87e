// quintar-cli stakes ...: the stakes file, as the page "Ставки" shows and changes it.
#include "cli.h"
#include "combs/stakesview.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar::cli {

// Opens the stakes file as the desktop program does at start-up, except that a file of an old version
// is left alone. False after the messages when it cannot be opened (another copy holds it).
bool OpenStakes(Session& s) {
  try {
    s.Stakes.OpenStakes();
  } catch (const EStakesFile& e) {
    s.ShowError(e.FullText());
    if (e.LockHeld()) s.ShowError(kStakesExclusiveAccess);
    return false;
  }
  bool old = false;
  try {
    old = s.Stakes.IsOldVersion();
  } catch (const EStakesFile& e) {
    s.ShowError(e.FullText());
    return false;
  }
  if (old) {
    s.ShowError(Format("%s\r\r%s", {std::string(kStakesReadError),
                                    Format("Файл \"%s\" не является файлом ставок этой версии программы.",
                                           {s.Stakes.Path()})}));
    return false;
  }
  s.UpdateStakesView(false);
  return true;
}

bool LoadForChecking(Context& c) {
  Session& s = c.session;
  s.LoadArchive();
  s.ReadSettings();
  s.ReadFormKeys();
  if (c.host.errors) return false;
  if (!OpenStakes(s)) return false;
  s.LoadRating(false);
  return c.host.errors == 0;
}

void PrintStakeRows(Session& s, int first) {
  s.Stakes.ForEachStake([](int, const TStakeRec& r) { PrintLine(Join(StakeGridCells(r), "\t")); }, first);
}

namespace {

// Answers the delete confirmations "yes" and the rating refresh question as the option asks.
class StakesHost : public CliHost {
 public:
  explicit StakesHost(bool refreshRating) : refreshRating_(refreshRating) {}
  bool Ask(AskKind kind, const std::string& text) override {
    const bool yes = text == kRatingsRefreshQuestion ? refreshRating_ : true;
    (void)kind;
    PrintError(text + (yes ? " [да]" : " [нет]"));
    return yes;
  }

 private:
  bool refreshRating_;
};

int Finish(Context& c) {
  Session& s = c.session;
  PrintLine(StakesCountText(s.Stakes.Count()));
  s.CloseStakesFile();
  return c.host.errors ? kFailed : kOk;
}

// The grid: the header with the nine captions, then one line per record, tab-separated.
int List(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("stakes list: лишние аргументы");
  Session& s = c.session;
  if (!OpenStakes(s)) return kFailed;
  PrintLine(Join(StakeGridCaptions(), "\t"));
  PrintStakeRows(s, 0);
  s.CloseStakesFile();
  return c.host.errors ? kFailed : kOk;
}

}  // namespace

// The file stays open for the rows' reading; the caller closes it.
bool StakesViewList(Context& c, TViewList& v) {
  Session& s = c.session;
  if (!OpenStakes(s)) return false;
  v.Captions = StakeGridCaptions();
  v.RowCount = s.Stakes.Count();
  v.Cells = [&s](int r, std::vector<std::string>& cells) { cells = StakeGridCells(s.Stakes.ReadStake(r)); };
  return c.host.errors == 0;
}

namespace {

// The stake dialog: the numbers, the comment, the first draw (the new-stake draw by default) and the
// number of draws; the new records are printed as the grid shows them once they were checked.
int Add(Context& c) {
  if (c.args.positional.size() != 1) throw UsageError("stakes add: нужна комбинация \"n1;n2;n3;n4;n5;n6;n7\"");
  Session& s = c.session;
  if (!LoadForChecking(c)) return kFailed;
  TStakeRec base = s.NewStake(-1);
  TStakeDialogInput in;
  in.Numbers = c.args.positional[0];
  in.Comment = c.args.Get("comment").value_or(kManualStakeComment);
  in.Draw = IntOption(c.args, "draw", base.Draw);
  in.Draws = IntOption(c.args, "draws", 1);
  const int before = s.Stakes.Count();
  const std::string error = s.StakeAdd(in, base);
  if (!error.empty()) {
    s.ShowError(error);
    s.CloseStakesFile();
    return kFailed;
  }
  PrintStakeRows(s, before);
  return Finish(c);
}

int Check(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("stakes check: лишние аргументы");
  Session& s = c.session;
  if (!LoadForChecking(c)) return kFailed;
  s.StakesCheckManual();
  return Finish(c);
}

// Delete by condition: --condition is the index of the comparison, --value the match count 0..7.
int Delete(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("stakes delete: лишние аргументы");
  const auto conditions = StakeFilterConditions();
  if (!c.args.Has("condition") || !c.args.Has("value"))
    throw UsageError("stakes delete: нужны --condition и --value");
  const int condition = IntOption(c.args, "condition", 0);
  const int value = IntOption(c.args, "value", 0);
  if (condition < 0 || condition >= static_cast<int>(conditions.size()))
    throw UsageError(Format("--condition: условие от 0 до %d", {static_cast<int>(conditions.size()) - 1}));
  if (value < 0 || value > NUMS_IN_DRAW) throw UsageError("--value: количество совпадений от 0 до 7");
  Session& s = c.session;
  if (!LoadForChecking(c)) return kFailed;
  s.StakeFilter(condition, value);
  return Finish(c);
}

int Clear(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("stakes clear: лишние аргументы");
  Session& s = c.session;
  if (!LoadForChecking(c)) return kFailed;
  StakesHost host(c.args.Has("refresh-rating"));
  host.verbose = c.host.verbose;
  s.SetHost(host);
  s.StakeClear();
  s.SetHost(c.host);
  c.host.errors += host.errors;
  return Finish(c);
}

}  // namespace

int RunStakes(Context& c) {
  if (c.args.positional.empty()) throw UsageError("stakes: нужна подкоманда");
  std::string sub = c.args.positional.front();
  c.args.positional.erase(c.args.positional.begin());
  if (sub == "list") return List(c);
  if (sub == "add") return Add(c);
  if (sub == "check") return Check(c);
  if (sub == "delete") return Delete(c);
  if (sub == "clear") return Clear(c);
  throw UsageError("stakes: неизвестная подкоманда " + sub);
}

}  // namespace quintar::cli
