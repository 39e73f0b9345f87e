// quintar-cli details, graphs, card, layout, repeats, sumdist: what the analysis views and windows of the
// desktop program show, from the same core models, with the view settings of the data folder.
#include <algorithm>
#include <cctype>

#include "cli.h"
#include "combs/combsgen.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar::cli {

namespace {

void PrintLines(const std::vector<std::string>& lines) {
  for (const auto& l : lines) PrintLine(l);
}

// A window length option within the limits of its spin field, or the default.
int LenOption(const Args& a, const std::string& name, int def) {
  auto text = a.Get(name);
  if (!text) return def;
  auto v = ParseViewLen(*text);
  if (!v) throw UsageError(Format("--%s: от %d до %d", {name, kViewLenMin, kViewLenMax}));
  return *v;
}

// A switch option "0" or "1", or nothing.
std::optional<bool> SwitchOption(const Args& a, const std::string& name) {
  auto text = a.Get(name);
  if (!text) return std::nullopt;
  const std::string t = Trim(*text);
  if (t != "0" && t != "1") throw UsageError("--" + name + ": 0 или 1");
  return t == "1";
}

std::optional<int> Digits(std::string_view text) {
  const std::string t = Trim(text);
  if (t.empty() || t.size() > 9 || !std::all_of(t.begin(), t.end(), [](unsigned char c) { return std::isdigit(c); }))
    return std::nullopt;
  return std::stoi(t);
}

// "A-B" or "A": an inclusive range of grid indexes, low to high.
std::pair<int, int> RangeOption(const Args& a, const std::string& name) {
  auto text = a.Get(name);
  if (!text) throw UsageError("нужен ключ --" + name + "=A-B");
  const size_t dash = text->find('-');
  std::optional<int> lo = Digits(text->substr(0, dash)), hi = lo;
  if (dash != std::string::npos) hi = Digits(text->substr(dash + 1));
  if (!lo || !hi) throw UsageError("--" + name + ": диапазон A-B или число: " + *text);
  return {std::min(*lo, *hi), std::max(*lo, *hi)};
}

TGridRect SelectionOption(const Args& a) {
  const auto [left, right] = RangeOption(a, "cols");
  const auto [top, bottom] = RangeOption(a, "rows");
  return {left, top, right, bottom};
}

// The views' settings, the catalogue settings and the archive, every page shown. False after an error.
bool StartViews(Context& c) {
  Session& s = c.session;
  s.ViewsSuspended = true;  // each command computes its own view once it is set up
  s.ReadFormKeys();
  s.LoadArchive();
  if (c.host.errors) return false;
  StartFullCatalogue(s);
  s.Views.GraphsShown = s.Views.CardShown = s.Views.LayoutShown = true;
  return true;
}

// --offset: 0 .. draws - 1 (0 with an empty archive), the range of edDrawsOffset.
void ApplyOffset(Context& c) {
  Session& s = c.session;
  const int offset = IntOption(c.args, "offset", 0);
  if (offset < 0 || offset > std::max(0, s.Archive.Count() - 1))
    throw UsageError(Format("--offset: от 0 до %d", {std::max(0, s.Archive.Count() - 1)}));
  s.SetDrawsOffset(offset);
}

// The keep or delete option of the filter commands: true for delete.
bool DeleteOption(const Args& a) {
  if (a.Has("keep") == a.Has("delete")) throw UsageError("нужен один из ключей --keep или --delete");
  return a.Has("delete");
}

std::optional<std::string> FileOption(const Args& a, const std::string& name) {
  auto v = a.Get(name);
  if (v && v->empty()) throw UsageError("--" + name + ": нужно имя файла");
  return v;
}

// The list the filter works on: the list file, or every combination. False after an error.
bool OpenFilterList(Context& c, const std::optional<std::string>& in) {
  Session& s = c.session;
  s.ReserveCombsLists();
  if (in) {
    if (!s.CombsOpen(*in)) return false;
  } else {
    s.CombsGen(MakeGenParams(kGenModeFull, ""));
  }
  if (c.host.errors) return false;
  if (s.CurrentCombs.Empty()) {
    PrintError("Список комбинаций пуст: фильтры недоступны!");
    return false;
  }
  return true;
}

// The applied-filters line of the filter just applied, the count, and the list file when asked for.
int FinishFilter(Context& c, const std::optional<std::string>& out) {
  Session& s = c.session;
  if (c.host.errors || s.FilterLog.Empty()) return kFailed;
  std::string captions;
  for (const auto& caption : TFilterLog::Captions()) captions += (captions.empty() ? "" : "\t") + caption;
  PrintLine(captions);
  std::string line;
  for (const auto& cell : s.FilterLog.Cells(s.FilterLog.Count() - 1)) line += (line.empty() ? "" : "\t") + cell;
  PrintLine(line);
  PrintLine(Format("Комбинаций: %d", {s.CurrentCombs.Count()}));
  if (out && !s.WriteCombsFile(*out)) return kFailed;
  return c.host.errors ? kFailed : kOk;
}

int RunCardFilter(Context& c) {
  const TGridRect sel = SelectionOption(c.args);
  const bool deleteFlag = DeleteOption(c.args);
  const auto in = FileOption(c.args, "in"), out = FileOption(c.args, "out");
  Session& s = c.session;
  if (!StartViews(c)) return kFailed;
  s.Views.RefreshCard(true);
  const TCardView& card = s.Views.Card();
  if (sel.Right >= kCardColumns || sel.Top < 1 || sel.Bottom >= card.RowCount())
    throw UsageError(Format("выделение вне карты: столбцы 0..%d, строки 1..%d", {kCardColumns - 1, card.RowCount() - 1}));
  if (!card.FilterSelectionAllowed(sel)) {
    PrintError("Фильтры карты недоступны: выделение захватывает столбец номера тиража или бонуса!");
    return kFailed;
  }
  if (!OpenFilterList(c, in)) return kFailed;
  if (deleteFlag)
    s.Views.CardFilter_Exclude(sel);
  else
    s.Views.CardFilter_Include(sel);
  return FinishFilter(c, out);
}

int RunLayoutFilter(Context& c) {
  const TGridRect sel = SelectionOption(c.args);
  const bool deleteFlag = DeleteOption(c.args);
  const auto in = FileOption(c.args, "in"), out = FileOption(c.args, "out");
  Session& s = c.session;
  const int len = LenOption(c.args, "len", -1);
  if (!StartViews(c)) return kFailed;
  if (len > 0) s.Views.LayoutLen = len;
  ApplyOffset(c);
  s.Views.RefreshLayout(true);
  const TLayoutScheme& scheme = s.Views.Layout();
  if (!scheme.FilterSelectionAllowed(sel))
    throw UsageError(Format("выделение вне данных схемы: столбцы 1..%d, строки 1..%d",
                            {scheme.ColCount() - 1, scheme.RowCount() - 1}));
  if (!OpenFilterList(c, in)) return kFailed;
  if (deleteFlag)
    s.Views.LayoutFilter_Exclude(sel);
  else
    s.Views.LayoutFilter_Include(sel);
  return FinishFilter(c, out);
}

}  // namespace

// details (--draw=NUMBER | --comb="n1 ... n7") [--offset=K] [--sorted] [--cols=N] [--colors]
int RunDetails(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("details: лишние аргументы");
  const auto drawText = c.args.Get("draw"), combText = c.args.Get("comb");
  if (drawText.has_value() == combText.has_value()) throw UsageError("details: нужен один из ключей --draw или --comb");
  std::optional<int> drawNumber;
  if (drawText) {
    drawNumber = TryStrToInt(Trim(*drawText));
    if (!drawNumber) throw UsageError("--draw: не номер тиража: " + *drawText);
  }
  std::optional<int> cols;
  if (auto text = c.args.Get("cols")) {
    cols = Digits(*text);
    if (!cols || *cols < kDetailsColsMin || *cols > kDetailsColsMax)
      throw UsageError(Format("--cols: от %d до %d", {kDetailsColsMin, kDetailsColsMax}));
  }
  Session& s = c.session;
  if (!StartViews(c)) return kFailed;
  ApplyOffset(c);
  if (c.args.Has("sorted")) s.SortedView = true;
  TDetailsInput in;
  if (drawNumber) {
    const int index = s.Archive.IndexOfDraw(*drawNumber);
    if (index < 0) {
      PrintError(Format("Тираж № %d не найден!", {*drawNumber}));
      return kFailed;
    }
    in = s.Views.DrawDetailsInput(index);
  } else {
    TComb comb{};
    TextToComb(*combText, comb);  // raises for a text that is not seven different numbers 1..35
    in = s.Views.CombDetailsInput(comb);
  }
  const auto details = s.Views.ShowDetails(in);
  if (!details) return kFailed;
  const TDetailsCard card{cols ? *cols : s.Views.DetailsCols(), details->Comb};
  const int channelSize = s.ChannelSize();
  PrintLines(DetailsLines(*details, card, c.args.Has("colors") ? &channelSize : nullptr));
  return kOk;
}

// graphs CODE [--len=N] [--offset=K] [--sorted] [--marks]
int RunGraphs(Context& c) {
  if (c.args.positional.size() != 1) throw UsageError("graphs: нужен код статистики");
  Session& s = c.session;
  const int len = LenOption(c.args, "len", -1);
  if (!StartViews(c)) return kFailed;
  ApplyOffset(c);
  if (c.args.Has("sorted")) s.SortedView = true;
  const std::string code = c.args.positional[0];
  const int method = s.Stats.IndexOfCode(code);
  if (method < 0 || !s.Stats.IsGraph(method)) {
    PrintError(Format(method < 0 ? "Неизвестный код статистики: %s" : "Статистика %s не строит графиков!", {code}));
    return kFailed;
  }
  const TGraphsData data = s.Views.ComputeGraphsOf(method, len > 0 ? len : s.Views.DrawsGraphLen);
  PrintLines(GraphsLines(data, c.args.Has("marks")));
  return kOk;
}

// card [--colors] [--color-card=0|1] [--color-sequences=0|1]; card filter ...
int RunCard(Context& c) {
  if (!c.args.positional.empty()) {
    if (c.args.positional.size() == 1 && c.args.positional[0] == "filter") return RunCardFilter(c);
    throw UsageError("card: неизвестная команда " + c.args.positional[0]);
  }
  const auto colorCard = SwitchOption(c.args, "color-card"), colorSeq = SwitchOption(c.args, "color-sequences");
  Session& s = c.session;
  if (!StartViews(c)) return kFailed;
  if (colorCard) s.Views.ColorCard = *colorCard;
  if (colorSeq) s.Views.ColorCardSequences = *colorSeq;
  s.Views.RefreshCard(true);
  const TCardColors colors = s.Views.CardColors();
  PrintLines(CardLines(s.Views.Card(), c.args.Has("colors") ? &colors : nullptr));
  return kOk;
}

// layout [--len=N] [--offset=K] [--colors] [--gradient=0|1]; layout compare ...; layout filter ...
int RunLayout(Context& c) {
  Session& s = c.session;
  if (!c.args.positional.empty()) {
    const std::string sub = c.args.positional[0];
    if (c.args.positional.size() == 1 && sub == "filter") return RunLayoutFilter(c);
    if (c.args.positional.size() != 1 || sub != "compare") throw UsageError("layout: неизвестная команда " + sub);
    std::array<int, kLayoutCompareLists> lens{};
    for (int i = 0; i < kLayoutCompareLists; ++i)
      lens[static_cast<size_t>(i)] = LenOption(c.args, Format("len%d", {i + 1}), -1);
    if (!StartViews(c)) return kFailed;
    ApplyOffset(c);
    for (size_t i = 0; i < lens.size(); ++i)
      if (lens[i] > 0) s.Views.LayoutCompareLen[i] = lens[i];
    s.Views.RefreshLayoutCompare(true);
    PrintLines(LayoutCompareLines(s.Views.LayoutCompare()));
    return kOk;
  }
  const int len = LenOption(c.args, "len", -1);
  const auto gradient = SwitchOption(c.args, "gradient");
  if (!StartViews(c)) return kFailed;
  ApplyOffset(c);
  if (len > 0) s.Views.LayoutLen = len;
  if (gradient) s.Views.LayoutGradient = *gradient;
  s.Views.RefreshLayout(true);
  const bool colorsOn = s.Views.LayoutGradient;
  PrintLines(LayoutLines(s.Views.Layout(), c.args.Has("colors") ? &colorsOn : nullptr));
  return kOk;
}

// repeats [--len=N] [--deep=N] [--chart]
int RunRepeats(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("repeats: лишние аргументы");
  Session& s = c.session;
  const int len = LenOption(c.args, "len", -1), deep = LenOption(c.args, "deep", -1);
  if (!StartViews(c)) return kFailed;
  const TRepeatsSettings settings = s.Views.ReadRepeatsSettings();
  const auto result = s.Views.AnalyzeRepeats(len > 0 ? len : settings.DrawsLength, deep > 0 ? deep : settings.DrawsDeep);
  if (!result) return kFailed;
  PrintLines(c.args.Has("chart") ? RepeatsChartLines(*result) : RepeatsLines(*result));
  return kOk;
}

// sumdist
int RunSumDist(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("sumdist: лишние аргументы");
  Session& s = c.session;
  if (!StartViews(c)) return kFailed;
  const auto dist = s.Views.TotalSumCombs();
  if (!dist) return kFailed;
  PrintLines(SumDistributionLines(*dist));
  return kOk;
}

}  // namespace quintar::cli
