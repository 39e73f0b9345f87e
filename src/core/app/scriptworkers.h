// A script test on several cores: the passes of independent offsets run at once, each on a worker copy
// of the run state (archive, catalogue, combination lists, statistics table), and what a pass makes (log
// entries, stakes, stake checks, messages) is recorded and then played on the session in offset order.
// The session therefore sees the very calls a pass on its own thread makes, in the same order.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "app/host.h"
#include "combs/stakesfile.h"

namespace quintar {

class Session;

// Where a pass puts what it makes beyond its own run state.
class TScriptOutput {
 public:
  virtual ~TScriptOutput() = default;
  virtual void Log(const std::string& text) = 0;
  virtual void Separator() = 0;    // AppendStakeSeparator, then the stakes view
  virtual void CheckStakes() = 0;  // CheckStakes, then the stakes view
  virtual void ClearStakes() = 0;  // empties the stakes file (a line's option)
  // NewOnly: whether the stakes file holds a stake for that draw with those numbers.
  virtual bool StakeExists(const TStakeRec& rec) = 0;
  virtual void AddStake(const TStakeRec& rec, bool scroll) = 0;  // one draw; ScriptStakeCount + 1
  virtual void StakesView(bool scroll) = 0;
  virtual void StakesShown() = 0;  // "Ставок: %d" in the script status bar
  virtual void ActiveLine(int index) = 0;
  virtual void LineStatus(int line, const std::string& text) = 0;
};

// The output of a pass on the session's own thread: straight into the session.
class TSessionOutput final : public TScriptOutput {
 public:
  explicit TSessionOutput(Session& s) : s_(s) {}
  void Log(const std::string& text) override;
  void Separator() override;
  void CheckStakes() override;
  void ClearStakes() override;
  bool StakeExists(const TStakeRec& rec) override;
  void AddStake(const TStakeRec& rec, bool scroll) override;
  void StakesView(bool scroll) override;
  void StakesShown() override;
  void ActiveLine(int index) override;
  void LineStatus(int line, const std::string& text) override;
  void Message(MsgKind kind, const std::string& text);

 private:
  Session& s_;
};

// The stakes of the file at the start of a test for a set of draws, as NewOnly looks them up.
class TStakeKeys {
 public:
  void Add(const TStakeRec& rec) { keys_.insert(KeyOf(rec.Draw, rec.Numbers)); }
  bool Has(const TStakeRec& rec) const { return keys_.count(KeyOf(rec.Draw, rec.Numbers)) != 0; }
  // The key FindStake compares: the draw, the number count and that many numbers (at most 8).
  static std::string KeyOf(int32_t draw, const TNumSet& numbers);

 private:
  std::unordered_set<std::string> keys_;
};

// One event of a recorded pass.
struct TPassEvent {
  enum Kind : uint8_t { Log, Separator, Check, Stake, View, Shown, Line, Status, Message };
  Kind What;
  bool Flag = false;  // scroll
  int Number = 0;     // the stake's index in Stakes, the line, the message kind
  std::string Text;
};

// What the pass of one offset made, in order.
class TRecordedPass final : public TScriptOutput {
 public:
  explicit TRecordedPass(const TStakeKeys& before) : before_(&before) {}
  void Log(const std::string& text) override { Add(TPassEvent::Log, text); }
  void Separator() override { Add(TPassEvent::Separator); }
  void CheckStakes() override { Add(TPassEvent::Check); }
  void ClearStakes() override;  // never: a script that clears stakes runs on one thread
  bool StakeExists(const TStakeRec& rec) override;
  void AddStake(const TStakeRec& rec, bool scroll) override;
  void StakesView(bool scroll) override { Add(TPassEvent::View, {}, scroll); }
  void StakesShown() override { Add(TPassEvent::Shown); }
  void ActiveLine(int index) override { Add(TPassEvent::Line, {}, false, index); }
  void LineStatus(int line, const std::string& text) override { Add(TPassEvent::Status, text, false, line); }
  void Message(MsgKind kind, const std::string& text) { Add(TPassEvent::Message, text, false, static_cast<int>(kind)); }
  // Plays the events on the session's own output, in order.
  void Replay(TSessionOutput& out) const;
  bool Stopped = false;  // the pass ended with the stop flag set (a STOP action or an error)

 private:
  void Add(TPassEvent::Kind k, std::string text = {}, bool flag = false, int number = 0) {
    events_.push_back(TPassEvent{k, flag, number, std::move(text)});
  }
  const TStakeKeys* before_;
  std::vector<TPassEvent> events_;
  std::vector<TStakeRec> stakes_;
  TStakeKeys own_;
};

// The worker threads of one test. Each worker owns a session copy and takes the next offset in order;
// the caller plays the finished passes in offset order with TakeNext.
class TScriptWorkers {
 public:
  // Runs one offset's pass on a worker session (its stop flag set when the pass must end early).
  using TPassFn = std::function<void(Session& worker, int offset, TRecordedPass& out)>;
  // offsets in run order; threads >= 1.
  TScriptWorkers(Session& main, std::vector<int> offsets, int threads, TPassFn pass);
  ~TScriptWorkers();  // stops and joins the workers, freeing their sessions
  TScriptWorkers(const TScriptWorkers&) = delete;
  TScriptWorkers& operator=(const TScriptWorkers&) = delete;

  // The pass of the next offset in order once it is finished, nullptr after waiting up to waitMs.
  const TRecordedPass* TakeNext(int waitMs);
  int Taken() const { return taken_; }
  // Ends the workers now: the passes not yet taken are dropped.
  void Stop();
  // The worker session that ran the last pass taken and ran nothing after it, or nullptr.
  Session* FinalState();

 private:
  struct Worker;
  struct Job {
    std::unique_ptr<TRecordedPass> Pass;
    bool Done = false;
  };
  void Run(Worker& w);
  bool Dropped(int job) const { return stop_.load() || job > stopAt_.load(); }

  Session& main_;
  std::vector<int> offsets_;
  TPassFn pass_;
  TStakeKeys before_;
  std::vector<Job> jobs_;
  std::vector<std::unique_ptr<Worker>> workers_;
  std::vector<std::thread> threads_;
  std::atomic<int> next_{0};
  std::atomic<bool> stop_{false};
  std::atomic<int> stopAt_;  // the first job that ended with a stop: later jobs are dropped
  std::mutex mutex_;
  std::condition_variable done_;
  int taken_ = 0;
};

}  // namespace quintar
