// The analysis views of the main window as one subsystem: the pages "Графики", "Карта" and "Схема" with
// their settings, their refresh (each recomputes only while its page is shown and only when its inputs
// changed, unless forced), their commands and number filters, and the commands that open the repeats
// analysis, the sum distribution and the details window. The data of each view is a model of
// analysis/; the desktop pages draw it and the command-line program prints it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "analysis/cardview.h"
#include "analysis/details.h"
#include "analysis/graphsview.h"
#include "analysis/layoutview.h"
#include "analysis/repeats.h"
#include "analysis/sumdist.h"

namespace quintar {

class Session;

// The window lengths' field limits (edDrawsGraphLen, edLayoutLen, edLayoutCmp1..5, the repeats fields).
inline constexpr int kViewLenMin = 1;
inline constexpr int kViewLenMax = 2147483647;
// A window length typed into a field: the integer when it lies within the limits.
std::optional<int> ParseViewLen(std::string_view text);

// What the archive holds, cheaply compared: its size and a hash of its records. A view computed for one
// stamp is computed again when the draws changed, also when an edit kept their number.
struct TArchiveStamp {
  int Count = -1;
  uint64_t Hash = 0;
  bool operator==(const TArchiveStamp&) const = default;
};
TArchiveStamp ArchiveStampOf(const TDrawsArray& draws);

// The repeats window's settings (its own section of the window-settings file).
struct TRepeatsSettings {
  int DrawsLength = kRepeatsLenDefault;
  int DrawsDeep = kRepeatsDeepDefault;
  int GraphHeight = -1;  // -1: the designed height
};

class TAnalysisViews {
 public:
  explicit TAnalysisViews(Session& s) : s_(s) {}
  TAnalysisViews(const TAnalysisViews&) = delete;
  TAnalysisViews& operator=(const TAnalysisViews&) = delete;

  // Window-settings keys of the views: page visibility, window lengths and the colour switches.
  void ReadKeys();

  // Every page in turn: graphs, card, layout scheme, comparison lists.
  void Refresh(bool force);
  // Forgets what each page computed last, so that the next refresh computes again.
  void Forget();

  // Graphs ("Графики") ---------------------------------------------------------------------------------
  bool GraphsShown = true;                  // "TabGraphs"
  int DrawsGraphLen = kDrawsGraphLenDefault;  // "DrawsGraphLen"
  bool GraphShowMarks = false;              // cbDrawsGraphShowMarks
  const TGraphsData& Graphs() const { return graphs_; }
  int GraphsGeneration() const { return graphsGen_; }
  void RefreshGraphs(bool force);
  // The graphs of a catalogue method over the window of len draws ending at the reference draw.
  TGraphsData ComputeGraphsOf(int method, int len) const;
  bool CanDrawsGraphDraw() const;
  void DrawsGraphDraw() { RefreshGraphs(true); }
  // cbDrawsGraphType changed: computes without force when DrawsGraphDraw is enabled.
  void DrawsGraphTypeChange(int itemIndex);
  // Enter in edDrawsGraphLen: a length within the limits is taken and acts as a chooser change; answers
  // whether it was taken.
  bool DrawsGraphLenEnter(const std::string& text);
  bool CanTabGraphs() const;
  void TabGraphs();  // shows or hides the page, stores "TabGraphs"; shown: a forced refresh

  // Card ("Карта") -------------------------------------------------------------------------------------
  bool CardShown = true;            // "TabCard"
  bool ColorCard = true;            // "ColorCard"
  bool ColorCardSequences = true;   // "ColorCardSequences"
  const TCardView& Card() const { return card_; }
  int CardGeneration() const { return cardGen_; }
  TCardColors CardColors() const;
  void RefreshCard(bool force);
  bool CanTabCard() const;
  void TabCard();
  bool CanViewColorCard() const;
  void ViewColorCard();
  bool CanViewColorCardSequences() const { return CanViewColorCard(); }
  void ViewColorCardSequences();
  // The card filters over a selection of sgCard.
  bool CanCardFilter(const TGridRect& sel) const;
  void CardFilter_Include(const TGridRect& sel) { CardFilter(sel, false); }
  void CardFilter_Exclude(const TGridRect& sel) { CardFilter(sel, true); }

  // Layout ("Схема") -----------------------------------------------------------------------------------
  bool LayoutShown = true;    // "TabLayout"
  bool LayoutGradient = true;  // "LayoutGradient"
  int LayoutLen = kLayoutLenDefault;  // "LayoutLen"
  std::array<int, kLayoutCompareLists> LayoutCompareLen{50, 100, 200, 300, 400};  // "LayoutCompareLen1..5"
  const TLayoutScheme& Layout() const { return layout_; }
  const std::array<TLayoutCompareList, kLayoutCompareLists>& LayoutCompare() const { return compare_; }
  int LayoutGeneration() const { return layoutGen_; }
  int LayoutCompareGeneration() const { return compareGen_; }
  void RefreshLayout(bool force);
  void RefreshLayoutCompare(bool force);
  bool CanTabLayout() const;
  void TabLayout();
  bool CanLayoutCalc() const;
  void LayoutCalc() { RefreshLayout(true); }
  bool CanLayoutCmpCalc() const { return CanLayoutCalc(); }
  void LayoutCmpCalc() { RefreshLayoutCompare(true); }
  // Enter in edLayoutLen: a length within the limits refreshes the scheme without force.
  bool LayoutLenEnter(const std::string& text);
  // Enter in edLayoutCmp1..5 (list 0..4): a length within the limits rebuilds all five lists.
  bool LayoutCmpEnter(int list, const std::string& text);
  bool CanViewShemaGradient() const;
  void ViewShemaGradient();
  bool CanLayoutFilter(const TGridRect& sel) const;
  void LayoutFilter_Include(const TGridRect& sel) { LayoutFilter(sel, false); }
  void LayoutFilter_Exclude(const TGridRect& sel) { LayoutFilter(sel, true); }

  // Repeats analysis and sum distribution --------------------------------------------------------------
  TRepeatsSettings ReadRepeatsSettings() const;
  void WriteRepeatsSettings(const TRepeatsSettings& settings);
  bool CanAnalyzeRepeats() const;
  // Busy state and progress; nothing after an error box.
  std::optional<TRepeatsResult> AnalyzeRepeats(int len, int deep);
  bool CanTotalSumCombs() const;
  std::optional<TSumDistribution> TotalSumCombs();

  // Details window --------------------------------------------------------------------------------------
  // A draw (by archive index) and a combination as the details window is opened for them.
  TDetailsInput DrawDetailsInput(int index) const;
  TDetailsInput CombDetailsInput(const TComb& comb) const;
  // The property list (busy state); nothing after an error box.
  std::optional<TDetails> ShowDetails(const TDetailsInput& in);
  bool CanDrawsInfo(int selectedRows) const;
  // The card's default column count: the matrix columns within the field's limits.
  int DetailsCols() const;

 private:
  struct TGraphsMemory {
    TArchiveStamp Archive;
    int Offset = -1, Len = -1, Method = -1;
    bool operator==(const TGraphsMemory&) const = default;
  };
  struct TLayoutMemory {
    TArchiveStamp Archive;
    int Offset = -1, Len = -1;
    bool operator==(const TLayoutMemory&) const = default;
  };
  void CardFilter(const TGridRect& sel, bool deleteFlag);
  void LayoutFilter(const TGridRect& sel, bool deleteFlag);
  void NumberFilter(const TNumberPick& pick, bool deleteFlag, const char* caption);
  void WriteSwitch(const char* key, bool value);
  TDrawsStatWindow WindowOf(int len) const;

  Session& s_;
  TGraphsData graphs_;
  TCardView card_;
  TLayoutScheme layout_;
  std::array<TLayoutCompareList, kLayoutCompareLists> compare_;
  TGraphsMemory graphsMemory_;
  TArchiveStamp cardMemory_;
  TLayoutMemory layoutMemory_, compareMemory_;
  int graphsGen_ = 0, cardGen_ = 0, layoutGen_ = 0, compareGen_ = 0;
};

}  // namespace quintar
