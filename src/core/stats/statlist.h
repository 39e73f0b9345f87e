// The statistic catalogue: the ordered list of statistic methods (a class with one parameter value) that
// every chooser offers, the user's favourites and own names, and the settings the statistics and the
// stakes read (settings file Quintar_7x35.ini, favourites file Quintar_7x35.flt).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "combs/genparams.h"
#include "game/game.h"
#include "stats/customstat.h"
#include "stats/statregistry.h"
#include "stats/weightcoefs.h"

namespace quintar {

// Prize for a stake with Overlap matching numbers.
struct TProfitEntry {
  uint8_t Overlap = 0;
  int64_t Profit = 0;  // 1/10000 units
  bool operator==(const TProfitEntry&) const = default;
};
using TProfitsArray = std::vector<TProfitEntry>;

// The block of settings the configuration dialog edits as a whole.
struct TConfigData {
  int32_t MatrixCols = 5;
  int32_t ChannelSize = 5;
  int64_t Cost = 0;  // price of one combination, 1/10000 units
  int32_t MaxStake = 7;
  TProfitsArray Profits;
  TWeightCoefs Weights;
  uint8_t MatrixSegments[MAX_NUMBER] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                        1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  bool operator==(const TConfigData&) const = default;
};

// The segment table as its settings text: the 35 segment numbers in decimal without separators.
std::string SegmentsToText(const uint8_t segments[MAX_NUMBER]);
// Reads the settings text: character k gives the segment of number k; a missing character or one that is
// not a digit 1..9 gives 1.
void SegmentsFromText(std::string_view text, uint8_t segments[MAX_NUMBER]);

struct TStatMethod {
  const TStatClassInfo* StatClass = nullptr;
  int32_t Param = 0;
  bool Favorite = true;
  std::string Caption;  // the user's own name; empty = the default name
  std::string Formula;  // shredding methods: the formula for Param 1..3, captured at build time
};

// Entries of a statistic chooser (cbDrawsStatType, cbDrawsGraphType): texts with their catalogue methods.
struct TStatChooser {
  explicit TStatChooser(std::string name = "") : Name(std::move(name)) {}
  std::string Name;  // component name, used in messages
  std::vector<std::string> Items;
  std::vector<int> Methods;  // catalogue index of each item
  int ItemIndex = -1;
  int Count() const { return static_cast<int>(Items.size()); }
  // Catalogue index of the selected entry, -1 without a selection.
  int SelectedMethod() const {
    return ItemIndex >= 0 && ItemIndex < Count() ? Methods[static_cast<size_t>(ItemIndex)] : -1;
  }
};

inline constexpr const char* kDefaultFormula1 = "(n1+n2+n3)/(n4+n5+n6+n7)";
inline constexpr const char* kDefaultFormula2 = "(n4+n5+n6+n7)/(n1+n2+n3)";
inline constexpr const char* kDefaultFormula3 = "(n1+n3+n5+n7)/(n2+n4+n6)";

class TStatList {
 public:
  TStatList();

  std::vector<TStatMethod> Methods;
  bool Ordered = false;          // choosers sort their entries alphabetically
  bool ShowGroupName = true;     // list texts start with the group code
  bool ShowMethodFlags = true;   // list texts end with the kinds letters
  bool ShowAll = true;           // no favourite selection in force
  const TDrawsArray* Draws = nullptr;  // handed to every statistic object
  TConfigData Config;
  TWeightCoefs SavedWeights;
  TCombsGenParams CombsGen;      // the generator's last settings
  std::string Formula1 = kDefaultFormula1, Formula2 = kDefaultFormula2, Formula3 = kDefaultFormula3;
  uint8_t Formula1Digits = 2, Formula2Digits = 2, Formula3Digits = 2;
  std::string LanguageCode = "RUS";  // three-letter code of the interface language

  // Formula and digits of a shredding method (Param 1..3); "" and 0 otherwise.
  std::string FormulaOf(int param) const;
  int FormulaDigitsOf(int param) const;

  // Rebuilds the method list from the class table with the current settings: a class that is offered
  // and built gives one method, an indexed class one per value of its parameter range.
  void BuildCatalogue() { BuildCatalogue(StatRegistry()); }
  // The same from another class table; the methods refer to its rows, which must outlive them.
  void BuildCatalogue(const std::vector<TStatClassInfo>& classes);

  int Count() const { return static_cast<int>(Methods.size()); }
  const TStatMethod& Method(int i) const { return Methods[static_cast<size_t>(i)]; }
  const TStatClassInfo& StatClass(int i) const { return *Method(i).StatClass; }
  int32_t Param(int i) const { return Method(i).Param; }
  bool IsAvailable(int i) const { return StatClass(i).IsAvailable(); }
  bool InDrawsStat(int i) const { return StatClass(i).InDrawsStat(); }
  bool IsGraph(int i) const { return StatClass(i).IsGraph(); }
  bool IsPrefetchable(int i) const { return StatClass(i).IsPrefetchable(); }
  bool IsShown(int i) const { return ShowAll || Method(i).Favorite; }

  std::string CodeOf(int i) const { return StatClass(i).CodeOf(Param(i)); }
  // Index of the method with the code (compared without regard to case), -1 when none has it.
  int IndexOfCode(std::string_view code) const;
  // The user's name, else the class's name; shredding methods then put in their formula.
  std::string DisplayName(int i) const;
  // "{ num } Числа тиража [ N ]" as the display options ask.
  std::string StatMethodText(int i, bool withKinds) const;

  // A new statistic object of the method; the caller owns it.
  std::unique_ptr<TCustomStat> CreateStat(int i) const;
  // The object of the chooser's selected method; raises EQuintar without a selection.
  std::unique_ptr<TCustomStat> CreateSelectedStat(const TStatChooser& chooser) const;

  // Favourites.
  std::string FavoritesText() const;
  void ApplyFavorites(std::string_view text);
  void SetAllFavorite();
  void NormalizeFavorites();

  // Money result of a stake of n numbers with overlap matches (overlap < 0: not yet drawn).
  int64_t StakeResult(int n, int overlap) const;

  void SaveWeights() { SavedWeights = Config.Weights; }
  void RestoreWeights() { Config.Weights = SavedWeights; }
  // A filter's own weights when it overrides them, otherwise the saved program-wide ones.
  void UseFilterWeights(bool weightOverride, const TWeightCoefs& own) {
    if (weightOverride)
      Config.Weights = own;
    else
      RestoreWeights();
  }

  // Settings file. Reading keeps what was read so far when it fails; writing changes only its own keys
  // and keeps the rest of the file. File errors raise.
  void ReadSettings(const std::string& path);
  void WriteSettings(const std::string& path) const;
  void WriteShreddingSettings(const std::string& path) const;
  void WriteCombsGenSettings(const std::string& path) const;

  // Favourites and own names file; file errors raise.
  void LoadStatNames(const std::string& path, bool withFilters);
  void SaveStatNames(const std::string& path, bool withFilters, bool allNames) const;

  // Fills the choosers of the statistics views: every available, shown method of the statistics table,
  // and of those the graph statistics. With keepSelection the previous positions stay when still inside
  // the new lists, else position 0 is chosen.
  void FillChoosers(TStatChooser& stat, TStatChooser& graph, bool keepSelection) const;
};

}  // namespace quintar
