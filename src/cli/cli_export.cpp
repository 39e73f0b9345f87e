// quintar-cli export VIEW FILE.xlsx ...: the export dialog of a table view, set as the options say, and the
// workbook written from it; the list commands' tables are the views' cells.
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "analysis/layoutview.h"
#include "app/excelexport.h"
#include "combs/ratings.h"
#include "combs/stakesview.h"
#include "cli.h"
#include "stats/drawsstat.h"
#include "util/format.h"
#include "util/strutil.h"

extern char** environ;

namespace quintar::cli {

void PrintViewList(const TViewList& v) {
  PrintLine(Join(v.Captions, "\t"));
  std::vector<std::string> cells;
  for (int r = 0; r < v.RowCount; ++r) {
    cells.clear();
    v.Cells(r, cells);
    PrintLine(Join(cells, "\t"));
  }
  if (!v.Status.empty()) PrintLine(v.Status);
}

namespace {

// A table view of the main window: its list command, its table and the columns' designed widths (pixels)
// and alignments as the desktop program lays them out.
struct TCliView {
  const char* Name;
  const char* Table;
  TExportKind Kind;
  const char* Title;
  std::vector<const char*> Options;  // the list command's options (owned: a braced list would not outlive the table)
  bool (*Build)(Context&, TViewList&);
  int (*Width)(int column, const Session& s);
  int (*Align)(int column);
  int Positionals;  // arguments of the list command before the options (stats: CODE)
};

int DrawsWidth(int col, const Session&) {
  static const int designed[] = {52, 30, 30, 30, 30, 30, 30, 30, 30, 38, 90};
  return col < 11 ? designed[col] : 64;
}
int DrawsAlign(int col) { return col == 10 ? eaLeft : eaCenter; }
// The statistics table has no designed widths: the list's default section width; the norm columns are
// shown only with prefetch files.
int StatsWidth(int col, const Session& s) {
  if (col >= kNormColumnFirst && col <= kNormColumnLast) return s.NormColumnsShown() ? kNormColumnWidth : 0;
  return 100;
}
int StatsAlign(int col) { return col == 0 ? eaLeft : eaRight; }
int CombsWidth(int col, const Session&) { return col == 0 ? 70 : col == 8 ? 40 : 30; }
int CenterAlign(int) { return eaCenter; }
int StakesWidth(int col, const Session&) {
  static const int designed[] = {70, 80, 150, 60, 150, 80, 110, 80, 300};
  return col < 9 ? designed[col] : 64;
}
int GridAlign(int) { return eaLeft; }
int RatingsWidth(int col, const Session&) {
  if (col == 0) return 240;
  if (col >= kRatingFirstCountCol && col < kRatingFirstEffCol) return 44;
  return col >= kRatingFirstEffCol ? 70 : 72;
}
int RatingsAlign(int col) { return col == 0 ? eaLeft : eaRight; }
int TablesWidth(int col, const Session&) {
  static const int designed[] = {260, 170, 50, 170, 70};
  return col < 5 ? designed[col] : 64;
}
int TablesAlign(int col) { return col == 0 ? eaLeft : eaCenter; }
// The card's cells are 26 pixels wide, the draw number's column 52.
int CardWidth(int col, const Session&) { return col == 0 ? 52 : 26; }
// The scheme's columns fit their widest text (seven pixels a character here, the grid's font measures it).
int LayoutWidth(int col, const Session& s) {
  return s.Views.Layout().ColumnWidth(col, [](const std::string& t) { return 7 * static_cast<int>(Utf8Length(t)); });
}

const std::vector<TCliView>& Views() {
  static const std::vector<TCliView> views = {
      {"draws", "lvDraws", TExportKind::List, "Архив тиражей", {"sorted"}, DrawsViewList, DrawsWidth, DrawsAlign, 0},
      {"stats", "lvDrawsStat", TExportKind::List, "Статистика", {"len", "offset", "sorted", "prefetch", "sort", "desc"},
       StatsViewList, StatsWidth, StatsAlign, 1},
      {"combs", "lvCombs", TExportKind::List, "Комбинации", {"mode", "param", "exclude", "offset", "in"}, CombsViewList,
       CombsWidth, CenterAlign, 0},
      {"stakes", "sgStakes", TExportKind::Grid, "Ставки", {}, StakesViewList, StakesWidth, GridAlign, 0},
      {"ratings", "lvRatings", TExportKind::List, "Рейтинг", {"mode"}, RatingsViewList, RatingsWidth, RatingsAlign, 0},
      {"tables", "lvTables", TExportKind::List, "Регуляры", {}, TablesViewList, TablesWidth, TablesAlign, 0},
      {"card", "sgCard", TExportKind::Grid, "Карта", {}, CardViewList, CardWidth, GridAlign, 0},
      {"layout", "sgLayout", TExportKind::Grid, "Схема", {"len", "offset"}, LayoutViewList, LayoutWidth, GridAlign, 0},
  };
  return views;
}

const char* const kExportOptions[] = {"title", "notes",   "header", "time",  "no-time", "sheet",   "orientation",
                                      "font-size", "fields", "caption", "align", "width",   "rows",    "save",
                                      "no-save", "open"};

// "ID=VALUE" of --caption, --align, --width: the field's position in the dialog's list.
std::pair<size_t, std::string> FieldValue(const TExcelExport& ex, const std::string& option, const std::string& text) {
  const size_t eq = text.find('=');
  auto id = eq == std::string::npos ? std::nullopt : TryStrToInt(Trim(text.substr(0, eq)));
  if (!id) throw UsageError("--" + option + ": нужно ID=ЗНАЧЕНИЕ: " + text);
  for (size_t i = 0; i < ex.Fields.size(); ++i)
    if (ex.Fields[i].Id == *id) return {i, text.substr(eq + 1)};
  throw UsageError(Format("--%s: нет поля с ID %d", {option, *id}));
}

int IntIn(const std::string& option, const std::string& text, int min, int max) {
  auto v = TryStrToInt(Trim(text));
  if (!v || *v < min || *v > max) throw UsageError(Format("--%s: от %d до %d: %s", {option, min, max, text}));
  return *v;
}

// "2-4,10": 1-based rows of the list output, each within 1..count.
std::vector<int> ListRows(const std::string& text, int count) {
  std::set<int> rows;
  for (const std::string& word : SplitAny(text, ",", false)) {
    const size_t dash = word.find('-');
    auto a = TryStrToInt(Trim(word.substr(0, dash)));
    auto b = dash == std::string::npos ? a : TryStrToInt(Trim(word.substr(dash + 1)));
    if (!a || !b || *a < 1 || *b < *a) throw UsageError("--rows: строки от 1, например 2-4,10: " + text);
    if (*b > count) throw UsageError(Format("--rows: строки %d нет в таблице (строк: %d)", {*b, count}));
    for (int r = *a; r <= *b; ++r) rows.insert(r - 1);
  }
  if (rows.empty()) throw UsageError("--rows: не заданы строки");
  return {rows.begin(), rows.end()};
}

// Opens FILE with the desktop's handler; false when xdg-open is missing or reports a failure.
bool OpenWithDesktop(const std::string& path) {
  pid_t pid;
  std::string prog = "xdg-open";
  char* argv[] = {prog.data(), const_cast<char*>(path.c_str()), nullptr};
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) < 0) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int RunExport(Context& c) {
  if (c.args.positional.size() < 2) throw UsageError("export: нужны VIEW и FILE.xlsx");
  const std::string name = c.args.positional[0], file = c.args.positional[1];
  const auto& views = Views();
  auto it = std::find_if(views.begin(), views.end(), [&](const TCliView& v) { return name == v.Name; });
  if (it == views.end()) throw UsageError("export: неизвестная таблица " + name);
  const TCliView& view = *it;
  if (file.empty()) throw UsageError("export: нужно имя файла");
  if (static_cast<int>(c.args.positional.size()) != 2 + view.Positionals)
    throw UsageError(Format("export %s: лишние или недостающие аргументы", {name}));
  for (const auto& [opt, value] : c.args.options) {
    (void)value;
    bool known = opt == "data-dir" || opt == "verbose" || opt == "help";
    for (const char* n : kExportOptions) known = known || opt == n;
    for (const char* n : view.Options) known = known || opt == n;
    if (!known) throw UsageError("Неизвестный параметр: --" + opt);
  }
  if (c.args.Has("time") && c.args.Has("no-time")) throw UsageError("export: --time и --no-time вместе");
  if (c.args.Has("save") && c.args.Has("no-save")) throw UsageError("export: --save и --no-save вместе");
  for (const char* o : {"caption", "align", "width"})
    if (c.args.Has(o) && c.args.Get(o)->find('=') == std::string::npos)
      throw UsageError(std::string("--") + o + ": нужно ID=ЗНАЧЕНИЕ");

  // The list command's table, from the list command's own arguments.
  Context lc{c.session, c.host, c.args};
  lc.args.positional.erase(lc.args.positional.begin(), lc.args.positional.begin() + 2);
  TViewList list;
  Session& s = c.session;
  const bool built = view.Build(lc, list);
  if (!built) {
    s.CloseStakesFile();
    return kFailed;
  }

  TExportSource src;
  src.Kind = view.Kind;
  src.Window = "FormMain";
  src.Table = view.Table;
  const IniFile frm = s.Frm.Open();
  for (size_t col = 0; col < list.Captions.size(); ++col) {
    TExportColumn column;
    column.Caption = list.Captions[col];
    const int designed = view.Width(static_cast<int>(col), s);
    column.Width = frm.ReadInteger(kMainForm, Format("%s.Column%d", {view.Table, static_cast<int>(col)}), designed);
    // A hidden column stays hidden whatever width the window settings hold.
    if (designed == 0) column.Width = 0;
    column.Align = view.Align(static_cast<int>(col));
    src.Columns.push_back(column);
  }
  src.RowCount = list.RowCount;
  src.Cells = list.Cells;
  src.MultiSelect = true;

  TExportRequest req;
  req.Title = req.SheetName = view.Title;
  TExcelExport ex;
  ex.Open(src, req, s.FilePath(".ini"), &c.host);

  // What a user changes in the dialog.
  if (auto v = c.args.Get("title")) ex.Title = *v;
  if (auto v = c.args.Get("notes")) ex.Notes = *v;
  if (auto v = c.args.Get("header")) ex.Header = *v;
  if (c.args.Has("time")) ex.ShowCreateTime = true;
  if (c.args.Has("no-time")) ex.ShowCreateTime = false;
  if (auto v = c.args.Get("sheet")) ex.SheetName = *v;
  if (auto v = c.args.Get("orientation")) ex.Orientation = IntIn("orientation", *v, 0, 2);
  if (auto v = c.args.Get("font-size")) ex.BaseFontSize = IntIn("font-size", *v, 1, 409);
  if (auto v = c.args.Get("fields")) {
    std::vector<TExportField> ordered;
    std::vector<TExportField> rest = ex.Fields;
    for (const std::string& word : SplitAny(*v, ",", false)) {
      auto id = TryStrToInt(Trim(word));
      auto f = id ? std::find_if(rest.begin(), rest.end(), [&](const TExportField& x) { return x.Id == *id; })
                  : rest.end();
      if (f == rest.end()) throw UsageError("--fields: нет поля (или оно повторено): " + word);
      f->Exported = true;
      ordered.push_back(*f);
      rest.erase(f);
    }
    if (ordered.empty()) throw UsageError("--fields: не заданы поля");
    for (auto& f : rest) {
      f.Exported = false;
      ordered.push_back(f);
    }
    ex.Fields = std::move(ordered);
  }
  for (const auto& [opt, value] : c.args.all) {
    if (opt != "caption" && opt != "align" && opt != "width") continue;
    auto [i, text] = FieldValue(ex, opt, value);
    TExportField& f = ex.Fields[i];
    std::string why;
    if (opt == "caption") why = ex.SetFieldProperties(static_cast<int>(i), text, f.Align, f.Width);
    if (opt == "align") why = ex.SetFieldProperties(static_cast<int>(i), f.Caption, IntIn("align", text, 0, 2), f.Width);
    if (opt == "width") why = ex.SetFieldProperties(static_cast<int>(i), f.Caption, f.Align, text);
    if (!why.empty()) throw UsageError("--" + opt + ": " + why);
  }
  if (auto v = c.args.Get("rows")) {
    ex.SendSelected = true;
    if (src.Kind == TExportKind::List) {
      src.Selected = ListRows(*v, src.RowCount);
    } else {
      const std::vector<int> rows = ListRows(*v, src.RowCount);
      if (v->find(',') != std::string::npos) throw UsageError("--rows: для сетки один диапазон A-B");
      src.SelTop = rows.front();
      src.SelBottom = rows.back();
    }
  }
  if (c.args.Has("save")) ex.SaveParameters = true;
  if (c.args.Has("no-save")) ex.SaveParameters = false;

  int rc = kOk;
  try {
    const int rows = ex.Export(file, &c.host);
    PrintLine(Format(kExportDoneText, {rows}));
  } catch (const std::exception& e) {
    PrintError(std::string(kExportError) + "\r" + e.what());
    rc = kFailed;
  }
  s.CloseStakesFile();
  if (rc == kOk && c.args.Has("open") && !OpenWithDesktop(file)) PrintError(Format(kExportSavedText, {file}));
  return rc == kOk && c.host.errors ? kFailed : rc;
}

}  // namespace quintar::cli
