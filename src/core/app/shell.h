// What the program asks of the operating system: other running copies of itself, web addresses to hand
// to the desktop, the maker's pages.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quintar {

// File names (without folder) of the programs that the running processes were started from, with the
// process ids, read from /proc. A program file replaced while it runs is still listed under its name.
struct TProcessEntry {
  int Pid;
  std::string FileName;
};
std::vector<TProcessEntry> RunningPrograms();

// True when a process other than this one runs a program file of that name, compared ignoring case.
bool OtherInstanceRunning(std::string_view programFileName);

// How a program run by RunProgramAndWait ended: its exit status, a signal, or the time-out.
struct TProgramRun {
  bool TimedOut = false;  // it was still running at the time-out and was ended
  int Signal = 0;         // the signal that ended it, 0 when it exited
  int ExitCode = 0;
  bool Succeeded() const { return !TimedOut && Signal == 0 && ExitCode == 0; }
};
// Runs a program file directly, with no shell in between, in the working folder: standard input empty, its
// standard output sent to this program's standard error (so that it never mixes with what this program
// prints). Waits at most timeoutMs, calling idle about every 20 ms meanwhile; a program still running then
// is ended together with every process it started. Raises EQuintar with the system's text when it cannot be
// started.
TProgramRun RunProgramAndWait(const std::string& file, const std::vector<std::string>& args,
                              const std::string& workDir, int timeoutMs, const std::function<void()>& idle = {});

// The address handed to the desktop for a link text: texts beginning with "http://", "https://", "ftp://"
// or "ftps://" (ignoring case) as they are, any other text with "http://" put in front.
std::string LinkUrl(std::string_view text);

// Whether a help file is a compiled help file (".chm") rather than a document the desktop opens.
bool IsCompiledHelp(std::string_view path);

// The maker's pages opened by the link commands and by the first-run dialog. An empty address means the
// page is not known; the commands that would open it stay disabled.
struct TMakerLinks {
  std::string MainSite;   // the project's official site
  std::string Blog;
  std::string VideoBlog;  // the video channel
  std::string Articles;   // articles for beginners
  std::string VK;
  std::string OK;
  std::string AuthorSite;
  std::string Telegram;
};
const TMakerLinks& MakerLinks();

}  // namespace quintar
