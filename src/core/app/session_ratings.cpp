// The rating of the session: loading, sorting and saving it, folding checked stakes in, and the commands
// of the page "Рейтинг".
#include "app/session.h"
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
  if (save && whole) {
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

void Session::SaveRating() {
  {
    StatusScope status(*this, kRatingsSaveStatus);
    try {
      Ratings.SaveToFile(FilePath(".lrt"));
    } catch (const std::exception& e) {
      ShowFailure(kRatingsWriteError, e);
    }
  }
  UpdateRatingsView();
}

void Session::UpdateRatingsView() {
  SetPanel(5, RatingsCountText(Ratings.Count()));
  host_->Changed(Change::Ratings);
  host_->Changed(Change::Actions);
}

bool Session::CheckStakesRated(TStakesFile& file, TStakeCheckHooks hooks) {
  bool folded = false;
  std::function<void(const TStakeRec&)> also = std::move(hooks.Checked);
  hooks.Checked = [&](const TStakeRec& r) {
    if (Ratings.AddToRating(r)) folded = true;
    if (also) also(r);
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
