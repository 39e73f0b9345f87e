// quintar-cli: the headless front end over the same data folder and the same core as the desktop program.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/host.h"
#include "app/session.h"

namespace quintar::cli {

// Exit codes: 0 success, 1 an error the program reported, 2 a usage error.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

// Counts the error boxes so that a command that reported a failure exits with 1.
class CliHost : public ConsoleHost {
 public:
  void ShowMessage(MsgKind kind, const std::string& text) override {
    if (kind == MsgKind::Error) ++errors;
    ConsoleHost::ShowMessage(kind, text);
  }
  int errors = 0;
};

struct Args {
  std::vector<std::string> positional;          // after the command words
  std::map<std::string, std::string> options;   // "--name=value" or "--name" (value "")
  bool Has(const std::string& name) const { return options.count(name) > 0; }
  std::optional<std::string> Get(const std::string& name) const {
    auto it = options.find(name);
    if (it == options.end()) return std::nullopt;
    return it->second;
  }
};

struct Context {
  Session& session;
  CliHost& host;
  Args args;
};

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Integer option or the default; a malformed number is a usage error.
int IntOption(const Args& a, const std::string& name, int def);
// Prints a line of UTF-8 text to standard output.
void PrintLine(const std::string& text);
// Prints an error message (CR shown as newlines) to standard error.
void PrintError(const std::string& text);

// The statistics table's commands: the catalogue with every method offered whatever the favourites say, and
// the method of the table chosen by its code (false after a message when it is unknown or not in the table).
void StartFullCatalogue(Session& s);
bool ChooseTableMethod(Session& s, const std::string& code);

// The stakes file opened as the desktop program opens it at start-up (a file of an old version is left
// alone). False after the messages.
bool OpenStakes(Session& s);
// The stakes file as the stakes commands open it, with the archive, the cost and prize settings and the
// rating that checking needs; false after the messages. The grid's lines of the records from first on.
bool LoadForChecking(Context& c);
void PrintStakeRows(Session& s, int first);

// The options a command takes besides --data-dir, --verbose and --help; any other is a usage error.
void CheckOptions(const Args& a, std::initializer_list<const char*> allowed);

// The online catalogue commands: the settings of Quintar_7x35.ini with --base-url in place of the address,
// the base language; an id argument that must be a positive integer; a text option of at most 64
// characters; a line of cells with tabs and line breaks inside a cell printed as blanks.
void StartCatalogueCommand(Context& c);
int IdArgument(const std::string& text);
std::optional<std::string> ShortTextOption(const Args& a, const std::string& name);
void PrintCells(const std::vector<std::string>& cells);

// Command groups; each returns the exit code.
int RunDraws(Context& c);
int RunGenerate(Context& c);
int RunCatalogue(Context& c);
int RunValues(Context& c);
int RunDownload(Context& c);
int RunRatings(Context& c);
int RunArchive(Context& c);
int RunScript(Context& c);
int RunStakes(Context& c);
int RunTables(Context& c);
int RunFilter(Context& c);
int RunStats(Context& c);
int RunPrefetch(Context& c);
int RunDetails(Context& c);
int RunGraphs(Context& c);
int RunCard(Context& c);
int RunLayout(Context& c);
int RunRepeats(Context& c);
int RunSumDist(Context& c);
int RunIdentity(Context& c);
int RunScriptLib(Context& c);
int RunSystems(Context& c);
int RunUpdate(Context& c);

}  // namespace quintar::cli
