// quintar-cli draws ...: the draw archive.
#include "cli.h"
#include "game/drawarchive.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar::cli {

bool DrawsViewList(Context& c, TViewList& v) {
  Session& s = c.session;
  s.ReadFormKeys();
  s.SortedView = c.args.Has("sorted");
  s.LoadArchive();
  v.Captions = Session::DrawListCaptions();
  v.RowCount = s.Archive.Count();
  v.Cells = [&s](int r, std::vector<std::string>& cells) { cells = s.DrawListCells(r); };
  return true;
}

namespace {

int List(Context& c) {
  TViewList v;
  DrawsViewList(c, v);
  PrintViewList(v);
  return kOk;
}

int Import(Context& c) {
  if (c.args.positional.size() != 1) throw UsageError("draws import: нужен один файл");
  Session& s = c.session;
  s.LoadArchive();
  if (c.host.errors) return kFailed;
  if (s.DrawsImport(c.args.positional[0]) < 0 || c.host.errors) return kFailed;
  PrintLine(Format("Архив тиражей: %d", {s.Archive.Count()}));
  return kOk;
}

int Export(Context& c) {
  if (c.args.positional.size() != 1) throw UsageError("draws export: нужен один файл");
  Session& s = c.session;
  s.LoadArchive();
  if (!s.CanDrawsExport()) {
    PrintError("Архив тиражей пуст.");
    return kFailed;
  }
  return s.DrawsExport(c.args.positional[0]) ? kOk : kFailed;
}

int Add(Context& c) {
  if (c.args.positional.size() != 1) throw UsageError("draws add: нужен текст тиража");
  Session& s = c.session;
  s.LoadArchive();
  // Number 0: the draw after the newest, chosen under the archive's lock.
  TDraw d = ZeroDraw();
  d.Number = 0;
  if (!CheckDrawText(c.args.positional[0], d.Nums, d.Bonus)) {
    PrintError(kBadDrawText);
    return kFailed;
  }
  if (auto n = c.args.Get("number")) {
    auto v = TryStrToInt(Trim(*n));
    if (!v || *v < 1) throw UsageError("--number: номер тиража от 1 до 2147483646");
    d.Number = *v;
  }
  TDateTime date = Today();
  if (auto t = c.args.Get("date")) date = TextToDrawDate(*t);  // an unreadable date raises
  d.SetDate(Utf8Left(DrawDateToText(date), 11));
  if (!s.DrawsAdd(d)) return kFailed;
  PrintLine(Format("Архив тиражей: %d", {s.Archive.Count()}));
  return kOk;
}

int Delete(Context& c) {
  if (c.args.positional.empty()) throw UsageError("draws delete: нужны номера тиражей");
  Session& s = c.session;
  s.LoadArchive();
  std::vector<int> rows;
  for (const auto& t : c.args.positional) {
    auto n = TryStrToInt(Trim(t));
    if (!n) throw UsageError("draws delete: не номер тиража: " + t);
    int index = s.Archive.IndexOfDraw(*n);
    if (index < 0) {
      PrintError(Format("Тираж № %d не найден!", {*n}));
      return kFailed;
    }
    rows.push_back(s.Archive.Count() - 1 - index);
  }
  s.DrawsDel(rows);
  if (c.host.errors) return kFailed;
  PrintLine(Format("Архив тиражей: %d", {s.Archive.Count()}));
  return kOk;
}

// Seeds an empty data folder with a demo archive (random draws, not real results).
int Demo(Context& c) {
  Session& s = c.session;
  s.LoadArchive();
  if (!s.Archive.Empty()) {
    PrintError("Архив тиражей не пуст: демонстрационный архив создаётся только в пустой папке.");
    return kFailed;
  }
  int count = IntOption(c.args, "count", 300);
  if (count < 1 || count > 100000) throw UsageError("--count: от 1 до 100000");
  const TDrawArchive demo = MakeDemoArchive(count, static_cast<unsigned>(IntOption(c.args, "seed", 7)));
  bool refused = false;
  if (!s.UpdateArchive([&] {
        if (!s.Archive.Empty()) return !(refused = true);
        for (const TDraw& d : demo.Draws()) s.Archive.AppendDraw(d);
        return true;
      })) {
    if (refused) PrintError("Архив тиражей не пуст: демонстрационный архив создаётся только в пустой папке.");
    return kFailed;
  }
  PrintLine(Format("Архив тиражей: %d", {s.Archive.Count()}));
  return kOk;
}

}  // namespace

int RunDraws(Context& c) {
  if (c.args.positional.empty()) throw UsageError("draws: нужна подкоманда");
  std::string sub = c.args.positional.front();
  c.args.positional.erase(c.args.positional.begin());
  if (sub == "list") return List(c);
  if (sub == "import") return Import(c);
  if (sub == "export") return Export(c);
  if (sub == "add") return Add(c);
  if (sub == "delete") return Delete(c);
  if (sub == "demo") return Demo(c);
  throw UsageError("draws: неизвестная подкоманда " + sub);
}

}  // namespace quintar::cli
