// The program's command line: switches ("restart", "loadonly", ...) and "--data-dir=DIR".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quintar {

class CommandLine {
 public:
  CommandLine() = default;
  CommandLine(int argc, char** argv);
  explicit CommandLine(std::vector<std::string> args) : args_(std::move(args)) {}

  // True when a parameter equals name, "-name", "--name", "/name" or "\name", ignoring case.
  bool HasSwitch(std::string_view name) const;
  // The value of a parameter "--name=VALUE" (also "-name=VALUE").
  std::optional<std::string> Value(std::string_view name) const;
  const std::vector<std::string>& Args() const { return args_; }
  std::string ProgramPath() const { return program_; }

 private:
  std::string program_;
  std::vector<std::string> args_;  // without the program path
};

// The folder of the files an installed program ships (help pages, manual, language modules): the folder
// "share/quintar-7x35/" of the install prefix, found from the program file in "<prefix>/bin/" by the
// relative path the build was configured with. "" when the program runs from its build folder or from a
// folder of its own, which keep those files beside the program file.
std::string InstalledFilesFolder(const std::string& programPath);
// The folder the shipped files are read from: the installed one, else the program file's own folder.
std::string ProgramFilesFolder(const std::string& programPath);

// The data folder: the program's own folder when it is writable and the program is not installed, else
// $XDG_DATA_HOME/Quintar_7x35 (~/.local/share/Quintar_7x35); an explicit folder (--data-dir) wins. The
// folder is created.
std::string ResolveDataFolder(const std::string& programPath, const std::optional<std::string>& explicitDir);
// Full path of the running program file.
std::string CurrentProgramPath();

}  // namespace quintar
