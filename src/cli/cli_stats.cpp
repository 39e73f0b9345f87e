// quintar-cli catalogue, quintar-cli values: the statistic catalogue and the values of one statistic.
#include <set>

#include "cli.h"
#include "stats/statvalues.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar::cli {

// Every method of the catalogue with the settings of the data folder and the default display options.
int RunCatalogue(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("catalogue: лишние аргументы");
  Session& s = c.session;
  s.ReadSettings();
  s.Stats.BuildCatalogue();
  s.LoadStatNames(s.FilePath(".flt"), false);
  const TStatList& list = s.Stats;
  PrintLine("№\tКод\tНаименование\tГруппа\tВиды");
  for (int i = 0; i < list.Count(); ++i)
    PrintLine(Format("%d\t%s\t%s\t%d\t%s", {i + 1, list.CodeOf(i), list.StatMethodText(i, true),
                                            static_cast<int>(list.StatClass(i).GetGroup()),
                                            KindsLetters(list.StatClass(i).GetKindsEx())}));
  return kOk;
}

// values CODE (--comb="n1 ... n7" | --draw=NUMBER) [--offset=K] [--len=N] [--sorted]
int RunValues(Context& c) {
  if (c.args.positional.size() != 1) throw UsageError("values: нужен код статистики");
  auto combText = c.args.Get("comb");
  auto drawText = c.args.Get("draw");
  if (combText.has_value() == drawText.has_value()) throw UsageError("values: нужен один из ключей --comb или --draw");
  const int offset = IntOption(c.args, "offset", 0);
  if (offset < 0) throw UsageError("--offset: не меньше 0");
  std::optional<int> drawNumber;
  if (drawText) {
    drawNumber = TryStrToInt(Trim(*drawText));
    if (!drawNumber) throw UsageError("--draw: не номер тиража: " + *drawText);
  }
  const bool sorted = c.args.Has("sorted");
  std::optional<int> len;
  if (auto text = c.args.Get("len")) {
    len = TDrawsStat::ParseDrawsStatLen(*text);
    if (!len) throw UsageError(Format("--len: от %d до %d", {kDrawsStatLenMin, kDrawsStatLenMax}));
  }

  Session& s = c.session;
  s.ReadSettings();
  s.ReadFormKeys();
  s.LoadArchive();
  if (c.host.errors) return kFailed;
  s.Stats.BuildCatalogue();
  const std::string code = c.args.positional[0];
  const int method = s.Stats.IndexOfCode(code);
  if (method < 0) {
    PrintError(Format("Неизвестный код статистики: %s", {code}));
    return kFailed;
  }
  auto stat = s.Stats.CreateStat(method);
  const int lastIndex = s.Archive.High() - offset;

  std::vector<std::string> lines;
  if (combText) {
    TComb comb;
    TextToComb(*combText, comb);  // raises for a text that is not 7 numbers
    std::set<int> distinct;
    for (int i = 0; i < NUMS_IN_DRAW; ++i)
      if (comb[i] >= 1 && comb[i] <= MAX_NUMBER) distinct.insert(comb[i]);
    if (distinct.size() != NUMS_IN_DRAW) {
      PrintError(Format("Некорректная комбинация: \"%s\"!", {*combText}));
      return kFailed;
    }
    lines = CombValueLines(*stat, comb, lastIndex, sorted);
  } else {
    const int index = s.Archive.IndexOfDraw(*drawNumber);
    if (index < 0) {
      PrintError(Format("Тираж № %d не найден!", {*drawNumber}));
      return kFailed;
    }
    // The series and periods are run from the first draw of the statistics table's window.
    const int first = DrawsStatWindow(s.Archive.Count(), offset, len ? *len : s.DrawsStat.DrawsStatLen).First;
    lines = DrawValueLines(*stat, index, lastIndex, sorted, first);
  }
  for (const auto& line : lines) PrintLine(line);
  return kOk;
}

}  // namespace quintar::cli
