// quintar-cli systems ...: the online systems catalogue as the page "Системы" shows and changes it, the stored
// systems in the folder "Systems", and the system stakes.
#include "cli.h"
#include "combs/combsgen.h"
#include "combs/stakesview.h"
#include "online/storedsystems.h"
#include "online/systemscatalogue.h"
#include "util/cp1251.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar::cli {

namespace {

void PrintList(const TSystemsCatalogue& cat) {
  std::vector<std::string> captions = SystemsCaptions();
  captions.insert(captions.begin(), "Id");
  PrintCells(captions);
  for (const tSystemInfo& r : cat.Rows) {
    std::vector<std::string> cells = SystemsCells(r);
    cells.insert(cells.begin(), std::to_string(r.Id));
    PrintCells(cells);
  }
}

int RealRows(const TSystemsCatalogue& cat) {
  int n = 0;
  for (const tSystemInfo& r : cat.Rows) n += r.Id > 0;
  return n;
}

int TakeId(Context& c) {
  if (c.args.positional.size() != 1) throw UsageError("systems: нужен ID системы");
  return IdArgument(c.args.positional[0]);
}

int List(Context& c) {
  CheckOptions(c.args, {"base-url"});
  if (!c.args.positional.empty()) throw UsageError("systems list: лишние аргументы");
  StartCatalogueCommand(c);
  TSystemsCatalogue& cat = c.session.Systems;
  const int errors = c.host.errors;
  bool listRead = true;
  cat.Refresh(-1, false, &listRead);
  PrintList(cat);
  // The count comes when the list itself was read; a failed download again of a newer version still fails
  // the command.
  if (listRead) PrintLine(Format("Систем: %d", {RealRows(cat)}));
  return c.host.errors == errors ? kOk : kFailed;
}

// The dialog's fields from the options; a list file replaces the list and is normalised.
bool TakeFields(Context& c, TSystemFields& f) {
  if (auto v = ShortTextOption(c.args, "title")) f.Title = *v;
  if (auto v = ShortTextOption(c.args, "author")) f.Author = *v;
  if (auto v = c.args.Get("descr")) f.Descr = *v;
  if (auto v = c.args.Get("url")) f.Url = *v;
  if (c.args.Has("olap")) f.Olap = std::to_string(IntOption(c.args, "olap", 0));
  if (auto file = c.args.Get("file")) {
    try {
      f.Combs = Cp1251ToUtf8(ReadWholeFile(*file));
    } catch (const std::exception& e) {
      c.session.ShowError(Format("Ошибка чтения файла \"%s\"!\r\r%s", {*file, e.what()}));
      return false;
    }
    const std::string error = NormaliseSystemList(f);
    if (!error.empty()) {
      c.session.ShowError(error);
      return false;
    }
  }
  if (c.args.Has("nums")) f.Nums = std::to_string(IntOption(c.args, "nums", 0));
  return true;
}

// The usage checks of the dialog's options, made before anything is sent.
void CheckFieldOptions(Context& c) {
  ShortTextOption(c.args, "title");
  ShortTextOption(c.args, "author");
  IntOption(c.args, "olap", 0);
  IntOption(c.args, "nums", 0);
}

bool DialogOk(Context& c, const TSystemFields& f) {
  std::string message;
  if (CheckSystemFields(f, message) == TSystemField::None) return true;
  c.session.ShowError(message);
  return false;
}

void PrintRow(const tSystemInfo& r) {
  std::vector<std::string> captions = SystemsCaptions();
  captions.insert(captions.begin(), "Id");
  PrintCells(captions);
  std::vector<std::string> cells = SystemsCells(r);
  cells.insert(cells.begin(), std::to_string(r.Id));
  PrintCells(cells);
}

int Show(Context& c) {
  CheckOptions(c.args, {"base-url"});
  const int id = TakeId(c);
  StartCatalogueCommand(c);
  TSystemsCatalogue& cat = c.session.Systems;
  auto r = cat.Lookup(id, kSystemsListError);
  if (!r) return kFailed;
  const int errors = c.host.errors;
  const std::string text = cat.GetSystemText(*r);
  if (c.host.errors != errors) return kFailed;
  PrintCells({"Поле", "Значение"});
  PrintCells({"Id", std::to_string(r->Id)});
  PrintCells({"Наименование", r->Title});
  PrintCells({"Описание", r->Descr});
  PrintCells({"Автор", r->AuthorName});
  PrintCells({"Ссылка", r->Url});
  PrintCells({"Создана", CatalogueTimeText(r->Created)});
  PrintCells({"Комбинаций", std::to_string(r->CSize)});
  PrintCells({"Числа", std::to_string(r->NumCount)});
  PrintCells({"Длина", std::to_string(NUMS_IN_DRAW)});
  PrintCells({"Блок", std::to_string(r->Olap)});
  PrintCells({"Загрузок", std::to_string(r->Downloads)});
  PrintCells({"Последняя", CatalogueTimeText(r->LastDownload)});
  for (const std::string& line : SplitTextLines(text)) PrintCells({"Комбинация", line});
  return kOk;
}

int Download(Context& c) {
  CheckOptions(c.args, {"base-url"});
  if (c.args.positional.empty()) throw UsageError("systems download: нужен ID системы");
  std::vector<int> ids;
  for (const std::string& a : c.args.positional) ids.push_back(IdArgument(a));
  StartCatalogueCommand(c);
  Session& s = c.session;
  TSystemsCatalogue& cat = s.Systems;
  cat.Rows.clear();
  try {
    bool empty = false;
    cat.RequestList(cat.Rows, empty);
  } catch (const std::exception& e) {
    s.ShowError(Format(kSystemsListError, {e.what()}));
    return kFailed;
  }
  std::vector<int> rows;
  bool ok = true;
  for (int id : ids) {
    const int row = cat.FindRow(id);
    if (row < 0) {
      s.ShowError(Format(kSystemNotInCatalogue, {id}));
      ok = false;
    } else {
      rows.push_back(row);
    }
  }
  ok = cat.DownloadRows(rows) && ok;
  PrintList(cat);
  PrintLine(Format("Систем: %d", {RealRows(cat)}));
  return ok ? kOk : kFailed;
}

int Add(Context& c) {
  CheckOptions(c.args, {"title", "descr", "file", "author", "url", "nums", "olap", "base-url"});
  if (!c.args.positional.empty()) throw UsageError("systems add: лишние аргументы");
  CheckFieldOptions(c);
  StartCatalogueCommand(c);
  TSystemsCatalogue& cat = c.session.Systems;
  const tSystemData opened = cat.NewData();
  TSystemFields f = SystemDialogFields(opened);
  f.Olap = "0";
  if (!TakeFields(c, f) || !DialogOk(c, f)) return kFailed;
  tSystemData d;
  try {
    d = SystemDialogResult(opened, f);
  } catch (const std::exception& e) {
    c.session.ShowError(Format(kSystemAddError, {e.what()}));
    return kFailed;
  }
  cat.Rows.clear();
  const int row = cat.Add(d);
  if (row < 0) return kFailed;
  PrintRow(cat.Rows[static_cast<size_t>(row)]);
  return kOk;
}

int Edit(Context& c) {
  CheckOptions(c.args, {"title", "descr", "file", "author", "url", "nums", "olap", "base-url"});
  const int id = TakeId(c);
  CheckFieldOptions(c);
  StartCatalogueCommand(c);
  Session& s = c.session;
  TSystemsCatalogue& cat = s.Systems;
  auto r = cat.Lookup(id, kSystemEditError);
  if (!r) return kFailed;
  if (!cat.Own(*r)) {
    s.ShowError(kSystemNotOwnEdit);
    return kFailed;
  }
  cat.Rows = {*r};
  const int errors = c.host.errors;
  const tSystemData opened = cat.PropData(0);
  if (c.host.errors != errors) return kFailed;
  TSystemFields f = SystemDialogFields(opened);
  if (!TakeFields(c, f) || !DialogOk(c, f)) return kFailed;
  tSystemData d;
  try {
    d = SystemDialogResult(opened, f);
  } catch (const std::exception& e) {
    s.ShowError(Format(kSystemEditError, {e.what()}));
    return kFailed;
  }
  if (!cat.SaveProp(0, d)) return kFailed;
  PrintRow(cat.Rows.front());
  return kOk;
}

int Delete(Context& c) {
  CheckOptions(c.args, {"base-url"});
  const int id = TakeId(c);
  StartCatalogueCommand(c);
  TSystemsCatalogue& cat = c.session.Systems;
  auto r = cat.Lookup(id, kSystemDeleteError);
  if (!r) return kFailed;
  cat.Rows = {*r};
  if (!cat.Del(0, false)) return kFailed;
  PrintLine(Format("Удалено: %d", {id}));
  return kOk;
}

int Stake(Context& c) {
  CheckOptions(c.args, {"combined", "in", "draw", "draws", "comment"});
  if (!c.args.positional.empty()) throw UsageError("systems stake: лишние аргументы");
  const bool combined = c.args.Has("combined");
  const auto in = c.args.Get("in");
  if (in && in->empty()) throw UsageError("--in: нужно имя файла");
  IntOption(c.args, "draw", 0);
  IntOption(c.args, "draws", 0);
  Session& s = c.session;
  if (!LoadForChecking(c)) return kFailed;
  s.ReserveCombsLists();
  if (in) {
    if (!s.ReadCombsFile(*in)) {
      s.CloseStakesFile();
      return kFailed;
    }
  } else {
    s.GenerateCombs(false, MakeGenParams(0, ""));
  }
  const int before = s.Stakes.Count();
  const int added = s.Systems.StakeSystem(combined, [&](int& draw, int& draws, std::string& comment) {
    draw = IntOption(c.args, "draw", draw);
    draws = IntOption(c.args, "draws", draws);
    comment = c.args.Get("comment").value_or(comment);
    const std::string error = MultiStakeDialogCheck(draw, draws, comment);
    if (error.empty()) return true;
    s.ShowError(error);
    return false;
  });
  if (added < 0) {
    s.CloseStakesFile();
    return kFailed;
  }
  PrintStakeRows(s, before);
  PrintLine(StakesCountText(s.Stakes.Count()));
  s.CloseStakesFile();
  return c.host.errors ? kFailed : kOk;
}

}  // namespace

int RunSystems(Context& c) {
  if (c.args.positional.empty()) throw UsageError("systems: нужна подкоманда");
  const std::string sub = c.args.positional.front();
  c.args.positional.erase(c.args.positional.begin());
  if (sub == "list") return List(c);
  if (sub == "show") return Show(c);
  if (sub == "download") return Download(c);
  if (sub == "add") return Add(c);
  if (sub == "edit") return Edit(c);
  if (sub == "delete") return Delete(c);
  if (sub == "stake") return Stake(c);
  throw UsageError("systems: неизвестная подкоманда " + sub);
}

}  // namespace quintar::cli
