// quintar-cli download: the draw results download, headless.
#include "cli.h"
#include "online/download.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar::cli {

namespace {

// Shows every question on standard error and answers the retry question "yes" as many times as allowed.
class RetryHost : public CliHost {
 public:
  explicit RetryHost(int retries) : retries_(retries) {}
  bool Ask(AskKind kind, const std::string& text) override {
    bool yes = kind == AskKind::Retry && retries_ > 0;
    if (yes) --retries_;
    PrintError(text + (yes ? " [да]" : " [нет]"));
    return yes;
  }

 private:
  int retries_;
};

}  // namespace

int RunDownload(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("download: лишние аргументы");
  const int retries = IntOption(c.args, "retries", 0);
  if (retries < 0) throw UsageError("--retries: от 0");
  Session& s = c.session;
  s.LoadArchive();
  if (c.host.errors) return kFailed;
  s.ReadProxySettings();
  s.ReadOnlineSettings();
  if (auto url = c.args.Get("base-url")) {
    std::string u = Trim(*url);
    if (!StartsWithText(u, "http://") && !StartsWithText(u, "https://"))
      throw UsageError("--base-url: адрес http:// или https://");
    s.Online.ResultsUrl = u;
  }
  RetryHost host(retries);
  host.verbose = c.host.verbose;
  s.SetHost(host);
  TDownloadResult r = s.DrawsDownload();
  s.SetHost(c.host);
  c.host.errors += host.errors;
  for (const TMonthRead& m : r.Months) PrintLine(Format("%s\t%d", {MonthPageName(m.Month), m.Added}));
  PrintLine(Format("Архив тиражей: %d", {s.Archive.Count()}));
  return r.Completed ? kOk : kFailed;
}

}  // namespace quintar::cli
