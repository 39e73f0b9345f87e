// quintar-cli update check | install: the self-update, headless.
#include "app/selfupdate.h"
#include "cli.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar::cli {

namespace {

// Exit statuses of the update commands besides 0, 1 and 2.
constexpr int kUpdateOffered = 100;  // check: a newer version is offered
constexpr int kNoUpdate = 3;         // install: no newer version, nothing changed

void PrintFailure(const char* resource, const std::exception& e) {
  PrintError(std::string(resource) + "\r\r" + e.what());
}

}  // namespace

int RunUpdate(Context& c) {
  const Args& a = c.args;
  if (a.positional.size() != 1 || (a.positional[0] != "check" && a.positional[0] != "install"))
    throw UsageError("update: check или install");
  const bool install = a.positional[0] == "install";
  if (a.Has("base-url") && a.Has("descriptor")) throw UsageError("update: --base-url или --descriptor, не оба");
  const int language = IntOption(a, "language", 1049);
  if (language < 0 || language > 65535) throw UsageError("--language: код языка 0..65535");
  Session& s = c.session;
  TSelfUpdate& u = s.SelfUpdate;
  try {
    std::string source;
    if (auto d = a.Get("descriptor")) {
      source = Trim(*d);
      if (source.empty()) throw UsageError("--descriptor: адрес или путь к описанию обновления");
    } else if (auto b = a.Get("base-url")) {
      if (Trim(*b).empty()) throw UsageError("--base-url: адрес сервера обновлений");
      source = UpdateDescriptorAddress(*b);
    } else {
      s.ReadOnlineSettings();
      if (Trim(s.Online.UpdateUrl).empty()) {
        PrintError("Адрес сервера обновлений не задан: UpdateUrl в разделе [ONLINE] файла Quintar_7x35.ini, "
                   "--base-url=URL или --descriptor=SOURCE.");
        return kFailed;
      }
      source = UpdateDescriptorAddress(s.Online.UpdateUrl);
    }
    if (auto dir = a.Get("program-dir")) {
      if (Trim(*dir).empty()) throw UsageError("--program-dir: папка программы");
      u.ProgramDir = *dir;
    }

    TUpdateCheck found;
    try {
      found = u.Check(source, language);
    } catch (const EUpdate& e) {
      PrintFailure(kUpdateCheckError, e);
      return kFailed;
    }
    PrintLine("Установленная версия\t" + found.CurrentVersion);
    PrintLine("Предлагаемая версия\t" + found.Record.VerId);
    PrintLine("Описание\t" + found.Record.Description);
    PrintLine(std::string("Новая версия\t") + (found.Exists ? "да" : "нет"));
    if (!found.Exists) {
      PrintLine(kNoUpdates);
      return install ? kNoUpdate : kOk;
    }
    for (const std::string& line : found.DescriptionLines()) PrintLine(line);
    if (!install) return kUpdateOffered;

    TUpdateInstall done;
    try {
      done = u.Install(found);
    } catch (const EUpdate& e) {
      PrintFailure(kUpdateInstallError, e);
      return kFailed;
    }
    for (const std::string& f : done.DataFilesKept) PrintError(Format(kDataFileKept, {f}));
    PrintLine("Обновление установлено: " + found.Record.VerId);
    return kOk;
  } catch (const UsageError&) {
    throw;
  } catch (const std::exception& e) {
    PrintFailure(kUpdateSystemError, e);
    return kFailed;
  }
}

}  // namespace quintar::cli
