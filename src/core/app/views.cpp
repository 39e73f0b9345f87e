#include "app/views.h"

#include <algorithm>
#include <new>

#include "app/session.h"
#include "combs/filters.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

namespace {

std::string FailureText(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e)) return "Недостаточно памяти";
  return e.what();
}

// A length read from the window-settings file: one outside the field's limits gives the default.
int LenSetting(const IniFile& ini, const char* section, const char* key, int def) {
  const int v = ini.ReadInteger(section, key, def);
  return v >= kViewLenMin ? v : def;
}

}  // namespace

std::optional<int> ParseViewLen(std::string_view text) {
  auto v = TryStrToInt(Trim(text));
  if (!v || *v < kViewLenMin || *v > kViewLenMax) return std::nullopt;
  return *v;
}

TArchiveStamp ArchiveStampOf(const TDrawsArray& draws) {
  TArchiveStamp st;
  st.Count = static_cast<int>(draws.size());
  uint64_t h = 14695981039346656037ull;
  const auto* p = reinterpret_cast<const unsigned char*>(draws.data());
  for (size_t i = 0, n = draws.size() * sizeof(TDraw); i < n; ++i) {
    h ^= p[i];
    h *= 1099511628211ull;
  }
  st.Hash = h;
  return st;
}

void TAnalysisViews::ReadKeys() {
  const IniFile ini = s_.Frm.Open();
  GraphsShown = ini.ReadBool(kMainForm, "TabGraphs", true);
  CardShown = ini.ReadBool(kMainForm, "TabCard", true);
  LayoutShown = ini.ReadBool(kMainForm, "TabLayout", true);
  DrawsGraphLen = LenSetting(ini, kMainForm, "DrawsGraphLen", kDrawsGraphLenDefault);
  LayoutLen = LenSetting(ini, kMainForm, "LayoutLen", kLayoutLenDefault);
  for (int i = 0; i < kLayoutCompareLists; ++i)
    LayoutCompareLen[static_cast<size_t>(i)] =
        LenSetting(ini, kMainForm, Format("LayoutCompareLen%d", {i + 1}).c_str(), kLayoutCompareLenDefaults[i]);
  LayoutGradient = ini.ReadBool(kMainForm, "LayoutGradient", true);
  ColorCard = ini.ReadBool(kMainForm, "ColorCard", true);
  ColorCardSequences = ini.ReadBool(kMainForm, "ColorCardSequences", true);
}

void TAnalysisViews::WriteSwitch(const char* key, bool value) {
  try {
    s_.Frm.WriteFormBool(kMainForm, key, value);
  } catch (const std::exception& e) {
    s_.ShowError(e.what());
  }
}

void TAnalysisViews::Refresh(bool force) {
  RefreshGraphs(force);
  RefreshCard(force);
  RefreshLayout(force);
  RefreshLayoutCompare(force);
}

void TAnalysisViews::Forget() {
  graphsMemory_ = {};
  cardMemory_ = {};
  layoutMemory_ = {};
  compareMemory_ = {};
}

TDrawsStatWindow TAnalysisViews::WindowOf(int len) const {
  return DrawsStatWindow(s_.Archive.Count(), s_.DrawsOffset(), len);
}

// Graphs -------------------------------------------------------------------------------------------------

TGraphsData TAnalysisViews::ComputeGraphsOf(int method, int len) const {
  std::unique_ptr<TCustomStat> stat = s_.Stats.CreateStat(method);
  TCustomGraphStat* graph = AsGraphStat(stat.get());
  if (!graph) throw EQuintar(Format("Статистика %s не строит графиков!", {s_.Stats.CodeOf(method)}));
  return ComputeGraphs(*graph, s_.Archive.Draws(), WindowOf(len), s_.SortedView, s_.Stats.DisplayName(method));
}

void TAnalysisViews::RefreshGraphs(bool force) {
  if (!GraphsShown) return;
  const int method = s_.DrawsGraphChooser.SelectedMethod();
  const TGraphsMemory now{ArchiveStampOf(s_.Archive.Draws()), s_.DrawsOffset(), DrawsGraphLen, method};
  if (!force && now == graphsMemory_) return;
  graphsMemory_ = now;
  graphs_ = TGraphsData{};
  ++graphsGen_;
  if (method < 0 || s_.Archive.Empty()) return;
  BusyScope busy(s_);
  StatusScope status(s_, kGraphsStatus);
  try {
    graphs_ = ComputeGraphsOf(method, DrawsGraphLen);
  } catch (const std::exception& e) {
    graphs_ = TGraphsData{};
    s_.ShowError(FailureText(e));
  }
}

bool TAnalysisViews::CanDrawsGraphDraw() const {
  return s_.IsIdle() && !s_.Archive.Empty() && s_.DrawsGraphChooser.SelectedMethod() >= 0;
}

void TAnalysisViews::DrawsGraphTypeChange(int itemIndex) {
  TStatChooser& c = s_.DrawsGraphChooser;
  c.ItemIndex = itemIndex >= 0 && itemIndex < c.Count() ? itemIndex : -1;
  if (CanDrawsGraphDraw()) RefreshGraphs(false);
}

bool TAnalysisViews::DrawsGraphLenEnter(const std::string& text) {
  auto len = ParseViewLen(text);
  if (!len) return false;
  DrawsGraphLen = *len;
  if (CanDrawsGraphDraw()) RefreshGraphs(false);
  return true;
}

bool TAnalysisViews::CanTabGraphs() const { return s_.IsIdle(); }

void TAnalysisViews::TabGraphs() {
  GraphsShown = !GraphsShown;
  WriteSwitch("TabGraphs", GraphsShown);
  if (GraphsShown) RefreshGraphs(true);
  s_.Host().Changed(Change::Views);
}

// Card ---------------------------------------------------------------------------------------------------

TCardColors TAnalysisViews::CardColors() const { return {ColorCard, ColorCardSequences, s_.ChannelSize()}; }

void TAnalysisViews::RefreshCard(bool force) {
  if (!CardShown) return;
  const TArchiveStamp now = ArchiveStampOf(s_.Archive.Draws());
  if (!force && now == cardMemory_ && card_.Built()) return;
  cardMemory_ = now;
  BusyScope busy(s_);
  StatusScope status(s_, kCardStatus);
  card_.Build(s_.Archive.Draws());
  ++cardGen_;
}

bool TAnalysisViews::CanTabCard() const { return s_.IsIdle(); }

void TAnalysisViews::TabCard() {
  CardShown = !CardShown;
  WriteSwitch("TabCard", CardShown);
  if (CardShown) RefreshCard(true);
  s_.Host().Changed(Change::Views);
}

bool TAnalysisViews::CanViewColorCard() const { return s_.IsIdle() && CardShown; }

void TAnalysisViews::ViewColorCard() {
  ColorCard = !ColorCard;
  WriteSwitch("ColorCard", ColorCard);
  ++cardGen_;
  s_.Host().Changed(Change::Views);
}

void TAnalysisViews::ViewColorCardSequences() {
  ColorCardSequences = !ColorCardSequences;
  WriteSwitch("ColorCardSequences", ColorCardSequences);
  ++cardGen_;
  s_.Host().Changed(Change::Views);
}

bool TAnalysisViews::CanCardFilter(const TGridRect& sel) const {
  return s_.IsIdle() && !s_.CurrentCombs.Empty() && CardShown && card_.Built() && card_.FilterSelectionAllowed(sel);
}

void TAnalysisViews::CardFilter(const TGridRect& sel, bool deleteFlag) {
  if (!CanCardFilter(sel)) return;
  NumberFilter(card_.SelectionNumbers(sel), deleteFlag, kCardCaption);
}

void TAnalysisViews::NumberFilter(const TNumberPick& pick, bool deleteFlag, const char* caption) {
  // A selection without numbers changes nothing, not even the undo copy: undoing afterwards must undo the
  // last filter that acted.
  if (pick.Empty()) {
    s_.ShowError(kFilterNoValues);
    return;
  }
  try {
    BusyScope busy(s_);
    s_.SaveUndo(true);
  } catch (const std::exception& e) {
    s_.ShowError(FailureText(e));
    return;
  }
  try {
    s_.ApplyNumberFilter(pick.Numbers, deleteFlag, caption, pick.Text);
  } catch (const std::exception& e) {
    s_.ShowError(FailureText(e));
  }
}

// Layout -------------------------------------------------------------------------------------------------

void TAnalysisViews::RefreshLayout(bool force) {
  if (!LayoutShown) return;
  const TLayoutMemory now{ArchiveStampOf(s_.Archive.Draws()), s_.DrawsOffset(), LayoutLen};
  if (!force && now == layoutMemory_) return;
  layoutMemory_ = now;
  BusyScope busy(s_);
  StatusScope status(s_, kLayoutStatus);
  layout_.Clear();
  ++layoutGen_;
  try {
    // The draw after the reference draw, when the offset looks back.
    std::bitset<MAX_NUMBER + 1> next;
    const int offset = s_.DrawsOffset();
    if (offset >= 1 && offset < s_.Archive.Count()) {
      const TDraw& d = s_.Archive[s_.Archive.High() - offset + 1];
      for (int i = 0; i < NUMS_IN_DRAW; ++i)
        if (d.Nums[i] >= 1 && d.Nums[i] <= MAX_NUMBER) next.set(d.Nums[i]);
    }
    layout_.Build(ShemaRecords(s_.Archive.Draws(), WindowOf(LayoutLen)), next);
  } catch (const std::exception& e) {
    layout_.Clear();
    s_.ShowError(FailureText(e));
  }
}

void TAnalysisViews::RefreshLayoutCompare(bool force) {
  if (!LayoutShown) return;
  const TLayoutMemory now{ArchiveStampOf(s_.Archive.Draws()), s_.DrawsOffset(), -1};
  if (!force && now == compareMemory_) return;
  compareMemory_ = now;
  BusyScope busy(s_);
  StatusScope status(s_, kLayoutStatus);
  ++compareGen_;
  for (size_t i = 0; i < compare_.size(); ++i) {
    try {
      compare_[i] = LayoutCompareList(s_.Archive.Draws(), WindowOf(LayoutCompareLen[i]));
    } catch (const std::exception& e) {
      compare_[i] = TLayoutCompareList{};
      s_.ShowError(FailureText(e));
    }
  }
}

bool TAnalysisViews::CanTabLayout() const { return s_.IsIdle(); }

void TAnalysisViews::TabLayout() {
  LayoutShown = !LayoutShown;
  WriteSwitch("TabLayout", LayoutShown);
  if (LayoutShown) {
    RefreshLayout(true);
    RefreshLayoutCompare(true);
  }
  s_.Host().Changed(Change::Views);
}

bool TAnalysisViews::CanLayoutCalc() const { return s_.IsIdle() && LayoutShown && !s_.Archive.Empty(); }

bool TAnalysisViews::LayoutLenEnter(const std::string& text) {
  auto len = ParseViewLen(text);
  if (!len || !s_.IsIdle()) return false;
  LayoutLen = *len;
  RefreshLayout(false);
  s_.Host().Changed(Change::Views);
  return true;
}

bool TAnalysisViews::LayoutCmpEnter(int list, const std::string& text) {
  auto len = ParseViewLen(text);
  if (!len || list < 0 || list >= kLayoutCompareLists || !s_.IsIdle()) return false;
  LayoutCompareLen[static_cast<size_t>(list)] = *len;
  RefreshLayoutCompare(true);
  s_.Host().Changed(Change::Views);
  return true;
}

bool TAnalysisViews::CanViewShemaGradient() const { return s_.IsIdle() && LayoutShown; }

void TAnalysisViews::ViewShemaGradient() {
  LayoutGradient = !LayoutGradient;
  WriteSwitch("LayoutGradient", LayoutGradient);
  ++layoutGen_;
  s_.Host().Changed(Change::Views);
}

bool TAnalysisViews::CanLayoutFilter(const TGridRect& sel) const {
  return s_.IsIdle() && LayoutShown && !s_.CurrentCombs.Empty() && layout_.FilterSelectionAllowed(sel);
}

void TAnalysisViews::LayoutFilter(const TGridRect& sel, bool deleteFlag) {
  if (!CanLayoutFilter(sel)) return;
  NumberFilter(layout_.SelectionNumbers(sel), deleteFlag, kLayoutCaption);
}

// Repeats analysis and sum distribution ------------------------------------------------------------------

TRepeatsSettings TAnalysisViews::ReadRepeatsSettings() const {
  const IniFile ini = s_.Frm.Open();
  TRepeatsSettings r;
  r.DrawsLength = LenSetting(ini, kRepeatsSection, "DrawsLength", kRepeatsLenDefault);
  r.DrawsDeep = LenSetting(ini, kRepeatsSection, "DrawsDeep", kRepeatsDeepDefault);
  r.GraphHeight = ini.ReadInteger(kRepeatsSection, "GraphHeight", -1);
  return r;
}

void TAnalysisViews::WriteRepeatsSettings(const TRepeatsSettings& r) {
  try {
    IniFile ini = s_.Frm.Open();
    ini.WriteInteger(kRepeatsSection, "DrawsLength", r.DrawsLength);
    ini.WriteInteger(kRepeatsSection, "DrawsDeep", r.DrawsDeep);
    if (r.GraphHeight >= 0) ini.WriteInteger(kRepeatsSection, "GraphHeight", r.GraphHeight);
    s_.Frm.Store(ini);
  } catch (const std::exception& e) {
    s_.ShowError(e.what());
  }
}

bool TAnalysisViews::CanAnalyzeRepeats() const { return s_.IsIdle() && !s_.Archive.Empty(); }

std::optional<TRepeatsResult> TAnalysisViews::AnalyzeRepeats(int len, int deep) {
  BusyScope busy(s_);
  StatusScope status(s_, kRepeatsCollecting);
  IHost& host = s_.Host();
  host.ProgressBegin(RepeatsWindowLength(s_.Archive.Count(), len));
  try {
    TRepeatsResult r = ComputeRepeats(s_.Archive.Draws(), len, deep, [&](int done) {
      host.ProgressStep(done);
      if (done % 64 == 0) host.ProcessEvents();
    });
    host.ProgressEnd();
    return r;
  } catch (const std::exception& e) {
    host.ProgressEnd();
    s_.ShowError(FailureText(e));
    return std::nullopt;
  }
}

bool TAnalysisViews::CanTotalSumCombs() const { return s_.IsIdle(); }

std::optional<TSumDistribution> TAnalysisViews::TotalSumCombs() {
  BusyScope busy(s_);
  StatusScope status(s_, kSumDistStatus);
  try {
    return ComputeSumDistribution(s_.Archive.Draws());
  } catch (const std::exception& e) {
    s_.ShowError(FailureText(e));
    return std::nullopt;
  }
}

// Details window ---------------------------------------------------------------------------------------

TDetailsInput TAnalysisViews::DrawDetailsInput(int index) const {
  TDetailsInput in;
  const TDraw& d = s_.Archive[index];
  in.Number = d.Number;
  in.Date = d.Date();
  in.Comb = CombOf(d);
  // Under the sorted view the draw is what the list and every statistic see: its numbers sorted.
  if (s_.SortedView) SortComb(in.Comb);
  in.Sorted = s_.SortedView;
  in.DrawIndex = in.LastIndex = index;
  return in;
}

TDetailsInput TAnalysisViews::CombDetailsInput(const TComb& comb) const {
  TDetailsInput in;
  in.Comb = comb;
  in.Sorted = s_.SortedView;
  // A combination is judged as the draw that would follow the reference draw, as the filters judge it:
  // statistics that read the draws before it read the reference draw and those before that.
  in.LastIndex = s_.LastIndex();
  in.DrawIndex = in.LastIndex + 1;
  return in;
}

std::optional<TDetails> TAnalysisViews::ShowDetails(const TDetailsInput& in) {
  BusyScope busy(s_);
  try {
    return ComputeDetails(s_.Stats, in);
  } catch (const std::exception& e) {
    s_.ShowError(FailureText(e));
    return std::nullopt;
  }
}

bool TAnalysisViews::CanDrawsInfo(int selectedRows) const { return s_.IsIdle() && selectedRows > 0; }

int TAnalysisViews::DetailsCols() const {
  return std::clamp(s_.Stats.Config.MatrixCols, kDetailsColsMin, kDetailsColsMax);
}

}  // namespace quintar
