// The stakes of the session: opening the stakes file at start-up and closing it at shutdown, checking the
// stakes with the rating and the logs, and the commands of the page "Ставки".
#include <chrono>
#include <memory>
#include <random>

#include "app/session.h"
#include "combs/stakelogs.h"
#include "combs/stakesview.h"
#include "util/format.h"
#include "util/safefile.h"

namespace quintar {

namespace {

constexpr const char* kStakesLogKey = "StakesLogEnabled";
constexpr const char* kStakesScrollKey = "StakesScrollEnabled";
constexpr const char* kStakesCheckLineKey = "StakesCheckOnLine";

// The text of a stakes failure for the error box.
std::string StakesFailureText(const std::exception& e, const char* resource) {
  if (auto* se = dynamic_cast<const EStakesFile*>(&e)) return se->FullText();
  return std::string(resource) + "\r\r" + e.what();
}

}  // namespace

void Session::ReadStakesKeys() {
  IniFile ini = Frm.Open();
  StakesLogEnabled = ini.ReadBool(kMainForm, kStakesLogKey, false);
  StakesScrollEnabled = ini.ReadBool(kMainForm, kStakesScrollKey, true);
  StakesCheckOnLine = ini.ReadBool(kMainForm, kStakesCheckLineKey, true);
}

TStakePrices Session::StakePrices() const {
  TStakePrices p;
  p.Cost = Stats.Config.Cost;
  for (const TProfitEntry& e : Stats.Config.Profits) p.Profits.push_back({e.Overlap, e.Profit});
  return p;
}

TStakeRec Session::NewStake(int combRow) const {
  const TComb* comb = combRow >= 0 && combRow < CurrentCombs.Count() ? &CurrentCombs[combRow] : nullptr;
  return MakeStakeRecord(NewStakeDraw(), CurrentCombs.Count(), comb, StakePrices().Fn());
}

namespace {

// Opens the stakes file as the start-up does. Returns 0 when open, 1 when another process holds it, 2 on
// any other failure (the error was shown).
int OpenStakesAtStart(Session& s) {
  StatusScope status(s, kStakesLoadStatus);
  try {
    s.Stakes.LoadStakes([&s](const std::string& text) { s.ShowWarning(text); });
  } catch (const std::exception& e) {
    // The file stays closed: every stake command is disabled.
    try {
      s.Stakes.CloseStakes();
    } catch (const std::exception&) {
    }
    s.ShowError(StakesFailureText(e, kStakesReadError));
    s.UpdateStakesView(false);
    auto* se = dynamic_cast<const EStakesFile*>(&e);
    return se && se->LockHeld() ? 1 : 2;
  }
  s.UpdateStakesView(false);
  return 0;
}

}  // namespace

bool Session::LoadStakes() { return OpenStakesAtStart(*this) == 0; }

bool Session::LoadStakesExclusive() {
  const int result = OpenStakesAtStart(*this);
  // Another copy of the program in this folder is named only when it is the cause; any other failure
  // (a folder without write access, a full disk) was shown with its own reason.
  if (result == 1) ShowError(kStakesExclusiveAccess);
  return result == 0;
}

void Session::CloseStakesFile() {
  if (!Stakes.IsOpen()) return;
  StatusScope status(*this, kStakesSaveStatus);
  try {
    Stakes.CloseStakes();
  } catch (const std::exception& e) {
    ShowError(StakesFailureText(e, kStakesWriteError));
  }
}

void Session::UpdateStakesView(bool scrollToEnd) {
  if (scrollToEnd) stakesScroll_ = true;
  SetPanel(4, StakesCountText(Stakes.Count()));
  host_->Changed(Change::Stakes);
  host_->Changed(Change::Actions);
}

bool Session::CheckStakes() {
  if (!Stakes.IsOpen()) {
    ShowError(kStakesNotOpen);
    return false;
  }
  BusyScope busy(*this);
  TStakeCheckHooks hooks;
  hooks.Result = StakePrices().Fn();
  hooks.Status = [this](const std::string& text) { ShowStatus(text); };
  std::unique_ptr<TStakeLogs> logs;
  if (StakesLogEnabled) logs = std::make_unique<TStakeLogs>(DataDir() + kBaseName);
  hooks.Logs = logs.get();
  hooks.LogFailure = [this](const std::string& text) { ShowError(text); };
  bool changed = false;
  try {
    changed = CheckStakesRated(Stakes, hooks);
  } catch (const std::exception& e) {
    changed = true;  // the stakes checked before the failure stay checked
    ShowError(StakesFailureText(e, kStakesCheckError));
  }
  ShowStatus("");
  return changed;
}

int Session::RandomCombRow() const {
  if (CurrentCombs.Empty()) return -1;
  static std::mt19937 rng(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::uniform_int_distribution<int> pick(0, CurrentCombs.Count() - 1);
  return pick(rng);
}

std::string Session::StakeAdd(const TStakeDialogInput& in, const TStakeRec& base) {
  TStakeRec rec{};
  std::string error = StakeDialogAccept(in, base, rec);
  if (!error.empty()) return error;
  bool ok = true;
  {
    BusyScope busy(*this);
    StatusScope status(*this, kStakeCreateStatus);
    try {
      Stakes.AddStake(rec, in.Draws);
    } catch (const std::exception& e) {
      ok = false;
      ShowError(StakesFailureText(e, kStakeAddError));
    }
  }
  if (ok) CheckStakes();
  UpdateStakesView(ok);
  return "";
}

std::string Session::StakeAddMulti(const TRowSelection* sel, int draw, int draws, const std::string& comment) {
  std::string error = MultiStakeDialogCheck(draw, draws, comment);
  if (!error.empty()) return error;
  {
    BusyScope busy(*this);
    StatusScope status(*this, kStakesCreateStatus);
    const TStakeResultFn result = StakePrices().Fn();
    const int sample = CurrentCombs.Count();
    auto lastShown = std::chrono::steady_clock::now();
    auto addOne = [&](int row) {
      TStakeRec rec = MakeStakeRecord(draw, sample, &CurrentCombs[row], result);
      rec.SetComment(comment);
      Stakes.AddStake(rec, draws);
      // The grid follows the new stakes; repainting it for each of millions of stakes would only slow
      // the loop, so it is brought up to date a few times a second.
      if (StakesScrollEnabled) {
        auto now = std::chrono::steady_clock::now();
        if (now - lastShown > std::chrono::milliseconds(200)) {
          lastShown = now;
          UpdateStakesView(true);
          host_->ProcessEvents();
        }
      }
    };
    try {
      if (sel) {
        for (const TRowRange& r : NormalizeSelection(*sel, CurrentCombs.Count()))
          for (int row = r.First; row <= r.Last; ++row) addOne(row);
      } else {
        for (int row = 0; row < CurrentCombs.Count(); ++row) addOne(row);
      }
    } catch (const std::exception& e) {
      ShowError(StakesFailureText(e, kStakeAddError));
    }
  }
  // The list's selection is cleared.
  host_->Changed(Change::CombsList);
  CheckStakes();
  UpdateStakesView(true);
  return "";
}

bool Session::StakeDel(int first, int last) {
  if (!CanStakeDel(first)) return false;
  if (last < first) last = first;
  if (last >= Stakes.Count()) last = Stakes.Count() - 1;
  if (!host_->Ask(AskKind::Delete, DeleteRowsQuestion(last - first + 1))) return false;
  bool ok = true;
  {
    BusyScope busy(*this);
    StatusScope status(*this, kStakesDeleteStatus);
    try {
      Stakes.RewriteStakes([first, last](int index, const TStakeRec&) { return index < first || index > last; });
    } catch (const std::exception& e) {
      ok = false;
      ShowError(StakesFailureText(e, kStakeDeleteError));
    }
    // A failed rewrite may have left the file closed; it is opened again.
    if (!Stakes.IsOpen()) LoadStakes();
  }
  CheckStakes();
  UpdateStakesView(false);
  return ok;
}

bool Session::StakeFilter(int condition, int value) {
  if (!CanStakeFilter()) return false;
  bool ok = true;
  {
    BusyScope busy(*this);
    StatusScope status(*this, kStakesDeleteStatus);
    try {
      Stakes.RewriteStakes(
          [condition, value](int, const TStakeRec& rec) { return !StakeFilterDeletes(rec, condition, value); });
    } catch (const std::exception& e) {
      ok = false;
      ShowError(StakesFailureText(e, kStakeDeleteError));
    }
    if (!Stakes.IsOpen()) LoadStakes();
  }
  CheckStakes();
  UpdateStakesView(false);
  return ok;
}

bool Session::StakeClear() {
  if (!CanStakeClear()) return false;
  if (!host_->Ask(AskKind::Delete, DeleteRowsQuestion(Stakes.Count()))) return false;
  bool ok = true;
  {
    BusyScope busy(*this);
    StatusScope status(*this, kStakesDeleteStatus);
    try {
      Stakes.ClearStakes();
      Stakes.OpenStakes();
    } catch (const std::exception& e) {
      ok = false;
      ShowError(StakesFailureText(e, kStakeDeleteError));
    }
  }
  UpdateStakesView(false);
  RatingsRefresh(Stakes);
  return ok;
}

void Session::StakesCheckManual() {
  if (!CanStakesCheckManual()) return;
  CheckStakes();
  UpdateStakesView(false);
}

namespace {

// A stake switch of the menu: flipped and stored in the window-settings file at once.
void ToggleStakeSwitch(Session& s, bool& value, const char* key) {
  value = !value;
  try {
    s.Frm.WriteFormBool(kMainForm, key, value);
  } catch (const std::exception& e) {
    s.ShowError(e.what());
  }
  s.Host().Changed(Change::Actions);
}

}  // namespace

void Session::LogStakes() {
  ToggleStakeSwitch(*this, StakesLogEnabled, kStakesLogKey);
}

void Session::LogStakesDelete() {
  std::vector<std::string> files;
  {
    BusyScope busy(*this);
    StatusScope status(*this, kStakeLogsSearchStatus);
    files = FindStakeLogs(DataDir(), kBaseName);
    if (!files.empty()) {
      TStakeLogsDeletion r = DeleteStakeLogs(files);
      if (r.Ok())
        ShowInfo(r.Summary());
      else
        ShowWarning(r.Summary());
      return;
    }
  }
  ShowInfo(kNoStakeLogs);
}

void Session::StakesScroll() {
  ToggleStakeSwitch(*this, StakesScrollEnabled, kStakesScrollKey);
}

void Session::StakesCheckLine() {
  ToggleStakeSwitch(*this, StakesCheckOnLine, kStakesCheckLineKey);
}

}  // namespace quintar
