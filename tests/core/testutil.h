// Helpers shared by the core tests: temporary folders, a recording host, the real archive.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/host.h"
#include "game/game.h"

namespace quintar::test {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }  // with trailing "/"
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// Records what the core showed and answers questions from a queue (Yes when the queue is empty).
class ScriptedHost : public IHost {
 public:
  void ShowStatus(const std::string& text) override { statuses.push_back(text); }
  void SetPanel(int index, const std::string& text) override {
    if (index >= 0 && index < 7) panels[index] = text;
  }
  void BusyChanged(bool busy) override { busyChanges.push_back(busy); }
  void ShowMessage(MsgKind kind, const std::string& text) override { messages.push_back({kind, text}); }
  bool Ask(AskKind kind, const std::string& text) override {
    questions.push_back({kind, text});
    if (answers.empty()) return true;
    bool a = answers.front();
    answers.pop_front();
    return a;
  }
  void Changed(Change what) override { changes.push_back(what); }
  void ShowWait(const std::string& text) override {
    waitTexts.push_back(text);
    waitVisible = true;
  }
  void HideWait() override { waitVisible = false; }
  void ProcessEvents() override { ++processEvents; }

  struct Message {
    MsgKind kind;
    std::string text;
  };
  struct Question {
    AskKind kind;
    std::string text;
  };
  std::vector<std::string> statuses;
  std::string panels[7];
  std::vector<bool> busyChanges;
  std::vector<Message> messages;
  std::vector<Question> questions;
  std::deque<bool> answers;
  std::vector<Change> changes;
  std::vector<std::string> waitTexts;
  bool waitVisible = false;
  int processEvents = 0;
};

// Path of a file of the real archive data (../shared/data), or "" when it is not there.
std::string SharedDataFile(const std::string& name);

// Writes bytes to a file (for building test inputs).
void WriteBytes(const std::string& path, const std::string& bytes);

// Runs quintar-cli with the arguments; returns the exit status and fills stdout/stderr.
int RunCli(const std::vector<std::string>& args, std::string* out = nullptr, std::string* err = nullptr);
// The same as another user (uid and gid uid; -1: this process's own), for tests of folder permissions.
int RunCliAs(int uid, const std::vector<std::string>& args, std::string* out = nullptr, std::string* err = nullptr);

TDraw MakeDraw(int number, std::initializer_list<int> nums, int bonus, const std::string& date = "");

}  // namespace quintar::test
