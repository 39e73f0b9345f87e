// The main window: the draw and combination lists on the left, the analysis pages on the right, the
// main menu with every command, and the status bar. It restores its settings when it is created, loads
// the data files once it is shown and writes its settings when it closes.
#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "app/cmdline.h"
#include "app/host.h"
#include "app/placement.h"
#include "app/startup.h"

class QLabel;
class QProgressBar;
class QSplitter;
class QTabWidget;
class QTimer;

namespace quintar {
class Session;
}

namespace quintar::gui {

class ActionRegistry;
class QtHost;
class TDrawsPage;
class TLanguages;
class TMainPage;

struct TStartOptions {
  std::string ProgramPath;  // full path of the program file (language modules and help live beside it)
  CommandLine Cmd;
  QString ScreenshotFile;   // take a picture of the window once it is ready, then close (--screenshot-page
                            // names the pages shown in it)
};

// The window's designed caption and the version appended to it at initialisation.
extern const char* const kMainCaption;
std::string ProgramVersion();

class TFormMain : public QMainWindow {
  Q_OBJECT

 public:
  TFormMain(Session& session, QtHost& host, TStartOptions options, QWidget* parent = nullptr);
  ~TFormMain() override;

  // Creation ended the program: a previous copy did not end while this one waited for it.
  bool Terminated() const { return terminated_; }
  bool Initialised() const { return initialised_; }
  // Shows the window in the state its stored placement asks for.
  void ShowRestored();

  ActionRegistry& Actions() { return *actions_; }
  TLanguages& Languages() { return *languages_; }
  TDrawsPage* DrawsPage() const { return drawsPage_; }
  TMainPage* Page(const char* objectName) const;
  QLabel* Panel(int index) const { return panels_[static_cast<size_t>(index)]; }
  Session& Sess() { return s_; }

  // Starts the program again and closes this one; raises when the new process cannot be started.
  void RestartProgram();

  QTabWidget* pcLists = nullptr;
  QTabWidget* pcMain = nullptr;
  QSplitter* splitter = nullptr;
  QTimer* tmrInit = nullptr;

  static constexpr int kDesignedLeftWidth = 455;

 signals:
  // The one-shot initialisation has run (also when it failed).
  void InitDone();

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void BuildWindow();
  void BuildMenu();
  void BuildStatusBar();
  void BindCommands();
  void ReadWindowSettings();
  TStartupHooks StartupHooks();
  void InitTimer();
  void ShowFirstRun();
  void ShowAbout();
  void OnChanged(Change what);
  void OnBusyChanged(bool busy);
  void OnTerminateSignal();
  void TakeScreenshot();
  void SetPanelText(int index, const QString& text);
  // The systems menu once the systems catalogue started, the page and the stake commands while it is on.
  void ShowSystems();
  void EditCatalogue();

  Session& s_;
  QtHost& host_;
  TStartOptions opts_;
  std::unique_ptr<TLanguages> languages_;
  std::unique_ptr<TStartup> startup_;
  ActionRegistry* actions_ = nullptr;
  TDrawsPage* drawsPage_ = nullptr;
  std::vector<TMainPage*> pages_;
  std::vector<QLabel*> panels_;
  QProgressBar* progress_ = nullptr;
  TShowState showState_ = TShowState::Normal;
  int leftPanelWidth_ = kDesignedLeftWidth;
  bool terminated_ = false;
  bool initialised_ = false;
  bool shown_ = false;
  bool settingsSaved_ = false;
  bool systemsStarted_ = false;
};

}  // namespace quintar::gui
