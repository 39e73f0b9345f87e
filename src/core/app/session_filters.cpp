// The filter commands of the session: statistic and number filters over the combination list, the
// favourites reset and the statistic description.
#include <new>

#include "app/session.h"
#include "util/format.h"

namespace quintar {

namespace {

constexpr const char* kFiltersResetQuestion = "Вы действительно хотите сбросить список избранных фильтров?";
constexpr const char* kNoDescription = "Описание статистики не найдено!";

std::string FailureText(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e)) return "Недостаточно памяти";
  return e.what();
}

// Updates the list view when it goes out of scope, also when an error passes through.
class CombsViewUpdate {
 public:
  explicit CombsViewUpdate(Session& s) : s_(s) {}
  ~CombsViewUpdate() { s_.UpdateCombsView(); }
  CombsViewUpdate(const CombsViewUpdate&) = delete;
  CombsViewUpdate& operator=(const CombsViewUpdate&) = delete;

 private:
  Session& s_;
};

// The common part of both filters: the undo copy filtered into the list, one log line.
void RunFilter(Session& s, TCustomStat& stat, const TStatDrawArray& set, bool deleteFlag, std::string caption,
               std::string valuesText) {
  s.CurrentCombs.Clear();
  s.CurrentCombs.Reserve(s.PreviousCombs.Capacity());
  CombsViewUpdate update(s);
  if (s.PreviousCombs.Empty()) return;
  const int refIndex = FilterReferenceIndex(s.Archive.High(), s.DrawsOffset());
  const size_t n = static_cast<size_t>(s.PreviousCombs.Count());
  TComb* out = s.CurrentCombs.Tail(n);  // no growth: the capacity covers the undo copy
  TStatCloner cloner;
  if (s.FilterSplit && stat.StatClass().IsBuilt())
    cloner = [&] { return stat.StatClass().Factory(stat.StatClass(), s.Stats, stat.Param); };
  size_t written = 0;
  try {
    FilterCombs(stat, set, s.PreviousCombs.Data(), n, out, refIndex, s.SortedView, deleteFlag, cloner, &written);
  } catch (...) {
    s.CurrentCombs.Commit(written);
    throw;
  }
  s.CurrentCombs.Commit(written);
  s.AddFilterLog(std::move(caption), std::move(valuesText), s.CurrentCombs.Count(),
                 deleteFlag ? TFilterMark::Delete : TFilterMark::Keep);
}

}  // namespace

void Session::ApplyStatFilter(TCustomStat* stat, bool deleteFlag, const TStatSelection& rows) {
  BusyScope busy(*this);
  StatusScope status(*this, kFilterStatus);
  if (rows.empty()) return;
  const TStatDrawArray set = SelectionValues(rows);
  std::string valuesText = SelectionText(rows);
  std::unique_ptr<TCustomStat> own;
  if (!stat) {
    own = Stats.CreateSelectedStat(DrawsStatChooser);
    stat = own.get();
  }
  const int item = DrawsStatChooser.ItemIndex;
  std::string caption = item >= 0 && item < DrawsStatChooser.Count() ? DrawsStatChooser.Items[static_cast<size_t>(item)]
                                                                      : stat->GetTitle();
  RunFilter(*this, *stat, set, deleteFlag, std::move(caption), std::move(valuesText));
}

void Session::ApplyNumberFilter(const TStatDrawArray& numbers, bool deleteFlag, const std::string& caption,
                                const std::string& valuesText) {
  BusyScope busy(*this);
  StatusScope status(*this, kFilterStatus);
  if (numbers.empty()) throw EQuintar(kFilterNoValues);
  const TStatClassInfo* cls = FindStatClass("TstValues");
  if (!cls || !cls->IsBuilt()) throw EQuintar("NUMS");
  std::unique_ptr<TCustomStat> stat = cls->Factory(*cls, Stats, 0);
  RunFilter(*this, *stat, numbers, deleteFlag, caption, valuesText);
}

namespace {

void StatFilterCommand(Session& s, const TStatSelection& rows, bool deleteFlag) {
  if (!s.CanStatFilter(static_cast<int>(rows.size()))) return;
  try {
    BusyScope busy(s);
    s.SaveUndo(true);
  } catch (const std::exception& e) {
    s.ShowError(FailureText(e));
    return;
  }
  try {
    s.ApplyStatFilter(nullptr, deleteFlag, rows);
  } catch (const std::exception& e) {
    s.ShowError(FailureText(e));
  }
}

}  // namespace

TStatSelection Session::DrawsStatSelection() const {
  TStatSelection rows;
  for (int r : DrawsStat.SelectedRows()) rows.push_back({DrawsStat.Row(r).Rec, std::string(DrawsStat.Row(r).ValueText())});
  return rows;
}

void Session::StatFilter_Include(const TStatSelection& rows) { StatFilterCommand(*this, rows, false); }

void Session::StatFilter_Exclude(const TStatSelection& rows) { StatFilterCommand(*this, rows, true); }

bool Session::FiltersReset() {
  if (!CanFiltersReset()) return false;
  if (!Confirm(kFiltersResetQuestion, false)) return false;
  BusyScope busy(*this);
  Stats.SetAllFavorite();
  SaveStatNames(FilePath(".flt"), true, false);
  RebuildStatLists(true, false);
  return true;
}

std::string Session::FiltersInfo() {
  if (!CanFiltersInfo()) return "";
  return StatHelpUrl(DrawsStatChooser.SelectedMethod());
}

std::string Session::StatHelpUrl(int method) {
  std::string url;
  if (method >= 0 && method < Stats.Count()) url = Stats.StatClass(method).HelpUrlOf(Stats.Param(method));
  if (url.empty()) ShowInfo(kNoDescription);
  return url;
}

}  // namespace quintar
