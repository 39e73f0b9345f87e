// The desktop program's side of IHost: message boxes, the status bar, the busy cursor and the repaint of
// whatever shows a changed part of the session.
#pragma once

#include <QString>
#include <functional>

#include "app/host.h"

class QWidget;

namespace quintar::gui {

// Message boxes with the program's captions, buttons, icons and default buttons ("\r" breaks lines).
void ShowMessageBox(QWidget* parent, MsgKind kind, const QString& text);
// Yes/No question; true for Yes.
bool AskBox(QWidget* parent, AskKind kind, const QString& text);

class QtHost : public IHost {
 public:
  // What the main window supplies; each may stay empty (tests, start-up before the window exists).
  std::function<QWidget*()> dialogParent;
  std::function<void(int, const QString&)> setPanel;  // 0..6
  std::function<void(int, const QString&)> setScriptPanel;  // 0..4, the script tab's status bar
  std::function<void(bool)> busyChanged;
  std::function<void(Change)> changed;
  std::function<void(int)> progressBegin, progressStep;
  std::function<void()> progressEnd;
  std::function<void(const QString&)> showWait;  // the wait panel of the download
  std::function<void()> hideWait;

  void ShowStatus(const std::string& text) override;
  void SetPanel(int index, const std::string& text) override;
  void SetScriptPanel(int index, const std::string& text) override;
  void BusyChanged(bool busy) override;
  void ShowMessage(MsgKind kind, const std::string& text) override;
  bool Ask(AskKind kind, const std::string& text) override;
  void ShowWait(const std::string& text) override;
  void HideWait() override;
  void ProgressBegin(int max) override;
  void ProgressStep(int pos) override;
  void ProgressEnd() override;
  void ProcessEvents() override;
  void Changed(Change what) override;
  void OpenDocument(const std::string& path) override;

 private:
  QWidget* Parent() const;
};

}  // namespace quintar::gui
