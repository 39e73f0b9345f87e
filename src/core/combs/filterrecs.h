// Filter description records: a filter as the user wrote it in a script line (TFilterItem), one concrete
// variant of it as the script runner applies it (TFilterPart), the seven filters of one script step
// (TFilterRec) and the runner's list of step variants (TFilterVar). Also the tables of row conditions
// and stop conditions with their captions, and the rules of the filter editor dialog.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "stats/weightcoefs.h"

namespace quintar {

// The statistic methods a filter can name, in catalogue order, by their codes ("NUMS", "SUM2", "CHN10").
// The statistic catalogue answers it; a filter's Stat is an index into it.
class IStatCodes {
 public:
  virtual ~IStatCodes() = default;
  virtual int Count() const = 0;
  virtual std::string Code(int index) const = 0;
};

// A plain list of codes (a catalogue that has none answers with an empty list).
class TStatCodeList : public IStatCodes {
 public:
  TStatCodeList() = default;
  TStatCodeList(std::initializer_list<std::string> codes) : codes_(codes) {}
  void Add(std::string code) { codes_.push_back(std::move(code)); }
  int Count() const override { return static_cast<int>(codes_.size()); }
  std::string Code(int index) const override { return codes_[static_cast<size_t>(index)]; }

 private:
  std::vector<std::string> codes_;
};

// The catalogue entry named by the statistic field of a filter line ("SUMS:100"): the entry whose code
// equals the text before the first ":" (ignoring case), else the first entry in catalogue order whose
// code is a case-insensitive prefix of the field; -1 when none.
int FindStatCode(const IStatCodes& codes, std::string_view field);

// Row conditions (LevelMode).
enum TLevelMode : uint8_t {
  lmLNO, lmLMV, lmLMP, lmLLV, lmLLP, lmLDV, lmLDP, lmDMV, lmDMP, lmDLV, lmDLP, lmDDV, lmDDP, lmCMV, lmCMP,
  lmCLV, lmCLP, lmCDV, lmCDP, lmWMV, lmWLV, lmWDV, lmPIM, lmPIL, lmPIR, lmPAM, lmPAL, lmPAR, lmPXM, lmPXL,
  lmPXR, lmLVA
};
inline constexpr int kLevelModeCount = 32;

// Stop conditions (StopMode).
enum TStopMode : uint8_t { smSF, smSC, smSZ, smST, smSV, smSP };
inline constexpr int kStopModeCount = 6;

// Shown for an index outside a name table.
inline constexpr const char* kNameError = "# ERROR #";

// Keyword of the text form ("LMV", "SZ"); "" outside the table.
std::string_view LevelModeKeyword(int mode);
std::string_view StopModeKeyword(int mode);
// Russian caption; kNameError outside the table.
std::string LevelModeName(int mode);
std::string StopModeName(int mode);
// Conditions that take a whole list of values at once (one variant per filter) rather than one value
// per variant.
bool LevelModeIsList(int mode);
// Conditions on the weight column, the only ones that can use a filter's own weight coefficients.
inline bool LevelModeIsWeight(int mode) { return mode == lmWMV || mode == lmWLV || mode == lmWDV; }

// One filter as written in a script line.
struct TFilterItem {
  bool Active = false;         // the record holds a filter; false: an empty slot
  std::string StatText;        // the statistic field exactly as read ("SUMS:100")
  int32_t Stat = -1;           // catalogue index of the statistic method; -1: none
  std::string DrawsText;       // draws counts: one value, a list or a stepped range
  int32_t SortColumn = 0;      // statistics table column the rows are sorted by
  bool BottomUp = false;       // walk the sorted rows from the bottom up
  bool MultiSelect = false;    // select every qualifying row and filter once
  bool KeepSelected = false;   // keep (true) or delete (false) the selected rows' combinations
  uint8_t LevelMode = lmLNO;   // row condition
  std::string LevelText;       // the condition's values
  bool WeightOverride = false;  // own weight coefficients instead of the program-wide ones
  double CoefCount = 0;
  double CoefDeviation = 0;
  double CoefLevel = 0;
  bool CoefPercents = false;
  bool CoefAbs = false;
  uint8_t StopMode = smSF;     // when the row walk stops
  int32_t StopValue = 0;

  bool operator==(const TFilterItem&) const = default;
};

// One concrete variant of a filter: one draws count and one condition value (or the whole list).
struct TFilterPart {
  bool Active = false;
  int32_t Stat = -1;
  int32_t DrawsCount = 0;
  int32_t SortColumn = 0;
  bool BottomUp = false;
  bool MultiSelect = false;
  bool KeepSelected = false;
  uint8_t LevelMode = lmLNO;
  std::string LevelValue;  // this variant's value, or the whole comma list for the list conditions
  std::string LevelText;   // the values as text
  bool WeightOverride = false;
  double CoefCount = 0;
  double CoefDeviation = 0;
  double CoefLevel = 0;
  bool CoefPercents = false;
  bool CoefAbs = false;
  uint8_t StopMode = smSF;
  int32_t StopValue = 0;

  bool operator==(const TFilterPart&) const = default;
};

// The weight block (override flag, three coefficients, two switches) is copied as a whole.
template <class From, class To>
void CopyWeightBlock(const From& from, To& to) {
  to.WeightOverride = from.WeightOverride;
  to.CoefCount = from.CoefCount;
  to.CoefDeviation = from.CoefDeviation;
  to.CoefLevel = from.CoefLevel;
  to.CoefPercents = from.CoefPercents;
  to.CoefAbs = from.CoefAbs;
}

// The filters of one script step, applied in array order; empty slots are inactive.
inline constexpr int kStepFilters = 7;
using TFilterRec = std::array<TFilterPart, kStepFilters>;

// One variant of a step, linked to the next one.
struct TFilterVar {
  TFilterRec Filters;
  TFilterVar* NextVariant = nullptr;
};

// The variants of a step: appended at the tail, taken from the head, each node freed as it is taken.
class TFilterVarList {
 public:
  TFilterVarList() = default;
  ~TFilterVarList() { Clear(); }
  TFilterVarList(const TFilterVarList&) = delete;
  TFilterVarList& operator=(const TFilterVarList&) = delete;

  // Raises std::bad_alloc when there is no memory for the node; the list stays as it was.
  void Append(const TFilterRec& rec);
  // Moves the head variant into rec and frees its node; false when the list is empty.
  bool TakeFirst(TFilterRec& rec);
  void Clear();
  int64_t Count() const { return count_; }
  bool Empty() const { return head_ == nullptr; }

 private:
  TFilterVar* head_ = nullptr;
  TFilterVar* tail_ = nullptr;
  int64_t count_ = 0;
};

// The filter editor dialog ------------------------------------------------------------------------------

inline constexpr const char* kFilterEditorCaption = "Фильтр";
// The two choices of the direction and the filter mode lists, in list order.
inline constexpr const char* kDirectionNames[2] = {"Сверху-вниз", "Снизу-вверх"};
inline constexpr const char* kFilterModeNames[2] = {"Удалить выделенные", "Оставить выделенные"};
inline constexpr int kDefaultSortColumn = 1;  // "Количество"
inline constexpr int32_t kMaxStopValue = 2147483647;

// What the editor's fields hold.
struct TFilterEditorFields {
  int Stat = -1;            // cbDrawsStatType: catalogue index; -1 or an entry not listed: the first entry
  std::string DrawsLen;     // edDrawsLen
  int SortOrder = kDefaultSortColumn;  // cbDrawsSortOrder
  int Direction = 0;        // cbDirection: 0 top down, 1 bottom up
  int FilterMode = 0;       // cbFilterMode: 0 delete, 1 keep
  bool MultiSelect = false;  // cbMultiSelect
  int LevelMode = lmLNO;    // cbLevelMode
  std::string LevelValue;   // edLevelValue
  bool CDLOverride = false;  // cbCDLOverride
  double CoefCount = 0;     // edCoefCount
  double CoefDeviation = 0;  // edCoefDeviation
  double CoefLevel = 0;     // edCoefLevel
  bool CoefPercents = false;  // cbCoefPercents
  bool CoefAbs = false;     // cbCoefAbs
  int StopMode = smSF;      // cbStopMode
  int32_t StopValue = 1;    // edStopValue, 1 .. kMaxStopValue
};

// The fields as the editor opens for an item: an empty item gets the defaults (the statistic chosen in
// the main window, its draws count, the program-wide coefficients); a filled one shows its own values.
TFilterEditorFields FilterEditorFields(const TFilterItem& item, int chosenStat, int drawsCount,
                                       const TWeightCoefs& global);

// Enabling rules: the override box only for the weight conditions, the coefficients only when that box
// is enabled and ticked.
inline bool FilterEditorOverrideEnabled(int levelMode) { return LevelModeIsWeight(levelMode); }
inline bool FilterEditorCoefsEnabled(int levelMode, bool overrideTicked) {
  return FilterEditorOverrideEnabled(levelMode) && overrideTicked;
}
// The two value fields take digits, ",", "-", ";" and control keys only.
bool FilterEditorAcceptsChar(char32_t ch);

enum class TFilterEditorField { None, DrawsLen, LevelMode, LevelValue, StopMode };
struct TFilterEditorCheck {
  TFilterEditorField Field = TFilterEditorField::None;  // the field to focus
  std::string Message;                                  // the error box text
  bool Ok() const { return Field == TFilterEditorField::None; }
};

inline constexpr const char* kBadRangeMessage = "Введен некорректный диапазон значений!";
inline constexpr const char* kNoValueListMessage =
    "Для данного вида статистики не доступен режим выделения по списку значений!";
inline constexpr const char* kMultiSelectStopMessage =
    "В режиме мультивыделения остановка сценария по количеству комбинаций или чисел не может быть "
    "выполнена!\rВыберите другой способ останова.";

// The checks on OK, in order; the first failure is returned. statReadsValues: the chosen statistic can
// read a value from text (needed by the value list condition).
TFilterEditorCheck CheckFilterEditor(const TFilterEditorFields& f, bool statReadsValues);

// The confirmed record. The statistic field text of the original item is kept (the text form writes
// the chosen entry's code).
TFilterItem FilterEditorResult(const TFilterEditorFields& f, const TFilterItem& original);

}  // namespace quintar
