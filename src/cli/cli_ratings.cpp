// quintar-cli ratings ...: the rating of checked stakes per comment.
#include "analysis/significance.h"
#include "cli.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar::cli {

// The rating view: the header with the 22 captions, then one line per row in the view's order, cells as
// the view shows them, tab-separated.
bool RatingsViewList(Context& c, TViewList& v) {
  Session& s = c.session;
  s.ReadRatingsKeys();
  if (c.args.Has("mode")) {
    const int mode = IntOption(c.args, "mode", s.RatingsEffMode);
    if (mode < 0 || mode >= kRatingsEffModes) throw UsageError("--mode: режим от 0 до 2");
    s.RatingsEffMode = mode;
  }
  s.LoadRating(false);
  v.Captions = Session::RatingsCaptions();
  v.RowCount = s.Ratings.Count();
  v.Cells = [&s](int r, std::vector<std::string>& cells) { cells = s.RatingsCells(r); };
  return c.host.errors == 0;
}

namespace {

int List(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("ratings list: лишние аргументы");
  TViewList v;
  if (!RatingsViewList(c, v)) {
    if (!v.Captions.empty()) PrintViewList(v);
    return kFailed;
  }
  PrintViewList(v);
  return kOk;
}

// Recomputes the rating from the checked stakes of the stakes file (the question is answered yes).
int Refresh(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("ratings refresh: лишние аргументы");
  Session& s = c.session;
  s.ReadRatingsKeys();
  TStakesFile stakes(s.FilePath(".lsk"));
  try {
    stakes.OpenStakes();
    // A stakes file of another format is left alone here: only the desktop program empties it.
    if (stakes.IsOldVersion())
      throw EStakesFile(kStakesReadError,
                        Format("Файл \"%s\" не является файлом ставок этой версии программы.", {stakes.Path()}));
  } catch (const EStakesFile& e) {
    PrintError(e.FullText());
    return kFailed;
  }
  // The rebuilt rating replaces the file whatever it held, so the file is not read first: a damaged one
  // is mended by this command rather than blocking it.
  if (!s.RatingsRefresh(stakes)) return kFailed;
  PrintLine(RatingsCountText(s.Ratings.Count()));
  return c.host.errors ? kFailed : kOk;
}

int Export(Context& c) {
  if (c.args.positional.size() != 1) throw UsageError("ratings export: нужен один файл");
  Session& s = c.session;
  s.ReadRatingsKeys();
  s.LoadRating(false);
  if (c.host.errors) return kFailed;
  if (!s.CanRatingsExport()) {
    PrintError("Рейтинг пуст.");
    return kFailed;
  }
  return s.RatingsExport(c.args.positional[0]) ? kOk : kFailed;
}

}  // namespace

// The rows against pure chance: for every row (or the rows of --rows, numbered from 1 in the view's
// order) its tails, p-value, money against chance and verdict, rows separated by an empty line.
int Significance(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("ratings significance: лишние аргументы");
  Session& s = c.session;
  s.ReadRatingsKeys();
  s.ReadSettings();
  s.LoadRating(false);
  if (c.host.errors) return kFailed;
  std::vector<int> rows;
  if (auto list = c.args.Get("rows")) {
    for (const auto& word : SplitAny(*list, ",;", true)) {
      auto r = TryStrToInt(Trim(word));
      if (!r || *r < 1 || *r > s.Ratings.Count()) throw UsageError("--rows: нет строки рейтинга " + word);
      rows.push_back(*r - 1);
    }
  } else {
    for (int r = 0; r < s.Ratings.Count(); ++r) rows.push_back(r);
  }
  if (rows.empty()) {
    PrintError("Рейтинг пуст.");
    return kFailed;
  }
  bool first = true;
  for (int r : rows) {
    if (!first) PrintLine("");
    first = false;
    PrintLine(Format("Строка\t%d", {r + 1}));
    for (const std::string& line : SignificanceLines(RowSignificance(s.Ratings[r], s.StakePrices()))) PrintLine(line);
  }
  return kOk;
}

int RunRatings(Context& c) {
  if (c.args.positional.empty()) throw UsageError("ratings: нужна подкоманда");
  std::string sub = c.args.positional.front();
  c.args.positional.erase(c.args.positional.begin());
  if (sub == "list") return List(c);
  if (sub == "refresh") return Refresh(c);
  if (sub == "export") return Export(c);
  if (sub == "significance") return Significance(c);
  throw UsageError("ratings: неизвестная подкоманда " + sub);
}

}  // namespace quintar::cli
