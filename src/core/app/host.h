// How the core reaches the person in front of the program. The desktop program implements it with
// message boxes and the status bar, the command-line program with plain text, tests with a recorder.
#pragma once

#include <string>

namespace quintar {

enum class MsgKind { Error, Information, Attention, Warning };

// Captions of the message boxes.
const char* MsgCaption(MsgKind kind);
inline constexpr const char* kConfirmCaption = "Подтверждение";
inline constexpr const char* kDeleteCaption = "Предупреждение";

enum class AskKind {
  ConfirmYes,  // "Подтверждение", Yes preselected
  ConfirmNo,   // "Подтверждение", No preselected
  Delete,      // "Предупреждение", No preselected
  Retry,       // "Ошибка" with Yes and No: try a failed operation again?
};

// What changed in the session, so that a front end can repaint what shows it.
enum class Change {
  DrawsList,       // the archive or its view options changed: list size, colours, offset
  DrawsListForce,  // the same, repaint every row
  Panels,          // a status bar panel text changed
  Views,           // the analysis views were recomputed
  CombsList,       // the combination list changed
  FilterLog,
  Stakes,
  Ratings,
  Tables,          // the tables of the page "Регуляры"
  Script,
  ScriptLibrary,   // the online script catalogue's list
  Systems,         // the online systems catalogue's list
  Settings,        // the catalogue settings changed
  Actions,         // enabling rules may give other answers
};

class IHost {
 public:
  virtual ~IHost() = default;
  // Writes the status text and lets the interface process pending events.
  virtual void ShowStatus(const std::string& text) = 0;
  // Text of a status bar panel, 0-based (0 draws, 1 next draw, 2 next draw's numbers, 3 combinations,
  // 4 stakes, 5 rating, 6 status text).
  virtual void SetPanel(int /*index*/, const std::string& /*text*/) {}
  // Text of a panel of the script tab's status bar, 0-based (0 lines, 1 cycle, 2 line, 3 stakes,
  // 4 free text or the variant being applied).
  virtual void SetScriptPanel(int /*index*/, const std::string& /*text*/) {}
  virtual void BusyChanged(bool /*busy*/) {}
  virtual void ShowMessage(MsgKind kind, const std::string& text) = 0;
  virtual bool Ask(AskKind kind, const std::string& text) = 0;
  // The wait panel: a small borderless panel centred over the main window with one text ("\r" breaks
  // lines), shown during a download; ShowWait again changes its text.
  virtual void ShowWait(const std::string& /*text*/) {}
  virtual void HideWait() {}
  // Progress of a long operation: Begin with the maximum, Step with the position, End.
  virtual void ProgressBegin(int /*max*/) {}
  virtual void ProgressStep(int /*pos*/) {}
  virtual void ProgressEnd() {}
  // Lets the interface process pending events (long loops call it now and then).
  virtual void ProcessEvents() {}
  virtual void Changed(Change /*what*/) {}
  // Opens a file with the system's default program for it (the shell's "open").
  virtual void OpenDocument(const std::string& /*path*/) {}
};

// The delete confirmation text for one or several selected rows.
std::string DeleteRowsQuestion(int rows);

// A host that prints to standard error and answers every question with a fixed answer.
class ConsoleHost : public IHost {
 public:
  explicit ConsoleHost(bool answer = true) : answer_(answer) {}
  void ShowStatus(const std::string& text) override;
  void ShowMessage(MsgKind kind, const std::string& text) override;
  bool Ask(AskKind kind, const std::string& text) override;
  void SetAnswer(bool a) { answer_ = a; }
  bool verbose = false;  // print status texts too

 private:
  bool answer_;
};

// "\r" in message texts stands for a line break.
std::string CrToNewlines(const std::string& text);

}  // namespace quintar
