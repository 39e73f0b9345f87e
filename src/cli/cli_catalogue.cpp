// quintar-cli identity and scriptlib ...: the client identity of the catalogue requests and the online script
// catalogue, as the panel of the page "Сценарий" shows and changes it.
#include "app/language.h"
#include "cli.h"
#include "scripts/scriptfile.h"
#include "scripts/scriptlibrary.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar::cli {

void StartCatalogueCommand(Context& c) {
  Session& s = c.session;
  s.ReadOnlineSettings();
  if (auto url = c.args.Get("base-url")) s.Online.Catalogue.Url = Trim(*url);
  s.ScriptLibrary.Language = kBaseLanguage;
  s.Systems.Language = kBaseLanguage;
}

int IdArgument(const std::string& text) {
  const auto v = TryStrToInt(text);
  if (!v || *v < 1) throw UsageError("ID: нужно целое число больше 0: " + text);
  return *v;
}

std::optional<std::string> ShortTextOption(const Args& a, const std::string& name) {
  auto v = a.Get(name);
  if (v && Utf8Length(*v) > 64) throw UsageError("--" + name + ": не более 64 символов");
  return v;
}

void PrintCells(const std::vector<std::string>& cells) {
  std::string line;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i) line += '\t';
    const std::string& cell = cells[i];
    for (size_t k = 0; k < cell.size(); ++k) {
      const char ch = cell[k];
      if (ch == '\r' && k + 1 < cell.size() && cell[k + 1] == '\n') ++k;
      line += ch == '\t' || ch == '\r' || ch == '\n' ? ' ' : ch;
    }
  }
  PrintLine(line);
}

int RunIdentity(Context& c) {
  CheckOptions(c.args, {});
  if (!c.args.positional.empty()) throw UsageError("identity: лишние аргументы");
  StartCatalogueCommand(c);
  Session& s = c.session;
  const TCatalogueIdentity id = MakeCatalogueIdentity(s.Online.Catalogue, kBaseLanguage, s.FilePath(".ini"));
  PrintCells({"Поле", "Значение"});
  PrintCells({"appid", id.AppId});
  PrintCells({"appver", id.AppVer});
  PrintCells({"hwdid", id.HwdId});
  PrintCells({"cl_name", id.Name});
  PrintCells({"cl_mail", id.Mail});
  PrintCells({"cl_lcid", std::to_string(id.Lcid)});
  return kOk;
}

namespace {

std::vector<std::string> Captions() {
  std::vector<std::string> c = ScriptLibraryCaptions();
  c.insert(c.begin(), "Id");
  return c;
}

void PrintRow(const tScriptInfo& r) {
  std::vector<std::string> cells = ScriptLibraryCells(r);
  cells.insert(cells.begin(), std::to_string(r.Id));
  PrintCells(cells);
}

// The ID argument (and for rate the value) of a command on one script.
int TakeId(Context& c, size_t args = 1) {
  if (c.args.positional.size() != args) throw UsageError("scriptlib: нужен ID сценария");
  return IdArgument(c.args.positional[0]);
}

// --filter: an entry of the filter list; by default the panel's stored one.
int FilterEntry(Context& c) {
  Session& s = c.session;
  s.ScriptLibrary.ReadKeys();
  const int entry = IntOption(c.args, "filter", s.ScriptLibrary.FilterEntry);
  if (entry < 0 || entry >= static_cast<int>(ScriptLibraryFilterTexts().size()))
    throw UsageError("--filter: пункт списка от 0 до 7");
  return entry;
}

// The catalogue list as the panel shows it after a refresh; the count line only when it was read whole.
int PrintList(Context& c, int entry) {
  Session& s = c.session;
  TScriptLibrary& lib = s.ScriptLibrary;
  lib.PanelShown = true;
  lib.FilterEntry = entry;
  const int errors = c.host.errors;
  lib.Refresh(-1);
  PrintCells(Captions());
  for (const tScriptInfo& r : lib.Rows) PrintRow(r);
  if (c.host.errors != errors) return kFailed;
  PrintLine(Format("Сценариев: %d", {static_cast<int>(lib.Rows.size())}));
  return kOk;
}

int List(Context& c) {
  CheckOptions(c.args, {"filter", "base-url"});
  if (!c.args.positional.empty()) throw UsageError("scriptlib list: лишние аргументы");
  const int entry = FilterEntry(c);
  StartCatalogueCommand(c);
  return PrintList(c, entry);
}

int View(Context& c) {
  CheckOptions(c.args, {"base-url"});
  const int id = TakeId(c);
  StartCatalogueCommand(c);
  auto r = c.session.ScriptLibrary.Lookup(id, kScriptLibraryViewError);
  if (!r) return kFailed;
  PrintCells({"Поле", "Значение"});
  PrintCells({"Id", std::to_string(r->Id)});
  PrintCells({"Автор", r->AuthorName});
  PrintCells({"Язык", CatalogueLanguageAbbrev(r->Lcid)});
  PrintCells({"Название", r->Title});
  PrintCells({"Описание", r->Descr});
  PrintCells({"Доступность", r->Public ? kScrPublicEveryone : kScrPublicOnlyMe});
  PrintCells({"Применяемость", r->Universal ? std::string(kScrPublicAnyApp) : Format(kScrPublicOnlyApp, {r->AppName})});
  return kOk;
}

int Rates(Context& c) {
  CheckOptions(c.args, {"base-url"});
  const int id = TakeId(c);
  StartCatalogueCommand(c);
  std::vector<TScriptRate> rates;
  try {
    rates = c.session.ScriptLibrary.RequestRates(id);
  } catch (const std::exception& e) {
    c.session.ShowError(Format(kScriptLibraryRatesError, {e.what()}));
    return kFailed;
  }
  PrintCells(ScriptRatesCaptions());
  for (const TScriptRate& r : rates) PrintCells(ScriptRateCells(r));
  PrintLine(Format("Оценок: %d", {static_cast<int>(rates.size())}));
  return kOk;
}

int Download(Context& c) {
  CheckOptions(c.args, {"out", "base-url"});
  const int id = TakeId(c);
  const auto out = c.args.Get("out");
  if (out && out->empty()) throw UsageError("--out: нужно имя файла");
  StartCatalogueCommand(c);
  Session& s = c.session;
  TScriptLibrary& lib = s.ScriptLibrary;
  auto r = lib.Lookup(id, kScriptLibraryDownloadError);
  if (!r) return kFailed;
  if (!r->Usable) {
    s.ShowError(Format(kScriptNotUsable, {id}));
    return kFailed;
  }
  if (out) {
    try {
      const std::vector<std::string> lines = lib.RequestScript(id);
      WriteScriptFile(*out, lines);
      PrintLine(Format("Строк: %d", {static_cast<int>(lines.size())}));
      return kOk;
    } catch (const std::exception& e) {
      s.ShowError(Format(kScriptLibraryDownloadError, {e.what()}));
      return kFailed;
    }
  }
  lib.PanelShown = true;
  lib.Rows = {*r};
  if (!lib.Download(0)) return kFailed;
  PrintLine(Format("Строк: %d", {static_cast<int>(s.ScriptLines.size())}));
  return c.host.errors ? kFailed : kOk;
}

// rate ID VALUE, hide ID, unrate ID: the rate request, then the list.
int Rate(Context& c, std::optional<int> fixed) {
  CheckOptions(c.args, fixed ? std::initializer_list<const char*>{"filter", "base-url"}
                             : std::initializer_list<const char*>{"comment", "filter", "base-url"});
  const int id = TakeId(c, fixed ? 1 : 2);
  int value = 0;
  if (fixed) {
    value = *fixed;
  } else {
    const auto v = TryStrToInt(c.args.positional[1]);
    if (!v || *v < 1 || *v > 5) throw UsageError("VALUE: оценка от 1 до 5");
    value = *v;
  }
  const std::string comment = fixed ? "" : c.args.Get("comment").value_or("");
  const int entry = FilterEntry(c);
  StartCatalogueCommand(c);
  try {
    c.session.ScriptLibrary.RequestRate(id, value, comment);
  } catch (const std::exception& e) {
    c.session.ShowError(Format(kScriptLibraryRateError, {e.what()}));
    return kFailed;
  }
  return PrintList(c, entry);
}

// The script to publish: the working script or the file of --in; nothing after a message.
std::optional<std::vector<std::string>> ScriptToSend(Context& c) {
  Session& s = c.session;
  const std::string path = c.args.Get("in").value_or(s.ScriptFilePath());
  std::vector<std::string> lines;
  if (c.args.Has("in") || FileExists(path)) {
    try {
      lines = ReadScriptFile(path);
    } catch (const std::exception& e) {
      s.ShowError(Format(kScriptReadError, {path, e.what()}));
      return std::nullopt;
    }
  }
  if (lines.empty()) {
    s.ShowError(kScriptHasNoLines);
    return std::nullopt;
  }
  return lines;
}

// The properties dialog's fields from the options.
void TakeProperties(Context& c, tScriptData& d) {
  if (auto v = ShortTextOption(c.args, "title")) d.Title = *v;
  if (auto v = ShortTextOption(c.args, "author")) d.AuthorName = *v;
  if (auto v = c.args.Get("descr")) d.Descr = *v;
  d.Lcid = IntOption(c.args, "lcid", d.Lcid);
  if (c.args.Has("private")) d.Public = false;
  if (c.args.Has("public")) d.Public = true;
  if (c.args.Has("universal")) d.Universal = true;
  if (c.args.Has("app-only")) d.Universal = false;
}

int Publish(Context& c) {
  CheckOptions(c.args, {"title", "descr", "author", "lcid", "private", "universal", "in", "base-url"});
  if (!c.args.positional.empty()) throw UsageError("scriptlib publish: лишние аргументы");
  StartCatalogueCommand(c);
  Session& s = c.session;
  TScriptLibrary& lib = s.ScriptLibrary;
  tScriptData d = lib.NewProperties();
  TakeProperties(c, d);
  auto lines = ScriptToSend(c);
  if (!lines) return kFailed;
  if (lib.CheckProperties(d) != TScriptField::None) return kFailed;
  lib.Rows.clear();
  const int row = lib.Publish(d, *lines);
  if (row < 0) return kFailed;
  PrintCells(Captions());
  PrintRow(lib.Rows[static_cast<size_t>(row)]);
  return kOk;
}

int Replace(Context& c) {
  CheckOptions(c.args, {"title", "descr", "author", "lcid", "public", "private", "universal", "app-only", "in",
                        "base-url"});
  const int id = TakeId(c);
  if (c.args.Has("public") && c.args.Has("private")) throw UsageError("--public и --private вместе");
  if (c.args.Has("universal") && c.args.Has("app-only")) throw UsageError("--universal и --app-only вместе");
  ShortTextOption(c.args, "title");
  ShortTextOption(c.args, "author");
  IntOption(c.args, "lcid", 0);
  StartCatalogueCommand(c);
  Session& s = c.session;
  TScriptLibrary& lib = s.ScriptLibrary;
  auto r = lib.Lookup(id, kScriptLibraryPublishError);
  if (!r) return kFailed;
  if (!r->Editable) {
    s.ShowError(kScriptNotEditable);
    return kFailed;
  }
  lib.Rows = {*r};
  tScriptData d = lib.RowProperties(0);
  TakeProperties(c, d);
  auto lines = ScriptToSend(c);
  if (!lines) return kFailed;
  if (lib.CheckProperties(d) != TScriptField::None) return kFailed;
  if (!lib.Replace(0, d, *lines)) return kFailed;
  PrintCells(Captions());
  PrintRow(lib.Rows.front());
  return kOk;
}

int Delete(Context& c) {
  CheckOptions(c.args, {"base-url"});
  const int id = TakeId(c);
  StartCatalogueCommand(c);
  Session& s = c.session;
  TScriptLibrary& lib = s.ScriptLibrary;
  auto r = lib.Lookup(id, kScriptLibraryPublishError);
  if (!r) return kFailed;
  if (!r->Editable) {
    s.ShowError(kScriptNotEditable);
    return kFailed;
  }
  lib.Rows = {*r};
  if (!lib.Delete(0, false)) return kFailed;
  PrintLine(Format("Удалено: %d", {id}));
  return kOk;
}

}  // namespace

int RunScriptLib(Context& c) {
  if (c.args.positional.empty()) throw UsageError("scriptlib: нужна подкоманда");
  const std::string sub = c.args.positional.front();
  c.args.positional.erase(c.args.positional.begin());
  if (sub == "list") return List(c);
  if (sub == "view") return View(c);
  if (sub == "rates") return Rates(c);
  if (sub == "download") return Download(c);
  if (sub == "rate") return Rate(c, std::nullopt);
  if (sub == "hide") return Rate(c, -1);
  if (sub == "unrate") return Rate(c, 0);
  if (sub == "publish") return Publish(c);
  if (sub == "replace") return Replace(c);
  if (sub == "delete") return Delete(c);
  throw UsageError("scriptlib: неизвестная подкоманда " + sub);
}

}  // namespace quintar::cli
