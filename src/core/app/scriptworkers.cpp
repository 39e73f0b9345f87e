#include "app/scriptworkers.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <stdexcept>

#include "app/session.h"

namespace quintar {

// The session's own output ----------------------------------------------------------------------------

void TSessionOutput::Log(const std::string& text) { s_.ScriptLog(text); }

void TSessionOutput::Separator() {
  s_.Stakes.AppendStakeSeparator();
  s_.UpdateStakesView(false);
}

void TSessionOutput::CheckStakes() {
  s_.CheckStakes();
  s_.UpdateStakesView(false);
}

void TSessionOutput::ClearStakes() {
  s_.Stakes.ClearStakes();
  s_.Stakes.OpenStakes();
  s_.UpdateStakesView(false);
}

bool TSessionOutput::StakeExists(const TStakeRec& rec) { return s_.Stakes.FindStake(rec.Draw, rec.Numbers); }

void TSessionOutput::AddStake(const TStakeRec& rec, bool scroll) {
  s_.Stakes.AddStake(rec, 1);
  s_.UpdateStakesView(scroll);
  ++s_.ScriptStakeCount;
}

void TSessionOutput::StakesView(bool scroll) { s_.UpdateStakesView(scroll); }

void TSessionOutput::StakesShown() { s_.ShowScriptStakes(); }

void TSessionOutput::ActiveLine(int index) {
  s_.ScriptActiveLine = index;
  s_.Host().Changed(Change::Script);
}

void TSessionOutput::LineStatus(int line, const std::string& text) { s_.ShowScriptStatus(line, text); }

void TSessionOutput::Message(MsgKind kind, const std::string& text) { s_.Host().ShowMessage(kind, text); }

// Recorded passes ---------------------------------------------------------------------------------------

std::string TStakeKeys::KeyOf(int32_t draw, const TNumSet& numbers) {
  const int count = std::clamp<int>(numbers.Count, 0, 8);
  std::string key(reinterpret_cast<const char*>(&draw), sizeof draw);
  key.append(reinterpret_cast<const char*>(&numbers.Count), sizeof numbers.Count);
  key.append(reinterpret_cast<const char*>(numbers.Nums), static_cast<size_t>(count));
  return key;
}

void TRecordedPass::ClearStakes() { throw std::logic_error("a pass that clears the stakes cannot run on a worker"); }

bool TRecordedPass::StakeExists(const TStakeRec& rec) { return before_->Has(rec) || own_.Has(rec); }

void TRecordedPass::AddStake(const TStakeRec& rec, bool scroll) {
  own_.Add(rec);
  Add(TPassEvent::Stake, {}, scroll, static_cast<int>(stakes_.size()));
  stakes_.push_back(rec);
}

void TRecordedPass::Replay(TSessionOutput& out) const {
  for (const TPassEvent& e : events_) {
    switch (e.What) {
      case TPassEvent::Log: out.Log(e.Text); break;
      case TPassEvent::Separator: out.Separator(); break;
      case TPassEvent::Check: out.CheckStakes(); break;
      case TPassEvent::Stake: out.AddStake(stakes_[static_cast<size_t>(e.Number)], e.Flag); break;
      case TPassEvent::View: out.StakesView(e.Flag); break;
      case TPassEvent::Shown: out.StakesShown(); break;
      case TPassEvent::Line: out.ActiveLine(e.Number); break;
      case TPassEvent::Status: out.LineStatus(e.Number, e.Text); break;
      case TPassEvent::Message: out.Message(static_cast<MsgKind>(e.Number), e.Text); break;
    }
  }
}

// Workers ---------------------------------------------------------------------------------------------

namespace {

// The host of a worker session: messages go into the pass being recorded, the status texts and views
// nowhere, and the stop check ends the pass once it is dropped.
class TWorkerHost final : public IHost {
 public:
  void ShowStatus(const std::string&) override {}
  void ShowMessage(MsgKind kind, const std::string& text) override {
    if (pass) pass->Message(kind, text);
  }
  bool Ask(AskKind, const std::string&) override { return false; }
  void ProcessEvents() override {
    if (dropped && dropped()) *stopFlag = true;
  }
  TRecordedPass* pass = nullptr;
  std::function<bool()> dropped;
  bool* stopFlag = nullptr;
};

}  // namespace

struct TScriptWorkers::Worker {
  TWorkerHost Host;
  std::unique_ptr<Session> S;
  int Started = -1;   // the last job begun
  int Finished = -1;  // the last job finished
};

TScriptWorkers::TScriptWorkers(Session& main, std::vector<int> offsets, int threads, TPassFn pass)
    : main_(main), offsets_(std::move(offsets)), pass_(std::move(pass)), stopAt_(INT_MAX) {
  jobs_.resize(offsets_.size());
  // The stakes a pass may meet with NewOnly: those of the file for the draws of the test's offsets (no
  // other pass makes a stake for the draw of another offset).
  std::unordered_set<int32_t> draws;
  for (int k : offsets_) draws.insert(main_.Archive.NextDrawNumber(k));
  main_.Stakes.ForEachStake([&](int, const TStakeRec& r) {
    if (draws.count(r.Draw)) before_.Add(r);
  });
  for (int t = 0; t < threads; ++t) {
    auto w = std::make_unique<Worker>();
    w->S = std::make_unique<Session>(main_.DataDir(), w->Host);
    Session& s = *w->S;
    s.ViewsSuspended = true;  // a worker computes only what its pass asks for
    s.Archive = main_.Archive;
    s.Stats = main_.Stats;
    s.Stats.Draws = &s.Archive.Draws();
    s.DrawsStatChooser = main_.DrawsStatChooser;
    s.DrawsStat = main_.DrawsStat;
    s.SortedView = main_.SortedView;
    s.ShowTotalLine = main_.ShowTotalLine;
    s.PrefetchsEnabled = false;
    s.FilterSplit = false;  // the other cores run passes of their own
    s.ScriptLines = main_.ScriptLines;
    s.ScriptLogEnabled = main_.ScriptLogEnabled;
    s.StakesCheckOnLine = main_.StakesCheckOnLine;
    s.StakesScrollEnabled = main_.StakesScrollEnabled;
    s.ScriptRunning = true;
    s.ReserveCombsLists();
    w->Host.stopFlag = &s.StopRequested;
    workers_.push_back(std::move(w));
  }
  try {
    for (auto& w : workers_) threads_.emplace_back([this, wp = w.get()] { Run(*wp); });
  } catch (...) {
    Stop();  // the threads started so far end before the failure passes on
    throw;
  }
}

TScriptWorkers::~TScriptWorkers() {
  Stop();
  workers_.clear();
}

void TScriptWorkers::Stop() {
  stop_ = true;
  for (std::thread& t : threads_)
    if (t.joinable()) t.join();
  threads_.clear();
}

void TScriptWorkers::Run(Worker& w) {
  Session& s = *w.S;
  while (true) {
    const int job = next_.fetch_add(1);
    if (job >= static_cast<int>(jobs_.size()) || Dropped(job)) break;
    auto pass = std::make_unique<TRecordedPass>(before_);
    w.Started = job;
    w.Host.pass = pass.get();
    w.Host.dropped = [this, job] { return Dropped(job); };
    s.StopRequested = false;
    try {
      pass_(s, offsets_[static_cast<size_t>(job)], *pass);
    } catch (const std::exception& e) {
      // The pass catches its own failures; anything else drops the test from here on.
      s.StopRequested = true;
      pass->Message(MsgKind::Error, e.what());
    }
    w.Host.pass = nullptr;
    if (Dropped(job)) break;
    pass->Stopped = s.StopRequested;
    w.Finished = job;
    const bool stopped = pass->Stopped;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      jobs_[static_cast<size_t>(job)].Pass = std::move(pass);
      jobs_[static_cast<size_t>(job)].Done = true;
      if (stopped) {
        int at = stopAt_.load();
        while (job < at && !stopAt_.compare_exchange_weak(at, job)) {
        }
      }
    }
    done_.notify_all();
    // After a stop this worker takes nothing more, so that its state stays the one the stop left.
    if (stopped) break;
  }
  done_.notify_all();
}

const TRecordedPass* TScriptWorkers::TakeNext(int waitMs) {
  if (taken_ >= static_cast<int>(jobs_.size())) return nullptr;
  std::unique_lock<std::mutex> lock(mutex_);
  Job& job = jobs_[static_cast<size_t>(taken_)];
  if (!job.Done) done_.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return job.Done; });
  if (!job.Done) return nullptr;
  // The previous pass is played by now: its record goes.
  if (taken_ > 0) jobs_[static_cast<size_t>(taken_ - 1)].Pass.reset();
  ++taken_;
  return job.Pass.get();
}

Session* TScriptWorkers::FinalState() {
  const int last = taken_ - 1;
  if (last < 0) return nullptr;
  for (auto& w : workers_)
    if (w->Finished == last && w->Started == last) return w->S.get();
  return nullptr;
}

}  // namespace quintar
