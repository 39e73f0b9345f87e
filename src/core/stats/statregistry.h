// The statistic classes. Every class of the catalogue is one row of one ordered table (statregistry.cpp):
// its code and name patterns, group, kinds, parameter range and the other answers that belong to the
// class rather than to an object, and the factory that makes an object of it. A row whose family is not
// built yet has no factory; the catalogue does not offer it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quintar {

class TCustomStat;
class TStatList;
struct TStatClassInfo;

// Kind bits (GetKinds); the graph bit is added by GetKindsEx only.
inline constexpr uint8_t KIND_S = 1;   // depends on the order of the numbers (sorted-view switch)
inline constexpr uint8_t KIND_N = 2;   // computed from one draw's numbers alone: can be prefetched
inline constexpr uint8_t KIND_D = 4;   // needs the previous draw (LoadDraws fills PrevDraw)
inline constexpr uint8_t KIND_P = 8;   // periods statistic
inline constexpr uint8_t KIND_G = 16;  // graph statistic
// The letters of the set kind bits in the order S N D P G ("SNG").
std::string KindsLetters(uint8_t kinds);

// Statistic groups 0..12: three-letter code, name, and the caption "{ code } name".
inline constexpr int STAT_GROUP_COUNT = 13;
std::string StatGroupCode(int group);
std::string StatGroupName(int group);  // "#ERROR#" outside 0..12
std::string StatGroupCaption(int group);

// Where the parameter values of an indexed class come from.
enum class TParamRange : uint8_t {
  None,      // no parameter (Param 0)
  Fixed,     // a fixed range
  Channels,  // 1 .. ChannelOf(35, ChannelSize)
  Columns,   // 1 .. MatrixCols
  Rows,      // 1 .. GroupCount(1, 35, MatrixCols)
  Segments,  // smallest .. largest segment of the segment table
};

using TStatFactory = std::unique_ptr<TCustomStat> (*)(const TStatClassInfo& cls, const TStatList& list,
                                                      int32_t param);
using TStatNameOf = std::string (*)(const TStatClassInfo& cls, int32_t param);

struct TStatClassInfo {
  int No = 0;                      // position in the catalogue order, 1..143
  const char* ClassName = "";      // "TstValues"
  const char* Code = "";           // code pattern: "NUMS", "POS%d"; classes with a fixed value hold it
  const char* ListCode = nullptr;  // code of the whole indexed set ("POSx"); nullptr = the code
  const char* Name = "";           // stored name text
  int WithInt = 0;                 // fixed value formatted into the name (when WithText is null)
  const char* WithText = nullptr;  // fixed text formatted into the name
  bool HasWith = false;
  uint8_t Group = 0;
  uint8_t Kinds = 0;
  bool Graph = false;
  TParamRange Range = TParamRange::None;
  int RangeLo = 0, RangeHi = 0;
  bool Available = true;
  bool InDraws = true;
  bool ValueList = true;
  // The statistic keeps state in the run's Context from one draw to the next (the series): the values of a
  // draw then depend on where a run over the draws began.
  bool CarriesContext = false;
  TStatNameOf NameFn = nullptr;    // a class whose name takes more than its parameter
  TStatFactory Factory = nullptr;  // null while the family is not built

  // Class-level operations (no object needed).
  std::string GetCode() const { return Code; }
  std::string GetName() const;  // the name pattern with the class's fixed value put in
  std::string GetListCode() const { return ListCode ? ListCode : Code; }
  uint8_t GetGroup() const { return Group; }
  uint8_t GetKinds() const { return Kinds; }
  uint8_t GetKindsEx() const { return static_cast<uint8_t>(Kinds | (Graph ? KIND_G : 0)); }
  std::string CodeOf(int32_t param) const;
  std::string NameOf(int32_t param) const;
  // The address of the description page: a page of the pages folder, else the help file's page, else "".
  std::string HelpUrlOf(int32_t param) const;
  bool IsAvailable() const { return Available; }
  bool InDrawsStat() const { return InDraws; }
  bool IsGraph() const { return Graph; }
  bool IsPrefetchable() const { return (Kinds & KIND_N) != 0; }
  bool AllowsValueList() const { return ValueList; }
  bool HasParam() const { return Range != TParamRange::None; }
  // Parameter range with the catalogue's current settings; Hi < Lo means no values.
  std::pair<int, int> GetParamRange(const TStatList& list) const;
  bool IsBuilt() const { return Factory != nullptr; }
};

// The 143 classes in catalogue order.
const std::vector<TStatClassInfo>& StatRegistry();
// A class by its class name ("TstValues"), nullptr when unknown.
const TStatClassInfo* FindStatClass(std::string_view className);

// The help file of the chosen interface language; HelpUrlOf gives "" while it is unset or missing.
void SetStatHelpFile(const std::string& path);
const std::string& StatHelpFile();
// The folder of the description pages shipped with the program ("help/" beside the program file), one
// page per list code named as in the help file ("Filters_1049_NUMS.htm"). HelpUrlOf gives the page's
// path when it exists there, before any help file.
void SetStatPagesFolder(const std::string& folder);
const std::string& StatPagesFolder();
// The page name of a class's description for a parameter: "Filters_1049_POSx.htm".
std::string StatPageName(const TStatClassInfo& cls, int32_t param);

}  // namespace quintar
