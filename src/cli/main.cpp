// quintar-cli [--data-dir=DIR] COMMAND ...
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>

#include "app/cmdline.h"
#include "app/startup.h"
#include "cli.h"
#include "game/game.h"
#include "util/strutil.h"

namespace quintar::cli {

int IntOption(const Args& a, const std::string& name, int def) {
  auto v = a.Get(name);
  if (!v) return def;
  auto n = TryStrToInt(Trim(*v));
  if (!n) throw UsageError("--" + name + ": не число: " + *v);
  return *n;
}

void PrintLine(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

void PrintError(const std::string& text) { std::fprintf(stderr, "%s\n", CrToNewlines(text).c_str()); }

void CheckOptions(const Args& a, std::initializer_list<const char*> allowed) {
  for (const auto& [name, value] : a.options) {
    (void)value;
    bool known = name == "data-dir" || name == "verbose" || name == "help";
    for (const char* n : allowed) known = known || name == n;
    if (!known) throw UsageError("Неизвестный параметр: --" + name);
  }
}

namespace {

// One entry per line, so that command groups add their lines independently.
const char* const kUsageLines[] = {
    "Использование: quintar-cli [--data-dir=DIR] КОМАНДА ...",
    "  draws list [--sorted]",
    "  draws import FILE",
    "  draws export FILE",
    "  draws add TEXT [--number=N] [--date=TEXT]",
    "  draws delete NUMBER...",
    "  draws demo [--count=N] [--seed=S]   (демонстрационный архив в пустой папке)",
    "  generate [--mode=M] [--param=TEXT] [--exclude=N] [--offset=K] [--out=FILE.lcv]",
    "  catalogue",
    "  values CODE (--comb=\"n1 n2 n3 n4 n5 n6 n7\" | --draw=NUMBER) [--offset=K] [--len=N] [--sorted]",
    "  download [--base-url=URL] [--retries=N]   (загрузка новых тиражей с сайта лотереи)",
    "  ratings list [--mode=M]   (M: 0 ожидаемые, 1 абсолютные, 2 относительные значения E0..E7)",
    "  ratings refresh",
    "  ratings export FILE",
    "  ratings significance [--rows=LIST]   (строки рейтинга против случайного угадывания)",
    "  archive randomness [--len=N] [--offset=K] [--html=FILE]   (архив против случайных тиражей)",
    "  stakes list",
    "  stakes add \"n1;n2;n3;n4;n5;n6;n7\" [--comment=TEXT] [--draw=N] [--draws=K]",
    "  stakes check",
    "  stakes delete --condition=N --value=V   (N: 0 =, 1 >, 2 >=, 3 <, 4 <=; V: совпадений 0..7)",
    "  stakes clear [--refresh-rating]",
    "  filter CODE --select=\"ЗНАЧЕНИЕ;ЗНАЧЕНИЕ\" (--keep|--delete) [--len=N] [--offset=K] [--sorted]",
    "         [--in=FILE.lcv] [--out=FILE.lcv]   (фильтр по выделенным значениям таблицы статистики)",
    "  script run FILE.lsc [--offset=K] [--log]   (прогноз: ставки на тираж после смещения K)",
    "  script test FILE.lsc --tests=N [--log]   (тест на N последних тиражах)",
    "  stats CODE [--len=N] [--offset=K] [--sorted] [--prefetch] [--sort=COLUMN] [--desc]   (таблица статистики)",
    "  prefetch [--force] [--groups=LIST]   (файлы полного набора комбинаций)",
    "  details (--draw=NUMBER | --comb=\"n1 n2 n3 n4 n5 n6 n7\") [--offset=K] [--sorted] [--cols=N] [--colors]",
    "  graphs CODE [--len=N] [--offset=K] [--sorted] [--marks]   (графики статистики)",
    "  card [--colors] [--color-card=0|1] [--color-sequences=0|1]   (карта тиражей)",
    "  card filter --cols=A-B --rows=C-D (--keep|--delete) [--in=FILE.lcv] [--out=FILE.lcv]",
    "  layout [--len=N] [--offset=K] [--colors] [--gradient=0|1]   (схема выпадения номеров)",
    "  layout compare [--offset=K] [--len1=N] [--len2=N] [--len3=N] [--len4=N] [--len5=N]",
    "  layout filter --cols=A-B --rows=C-D (--keep|--delete) [--len=N] [--offset=K] [--in=FILE.lcv] [--out=FILE.lcv]",
    "  repeats [--len=N] [--deep=N] [--chart]   (количество повторов в зависимости от тиража)",
    "  sumdist   (распределение сумм тиражей и всех возможных комбинаций)",
    "  identity   (данные клиента в запросах к online-каталогу)",
    "  scriptlib list [--filter=ENTRY] [--base-url=URL]   (online-каталог сценариев)",
    "  scriptlib view ID [--base-url=URL]",
    "  scriptlib rates ID [--base-url=URL]",
    "  scriptlib download ID [--out=FILE.lsc] [--base-url=URL]",
    "  scriptlib rate ID VALUE [--comment=TEXT] [--filter=ENTRY] [--base-url=URL]",
    "  scriptlib hide ID [--filter=ENTRY] [--base-url=URL]",
    "  scriptlib unrate ID [--filter=ENTRY] [--base-url=URL]",
    "  scriptlib publish [--title=TEXT] [--descr=TEXT] [--author=TEXT] [--lcid=N] [--private] [--universal]",
    "                    [--in=FILE.lsc] [--base-url=URL]",
    "  scriptlib replace ID [--title=TEXT] [--descr=TEXT] [--author=TEXT] [--lcid=N] [--public|--private]",
    "                    [--universal|--app-only] [--in=FILE.lsc] [--base-url=URL]",
    "  scriptlib delete ID [--base-url=URL]",
    "  systems list [--base-url=URL]   (online-каталог систем)",
    "  systems show ID [--base-url=URL]",
    "  systems download ID... [--base-url=URL]",
    "  systems add [--title=TEXT] [--descr=TEXT] [--file=FILE] [--author=TEXT] [--url=URL] [--nums=N] [--olap=B]",
    "              [--base-url=URL]",
    "  systems edit ID [--title=TEXT] [--descr=TEXT] [--file=FILE] [--author=TEXT] [--url=URL] [--nums=N]",
    "              [--olap=B] [--base-url=URL]",
    "  systems delete ID [--base-url=URL]",
    "  systems stake [--combined] [--in=FILE.lcv] [--draw=N] [--draws=K] [--comment=TEXT]",
    "  tables list   (регулярные ставки)",
    "  tables add [--name=TEXT] [--step=S] (--comb=\"n1;n2;n3;n4;n5;n6;n7\" | --rows=LIST [--in=FILE.lcv] | --last-draw)",
    "  tables edit ROW [--name=TEXT] [--step=S]",
    "  tables delete ROW...",
    "  tables stake ROW [--offset=K] [--draw=N] [--draws=K] [--comment=TEXT] [--in=FILE.lcv]",
    "  tables test ROW... [--tests=N] [--in=FILE.lcv]",
    "  update check [--base-url=URL | --descriptor=SOURCE] [--program-dir=DIR] [--language=ID]",
    "  update install [--base-url=URL | --descriptor=SOURCE] [--program-dir=DIR] [--language=ID]",
    "         (поиск и установка новой версии программы)",
};

std::string UsageText() {
  std::string s;
  for (const char* l : kUsageLines) s += std::string(l) + "\n";
  return s;
}

using Handler = std::function<int(Context&)>;

const std::map<std::string, Handler>& Commands() {
  static const std::map<std::string, Handler> commands = {
      {"draws", RunDraws},
      {"generate", RunGenerate},
      {"catalogue", RunCatalogue},
      {"values", RunValues},
      {"download", RunDownload},
      {"ratings", RunRatings},
      {"archive", RunArchive},
      {"stakes", RunStakes},
      {"filter", RunFilter},
      {"script", RunScript},
      {"stats", RunStats},
      {"prefetch", RunPrefetch},
      {"details", RunDetails},
      {"graphs", RunGraphs},
      {"card", RunCard},
      {"layout", RunLayout},
      {"repeats", RunRepeats},
      {"sumdist", RunSumDist},
      {"identity", RunIdentity},
      {"scriptlib", RunScriptLib},
      {"systems", RunSystems},
      {"tables", RunTables},
      {"update", RunUpdate},
  };
  return commands;
}

}  // namespace

}  // namespace quintar::cli

int main(int argc, char** argv) {
  using namespace quintar;
  using namespace quintar::cli;
  InstallDrawDateHooks();
  Args args;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      size_t eq = a.find('=');
      if (eq == std::string::npos)
        args.options[a.substr(2)] = "";
      else
        args.options[a.substr(2, eq - 2)] = a.substr(eq + 1);
    } else {
      args.positional.push_back(a);
    }
  }
  if (args.Has("help") || args.positional.empty()) {
    std::fputs(UsageText().c_str(), args.Has("help") ? stdout : stderr);
    return args.Has("help") ? kOk : kUsage;
  }
  auto& commands = Commands();
  auto it = commands.find(args.positional.front());
  if (it == commands.end()) {
    PrintError("Неизвестная команда: " + args.positional.front());
    std::fputs(UsageText().c_str(), stderr);
    return kUsage;
  }
  std::string dataDir;
  try {
    dataDir = ResolveDataFolder(CurrentProgramPath(), args.Get("data-dir"));
  } catch (const std::exception& e) {
    PrintError(e.what());
    return kFailed;
  }
  CliHost host;
  host.verbose = args.Has("verbose");
  Session session(dataDir, host);
  RemoveStaleTempFiles(session);
  args.positional.erase(args.positional.begin());
  Context ctx{session, host, args};
  try {
    int rc = it->second(ctx);
    if (rc == kOk && host.errors > 0) rc = kFailed;
    return rc;
  } catch (const UsageError& e) {
    PrintError(e.what());
    std::fputs(UsageText().c_str(), stderr);
    return kUsage;
  } catch (const std::exception& e) {
    PrintError(e.what());
    return kFailed;
  }
}
