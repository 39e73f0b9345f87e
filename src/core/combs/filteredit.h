// The filter editor's ties to the statistic catalogue: which entry of the main window's statistic list
// a filter shows, whether its statistic can select rows by a list of values, the columns its rows can
// be sorted by, and the editor opened, checked and confirmed as a whole.
#pragma once

#include <string>
#include <vector>

#include "combs/filterrecs.h"
#include "stats/statlist.h"

namespace quintar {

// Captions of the statistics table's columns, in column order; the filter's sort column is an index
// into them (1 is "Количество").
const std::vector<std::string>& FilterSortCaptions();

// The list entry that shows a catalogue method: its position in the chooser, the first entry when the
// method is not listed, -1 when the list is empty.
int StatChooserItemOf(const TStatChooser& chooser, int method);

// The catalogue method can read a value from text, so a filter over it can select rows by a list of
// values; false for no method.
bool FilterStatReadsValues(const TStatList& stats, int method);

// What the editor takes from the main window: its statistic list with the chosen entry, the draws count
// of the statistics table and the program-wide weight coefficients.
struct TFilterEditorSource {
  const TStatList* Stats = nullptr;
  const TStatChooser* Chooser = nullptr;
  int DrawsCount = 1000;
  TWeightCoefs Weights;
};

// One run of the filter editor over an item: the fields as it opens, the list entry shown, the enabling
// of the weight group, the checks on OK and the confirmed record.
class TFilterEditor {
 public:
  TFilterEditor(const TFilterEditorSource& source, const TFilterItem& item);

  TFilterEditorFields Fields;
  // The chosen entry of the statistic list (cbDrawsStatType), -1 for an empty list.
  int StatItem() const { return StatChooserItemOf(*source_.Chooser, Fields.Stat); }
  // Chooses an entry; with an empty list the statistic stays as it is.
  void SetStatItem(int item);

  bool OverrideEnabled() const { return FilterEditorOverrideEnabled(Fields.LevelMode); }
  bool CoefsEnabled() const { return FilterEditorCoefsEnabled(Fields.LevelMode, Fields.CDLOverride); }
  // The checks on OK, in order; the first failure.
  TFilterEditorCheck Check() const;
  // The confirmed record; call after Check() passed.
  TFilterItem Result() const { return FilterEditorResult(Fields, item_); }

 private:
  TFilterEditorSource source_;
  TFilterItem item_;
};

}  // namespace quintar
