// The order in which the main window is created, initialised and shut down, and the unattended jobs the
// command-line switches ask for. The core runs the steps; what only the window can do (its font, pages,
// placement, caption, dialogs) it does through hooks, each of which may be left empty.
//
// Window creation (FormCreate) restores the settings and builds the catalogue; the one-shot
// initialisation (InitTimer, 100 ms after the window is shown) opens the stakes file, loads every data
// file, starts the services and runs the unattended job; FormCloseQuery and FormDestroy end the run.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/cmdline.h"

namespace quintar {

class IniFile;
class Session;

inline constexpr const char* kSettingsLoadError = "Ошибка загрузки параметров программы!";
inline constexpr const char* kStartError = "Ошибка запуска программы!";
inline constexpr const char* kInitError = "Ошибка инициализации программы!";
inline constexpr const char* kInitStatus = "Инициализация...";
// Waiting for the previous copy of the program ("restart"): tests 100 ms apart, at most this many times.
inline constexpr int kInstanceWaitTries = 601;
inline constexpr int kInstanceWaitMs = 100;

// Removes what interrupted writes left in the data folder and its prefetch folder (temporary files no
// running process holds).
void RemoveStaleTempFiles(const Session& s);

struct TStartupHooks {
  // Window creation.
  std::function<void()> SetWindowFont;                 // step 1
  std::function<void()> HideSystems;                   // step 4: the page and menu "Системы" and their commands
  std::function<bool()> OtherInstanceRunning;          // step 6; by default the program file name is looked for
  std::function<void(int ms)> Wait;                    // step 6: wait while the interface processes its events
  std::function<void(int language)> ChooseLanguage;    // step 7: the language to use and the help file
  std::function<void()> SetUpViews;                    // step 8: the stakes grid's columns, the optional pages
  std::function<void()> ReadWindowSettings;            // step 9: placement, keys, list layouts (may raise)
  std::function<void(bool prefetchs)> ShowNormColumns; // step 9e at the first start
  std::function<void()> StartTimer;                    // step 12
  // Initialisation.
  std::function<void()> AppendVersion;                 // step 3: " версия " and the version in the caption
  std::function<void()> LoadTables;                    // step 9: the tables file
  std::function<void()> StartServices;                 // step 10: systems page, online script catalogue
  std::function<void()> AttachRatingSort;              // step 11
  std::function<void()> Download;                      // steps 12, 16; by default the session's download
  std::function<void()> Prefetches;                    // steps 14, 15; by default RunStartupPrefetches
  std::function<bool()> UpdateCheck;                   // step 13: true when an update was installed
  std::function<void()> RestartProgram;                // step 13
  std::function<void()> ShowFirstRun;                  // step 17
  // The program ends: an unattended job is done, the stakes file could not be opened, or the previous
  // copy did not end in time.
  std::function<void()> EndProgram;
  // Shutdown.
  std::function<void()> ScriptStop;                    // FormCloseQuery while a script runs
  std::function<void(IniFile&)> SaveWindowPlacement;   // step 1
  std::function<void(IniFile&)> WriteShutdownKeys;     // step 2: the window's own keys
  std::function<void(IniFile&)> SaveListLayouts;       // step 3
  std::function<void()> ReleaseTables;                 // step 4
};

// The prefetch files at start-up: "fullrecreate" rebuilds every file of every group, "fullrefresh" builds
// the missing ones even when prefetching is off, otherwise the missing ones are built when it is on.
void RunStartupPrefetches(Session& s, const CommandLine& cl);

class TStartup {
 public:
  TStartup(Session& s, CommandLine cl, TStartupHooks hooks);

  // Window creation. Returns false when the program ends at once (the previous copy still runs) or a
  // step failed (the window then opens empty and the initialisation never starts).
  bool FormCreate();
  // The one-shot initialisation. Returns false when a step failed or the program is to end.
  bool InitTimer();
  // Closing: a running script is asked to stop first; the window may always close afterwards.
  bool FormCloseQuery();
  // Shutdown: window settings (unless saveSettings is false), then the data in memory and the stakes file.
  void FormDestroy(bool saveSettings = true);

  // Whether the program was asked to end (unattended job done, no stakes file, restart).
  bool EndRequested() const { return ended_; }
  // Names of the steps run so far, in order ("create.9", "init.5", ...), for the record.
  const std::vector<std::string>& Steps() const { return steps_; }
  const CommandLine& Cmd() const { return cl_; }
  // The unattended job: any of "loadonly", "fullrecreate", "fullrefresh".
  bool Unattended() const;

  // Waits while another copy of the program runs; false when it still runs after the last try.
  bool WaitForPreviousInstance();

 private:
  void Step(const char* name) { steps_.push_back(name); }
  void End();
  Session& s_;
  CommandLine cl_;
  TStartupHooks h_;
  bool ended_ = false;
  bool destroyed_ = false;
  std::vector<std::string> steps_;
};

}  // namespace quintar
