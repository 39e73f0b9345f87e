// Everything the main window owns for the whole run, and the commands over it. Each user command is a
// pair: its enabling rule (Can...) and its execution, taking what a dialog collected as plain arguments.
// The desktop program and the command-line program drive the same Session.
#pragma once

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/formsettings.h"
#include "app/host.h"
#include "app/views.h"
#include "app/selfupdate.h"
#include "combs/combslist.h"
#include "combs/filterlog.h"
#include "combs/filterrecs.h"
#include "combs/filters.h"
#include "combs/genparams.h"
#include "combs/ratings.h"
#include "combs/stakesfile.h"
#include "combs/tables.h"
#include "game/drawarchive.h"
#include "stats/drawsstat.h"
#include "stats/statlist.h"
#include "online/download.h"
#include "online/systemscatalogue.h"
#include "scripts/scriptlibrary.h"
#include "scripts/scriptrun.h"

namespace quintar {

class CommandLine;

inline constexpr const char* kBaseName = "Quintar_7x35";

// A set of statistic group numbers (0..15), such as the groups whose settings changed.
using TStatGroups = std::bitset<16>;

class Session {
 public:
  Session(std::string dataDir, IHost& host);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  IHost& Host() { return *host_; }
  void SetHost(IHost& host) { host_ = &host; }
  const std::string& DataDir() const { return dataDir_; }
  // A data file of the program: the data folder, "Quintar_7x35" and the extension (".ldr").
  std::string FilePath(std::string_view ext) const;

  // Busy state: long operations call BeginBusy on entry and EndBusy on every way out.
  void BeginBusy();
  void EndBusy();
  bool IsIdle() const { return busy_ == 0; }
  int BusyCount() const { return busy_; }
  // Status text (the last status bar panel); lets the interface process pending events.
  void ShowStatus(const std::string& text);
  const std::string& StatusText() const { return status_; }
  // Status bar panel texts 0..5 as last set.
  const std::string& PanelText(int index) const { return panels_[static_cast<size_t>(index)]; }
  void SetPanel(int index, const std::string& text);

  void ShowError(const std::string& text) { host_->ShowMessage(MsgKind::Error, text); }
  // The failure convention: "<resource text>\r\r<exception message>" in an error box.
  void ShowFailure(std::string_view resource, const std::exception& e);
  void ShowInfo(const std::string& text) { host_->ShowMessage(MsgKind::Information, text); }
  void ShowAttention(const std::string& text) { host_->ShowMessage(MsgKind::Attention, text); }
  void ShowWarning(const std::string& text) { host_->ShowMessage(MsgKind::Warning, text); }
  bool Confirm(const std::string& text, bool yesDefault = true) {
    return host_->Ask(yesDefault ? AskKind::ConfirmYes : AskKind::ConfirmNo, text);
  }

  // Window-settings file and the main window's keys held by the core.
  FormSettings Frm;
  void ReadFormKeys();

  // Script state and view refresh suspension.
  bool ScriptRunning = false;
  bool StopRequested = false;
  bool ViewsSuspended = false;

  // Draw archive ------------------------------------------------------------------------------------
  TDrawArchive Archive;
  int DrawsOffset() const { return drawsOffset_; }
  bool SortedView = false;  // "SortedDraws"
  bool ColorDraws = true;   // "ColorDraws"
  // Use prefetch files and the norm columns ("PrefetchsEnabled"); off until the statistics table reads it.
  bool PrefetchsEnabled = false;
  // Numbers per channel for the channel colours; the catalogue settings keep it.
  int ChannelSize() const { return Stats.Config.ChannelSize; }
  std::bitset<MAX_NUMBER + 1> NextDrawNums;  // of the draw after the window when DrawsOffset > 0
  int LastIndex() const { return Archive.High() - drawsOffset_; }  // the window's newest draw

  void LoadArchive();
  bool SaveArchive();  // false after the error was shown
  // Under the archive's lock: re-read when another process replaced it, change() (false: nothing to
  // save), save. False when the lock, the change or the save failed (the error was shown).
  bool UpdateArchive(const std::function<bool()>& change);
  void RefreshDrawsList(bool force);
  void RefreshViews(bool force);
  void SetDrawsOffset(int offset);

  // Draw list rows (row 0 = newest draw) as the list shows them.
  static std::vector<std::string> DrawListCaptions();
  TDraw DrawListDraw(int row) const;  // with SortedView applied
  std::vector<std::string> DrawListCells(int row) const;
  // Background of a draw list cell as 0xRRGGBB, or nothing for the list's own colour: the row at
  // DrawsOffset is #FFAAAA; with ColorDraws the other rows are white and the seven number cells take their
  // channel colours, also in the highlighted row.
  std::optional<uint32_t> DrawListCellColor(int row, int column) const;
  // True when a draw other than the one at exceptIndex carries that number. Draws are found by number
  // (deleting selected rows, the import), so two draws must never share one.
  bool DrawNumberUsed(int number, int exceptIndex = -1) const;
  int DrawIndexOfRow(int row) const { return Archive.Count() - row - 1; }

  // Draw commands.
  bool CanDrawsAdd() const { return IsIdle(); }
  // A draw numbered 0 takes the next number; a number in use or above kMaxDrawNumber is refused.
  bool DrawsAdd(const TDraw& d);
  bool CanDrawsEdit(int selectedRows) const { return IsIdle() && selectedRows > 0; }
  bool DrawsEdit(int row, const TDraw& d);
  bool CanDrawsDel(int selectedRows) const { return IsIdle() && selectedRows > 0; }
  bool DrawsDel(const std::vector<int>& rows);  // false when the user declined the confirmation
  bool CanDrawsImport() const { return IsIdle(); }
  int DrawsImport(const std::string& path);  // returns the number of draws added, -1 on failure
  bool CanDrawsExport() const { return IsIdle() && !Archive.Empty(); }
  bool DrawsExport(const std::string& path);
  bool CanDrawsSorted() const { return IsIdle(); }
  void DrawsSorted();
  bool CanViewColorDraws() const { return IsIdle(); }
  void ViewColorDraws();
  // A zeroed draw numbered NextDrawNumber(0), as the draw dialog opens for a new draw.
  TDraw NewDraw() const;

  // Combination lists -------------------------------------------------------------------------------
  TCombsList CurrentCombs;   // the list shown
  TCombsList PreviousCombs;  // the list before the last list-changing operation; empty: nothing to undo
  TCombsBuffer CombsBuffer;  // the copy the script runner reuses, with its key
  TFilterLog FilterLog;      // the applied-filters log
  bool ColorCombs = true;    // "ColorCombs"
  int CombsExclude = 0;      // last draws to exclude ("DrawsExclude")

  // Room for every possible combination in each of the three lists, so that they never reallocate.
  void ReserveCombsLists();
  // Copies the list into the undo copy ("Создание файла отката..." with show). When the copy cannot be
  // made the undo copy is emptied and the error passes on.
  void SaveUndo(bool show);
  // Brings the undo copy back and empties it ("Отмена изменений..." with show). When the copy cannot be
  // made the list is emptied and the error passes on.
  void RestoreUndo(bool show);
  // The list's row count changed or its rows did: "Комбинаций: %d" and a repaint.
  void UpdateCombsView();
  // Copies the list into the buffer unless the buffer already holds the copy for this key; answers
  // whether the buffer holds it afterwards.
  bool StoreCombsBuffer(int drawsOffset, int excluded);
  // Copies the buffer back into the list when it holds a copy for this key; answers whether it did.
  bool LoadCombsBuffer(int drawsOffset, int excluded);
  void ResetCombsBuffer();
  // Empties the list and appends the combinations of a list file; a read error is shown and what was
  // read stays. Answers whether the whole file was read.
  bool ReadCombsFile(const std::string& path);
  // Writes the list to a list file; an error is shown. Answers whether the file was written.
  bool WriteCombsFile(const std::string& path);
  // Replaces the list by a generated one. With show: busy state and status text, errors are shown, and
  // afterwards the filter log, the undo copy and the buffer are emptied. Without show the list is only
  // filled and errors pass to the caller.
  void GenerateCombs(bool show, const TCombsGenParams& params);
  // Rebuilds the list from the undo copy without the combinations of the last n draws (up to the draws
  // offset) and logs it. The caller takes the undo copy first.
  void ExcludeLastDraws(int n);

  void AddFilterLog(std::string caption, std::string values, int count, TFilterMark mark);
  void ClearFilterLog();
  void RemoveLastFilterLog();

  // Rows of the combination list view: the 1-based position, the seven numbers, their sum.
  static std::vector<std::string> CombsListCaptions();
  std::vector<std::string> CombsListCells(int row) const;
  // Background of a combination list cell as 0xRRGGBB, or nothing for the list's own colour: with
  // ColorCombs the seven number cells take their channel colours and the other cells are white.
  std::optional<uint32_t> CombsListCellColor(int row, int column) const;

  // Combination list commands. Rows and selections are those of the list view.
  bool CanCombsGen() const { return IsIdle(); }
  void CombsGen(const TCombsGenParams& params);
  bool CanCombsDelExists(int n) const {
    return IsIdle() && !CurrentCombs.Empty() && !Archive.Empty() && n > 0;
  }
  void CombsDelExists(int n);
  // Enter in the field of draws to exclude: runs CombsDelExists when the text is a count within the
  // field's bounds and the command is enabled; answers whether it ran.
  bool CombsExcludeEnter(const std::string& text);
  bool CanCombsOpen() const { return IsIdle(); }
  bool CombsOpen(const std::string& path);
  bool CanCombsSave() const { return IsIdle() && !CurrentCombs.Empty(); }
  bool CombsSave(const std::string& path);
  bool CanCombsCopy() const { return IsIdle() && !CurrentCombs.Empty(); }
  // The clipboard text of the selected rows.
  std::string CombsCopy(const TRowSelection& sel);
  bool CanCombsPaste(bool clipboardHasText) const { return IsIdle() && clipboardHasText; }
  // Replaces the list by the combinations of clipboard text; answers whether it did.
  bool CombsPaste(const std::string& text);
  bool CanCombsSelectAll() const { return IsIdle() && !CurrentCombs.Empty(); }
  TRowSelection CombsSelectAll();
  bool CanCombsUndo() const { return IsIdle() && !PreviousCombs.Empty(); }
  void CombsUndo();
  bool CanCombsDelSelected(int selectedRows) const {
    return IsIdle() && !CurrentCombs.Empty() && selectedRows > 0;
  }
  // The view clears its selection when the list changes (Change::CombsList).
  void CombsDelSelected(const TRowSelection& sel);
  bool CanCombsCheckNums() const { return IsIdle(); }
  int CombsCheckNums();
  bool CanCombsFindInDraws(int currentRow) const {
    return IsIdle() && currentRow >= 0 && currentRow < CurrentCombs.Count();
  }
  // Shows the draws (newest first, at most 26) that came out with the row's combination; returns them.
  std::vector<std::string> CombsFindInDraws(int row);
  bool CanCombsInfo(int currentRow) const { return CanCombsFindInDraws(currentRow); }
  bool CanViewColorCombs() const { return IsIdle(); }
  void ViewColorCombs();
  // Filters -----------------------------------------------------------------------------------------
  // Narrows the list (from the undo copy the caller took) to the combinations that give (keep) or do not
  // give (delete) a value of the selected rows, judged against the reference draw of the analysis window,
  // and logs it. Without a statistic object the one chosen in the statistics view is used. Busy state and
  // status text on every way out; an error passes on and leaves the list as far as it was built.
  void ApplyStatFilter(TCustomStat* stat, bool deleteFlag, const TStatSelection& rows);
  // The same with the numbers statistic over a set of numbers 1..35 (card and layout views); an empty set
  // raises kFilterNoValues and changes nothing.
  void ApplyNumberFilter(const TStatDrawArray& numbers, bool deleteFlag, const std::string& caption,
                         const std::string& valuesText);
  // A long filter pass may use a second core (results are those of one thread).
  bool FilterSplit = true;

  // Filter commands of the statistics table over the given rows (the table's selected rows).
  bool CanStatFilter(int selectedRows) const { return IsIdle() && !CurrentCombs.Empty() && selectedRows > 0; }
  void StatFilter_Include(const TStatSelection& rows);
  void StatFilter_Exclude(const TStatSelection& rows);
  // The same over the rows selected in the statistics table (DrawsStat), in row order.
  TStatSelection DrawsStatSelection() const;
  bool CanStatFilter() const { return CanStatFilter(DrawsStat.SelectedCount()); }
  void StatFilter_Include() { StatFilter_Include(DrawsStatSelection()); }
  void StatFilter_Exclude() { StatFilter_Exclude(DrawsStatSelection()); }
  // Favourites: reset after the question (answers whether it was done), the manager, the description.
  bool CanFiltersReset() const { return IsIdle(); }
  bool FiltersReset();
  bool CanFiltersManager() const { return IsIdle(); }
  bool CanFiltersInfo() const { return IsIdle() && DrawsStatChooser.SelectedMethod() >= 0; }
  // The address of the chosen statistic's description page; "" (after a message) when there is none.
  std::string FiltersInfo();
  // The same for a catalogue method.
  std::string StatHelpUrl(int method);
  // Statistic catalogue -----------------------------------------------------------------------------
  TStatList Stats;  // bound to the archive
  // The statistic choosers of the statistics table and of the graphs view.
  TStatChooser DrawsStatChooser{"cbDrawsStatType"};
  TStatChooser DrawsGraphChooser{"cbDrawsGraphType"};

  // Settings file "Quintar_7x35.ini" and favourites file "Quintar_7x35.flt". Failures are shown in an
  // error box; the catalogue keeps what it holds in memory. Each returns whether it succeeded.
  bool ReadSettings();
  bool WriteSettings();
  bool WriteShreddingSettings();
  bool WriteCombsGenSettings();
  bool LoadStatNames(const std::string& path, bool withFilters);
  bool SaveStatNames(const std::string& path, bool withFilters, bool allNames);
  // Start of the catalogue: settings, catalogue, favourites and own names, choosers.
  void StartCatalogue();
  // Refills the choosers; with reload the catalogue is rebuilt first (favourites and own names survive
  // through the favourites file).
  void RebuildStatLists(bool reload, bool keepSelection);

  // Configuration dialog (EditConfig): the block it edits, and storing what it collected. EditConfig
  // refuses a block with bad values (error box, returns false); otherwise it writes the settings,
  // rebuilds the catalogue and refreshes the views, and reports in changedGroups the statistic groups
  // whose settings changed (channels 3, matrix 4, segments 5).
  bool CanEditConfig() const { return IsIdle(); }
  TConfigData ConfigData() const { return Stats.Config; }
  bool EditConfig(const TConfigData& data, TStatGroups* changedGroups = nullptr);
  TAnalysisViews Views{*this};  // graphs, card, layout, the analysis windows and the details window
  // Statistics table (page "Статистика") ----------------------------------------------------------------
  TDrawsStat DrawsStat;
  bool ShowTotalLine = true;  // "ShowTotalLine": the ideal-distribution line of the chart
  // Window-settings keys of the table: "DrawsStatLen", "PrefetchsEnabled", "ShowTotalLine"; the count is
  // written at shutdown, the switches when they change.
  void ReadDrawsStatKeys();
  void WriteDrawsStatKeys();
  // The table over the window for the chooser's method; unless forced, only when the archive size, the
  // draws offset, the draws count or the chooser position changed since the last computation.
  void ComputeDrawsStat(bool force);
  bool CanDrawsStatCalc() const { return IsIdle() && !Archive.Empty() && DrawsStatChooser.SelectedMethod() >= 0; }
  void DrawsStatCalc() { ComputeDrawsStat(true); }
  // The chooser's position changed (cbDrawsStatTypeChange): computes when DrawsStatCalc is enabled.
  void DrawsStatTypeChange(int itemIndex);
  // Enter in edDrawsStatLen: a count within the field's limits is taken and acts as a chooser change;
  // answers whether it was taken.
  bool DrawsStatLenEnter(const std::string& text);
  bool CanDrawsStatePrefetchsEnabled() const { return IsIdle(); }
  bool DrawsStatePrefetchsEnabledChecked() const { return PrefetchsEnabled; }
  void DrawsStatePrefetchsEnabled();
  bool CanDrawsStatShowTotalLine() const { return IsIdle() && PrefetchsEnabled; }
  bool DrawsStatShowTotalLineChecked() const { return ShowTotalLine; }
  void DrawsStatShowTotalLine();
  bool CanDrawsStatExportToExcel() const { return IsIdle() && !DrawsStat.Empty(); }
  // The three norm columns are shown (width kNormColumnWidth) with prefetch files, else hidden.
  bool NormColumnsShown() const { return PrefetchsEnabled; }

  // Prefetch cache: one file per prefetchable method in the folder "Prefetchs".
  int PrefetchThreads = 2;  // workers enumerating the full set of combinations
  std::string PrefetchFileName(int method) const;
  // The method's prefetch data; nothing unless PrefetchsEnabled and the method is prefetchable. A missing
  // or empty file is built first. Errors are shown and give nothing.
  std::optional<TPrefetchData> OpenPrefetch(int method);
  // Builds the method's file (busy state, status text); the combination lists stay as they are. On
  // failure the partial file is deleted and the error shown; answers whether the file was written.
  bool BuildPrefetch(int method);
  // Nothing unless force or PrefetchsEnabled. Otherwise, with a progress step per catalogue method,
  // builds the file of every prefetchable method whose file is missing or whose group is in groups.
  void BuildAllPrefetches(bool force, TStatGroups groups);
  // The start-up switches: "fullrecreate" rebuilds every file, "fullrefresh" builds the missing ones
  // even when prefetching is off; without them the missing files are built when it is on. Answers whether
  // the program should end now (either switch given).
  bool StartupPrefetches(const CommandLine& cl);

  // Draw results download ---------------------------------------------------------------------------
  TProxy Proxy;
  TOnlineAddresses Online = TOnlineAddresses::Defaults();
  TDownloadTuning DownloadTuning;
  // Settings file Quintar_7x35.ini: the proxy (section "PROXY") and the service addresses ("ONLINE").
  void ReadProxySettings();
  // Writes the proxy settings; with busy, inside the busy state with a status text. False on failure (shown).
  bool WriteProxySettings(bool busy);
  void ReadOnlineSettings();

  bool CanDrawsDownload() const { return IsIdle(); }
  TDownloadResult DrawsDownload() { return DownloadDraws(*this); }
  // The last step of a download: check the stakes against the new draws.
  void CheckStakesAfterDownload();
  // The proxy dialog's OK: choice 0 none, 1 automatic, 2 manual with the four values.
  bool CanEditProxy() const { return IsIdle(); }
  void EditProxy(int choice, const std::string& server, int port, const std::string& username,
                 const std::string& password);
  // "DownloadDrawsOnStart": 0 ask, 1 automatic, 2 never (menu "По запросу", "Автоматически", "Отключено").
  int DownloadOnStart() const;
  bool CanAutoDownload() const { return IsIdle(); }
  void AutoDownload(int value);
  bool AutoDownloadChecked(int value) const { return DownloadOnStart() == value; }
  // The lottery's site for the browser.
  bool CanOpenLotoSite() const { return IsIdle(); }
  std::string LotoSiteUrl() const { return Online.LotteryUrl; }
  // The start-up download by "DownloadDrawsOnStart" (asks when it is 0).
  void StartupDownload();
  // The switch "loadonly": downloads at once; true when the program should then end (unless "fullrecreate"
  // or "fullrefresh" is given too). False without the switch.
  bool LoadOnlyDownload(const CommandLine& cl);

  TScriptLibrary ScriptLibrary{*this};  // online scripts of the page "Сценарий"
  TSystemsCatalogue Systems{*this};      // online systems of the page "Системы"

  // Statistic codes ----------------------------------------------------------------------------------
  // Statistic codes of the catalogue, in catalogue order, as script filters look them up.
  const IStatCodes& StatCodes() const { return statCodes_; }

  // Script list --------------------------------------------------------------------------------------
  std::vector<std::string> ScriptLines;  // the current script; "" is a separator line
  int ScriptCycle = 0;                   // pass of a test run (1 in a forecast, 0 when idle)
  int ScriptStakeCount = 0;              // stakes made since the run started
  std::string ScriptFilePath() const { return FilePath(".lss"); }
  // Start-up: the working file becomes the script when it exists.
  void LoadScript();
  // Writes the working file; the list and "Строк: %d" follow. Answers whether the file was written.
  bool SaveScript();
  // Appends a line and saves the working file; returns the new line's index.
  int AddScriptLine(const std::string& text);
  // Reads a script file into the list, replacing it or appending to it; a read error is shown and the
  // list stays as it was. Answers whether the file was read.
  bool LoadScriptFile(const std::string& path, bool append);
  // Writes the list to a script file; a write error is shown. Answers whether the file was written.
  bool SaveScriptFile(const std::string& path);

  // The script list's rows.
  std::vector<std::string> ScriptListCells(int row) const;
  // The script status bar; every update lets the interface process pending events.
  const std::string& ScriptPanelText(int index) const { return scriptPanels_[static_cast<size_t>(index)]; }
  void SetScriptPanel(int index, const std::string& text);
  // Cycle, line (from 1; 0 outside lines), stake count and the free text.
  void ShowScriptStatus(int line, const std::string& text);
  void ShowScriptStakes();

  // Script list commands. "selected" is the selected line (the first one of several) or -1; the
  // commands that add or move a line return its index so that the view can select it and scroll to it.
  bool CanScriptOpen() const { return IsIdle(); }
  bool ScriptOpen(const std::string& path);
  bool CanScriptSave() const { return IsIdle() && !ScriptLines.empty(); }
  bool ScriptSave(const std::string& path);
  bool CanScriptLoad() const { return IsIdle(); }
  bool ScriptLoad(const std::string& path);
  bool CanScriptAdd() const { return IsIdle(); }
  int ScriptAdd(const std::string& line);  // the line the editor made
  bool CanScriptEmpty() const { return IsIdle() && !ScriptLines.empty(); }
  int ScriptEmpty();
  bool CanScriptClone(int selected) const;
  int ScriptClone(const std::string& line);  // the line the editor made from the selected one
  bool CanScriptEdit(int selected) const { return CanScriptClone(selected); }
  bool ScriptEdit(int index, const std::string& line);
  bool CanScriptDel(int selectedCount) const { return IsIdle() && selectedCount > 0; }
  // Asks the delete question; returns false when the user declined.
  bool ScriptDel(const std::vector<int>& rows);
  bool CanScriptClr() const { return IsIdle() && !ScriptLines.empty(); }
  bool ScriptClr();
  bool CanScriptUp(int selected) const;
  int ScriptUp(int index);  // the line's new index, or -1 when it could not move
  bool CanScriptDown(int selected) const;
  int ScriptDown(int index);

  // Script runs ---------------------------------------------------------------------------------------
  // A forecast runs every line once at the current draws offset; a test runs it for each of the last N
  // offsets, oldest first, then puts the offset back unless stopped (ScriptStop, STOP or an error).
  bool ScriptLogEnabled = false;  // "ScriptLogEnabled": write the run log
  TScriptRunSettings ScriptSettings;  // cores and RAND seed of a test ("ScriptThreads")
  std::string ScriptLogFile;      // the run's log file, "" when none
  int ScriptActiveLine = -1;      // the line being run (the only selected line of the list), -1 none
  std::function<void(const std::string&)> ScriptLogEcho;  // gets every log entry too (the CLI prints them)
  void ReadScriptRunKeys();
  bool CanScriptRun() const { return IsIdle() && !ScriptLines.empty() && !Archive.Empty(); }
  void ScriptRun();
  bool CanScriptTest() const { return CanScriptRun(); }
  // The test count question: 1 .. draws - 1, initially 10.
  int ScriptTestsMax() const { return std::max(1, Archive.Count() - 1); }
  void ScriptTest(int tests);
  bool CanScriptStop() const { return ScriptRunning && !StopRequested; }
  // Asks "Остановить выполнение сценария?"; answers whether the stop was asked for.
  bool ScriptStop();
  bool CanLogToggle() const { return IsIdle() && !ScriptRunning; }
  bool LogToggleChecked() const { return ScriptLogEnabled; }
  void LogToggle();
  bool CanLogsDelete() const { return IsIdle() && !ScriptRunning; }
  void LogsDelete();
  // One entry of the run log (only when logging is on).
  void ScriptLog(const std::string& text);
  // The runner's check: lets the interface process pending events, then answers the stop flag.
  bool ScriptStopped();

  // Stake charts --------------------------------------------------------------------------------------
  bool CanStakesGraphDraws() const { return IsIdle() && Stakes.IsOpen(); }
  // The summed profit per draw ("Создание графиков..."), or nothing after an error box.
  std::optional<TGraphData> StakesGraphDraws();

  // Ratings -----------------------------------------------------------------------------------------
  // The rows of the rating view, in its order; the ratings file holds them in the same order.
  TRatings Ratings;
  int RatingsEffMode = kRatingsEffModeDefault;        // "RatingsEffMode"
  int RatingsSortColumn = kRatingsDefaultSortColumn;  // "lvRatings.SortType": column,direction
  bool RatingsSortDescending = true;                  // direction 1 (0 is ascending)

  // Reads "RatingsEffMode" and the view's sort settings from the window-settings file.
  void ReadRatingsKeys();
  // Start-up: reads the ratings file when it exists ("Ошибка чтения файла рейтинга!" keeps the rows read
  // so far), then sorts by the view's settings and saves. Without save, or when the file could not be
  // read whole, the rows are only sorted in memory and the file stays as it is.
  void LoadRating(bool save = true);
  // Sorts the rows ("Сортировка рейтинга...") and saves them.
  void SortRating(int column, bool descending);
  // Rewrites the ratings file ("Ошибка записи в файл рейтинга!" on failure) and updates the view.
  bool SaveRating();  // false after the error was shown
  std::string CheckJournalFile() const;
  // Row count in the status bar ("Рейтинг: %d") and a repaint of the view.
  void UpdateRatingsView();
  // Checks the stakes with every newly checked stake folded into the rating; when any was folded, the
  // rating is re-sorted and saved afterwards, also when the check failed part way (the stakes checked
  // so far stay checked). Returns what the check returns; a failure of the check passes on.
  bool CheckStakesRated(TStakesFile& file, TStakeCheckHooks hooks);

  static std::vector<std::string> RatingsCaptions() { return RatingCaptions(); }
  std::vector<std::string> RatingsCells(int row) const;

  // Rating commands. Rows are rows of the view (indexes into Ratings).
  // A header click: the same column again turns the direction round; another column starts descending,
  // the name column ascending.
  bool CanRatingsSort() const { return IsIdle(); }
  void RatingsSortBy(int column);
  bool CanRatingsRefresh(bool stakesOpen) const { return IsIdle() && stakesOpen; }
  // Asks first when the rating is not empty; returns whether the rating was rebuilt.
  bool RatingsRefresh(TStakesFile& stakes);
  bool CanRatingsExport() const { return IsIdle() && !Ratings.Empty(); }
  bool RatingsExport(const std::string& path);
  bool CanRatingsToScript(int selectedRows) const { return IsIdle() && selectedRows > 0; }
  // Hands the script line of every row that has one to addScriptLine, in order; a row without one gets
  // the refusal message. Returns the number of lines added (the script page comes forward when > 0).
  int RatingsToScript(const std::vector<int>& rows, const std::function<void(const std::string&)>& addScriptLine);
  bool CanRatingsEffMode() const { return IsIdle(); }
  bool RatingsEffModeChecked(int mode) const { return RatingsEffMode == mode; }
  void SetRatingsEffMode(int mode);
  bool CanRatingsGraphOverlap(int selectedRows) const { return IsIdle() && selectedRows > 0; }
  TGraphData RatingsGraphOverlap(const std::vector<int>& rows) const;
  bool CanStakesGraphOverlap(bool stakesOpen, int selectedRows) const {
    return IsIdle() && stakesOpen && selectedRows > 0;
  }
  bool CanStakesGraphProfits(bool stakesOpen, int selectedRows) const {
    return CanStakesGraphOverlap(stakesOpen, selectedRows);
  }
  // The chart to show, or nothing after an error box.
  std::optional<TGraphData> StakesGraphOverlap(TStakesFile& stakes, const std::vector<int>& rows);
  std::optional<TGraphData> StakesGraphProfits(TStakesFile& stakes, const std::vector<int>& rows);

  TSelfUpdate SelfUpdate{*this};  // the update check, the install and their commands

  // Stakes --------------------------------------------------------------------------------------------
  // The stakes file "Quintar_7x35.lsk": open (and locked against other copies of the program) from
  // LoadStakes to CloseStakesFile.
  TStakesFile Stakes;
  bool StakesLogEnabled = false;    // "StakesLogEnabled"
  bool StakesScrollEnabled = true;  // "StakesScrollEnabled"
  bool StakesCheckOnLine = true;    // "StakesCheckOnLine", read by the script runner
  bool StakesOpen() const { return Stakes.IsOpen(); }
  // Reads the three stake switches from the window-settings file.
  void ReadStakesKeys();
  // Cost and prizes of the catalogue settings.
  TStakePrices StakePrices() const;
  // The draw a new stake is for: the reference draw's number plus one (1 with an empty archive, -1 when
  // the offset lies outside the archive).
  int NewStakeDraw() const { return Archive.NextDrawNumber(drawsOffset_); }
  // A new stake as the add commands make it, for the combination of a list row (none when row is not a
  // row of the list).
  TStakeRec NewStake(int combRow) const;

  // Start-up: opens the stakes file; an old-version file is emptied after a warning. False (after the
  // read error) when the file cannot be opened: another copy of the program holds it or the folder is
  // not writable.
  bool LoadStakes();
  // LoadStakes, and when the file cannot be opened the exclusive-access error: the program must end.
  bool LoadStakesExclusive();
  // Shutdown: closes the stakes file ("Ошибка записи в файл ставок!" on failure).
  void CloseStakesFile();
  // The grid shows Count() + 1 rows; "Ставок: %d"; with scrollToEnd the grid selects its last row.
  void UpdateStakesView(bool scrollToEnd);
  // Whether the grid should scroll to its end; reading clears the request.
  bool TakeStakesScroll() {
    bool s = stakesScroll_;
    stakesScroll_ = false;
    return s;
  }
  // Checks every unchecked stake whose draw is in the archive, folding each into the rating and writing
  // its log line when logging is on; failures are shown. Returns whether any stake changed.
  bool CheckStakes();

  // Stake commands. Stake rows are record indexes (the grid's data rows).
  bool CanStakeAdd() const { return IsIdle() && StakesOpen(); }
  bool CanStakeAddRandom() const { return IsIdle() && !CurrentCombs.Empty() && StakesOpen(); }
  // A row of the list picked uniformly at random (-1 when the list is empty).
  int RandomCombRow() const;
  // The stake dialog's OK: the error text of its checks (the dialog stays open), or "" once the stake is
  // added for in.Draws draws; the stakes are then checked and the grid scrolls to the end.
  std::string StakeAdd(const TStakeDialogInput& in, const TStakeRec& base);
  bool CanStakeAddSelected(int selectedRows) const { return IsIdle() && selectedRows > 0 && StakesOpen(); }
  bool CanStakeAddAll() const { return IsIdle() && !CurrentCombs.Empty() && StakesOpen(); }
  // The multi-stake dialog's OK: the error text of its checks, or "" once one stake per combination of
  // the selection (all rows when sel is null) was added; the loop stops at the first failure.
  std::string StakeAddMulti(const TRowSelection* sel, int draw, int draws, const std::string& comment);
  bool CanStakeDel(int firstSelected) const {
    return IsIdle() && StakesOpen() && firstSelected >= 0 && firstSelected < Stakes.Count();
  }
  // Deletes the records first..last after the confirmation; false when declined or failed.
  bool StakeDel(int first, int last);
  bool CanStakeFilter() const { return IsIdle() && StakesOpen(); }
  // Deletes the records the condition (0..4 of StakeFilterConditions) with the match count value
  // selects; separators stay.
  bool StakeFilter(int condition, int value);
  bool CanStakeClear() const { return IsIdle() && StakesOpen(); }
  // Deletes every record after the confirmation, then offers the ratings refresh.
  bool StakeClear();
  bool CanStakesCheckManual() const { return IsIdle() && StakesOpen(); }
  void StakesCheckManual();
  bool CanLogStakes() const { return IsIdle(); }
  void LogStakes();
  bool CanLogStakesDelete() const { return IsIdle(); }
  void LogStakesDelete();
  bool CanStakesScroll() const { return IsIdle(); }
  void StakesScroll();
  bool CanStakesCheckLine() const { return IsIdle(); }
  void StakesCheckLine();

  TTables Tables{*this};  // page "Регуляры"; its enabling rules are forwarded here
  bool CanTabTables() const { return Tables.CanTabTables(); }
  bool CanTablesAdd() const { return Tables.CanAdd(); }
  bool CanTablesDel(int selected) const { return Tables.CanDel(selected); }
  bool CanTablesStakeAdd(int current) const { return Tables.CanStakeAdd(current); }
  bool CanTablesStakeTest(int selected) const { return Tables.CanStakeTest(selected); }

 private:
  void ScriptChanged();
  std::string dataDir_;
  IHost* host_;
  int busy_ = 0;
  std::string status_;
  std::string panels_[7];
  int drawsOffset_ = 0;
  struct CatalogueCodes : IStatCodes {
    explicit CatalogueCodes(const TStatList& list) : stats(list) {}
    int Count() const override { return stats.Count(); }
    std::string Code(int index) const override { return stats.CodeOf(index); }
    const TStatList& stats;
  };
  CatalogueCodes statCodes_{Stats};
  std::string scriptPanels_[5];
  bool stakesScroll_ = false;
  bool scriptLogFailed_ = false;
};

// Keeps the session busy for the lifetime of the object.
class BusyScope {
 public:
  explicit BusyScope(Session& s) : s_(s) { s_.BeginBusy(); }
  ~BusyScope() { s_.EndBusy(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  Session& s_;
};

// Shows a status text for the lifetime of the object and clears it at the end.
class StatusScope {
 public:
  StatusScope(Session& s, const std::string& text) : s_(s) { s_.ShowStatus(text); }
  ~StatusScope() { s_.ShowStatus(""); }
  StatusScope(const StatusScope&) = delete;
  StatusScope& operator=(const StatusScope&) = delete;

 private:
  Session& s_;
};

}  // namespace quintar
