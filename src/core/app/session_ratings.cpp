// The rating of the session: loading, sorting and saving it, folding checked stakes in, and the commands
// of the page "Рейтинг".
#include "app/session.h"
#include "combs/checkjournal.h"
#include "combs/stakesview.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

namespace {
constexpr const char* kRatingsSortKey = "lvRatings.SortType";
}  // namespace

void Session::ReadRatingsKeys() {
  IniFile ini = Frm.Open();
  const int mode = ini.ReadInteger(kMainForm, "RatingsEffMode", kRatingsEffModeDefault);
  RatingsEffMode = mode >= 0 && mode < kRatingsEffModes ? mode : kRatingsEffModeDefault;
  // "column,direction"; a blank text changes nothing, a word that is not a number keeps its value.
  const std::string sort = Trim(ini.ReadString(kMainForm, kRatingsSortKey, ""));
  if (sort.empty()) return;
  const auto words = SplitAny(sort, ",", false);
  if (!words.empty())
    if (auto col = TryStrToInt(Trim(words[0]))) RatingsSortColumn = *col;
  if (words.size() > 1)
    if (auto dir = TryStrToInt(Trim(words[1]))) RatingsSortDescending = *dir != 0;
}

namespace {

// The rows that the rating file does not hold yet, by a journal left when a check did not get as far as
// saving the rating: its rows, and its pending stakes.
void FoldJournal(TRatings& ratings, const TCheckJournal& j) {
  for (const TRatingRec& r : j.Delta) ratings.FoldRow(r);
  for (const auto& p : j.Pending)
    if (p.second.Draw >= 0 && p.second.Checked) ratings.AddToRating(p.second);
}

}  // namespace

std::string Session::CheckJournalFile() const { return CheckJournalPath(Stakes.Path()); }

void Session::LoadRating(bool save) {
  BusyScope busy(*this);
  bool whole = true;
  const std::string path = FilePath(".lrt");
  Ratings.Clear();
  if (FileExists(path)) {
    StatusScope status(*this, kRatingsLoadStatus);
    try {
      Ratings.LoadFromFile(path);
    } catch (const std::exception& e) {
      whole = false;
      ShowFailure(kRatingsReadError, e);
    }
  }
  // A check that ended before the rating was saved left a journal of what the file misses: it is folded
  // in, and the rating saved, once the stakes file has written the journal's records again.
  bool mustSave = false;
  if (whole) {
    try {
      if (auto j = ReadCheckJournal(CheckJournalFile())) {
        if (j->Rating == RatingFingerprint(path)) {
          FoldJournal(Ratings, *j);
          // Saved only once the stakes file holds the journal's records: else they would be checked and
          // counted once more.
          mustSave = Stakes.IsOpen() && Stakes.ApplyCheckJournal();
          if (!mustSave) save = false;
        } else {
          RemoveCheckJournal(CheckJournalFile());  // the rating was saved after it
        }
      }
    } catch (const std::exception& e) {
      ShowFailure(kRatingsReadError, e);
      whole = false;
      mustSave = save = false;
    }
  }
  if ((save || mustSave) && whole) {
    SortRating(RatingsSortColumn, RatingsSortDescending);
    return;
  }
  // Saving what could be read of a damaged file would lose the rest of it for good.
  {
    StatusScope status(*this, kRatingsSortStatus);
    Ratings.Sort(RatingsSortColumn, RatingsSortDescending);
  }
  UpdateRatingsView();
}

void Session::SortRating(int column, bool descending) {
  {
    StatusScope status(*this, kRatingsSortStatus);
    Ratings.Sort(column, descending);
  }
  SaveRating();
}

bool Session::SaveRating() {
  bool ok = true;
  {
    StatusScope status(*this, kRatingsSaveStatus);
    try {
      // The rows in memory hold what a journal of an unfinished check names; once they are saved the
      // journal goes, after its records are back in the stakes file.
      const std::string journal = CheckJournalFile();
      const bool held = CheckJournalExists(journal) && Stakes.IsOpen() && Stakes.ApplyCheckJournal();
      Ratings.SaveToFile(FilePath(".lrt"));
      if (held) RemoveCheckJournal(journal);
    } catch (const std::exception& e) {
      ok = false;
      ShowFailure(kRatingsWriteError, e);
    }
  }
  UpdateRatingsView();
  return ok;
}

void Session::UpdateRatingsView() {
  SetPanel(5, RatingsCountText(Ratings.Count()));
  host_->Changed(Change::Ratings);
  host_->Changed(Change::Actions);
}

bool Session::CheckStakesRated(TStakesFile& file, TStakeCheckHooks hooks) {
  // Every block of checked stakes is journaled before it is written: the journal holds the rows of the
  // stakes checked so far that the rating file does not, and the block's records.
  const std::string journalPath = CheckJournalPath(file.Path());
  TCheckJournal journal;
  TRatings delta;
  TCheckJournalWriter writer(journalPath);
  {
    std::optional<TCheckJournal> left = ReadCheckJournal(journalPath);
    journal.Rating = RatingFingerprint(FilePath(".lrt"));
    if (left && left->Rating == journal.Rating) {
      // An earlier check of this run whose rating could not be saved: the rows in memory hold it, and so
      // must the journal that goes on.
      file.ApplyCheckJournal();
      FoldJournal(delta, *left);
    }
  }
  bool folded = false;
  std::function<void(const TStakeRec&)> also = std::move(hooks.Checked);
  hooks.Checked = [&](const TStakeRec& r) {
    if (Ratings.AddToRating(r)) folded = true;
    delta.AddToRating(r);
    if (also) also(r);
  };
  std::function<void(const std::vector<std::pair<int32_t, TStakeRec>>&)> beforeWrite = std::move(hooks.BeforeWrite);
  hooks.BeforeWrite = [&](const std::vector<std::pair<int32_t, TStakeRec>>& recs) {
    writer.Write(journal.Rating, delta.Rows(), recs);
    if (beforeWrite) beforeWrite(recs);
  };
  bool changed = false;
  try {
    changed = file.CheckStakes(Archive, hooks);
  } catch (...) {
    if (folded) SortRating(RatingsSortColumn, RatingsSortDescending);
    throw;
  }
  if (folded) SortRating(RatingsSortColumn, RatingsSortDescending);
  return changed;
}

std::vector<std::string> Session::RatingsCells(int row) const {
  if (row < 0 || row >= Ratings.Count()) return std::vector<std::string>(kRatingCols);
  return RatingCells(Ratings[row], RatingsEffMode);
}

void Session::RatingsSortBy(int column) {
  if (column < 0 || column >= kRatingCols) return;
  if (column == RatingsSortColumn) {
    RatingsSortDescending = !RatingsSortDescending;
  } else {
    RatingsSortColumn = column;
    RatingsSortDescending = column != 0;
  }
  BusyScope busy(*this);
  SortRating(RatingsSortColumn, RatingsSortDescending);
}

bool Session::RatingsRefresh(TStakesFile& stakes) {
  if (!Ratings.Empty() && !Confirm(kRatingsRefreshQuestion, true)) return false;
  BusyScope busy(*this);
  bool ok = true;
  {
    StatusScope status(*this, kRatingsRefreshStatus);
    try {
      RebuildRating(stakes, Ratings);
    } catch (const std::exception& e) {
      ok = false;
      ShowFailure(kRatingsRefreshError, e);
    }
  }
  // After a failure the rows built so far are shown; the file keeps the rating until the next save.
  if (ok)
    SortRating(RatingsSortColumn, RatingsSortDescending);
  else
    UpdateRatingsView();
  return ok;
}

bool Session::RatingsExport(const std::string& path) {
  BusyScope busy(*this);
  StatusScope status(*this, kRatingsExportStatus);
  try {
    ExportRatingsCsv(path, Ratings.Rows());
  } catch (const std::exception& e) {
    ShowError(Format(kFileWriteError, {path, e.what()}));
    return false;
  }
  return true;
}

int Session::RatingsToScript(const std::vector<int>& rows,
                             const std::function<void(const std::string&)>& addScriptLine) {
  BusyScope busy(*this);
  int added = 0;
  {
    StatusScope status(*this, kRatingsToScriptStatus);
    for (int row : rows) {
      if (row < 0 || row >= Ratings.Count()) continue;
      const std::string name = Ratings[row].Name();
      const auto line = RatingToScriptLine(name);
      if (!line) {
        ShowError(Format(kRatingToScriptRefused, {name}));
        continue;
      }
      try {
        addScriptLine(*line);
      } catch (const std::exception& e) {
        ShowError(e.what());
        break;
      }
      ++added;
    }
  }
  if (added > 0) host_->Changed(Change::Script);
  return added;
}

void Session::SetRatingsEffMode(int mode) {
  if (mode < 0 || mode >= kRatingsEffModes) return;
  RatingsEffMode = mode;
  try {
    Frm.WriteFormInt(kMainForm, "RatingsEffMode", mode);
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
  host_->Changed(Change::Ratings);
  host_->Changed(Change::Actions);
}

TGraphData Session::RatingsGraphOverlap(const std::vector<int>& rows) const {
  return quintar::RatingsGraphOverlap(Ratings.Rows(), rows);
}

namespace {

std::vector<std::string> RowNames(const TRatings& ratings, const std::vector<int>& rows) {
  std::vector<std::string> names;
  for (int row : rows)
    if (row >= 0 && row < ratings.Count()) names.push_back(ratings[row].Name());
  return names;
}

}  // namespace

std::optional<TGraphData> Session::StakesGraphDraws() {
  BusyScope busy(*this);
  StatusScope status(*this, kGraphStatus);
  try {
    return quintar::StakesGraphDraws(Stakes);
  } catch (const EStakesFile& e) {
    ShowError(e.FullText());
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
  return std::nullopt;
}

std::optional<TGraphData> Session::StakesGraphOverlap(TStakesFile& stakes, const std::vector<int>& rows) {
  BusyScope busy(*this);
  StatusScope status(*this, kGraphStatus);
  try {
    return quintar::StakesGraphOverlap(stakes, RowNames(Ratings, rows));
  } catch (const EStakesFile& e) {
    ShowError(e.FullText());
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
  return std::nullopt;
}

std::optional<TGraphData> Session::StakesGraphProfits(TStakesFile& stakes, const std::vector<int>& rows) {
  BusyScope busy(*this);
  StatusScope status(*this, kGraphStatus);
  try {
    return quintar::StakesGraphProfits(stakes, RowNames(Ratings, rows));
  } catch (const EStakesFile& e) {
    ShowError(e.FullText());
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
  return std::nullopt;
}

}  // namespace quintar
