#include "stats/statlist.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "util/cp1251.h"
#include "util/format.h"
#include "util/inifile.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

namespace {

constexpr const char* kGlobal = "GLOBAL";
constexpr const char* kStakes = "STAKES";
constexpr const char* kCdl = "CDL";
constexpr const char* kShredding = "SHREDDING";
constexpr const char* kFilters = "FILTERS";

// The most prize entries read from a settings file; the configuration dialog writes eight.
constexpr int kMaxProfits = 256;

// Opens an INI file for reading and rewriting. A missing file gives an empty store; a file that exists
// but cannot be read raises, so that rewriting it can never drop what it holds.
IniFile OpenIni(const std::string& path) {
  IniFile ini(path);
  if (FileExists(path) || DirectoryExists(path)) ini.SetText(Cp1251ToUtf8(ReadWholeFile(path)));
  return ini;
}

// Money from a settings value (units); a value that does not fit gives 0.
int64_t MoneyFromSetting(double v) {
  if (!std::isfinite(v)) return 0;
  return MoneyFromDouble(std::clamp(v, -kMaxMoneySetting, kMaxMoneySetting));
}

std::string StringsSection(const std::string& language) { return Format("STRINGS_%s", {language}); }

}  // namespace

std::string SegmentsToText(const uint8_t segments[MAX_NUMBER]) {
  std::string s;
  for (int i = 0; i < MAX_NUMBER; ++i) s += std::to_string(segments[i]);
  return s;
}

void SegmentsFromText(std::string_view text, uint8_t segments[MAX_NUMBER]) {
  for (int i = 0; i < MAX_NUMBER; ++i) {
    char c = i < static_cast<int>(text.size()) ? text[static_cast<size_t>(i)] : '\0';
    // Segments are 1..9; "0" would be a segment the statistics cannot index, so it reads as 1 like any
    // other character that is not a segment digit.
    segments[i] = static_cast<uint8_t>(c >= '1' && c <= '9' ? c - '0' : 1);
  }
}

TStatList::TStatList() = default;

std::string TStatList::FormulaOf(int param) const {
  switch (param) {
    case 1: return Formula1;
    case 2: return Formula2;
    case 3: return Formula3;
  }
  return "";
}

int TStatList::FormulaDigitsOf(int param) const {
  switch (param) {
    case 1: return Formula1Digits;
    case 2: return Formula2Digits;
    case 3: return Formula3Digits;
  }
  return 0;
}

void TStatList::BuildCatalogue(const std::vector<TStatClassInfo>& classes) {
  Ordered = false;
  ShowGroupName = true;
  ShowMethodFlags = true;
  ShowAll = true;
  Methods.clear();
  auto add = [&](const TStatClassInfo& cls, int32_t param) {
    TStatMethod m;
    m.StatClass = &cls;
    m.Param = param;
    if (cls.GetGroup() == 12) m.Formula = FormulaOf(param);
    Methods.push_back(std::move(m));
  };
  for (const auto& cls : classes) {
    if (!cls.IsAvailable() || !cls.IsBuilt()) continue;
    if (cls.HasParam()) {
      auto [lo, hi] = cls.GetParamRange(*this);
      for (int p = lo; p <= hi; ++p) add(cls, p);
    } else {
      add(cls, 0);
    }
  }
}

int TStatList::IndexOfCode(std::string_view code) const {
  const std::string c = Trim(code);
  for (int i = 0; i < Count(); ++i)
    if (AnsiSameText(CodeOf(i), c)) return i;
  return -1;
}

std::string TStatList::DisplayName(int i) const {
  const TStatMethod& m = Method(i);
  std::string text = m.Caption.empty() ? m.StatClass->NameOf(m.Param) : m.Caption;
  if (m.StatClass->GetGroup() == 12) {
    // The formula goes in place of "%s"; a user's name with a stray "%" is shown as typed.
    try {
      text = Format(text, {m.Formula});
    } catch (const FormatError&) {
    }
  }
  return text;
}

std::string TStatList::StatMethodText(int i, bool withKinds) const {
  std::string text = DisplayName(i);
  if (ShowGroupName) text = Format("{ %1:s } %0:s", {text, StatGroupCode(StatClass(i).GetGroup())});
  if (withKinds && ShowMethodFlags) {
    std::string letters = KindsLetters(StatClass(i).GetKindsEx());
    if (!letters.empty()) text = Format("%0:s [ %1:s ]", {text, letters});
  }
  return text;
}

std::unique_ptr<TCustomStat> TStatList::CreateStat(int i) const {
  if (i < 0 || i >= Count()) throw EQuintar(Format("Неизвестный метод расчета статистики: %d!", {i}));
  const TStatMethod& m = Method(i);
  if (!m.StatClass->Factory) throw EQuintar(Format("Метод расчета статистики %s недоступен!", {CodeOf(i)}));
  return m.StatClass->Factory(*m.StatClass, *this, m.Param);
}

std::unique_ptr<TCustomStat> TStatList::CreateSelectedStat(const TStatChooser& chooser) const {
  int m = chooser.SelectedMethod();
  if (m < 0 || m >= Count()) throw EQuintar(Format("Не выбран метод расчета статистики (cb: %s)!", {chooser.Name}));
  return CreateStat(m);
}

// Favourites -------------------------------------------------------------------------------------------

std::string TStatList::FavoritesText() const {
  if (ShowAll) return "";
  std::vector<std::string> codes;
  for (int i = 0; i < Count(); ++i)
    if (Method(i).Favorite) codes.push_back(CodeOf(i));
  return Join(codes, ",");
}

void TStatList::ApplyFavorites(std::string_view text) {
  if (Trim(text).empty()) {
    SetAllFavorite();
    return;
  }
  ShowAll = false;
  std::vector<std::string> words = SplitAny(text, ",", false);
  for (auto& w : words) w = Trim(w);
  for (int i = 0; i < Count(); ++i) {
    const std::string code = CodeOf(i);
    Methods[static_cast<size_t>(i)].Favorite =
        std::any_of(words.begin(), words.end(), [&](const std::string& w) { return AnsiSameText(w, code); });
  }
}

void TStatList::SetAllFavorite() {
  ShowAll = true;
  for (auto& m : Methods) m.Favorite = true;
}

void TStatList::NormalizeFavorites() {
  bool allSame = std::all_of(Methods.begin(), Methods.end(),
                             [&](const TStatMethod& m) { return m.Favorite == Methods.front().Favorite; });
  if (allSame)
    SetAllFavorite();
  else
    ShowAll = false;
}

int64_t TStatList::StakeResult(int n, int overlap) const {
  int64_t result = -(CombCount(n, NUMS_IN_DRAW) * Config.Cost);
  if (overlap >= 0)
    for (const auto& p : Config.Profits)
      if (p.Overlap == overlap) {
        result += p.Profit;
        break;
      }
  return result;
}

// Settings file ----------------------------------------------------------------------------------------

void TStatList::ReadSettings(const std::string& path) {
  IniFile ini = OpenIni(path);
  int mode = ini.ReadInteger(kGlobal, "CombsGenerateMode", 0);
  CombsGen.Mode = static_cast<uint8_t>(mode >= 0 && mode <= 4 ? mode : 0);
  CombsGen.Params = Utf8Left(ini.ReadString(kGlobal, "CombsGenerateParameters", ""), 255);

  // A channel size or column count below 1 (a hand-edited file) would divide by zero in the statistics;
  // it reads as the default.
  int cols = ini.ReadInteger(kGlobal, "MatrixCols", 5);
  Config.MatrixCols = cols >= 1 ? cols : 5;
  SegmentsFromText(ini.ReadString(kGlobal, "MatrixSegments", ""), Config.MatrixSegments);
  int channel = ini.ReadInteger(kGlobal, "ChannelSize", 5);
  Config.ChannelSize = channel >= 1 ? channel : 5;

  Config.Cost = MoneyFromSetting(ini.ReadFloat(kStakes, "Cost", 0));
  Config.MaxStake = ini.ReadInteger(kStakes, "MaxStake", 7);
  int count = std::clamp(ini.ReadInteger(kStakes, "Profits", 0), 0, kMaxProfits);
  Config.Profits.clear();
  for (int i = 0; i < count; ++i) {
    TProfitEntry e;
    e.Overlap = static_cast<uint8_t>(std::clamp(ini.ReadInteger(kStakes, Format("Profit_%d_Overlap", {i}), 0), 0, 255));
    e.Profit = MoneyFromSetting(ini.ReadFloat(kStakes, Format("Profit_%d_Profit", {i}), 0));
    Config.Profits.push_back(e);
  }

  Config.Weights.Count = ini.ReadFloat(kCdl, "Count", 0);
  Config.Weights.Deviation = ini.ReadFloat(kCdl, "Deviation", -1);
  Config.Weights.Level = ini.ReadFloat(kCdl, "Level", 1);
  Config.Weights.UsePercents = ini.ReadInteger(kCdl, "UsePercents", 0) > 0;
  Config.Weights.UseAbsValues = ini.ReadInteger(kCdl, "UseAbsValues", 0) > 0;

  Formula1 = ini.ReadString(kShredding, "Formula1", kDefaultFormula1);
  Formula2 = ini.ReadString(kShredding, "Formula2", kDefaultFormula2);
  Formula3 = ini.ReadString(kShredding, "Formula3", kDefaultFormula3);
  // Digits beyond 9 would overflow the 32-bit value; they read as the default.
  auto digits = [&](const char* key) {
    int d = ini.ReadInteger(kShredding, key, 2);
    return static_cast<uint8_t>(d >= 0 && d <= 9 ? d : 2);
  };
  Formula1Digits = digits("Formula1Digits");
  Formula2Digits = digits("Formula2Digits");
  Formula3Digits = digits("Formula3Digits");
}

void TStatList::WriteSettings(const std::string& path) const {
  IniFile ini = OpenIni(path);
  ini.WriteInteger(kGlobal, "MatrixCols", Config.MatrixCols);
  ini.WriteString(kGlobal, "MatrixSegments", SegmentsToText(Config.MatrixSegments));
  ini.WriteInteger(kGlobal, "ChannelSize", Config.ChannelSize);

  ini.WriteFloat(kStakes, "Cost", MoneyToDouble(Config.Cost));
  ini.WriteInteger(kStakes, "MaxStake", Config.MaxStake);
  // Entries beyond the new count are removed so that the file holds exactly the list.
  int oldCount = std::clamp(ini.ReadInteger(kStakes, "Profits", 0), 0, kMaxProfits);
  for (int i = static_cast<int>(Config.Profits.size()); i < oldCount; ++i) {
    ini.DeleteKey(kStakes, Format("Profit_%d_Overlap", {i}));
    ini.DeleteKey(kStakes, Format("Profit_%d_Profit", {i}));
  }
  ini.WriteInteger(kStakes, "Profits", static_cast<int>(Config.Profits.size()));
  for (size_t i = 0; i < Config.Profits.size(); ++i) {
    ini.WriteInteger(kStakes, Format("Profit_%d_Overlap", {i}), Config.Profits[i].Overlap);
    ini.WriteFloat(kStakes, Format("Profit_%d_Profit", {i}), MoneyToDouble(Config.Profits[i].Profit));
  }

  ini.WriteFloat(kCdl, "Count", Config.Weights.Count);
  ini.WriteFloat(kCdl, "Deviation", Config.Weights.Deviation);
  ini.WriteFloat(kCdl, "Level", Config.Weights.Level);
  ini.WriteInteger(kCdl, "UsePercents", Config.Weights.UsePercents ? 1 : 0);
  ini.WriteInteger(kCdl, "UseAbsValues", Config.Weights.UseAbsValues ? 1 : 0);
  ini.UpdateFile();
}

void TStatList::WriteShreddingSettings(const std::string& path) const {
  IniFile ini = OpenIni(path);
  ini.WriteString(kShredding, "Formula1", Formula1);
  ini.WriteString(kShredding, "Formula2", Formula2);
  ini.WriteString(kShredding, "Formula3", Formula3);
  ini.WriteInteger(kShredding, "Formula1Digits", Formula1Digits);
  ini.WriteInteger(kShredding, "Formula2Digits", Formula2Digits);
  ini.WriteInteger(kShredding, "Formula3Digits", Formula3Digits);
  ini.UpdateFile();
}

void TStatList::WriteCombsGenSettings(const std::string& path) const {
  IniFile ini = OpenIni(path);
  ini.WriteInteger(kGlobal, "CombsGenerateMode", CombsGen.Mode);
  ini.WriteString(kGlobal, "CombsGenerateParameters", Utf8Left(CombsGen.Params, 255));
  ini.UpdateFile();
}

// Favourites and own names -----------------------------------------------------------------------------

void TStatList::LoadStatNames(const std::string& path, bool withFilters) {
  IniFile ini = OpenIni(path);
  if (withFilters) {
    ApplyFavorites(ini.ReadString(kFilters, "Favorites", FavoritesText()));
    Ordered = ini.ReadBool(kFilters, "Ordered", Ordered);
    ShowGroupName = ini.ReadBool(kFilters, "ShowGroupName", ShowGroupName);
    ShowMethodFlags = ini.ReadBool(kFilters, "ShowMethodFlags", ShowMethodFlags);
  }
  const std::string section = StringsSection(LanguageCode);
  for (int i = 0; i < Count(); ++i)
    Methods[static_cast<size_t>(i)].Caption = Trim(ini.ReadString(section, CodeOf(i), ""));
}

void TStatList::SaveStatNames(const std::string& path, bool withFilters, bool allNames) const {
  IniFile ini = OpenIni(path);
  if (withFilters) {
    ini.WriteString(kFilters, "Favorites", FavoritesText());
    ini.WriteBool(kFilters, "Ordered", Ordered);
    ini.WriteBool(kFilters, "ShowGroupName", ShowGroupName);
    ini.WriteBool(kFilters, "ShowMethodFlags", ShowMethodFlags);
  }
  const std::string section = StringsSection(LanguageCode);
  ini.EraseSection(section);
  for (int i = 0; i < Count(); ++i) {
    if (allNames)
      ini.WriteString(section, CodeOf(i), DisplayName(i));
    else if (!Method(i).Caption.empty())
      ini.WriteString(section, CodeOf(i), Method(i).Caption);
  }
  ini.UpdateFile();
}

// Choosers ---------------------------------------------------------------------------------------------

void TStatList::FillChoosers(TStatChooser& stat, TStatChooser& graph, bool keepSelection) const {
  const int prevStat = stat.ItemIndex, prevGraph = graph.ItemIndex;
  for (TStatChooser* c : {&stat, &graph}) {
    c->Items.clear();
    c->Methods.clear();
  }
  for (int i = 0; i < Count(); ++i) {
    if (!IsAvailable(i) || !InDrawsStat(i) || !IsShown(i)) continue;
    std::string text = StatMethodText(i, true);
    if (IsGraph(i)) {
      graph.Items.push_back(text);
      graph.Methods.push_back(i);
    }
    stat.Items.push_back(std::move(text));
    stat.Methods.push_back(i);
  }
  auto finish = [&](TStatChooser& c, int prev) {
    if (Ordered) {
      std::vector<size_t> order(c.Items.size());
      std::iota(order.begin(), order.end(), size_t{0});
      std::stable_sort(order.begin(), order.end(),
                       [&](size_t a, size_t b) { return AnsiCompareText(c.Items[a], c.Items[b]) < 0; });
      std::vector<std::string> items;
      std::vector<int> methods;
      for (size_t k : order) {
        items.push_back(std::move(c.Items[k]));
        methods.push_back(c.Methods[k]);
      }
      c.Items = std::move(items);
      c.Methods = std::move(methods);
    }
    if (c.Items.empty())
      c.ItemIndex = -1;
    else
      c.ItemIndex = keepSelection && prev >= 0 && prev < c.Count() ? prev : 0;
  };
  finish(stat, prevStat);
  finish(graph, prevGraph);
}

}  // namespace quintar
