// Everything the main window owns for the whole run, and the commands over it. Each user command is a
// pair: its enabling rule (Can...) and its execution, taking what a dialog collected as plain arguments.
// The desktop program and the command-line program drive the same Session.
#pragma once

#include <bitset>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/formsettings.h"
#include "app/host.h"
#include "combs/combslist.h"
#include "combs/filterlog.h"
#include "combs/genparams.h"
#include "combs/ratings.h"
#include "combs/stakesfile.h"
#include "game/drawarchive.h"

namespace quintar {

inline constexpr const char* kBaseName = "Quintar_7x35";

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
  // Numbers of the first draw after the analysis window when DrawsOffset > 0.
  std::bitset<MAX_NUMBER + 1> NextDrawNums;
  // Index of the newest draw of the analysis window (the last index).
  int LastIndex() const { return Archive.High() - drawsOffset_; }

  void LoadArchive();
  void SaveArchive();
  void RefreshDrawsList(bool force);
  void RefreshViews(bool force);
  void SetDrawsOffset(int offset);

  // Draw list rows (row 0 = newest draw) as the list shows them.
  static std::vector<std::string> DrawListCaptions();
  TDraw DrawListDraw(int row) const;  // with SortedView applied
  std::vector<std::string> DrawListCells(int row) const;
  int DrawIndexOfRow(int row) const { return Archive.Count() - row - 1; }

  // Draw commands.
  bool CanDrawsAdd() const { return IsIdle(); }
  void DrawsAdd(const TDraw& d);
  bool CanDrawsEdit(int selectedRows) const { return IsIdle() && selectedRows > 0; }
  void DrawsEdit(int row, const TDraw& d);
  bool CanDrawsDel(int selectedRows) const { return IsIdle() && selectedRows > 0; }
  // Asks the delete confirmation; returns false when the user declined.
  bool DrawsDel(const std::vector<int>& rows);
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
  // The generator's default parameters (the generation dialog opens with them; start-up generates them).
  TCombsGenParams CombsGenParams;
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
  void SaveRating();
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

 private:
  std::string dataDir_;
  IHost* host_;
  int busy_ = 0;
  std::string status_;
  std::string panels_[7];
  int drawsOffset_ = 0;
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
