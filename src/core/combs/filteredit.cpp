#include "combs/filteredit.h"

#include "stats/drawsstat.h"

namespace quintar {

const std::vector<std::string>& FilterSortCaptions() {
  static const std::vector<std::string> captions(DrawsStatCaptions().begin(), DrawsStatCaptions().end());
  return captions;
}

int StatChooserItemOf(const TStatChooser& chooser, int method) {
  if (chooser.Count() == 0) return -1;
  for (int i = 0; i < chooser.Count(); ++i)
    if (chooser.Methods[static_cast<size_t>(i)] == method) return i;
  return 0;
}

bool FilterStatReadsValues(const TStatList& stats, int method) {
  return method >= 0 && method < stats.Count() && stats.StatClass(method).AllowsValueList();
}

TFilterEditor::TFilterEditor(const TFilterEditorSource& source, const TFilterItem& item)
    : source_(source), item_(item) {
  Fields = FilterEditorFields(item, source.Chooser->SelectedMethod(), source.DrawsCount, source.Weights);
  // The list shows the item's statistic, or its first entry when the item names none it holds.
  SetStatItem(StatItem());
  if (Fields.SortOrder < 0 || Fields.SortOrder >= static_cast<int>(FilterSortCaptions().size()))
    Fields.SortOrder = kDefaultSortColumn;
}

void TFilterEditor::SetStatItem(int item) {
  const TStatChooser& c = *source_.Chooser;
  // Without a statistic list to choose from, the filter keeps the statistic it names.
  if (c.Count() == 0) return;
  Fields.Stat = item >= 0 && item < c.Count() ? c.Methods[static_cast<size_t>(item)] : -1;
}

TFilterEditorCheck TFilterEditor::Check() const {
  return CheckFilterEditor(Fields, FilterStatReadsValues(*source_.Stats, Fields.Stat));
}

}  // namespace quintar
