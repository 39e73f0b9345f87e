// Script runs: the forecast (every line once at the current draws offset) and the test (the whole
// script again for each of the last N offsets, oldest first). A run drives the same machinery the user
// drives by hand: generation and exclusion of last draws, the combination list with its undo copy, the
// statistics table, the statistic filter and the stakes. A forecast runs on the caller's thread; a test
// runs the passes of its offsets on worker threads when they stand on their own (app/scriptworkers.h) and
// plays what they made in offset order. Every stop check first lets the interface process its pending
// events, so ScriptStop stays usable.
#include <algorithm>
#include <chrono>
#include <new>
#include <random>
#include <thread>
#include <unordered_set>

#include "app/scriptworkers.h"
#include "app/session.h"
#include "combs/combsgen.h"
#include "online/storedsystems.h"
#include "scripts/scriptfile.h"
#include "scripts/scriptline.h"
#include "scripts/scriptrun.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

namespace {

uint64_t CombKey(const TComb& c) {
  uint64_t k = 0;
  for (int i = 0; i < NUMS_IN_DRAW; ++i) k = (k << 8) | c.n[i];
  return k;
}

std::string NumbersText(const TNumSet& n) {
  std::vector<std::string> parts;
  for (int i = 0; i < n.Count && i < 8; ++i) parts.push_back(std::to_string(n.Nums[i]));
  return Join(parts, ";");
}

std::string ErrorText(const std::exception& e) {
  if (auto* s = dynamic_cast<const EStakesFile*>(&e)) return s->FullText();
  if (dynamic_cast<const std::bad_alloc*>(&e)) return "Недостаточно памяти";
  return e.what();
}

// Unwinds a line when a stop was asked for.
struct TStopUnwind {};

// The random stream of RAND for the pass at one offset: a run's passes draw from streams of their own,
// so that a seeded test gives the same stakes however its passes are spread over the cores.
uint64_t PassSeed(uint64_t runSeed, int offset) {
  uint64_t z = runSeed + 0x9E3779B97F4A7C15ull * (static_cast<uint64_t>(static_cast<uint32_t>(offset)) + 1);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// What the passes of a run share, read-only once made: every combination in ascending order when the
// generator makes the full list, so that the starting lists are copied rather than generated again.
struct TRunShared {
  std::shared_ptr<const TCombsList> Full;
};

// One run (forecast or test) of the session's script, or one pass of a test on a worker.
class TScriptRunner {
 public:
  TScriptRunner(Session& s, TScriptOutput& out, uint64_t seed, TRunShared shared)
      : s_(s), out_(out), seed_(seed), shared_(std::move(shared)) {}

  void Forecast();
  void Test(int tests);
  // The pass of a test at one offset (the draws offset already set): the banner, then the pass; a
  // failure sets the stop flag and is shown, as in a test on one thread.
  void TestPass(int offset);

 private:
  bool Stopped() { return s_.ScriptStopped(); }
  void Log(const std::string& text) { out_.Log(text); }
  void Begin();
  void End();
  void OffsetBanner(int offset);
  // How many threads the test's passes may use: 1 unless each pass stands on its own.
  int TestThreads(int tests);
  void TestHere(int tests);
  void TestOnWorkers(int tests, int threads);
  void OnePass();
  void RunLine(int index, const std::string& line);
  void Generate();
  void MakeStartList(const TScriptOptions& o);
  void ApplyPart(const TFilterPart& part);
  void FilterSelected(TCustomStat& stat, const TFilterPart& part);
  void MakeStakes(const TScriptOptions& o, int line, int variant, const std::string& text,
                  const std::string& comment);
  void StakeComb(const TComb& comb, bool bulk, bool newOnly, const std::string& comment);
  void PlaySystem(bool combined, bool newOnly, const std::string& comment);
  void CheckStakesOnLine() {
    if (s_.StakesCheckOnLine) out_.CheckStakes();
  }

  Session& s_;
  TScriptOutput& out_;
  uint64_t seed_;
  TRunShared shared_;
  std::mt19937_64 rng_;
  int sortColumn_ = 0;
  bool sortDescending_ = false;
  std::chrono::steady_clock::time_point lastStakesShown_{};
};

void TScriptRunner::Begin() {
  s_.BeginBusy();
  s_.ShowStatus(kScriptRunStatus);
  if (s_.ScriptLogEnabled) {
    s_.ScriptLogFile = ScriptLogFileName(s_.DataDir(), Now());
    Log(kLogRunStart);
  }
  s_.ScriptRunning = true;
  s_.StopRequested = false;
  s_.ScriptStakeCount = 0;
  s_.ResetCombsBuffer();  // generation settings or draws may have changed since the last run
  s_.Host().Changed(Change::Actions);  // the views lock while a script runs
  sortColumn_ = s_.DrawsStat.SortColumn();
  sortDescending_ = s_.DrawsStat.SortDescending();
  if (s_.Stats.CombsGen.Mode == kGenModeFull) {
    try {
      auto full = std::make_shared<TCombsList>();
      GenerateCombs(kGenModeFull, {}, *full);
      shared_.Full = std::move(full);
    } catch (const std::bad_alloc&) {
      // The starting lists are then generated one by one, as the generation command does it.
    }
  }
}

void TScriptRunner::End() {
  s_.ScriptCycle = 0;
  s_.ScriptRunning = false;
  s_.StopRequested = false;
  s_.ScriptActiveLine = -1;
  s_.DrawsStat.SetSort(sortColumn_, sortDescending_);
  s_.Host().Changed(Change::Script);
  s_.Host().Changed(Change::Views);
  s_.Host().Changed(Change::Actions);
  Log(kLogRunEnd);
  if (s_.ScriptLogEnabled && !s_.ScriptLogFile.empty() && FileExists(s_.ScriptLogFile))
    s_.Host().OpenDocument(s_.ScriptLogFile);
  s_.ScriptLogFile.clear();
  s_.ShowStatus("");
  s_.EndBusy();
}

void TScriptRunner::OffsetBanner(int offset) {
  Log(LogRuler('='));
  Log(Format(kLogOffsetBanner, {offset}));
  Log(LogRuler('='));
}

void TScriptRunner::Forecast() {
  Begin();
  s_.ScriptCycle = 1;
  s_.ShowScriptStatus(0, kScriptRunStatus);
  try {
    OffsetBanner(s_.DrawsOffset());
    rng_.seed(PassSeed(seed_, s_.DrawsOffset()));
    OnePass();
  } catch (const std::exception& e) {
    s_.StopRequested = true;
    s_.ShowError(ErrorText(e));
  }
  if (!s_.StopRequested) s_.ShowScriptStatus(0, kScriptDoneStatus);
  End();
}

void TScriptRunner::Test(int tests) {
  if (tests <= 0) return;
  Begin();
  const int offset = s_.DrawsOffset();
  s_.ScriptCycle = 0;
  s_.Host().ProgressBegin(tests);
  try {
    const int threads = TestThreads(tests);
    if (threads > 1)
      TestOnWorkers(tests, threads);
    else
      TestHere(tests);
  } catch (const std::exception& e) {
    s_.StopRequested = true;
    s_.ShowError(ErrorText(e));
  }
  s_.Host().ProgressEnd();
  if (!s_.StopRequested) s_.SetDrawsOffset(offset);
  s_.ScriptCycle = 0;
  s_.ShowScriptStatus(0, kScriptDoneStatus);
  End();
}

void TScriptRunner::TestHere(int tests) {
  for (int k = tests; k >= 1; --k) {
    ++s_.ScriptCycle;
    s_.ShowScriptStatus(0, kScriptRunStatus);
    if (Stopped()) break;
    s_.SetDrawsOffset(k);
    if (Stopped()) break;
    OffsetBanner(k);
    if (Stopped()) break;
    rng_.seed(PassSeed(seed_, k));
    OnePass();
    s_.Host().ProgressStep(tests - k + 1);
  }
}

void TScriptRunner::TestPass(int offset) {
  OffsetBanner(offset);
  if (Stopped()) return;
  rng_.seed(PassSeed(seed_, offset));
  try {
    OnePass();
  } catch (const std::exception& e) {
    s_.StopRequested = true;
    s_.ShowError(ErrorText(e));
  }
}

int TScriptRunner::TestThreads(int tests) {
  int threads = s_.ScriptSettings.Threads;
  if (threads <= 0) threads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
  threads = std::min(threads, tests);
  if (threads <= 1) return 1;
  // Prefetch files may be built during a pass; a closed stakes file fails at the first stake.
  if (s_.PrefetchsEnabled || !s_.Stakes.IsOpen()) return 1;
  // A pass stands on its own when no line empties the stakes file and the first line makes its own
  // starting list (CURR there would take the list the previous pass left).
  bool first = true;
  for (const std::string& line : s_.ScriptLines) {
    if (Trim(line).empty()) continue;
    TScriptOptions o;
    try {
      o = TextToScriptOptions(ScriptLineField(line, kOptionsField));
    } catch (const std::exception&) {
      return 1;  // the pass reports it, in order
    }
    if (o.ClearStakes || (first && o.StartCombsType == scCURR)) return 1;
    first = false;
  }
  // NewOnly looks for stakes of the pass's own draw: each offset must have a draw of its own.
  std::unordered_set<int> draws;
  for (int k = 1; k <= tests; ++k)
    if (!draws.insert(s_.Archive.NextDrawNumber(k)).second) return 1;
  return threads;
}

void TScriptRunner::TestOnWorkers(int tests, int threads) {
  std::vector<int> offsets;
  for (int k = tests; k >= 1; --k) offsets.push_back(k);
  s_.Stats.SaveWeights();
  const uint64_t seed = seed_;
  const TRunShared shared = shared_;
  std::unique_ptr<TScriptWorkers> started;
  try {
    started = std::make_unique<TScriptWorkers>(s_, offsets, threads,
                                               [seed, shared](Session& w, int offset, TRecordedPass& out) {
                                                 w.SetDrawsOffset(offset);
                                                 TScriptRunner(w, out, seed, shared).TestPass(offset);
                                               });
  } catch (const std::exception&) {
    // No room for the workers' lists, or no thread to be had: the passes run here one after another.
    return TestHere(tests);
  }
  TScriptWorkers& workers = *started;
  TSessionOutput direct(s_);
  for (size_t j = 0; j < offsets.size(); ++j) {
    ++s_.ScriptCycle;
    s_.ShowScriptStatus(0, kScriptRunStatus);
    if (Stopped()) break;
    const TRecordedPass* pass = nullptr;
    while (!pass && !Stopped()) pass = workers.TakeNext(40);
    if (!pass) break;
    s_.SetDrawsOffset(offsets[j]);
    if (Stopped()) break;
    // Played whole: a stop asked for meanwhile ends the test after this offset.
    pass->Replay(direct);
    s_.Host().ProgressStep(static_cast<int>(j) + 1);
    if (pass->Stopped) {
      s_.StopRequested = true;
      break;
    }
  }
  workers.Stop();
  // The lists and the statistics table as the last pass played left them.
  if (Session* w = workers.FinalState()) {
    s_.CurrentCombs.Swap(w->CurrentCombs);
    s_.PreviousCombs.Clear();
    s_.CombsBuffer.Swap(w->CombsBuffer);
    std::swap(s_.CombsBuffer.Key, w->CombsBuffer.Key);
    s_.FilterLog = w->FilterLog;
    s_.DrawsStat = w->DrawsStat;
    s_.DrawsStatChooser.ItemIndex = w->DrawsStatChooser.ItemIndex;
    s_.Host().Changed(Change::FilterLog);
    s_.UpdateCombsView();
  }
}

void TScriptRunner::OnePass() {
  out_.Separator();
  s_.Stats.SaveWeights();
  const std::vector<std::string> lines = s_.ScriptLines;
  try {
    for (size_t i = 0; i < lines.size(); ++i) {
      if (Stopped()) break;
      const std::string& line = lines[i];
      if (Trim(line).empty()) continue;
      out_.ActiveLine(static_cast<int>(i));
      Log(LogRuler('-'));
      Log(Format(kLogLineBanner, {static_cast<int>(i) + 1, line}));
      Log(LogRuler('-'));
      RunLine(static_cast<int>(i), line);
      out_.ActiveLine(-1);
      if (Stopped()) break;
    }
    if (!s_.StakesCheckOnLine) out_.CheckStakes();
  } catch (...) {
    s_.Stats.RestoreWeights();
    throw;
  }
  s_.Stats.RestoreWeights();
}

void TScriptRunner::RunLine(int index, const std::string& line) {
  const int lineNo = index + 1;
  bool begun = false;
  TFilterVarList variants;
  s_.PreviousCombs.Clear();
  try {
    const TScriptOptions opts = TextToScriptOptions(ScriptLineField(line, kOptionsField));
    const std::string comment = ScriptLineField(line, kCommentField);
    if (Stopped()) throw TStopUnwind{};
    std::vector<TFilterItem> items;
    for (int f = kFirstFilterField; f < kFirstFilterField + kStepFilters; ++f) {
      std::string text = ScriptLineField(line, f);
      if (text.empty()) continue;
      TFilterItem item = TextToFilterItem(text, s_.StatCodes());
      if (item.Stat < 0) throw EQuintar(Format(kStatUnknown, {text}));
      items.push_back(std::move(item));
    }
    if (Stopped()) throw TStopUnwind{};
    Log(kBuildVariantsText);
    out_.LineStatus(lineNo, kBuildVariantsText);
    if (!items.empty()) {
      TVariantHooks hooks;
      hooks.Stopped = [this] { return Stopped(); };
      hooks.Progress = [&](int64_t n) { out_.LineStatus(lineNo, Format(kBuildVariantsProgress, {n})); };
      try {
        BuildFilterVariants(items, s_.StatCodes(), variants, hooks);
      } catch (const std::bad_alloc&) {
        variants.Clear();
        s_.StopRequested = true;
        s_.ShowError(std::string(kTooManyVariants) + "\r\r" + "Недостаточно памяти");
      }
      Log(Format(kVariantsBuiltText, {variants.Count()}));
      if (Stopped()) throw TStopUnwind{};
    }
    const std::string runText = ScriptOptionsToRunText(opts);
    if (!variants.Empty()) {
      const int64_t total = variants.Count();
      TFilterRec rec;
      int v = 0;
      while (variants.TakeFirst(rec)) {
        ++v;
        if (Stopped()) break;
        begun = true;
        const std::string recText = FilterRecToText(rec, s_.StatCodes());
        Log("");
        Log(LogRuler('-'));
        Log(Format(kLogVariantBanner, {v, recText}));
        Log(LogRuler('-'));
        out_.LineStatus(lineNo, Format(kVariantStatus, {v, total, recText}));
        Log(kLogStartList);
        MakeStartList(opts);
        Log(Format(kLogCombsCount, {s_.CurrentCombs.Count()}));
        if (Stopped()) break;
        for (const TFilterPart& part : rec) {
          if (!part.Active || s_.CurrentCombs.Count() <= 1) continue;
          ApplyPart(part);
          if (Stopped()) break;
        }
        if (Stopped()) break;
        MakeStakes(opts, lineNo, v, runText + " + " + recText, comment);
        if (Stopped()) break;
        Log(LogRuler('-'));
        CheckStakesOnLine();
        begun = false;
      }
    } else if (items.empty()) {
      Log(kLogNoFilters);
      Log("");
      out_.LineStatus(lineNo, runText);
      begun = true;
      Log(kLogStartList);
      MakeStartList(opts);
      Log(Format(kLogCombsCount, {s_.CurrentCombs.Count()}));
      if (!Stopped()) {
        MakeStakes(opts, lineNo, 0, runText, comment);
        CheckStakesOnLine();
        begun = false;
      }
    }
  } catch (const TStopUnwind&) {
  } catch (const std::exception& e) {
    s_.StopRequested = true;
    s_.ShowError(ErrorText(e));
  }
  if (begun && s_.StakesCheckOnLine) {
    try {
      CheckStakesOnLine();
    } catch (const std::exception& e) {
      s_.ShowError(ErrorText(e));
    }
  }
  s_.PreviousCombs.Clear();
  variants.Clear();
}

// The generation of a starting list: as the generation command does it (filter log, undo copy), but the
// buffer is kept so that the lists of EXCL lines at the same offset can come back from it.
void TScriptRunner::Generate() {
  BusyScope busy(s_);
  {
    StatusScope status(s_, "Генерация возможных комбинаций...");
    s_.CurrentCombs.Clear();
    try {
      if (shared_.Full && s_.Stats.CombsGen.Mode == kGenModeFull)
        s_.CurrentCombs.CopyFrom(*shared_.Full);
      else
        s_.GenerateCombs(false, s_.Stats.CombsGen);
    } catch (const std::exception& e) {
      s_.ShowError(std::string("Ошибка генерации файла комбинаций!\r\r") + ErrorText(e));
    }
  }
  s_.ClearFilterLog();
  s_.PreviousCombs.Clear();
  s_.UpdateCombsView();
}

void TScriptRunner::MakeStartList(const TScriptOptions& o) {
  const int offset = s_.DrawsOffset();
  if (o.StartCombsType == scFULL || o.StartCombsType == scEXCL) {
    const int excluded = o.StartCombsType == scEXCL ? std::max(0, o.DrawsExclude) : 0;
    if (excluded > 0 && shared_.Full && s_.Stats.CombsGen.Mode == kGenModeFull) {
      // The full list without the last draws' combinations, straight from the run's copy of the full
      // list: the list and the filter log as generation and exclusion leave them. (The undo copy they
      // leave is the full list, which nothing reads before the first filter replaces it.)
      {
        BusyScope busy(s_);
        StatusScope status(s_, ExcludeStatusText(excluded));
        ExcludeLastDrawsFromFull(s_.Archive, offset, excluded, *shared_.Full, s_.CurrentCombs);
      }
      s_.ClearFilterLog();
      s_.PreviousCombs.Clear();
      s_.AddFilterLog(kLogLastDraws, std::to_string(excluded), s_.CurrentCombs.Count(), TFilterMark::Delete);
      s_.UpdateCombsView();
    } else if (excluded > 0 && s_.LoadCombsBuffer(offset, excluded)) {
      // The buffer keeps the list an EXCL line made at this offset; bringing it back gives the same list
      // and the same filter log as making it again.
      s_.ClearFilterLog();
      s_.PreviousCombs.Clear();
      s_.AddFilterLog(kLogLastDraws, std::to_string(excluded), s_.CurrentCombs.Count(), TFilterMark::Delete);
      s_.UpdateCombsView();
    } else {
      Generate();
      if (Stopped()) return;
      if (excluded > 0) {
        s_.SaveUndo(false);
        s_.ExcludeLastDraws(excluded);
        s_.ResetCombsBuffer();
        s_.StoreCombsBuffer(offset, excluded);
      }
    }
    if (Stopped()) return;
  }
  if (o.ClearStakes) out_.ClearStakes();
}

void TScriptRunner::ApplyPart(const TFilterPart& part) {
  TDrawsStat& table = s_.DrawsStat;
  table.ClearSelection();
  TStatChooser& chooser = s_.DrawsStatChooser;
  auto it = std::find(chooser.Methods.begin(), chooser.Methods.end(), part.Stat);
  if (part.Stat < 0 || part.Stat >= s_.Stats.Count())
    throw EQuintar(Format(kStatUnknown, {FilterPartToText(part, s_.StatCodes())}));
  if (it == chooser.Methods.end())
    throw EQuintar(Format(kStatNotListed, {s_.Stats.CodeOf(part.Stat), s_.Stats.DisplayName(part.Stat)}));
  chooser.ItemIndex = static_cast<int>(it - chooser.Methods.begin());
  table.SetSort(part.SortColumn, true);
  table.DrawsStatLen = std::clamp(part.DrawsCount, kDrawsStatLenMin, kDrawsStatLenMax);
  Log(Format(kLogComputeStat, {chooser.Items[static_cast<size_t>(chooser.ItemIndex)], part.DrawsCount}));
  s_.Stats.UseFilterWeights(part.WeightOverride, TWeightCoefs{part.CoefCount, part.CoefDeviation, part.CoefLevel,
                                                              part.CoefPercents, part.CoefAbs});
  std::unique_ptr<TCustomStat> stat = s_.Stats.CreateStat(part.Stat);
  s_.ComputeDrawsStat(true);
  if (Stopped()) return;
  if (s_.ScriptLogEnabled)
    for (int r = 0; r < table.RowCount(); ++r) {
      auto t = table.RowColumnsText(r);
      Log(StatValuesLogText(StatValuesFromTexts(std::vector<std::string>(t.begin(), t.end()), 0)));
    }
  FilterSelected(*stat, part);
}

void TScriptRunner::FilterSelected(TCustomStat& stat, const TFilterPart& part) {
  TDrawsStat& table = s_.DrawsStat;
  const int rows = table.RowCount();
  if (rows == 0) return;
  auto rowValues = [&](int r) {
    auto t = table.RowColumnsText(r);
    return StatValuesFromTexts(std::vector<std::string>(t.begin(), t.end()), stat.TextToKeyChecked(t[0]));
  };
  auto selection = [&] {
    TStatSelection sel;
    for (int r : table.SelectedRows()) sel.push_back({table.Row(r).Rec, std::string(table.Row(r).ValueText())});
    return sel;
  };
  auto filter = [&](const TStatSelection& sel) {
    Log(part.KeepSelected ? kLogKeep : kLogDelete);
    if (sel.empty()) {
      s_.SaveUndo(false);  // the filter then changes nothing
    } else {
      // The undo copy by exchange: the filter empties the list and refills it from the undo copy anyway,
      // so the list's old entries need not be copied.
      s_.PreviousCombs.Swap(s_.CurrentCombs);
    }
    s_.ApplyStatFilter(&stat, !part.KeepSelected, sel);
    Log(Format(kLogCombsCount, {s_.CurrentCombs.Count()}));
    table.ClearSelection();
    if (!s_.CurrentCombs.Empty()) return false;
    Log(kLogRollBack);
    s_.RestoreUndo(false);
    s_.AddFilterLog(kLogUndo, "", s_.CurrentCombs.Count(), TFilterMark::Undo);
    return true;
  };
  int steps = 0;
  for (int k = 0; k < rows; ++k) {
    const int r = part.BottomUp ? rows - 1 - k : k;
    if (Stopped()) return;
    const TStatValues row = rowValues(r);
    if (part.MultiSelect) {
      if (RowStops(part, row, steps)) break;
      if (RowQualifies(part, row)) {
        table.SetSelected(r, true);
        Log(Format(kLogSelectRow, {steps + 1}) + StatValuesLogText(row));
      }
      ++steps;
    } else {
      if (part.StopMode == smSC && s_.CurrentCombs.Count() <= part.StopValue) break;
      if (RowStops(part, row, steps)) break;
      if (!RowQualifies(part, row)) continue;
      table.SelectOnly(r);
      Log(Format(kLogSelectRow, {steps + 1}) + StatValuesLogText(row));
      if (filter(selection())) {
        if (part.StopMode == smSZ) break;
      } else {
        ++steps;
      }
    }
  }
  if (part.MultiSelect && !Stopped()) filter(selection());
}

void TScriptRunner::MakeStakes(const TScriptOptions& o, int line, int variant, const std::string& text,
                               const std::string& comment) {
  Log(Format(kLogStakeMode, {ResultCombsModeName(o.ResultCombsMode, true)}));
  TCombsList& list = s_.CurrentCombs;
  if (list.Empty() || o.ResultCombsMode == rmNONE) return;
  const std::string stakeComment = ScriptStakeComment(line, variant, comment, text);
  if (list.Count() > 1 && o.ResultCombsMode == rmSTOP) {
    s_.StopRequested = true;
    Log(kLogScriptStopped);
    s_.ShowAttention(Format(kScriptStopped, {list.Count(), stakeComment}));
    return;
  }
  if (list.Count() > 1 && o.ResultCombsMode == rmSKIP) {
    Log(kLogStakeSkipped);
    return;
  }
  if (s_.StopRequested) return;
  {
    StatusScope status(s_, kStakesCreateStatus);
    if (list.Count() == 1) {
      StakeComb(list[0], false, o.NewOnly, stakeComment);
    } else {
      switch (o.ResultCombsMode) {
        case rmRAND: {
          std::uniform_int_distribution<int> pick(0, list.Count() - 1);
          StakeComb(list[pick(rng_)], false, o.NewOnly, stakeComment);
          break;
        }
        case rmFIRST: StakeComb(list[0], false, o.NewOnly, stakeComment); break;
        case rmLAST: StakeComb(list[list.Count() - 1], false, o.NewOnly, stakeComment); break;
        case rmALL:
          lastStakesShown_ = {};
          for (int i = 0; i < list.Count(); ++i) {
            if (Stopped()) break;
            StakeComb(list[i], true, o.NewOnly, stakeComment);
          }
          out_.StakesShown();
          break;
        case rmSYSA: PlaySystem(false, o.NewOnly, stakeComment); break;
        case rmSYSC: PlaySystem(true, o.NewOnly, stakeComment); break;
        default: break;
      }
    }
  }
  out_.StakesView(true);
}

void TScriptRunner::StakeComb(const TComb& comb, bool bulk, bool newOnly, const std::string& comment) {
  TStakeRec rec = MakeStakeRecord(s_.NewStakeDraw(), s_.CurrentCombs.Count(), &comb, s_.StakePrices().Fn(), skScript);
  rec.SetComment(comment);
  if (newOnly && out_.StakeExists(rec)) {
    Log(Format(kLogStakeExists, {rec.Draw, NumbersText(rec.Numbers)}));
  } else {
    out_.AddStake(rec, !bulk || s_.StakesScrollEnabled);
    Log(Format(kLogStakeAdded, {rec.Draw, NumbersText(rec.Numbers)}));
  }
  const auto now = std::chrono::steady_clock::now();
  if (!bulk || now - lastStakesShown_ >= std::chrono::milliseconds(101)) {
    lastStakesShown_ = now;
    out_.StakesShown();
  }
}

void TScriptRunner::PlaySystem(bool combined, bool newOnly, const std::string& comment) {
  TCombsList& list = s_.CurrentCombs;
  TByteArray numbers;
  CollectDistinct(reinterpret_cast<const uint8_t*>(list.Data()), list.Count(), numbers);
  const int n = static_cast<int>(numbers.size());
  TCombsArray combs;
  std::string fileName;
  if (!LoadSystemCombs(s_.DataDir(), s_.Host(), numbers, combs, fileName)) {
    Log(Format(kLogSystemError, {n, fileName}));
    return;
  }
  std::string name = ExtractFileName(fileName);
  if (auto dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
  Log(Format(combined ? kLogSystemComb : kLogSystemAll, {n, name}));
  std::unordered_set<uint64_t> inList;
  if (combined) {
    inList.reserve(static_cast<size_t>(list.Count()));
    for (const TComb& c : list) {
      TComb sorted = c;
      SortComb(sorted);
      inList.insert(CombKey(sorted));
    }
  }
  lastStakesShown_ = {};
  for (TComb c : combs) {
    if (Stopped()) break;
    SortComb(c);
    if (combined && !inList.count(CombKey(c))) continue;
    StakeComb(c, true, newOnly, comment);
  }
  out_.StakesShown();
}

}  // namespace

// Session members ---------------------------------------------------------------------------------------

void Session::ReadScriptRunKeys() {
  ScriptLogEnabled = Frm.ReadFormBool(kMainForm, "ScriptLogEnabled", false);
  ScriptSettings.Threads = std::max(0, Frm.Open().ReadInteger(kMainForm, "ScriptThreads", 0));
}

bool Session::ScriptStopped() {
  host_->ProcessEvents();
  return StopRequested;
}

void Session::ScriptLog(const std::string& text) {
  if (!ScriptLogEnabled) return;
  if (ScriptLogEcho) ScriptLogEcho(text);
  if (ScriptLogFile.empty()) ScriptLogFile = ScriptLogFileName(DataDir(), Now());
  try {
    AppendScriptLog(ScriptLogFile, text, Now());
  } catch (const std::exception& e) {
    // Shown once per run: the run goes on without its log.
    if (!scriptLogFailed_) ShowError(Format(kLogWriteError, {e.what()}));
    scriptLogFailed_ = true;
  }
}

void Session::ScriptRun() {
  if (!CanScriptRun()) return;
  scriptLogFailed_ = false;
  TSessionOutput out(*this);
  TScriptRunner(*this, out, ScriptRunSeed(ScriptSettings), {}).Forecast();
}

void Session::ScriptTest(int tests) {
  if (!CanScriptTest() || tests <= 0) return;
  scriptLogFailed_ = false;
  TSessionOutput out(*this);
  TScriptRunner(*this, out, ScriptRunSeed(ScriptSettings), {}).Test(std::min(tests, ScriptTestsMax()));
}

bool Session::ScriptStop() {
  if (!CanScriptStop()) return false;
  if (!Confirm(kScriptStopQuestion, true)) return false;
  ScriptLog(kLogRunBroken);
  StopRequested = true;
  host_->Changed(Change::Actions);
  return true;
}

void Session::LogToggle() {
  ScriptLogEnabled = !ScriptLogEnabled;
  Frm.WriteFormBool(kMainForm, "ScriptLogEnabled", ScriptLogEnabled);
  host_->Changed(Change::Actions);
}

void Session::LogsDelete() {
  const std::vector<std::string> files = FindScriptLogs(DataDir());
  if (files.empty()) {
    ShowInfo(kLogsNotFound);
    return;
  }
  std::vector<std::string> failed;
  {
    BusyScope busy(*this);
    StatusScope status(*this, kLogsSearchStatus);
    for (const std::string& f : files)
      if (!DeleteFileIfExists(f)) failed.push_back(ExtractFileName(f));
  }
  const int deleted = static_cast<int>(files.size() - failed.size());
  if (failed.empty())
    ShowInfo(Format("Удалено файлов журналов: %d.", {deleted}));
  else
    ShowWarning(Format("Удалено файлов журналов: %d из %d.\r\rНе удалось удалить:\r%s",
                       {deleted, static_cast<int>(files.size()), Join(failed, "\r")}));
}

}  // namespace quintar
